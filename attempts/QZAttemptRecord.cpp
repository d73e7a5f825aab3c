#include "QZAttemptRecord.h"
#include "QZAttemptLines.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QStandardPaths>

#include <openssl/evp.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Corvella {

const QString AttemptSuffix = QStringLiteral("cvr");

// SHA-256 as lowercase hex. The reader checks every line of every record, so
// a report over a classroom's folder spends much of its time here: OpenSSL's
// digest, with the algorithm fetched once per thread, is several times
// faster than QCryptographicHash.
QByteArray Sha256Hex(QByteArrayView data)
{
    struct TDigest
    {
        EVP_MD *Algorithm = EVP_MD_fetch(nullptr, "SHA256", nullptr);
        EVP_MD_CTX *Context = EVP_MD_CTX_new();
        ~TDigest()
        {
            EVP_MD_CTX_free(Context);
            EVP_MD_free(Algorithm);
        }
    };
    thread_local TDigest digest;
    unsigned char hash[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!digest.Algorithm || !digest.Context ||
        !EVP_DigestInit_ex(digest.Context, digest.Algorithm, nullptr) ||
        !EVP_DigestUpdate(digest.Context, data.data(), size_t(data.size())) ||
        !EVP_DigestFinal_ex(digest.Context, hash, &length))
        return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
    return QByteArray::fromRawData(reinterpret_cast<const char *>(hash), qsizetype(length)).toHex();
}

QString BytesSha256(QByteArrayView bytes) { return QString::fromLatin1(Sha256Hex(bytes)); }

QString FileSha256(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    // OpenSSL's digest for the same reason as above: the player hashes its
    // test, which may be tens of megabytes, while starting.
    EVP_MD *algorithm = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    EVP_MD_CTX *context = EVP_MD_CTX_new();
    bool ok = algorithm && context && EVP_DigestInit_ex(context, algorithm, nullptr);
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    while (ok) {
        const qint64 read = file.read(buffer.data(), buffer.size());
        if (read <= 0) {
            ok = read == 0;
            break;
        }
        ok = EVP_DigestUpdate(context, buffer.constData(), size_t(read));
    }
    unsigned char hash[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    ok = ok && EVP_DigestFinal_ex(context, hash, &length);
    EVP_MD_CTX_free(context);
    EVP_MD_free(algorithm);
    if (!ok)
        return {};
    return QString::fromLatin1(
        QByteArray::fromRawData(reinterpret_cast<const char *>(hash), qsizetype(length)).toHex());
}

bool IsLowerHex(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

QString AttemptTime(const QDateTime &time)
{
    if (!time.isValid())
        return {};
    // Always with the offset, so that records from machines in other time
    // zones compare; to the second.
    QDateTime withOffset = time.toOffsetFromUtc(time.offsetFromUtc());
    withOffset.setTime(
        QTime(withOffset.time().hour(), withOffset.time().minute(), withOffset.time().second()));
    return withOffset.toString(Qt::ISODate);
}

namespace {

QJsonArray IntArray(const QList<int> &values)
{
    QJsonArray array;
    for (int value : values)
        array.append(value);
    return array;
}

// Title or name reduced to what every file system takes.
QString FileNamePart(const QString &text, const QString &empty)
{
    QString part;
    for (const QChar c : text) {
        if (part.size() == 40)
            break;
        const char16_t u = c.unicode();
        const bool plain = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                           (u >= u'0' && u <= u'9') || u == u'_' || u == u'-';
        part += plain ? c : QLatin1Char('_');
    }
    return part.isEmpty() ? empty : part;
}

} // namespace

// ---------------------------------------------------------------------------
// The model

QString TAnswerRecord::Response() const
{
    switch (Kind) {
    case TKind::Choices: {
        if (Marked.isEmpty())
            return QStringLiteral("none");
        QStringList marks;
        for (int mark : Marked)
            marks << QString::number(mark);
        return marks.join(QStringLiteral(", "));
    }
    case TKind::Input: return Text;
    case TKind::Alternative:
        return Pressed == 0 ? QStringLiteral("none") : QString::number(Pressed);
    }
    return {};
}

QString TAnswerRecord::Description() const
{
    switch (Kind) {
    case TKind::Choices:
        if (Marked.isEmpty())
            return QStringLiteral("no choice marked");
        return (Marked.size() == 1 ? QStringLiteral("choice ") : QStringLiteral("choices ")) +
               Response();
    case TKind::Input:
        return Text.isEmpty() ? QStringLiteral("nothing typed")
                              : QStringLiteral("\u201C%1\u201D").arg(Text);
    case TKind::Alternative:
        return Pressed == 0 ? QStringLiteral("no answer")
                            : QStringLiteral("answer %1").arg(Pressed);
    }
    return {};
}

QJsonObject TAnswerRecord::ToJson() const
{
    QJsonObject json{{QStringLiteral("object"), Object},
                     {QStringLiteral("correct"), Correct},
                     {QStringLiteral("points"), Points}};
    switch (Kind) {
    case TKind::Choices:
        json.insert(QStringLiteral("kind"), QStringLiteral("choices"));
        json.insert(QStringLiteral("marked"), IntArray(Marked));
        json.insert(QStringLiteral("right"), IntArray(RightMarks));
        break;
    case TKind::Input:
        json.insert(QStringLiteral("kind"), QStringLiteral("input"));
        json.insert(QStringLiteral("text"), Text);
        json.insert(QStringLiteral("right"), QJsonArray::fromStringList(Accepted));
        break;
    case TKind::Alternative:
        json.insert(QStringLiteral("kind"), QStringLiteral("alternative"));
        json.insert(QStringLiteral("pressed"), Pressed);
        json.insert(QStringLiteral("right"), RightButton);
        break;
    }
    return json;
}

bool TPageVisit::AllCorrect() const
{
    return !Answers.isEmpty() && std::all_of(Answers.cbegin(), Answers.cend(),
                                             [](const TAnswerRecord &a) { return a.Correct; });
}

int PercentOf(qint32 earned, qint32 possible)
{
    if (possible == 0)
        return 0;
    // The result dialog's rule: the quotient first, then times 100, rounded
    // to nearest with halves to even (the default rounding mode).
    const double percent = std::nearbyint((double(earned) / double(possible)) * 100.0);
    return int(std::clamp(percent, double(std::numeric_limits<int>::min()),
                          double(std::numeric_limits<int>::max())));
}

qint32 TAttempt::TotalEarned() const
{
    if (Finished)
        return EndEarned;
    return Pages.empty() ? 0 : Pages.back().TotalEarned;
}

qint32 TAttempt::TotalPossible() const
{
    if (Finished)
        return EndPossible;
    return Pages.empty() ? 0 : Pages.back().TotalPossible;
}

int TAttempt::Percent() const
{
    return Finished ? EndPercent : PercentOf(TotalEarned(), TotalPossible());
}

qint32 TAttempt::VisitedEarned() const
{
    qint64 sum = 0;
    for (const TPageVisit &visit : Pages)
        sum += visit.Earned;
    return qint32(std::clamp<qint64>(sum, std::numeric_limits<qint32>::min(),
                                     std::numeric_limits<qint32>::max()));
}

qint32 TAttempt::VisitedPossible() const
{
    qint64 sum = 0;
    for (const TPageVisit &visit : Pages)
        sum += visit.Possible;
    return qint32(std::clamp<qint64>(sum, std::numeric_limits<qint32>::min(),
                                     std::numeric_limits<qint32>::max()));
}

int TAttempt::VisitedPercent() const { return PercentOf(VisitedEarned(), VisitedPossible()); }

qint64 TAttempt::DurationSeconds() const
{
    if (!Started.isValid())
        return 0;
    QDateTime last = Started;
    for (const TPageVisit &visit : Pages)
        if (visit.At.isValid() && visit.At > last)
            last = visit.At;
    for (const QDateTime &resume : Resumed)
        if (resume.isValid() && resume > last)
            last = resume;
    if (Finished && Ended.isValid() && Ended > last)
        last = Ended;
    qint64 seconds = Started.secsTo(last);
    // The time the attempt lay interrupted: from the last entry before a
    // resume to the resume.
    for (const QDateTime &resume : Resumed) {
        if (!resume.isValid())
            continue;
        QDateTime before = Started;
        for (const TPageVisit &visit : Pages)
            if (visit.At.isValid() && visit.At <= resume && visit.At > before)
                before = visit.At;
        for (const QDateTime &other : Resumed)
            if (other.isValid() && other < resume && other > before)
                before = other;
        seconds -= std::max<qint64>(0, before.secsTo(resume));
    }
    return std::max<qint64>(0, seconds);
}

QString TAttempt::StudentOrAnonymous() const
{
    return Student.isEmpty() ? QStringLiteral("anonymous") : Student;
}

// ---------------------------------------------------------------------------
// Entries

QJsonObject StartEntry(const TAttempt &attempt)
{
    return QJsonObject{
        {QStringLiteral("type"), QStringLiteral("start")},
        {QStringLiteral("format"), AttemptFormat},
        {QStringLiteral("program"), attempt.Program},
        {QStringLiteral("test"), QJsonObject{{QStringLiteral("title"), attempt.TestTitle},
                                             {QStringLiteral("file"), attempt.TestFile},
                                             {QStringLiteral("sha256"), attempt.TestSha256},
                                             {QStringLiteral("pages"), attempt.TestPages}}},
        {QStringLiteral("student"), attempt.Student},
        {QStringLiteral("started"), AttemptTime(attempt.Started)},
        {QStringLiteral("shuffle"), attempt.Shuffle},
    };
}

QJsonObject PageEntry(const TPageVisit &visit)
{
    QJsonArray answers;
    for (const TAnswerRecord &answer : visit.Answers)
        answers.append(answer.ToJson());
    return QJsonObject{
        {QStringLiteral("type"), QStringLiteral("page")},
        {QStringLiteral("order"), visit.Order},
        {QStringLiteral("page"), visit.Page},
        {QStringLiteral("index"), visit.Index},
        {QStringLiteral("answers"), answers},
        {QStringLiteral("earned"), visit.Earned},
        {QStringLiteral("possible"), visit.Possible},
        {QStringLiteral("seconds"), std::round(visit.Seconds * 10.0) / 10.0},
        {QStringLiteral("next"), visit.Next},
        {QStringLiteral("totalEarned"), visit.TotalEarned},
        {QStringLiteral("totalPossible"), visit.TotalPossible},
        {QStringLiteral("at"), AttemptTime(visit.At)},
    };
}

QJsonObject ResumeEntry(const QDateTime &at)
{
    return QJsonObject{{QStringLiteral("type"), QStringLiteral("resume")},
                       {QStringLiteral("at"), AttemptTime(at)}};
}

QJsonObject EndEntry(const TAttempt &attempt)
{
    return QJsonObject{
        {QStringLiteral("type"), QStringLiteral("end")},
        {QStringLiteral("ended"), AttemptTime(attempt.Ended)},
        {QStringLiteral("reason"), attempt.EndReason},
        {QStringLiteral("percent"), attempt.EndPercent},
        {QStringLiteral("comment"), attempt.Comment},
        {QStringLiteral("totalEarned"), attempt.EndEarned},
        {QStringLiteral("totalPossible"), attempt.EndPossible},
    };
}

QByteArray EntryLine(const QJsonObject &entry)
{
    // QJsonDocument sorts keys; "type" is put first by hand so that a line
    // says what it is at a glance.
    QJsonObject rest = entry;
    const QJsonValue type = rest.take(QStringLiteral("type"));
    QByteArray json = QJsonDocument(rest).toJson(QJsonDocument::Compact);
    if (!type.isUndefined()) {
        QByteArray typeJson = QJsonDocument(QJsonArray{type}).toJson(QJsonDocument::Compact);
        typeJson = "{\"type\":" + typeJson.mid(1, typeJson.size() - 2);
        json = typeJson + (json.size() > 2 ? "," + json.mid(1) : QByteArrayLiteral("}"));
    }
    QByteArray line = Sha256Hex(json);
    line.reserve(line.size() + json.size() + 2);
    line += ' ';
    line += json;
    line += '\n';
    return line;
}

QString AttemptFileName(const QString &testTitle, const QString &student, const QDateTime &started)
{
    const quint32 random = QRandomGenerator::system()->generate();
    return QStringLiteral("%1-%2-%3-%4.%5")
        .arg(FileNamePart(testTitle, QStringLiteral("test")),
             FileNamePart(student, QStringLiteral("anonymous")),
             started.toString(QStringLiteral("yyyyMMdd-HHmmss")),
             QStringLiteral("%1").arg(random, 8, 16, QLatin1Char('0')), AttemptSuffix);
}

// ---------------------------------------------------------------------------
// The writer

struct TAttemptWriter::TFile
{
    QFile File;
    qint64 Size = 0; // bytes of whole entries in the file
};

TAttemptWriter::TAttemptWriter() = default;

TAttemptWriter::~TAttemptWriter() { Close(); }

bool TAttemptWriter::IsOpen() const { return m_file != nullptr; }

QString TAttemptWriter::FileName() const { return m_file ? m_file->File.fileName() : QString(); }

void TAttemptWriter::Close()
{
    delete m_file;
    m_file = nullptr;
}

bool TAttemptWriter::Create(const QString &folder, TAttempt &attempt)
{
    Close();
    m_error.clear();
    if (!QDir().mkpath(folder)) {
        m_error = QStringLiteral("The results folder %1 cannot be made.")
                      .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    const QDir dir(folder);
    auto file = std::make_unique<TFile>();
    // The name's random part keeps players apart; NewOnly makes sure of it,
    // and a clash only means drawing again.
    constexpr int Attempts = 16;
    for (int i = 0; i < Attempts; ++i) {
        file->File.setFileName(
            dir.filePath(AttemptFileName(attempt.TestTitle, attempt.Student, attempt.Started)));
        if (file->File.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            break;
        if (!file->File.exists() || i + 1 == Attempts) {
            m_error =
                QStringLiteral("The attempt record %1 cannot be made: %2")
                    .arg(QDir::toNativeSeparators(file->File.fileName()), file->File.errorString());
            return false;
        }
    }
    // Before the start entry makes it a record that others would look at.
    ::flock(file->File.handle(), LOCK_EX | LOCK_NB);
    m_file = file.release();
    if (!Append(StartEntry(attempt))) {
        // A record without its start would be nobody's; take it away again.
        const QString name = m_file->File.fileName();
        Close();
        QFile::remove(name);
        return false;
    }
    attempt.FileName = m_file->File.fileName();
    return true;
}

bool TAttemptWriter::OpenForAppend(const QString &fileName)
{
    Close();
    m_error.clear();
    auto file = std::make_unique<TFile>();
    file->File.setFileName(fileName);
    if (!file->File.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        m_error = QStringLiteral("The attempt record %1 cannot be opened: %2")
                      .arg(QDir::toNativeSeparators(fileName), file->File.errorString());
        return false;
    }
    if (::flock(file->File.handle(), LOCK_EX | LOCK_NB) != 0) {
        m_error = QStringLiteral("The attempt record %1 is being written by another player.")
                      .arg(QDir::toNativeSeparators(fileName));
        return false;
    }
    // Whatever a crash left after the last whole entry goes first, or the
    // next entry would follow a torn line.
    TAttemptReader reader;
    TAttempt attempt;
    const QByteArray data = file->File.readAll();
    if (reader.Parse(data, attempt) != TAttemptReader::TStatus::Ok) {
        m_error = QStringLiteral("The attempt record %1 cannot be continued: %2")
                      .arg(QDir::toNativeSeparators(fileName), reader.ErrorString());
        return false;
    }
    if (!file->File.resize(reader.WholeLength()) || !file->File.seek(reader.WholeLength())) {
        m_error = QStringLiteral("The attempt record %1 cannot be opened: %2")
                      .arg(QDir::toNativeSeparators(fileName), file->File.errorString());
        return false;
    }
    file->Size = reader.WholeLength();
    m_file = file.release();
    return true;
}

bool TAttemptWriter::IsHeld(const QString &fileName)
{
    // A lock of its own conflicts with a writer's, even in this process: each
    // open file has its own.
    const int descriptor = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool held = ::flock(descriptor, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    ::close(descriptor);
    return held;
}

bool TAttemptWriter::Append(const QJsonObject &entry)
{
    if (!m_file) {
        m_error = QStringLiteral("No attempt record is open.");
        return false;
    }
    const QByteArray line = EntryLine(entry);
    QFile &file = m_file->File;
    const bool written = file.write(line) == line.size() && file.flush();
    // On the disk before the player goes on: a crash then loses at most the
    // page in progress.
    const bool synced = written && ::fdatasync(file.handle()) == 0;
    if (!synced) {
        const QString reason =
            written ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
        m_error = QStringLiteral("The attempt record %1 cannot be written: %2")
                      .arg(QDir::toNativeSeparators(file.fileName()), reason);
        // A part of the line left behind would damage the entries after it.
        file.resize(m_file->Size);
        file.seek(m_file->Size);
        return false;
    }
    m_file->Size += line.size();
    return true;
}

QString DefaultResultsFolder()
{
    const QString named = qEnvironmentVariable("CORVELLA_RESULTS");
    if (!named.isEmpty())
        return named;
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/corvella/results");
}

} // namespace Corvella
