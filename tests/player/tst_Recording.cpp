// The record a run leaves: its entries read back page by page, the points of
// a page under each wrong-answer mode, an attempt resumed after its player
// was killed, players sharing a folder, a folder that cannot be written, the
// student's name and a test that records nothing. Also the command line.
#include "QZPlayerRun.h"

#include "QZAttemptRecord.h"
#include "QZDeferred.h"
#include "QZQuestions.h"
#include "QZRTAttemptRecorder.h"
#include "QZTestSettings.h"

#include <QAbstractButton>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QToolButton>

#include <algorithm>

using Corvella::TAnswerRecord;
using Corvella::TAttempt;
using Corvella::TPageVisit;
using CorvPlayer::TRecordingOptions;

namespace {

// What corvrecordhelper takes, too: one question of each kind, then Exit.
TTestPlan FourPages(quint8 mode = 1)
{
    TTestPlan plan;
    plan.WrongAnswerMode = mode;
    plan.Pages = {
        {"Choices", {Choices({"Right", "Wrong"}, {1}, true, 1), Button("Confirm", 2)}},
        {"Alternative", {Alternative(true, 2), Button("Confirm", 2)}},
        {"Typed", {InputBox("Paris", 1), Button("Confirm", 2)}},
        {"End", {Button("Exit", 4)}},
    };
    return plan;
}

// Every record in the folder; none may be damaged.
std::vector<TAttempt> Records(const QString &folder)
{
    std::vector<TAttempt> attempts;
    std::vector<Corvella::TSkippedRecord> skipped;
    Corvella::ReadAttemptFolder(folder, attempts, skipped);
    for (const auto &bad : skipped)
        qWarning("skipped %s: %s", qPrintable(bad.FileName), qPrintable(bad.Reason));
    return skipped.empty() ? attempts : std::vector<TAttempt>{};
}

QList<int> Marks(std::initializer_list<int> marks) { return QList<int>(marks); }

} // namespace

class TestRecording : public TPlayerTest
{
    Q_OBJECT

private slots:
    void recordsPageByPage();
    void pointsByWrongAnswerMode_data();
    void pointsByWrongAnswerMode();
    void killedPlayerResumes();
    void declinedResumeStartsAfresh();
    void recordInUseIsNotOffered();
    void twoPlayersShareAFolder();
    void unwritableFolderIsReportedOnce();
    void studentName_data();
    void studentName();
    void recordingOffWritesNothing();
    void commandLine_data();
    void commandLine();
};

void TestRecording::recordsPageByPage()
{
    TTestPlan plan = FourPages();
    plan.Pages.insert(1, {"Intro", {Button("Next", 0)}});
    const QString file = Write(QStringLiteral("record.cvl"), plan);
    TRun run({file});
    QVERIFY(run.Start());
    QVERIFY(run.Window().Recorder());
    const int choicesTag = run.Test()->Page(0)->Objects().front()->Tag();

    QVERIFY(run.Click("Right"));
    QVERIFY(run.Click("Confirm"));
    // On the disk as soon as the page is confirmed.
    std::vector<TAttempt> records = Records(Results());
    QCOMPARE(records.size(), size_t(1));
    {
        const TAttempt &attempt = records.front();
        QVERIFY(!attempt.Finished);
        QCOMPARE(attempt.TestTitle, QStringLiteral("Player test"));
        QCOMPARE(attempt.TestFile, QStringLiteral("record.cvl"));
        QFile bytes(file);
        QVERIFY(bytes.open(QIODevice::ReadOnly));
        QCOMPARE(
            attempt.TestSha256,
            QString::fromLatin1(
                QCryptographicHash::hash(bytes.readAll(), QCryptographicHash::Sha256).toHex()));
        QCOMPARE(attempt.TestSha256.size(), 64);
        QCOMPARE(attempt.TestPages, 5);
        QCOMPARE(attempt.Student, QString());
        QCOMPARE(attempt.Program, QStringLiteral("corvview 2.1.0"));
        QCOMPARE(attempt.Pages.size(), size_t(1));
        const TPageVisit &visit = attempt.Pages.front();
        QCOMPARE(visit.Order, 0);
        QCOMPARE(visit.Page, QStringLiteral("Choices"));
        QCOMPARE(visit.Index, 0);
        QCOMPARE(visit.Answers.size(), 1);
        const TAnswerRecord &answer = visit.Answers.front();
        QCOMPARE(answer.Object, choicesTag);
        QCOMPARE(answer.Kind, TAnswerRecord::TKind::Choices);
        QCOMPARE(answer.Marked, Marks({1}));
        QCOMPARE(answer.RightMarks, Marks({1}));
        QVERIFY(answer.Correct);
        QCOMPARE(answer.Points, 1);
        QCOMPARE(visit.Earned, 1);
        QCOMPARE(visit.Possible, 1);
        QCOMPARE(visit.Next, QStringLiteral("Intro"));
        QCOMPARE(visit.TotalEarned, 1);
        QCOMPARE(visit.TotalPossible, 1);
        QVERIFY(visit.Seconds >= 0 && visit.Seconds < 60);
    }

    QVERIFY(run.Click("Next"));
    QVERIFY(run.Click("No"));
    QVERIFY(run.Click("Confirm")); // wrong, counted, the right answer shown
    QVERIFY(run.Type(QStringLiteral("Paris")));
    QVERIFY(run.Click("Confirm"));
    QVERIFY(run.Click("Exit"));
    QCOMPARE(run.Percent, QStringLiteral("50 %"));

    records = Records(Results());
    QCOMPARE(records.size(), size_t(1));
    const TAttempt &attempt = records.front();
    QCOMPARE(attempt.Pages.size(), size_t(5));
    const TPageVisit &intro = attempt.Pages[1];
    QCOMPARE(intro.Page, QStringLiteral("Intro"));
    QVERIFY(intro.Answers.isEmpty());
    QCOMPARE(intro.Possible, 0);
    QCOMPARE(intro.Next, QStringLiteral("Alternative"));

    const TPageVisit &alternative = attempt.Pages[2];
    QCOMPARE(alternative.Index, 2);
    QCOMPARE(alternative.Answers.size(), 1);
    // The student's answer, not the right one shown after it.
    QCOMPARE(alternative.Answers.front().Kind, TAnswerRecord::TKind::Alternative);
    QCOMPARE(alternative.Answers.front().Pressed, 2);
    QCOMPARE(alternative.Answers.front().RightButton, 1);
    QVERIFY(!alternative.Answers.front().Correct);
    QCOMPARE(alternative.Answers.front().Points, 2);
    QCOMPARE(alternative.Earned, 0);
    QCOMPARE(alternative.Possible, 2);
    QCOMPARE(alternative.TotalPossible, 3);

    const TPageVisit &typed = attempt.Pages[3];
    QCOMPARE(typed.Answers.front().Kind, TAnswerRecord::TKind::Input);
    QCOMPARE(typed.Answers.front().Text, QStringLiteral("Paris"));
    QCOMPARE(typed.Answers.front().Accepted, QStringList{QStringLiteral("Paris")});
    QVERIFY(typed.Answers.front().Correct);
    QCOMPARE(typed.Next, QStringLiteral("End"));

    const TPageVisit &end = attempt.Pages[4];
    QCOMPARE(end.Order, 4);
    QCOMPARE(end.Next, QStringLiteral("(End)"));
    QCOMPARE(end.TotalEarned, 2);
    QCOMPARE(end.TotalPossible, 4);

    QVERIFY(attempt.Finished);
    QCOMPARE(attempt.EndReason, QStringLiteral("result"));
    QCOMPARE(attempt.EndPercent, 50);
    QCOMPARE(attempt.Comment, run.Comment);
    QCOMPARE(attempt.EndEarned, 2);
    QCOMPARE(attempt.EndPossible, 4);
    QCOMPARE(attempt.VisitedPercent(), 50);
}

void TestRecording::pointsByWrongAnswerMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("earned");
    QTest::addColumn<int>("totalPossible");
    QTest::addColumn<int>("visitedPercent");

    // Marking only the first of two right choices of three: +1 -1 +1. The
    // page's maximum is possible in every mode; only mode 1 counts the page
    // in the run's own totals.
    QTest::newRow("show answers") << 1 << 1 << 3 << 33;
    QTest::newRow("say incorrect") << 2 << 0 << 0 << 0;
    QTest::newRow("show nothing") << 0 << 0 << 0 << 0;
}

void TestRecording::pointsByWrongAnswerMode()
{
    QFETCH(int, mode);
    QFETCH(int, earned);
    QFETCH(int, totalPossible);
    QFETCH(int, visitedPercent);

    TTestPlan plan;
    plan.WrongAnswerMode = quint8(mode);
    plan.Pages = {{"Q", {Choices({"A", "B", "C"}, {1, 2}, false, 1), Button("Confirm", 2)}},
                  {"End", {Button("Exit", 4)}}};
    TRun run({Write(QStringLiteral("modes.cvl"), plan)});
    QVERIFY(run.Start());
    QVERIFY(run.Click("A"));
    QVERIFY(run.Click("Confirm"));
    QCOMPARE(run.PageName(), QStringLiteral("End"));

    const std::vector<TAttempt> records = Records(Results());
    QCOMPARE(records.size(), size_t(1));
    QCOMPARE(records.front().Pages.size(), size_t(1));
    const TPageVisit &visit = records.front().Pages.front();
    QCOMPARE(visit.Answers.front().Marked, Marks({1}));
    QCOMPARE(visit.Answers.front().RightMarks, Marks({1, 2}));
    QCOMPARE(visit.Earned, earned);
    QCOMPARE(visit.Possible, 3);
    QCOMPARE(visit.TotalEarned, ScoreEarned);
    QCOMPARE(visit.TotalPossible, totalPossible);
    QCOMPARE(ScoreMax, totalPossible);
    QCOMPARE(records.front().VisitedPercent(), visitedPercent);
}

void TestRecording::killedPlayerResumes()
{
    const QString file = Write(QStringLiteral("killed.cvl"), FourPages());
    QProcess player;
    player.start(QStringLiteral(RECORDING_HELPER_PATH),
                 {file, Results(), QStringLiteral("Ana"), QStringLiteral("stop")});
    QVERIFY(player.waitForStarted());
    // Killed once its record holds both pages.
    QTRY_VERIFY_WITH_TIMEOUT(
        Records(Results()).size() == 1 && Records(Results()).front().Pages.size() == 2, 30000);
    player.kill(); // SIGKILL: nothing more is written
    QVERIFY(player.waitForFinished());
    QCOMPARE(player.exitStatus(), QProcess::CrashExit);

    TRun run({file}, {QStringLiteral("Ana"), Results()});
    run.Script.Answers = {TQZButton::Yes};
    QVERIFY(run.Start());
    QCOMPARE(run.Script.MessageTexts(),
             QStringList{QStringLiteral("Resume the unfinished attempt?")});
    QCOMPARE(run.Script.Messages.front().Buttons, TQZButton::Yes | TQZButton::No);
    QCOMPARE(run.PageName(), QStringLiteral("Typed"));
    QCOMPARE(ScoreEarned, 1);
    QCOMPARE(ScoreMax, 3);
    // The half-typed answer of the page in progress is lost.
    QCOMPARE(run.Window().findChild<QLineEdit *>()->text(), QString());

    // Back on the pages visited, the answers given there.
    const TQZStran *alternativePage = run.Test()->Page(1);
    const auto *alternative =
        dynamic_cast<const TQZDeferredControl *>(alternativePage->Objects().front().get());
    QVERIFY(alternative);
    const auto &answer = dynamic_cast<const TQZDaNe &>(alternative->Real());
    QVERIFY(!answer.FirstButton()->isChecked());
    QVERIFY(answer.SecondButton()->isChecked());
    const auto *choices =
        dynamic_cast<const TQZDeferredControl *>(run.Test()->Page(0)->Objects().front().get());
    QCOMPARE(dynamic_cast<const TQZIzbire &>(choices->Real()).MarkedChoices(), Marks({1}));

    QVERIFY(run.Type(QStringLiteral("Paris")));
    QVERIFY(run.Click("Confirm"));
    QVERIFY(run.Click("Exit"));
    QCOMPARE(run.Percent, QStringLiteral("50 %"));

    const std::vector<TAttempt> records = Records(Results());
    QCOMPARE(records.size(), size_t(1));
    const TAttempt &attempt = records.front();
    QCOMPARE(attempt.Student, QStringLiteral("Ana"));
    QCOMPARE(attempt.Resumed.size(), 1);
    QCOMPARE(attempt.Pages.size(), size_t(4));
    QCOMPARE(attempt.Pages[2].Order, 2);
    QCOMPARE(attempt.Pages[2].Page, QStringLiteral("Typed"));
    QCOMPARE(attempt.Pages[2].TotalEarned, 2);
    QVERIFY(attempt.Finished);
    QCOMPARE(attempt.EndPercent, 50);
}

// An attempt left unfinished is offered again; No starts a record of its own
// and leaves the old one as it was. Closing the window ends the new one.
void TestRecording::declinedResumeStartsAfresh()
{
    const QString file = Write(QStringLiteral("declined.cvl"), FourPages());
    {
        TRun first({file});
        QVERIFY(first.Start());
        QVERIFY(first.Click("Right"));
        QVERIFY(first.Click("Confirm"));
    } // gone without an end, as if the machine stopped
    QCOMPARE(Records(Results()).size(), size_t(1));

    TRun second({file});
    second.Script.Answers = {TQZButton::No};
    QVERIFY(second.Start());
    QCOMPARE(second.Script.MessageTexts(),
             QStringList{QStringLiteral("Resume the unfinished attempt?")});
    QCOMPARE(second.PageName(), QStringLiteral("Choices"));
    QCOMPARE(ScoreMax, 0);
    QVERIFY(second.Window().close()); // "Do you want to exit?" answered Yes

    std::vector<TAttempt> records = Records(Results());
    QCOMPARE(records.size(), size_t(2));
    std::sort(records.begin(), records.end(),
              [](const TAttempt &a, const TAttempt &b) { return a.Pages.size() > b.Pages.size(); });
    QVERIFY(!records[0].Finished);
    QCOMPARE(records[0].Pages.size(), size_t(1));
    QVERIFY(records[1].Finished);
    QCOMPARE(records[1].EndReason, QStringLiteral("closed"));
    QVERIFY(records[1].Pages.empty());
}

// Two anonymous students at one test in a shared folder: the second is not
// offered the attempt the first is still taking.
void TestRecording::recordInUseIsNotOffered()
{
    const QString file = Write(QStringLiteral("in-use.cvl"), FourPages());
    TRun first({file});
    QVERIFY(first.Start());
    QVERIFY(first.Click("Right"));
    QVERIFY(first.Click("Confirm"));

    TRun second({file});
    QVERIFY(second.Start());
    QVERIFY(second.Script.Messages.isEmpty());
    QCOMPARE(second.PageName(), QStringLiteral("Choices"));
    QCOMPARE(Records(Results()).size(), size_t(2));
}

void TestRecording::twoPlayersShareAFolder()
{
    const QString file = Write(QStringLiteral("shared.cvl"), FourPages());
    QProcess players[2];
    for (QProcess &player : players)
        player.start(QStringLiteral(RECORDING_HELPER_PATH),
                     {file, Results(), QStringLiteral("Same name"), QStringLiteral("finish")});
    for (QProcess &player : players) {
        QVERIFY(player.waitForFinished(60000));
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(player.exitCode(), 0);
    }
    const std::vector<TAttempt> records = Records(Results());
    QCOMPARE(records.size(), size_t(2));
    QVERIFY(records[0].FileName != records[1].FileName);
    for (const TAttempt &attempt : records) {
        QVERIFY(attempt.Finished);
        QCOMPARE(attempt.Pages.size(), size_t(4));
        QCOMPARE(attempt.EndPercent, 50);
        QCOMPARE(attempt.Student, QStringLiteral("Same name"));
    }
}

void TestRecording::unwritableFolderIsReportedOnce()
{
    // A folder below a plain file can never be made, whoever runs the test.
    QFile blocker(File(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString folder = File(QStringLiteral("blocker/results"));

    TRun run({Write(QStringLiteral("blocked.cvl"), FourPages())}, {std::nullopt, folder});
    QVERIFY(run.Start());
    QCOMPARE(run.Script.Messages.size(), 1);
    const auto &message = run.Script.Messages.front();
    QCOMPARE(message.Caption, QStringLiteral("Warning"));
    QVERIFY2(message.Text.startsWith(QStringLiteral("The answers cannot be recorded in ") +
                                     QDir::toNativeSeparators(folder) + QStringLiteral(":\n")),
             qPrintable(message.Text));
    QVERIFY(message.Text.endsWith(QStringLiteral("\nThe test goes on.")));
    QCOMPARE(message.Text.count(QLatin1Char('\n')), 2);

    QVERIFY(run.Click("Right"));
    QVERIFY(run.Click("Confirm"));
    QVERIFY(run.Click("Yes"));
    QVERIFY(run.Click("Confirm"));
    QVERIFY(run.Type(QStringLiteral("Paris")));
    QVERIFY(run.Click("Confirm"));
    QVERIFY(run.Click("Exit"));
    QCOMPARE(run.Percent, QStringLiteral("100 %"));
    QCOMPARE(run.Script.Messages.size(), 1);
}

void TestRecording::studentName_data()
{
    QTest::addColumn<bool>("ask");
    QTest::addColumn<bool>("given");
    QTest::addColumn<QStringList>("typed");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("student");

    QTest::newRow("asked") << true << false << QStringList{QStringLiteral(" Bob ")} << true
                           << QStringLiteral("Bob");
    QTest::newRow("asked, cancelled") << true << false << QStringList{} << true << QString();
    QTest::newRow("asked, left empty")
        << true << false << QStringList{QStringLiteral("  ")} << true << QString();
    QTest::newRow("given on the command line")
        << true << true << QStringList{} << false << QStringLiteral("Ana");
    QTest::newRow("not asked") << false << false << QStringList{} << false << QString();
}

void TestRecording::studentName()
{
    QFETCH(bool, ask);
    QFETCH(bool, given);
    QFETCH(QStringList, typed);
    QFETCH(bool, asked);
    QFETCH(QString, student);

    TTestPlan plan = FourPages();
    plan.Title = QStringLiteral("Capitals <b>1</b>");
    if (ask)
        TTestSettings{true, true}.ToJson(plan.Extensions);
    TRecordingOptions recording;
    if (given)
        recording.Student = QStringLiteral("Ana");
    TRun run({Write(QStringLiteral("named.cvl"), plan)}, recording);
    run.Script.TextAnswers = typed;
    QVERIFY(run.Start());
    QCOMPARE(run.Script.TextInputs,
             asked ? QStringList{QStringLiteral("Capitals <b>1</b>|Your name:")} : QStringList{});
    QCOMPARE(run.PageName(), QStringLiteral("Choices"));

    const std::vector<TAttempt> records = Records(Results());
    QCOMPARE(records.size(), size_t(1));
    QCOMPARE(records.front().Student, student);
    QVERIFY(QFileInfo(records.front().FileName)
                .fileName()
                .startsWith(QStringLiteral("Capitals__b_1__b_-") +
                            (student.isEmpty() ? QStringLiteral("anonymous") : student)));
}

void TestRecording::recordingOffWritesNothing()
{
    TTestPlan plan = FourPages();
    TTestSettings{true, false}.ToJson(plan.Extensions);
    TRun run({Write(QStringLiteral("off.cvl"), plan)}, {QStringLiteral("Ana"), {}});
    QVERIFY(run.Start());
    QVERIFY(!run.Window().Recorder());
    QVERIFY(run.Click("Right"));
    QVERIFY(run.Click("Confirm"));
    QVERIFY(run.Click("Yes"));
    QVERIFY(run.Click("Confirm"));
    QVERIFY(run.Type(QStringLiteral("Paris")));
    QVERIFY(run.Click("Confirm"));
    QVERIFY(run.Click("Exit"));
    QVERIFY(run.Script.TextInputs.isEmpty());
    QVERIFY(run.Script.Messages.isEmpty());
    QVERIFY(!QFileInfo::exists(Results()));
}

void TestRecording::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("positional");
    QTest::addColumn<QString>("student");
    QTest::addColumn<QString>("results");
    QTest::addColumn<bool>("failed");

    const QString t = QStringLiteral("t.cvl");
    const QString r = QStringLiteral("/R");
    QTest::newRow("file only") << QStringList{t} << QStringList{t} << QString() << QString()
                               << false;
    QTest::newRow("options first") << QStringList{QStringLiteral("--student"),
                                                  QStringLiteral("Ana"),
                                                  QStringLiteral("--results"),
                                                  QStringLiteral("/srv/r"),
                                                  t,
                                                  r,
                                                  QStringLiteral("3")}
                                   << QStringList{t, r, QStringLiteral("3")}
                                   << QStringLiteral("Ana") << QStringLiteral("/srv/r") << false;
    QTest::newRow("options after the file, negative count")
        << QStringList{t, r, QStringLiteral("-2"), QStringLiteral("--student=-5")}
        << QStringList{t, r, QStringLiteral("-2")} << QStringLiteral("-5") << QString() << false;
    QTest::newRow("unknown option") << QStringList{t, QStringLiteral("--colour")} << QStringList{t}
                                    << QString() << QString() << true;
    QTest::newRow("help among other arguments") << QStringList{t, QStringLiteral("--help")}
                                                << QStringList{t} << QString() << QString() << true;
    QTest::newRow("no name") << QStringList{t, QStringLiteral("--student")} << QStringList{t}
                             << QString() << QString() << true;
}

void TestRecording::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, positional);
    QFETCH(QString, student);
    QFETCH(QString, results);
    QFETCH(bool, failed);

    QString error;
    const TPlayerOptions options =
        TPlayerOptions::FromCommandLine(QStringList{QStringLiteral("corvview")} + arguments, error);
    QCOMPARE(!error.isEmpty(), failed);
    if (failed)
        return;
    QCOMPARE(options.Arguments, QStringList{QStringLiteral("corvview")} + positional);
    QCOMPARE(options.Recording.Student.has_value(), !student.isEmpty());
    QCOMPARE(options.Recording.Student.value_or(QString()), student);
    QCOMPARE(options.Recording.ResultsFolder, results);
}

#include "tst_Recording.moc"
QObject *NewTestRecording() { return new TestRecording; }
