#include "QZAttemptRecord.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>

#include <openssl/evp.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace Corvella {

const QString AttemptSuffix = QStringLiteral("cvr");

namespace {

constexpr int ChecksumLength = 64;

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

} // namespace

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

QDateTime TimeOf(const QJsonValue &value)
{
    return QDateTime::fromString(value.toString(), Qt::ISODate);
}

QJsonArray IntArray(const QList<int> &values)
{
    QJsonArray array;
    for (int value : values)
        array.append(value);
    return array;
}

QList<int> IntList(const QJsonValue &value)
{
    QList<int> list;
    const QJsonArray array = value.toArray();
    list.reserve(array.size());
    for (const QJsonValue &item : array)
        list.append(item.toInt());
    return list;
}

qint32 Int32(const QJsonValue &value)
{
    const double number = value.toDouble();
    if (!std::isfinite(number))
        return 0;
    return qint32(std::clamp(number, double(std::numeric_limits<qint32>::min()),
                             double(std::numeric_limits<qint32>::max())));
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

bool IsLowerHex(const char *data, qsizetype size)
{
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
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

bool TAnswerRecord::FromJson(const QJsonObject &json, TAnswerRecord &answer)
{
    answer = {};
    const QString kind = json.value(QLatin1String("kind")).toString();
    if (kind == QLatin1String("choices")) {
        answer.Kind = TKind::Choices;
        answer.Marked = IntList(json.value(QLatin1String("marked")));
        answer.RightMarks = IntList(json.value(QLatin1String("right")));
    } else if (kind == QLatin1String("input")) {
        answer.Kind = TKind::Input;
        answer.Text = json.value(QLatin1String("text")).toString();
        const QJsonArray right = json.value(QLatin1String("right")).toArray();
        for (const QJsonValue &text : right)
            answer.Accepted << text.toString();
    } else if (kind == QLatin1String("alternative")) {
        answer.Kind = TKind::Alternative;
        answer.Pressed = json.value(QLatin1String("pressed")).toInt();
        answer.RightButton = json.value(QLatin1String("right")).toInt();
    } else {
        return false;
    }
    answer.Object = json.value(QLatin1String("object")).toInt();
    answer.Correct = json.value(QLatin1String("correct")).toBool();
    answer.Points = json.value(QLatin1String("points")).toInt();
    return true;
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
    // Whatever a crash left after the last whole entry goes first, or the
    // next entry would follow a torn line.
    TAttemptReader reader;
    TAttempt attempt;
    QFile existing(fileName);
    if (!existing.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("The attempt record %1 cannot be opened: %2")
                      .arg(QDir::toNativeSeparators(fileName), existing.errorString());
        return false;
    }
    const QByteArray data = existing.readAll();
    existing.close();
    if (reader.Parse(data, attempt) != TAttemptReader::TStatus::Ok) {
        m_error = QStringLiteral("The attempt record %1 cannot be continued: %2")
                      .arg(QDir::toNativeSeparators(fileName), reader.ErrorString());
        return false;
    }
    auto file = std::make_unique<TFile>();
    file->File.setFileName(fileName);
    if (!file->File.open(QIODevice::ReadWrite | QIODevice::Unbuffered) ||
        !file->File.resize(reader.WholeLength()) || !file->File.seek(reader.WholeLength())) {
        m_error = QStringLiteral("The attempt record %1 cannot be opened: %2")
                      .arg(QDir::toNativeSeparators(fileName), file->File.errorString());
        return false;
    }
    file->Size = reader.WholeLength();
    m_file = file.release();
    return true;
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

// ---------------------------------------------------------------------------
// The reader

TAttemptReader::TStatus TAttemptReader::Fail(TStatus status, const QString &error)
{
    m_error = error;
    return status;
}

TAttemptReader::TStatus TAttemptReader::Read(const QString &fileName, TAttempt &attempt)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_droppedLast = false;
        m_wholeLength = 0;
        return Fail(TStatus::Unreadable, file.errorString());
    }
    const TStatus status = Parse(file.readAll(), attempt);
    attempt.FileName = fileName;
    return status;
}

namespace {

void ReadStart(const QJsonObject &json, TAttempt &attempt)
{
    const QJsonObject test = json.value(QLatin1String("test")).toObject();
    attempt.Program = json.value(QLatin1String("program")).toString();
    attempt.TestTitle = test.value(QLatin1String("title")).toString();
    attempt.TestFile = test.value(QLatin1String("file")).toString();
    attempt.TestSha256 = test.value(QLatin1String("sha256")).toString().toLower();
    attempt.TestPages = test.value(QLatin1String("pages")).toInt();
    attempt.Student = json.value(QLatin1String("student")).toString();
    attempt.Started = TimeOf(json.value(QLatin1String("started")));
    attempt.Shuffle = json.value(QLatin1String("shuffle")).toString();
}

TPageVisit ReadPage(const QJsonObject &json)
{
    TPageVisit visit;
    visit.Order = json.value(QLatin1String("order")).toInt();
    visit.Page = json.value(QLatin1String("page")).toString();
    visit.Index = json.value(QLatin1String("index")).toInt(-1);
    const QJsonArray answers = json.value(QLatin1String("answers")).toArray();
    visit.Answers.reserve(answers.size());
    for (const QJsonValue &value : answers) {
        TAnswerRecord answer;
        if (TAnswerRecord::FromJson(value.toObject(), answer))
            visit.Answers.append(answer);
    }
    visit.Earned = Int32(json.value(QLatin1String("earned")));
    visit.Possible = Int32(json.value(QLatin1String("possible")));
    visit.Seconds = json.value(QLatin1String("seconds")).toDouble();
    visit.Next = json.value(QLatin1String("next")).toString();
    visit.TotalEarned = Int32(json.value(QLatin1String("totalEarned")));
    visit.TotalPossible = Int32(json.value(QLatin1String("totalPossible")));
    visit.At = TimeOf(json.value(QLatin1String("at")));
    return visit;
}

void ReadEnd(const QJsonObject &json, TAttempt &attempt)
{
    attempt.Finished = true;
    attempt.Ended = TimeOf(json.value(QLatin1String("ended")));
    attempt.EndReason = json.value(QLatin1String("reason")).toString();
    attempt.EndPercent = Int32(json.value(QLatin1String("percent")));
    attempt.Comment = json.value(QLatin1String("comment")).toString();
    attempt.EndEarned = Int32(json.value(QLatin1String("totalEarned")));
    attempt.EndPossible = Int32(json.value(QLatin1String("totalPossible")));
}

} // namespace

TAttemptReader::TStatus TAttemptReader::Parse(const QByteArray &data, TAttempt &attempt)
{
    attempt = {};
    m_error.clear();
    m_droppedLast = false;
    m_wholeLength = 0;
    if (data.isEmpty())
        return Fail(TStatus::Damaged, QStringLiteral("the record is empty"));

    // A record begins with a checksum, a space and a JSON object; anything
    // else was never one.
    const bool looksLikeRecord =
        data.size() > ChecksumLength + 1 && IsLowerHex(data.constData(), ChecksumLength) &&
        data.at(ChecksumLength) == ' ' && data.at(ChecksumLength + 1) == '{';
    if (!looksLikeRecord)
        return Fail(TStatus::Foreign, QStringLiteral("not an attempt record"));

    int lineNumber = 0;
    qsizetype at = 0;
    bool started = false;
    while (at < data.size()) {
        ++lineNumber;
        const qsizetype end = data.indexOf('\n', at);
        const bool lastLine = end < 0 || end + 1 == data.size();
        const auto torn = [&](const QString &why) {
            if (lastLine) {
                m_droppedLast = true;
                return TStatus::Ok;
            }
            return Fail(TStatus::Damaged, QStringLiteral("line %1: %2").arg(lineNumber).arg(why));
        };
        if (end < 0) {
            // Written in part when the program stopped.
            if (torn(QString()) != TStatus::Ok)
                return TStatus::Damaged;
            break;
        }
        const QByteArrayView line(data.constData() + at, end - at);
        at = end + 1;
        if (line.size() < ChecksumLength + 3 || line.at(ChecksumLength) != ' ' ||
            !IsLowerHex(line.data(), ChecksumLength)) {
            if (torn(QStringLiteral("not an entry")) != TStatus::Ok)
                return TStatus::Damaged;
            break;
        }
        const QByteArrayView json = line.sliced(ChecksumLength + 1);
        const QByteArray sum = Sha256Hex(json);
        if (QByteArrayView(sum) != line.first(ChecksumLength)) {
            if (torn(QStringLiteral("the checksum does not match")) != TStatus::Ok)
                return TStatus::Damaged;
            break;
        }
        QJsonParseError parseError;
        const QJsonDocument document =
            QJsonDocument::fromJson(QByteArray::fromRawData(json.data(), json.size()), &parseError);
        if (!document.isObject()) {
            if (torn(QStringLiteral("not a JSON object")) != TStatus::Ok)
                return TStatus::Damaged;
            break;
        }
        m_wholeLength = at;
        const QJsonObject entry = document.object();
        const QString type = entry.value(QLatin1String("type")).toString();
        if (!started) {
            if (type != QLatin1String("start"))
                return Fail(TStatus::Damaged, QStringLiteral("the first entry is not a start"));
            const int format = entry.value(QLatin1String("format")).toInt();
            if (format > AttemptFormat)
                return Fail(
                    TStatus::Foreign,
                    QStringLiteral("format %1 is newer than this program reads").arg(format));
            ReadStart(entry, attempt);
            started = true;
        } else if (type == QLatin1String("page")) {
            attempt.Pages.push_back(ReadPage(entry));
        } else if (type == QLatin1String("resume")) {
            attempt.Resumed.append(TimeOf(entry.value(QLatin1String("at"))));
        } else if (type == QLatin1String("end")) {
            ReadEnd(entry, attempt);
        }
        // Entries of other types come from newer programs and are passed by.
    }
    if (!started)
        return Fail(TStatus::Damaged, QStringLiteral("the record holds no whole entry"));
    return TStatus::Ok;
}

// ---------------------------------------------------------------------------
// Folders

bool ReadAttemptFolder(const QString &folder, std::vector<TAttempt> &attempts,
                       std::vector<TSkippedRecord> &skipped, QString *error)
{
    const QDir dir(folder);
    if (!dir.exists()) {
        if (error)
            *error = QStringLiteral("the folder %1 does not exist")
                         .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    const QStringList names = dir.entryList({QStringLiteral("*.") + AttemptSuffix},
                                            QDir::Files | QDir::Hidden, QDir::Name);
    TAttemptReader reader;
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        TAttempt attempt;
        const TAttemptReader::TStatus status = reader.Read(path, attempt);
        if (status == TAttemptReader::TStatus::Ok)
            attempts.push_back(std::move(attempt));
        else
            skipped.push_back({path, status, reader.ErrorString()});
    }
    return true;
}

bool FindUnfinished(const QString &folder, const QString &testSha256, const QString &student,
                    TAttempt &attempt)
{
    std::vector<TAttempt> attempts;
    std::vector<TSkippedRecord> skipped;
    if (!ReadAttemptFolder(folder, attempts, skipped))
        return false;
    const TAttempt *newest = nullptr;
    for (const TAttempt &candidate : attempts) {
        if (candidate.Finished || candidate.Student != student ||
            candidate.TestSha256.compare(testSha256, Qt::CaseInsensitive) != 0)
            continue;
        if (!newest || candidate.Started > newest->Started)
            newest = &candidate;
    }
    if (!newest)
        return false;
    attempt = *newest;
    return true;
}

} // namespace Corvella
