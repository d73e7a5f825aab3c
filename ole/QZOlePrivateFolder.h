// Where opened embedded files are written: a folder of this run's own, made
// in $XDG_RUNTIME_DIR (else the temporary folder) when the first file is
// opened, readable by the user alone, and removed when the program ends. Each
// copy gets a folder of its own in it, so that files of the same name never
// meet. A run writes a bounded number of copies and bytes, so that a test
// cannot fill the runtime folder however often its files are opened.
//
// The folder's name is OleFolderPrefix, the process id, "-" and a random
// part. While the program runs it holds a lock on the file ".lock" in it; a
// later run removes the folders whose process is gone and whose lock is free:
// the folders of runs that crashed or were killed.
#pragma once

#include <QString>

#include <memory>

class QTemporaryDir;

inline constexpr int OleMaxCopiesPerRun = 64;
inline constexpr qint64 OleMaxBytesPerRun = 128 * 1024 * 1024;
inline constexpr char OleFolderPrefix[] = "corvella-ole-";

class TOlePrivateFolder
{
public:
    // Nothing is made until the first copy is written.
    explicit TOlePrivateFolder(QString base, int maxCopies = OleMaxCopiesPerRun,
                               qint64 maxBytes = OleMaxBytesPerRun);
    // Removes the folder and every copy in it.
    ~TOlePrivateFolder();
    TOlePrivateFolder(const TOlePrivateFolder &) = delete;
    TOlePrivateFolder &operator=(const TOlePrivateFolder &) = delete;

    // Why a copy of `size` bytes would pass this run's bounds, as a clause
    // that follows "is not opened: "; empty when it fits.
    QString Refusal(qint64 size) const;
    // Writes a copy named `fileName` (a clean name) that only the user may
    // read and write, never executable. Returns its path, or an empty one
    // with `error` saying why, as a clause.
    QString Write(const QString &fileName, QByteArrayView content, QString &error);

    // The folder; empty before the first copy.
    QString Path() const;
    int Copies() const { return m_copies; }
    qint64 Bytes() const { return m_bytes; }

private:
    bool Make(QString &error);

    QString m_base;
    int m_maxCopies;
    qint64 m_maxBytes;
    std::unique_ptr<QTemporaryDir> m_folder;
    int m_lock = -1;
    int m_copies = 0;
    qint64 m_bytes = 0;
};

// The folder private folders are made in: $XDG_RUNTIME_DIR where it names an
// existing folder of this user, else the temporary folder.
QString OlePrivateBase();

// This run's private folder, made in OlePrivateBase() as it is at the first
// call.
TOlePrivateFolder &OleRunFolder();

// Removes from `base` the private folders of earlier runs: folders (not links)
// of this user named with the prefix and a process id, whose process is gone
// and whose lock no process holds. Nothing else is touched. Returns how many
// were removed.
int RemoveStaleOleFolders(const QString &base = OlePrivateBase());
