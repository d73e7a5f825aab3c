#include "QZAttemptLines.h"
#include "QZAttemptRecord.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <simdjson.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <thread>
#include <vector>

namespace Corvella {

namespace {

// Texts that repeat from record to record (page names, the accepted
// answers, typed answers many students share) are made once and shared:
// a folder of a class's records then holds each of them once instead of in
// every record, and reading makes far fewer allocations.
class TSharedTexts
{
public:
    QString Get(std::string_view text)
    {
        if (text.empty())
            return {};
        if (text.size() > MaxLength)
            return QString::fromUtf8(text.data(), qsizetype(text.size()));
        const QByteArray key = QByteArray::fromRawData(text.data(), qsizetype(text.size()));
        if (const auto it = m_texts.constFind(key); it != m_texts.cend())
            return *it;
        QString made = QString::fromUtf8(text.data(), qsizetype(text.size()));
        if (m_texts.size() < MaxCount)
            m_texts.insert(QByteArray(text.data(), qsizetype(text.size())), made);
        return made;
    }

private:
    static constexpr size_t MaxLength = 200;
    static constexpr qsizetype MaxCount = 20000;
    QHash<QByteArray, QString> m_texts;
};

// The fields of one entry. Missing fields and fields of another type read
// as empty or 0, as the reader of an older or newer program's entry needs.
// Every line of every record passes through here: simdjson parses a folder
// of records several times faster than QJsonDocument and checks UTF-8 as it
// goes.
struct TEntry
{
    // Empty for a missing or non-object field: every lookup then misses.
    std::optional<simdjson::dom::object> Object;
    TSharedTexts *Texts = nullptr;

    simdjson::simdjson_result<simdjson::dom::element> Field(const char *key) const
    {
        if (!Object)
            return simdjson::NO_SUCH_FIELD;
        return (*Object)[key];
    }
    std::string_view View(const char *key) const
    {
        std::string_view text;
        return Field(key).get_string().get(text) == simdjson::SUCCESS ? text : std::string_view();
    }
    QString String(const char *key) const { return Texts->Get(View(key)); }
    qint64 Int(const char *key, qint64 missing = 0) const { return IntOf(Field(key), missing); }
    qint32 Int32(const char *key) const
    {
        return qint32(std::clamp<qint64>(Int(key), std::numeric_limits<qint32>::min(),
                                         std::numeric_limits<qint32>::max()));
    }
    double Double(const char *key) const
    {
        double value = 0;
        return Field(key).get_double().get(value) == simdjson::SUCCESS && std::isfinite(value)
                   ? value
                   : 0.0;
    }
    bool Bool(const char *key) const
    {
        bool value = false;
        return Field(key).get_bool().get(value) == simdjson::SUCCESS && value;
    }
    QDateTime Time(const char *key) const
    {
        return QDateTime::fromString(String(key), Qt::ISODate);
    }
    TEntry Child(const char *key) const
    {
        simdjson::dom::object child;
        if (Field(key).get_object().get(child) != simdjson::SUCCESS)
            return TEntry{std::nullopt, Texts};
        return TEntry{child, Texts};
    }
    // Calls `each` with every item of an array field; nothing when the field
    // is missing or not an array.
    template<typename Each> void ForEach(const char *key, Each each) const
    {
        simdjson::dom::array array;
        if (Field(key).get_array().get(array) != simdjson::SUCCESS)
            return;
        for (simdjson::dom::element item : array)
            each(item);
    }

    static qint64 IntOf(simdjson::simdjson_result<simdjson::dom::element> element,
                        qint64 missing = 0)
    {
        int64_t whole = 0;
        if (element.get_int64().get(whole) == simdjson::SUCCESS)
            return whole;
        double number = 0;
        if (element.get_double().get(number) != simdjson::SUCCESS || !std::isfinite(number))
            return missing;
        return qint64(std::clamp(number, -9.0e18, 9.0e18));
    }
};

QList<int> IntList(const TEntry &json, const char *key)
{
    QList<int> list;
    json.ForEach(key, [&list](simdjson::dom::element item) {
        list.append(
            int(std::clamp<qint64>(TEntry::IntOf(std::move(item)), std::numeric_limits<int>::min(),
                                   std::numeric_limits<int>::max())));
    });
    return list;
}

// False for an answer of a kind this library does not know.
bool ReadAnswer(const TEntry &json, TAnswerRecord &answer)
{
    const std::string_view kind = json.View("kind");
    if (kind == "choices") {
        answer.Kind = TAnswerRecord::TKind::Choices;
        answer.Marked = IntList(json, "marked");
        answer.RightMarks = IntList(json, "right");
    } else if (kind == "input") {
        answer.Kind = TAnswerRecord::TKind::Input;
        answer.Text = json.String("text");
        json.ForEach("right", [&answer, &json](simdjson::dom::element text) {
            std::string_view view;
            if (text.get_string().get(view) == simdjson::SUCCESS)
                answer.Accepted << json.Texts->Get(view);
        });
    } else if (kind == "alternative") {
        answer.Kind = TAnswerRecord::TKind::Alternative;
        answer.Pressed = int(json.Int32("pressed"));
        answer.RightButton = int(json.Int32("right"));
    } else {
        return false;
    }
    answer.Object = int(json.Int32("object"));
    answer.Correct = json.Bool("correct");
    answer.Points = int(json.Int32("points"));
    return true;
}

void ReadStart(const TEntry &json, TAttempt &attempt)
{
    const TEntry test = json.Child("test");
    attempt.Program = json.String("program");
    attempt.TestTitle = test.String("title");
    attempt.TestFile = test.String("file");
    attempt.TestSha256 = test.String("sha256").toLower();
    attempt.TestPages = int(test.Int32("pages"));
    attempt.Student = json.String("student");
    attempt.Started = json.Time("started");
    attempt.Shuffle = json.String("shuffle");
}

TPageVisit ReadPage(const TEntry &json)
{
    TPageVisit visit;
    visit.Order = int(json.Int32("order"));
    visit.Page = json.String("page");
    visit.Index =
        int(std::clamp<qint64>(json.Int("index", -1), -1, std::numeric_limits<int>::max()));
    json.ForEach("answers", [&visit, &json](simdjson::dom::element value) {
        simdjson::dom::object object;
        TAnswerRecord answer;
        if (value.get_object().get(object) == simdjson::SUCCESS &&
            ReadAnswer(TEntry{object, json.Texts}, answer))
            visit.Answers.append(answer);
    });
    visit.Earned = json.Int32("earned");
    visit.Possible = json.Int32("possible");
    visit.Seconds = json.Double("seconds");
    visit.Next = json.String("next");
    visit.TotalEarned = json.Int32("totalEarned");
    visit.TotalPossible = json.Int32("totalPossible");
    visit.At = json.Time("at");
    return visit;
}

void ReadEnd(const TEntry &json, TAttempt &attempt)
{
    attempt.Finished = true;
    attempt.Ended = json.Time("ended");
    attempt.EndReason = json.String("reason");
    attempt.EndPercent = int(json.Int32("percent"));
    attempt.Comment = json.String("comment");
    attempt.EndEarned = json.Int32("totalEarned");
    attempt.EndPossible = json.Int32("totalPossible");
}

} // namespace

// ---------------------------------------------------------------------------
// The reader

struct TAttemptReader::TParser : simdjson::dom::parser
{
    TSharedTexts Texts;
    QByteArray Buffer; // a file's bytes, kept from file to file
};

TAttemptReader::TAttemptReader()
    : m_parser(std::make_unique<TParser>())
{
}

TAttemptReader::~TAttemptReader() = default;

TAttemptReader::TStatus TAttemptReader::Fail(TStatus status, const QString &error)
{
    m_error = error;
    return status;
}

TAttemptReader::TStatus TAttemptReader::Read(const QString &fileName, TAttempt &attempt)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        attempt = {};
        m_droppedLast = false;
        m_wholeLength = 0;
        return Fail(TStatus::Unreadable, file.errorString());
    }
    // Into the buffer of the file before: its memory is reused instead of
    // taken afresh for every record of a folder.
    QByteArray &data = m_parser->Buffer;
    data.resize(0);
    const qint64 size = file.size();
    if (size > 0 && size < (qint64(1) << 30)) {
        data.resize(qsizetype(size));
        data.resize(qsizetype(std::max<qint64>(file.read(data.data(), size), 0)));
    }
    data.append(file.readAll()); // a file that grew, or one whose size is not known
    const TStatus status = Parse(data, attempt);
    attempt.FileName = fileName;
    return status;
}

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
    const bool looksLikeRecord = data.size() > ChecksumLength + 1 &&
                                 IsLowerHex(QByteArrayView(data).first(ChecksumLength)) &&
                                 data.at(ChecksumLength) == ' ' &&
                                 data.at(ChecksumLength + 1) == '{';
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
        // The checksum's digits need no check of their own: only lowercase
        // hex can equal the digest below.
        if (line.size() < ChecksumLength + 3 || line.at(ChecksumLength) != ' ') {
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
        simdjson::dom::object entry;
        if (m_parser->parse(json.data(), size_t(json.size())).get_object().get(entry) !=
            simdjson::SUCCESS) {
            if (torn(QStringLiteral("not a JSON object")) != TStatus::Ok)
                return TStatus::Damaged;
            break;
        }
        m_wholeLength = at;
        const TEntry fields{entry, &m_parser->Texts};
        const std::string_view type = fields.View("type");
        if (!started) {
            if (type != "start")
                return Fail(TStatus::Damaged, QStringLiteral("the first entry is not a start"));
            const qint64 format = fields.Int("format");
            if (format > AttemptFormat)
                return Fail(
                    TStatus::Foreign,
                    QStringLiteral("format %1 is newer than this program reads").arg(format));
            ReadStart(fields, attempt);
            started = true;
        } else if (type == "page") {
            attempt.Pages.push_back(ReadPage(fields));
        } else if (type == "resume") {
            attempt.Resumed.append(fields.Time("at"));
        } else if (type == "end") {
            ReadEnd(fields, attempt);
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
    // Records are read on every core: checking each line's checksum and
    // parsing its JSON take most of the time, and each record is read alone.
    // Every file has its slot, so the result is in file name order whatever
    // thread read it.
    struct TSlot
    {
        TAttempt Attempt;
        TAttemptReader::TStatus Status = TAttemptReader::TStatus::Ok;
        QString Reason;
    };
    std::vector<TSlot> read(size_t(names.size()));
    std::atomic<qsizetype> next{0};
    const auto work = [&] {
        TAttemptReader reader;
        for (qsizetype n = next++; n < names.size(); n = next++) {
            TSlot &slot = read[size_t(n)];
            slot.Status = reader.Read(dir.filePath(names.at(n)), slot.Attempt);
            if (slot.Status != TAttemptReader::TStatus::Ok)
                slot.Reason = reader.ErrorString();
        }
    };
    const qsizetype threads =
        std::clamp<qsizetype>(qsizetype(std::thread::hardware_concurrency()), 1, 16);
    std::vector<std::thread> helpers;
    for (qsizetype t = 1; t < std::min(threads, names.size()); ++t)
        helpers.emplace_back(work);
    work();
    for (std::thread &helper : helpers)
        helper.join();

    attempts.reserve(attempts.size() + read.size());
    for (qsizetype n = 0; n < names.size(); ++n) {
        TSlot &slot = read[size_t(n)];
        if (slot.Status == TAttemptReader::TStatus::Ok)
            attempts.push_back(std::move(slot.Attempt));
        else
            skipped.push_back({dir.filePath(names.at(n)), slot.Status, slot.Reason});
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
