#include "QZWindowPlacement.h"

#include <QEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

xcb_atom_t Atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, true, quint16(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// The window a property of type WINDOW on `window` names.
std::optional<xcb_window_t> WindowProperty(xcb_connection_t *connection, xcb_window_t window,
                                           xcb_atom_t property)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, false, window, property, XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    std::optional<xcb_window_t> named;
    if (reply && reply->type == XCB_ATOM_WINDOW && reply->format == 32 &&
        xcb_get_property_value_length(reply) >= int(sizeof(xcb_window_t)))
        named = *static_cast<const xcb_window_t *>(xcb_get_property_value(reply));
    std::free(reply);
    return named;
}

// A window manager that follows the desktop conventions names a window of
// its own on the root window, and that window names itself: a name left by
// a window manager that has gone names a window that is gone too.
bool X11HasWindowManager(xcb_connection_t *connection)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(setup).data;
    if (!screen)
        return false;
    const xcb_atom_t check = Atom(connection, "_NET_SUPPORTING_WM_CHECK");
    if (check == XCB_ATOM_NONE)
        return false;
    const auto child = WindowProperty(connection, screen->root, check);
    return child && WindowProperty(connection, *child, check) == child;
}

xcb_connection_t *X11Connection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// Waits until the window is exposed: by then a window manager has given it
// the geometry it maps it with.
void WaitForExposure(QWidget &window, int limitMs)
{
    QWindow *handle = window.windowHandle();
    if (!handle || handle->isExposed())
        return;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Exposure is reported to the window's handle; the loop looks after
    // every event it processes.
    class TExposeWatch : public QObject
    {
    public:
        TExposeWatch(QWindow *window, QEventLoop &loop)
            : m_window(window)
            , m_loop(loop)
        {
        }

    protected:
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (watched == m_window && event->type() == QEvent::Expose && m_window->isExposed())
                QTimer::singleShot(0, &m_loop, &QEventLoop::quit);
            return false;
        }

    private:
        QPointer<QWindow> m_window;
        QEventLoop &m_loop;
    } watch(handle, loop);
    handle->installEventFilter(&watch);
    limit.start(limitMs);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    handle->removeEventFilter(&watch);
}

// Centres the frame of the window on its screen once for every frame size
// the window manager gives it.
class TScreenCentring final : public QObject
{
public:
    static QString Name() { return QStringLiteral("CorvellaScreenCentring"); }

    explicit TScreenCentring(QWidget &window)
        : QObject(&window)
        , m_window(window)
    {
        setObjectName(Name());
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == &m_window) {
            switch (event->type()) {
            case QEvent::Show:
                m_centredFor.reset();
                // The frame is known once the window is exposed; that changes
                // where the window stands only when its own size changes.
                if (QWindow *handle = m_window.windowHandle())
                    handle->installEventFilter(this);
                Centre();
                break;
            case QEvent::Move:
            case QEvent::Resize: Centre(); break;
            default: break;
            }
        } else if (watched == m_window.windowHandle() && event->type() == QEvent::Expose) {
            Centre();
        }
        return false;
    }

private:
    void Centre()
    {
        const QWindow *handle = m_window.windowHandle();
        const QScreen *screen = m_window.screen();
        if (!screen || !m_window.isVisible())
            return;
        const QMargins frame = handle ? handle->frameMargins() : QMargins();
        const QSize size = m_window.size().grownBy(frame);
        if (m_centredFor == size)
            return;
        m_centredFor = size;
        const QRect area = screen->geometry();
        const QPoint place(area.left() + (area.width() - size.width()) / 2,
                           area.top() + (area.height() - size.height()) / 2);
        // Once shown, the client's own place: the widget learns of its frame
        // later than its window does.
        if (QWindow *window = m_window.windowHandle(); window && window->isVisible())
            window->setPosition(place + QPoint(frame.left(), frame.top()));
        else
            m_window.move(place);
    }

    QWidget &m_window;
    // The frame size the window was last centred with.
    std::optional<QSize> m_centredFor;
};

} // namespace

bool HasWindowManager()
{
    if (xcb_connection_t *connection = X11Connection())
        return X11HasWindowManager(connection);
    return true;
}

QSize ShowMaximisedAndMeasure(QWidget &window, int limitMs)
{
    if (HasWindowManager()) {
        window.showMaximized();
    } else {
        if (const QScreen *screen = window.screen())
            window.setGeometry(screen->geometry());
        window.show();
    }
    WaitForExposure(window, limitMs);
    // Geometry changes the window system sent before the exposure are
    // handled before the size is taken.
    if (xcb_connection_t *connection = X11Connection())
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    return window.size();
}

void KeepCentredOnScreen(QWidget &window)
{
    if (!window.findChild<QObject *>(TScreenCentring::Name(), Qt::FindDirectChildrenOnly))
        new TScreenCentring(window);
}
