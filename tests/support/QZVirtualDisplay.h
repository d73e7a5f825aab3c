// A virtual X display for tests that need a real window system: Xvfb on a
// display number of its own choosing, and on it, when asked, a small window
// manager that frames windows with a caption of a known height, maximises
// them on request and follows the desktop conventions Qt relies on.
#pragma once

#include <QByteArray>
#include <QSize>

#include <atomic>
#include <memory>
#include <thread>

class TQZVirtualDisplay
{
public:
    TQZVirtualDisplay() = default;
    ~TQZVirtualDisplay();
    TQZVirtualDisplay(const TQZVirtualDisplay &) = delete;
    TQZVirtualDisplay &operator=(const TQZVirtualDisplay &) = delete;

    // False when Xvfb is not installed or does not start.
    bool Start(QSize screen);
    // The display name, ":N"; DISPLAY is set to it by Start().
    const QByteArray &Name() const { return m_name; }

    // Runs the window manager until the display ends. Frames have a caption
    // `caption` pixels high and, unless maximised, a border `border` wide.
    bool StartWindowManager(int caption, int border);

private:
    QByteArray m_name;
    QSize m_screen;
    int m_server = -1; // Xvfb's process id
    int m_caption = 0;
    int m_border = 0;
    std::atomic<bool> m_stop = false;
    std::unique_ptr<std::thread> m_manager;
    void *m_connection = nullptr; // the manager's xcb_connection_t
    unsigned m_checkWindow = 0;
};
