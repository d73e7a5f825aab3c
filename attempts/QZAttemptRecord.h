// Attempt records: what one student did in one run of a test, kept in a file
// of its own in a results folder.
//
// The file is UTF-8 text, one entry per line, only ever appended to:
//   <64 hex digits: SHA-256 of the JSON bytes> <compact JSON object>\n
// The first entry is a "start"; then one "page" per confirmed page, a
// "resume" when an unfinished attempt is taken up again, and an "end" when
// the run ends. A crash can tear only the line being written, so a reader
// drops a last line that is torn or fails its checksum and calls the record
// damaged when any earlier line does.
#pragma once

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace Corvella {

// The record format this library writes and the newest it reads.
constexpr int AttemptFormat = 1;
// File name suffix of attempt records.
extern const QString AttemptSuffix; // "cvr"

// The answer given to one question object on a page.
struct TAnswerRecord
{
    enum class TKind { Choices, Input, Alternative };

    int Object = 0; // the object's tag on its page
    TKind Kind = TKind::Choices;
    // Choices: the marks set and the marks the object counts as right.
    QList<int> Marked;
    QList<int> RightMarks;
    // Input: the text typed and the accepted answers.
    QString Text;
    QStringList Accepted;
    // Alternative: the button pressed (1 or 2, 0 for none) and the right one.
    int Pressed = 0;
    int RightButton = 0;
    bool Correct = false;
    int Points = 0; // the object's points

    // What the student answered, as a report shows it: the marks ("1, 3",
    // "none"), the typed text or the button ("1", "2", "none").
    QString Response() const;
    // The same for a reader of a report, who has no test at hand: "choice 4",
    // "choices 1, 3", "no choice marked", the typed text in quotation marks,
    // "nothing typed", "answer 2", "no answer".
    QString Description() const;

    QJsonObject ToJson() const;
};

// One confirmed page.
struct TPageVisit
{
    int Order = 0;  // 0, 1, 2 ... in the order shown
    QString Page;   // the page's name
    int Index = -1; // the page's index in the test, 0-based
    QList<TAnswerRecord> Answers;
    qint32 Earned = 0;        // points earned on the page
    qint32 Possible = 0;      // points possible on the page
    double Seconds = 0;       // on the page, to a tenth
    QString Next;             // the page it went to, or "(End)"
    qint32 TotalEarned = 0;   // the run's score after the page
    qint32 TotalPossible = 0; // the run's maximum after the page
    QDateTime At;

    // True when every answer on the page is right and there is at least one.
    bool AllCorrect() const;
};

// A whole attempt, as read from its file or as the player builds it.
struct TAttempt
{
    QString FileName; // the record's path; empty until written or read

    // From the "start" entry.
    QString Program; // "corvview 2.1.0"
    QString TestTitle;
    QString TestFile;   // the test file's name, without folders
    QString TestSha256; // lowercase hex of the test file's bytes
    int TestPages = 0;
    QString Student; // empty when the name was not asked
    QDateTime Started;
    QString Shuffle; // the /R arguments as given

    std::vector<TPageVisit> Pages;
    QList<QDateTime> Resumed;

    // From the "end" entry.
    bool Finished = false;
    QDateTime Ended;
    QString EndReason; // "result", "exit" or "closed"
    int EndPercent = 0;
    QString Comment;
    qint32 EndEarned = 0;
    qint32 EndPossible = 0;

    // The run's score and maximum: the end's totals, or where the last page
    // left them in an unfinished attempt.
    qint32 TotalEarned() const;
    qint32 TotalPossible() const;
    // The result in percent as the result dialog shows it; for an unfinished
    // attempt, as it would show the totals so far.
    int Percent() const;
    // Points earned and possible over the pages visited: branches not taken
    // do not count.
    qint32 VisitedEarned() const;
    qint32 VisitedPossible() const;
    int VisitedPercent() const;
    // Seconds from the start to the end (or to the last entry when
    // unfinished), leaving out the time between an interruption and its
    // resume.
    qint64 DurationSeconds() const;
    // The student's name, or "anonymous".
    QString StudentOrAnonymous() const;
};

// A time as the records hold it: ISO 8601 with its offset from UTC, to the
// second; empty for an invalid time.
QString AttemptTime(const QDateTime &time);

// The SHA-256 of a file's bytes as lowercase hex, as records name their test;
// empty when the file cannot be read.
QString FileSha256(const QString &fileName);
// The same for bytes in memory.
QString BytesSha256(QByteArrayView bytes);

// 100 * earned / possible rounded half to even, as the result dialog rounds;
// 0 when possible is 0.
int PercentOf(qint32 earned, qint32 possible);

// The entries of the file, as the writer appends them. The times are written
// in ISO 8601 with their offset, to the second.
QJsonObject StartEntry(const TAttempt &attempt);
QJsonObject PageEntry(const TPageVisit &visit);
QJsonObject ResumeEntry(const QDateTime &at);
// From the attempt's end fields.
QJsonObject EndEntry(const TAttempt &attempt);

// One line of a record: checksum, space, the compact JSON with "type" first,
// newline.
QByteArray EntryLine(const QJsonObject &entry);

// The file name a new attempt gets: <test>-<student>-<yyyyMMdd-HHmmss>-<8
// random hex>.cvr, title and name reduced to [A-Za-z0-9_-] and at most 40
// characters each.
QString AttemptFileName(const QString &testTitle, const QString &student, const QDateTime &started);

// Appends entries to one attempt file, each flushed and synced to the disk
// before Append returns. Never throws; failures are reported by the return
// value and ErrorString().
//
// While a writer has a record open it holds an advisory lock on it (flock),
// which goes with the process when that is killed: a record being written
// is never continued by a second writer, which would interleave its lines.
class TAttemptWriter
{
public:
    TAttemptWriter();
    ~TAttemptWriter();
    TAttemptWriter(const TAttemptWriter &) = delete;
    TAttemptWriter &operator=(const TAttemptWriter &) = delete;

    // Creates a new file for `attempt` in `folder` (made when missing) under
    // a name no other writer holds, writes its start entry and sets
    // attempt.FileName.
    bool Create(const QString &folder, TAttempt &attempt);
    // Opens an existing record to append to, for resuming it; fails when
    // another writer holds it.
    bool OpenForAppend(const QString &fileName);
    // True when a writer, in this process or another, has the record open.
    static bool IsHeld(const QString &fileName);

    bool Append(const QJsonObject &entry);
    bool AppendPage(const TPageVisit &visit) { return Append(PageEntry(visit)); }
    bool AppendResume(const QDateTime &at) { return Append(ResumeEntry(at)); }
    bool AppendEnd(const TAttempt &attempt) { return Append(EndEntry(attempt)); }

    bool IsOpen() const;
    QString FileName() const;
    // The last failure in plain words, naming the file or folder.
    QString ErrorString() const { return m_error; }
    void Close();

private:
    struct TFile;
    TFile *m_file = nullptr;
    QString m_error;
};

// Reads attempt records.
class TAttemptReader
{
public:
    TAttemptReader();
    ~TAttemptReader();
    TAttemptReader(const TAttemptReader &) = delete;
    TAttemptReader &operator=(const TAttemptReader &) = delete;

    enum class TStatus {
        Ok,
        // Not an attempt record at all, or one of a newer format.
        Foreign,
        // An attempt record with a bad line before its last.
        Damaged,
        // The file cannot be read.
        Unreadable,
    };

    // Reads one record. On Ok `attempt` holds it; otherwise ErrorString()
    // says why, without the file name.
    TStatus Read(const QString &fileName, TAttempt &attempt);
    TStatus Parse(const QByteArray &data, TAttempt &attempt);
    QString ErrorString() const { return m_error; }
    // True when the last line of the last record read was dropped: torn, or
    // not whole on the disk when the program stopped.
    bool DroppedLastLine() const { return m_droppedLast; }
    // Bytes of whole, sound entries at the start of the last record read:
    // where the next entry goes when it is continued.
    qsizetype WholeLength() const { return m_wholeLength; }

private:
    struct TParser;
    TStatus Fail(TStatus status, const QString &error);

    std::unique_ptr<TParser> m_parser; // kept from file to file for its buffers
    QString m_error;
    bool m_droppedLast = false;
    qsizetype m_wholeLength = 0;
};

// A record in a folder that could not be used, and why.
struct TSkippedRecord
{
    QString FileName;
    TAttemptReader::TStatus Status = TAttemptReader::TStatus::Damaged;
    QString Reason;
};

// The results folder used when none is named: the one in the environment
// variable CORVELLA_RESULTS when it is set, else corvella/results under the
// user's data folder ($XDG_DATA_HOME).
QString DefaultResultsFolder();

// Every *.cvr file directly in `folder`, in file name order. Returns false
// with `error` set when the folder cannot be listed.
bool ReadAttemptFolder(const QString &folder, std::vector<TAttempt> &attempts,
                       std::vector<TSkippedRecord> &skipped, QString *error = nullptr);

// The newest unfinished attempt in `folder` at the test with this hash by
// this student (empty for an anonymous one), for resuming; false when there
// is none.
bool FindUnfinished(const QString &folder, const QString &testSha256, const QString &student,
                    TAttempt &attempt);

} // namespace Corvella
