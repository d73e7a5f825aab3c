// Watches the copies of embedded files that were opened for editing and
// reports what another program saved into them. Editors save in place or by
// writing a new file and renaming it over the old one; both are seen, since
// each copy's folder is watched with the copy. A save is reported once the
// copy has been quiet for a moment, so that a file being written is not taken
// half done, and only when its content differs from what was last reported.
#pragma once

#include <QByteArray>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

// A saved copy larger than this is not taken back: a test is held in memory
// whole.
inline constexpr qint64 OleMaxSavedCopy = 128 * 1024 * 1024;

class TOleCopyWatch : public QObject
{
    Q_OBJECT

public:
    // `quietMs`: how long a copy must stay unchanged before it is read.
    explicit TOleCopyWatch(int quietMs = 250, QObject *parent = nullptr);

    // Watches the copy at `path`, which was written with `content`. Returns
    // the key that the signals name it by.
    int Watch(const QString &path, const QByteArray &content);
    void Forget(int key);
    void ForgetAll();
    QString Path(int key) const;
    QList<int> Keys() const { return m_copies.keys(); }

    // Reads every copy with changes pending now instead of after the quiet
    // time.
    void CheckNow();

signals:
    // The copy was saved with content other than last reported.
    void Saved(int key, const QByteArray &content);
    // The copy was saved but cannot be taken back; `reason` is a clause that
    // follows "cannot be taken into the test: ".
    void Unreadable(int key, const QString &reason);

private:
    struct TCopy
    {
        QString Path;
        QString Folder;
        QByteArray Digest; // of the content last written or reported
    };

    void Changed(const QString &path);
    void Check(int key);
    void Rewatch(const TCopy &copy);

    QFileSystemWatcher m_watcher;
    QTimer m_quiet;
    QHash<int, TCopy> m_copies;
    QSet<int> m_pending;
    int m_nextKey = 1;
};
