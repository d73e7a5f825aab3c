#include "QZMetafileSandbox.h"

#include "QZByteReader.h"
#include "QZMetafileProtocol.h"
#include "QZSvgSanitizer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <memory>

namespace {

TMetafileSvg Rejected(const QString &error) { return {{}, {}, error}; }

// The helper beside the program (a build folder, or a program folder that
// holds everything), then in the helper folder of the installation the
// program belongs to, then in that of the prefix the programs were built for.
QString FindHelper()
{
    const QString name = QString::fromLatin1(MetafileHelperName);
    QStringList places;
    if (QCoreApplication::instance()) {
        const QDir programs(QCoreApplication::applicationDirPath());
        places << programs.filePath(name)
               << programs.filePath(QStringLiteral(CORVELLA_BIN_TO_LIBEXECDIR "/corvella/") + name);
    }
    places << QStringLiteral(CORVELLA_INSTALL_LIBEXECDIR "/corvella/") + name;
    for (const QString &place : std::as_const(places)) {
        const QFileInfo file(place);
        if (file.isFile() && file.isExecutable())
            return file.absoluteFilePath();
    }
    return {};
}

class TMetafileSandbox
{
public:
    TMetafileSvg Convert(QByteArrayView bytes);
    void Stop()
    {
        if (m_process) {
            m_process->kill();
            m_process->waitForFinished(1000);
            m_process.reset();
        }
    }

    QString Program;
    TMetafileSandboxLimits Limits;

private:
    bool Start(QString *error);
    bool Send(QByteArrayView bytes, const QDeadlineTimer &deadline);
    bool Receive(qint64 count, QByteArray &into, const QDeadlineTimer &deadline);
    // The reason the helper gave no answer; the helper is stopped.
    QString Failure(const QDeadlineTimer &deadline);

    std::unique_ptr<QProcess> m_process;
};

bool TMetafileSandbox::Start(QString *error)
{
    const QString program = Program.isEmpty() ? FindHelper() : Program;
    if (program.isEmpty()) {
        *error = QStringLiteral("the metafile converter %1 is not installed beside the program")
                     .arg(QString::fromLatin1(MetafileHelperName));
        return false;
    }
    m_process = std::make_unique<QProcess>();
    m_process->setProgram(program);
    m_process->setArguments({QStringLiteral("--memory-mb"), QString::number(Limits.MemoryMb),
                             QStringLiteral("--cpu-seconds"), QString::number(Limits.CpuSeconds)});
    // Its messages, if any, go where the program's own go.
    m_process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process->start(QIODevice::ReadWrite);
    if (!m_process->waitForStarted(5000)) {
        *error = QStringLiteral("the metafile converter %1 could not be started: %2")
                     .arg(program, m_process->errorString());
        m_process.reset();
        return false;
    }
    return true;
}

bool TMetafileSandbox::Send(QByteArrayView bytes, const QDeadlineTimer &deadline)
{
    QByteArray length;
    AppendLe<quint32>(length, quint32(bytes.size()));
    if (m_process->write(length) != length.size() ||
        m_process->write(bytes.data(), bytes.size()) != bytes.size())
        return false;
    while (m_process->bytesToWrite() > 0)
        if (!m_process->waitForBytesWritten(int(qMax<qint64>(1, deadline.remainingTime()))))
            return false;
    return true;
}

bool TMetafileSandbox::Receive(qint64 count, QByteArray &into, const QDeadlineTimer &deadline)
{
    while (m_process->bytesAvailable() < count) {
        if (deadline.hasExpired() || m_process->state() != QProcess::Running ||
            !m_process->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime()))))
            return m_process->bytesAvailable() >= count;
    }
    into = m_process->read(count);
    return into.size() == count;
}

QString TMetafileSandbox::Failure(const QDeadlineTimer &deadline)
{
    const bool running = m_process->state() == QProcess::Running;
    Stop();
    if (running && deadline.hasExpired())
        return QStringLiteral("the metafile converter took too long over this metafile");
    return QStringLiteral("the metafile converter stopped on this metafile (a fault in it, or "
                          "more time or memory than a picture needs)");
}

TMetafileSvg TMetafileSandbox::Convert(QByteArrayView bytes)
{
    if (bytes.size() > MaxMetafileBytes)
        return Rejected(QStringLiteral("the metafile is too large"));
    QString error;
    if ((!m_process || m_process->state() != QProcess::Running) && !Start(&error))
        return Rejected(error);
    const QDeadlineTimer deadline(Limits.WaitMs);
    QByteArray header;
    if (!Send(bytes, deadline) || !Receive(MetafileAnswerHeaderBytes, header, deadline))
        return Rejected(Failure(deadline));
    TByteReader answer(header);
    const quint32 status = answer.U32();
    const qint32 width = answer.I32();
    const QSize size(width, answer.I32());
    const quint32 length = answer.U32();
    const QString nonsense =
        QStringLiteral("the metafile converter gave an answer that is not a drawing");
    if ((status != MetafileDrawn && status != MetafileRejected) ||
        length > quint32(MaxMetafileSvgBytes)) {
        Stop();
        return Rejected(nonsense);
    }
    QByteArray payload;
    if (length > 0 && !Receive(length, payload, deadline))
        return Rejected(Failure(deadline));
    // Nothing may follow the answer, or the next one would start inside it.
    if (m_process->bytesAvailable() > 0) {
        Stop();
        return Rejected(nonsense);
    }
    if (status == MetafileRejected)
        return Rejected(payload.isEmpty() ? QStringLiteral("the metafile could not be drawn")
                                          : QString::fromUtf8(payload));
    QString why;
    TMetafileSvg result;
    result.Svg = SanitizedSvg(payload, &why);
    if (result.Svg.isEmpty())
        return Rejected(QStringLiteral("the metafile's drawing cannot be used: ") + why);
    result.NaturalSize = size;
    return result;
}

TMetafileSandbox &Sandbox()
{
    static TMetafileSandbox *sandbox = [] {
        auto *created = new TMetafileSandbox;
        // The helper ends with the application; its input then closes.
        qAddPostRoutine([] { Sandbox().Stop(); });
        return created;
    }();
    return *sandbox;
}

} // namespace

TMetafileSvg ConvertMetafile(QByteArrayView bytes)
{
    if (!LooksLikeEmf(bytes) && !LooksLikeWmf(bytes))
        return Rejected(QStringLiteral("the picture is not a metafile"));
    return Sandbox().Convert(bytes);
}

QString SetMetafileHelperProgram(const QString &program)
{
    Sandbox().Stop();
    return std::exchange(Sandbox().Program, program);
}

TMetafileSandboxLimits SetMetafileSandboxLimits(const TMetafileSandboxLimits &limits)
{
    Sandbox().Stop();
    return std::exchange(Sandbox().Limits, limits);
}
