// Memory streams for page streams and test files, and the errors that file
// operations raise to the command that started them.
#pragma once

#include "QZByteReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <exception>
#include <memory>
#include <optional>

class QSaveFile;

// A failed read or write. Cause says what went wrong in words; FileName is
// filled in by the file operation, so that a message can name the file.
class TQZFileError : public std::exception
{
public:
    explicit TQZFileError(QString cause, QString fileName = {});

    const QString &Cause() const { return m_cause; }
    const QString &FileName() const { return m_fileName; }
    void SetFileName(const QString &fileName);
    // "FILE: cause", or the cause alone without a file name.
    QString Message() const;
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_cause;
    QString m_fileName;
    QByteArray m_what;
};

// A test file of a format version newer than this program reads. Both programs
// show NewerVersionMessage and end with exit code 0.
class TQZNewerVersionError : public TQZFileError
{
public:
    explicit TQZNewerVersionError(qint32 version, QString fileName = {});
    qint32 Version() const { return m_version; }

private:
    qint32 m_version;
};

extern const QString NewerVersionMessage;

// Reads fixed-size records and length-framed payloads from bytes in memory.
// Every read is bounds-checked (by TByteReader): running past the end raises
// TQZFileError instead of reading outside the data.
class TQZReader
{
public:
    explicit TQZReader(QByteArrayView data)
        : m_reader(data)
    {
    }
    // Reading from `data` itself lets payloads share its bytes (Owner).
    explicit TQZReader(const QByteArray &data)
        : m_reader(data)
        , m_owner(data)
    {
    }

    qsizetype Position() const { return m_reader.Position(); }
    qsizetype Size() const { return m_reader.Size(); }
    qsizetype Remaining() const { return m_reader.Remaining(); }
    QByteArrayView Data() const { return m_reader.Data(); }

    // Copies size bytes to target; `what` names the data in the error.
    void Read(void *target, qsizetype size, const char *what);

    template<typename Record> Record ReadRecord(const char *what)
    {
        Record record;
        Read(&record, sizeof(Record), what);
        return record;
    }

    // The length bytes from the current position, which then moves past them.
    // A negative length or one past the end of the data is an error.
    QByteArrayView ReadPayload(qint64 length, const char *what);
    // The array the data lies in, when the reader was made from one: a
    // payload may keep it (a shared reference, not a copy) and view its
    // bytes in place. Null otherwise.
    const QByteArray &Owner() const { return m_owner; }

    void Seek(qsizetype position);

private:
    // The bytes of a read; nullopt, with the reader unmoved, past the end.
    std::optional<QByteArrayView> Take(qint64 size);

    TByteReader m_reader;
    QByteArray m_owner;
};

// Appends a whole record to a stream buffer.
template<typename Record> void WriteRecord(QByteArray &stream, const Record &record)
{
    stream.append(reinterpret_cast<const char *>(&record), sizeof(Record));
}

// Reads a whole file into memory; raises TQZFileError naming the file.
QByteArray ReadWholeFile(const QString &fileName);

// Writes a file through a temporary file beside it that replaces the old file
// only on Commit, once it is complete and on disk: a save that fails or is
// abandoned (destroyed without Commit) leaves the old file as it was. Raises
// TQZFileError naming the file.
class TQZFileWriter
{
public:
    explicit TQZFileWriter(const QString &fileName);
    ~TQZFileWriter();
    TQZFileWriter(const TQZFileWriter &) = delete;
    TQZFileWriter &operator=(const TQZFileWriter &) = delete;

    void Write(QByteArrayView data);
    void Commit();

private:
    std::unique_ptr<QSaveFile> m_file;
};

void WriteWholeFile(const QString &fileName, const QByteArray &data);
