#include "QZOlePrivateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QFileDevice::Permissions OwnerOnly =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
const QString LockName = QStringLiteral(".lock");

// A folder, not a link, that belongs to this user.
bool IsOwnFolder(const QString &path)
{
    struct stat status;
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid();
}

QString Megabytes(qint64 bytes) { return QString::number(bytes / (1024 * 1024)); }

} // namespace

TOlePrivateFolder::TOlePrivateFolder(QString base, int maxCopies, qint64 maxBytes)
    : m_base(std::move(base))
    , m_maxCopies(maxCopies)
    , m_maxBytes(maxBytes)
{
}

TOlePrivateFolder::~TOlePrivateFolder()
{
    m_folder.reset();
    if (m_lock >= 0)
        ::close(m_lock);
}

QString TOlePrivateFolder::Path() const { return m_folder ? m_folder->path() : QString(); }

QString TOlePrivateFolder::Refusal(qint64 size) const
{
    if (m_copies >= m_maxCopies)
        return QStringLiteral("%1 embedded files have been opened since the program started, as "
                              "many as one run may open")
            .arg(m_copies);
    if (size > m_maxBytes - m_bytes)
        return QStringLiteral("with it, the embedded files opened since the program started "
                              "would take more than %1 MB")
            .arg(Megabytes(m_maxBytes));
    return {};
}

bool TOlePrivateFolder::Make(QString &error)
{
    if (m_folder)
        return true;
    // mkdtemp makes the folder for the owner alone.
    auto folder = std::make_unique<QTemporaryDir>(QDir(m_base).filePath(
        QLatin1String(OleFolderPrefix) + QString::number(QCoreApplication::applicationPid()) +
        QStringLiteral("-XXXXXX")));
    if (!folder->isValid() || !QFile::setPermissions(folder->path(), OwnerOnly)) {
        error = QStringLiteral("no private folder could be made in \"%1\"").arg(m_base);
        return false;
    }
    // Held until the process ends, and not handed to the programs it starts.
    const QByteArray lock = QFile::encodeName(QDir(folder->path()).filePath(LockName));
    m_lock = ::open(lock.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (m_lock < 0 || ::flock(m_lock, LOCK_EX | LOCK_NB) != 0) {
        error = QStringLiteral("no private folder could be made in \"%1\"").arg(m_base);
        if (m_lock >= 0)
            ::close(m_lock);
        m_lock = -1;
        return false;
    }
    m_folder = std::move(folder);
    return true;
}

QString TOlePrivateFolder::Write(const QString &fileName, QByteArrayView content, QString &error)
{
    error = Refusal(content.size());
    if (!error.isEmpty() || !Make(error))
        return {};
    const QString subfolder = QDir(m_folder->path()).filePath(QString::number(m_copies + 1));
    const QString path = QDir(subfolder).filePath(fileName);
    QFile out(path);
    // A new file, owner read and write only: never executable, and never a
    // file that was there before.
    if (!QDir().mkdir(subfolder, OwnerOnly) ||
        !out.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                  QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        out.write(content.data(), content.size()) != content.size() || !out.flush()) {
        error = QStringLiteral("it could not be written to \"%1\" (%2)")
                    .arg(subfolder, out.errorString());
        out.close();
        QDir(subfolder).removeRecursively();
        return {};
    }
    out.close();
    ++m_copies;
    m_bytes += content.size();
    return path;
}

QString OlePrivateBase()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && IsOwnFolder(runtime))
        return QDir::cleanPath(runtime);
    return QDir::tempPath();
}

TOlePrivateFolder &OleRunFolder()
{
    static TOlePrivateFolder folder(OlePrivateBase());
    return folder;
}

int RemoveStaleOleFolders(const QString &base)
{
    const QString prefix = QLatin1String(OleFolderPrefix);
    const QDir folder(base);
    int removed = 0;
    const QStringList names = folder.entryList({prefix + QLatin1Char('*')},
                                               QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden |
                                                   QDir::System | QDir::NoSymLinks);
    for (const QString &name : names) {
        const QString path = folder.filePath(name);
        bool number = false;
        const qint64 pid =
            name.mid(prefix.size()).section(QLatin1Char('-'), 0, 0).toLongLong(&number);
        if (!number || pid <= 0 || pid == QCoreApplication::applicationPid() || !IsOwnFolder(path))
            continue;
        // The process lives, or it cannot be told.
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH)
            continue;
        // A run in another process namespace holds its lock while it lives.
        const QByteArray lockPath = QFile::encodeName(QDir(path).filePath(LockName));
        const int lock = ::open(lockPath.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (lock < 0 && errno != ENOENT)
            continue;
        const bool free = lock < 0 || ::flock(lock, LOCK_EX | LOCK_NB) == 0;
        if (free && QDir(path).removeRecursively())
            ++removed;
        if (lock >= 0)
            ::close(lock);
    }
    return removed;
}
