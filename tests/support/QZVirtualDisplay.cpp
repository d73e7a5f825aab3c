#include "QZVirtualDisplay.h"

#include <QPoint>
#include <QStandardPaths>

#include <xcb/xcb.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

xcb_atom_t Intern(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, false, quint16(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

std::vector<xcb_atom_t> AtomList(xcb_connection_t *c, xcb_window_t window, xcb_atom_t property)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c, xcb_get_property(c, false, window, property, XCB_ATOM_ATOM, 0, 64), nullptr);
    std::vector<xcb_atom_t> atoms;
    if (reply && reply->format == 32) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        atoms.assign(values, values + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return atoms;
}

bool Contains(const std::vector<xcb_atom_t> &atoms, xcb_atom_t atom)
{
    return std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

// The window manager's state: the atoms it speaks and the windows it frames.
struct TManager
{
    xcb_connection_t *C;
    xcb_screen_t *Screen;
    int Caption;
    int Border;
    xcb_atom_t State, MaxVert, MaxHorz, FrameExtents, RequestExtents, Active, Type, Splash;

    // Where a client asks to stand is where its frame goes, unless its size
    // hints ask for static gravity: then the client itself stays there.
    QPoint FramePosition(xcb_window_t window, int x, int y)
    {
        xcb_get_property_reply_t *reply =
            xcb_get_property_reply(C,
                                   xcb_get_property(C, false, window, XCB_ATOM_WM_NORMAL_HINTS,
                                                    XCB_ATOM_WM_SIZE_HINTS, 0, 18),
                                   nullptr);
        bool isStatic = false;
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply) >= 18 * 4) {
            const auto *hints = static_cast<const quint32 *>(xcb_get_property_value(reply));
            constexpr quint32 windowGravity = 1u << 9;
            isStatic = (hints[0] & windowGravity) && hints[17] == XCB_GRAVITY_STATIC;
        }
        std::free(reply);
        return isStatic ? QPoint(x - Border, y - Caption) : QPoint(x, y);
    }

    struct TClient
    {
        xcb_window_t Frame;
        bool Maximised;
        // The frame's place and the client's size while not maximised.
        int X, Y, Width, Height;
    };
    std::map<xcb_window_t, TClient> Clients;

    void Place(xcb_window_t window, const TClient &client)
    {
        const int screenWidth = Screen->width_in_pixels;
        const int screenHeight = Screen->height_in_pixels;
        int frame[4];       // x, y, width, height
        int inside[4];      // the client's place in the frame and its size
        quint32 extents[4]; // left, right, top, bottom
        if (client.Maximised) {
            const int f[4] = {0, 0, screenWidth, screenHeight};
            const int i[4] = {0, Caption, screenWidth, screenHeight - Caption};
            const quint32 e[4] = {0, 0, quint32(Caption), 0};
            std::copy(f, f + 4, frame);
            std::copy(i, i + 4, inside);
            std::copy(e, e + 4, extents);
        } else {
            const int f[4] = {client.X, client.Y, client.Width + 2 * Border,
                              client.Height + Caption + Border};
            const int i[4] = {Border, Caption, client.Width, client.Height};
            const quint32 e[4] = {quint32(Border), quint32(Border), quint32(Caption),
                                  quint32(Border)};
            std::copy(f, f + 4, frame);
            std::copy(i, i + 4, inside);
            std::copy(e, e + 4, extents);
        }
        const quint32 frameValues[4] = {quint32(frame[0]), quint32(frame[1]), quint32(frame[2]),
                                        quint32(frame[3])};
        xcb_configure_window(C, client.Frame,
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                                 XCB_CONFIG_WINDOW_HEIGHT,
                             frameValues);
        const quint32 clientValues[4] = {quint32(inside[0]), quint32(inside[1]), quint32(inside[2]),
                                         quint32(inside[3])};
        xcb_configure_window(C, window,
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                                 XCB_CONFIG_WINDOW_HEIGHT,
                             clientValues);
        xcb_change_property(C, XCB_PROP_MODE_REPLACE, window, FrameExtents, XCB_ATOM_CARDINAL, 32,
                            4, extents);
        const xcb_atom_t maximised[2] = {MaxVert, MaxHorz};
        xcb_change_property(C, XCB_PROP_MODE_REPLACE, window, State, XCB_ATOM_ATOM, 32,
                            client.Maximised ? 2 : 0, maximised);
        // Where the client stands on the root window, as a real move would
        // not tell it: its parent is the frame.
        xcb_configure_notify_event_t notify{};
        notify.response_type = XCB_CONFIGURE_NOTIFY;
        notify.event = window;
        notify.window = window;
        notify.above_sibling = XCB_NONE;
        notify.x = qint16(frame[0] + inside[0]);
        notify.y = qint16(frame[1] + inside[1]);
        notify.width = quint16(inside[2]);
        notify.height = quint16(inside[3]);
        xcb_send_event(C, false, window, XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&notify));
    }

    void Manage(xcb_window_t window)
    {
        if (Clients.count(window)) {
            xcb_map_window(C, window);
            return;
        }
        if (Contains(AtomList(C, window, Type), Splash)) {
            xcb_map_window(C, window);
            return;
        }
        xcb_get_geometry_reply_t *geometry =
            xcb_get_geometry_reply(C, xcb_get_geometry(C, window), nullptr);
        if (!geometry)
            return;
        const std::vector<xcb_atom_t> state = AtomList(C, window, State);
        const QPoint place = FramePosition(window, geometry->x, geometry->y);
        TClient client{xcb_generate_id(C), Contains(state, MaxVert) && Contains(state, MaxHorz),
                       place.x(),          place.y(),
                       geometry->width,    geometry->height};
        std::free(geometry);
        const quint32 values[2] = {Screen->white_pixel, XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY |
                                                            XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT};
        xcb_create_window(C, XCB_COPY_FROM_PARENT, client.Frame, Screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, Screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
        xcb_reparent_window(C, window, client.Frame, qint16(Border), qint16(Caption));
        Clients[window] = client;
        Place(window, client);
        xcb_map_window(C, window);
        xcb_map_window(C, client.Frame);
        xcb_set_input_focus(C, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        xcb_change_property(C, XCB_PROP_MODE_REPLACE, Screen->root, Active, XCB_ATOM_WINDOW, 32, 1,
                            &window);
    }

    void Forget(xcb_window_t window, bool destroyed)
    {
        const auto found = Clients.find(window);
        if (found == Clients.end())
            return;
        if (!destroyed)
            xcb_reparent_window(C, window, Screen->root, qint16(found->second.X),
                                qint16(found->second.Y));
        xcb_destroy_window(C, found->second.Frame);
        Clients.erase(found);
    }

    void Configure(const xcb_configure_request_event_t &request)
    {
        const auto found = Clients.find(request.window);
        if (found == Clients.end()) {
            // Windows not framed get what they ask for.
            std::vector<quint32> values;
            const std::pair<quint16, quint32> fields[] = {
                {XCB_CONFIG_WINDOW_X, quint32(request.x)},
                {XCB_CONFIG_WINDOW_Y, quint32(request.y)},
                {XCB_CONFIG_WINDOW_WIDTH, request.width},
                {XCB_CONFIG_WINDOW_HEIGHT, request.height},
                {XCB_CONFIG_WINDOW_BORDER_WIDTH, request.border_width},
                {XCB_CONFIG_WINDOW_SIBLING, request.sibling},
                {XCB_CONFIG_WINDOW_STACK_MODE, request.stack_mode},
            };
            for (const auto &[mask, value] : fields)
                if (request.value_mask & mask)
                    values.push_back(value);
            xcb_configure_window(C, request.window, request.value_mask, values.data());
            return;
        }
        TClient &client = found->second;
        const QPoint place = FramePosition(request.window, request.x, request.y);
        if (request.value_mask & XCB_CONFIG_WINDOW_X)
            client.X = place.x();
        if (request.value_mask & XCB_CONFIG_WINDOW_Y)
            client.Y = place.y();
        if (request.value_mask & XCB_CONFIG_WINDOW_WIDTH)
            client.Width = request.width;
        if (request.value_mask & XCB_CONFIG_WINDOW_HEIGHT)
            client.Height = request.height;
        Place(request.window, client);
    }

    void Message(const xcb_client_message_event_t &message)
    {
        if (message.type == RequestExtents) {
            const quint32 extents[4] = {quint32(Border), quint32(Border), quint32(Caption),
                                        quint32(Border)};
            xcb_change_property(C, XCB_PROP_MODE_REPLACE, message.window, FrameExtents,
                                XCB_ATOM_CARDINAL, 32, 4, extents);
            return;
        }
        const auto found = Clients.find(message.window);
        if (found == Clients.end())
            return;
        if (message.type == State) {
            const quint32 action = message.data.data32[0];
            const xcb_atom_t first = message.data.data32[1];
            const xcb_atom_t second = message.data.data32[2];
            if (first != MaxVert && first != MaxHorz && second != MaxVert && second != MaxHorz)
                return;
            bool &maximised = found->second.Maximised;
            maximised = action == 1 || (action == 2 && !maximised);
            Place(message.window, found->second);
        } else if (message.type == Active) {
            xcb_set_input_focus(C, XCB_INPUT_FOCUS_POINTER_ROOT, message.window, XCB_CURRENT_TIME);
        }
    }

    void Handle(const xcb_generic_event_t *event)
    {
        switch (event->response_type & ~0x80) {
        case XCB_MAP_REQUEST:
            Manage(reinterpret_cast<const xcb_map_request_event_t *>(event)->window);
            break;
        case XCB_CONFIGURE_REQUEST:
            Configure(*reinterpret_cast<const xcb_configure_request_event_t *>(event));
            break;
        case XCB_CLIENT_MESSAGE:
            Message(*reinterpret_cast<const xcb_client_message_event_t *>(event));
            break;
        case XCB_UNMAP_NOTIFY: {
            const auto *unmap = reinterpret_cast<const xcb_unmap_notify_event_t *>(event);
            const auto found = Clients.find(unmap->window);
            if (found != Clients.end() && unmap->event == found->second.Frame)
                Forget(unmap->window, false);
            break;
        }
        case XCB_DESTROY_NOTIFY:
            Forget(reinterpret_cast<const xcb_destroy_notify_event_t *>(event)->window, true);
            break;
        default: break;
        }
    }
};

} // namespace

TQZVirtualDisplay::~TQZVirtualDisplay()
{
    m_stop = true;
    if (m_manager)
        m_manager->join();
    if (m_connection)
        xcb_disconnect(static_cast<xcb_connection_t *>(m_connection));
    if (m_server > 0) {
        ::kill(m_server, SIGTERM);
        ::waitpid(m_server, nullptr, 0);
    }
}

bool TQZVirtualDisplay::Start(QSize screen)
{
    const QString server = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (server.isEmpty())
        return false;
    int pipe[2];
    if (::pipe(pipe) != 0)
        return false;
    const std::string path = server.toStdString();
    const std::string fd = std::to_string(pipe[1]);
    const std::string size =
        std::to_string(screen.width()) + 'x' + std::to_string(screen.height()) + "x24";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        ::execl(path.c_str(), "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", size.c_str(),
                "-nolisten", "tcp", static_cast<char *>(nullptr));
        ::_exit(127);
    }
    ::close(pipe[1]);
    if (child < 0) {
        ::close(pipe[0]);
        return false;
    }
    m_server = child;
    // The server writes its display number once it accepts connections.
    QByteArray number;
    pollfd wait{pipe[0], POLLIN, 0};
    char c = 0;
    while (::poll(&wait, 1, 20000) == 1 && ::read(pipe[0], &c, 1) == 1 && c != '\n')
        number += c;
    ::close(pipe[0]);
    if (number.isEmpty())
        return false;
    m_name = ':' + number;
    m_screen = screen;
    ::setenv("DISPLAY", m_name.constData(), 1);
    return true;
}

bool TQZVirtualDisplay::StartWindowManager(int caption, int border)
{
    auto *c = xcb_connect(m_name.constData(), nullptr);
    m_connection = c;
    if (xcb_connection_has_error(c))
        return false;
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const quint32 mask = XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t *error = xcb_request_check(
            c, xcb_change_window_attributes_checked(c, screen->root, XCB_CW_EVENT_MASK, &mask))) {
        std::free(error);
        return false;
    }
    m_caption = caption;
    m_border = border;

    // The conventions' proof that a window manager runs, and what it offers.
    m_checkWindow = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, m_checkWindow, screen->root, -1, -1, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    const xcb_window_t check = m_checkWindow;
    const xcb_atom_t checkAtom = Intern(c, "_NET_SUPPORTING_WM_CHECK");
    for (const xcb_window_t window : {screen->root, check})
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, checkAtom, XCB_ATOM_WINDOW, 32, 1,
                            &check);
    const char name[] = "corvella-test-wm";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, check, Intern(c, "_NET_WM_NAME"),
                        Intern(c, "UTF8_STRING"), 8, sizeof name - 1, name);
    std::vector<xcb_atom_t> supported;
    for (const char *atom :
         {"_NET_SUPPORTING_WM_CHECK", "_NET_WM_STATE", "_NET_WM_STATE_MAXIMIZED_VERT",
          "_NET_WM_STATE_MAXIMIZED_HORZ", "_NET_FRAME_EXTENTS", "_NET_REQUEST_FRAME_EXTENTS",
          "_NET_ACTIVE_WINDOW", "_NET_WM_WINDOW_TYPE", "_NET_WM_WINDOW_TYPE_SPLASH"})
        supported.push_back(Intern(c, atom));
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, screen->root, Intern(c, "_NET_SUPPORTED"),
                        XCB_ATOM_ATOM, 32, quint32(supported.size()), supported.data());
    xcb_flush(c);

    m_manager = std::make_unique<std::thread>([this, c, screen] {
        TManager manager{c,
                         screen,
                         m_caption,
                         m_border,
                         Intern(c, "_NET_WM_STATE"),
                         Intern(c, "_NET_WM_STATE_MAXIMIZED_VERT"),
                         Intern(c, "_NET_WM_STATE_MAXIMIZED_HORZ"),
                         Intern(c, "_NET_FRAME_EXTENTS"),
                         Intern(c, "_NET_REQUEST_FRAME_EXTENTS"),
                         Intern(c, "_NET_ACTIVE_WINDOW"),
                         Intern(c, "_NET_WM_WINDOW_TYPE"),
                         Intern(c, "_NET_WM_WINDOW_TYPE_SPLASH"),
                         {}};
        pollfd wait{xcb_get_file_descriptor(c), POLLIN, 0};
        while (!m_stop && !xcb_connection_has_error(c)) {
            while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
                manager.Handle(event);
                std::free(event);
            }
            xcb_flush(c);
            ::poll(&wait, 1, 50);
        }
    });
    return true;
}
