#include "QZOpenWatch.h"

#include <QFile>

#include <array>

#include <sys/inotify.h>
#include <unistd.h>

TQZOpenWatch::TQZOpenWatch(const QString &folder)
    : m_fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (m_fd >= 0)
        m_watch =
            inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), IN_OPEN | IN_ACCESS);
}

TQZOpenWatch::~TQZOpenWatch()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QStringList TQZOpenWatch::Touched()
{
    QStringList names;
    alignas(inotify_event) std::array<char, 4096> buffer;
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer.data(), buffer.size());
        if (length <= 0)
            break;
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer.data() + at);
            const QString name = event->len > 0 ? QFile::decodeName(event->name) : QString();
            names << (name.isEmpty() ? QStringLiteral(".") : name);
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    names.removeDuplicates();
    return names;
}
