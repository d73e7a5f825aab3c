// The rules of a button click in a running test, driven without windows: a
// test of four pages whose questions are answered from the test, and the
// player's and the builder's side of the rules recording what they were asked.

#include "QZPlayRules.h"
#include "QZRecordFields.h"
#include "QZScriptedInteraction.h"
#include "QZSurface.h"

#include <QTest>

using namespace Qt::StringLiterals;
using Corvella::TPlayProgram;
using Corvella::TPlayRules;

namespace {

const QString MustAnswer = QStringLiteral("You must answer on all questions!");
const QString Incorrect = QStringLiteral("The answer is incorrect!!!");
const QString IncorrectShown =
    QStringLiteral("The answer is incorrect!!!\nCorrect answers are shown.");

// A question answered as the test says. Showing its right answer may leave it
// unanswered, as an input box whose first accepted answer is empty is.
class TAnswered final : public TQZActiveControl
{
public:
    TAnswered(bool answered, bool correct, qint32 points, bool emptiedByShowing)
        : TQZActiveControl(ObjDaNe)
        , m_answered(answered)
        , m_correct(correct)
        , m_points(points)
        , m_emptiedByShowing(emptiedByShowing)
    {
    }

    void MoveTo(qint32, qint32) override {}
    void ResizeTo(qint32, qint32) override {}
    void SaveToStream(QByteArray &) const override {}
    void SetShown(bool) override {}
    QByteArray Record() const override { return NewObjectRecord(ObjDaNe); }

    bool IsAnswered() const override { return m_answered; }
    bool IsCorrect() const override { return m_correct; }
    void AddScore(qint32 &earned) const override { earned += m_correct ? m_points : 0; }
    void AddMaxScore(qint32 &possible) const override { possible += m_points; }
    void ShowCorrectAnswer() override
    {
        ShownAnswer = true;
        m_answered = !m_emptiedByShowing;
    }

    bool ShownAnswer = false;

private:
    bool m_answered;
    bool m_correct;
    qint32 m_points;
    bool m_emptiedByShowing;
};

enum class TAnswer { None, Right, Wrong, WrongEmptiedByShowing, Unanswered };

// Pages "Start", "Quiz", "Next", "Last"; the run stands on "Quiz", come from
// "Start", with 5 of 10 points so far. "Quiz" holds a question worth 2 points
// (unless `answer` is None) and the button.
struct TRun
{
    TQZScriptedInteraction Script;
    TQZNaloga Test;
    TAnswered *Question = nullptr;
    qint32 ButtonTag = 0;
    QStringList Events;

    TRun(quint8 kind, const QByteArray &target, TAnswer answer, quint8 mode = 1,
         const QByteArray &correctTarget = "(Forward)", const QByteArray &wrongTarget = "(Forward)")
    {
        Test.TestRecord() = NewTestRecord();
        Test.TestRecord().WrongAnswerMode = mode;
        for (const char *name : {"Start", "Quiz", "Next", "Last"}) {
            auto page = Test.NewPage();
            page->SetPageRecord(NewPageRecord(name, correctTarget, wrongTarget));
            Test.AddPage(std::move(page));
        }
        TQZStran &quiz = *Test.Page(1);
        if (answer != TAnswer::None)
            Question = static_cast<TAnswered *>(quiz.AddObject(
                std::make_unique<TAnswered>(answer != TAnswer::Unanswered, answer == TAnswer::Right,
                                            2, answer == TAnswer::WrongEmptiedByShowing)));
        auto button = RecordFromBytes<TGumbRecord>(NewObjectRecord(ObjGumb));
        button.ButtonKind = kind;
        button.TargetPage.SetBytes(target);
        ButtonTag =
            quiz.AddObject(std::make_unique<TQZRecordObject>(ObjGumb, RecordToBytes(button)))
                ->Tag();
        Test.GoToPage(0);
        Test.GoToPage(1);
        ScoreEarned = 5;
        ScoreMax = 10;
    }

    TPlayProgram Program(bool player)
    {
        auto showResult = [this] {
            Events << QStringLiteral("result %1 of %2 on %3")
                          .arg(ScoreEarned)
                          .arg(ScoreMax)
                          .arg(Test.CurrentPage()->PageName());
        };
        if (!player)
            return TPlayProgram::Builder(showResult);
        return TPlayProgram::Player(showResult, [this] { Events << QStringLiteral("end"); });
    }

    bool Click(bool player, qint32 tag)
    {
        return TPlayRules(Test, Program(player)).Click(*Test.Page(1), tag);
    }
    bool Click(bool player = true) { return Click(player, ButtonTag); }
    QString PageName() const { return Test.CurrentPage()->PageName(); }
};

} // namespace

Q_DECLARE_METATYPE(TAnswer)

class TestPlayRules : public QObject
{
    Q_OBJECT

private slots:
    void navigation_data();
    void navigation();
    void confirm_data();
    void confirm();
    void exit_data();
    void exit();
    void onlyButtonObjectsAct();
};

void TestPlayRules::navigation_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("earned");
    QTest::addColumn<int>("possible");

    QTest::newRow("forward") << 0 << QByteArray() << u"Next"_s << 5 << 10;
    // Back goes to the page shown before, here page 0, which clears the totals.
    QTest::newRow("back to page 0") << 1 << QByteArray() << u"Start"_s << 0 << 0;
    QTest::newRow("page") << 3 << QByteArray(" Last ") << u"Last"_s << 5 << 10;
    QTest::newRow("page with other capitals") << 3 << QByteArray("last") << u"Quiz"_s << 5 << 10;
    QTest::newRow("page of no name") << 3 << QByteArray() << u"Quiz"_s << 5 << 10;
    QTest::newRow("unknown kind") << 5 << QByteArray("Last") << u"Quiz"_s << 5 << 10;
}

// No evaluation: an unanswered question neither stops the move nor warns.
void TestPlayRules::navigation()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, target);
    QFETCH(QString, page);
    QFETCH(int, earned);
    QFETCH(int, possible);

    for (const bool player : {true, false}) {
        TRun run(quint8(kind), target, TAnswer::Unanswered);
        QVERIFY(run.Click(player));
        QCOMPARE(run.PageName(), page);
        QCOMPARE(ScoreEarned, earned);
        QCOMPARE(ScoreMax, possible);
        QVERIFY(run.Script.Messages.isEmpty());
    }
}

void TestPlayRules::confirm_data()
{
    QTest::addColumn<TAnswer>("answer");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("correctTarget");
    QTest::addColumn<QByteArray>("wrongTarget");
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("earned");
    QTest::addColumn<int>("possible");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("answerShown");

    const QByteArray forward = "(Forward)";
    const QStringList none;
    QTest::newRow("unanswered") << TAnswer::Unanswered << 1 << forward << forward << u"Quiz"_s << 5
                                << 10 << QStringList{MustAnswer} << false;
    QTest::newRow("right") << TAnswer::Right << 2 << QByteArray(" (Forward) ") << forward
                           << u"Next"_s << 7 << 12 << none << false;
    QTest::newRow("right to a name") << TAnswer::Right << 2 << QByteArray(" Last") << forward
                                     << u"Last"_s << 7 << 12 << none << false;
    // The totals start again from this page's points.
    QTest::newRow("right to page 0") << TAnswer::Right << 2 << QByteArray("Start") << forward
                                     << u"Start"_s << 2 << 2 << none << false;
    QTest::newRow("right to no page") << TAnswer::Right << 2 << QByteArray("Nowhere") << forward
                                      << u"Quiz"_s << 7 << 12 << none << false;
    QTest::newRow("wrong, show answers")
        << TAnswer::Wrong << 1 << forward << QByteArray("Last") << u"Last"_s << 5 << 12
        << QStringList{IncorrectShown} << true;
    // The page's points go in before the move clears the totals.
    QTest::newRow("wrong, show answers, to page 0")
        << TAnswer::Wrong << 1 << forward << QByteArray("Start") << u"Start"_s << 0 << 0
        << QStringList{IncorrectShown} << true;
    QTest::newRow("wrong, say incorrect")
        << TAnswer::Wrong << 2 << QByteArray("Last") << forward << u"Next"_s << 5 << 10
        << QStringList{Incorrect} << false;
    QTest::newRow("wrong, show nothing")
        << TAnswer::Wrong << 0 << forward << forward << u"Next"_s << 5 << 10 << none << false;
    QTest::newRow("wrong, unknown mode")
        << TAnswer::Wrong << 9 << forward << forward << u"Next"_s << 5 << 10 << none << false;
}

// Confirm is the same in both programs.
void TestPlayRules::confirm()
{
    QFETCH(TAnswer, answer);
    QFETCH(int, mode);
    QFETCH(QByteArray, correctTarget);
    QFETCH(QByteArray, wrongTarget);
    QFETCH(QString, page);
    QFETCH(int, earned);
    QFETCH(int, possible);
    QFETCH(QStringList, messages);
    QFETCH(bool, answerShown);

    for (const bool player : {true, false}) {
        TRun run(KindConfirm, {}, answer, quint8(mode), correctTarget, wrongTarget);
        QVERIFY(run.Click(player));
        QCOMPARE(run.PageName(), page);
        QCOMPARE(ScoreEarned, earned);
        QCOMPARE(ScoreMax, possible);
        QCOMPARE(run.Script.MessageTexts(), messages);
        for (const auto &message : std::as_const(run.Script.Messages)) {
            QCOMPARE(message.Kind, TQZMessageKind::Warning);
            QCOMPARE(message.Caption, QStringLiteral("Warning"));
            QCOMPARE(message.Buttons, TQZButtons(TQZButton::Ok));
        }
        QCOMPARE(run.Question->ShownAnswer, answerShown);
        QVERIFY(run.Events.isEmpty());
    }
}

void TestPlayRules::exit_data()
{
    QTest::addColumn<bool>("player");
    QTest::addColumn<TAnswer>("answer");
    QTest::addColumn<bool>("scored");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("events");

    const QStringList none;
    // The player evaluates and moves first: the result is that of the page
    // moved to, with this page's points.
    QTest::newRow("player, right") << true << TAnswer::Right << true << u"Last"_s << none
                                   << QStringList{u"result 7 of 12 on Last"_s, u"end"_s};
    QTest::newRow("player, wrong")
        << true << TAnswer::Wrong << true << u"Last"_s << QStringList{IncorrectShown}
        << QStringList{u"result 5 of 12 on Last"_s, u"end"_s};
    QTest::newRow("player, unanswered")
        << true << TAnswer::Unanswered << true << u"Quiz"_s << QStringList{MustAnswer} << none;
    // Showing the right answer emptied the page: it is not ended.
    QTest::newRow("player, emptied by the answers")
        << true << TAnswer::WrongEmptiedByShowing << true << u"Last"_s
        << QStringList{IncorrectShown} << none;
    QTest::newRow("player, nothing scored")
        << true << TAnswer::None << false << u"Last"_s << none << QStringList{u"end"_s};
    // The builder neither evaluates nor moves nor ends.
    QTest::newRow("builder, right") << false << TAnswer::Right << true << u"Quiz"_s << none
                                    << QStringList{u"result 5 of 10 on Quiz"_s};
    QTest::newRow("builder, unanswered")
        << false << TAnswer::Unanswered << true << u"Quiz"_s << none << none;
    QTest::newRow("builder, nothing scored")
        << false << TAnswer::None << false << u"Quiz"_s << none << none;
}

void TestPlayRules::exit()
{
    QFETCH(bool, player);
    QFETCH(TAnswer, answer);
    QFETCH(bool, scored);
    QFETCH(QString, page);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, events);

    TRun run(KindExit, {}, answer, 1, "Last", "Last");
    if (!scored)
        ScoreEarned = ScoreMax = 0;
    QVERIFY(run.Click(player));
    QCOMPARE(run.PageName(), page);
    QCOMPARE(run.Script.MessageTexts(), messages);
    QCOMPARE(run.Events, events);
    // The program ends the process itself, once told to.
    QVERIFY(run.Script.Exits.isEmpty());
}

void TestPlayRules::onlyButtonObjectsAct()
{
    TRun run(KindForward, {}, TAnswer::Right);
    for (const qint32 tag : {0, -1, run.Question->Tag(), run.ButtonTag + 1, SurfaceTag}) {
        QVERIFY2(!run.Click(true, tag), qPrintable(QString::number(tag)));
        QCOMPARE(run.PageName(), QStringLiteral("Quiz"));
    }
    QVERIFY(run.Click(true, run.ButtonTag));
    QCOMPARE(run.PageName(), QStringLiteral("Next"));
}

QTEST_GUILESS_MAIN(TestPlayRules)
#include "tst_playrules.moc"
