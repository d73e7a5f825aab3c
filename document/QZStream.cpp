#include "QZStream.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

const QString NewerVersionMessage = QStringLiteral("Get the newer version of the program!");

TQZFileError::TQZFileError(QString cause, QString fileName)
    : m_cause(std::move(cause))
{
    SetFileName(fileName);
}

void TQZFileError::SetFileName(const QString &fileName)
{
    m_fileName = fileName;
    m_what = Message().toUtf8();
}

QString TQZFileError::Message() const
{
    return m_fileName.isEmpty() ? m_cause : m_fileName + QStringLiteral(": ") + m_cause;
}

TQZNewerVersionError::TQZNewerVersionError(qint32 version, QString fileName)
    : TQZFileError(NewerVersionMessage, std::move(fileName))
    , m_version(version)
{
}

std::optional<QByteArrayView> TQZReader::Take(qint64 size)
{
    TByteReader attempt = m_reader;
    const QByteArrayView bytes = attempt.Take(size);
    if (attempt.Failed())
        return std::nullopt;
    m_reader = attempt;
    return bytes;
}

void TQZReader::Read(void *target, qsizetype size, const char *what)
{
    const std::optional<QByteArrayView> bytes = Take(size);
    if (!bytes)
        throw TQZFileError(QStringLiteral("the data ends inside %1 (at byte %2)")
                               .arg(QLatin1String(what))
                               .arg(Position()));
    if (size > 0)
        std::memcpy(target, bytes->data(), size_t(size));
}

QByteArrayView TQZReader::ReadPayload(qint64 length, const char *what)
{
    if (length < 0)
        throw TQZFileError(QStringLiteral("%1 has a negative length (%2) at byte %3")
                               .arg(QLatin1String(what))
                               .arg(length)
                               .arg(Position()));
    const std::optional<QByteArrayView> payload = Take(length);
    if (!payload)
        throw TQZFileError(QStringLiteral("%1 of %2 bytes at byte %3 runs past the end of the data")
                               .arg(QLatin1String(what))
                               .arg(length)
                               .arg(Position()));
    return *payload;
}

void TQZReader::Seek(qsizetype position) { m_reader.Seek(qBound<qsizetype>(0, position, Size())); }

QByteArray ReadWholeFile(const QString &fileName)
{
    if (QFileInfo(fileName).isDir())
        throw TQZFileError(QStringLiteral("it is a folder, not a file"), fileName);
    // Opened without waiting, so that a pipe or a device named as a file
    // cannot hold the program up; only a regular file is read.
    const int descriptor =
        ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        throw TQZFileError(QString::fromLocal8Bit(std::strerror(errno)), fileName);
    struct stat status
    {
    };
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(descriptor);
        throw TQZFileError(QStringLiteral("it is not a file but a device, a pipe or a socket"),
                           fileName);
    }
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    QFile file;
    if (!file.open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(descriptor);
        throw TQZFileError(file.errorString(), fileName);
    }
    // Read in one piece into memory taken whole: a large test (pictures make
    // tens of megabytes) then fills huge pages where the system has them,
    // rather than faulting in thousands of small ones.
    QByteArray data(qsizetype(status.st_size), Qt::Uninitialized);
    constexpr qsizetype HugePage = 2 * 1024 * 1024;
    if (data.size() >= 2 * HugePage) {
        const auto start = (quintptr(data.data()) + HugePage - 1) & ~quintptr(HugePage - 1);
        const auto end = (quintptr(data.data()) + quintptr(data.size())) & ~quintptr(HugePage - 1);
        if (end > start)
            ::madvise(reinterpret_cast<void *>(start), end - start, MADV_HUGEPAGE);
    }
    qsizetype read = 0;
    while (read < data.size()) {
        const qint64 got = file.read(data.data() + read, data.size() - read);
        if (got <= 0)
            break;
        read += qsizetype(got);
    }
    data.truncate(read);
    // A file that grew while it was read is read to its end.
    data += file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw TQZFileError(file.errorString(), fileName);
    return data;
}

TQZFileWriter::TQZFileWriter(const QString &fileName)
    : m_file(std::make_unique<QSaveFile>(fileName))
{
    if (!m_file->open(QIODevice::WriteOnly))
        throw TQZFileError(m_file->errorString(), fileName);
}

TQZFileWriter::~TQZFileWriter() = default;

void TQZFileWriter::Write(QByteArrayView data)
{
    if (m_file->write(data.data(), data.size()) != data.size()) {
        const QString cause = m_file->errorString();
        m_file->cancelWriting();
        throw TQZFileError(cause, m_file->fileName());
    }
}

void TQZFileWriter::Commit()
{
    if (!m_file->commit())
        throw TQZFileError(m_file->errorString(), m_file->fileName());
}

void WriteWholeFile(const QString &fileName, const QByteArray &data)
{
    TQZFileWriter file(fileName);
    file.Write(data);
    file.Commit();
}
