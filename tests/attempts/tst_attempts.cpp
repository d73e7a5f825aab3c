// Attempt records: what the writer puts on the disk, what the reader makes of
// whole, torn and damaged files, writers sharing a folder, resuming, and the
// numbers the reports are built from.
#include "QZAttemptRecord.h"
#include "QZResultsAnalysis.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <thread>

#include <unistd.h>

using namespace Corvella;

namespace {

const QString Hash = QStringLiteral("ab").repeated(32);

QDateTime Time(int minute, int second = 0)
{
    return QDateTime(QDate(2024, 5, 6), QTime(9, minute, second), QTimeZone(7200));
}

TAttempt NewAttempt(const QString &student = QStringLiteral("Ana Novak"))
{
    TAttempt attempt;
    attempt.Program = QStringLiteral("corvview 2.1.0");
    attempt.TestTitle = QStringLiteral("Planets & moons");
    attempt.TestFile = QStringLiteral("Planets.cvl");
    attempt.TestSha256 = Hash;
    attempt.TestPages = 4;
    attempt.Student = student;
    attempt.Started = Time(0);
    return attempt;
}

TAnswerRecord Choices(QList<int> marked, QList<int> right, int points)
{
    TAnswerRecord answer;
    answer.Object = 2;
    answer.Kind = TAnswerRecord::TKind::Choices;
    answer.Marked = marked;
    answer.RightMarks = right;
    answer.Correct = marked == right;
    answer.Points = points;
    return answer;
}

TAnswerRecord Input(const QString &text, bool correct)
{
    TAnswerRecord answer;
    answer.Object = 3;
    answer.Kind = TAnswerRecord::TKind::Input;
    answer.Text = text;
    answer.Accepted = {QStringLiteral("frog"), QStringLiteral("a frog")};
    answer.Correct = correct;
    answer.Points = 2;
    return answer;
}

TPageVisit Visit(int order, const QString &page, int index, QList<TAnswerRecord> answers,
                 qint32 earned, qint32 possible, qint32 totalEarned, qint32 totalPossible,
                 const QDateTime &at)
{
    TPageVisit visit;
    visit.Order = order;
    visit.Page = page;
    visit.Index = index;
    visit.Answers = answers;
    visit.Earned = earned;
    visit.Possible = possible;
    visit.Seconds = 12.34;
    visit.Next = QStringLiteral("(Forward)");
    visit.TotalEarned = totalEarned;
    visit.TotalPossible = totalPossible;
    visit.At = at;
    return visit;
}

QByteArray ReadAll(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool AppendBytes(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::Append) && file.write(bytes) == bytes.size();
}

// A record line made here rather than by the library.
QByteArray Line(const QByteArray &json)
{
    return QCryptographicHash::hash(json, QCryptographicHash::Sha256).toHex() + ' ' + json + '\n';
}

const QByteArray StartJson = QByteArray(
    R"j({"type":"start","format":1,"program":"corvview 2.1.0","test":{"title":"T","file":"T.cvl",)j"
    R"j("sha256":"abab","pages":2},"student":"","started":"2024-05-06T09:00:00+02:00","shuffle":""})j");
const QByteArray PageJson = QByteArray(
    R"j({"type":"page","order":0,"page":"One","index":0,"answers":[],"earned":1,"possible":1,)j"
    R"j("seconds":3.5,"next":"(End)","totalEarned":1,"totalPossible":1,)j"
    R"j("at":"2024-05-06T09:00:10+02:00"})j");

} // namespace

class TestAttempts : public QObject
{
    Q_OBJECT

private slots:
    void writtenRecordReadsBack();
    void readerJudgesLines_data();
    void readerJudgesLines();
    void resumingDropsATornLine();
    void recordBeingWrittenIsNotContinued();
    void writersShareAFolder();
    void unwritableFolderIsReported();
    void findUnfinishedTakesTheNewestOfTheStudent();
    void scoresAndDuration();
    void itemAnalysis();
};

// Entry by entry as the player writes them, and back.
void TestAttempts::writtenRecordReadsBack()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.filePath(QStringLiteral("results/class 3"));
    TAttempt attempt = NewAttempt();
    TAttemptWriter writer;
    QVERIFY2(writer.Create(folder, attempt), qPrintable(writer.ErrorString()));
    QCOMPARE(attempt.FileName, writer.FileName());
    const QString name = QFileInfo(attempt.FileName).fileName();
    QVERIFY2(QRegularExpression(
                 QStringLiteral("^Planets___moons-Ana_Novak-20240506-090000-[0-9a-f]{8}\\.cvr$"))
                 .match(name)
                 .hasMatch(),
             qPrintable(name));

    const TPageVisit first =
        Visit(0, QStringLiteral("Capitals"), 1, {Choices({2}, {2}, 2)}, 2, 2, 2, 2, Time(1));
    const TPageVisit second =
        Visit(1, QStringLiteral("Words"), 3, {Input(QStringLiteral("toad, \"green\"\nč"), false)},
              0, 2, 2, 4, Time(2));
    QVERIFY(writer.AppendPage(first));
    QVERIFY(writer.AppendResume(Time(30)));
    QVERIFY(writer.AppendPage(second));
    attempt.Ended = Time(31);
    attempt.EndReason = QStringLiteral("result");
    attempt.EndPercent = 50;
    attempt.Comment = QStringLiteral("You are on a good way to succeed!");
    attempt.EndEarned = 2;
    attempt.EndPossible = 4;
    QVERIFY(writer.AppendEnd(attempt));
    writer.Close();

    // Every line: 64 hex digits of the SHA-256 of the JSON after the space,
    // the JSON with "type" first.
    const QList<QByteArray> lines = ReadAll(attempt.FileName).split('\n');
    QCOMPARE(lines.size(), 6);
    QVERIFY(lines.last().isEmpty());
    const char *types[] = {"start", "page", "resume", "page", "end"};
    for (int i = 0; i < 5; ++i) {
        const QByteArray json = lines.at(i).mid(65);
        QCOMPARE(lines.at(i).left(65),
                 QCryptographicHash::hash(json, QCryptographicHash::Sha256).toHex() + ' ');
        QVERIFY2(json.startsWith("{\"type\":\"" + QByteArray(types[i]) + "\""), json.constData());
    }
    QVERIFY(lines.at(0).contains(R"("started":"2024-05-06T09:00:00+02:00")"));
    QVERIFY(lines.at(1).contains(R"("seconds":12.3)"));

    TAttemptReader reader;
    TAttempt read;
    QCOMPARE(reader.Read(attempt.FileName, read), TAttemptReader::TStatus::Ok);
    QVERIFY(!reader.DroppedLastLine());
    QCOMPARE(read.Student, attempt.Student);
    QCOMPARE(read.TestTitle, attempt.TestTitle);
    QCOMPARE(read.TestSha256, Hash);
    QCOMPARE(read.Started, attempt.Started);
    QCOMPARE(read.Started.offsetFromUtc(), 7200);
    QCOMPARE(read.Pages.size(), size_t(2));
    QCOMPARE(read.Pages[1].Answers.at(0).Text, second.Answers.at(0).Text);
    QCOMPARE(read.Pages[1].Answers.at(0).Accepted, second.Answers.at(0).Accepted);
    QCOMPARE(read.Pages[0].Answers.at(0).Marked, QList<int>{2});
    QCOMPARE(read.Pages[0].Seconds, 12.3);
    QCOMPARE(read.Resumed, QList<QDateTime>{Time(30)});
    QVERIFY(read.Finished);
    QCOMPARE(read.EndPercent, 50);
    QCOMPARE(read.Comment, attempt.Comment);
    QCOMPARE(read.TotalEarned(), 2);
    QCOMPARE(read.TotalPossible(), 4);
}

void TestAttempts::readerJudgesLines_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("reason");

    const QByteArray start = Line(StartJson);
    const QByteArray page = Line(PageJson);
    const QByteArray badSum = QByteArray(page).replace("\"earned\":1", "\"earned\":9");
    const int ok = int(TAttemptReader::TStatus::Ok);
    const int damaged = int(TAttemptReader::TStatus::Damaged);
    const int foreign = int(TAttemptReader::TStatus::Foreign);

    QTest::newRow("whole") << start + page << ok << 1 << QString();
    QTest::newRow("torn last line") << start + page + page.left(90) << ok << 1 << QString();
    QTest::newRow("last line's checksum fails") << start + page + badSum << ok << 1 << QString();
    QTest::newRow("bad line before the last")
        << start + badSum + page << damaged << 0
        << QStringLiteral("line 2: the checksum does not match");
    QTest::newRow("torn line before the last")
        << start + page.left(90) + '\n' + page << damaged << 0
        << QStringLiteral("line 2: the checksum does not match");
    QTest::newRow("first entry not a start")
        << page + start << damaged << 0 << QStringLiteral("the first entry is not a start");
    QTest::newRow("start torn") << start.left(100) << damaged << 0
                                << QStringLiteral("the record holds no whole entry");
    QTest::newRow("empty") << QByteArray() << damaged << 0 << QStringLiteral("the record is empty");
    QTest::newRow("text") << QByteArrayLiteral("student,points\nAna,3\n") << foreign << 0
                          << QStringLiteral("not an attempt record");
    // Fields missing or of another type read as empty: an entry of another
    // program's making never stops (or crashes) the reader.
    QTest::newRow("bare entries") << Line(R"({"type":"start"})") + Line(R"({"type":"page"})") +
                                         Line(R"({"type":"end"})")
                                  << ok << 1 << QString();
    QTest::newRow("fields of other types")
        << Line(R"({"type":"start","test":[1],"format":"1","student":7})") +
               Line(
                   R"({"type":"page","answers":[{"kind":"choices"},{"kind":"input","right":[1,"a"]},)"
                   R"({"kind":"alternative","pressed":"x"},5],"index":"2","earned":1e300})")
        << ok << 1 << QString();
    QTest::newRow("newer format") << Line(QByteArray(StartJson).replace("\"format\":1",
                                                                        "\"format\":2"))
                                  << foreign << 0
                                  << QStringLiteral("format 2 is newer than this program reads");
}

void TestAttempts::readerJudgesLines()
{
    QFETCH(QByteArray, data);
    QFETCH(int, status);
    QFETCH(int, pages);
    QFETCH(QString, reason);
    TAttemptReader reader;
    TAttempt attempt;
    QCOMPARE(int(reader.Parse(data, attempt)), status);
    QCOMPARE(reader.ErrorString(), reason);
    if (status == int(TAttemptReader::TStatus::Ok))
        QCOMPARE(int(attempt.Pages.size()), pages);
}

// A player that stopped in the middle of a line leaves it torn; the resumed
// record must not carry it in its middle.
void TestAttempts::resumingDropsATornLine()
{
    QTemporaryDir dir;
    TAttempt attempt = NewAttempt();
    {
        TAttemptWriter writer;
        QVERIFY(writer.Create(dir.path(), attempt));
        QVERIFY(writer.AppendPage(
            Visit(0, QStringLiteral("A"), 0, {Choices({1}, {1}, 1)}, 1, 1, 1, 1, Time(1))));
    }
    QVERIFY(AppendBytes(
        attempt.FileName,
        EntryLine(PageEntry(Visit(1, QStringLiteral("B"), 1, {}, 0, 1, 1, 2, Time(2)))).left(70)));
    TAttemptWriter writer;
    QVERIFY2(writer.OpenForAppend(attempt.FileName), qPrintable(writer.ErrorString()));
    QVERIFY(writer.AppendResume(Time(5)));
    QVERIFY(writer.AppendPage(
        Visit(1, QStringLiteral("B"), 1, {Choices({}, {2}, 1)}, 0, 1, 1, 2, Time(6))));
    writer.Close();

    TAttemptReader reader;
    TAttempt read;
    QCOMPARE(reader.Read(attempt.FileName, read), TAttemptReader::TStatus::Ok);
    QVERIFY(!reader.DroppedLastLine());
    QCOMPARE(read.Pages.size(), size_t(2));
    QCOMPARE(read.Pages[1].Page, QStringLiteral("B"));
    QCOMPARE(read.Resumed.size(), 1);
}

// A second writer on a record in use would interleave its lines, or cut off
// the line the first is writing as a torn one.
void TestAttempts::recordBeingWrittenIsNotContinued()
{
    QTemporaryDir dir;
    TAttempt attempt = NewAttempt();
    TAttemptWriter first;
    QVERIFY(first.Create(dir.path(), attempt));
    QVERIFY(TAttemptWriter::IsHeld(attempt.FileName));
    TAttemptWriter second;
    QVERIFY(!second.OpenForAppend(attempt.FileName));
    QVERIFY2(second.ErrorString().contains(QStringLiteral("another player")),
             qPrintable(second.ErrorString()));
    first.Close();
    QVERIFY(!TAttemptWriter::IsHeld(attempt.FileName));
    QVERIFY(second.OpenForAppend(attempt.FileName));
    QVERIFY(TAttemptWriter::IsHeld(attempt.FileName));
}

// Players of one class start the same test in the same second under the same
// name; each keeps a file of its own.
void TestAttempts::writersShareAFolder()
{
    QTemporaryDir dir;
    constexpr int Writers = 8;
    constexpr int Pages = 40;
    QStringList names(Writers);
    QStringList errors(Writers);
    std::vector<std::thread> threads;
    for (int w = 0; w < Writers; ++w) {
        threads.emplace_back([&, w] {
            TAttempt attempt = NewAttempt();
            TAttemptWriter writer;
            if (!writer.Create(dir.path(), attempt)) {
                errors[w] = writer.ErrorString();
                return;
            }
            names[w] = attempt.FileName;
            for (int p = 0; p < Pages; ++p)
                if (!writer.AppendPage(Visit(p, QStringLiteral("Page %1").arg(p), p,
                                             {Input(QString::number(w), true)}, 1, 1, p + 1, p + 1,
                                             Time(1)))) {
                    errors[w] = writer.ErrorString();
                    return;
                }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    for (const QString &error : std::as_const(errors))
        QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(QSet<QString>(names.cbegin(), names.cend()).size(), Writers);

    std::vector<TAttempt> attempts;
    std::vector<TSkippedRecord> skipped;
    QVERIFY(ReadAttemptFolder(dir.path(), attempts, skipped));
    QCOMPARE(skipped.size(), size_t(0));
    QCOMPARE(attempts.size(), size_t(Writers));
    for (const TAttempt &attempt : attempts) {
        QCOMPARE(attempt.Pages.size(), size_t(Pages));
        const QString writerMark = attempt.Pages.front().Answers.at(0).Text;
        for (const TPageVisit &visit : attempt.Pages)
            QCOMPARE(visit.Answers.at(0).Text, writerMark);
    }
}

void TestAttempts::unwritableFolderIsReported()
{
    QTemporaryDir dir;
    const QString plainFile = dir.filePath(QStringLiteral("file"));
    QVERIFY(AppendBytes(plainFile, "x"));
    TAttempt attempt = NewAttempt();
    TAttemptWriter writer;
    QVERIFY(!writer.Create(plainFile + QStringLiteral("/results"), attempt));
    QCOMPARE(writer.ErrorString(),
             QStringLiteral("The results folder %1/results cannot be made.").arg(plainFile));
    QVERIFY(!writer.IsOpen());
    QVERIFY(!writer.AppendPage(TPageVisit()));
    QCOMPARE(writer.ErrorString(), QStringLiteral("No attempt record is open."));

    if (::geteuid() == 0)
        return; // permissions do not hold the superuser back
    const QString locked = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(locked));
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner));
    QVERIFY(!writer.Create(locked, attempt));
    QVERIFY2(writer.ErrorString().startsWith(QStringLiteral("The attempt record %1/").arg(locked)),
             qPrintable(writer.ErrorString()));
    QVERIFY(QDir(locked).isEmpty());
}

void TestAttempts::findUnfinishedTakesTheNewestOfTheStudent()
{
    QTemporaryDir dir;
    const auto write = [&](const QString &student, int minute, bool finish,
                           const QString &hash = Hash) {
        TAttempt attempt = NewAttempt(student);
        attempt.Started = Time(minute);
        attempt.TestSha256 = hash;
        TAttemptWriter writer;
        if (!writer.Create(dir.path(), attempt))
            return QString();
        writer.AppendPage(Visit(0, QStringLiteral("A"), 0, {}, 1, 1, 1, 1, Time(minute, 30)));
        if (finish)
            writer.AppendEnd(attempt);
        return attempt.FileName;
    };
    write(QStringLiteral("Ana"), 1, false);
    const QString newest = write(QStringLiteral("Ana"), 5, false);
    write(QStringLiteral("Ana"), 9, true);
    write(QStringLiteral("Bor"), 10, false);
    write(QStringLiteral("Ana"), 11, false, QStringLiteral("cd").repeated(32));
    QVERIFY(AppendBytes(dir.filePath(QStringLiteral("broken.cvr")), "junk"));

    TAttempt found;
    QVERIFY(FindUnfinished(dir.path(), Hash, QStringLiteral("Ana"), found));
    QCOMPARE(found.FileName, newest);
    QVERIFY(!FindUnfinished(dir.path(), Hash, QString(), found));
    QVERIFY(!FindUnfinished(dir.filePath(QStringLiteral("missing")), Hash, QStringLiteral("Ana"),
                            found));
}

void TestAttempts::scoresAndDuration()
{
    // The result dialog's rounding: halves to even.
    QCOMPARE(PercentOf(1, 8), 12);
    QCOMPARE(PercentOf(3, 8), 38);
    QCOMPARE(PercentOf(-2, 4), -50);
    QCOMPARE(PercentOf(5, 0), 0);

    // Three pages of 2 points; the student went back to the first page,
    // which resets the score, and did not see a branch worth 10.
    TAttempt attempt = NewAttempt();
    attempt.Pages.push_back(Visit(0, QStringLiteral("A"), 0, {}, 2, 2, 2, 2, Time(1)));
    attempt.Pages.push_back(Visit(1, QStringLiteral("B"), 1, {}, 0, 2, 2, 4, Time(2)));
    attempt.Pages.push_back(Visit(2, QStringLiteral("A"), 0, {}, 2, 2, 2, 2, Time(3)));
    QCOMPARE(attempt.Percent(), 100);
    QCOMPARE(attempt.VisitedEarned(), 4);
    QCOMPARE(attempt.VisitedPossible(), 6);
    QCOMPARE(attempt.VisitedPercent(), 67);
    QCOMPARE(attempt.DurationSeconds(), 180);
    // Stopped after page B at 9:02, resumed at 9:40: 38 minutes left out.
    attempt.Resumed.append(Time(40));
    attempt.Pages[2].At = Time(41);
    attempt.Finished = true;
    attempt.Ended = Time(41, 30);
    attempt.EndPercent = 75;
    QCOMPARE(attempt.DurationSeconds(), 41 * 60 + 30 - 38 * 60);
    QCOMPARE(attempt.Percent(), 75);
    QCOMPARE(attempt.StudentOrAnonymous(), QStringLiteral("Ana Novak"));
    QCOMPARE(NewAttempt(QString()).StudentOrAnonymous(), QStringLiteral("anonymous"));
}

// Facility, discrimination and the most chosen wrong answer worked out by
// hand over five attempts.
void TestAttempts::itemAnalysis()
{
    // Page Q1 (2 points): earned 2, 2, 0, 0, not seen. Page Q2 (1 point):
    // earned 1, 0, 1, 0, 0. An info page without answers is no column.
    const int q1[] = {2, 2, 0, 0, -1};
    const int q2[] = {1, 0, 1, 0, 0};
    const QList<int> wrongMarks[] = {{}, {}, {1, 3}, {4}, {}};
    std::vector<TAttempt> attempts;
    for (int a = 0; a < 5; ++a) {
        TAttempt attempt = NewAttempt(QStringLiteral("S%1").arg(a));
        int order = 0;
        attempt.Pages.push_back(
            Visit(order++, QStringLiteral("Intro"), 0, {}, 0, 0, 0, 0, Time(1)));
        if (q1[a] >= 0)
            attempt.Pages.push_back(Visit(order++, QStringLiteral("Q1"), 1,
                                          {Choices(q1[a] ? QList<int>{2} : wrongMarks[a], {2}, 2)},
                                          q1[a], 2, 0, 0, Time(2)));
        attempt.Pages.push_back(
            Visit(order++, QStringLiteral("Q2"), 2,
                  {Input(q2[a] ? QStringLiteral("frog") : QStringLiteral("toad"), q2[a] != 0)},
                  q2[a], 1, 0, 0, Time(3)));
        // The last two stopped before the end; the histogram leaves them out.
        attempt.Finished = a < 3;
        attempt.EndPercent = 45 * a;
        attempts.push_back(attempt);
    }
    TAttempt otherTest = NewAttempt();
    otherTest.TestSha256 = QStringLiteral("cd").repeated(32);

    // Without the test the columns come in the order met.
    const TResultsAnalysis loose(attempts);
    QCOMPARE(loose.Columns().size(), 2);
    QCOMPARE(loose.Columns().at(0).Name, QStringLiteral("Q1"));

    // With it, the test's order and only its attempts; Q0 was never seen.
    TTestOutline outline;
    outline.Title = QStringLiteral("Outline title");
    outline.Sha256 = Hash.toUpper();
    outline.Pages = {{QStringLiteral("Intro"), false},
                     {QStringLiteral("Q2"), true},
                     {QStringLiteral("Q0"), true},
                     {QStringLiteral("Q1"), true}};
    attempts.push_back(otherTest);
    const TResultsAnalysis analysis(attempts, &outline);
    QCOMPARE(analysis.OtherTests(), 1);
    QCOMPARE(int(analysis.Attempts().size()), 5);
    QCOMPARE(analysis.TestTitle(), outline.Title);
    QCOMPARE(analysis.Columns().size(), 3);
    QCOMPARE(analysis.Columns().at(0).Name, QStringLiteral("Q2"));
    QCOMPARE(analysis.Columns().at(2).Index, 3);
    QVERIFY(!analysis.Score(4, 2).Seen);
    QCOMPARE(analysis.Score(0, 2).Earned, 2);

    const QList<TItemAnalysis> items = analysis.Items();
    const TItemAnalysis &q2Item = items.at(0);
    QCOMPARE(q2Item.SeenBy, 5);
    QCOMPARE(*q2Item.Facility, 0.4);
    // Q2 against the rest (Q1): x = 1 0 1 0 0, y = 2 2 0 0 0: r = 1/6.
    QVERIFY(q2Item.Discrimination);
    QVERIFY(qAbs(*q2Item.Discrimination - 1.0 / 6.0) < 1e-12);
    QCOMPARE(q2Item.WrongAnswer, QStringLiteral("\u201Ctoad\u201D"));
    QCOMPARE(q2Item.WrongCount, 3);

    const TItemAnalysis &q0Item = items.at(1);
    QCOMPARE(q0Item.SeenBy, 0);
    QVERIFY(!q0Item.Facility);
    QVERIFY(!q0Item.Discrimination);
    QVERIFY(q0Item.WrongAnswer.isEmpty());

    const TItemAnalysis &q1Item = items.at(2);
    QCOMPARE(q1Item.SeenBy, 4);
    QCOMPARE(*q1Item.Facility, 0.5);
    // Q1 against the rest (Q2): x = 2 2 0 0, y = 1 0 1 0: no correlation.
    QCOMPARE(*q1Item.Discrimination, 0.0);
    QCOMPARE(q1Item.WrongAnswer, QStringLiteral("choices 1, 3")); // the first of a tie
    QCOMPARE(q1Item.WrongCount, 1);

    QCOMPARE(analysis.Histogram(), (QList<int>{1, 0, 0, 0, 1, 0, 0, 0, 0, 1}));
}

QTEST_GUILESS_MAIN(TestAttempts)
#include "tst_attempts.moc"
