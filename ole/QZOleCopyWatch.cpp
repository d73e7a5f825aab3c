#include "QZOleCopyWatch.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {

QByteArray Digest(QByteArrayView content)
{
    return QCryptographicHash::hash(content, QCryptographicHash::Sha256);
}

} // namespace

TOleCopyWatch::TOleCopyWatch(int quietMs, QObject *parent)
    : QObject(parent)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    connect(&m_quiet, &QTimer::timeout, this, &TOleCopyWatch::CheckNow);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, &TOleCopyWatch::Changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &TOleCopyWatch::Changed);
}

int TOleCopyWatch::Watch(const QString &path, const QByteArray &content)
{
    const QFileInfo info(path);
    const int key = m_nextKey++;
    TCopy copy{info.absoluteFilePath(), info.absolutePath(), Digest(content)};
    Rewatch(copy);
    m_copies.insert(key, std::move(copy));
    return key;
}

void TOleCopyWatch::Forget(int key)
{
    const auto found = m_copies.constFind(key);
    if (found == m_copies.cend())
        return;
    const TCopy copy = *found;
    m_copies.erase(found);
    m_pending.remove(key);
    bool fileUsed = false;
    bool folderUsed = false;
    for (const TCopy &other : std::as_const(m_copies)) {
        fileUsed = fileUsed || other.Path == copy.Path;
        folderUsed = folderUsed || other.Folder == copy.Folder;
    }
    if (!fileUsed && m_watcher.files().contains(copy.Path))
        m_watcher.removePath(copy.Path);
    if (!folderUsed && m_watcher.directories().contains(copy.Folder))
        m_watcher.removePath(copy.Folder);
}

void TOleCopyWatch::ForgetAll()
{
    for (const int key : m_copies.keys())
        Forget(key);
}

QString TOleCopyWatch::Path(int key) const { return m_copies.value(key).Path; }

void TOleCopyWatch::Changed(const QString &path)
{
    for (auto it = m_copies.cbegin(); it != m_copies.cend(); ++it)
        if (it->Path == path || it->Folder == path)
            m_pending.insert(it.key());
    // Every further change starts the quiet time again.
    if (!m_pending.isEmpty())
        m_quiet.start();
}

void TOleCopyWatch::CheckNow()
{
    m_quiet.stop();
    const QSet<int> pending = std::exchange(m_pending, {});
    for (const int key : pending)
        Check(key);
}

void TOleCopyWatch::Check(int key)
{
    const auto found = m_copies.find(key);
    if (found == m_copies.end())
        return;
    const QFileInfo info(found->Path);
    // Between removing the old file and renaming the new one into place there
    // is nothing to read; the folder reports the new file when it comes.
    if (!info.exists() || info.isSymLink() || !info.isFile()) {
        Rewatch(*found);
        return;
    }
    // A file replaced by a rename is a new file, which the watcher does not
    // know yet.
    Rewatch(*found);
    QFile file(found->Path);
    if (info.size() > OleMaxSavedCopy) {
        emit Unreadable(
            key, QStringLiteral("it is larger than %1 MB").arg(OleMaxSavedCopy / (1024 * 1024)));
        return;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        emit Unreadable(key, QStringLiteral("it could not be read (%1)").arg(file.errorString()));
        return;
    }
    const QByteArray content = file.read(OleMaxSavedCopy + 1);
    if (content.size() > OleMaxSavedCopy) {
        emit Unreadable(
            key, QStringLiteral("it is larger than %1 MB").arg(OleMaxSavedCopy / (1024 * 1024)));
        return;
    }
    QByteArray digest = Digest(content);
    if (digest == found->Digest)
        return;
    found->Digest = std::move(digest);
    emit Saved(key, content);
}

void TOleCopyWatch::Rewatch(const TCopy &copy)
{
    if (!m_watcher.directories().contains(copy.Folder))
        m_watcher.addPath(copy.Folder);
    if (QFileInfo::exists(copy.Path) && !m_watcher.files().contains(copy.Path))
        m_watcher.addPath(copy.Path);
}
