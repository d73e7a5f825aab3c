// Whole tests taken through the real controls: answers, scoring under each
// wrong-answer mode, the result, and moving between pages by every button
// kind, by mouse and by keyboard alone.
#include "QZPlayerRun.h"

#include "QZNaloga.h"
#include "QZRecordFields.h"
#include "QZRezultat.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

// One question of each kind, each worth a point, then a page to leave by.
TTestPlan ThreeQuestions(quint8 mode)
{
    TTestPlan plan;
    plan.WrongAnswerMode = mode;
    plan.Pages = {
        {"Choices", {Choices({"Right", "Wrong"}, {1}, true, 1), Button("Confirm", 2)}},
        {"Alternative", {Alternative(true, 1), Button("Confirm", 2)}},
        {"Typed", {InputBox("Paris", 1), Button("Confirm", 2)}},
        {"End", {Button("Exit", 4)}},
    };
    return plan;
}

} // namespace

class TestRun : public TPlayerTest
{
    Q_OBJECT

private slots:
    void wrongAnswerModes_data();
    void wrongAnswerModes();
    void resultOfOneInEight();
    void resultOfNegativePoints();
    void resultBands_data();
    void resultBands();
    void exitWithoutScoreEndsAtOnce();
    void exitOnUnansweredPageOnlyWarns();

    void navigationButtons();
    void targetsAfterEvaluation();
    void correctTargetOfFirstPageRestartsScore();
    void onlyButtonObjectsAct();
    void keyboardAlone();
};

void TestRun::wrongAnswerModes_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("possible");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("typedAfter");

    // A page answered wrongly counts only where the right answers are shown.
    QTest::newRow("show answers") << 1 << QStringList{IncorrectShown} << 3 << QStringLiteral("67 %")
                                  << QStringLiteral("Comment 5") << QStringLiteral("Paris");
    QTest::newRow("say incorrect") << 2 << QStringList{Incorrect} << 2 << QStringLiteral("100 %")
                                   << QStringLiteral("Comment 7") << QStringLiteral("London");
    QTest::newRow("show nothing") << 0 << QStringList{} << 2 << QStringLiteral("100 %")
                                  << QStringLiteral("Comment 7") << QStringLiteral("London");
}

void TestRun::wrongAnswerModes()
{
    QFETCH(int, mode);
    QFETCH(QStringList, messages);
    QFETCH(int, possible);
    QFETCH(QString, percent);
    QFETCH(QString, comment);
    QFETCH(QString, typedAfter);

    TRun run({Write(QStringLiteral("three.cvl"), ThreeQuestions(quint8(mode)))});
    QVERIFY(run.Start());
    QVERIFY(run.Click("Right"));
    QVERIFY(run.Click("Confirm"));
    QCOMPARE(run.PageName(), QStringLiteral("Alternative"));
    QCOMPARE(ScoreEarned, 1);
    QVERIFY(run.Click("Yes"));
    QVERIFY(run.Click("Confirm"));
    QCOMPARE(run.PageName(), QStringLiteral("Typed"));
    QVERIFY(run.Script.Messages.isEmpty());

    QVERIFY(run.Type(QStringLiteral("London")));
    QVERIFY(run.Click("Confirm"));
    QCOMPARE(run.Script.MessageTexts(), messages);
    for (const auto &message : std::as_const(run.Script.Messages)) {
        QCOMPARE(message.Kind, TQZMessageKind::Warning);
        QCOMPARE(message.Caption, QStringLiteral("Warning"));
        QCOMPARE(message.Buttons, TQZButtons(TQZButton::Ok));
    }
    QCOMPARE(run.Window().findChild<QLineEdit *>()->text(), typedAfter);
    QCOMPARE(run.PageName(), QStringLiteral("End"));
    QCOMPARE(ScoreEarned, 2);
    QCOMPARE(ScoreMax, possible);

    QVERIFY(run.Click("Exit"));
    QCOMPARE(run.Script.DialogTitles, QStringList{QStringLiteral("The Result")});
    QCOMPARE(run.Percent, percent);
    QCOMPARE(run.Comment, comment);
    QCOMPARE(run.Script.Exits, QList<int>{0});
    // A test ended by Exit closes without the question.
    run.Window().close();
    QCOMPARE(run.Script.MessageTexts(), messages);
}

// One point of one, then none of seven with the right answer shown: 1 of 8.
void TestRun::resultOfOneInEight()
{
    TTestPlan plan;
    plan.Pages = {{"One", {Choices({"A", "B"}, {1}, true, 1), Button("Confirm", 2)}},
                  {"Seven", {Choices({"C", "D"}, {1}, true, 7), Button("Done", 4)}}};
    TRun run({Write(QStringLiteral("eight.cvl"), plan)});
    QVERIFY(run.Start());
    QVERIFY(run.Click("A"));
    QVERIFY(run.Click("Confirm"));
    QVERIFY(run.Click("D"));
    QVERIFY(run.Click("Done"));
    QCOMPARE(run.Script.MessageTexts(), QStringList{IncorrectShown});
    QCOMPARE(ScoreEarned, 1);
    QCOMPARE(ScoreMax, 8);
    QCOMPARE(run.Percent, QStringLiteral("12 %"));
    QCOMPARE(run.Comment, QStringLiteral("Comment 1"));
    QCOMPARE(run.Script.Exits, QList<int>{0});
}

// Multiple answers score per choice: one marked as the author did and three
// not give -2 of 4.
void TestRun::resultOfNegativePoints()
{
    TTestPlan plan;
    plan.Pages = {{"Many", {Choices({"A", "B", "C", "D"}, {1}, false, 1), Button("Exit", 4)}}};
    TRun run({Write(QStringLiteral("negative.cvl"), plan)});
    QVERIFY(run.Start());
    QVERIFY(run.Click("B"));
    QVERIFY(run.Click("C"));
    QVERIFY(run.Click("Exit"));
    QCOMPARE(ScoreEarned, -2);
    QCOMPARE(ScoreMax, 4);
    QCOMPARE(run.Percent, QStringLiteral("-50 %"));
    QCOMPARE(run.Comment, QStringLiteral("Comment 0"));
    QCOMPARE(run.Script.Exits, QList<int>{0});
}

// Band edges, and negative points elsewhere pushing the band outside the
// eight comments.
void TestRun::resultBands_data()
{
    QTest::addColumn<int>("earned");
    QTest::addColumn<int>("possible");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<int>("comment");

    QTest::newRow("3 of 8") << 3 << 8 << QStringLiteral("38 %") << 3;
    QTest::newRow("1 of 14") << 1 << 14 << QStringLiteral("7 %") << 0;
    QTest::newRow("3 of 14") << 3 << 14 << QStringLiteral("21 %") << 2;
    QTest::newRow("more than possible") << 5 << 2 << QStringLiteral("250 %") << 7;
    QTest::newRow("negative possible") << 3 << -1 << QStringLiteral("-300 %") << 0;
}

void TestRun::resultBands()
{
    QFETCH(int, earned);
    QFETCH(int, possible);
    QFETCH(QString, percent);
    QFETCH(int, comment);

    TRezultatDialog dialog;
    QStringList comments;
    for (int i = 0; i < 8; ++i)
        comments << DefaultComment(i);
    dialog.SetResult(earned, possible, comments);
    QCOMPARE(dialog.PercentText(), percent);
    QCOMPARE(dialog.CommentText(), DefaultComment(comment));
    QCOMPARE(dialog.size(), QSize(404, 170));

    dialog.show();
    auto *exit = dialog.findChild<QPushButton *>();
    QCOMPARE(exit->text(), QStringLiteral("Exit"));
    QTest::mouseClick(exit, Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
}

void TestRun::exitWithoutScoreEndsAtOnce()
{
    TTestPlan plan;
    plan.Pages = {{"Bye", {Button("Exit", 4)}}};
    TRun run({Write(QStringLiteral("bye.cvl"), plan)});
    QVERIFY(run.Start());
    QVERIFY(run.Click("Exit"));
    QCOMPARE(run.Script.Exits, QList<int>{0});
    QVERIFY(run.Script.DialogTitles.isEmpty());
    QVERIFY(run.Script.Messages.isEmpty());
    // The program is ending: another press does nothing.
    QVERIFY(run.Click("Exit"));
    QCOMPARE(run.Script.Exits, QList<int>{0});
}

void TestRun::exitOnUnansweredPageOnlyWarns()
{
    TTestPlan plan;
    plan.Pages = {{"Ask", {InputBox("x", 1), Button("Exit", 4)}, "Elsewhere", "Elsewhere"},
                  {"Elsewhere", {}}};
    TRun run({Write(QStringLiteral("unanswered.cvl"), plan)});
    QVERIFY(run.Start());
    QVERIFY(run.Type(QStringLiteral("   ")));
    QVERIFY(run.Click("Exit"));
    QCOMPARE(run.Script.MessageTexts(), QStringList{MustAnswer});
    QCOMPARE(run.Script.Messages.constFirst().Caption, QStringLiteral("Warning"));
    QVERIFY(run.Script.Exits.isEmpty());
    QVERIFY(run.Script.DialogTitles.isEmpty());
    QCOMPARE(run.PageName(), QStringLiteral("Ask"));
    QCOMPARE(ScoreMax, 0);
}

void TestRun::navigationButtons()
{
    TTestPlan plan;
    for (const QByteArray name : {"A", "B", "C"}) {
        plan.Pages << TPagePlan{name,
                                {Button(name + " forward", 0), Button(name + " back", 1),
                                 Button(name + " to C", 3, " C "), Button(name + " to c", 3, "c"),
                                 Button(name + " nowhere", 3, "Nowhere")}};
    }
    TRun run({Write(QStringLiteral("pages.cvl"), plan)});
    QVERIFY(run.Start());

    // Back on the first page after start-up stays there.
    QVERIFY(run.Click("A back"));
    QCOMPARE(run.PageName(), QStringLiteral("A"));
    QVERIFY(run.Click("A forward"));
    QCOMPARE(run.PageName(), QStringLiteral("B"));
    // Names match trimmed, and case-sensitively.
    QVERIFY(run.Click("B to c"));
    QVERIFY(run.Click("B nowhere"));
    QCOMPARE(run.PageName(), QStringLiteral("B"));
    QVERIFY(run.Click("B to C"));
    QCOMPARE(run.PageName(), QStringLiteral("C"));
    QVERIFY(run.Click("C forward"));
    QCOMPARE(run.Test()->CurrentIndex(), 2);
    // Back goes to the page shown before the last change: twice returns.
    QVERIFY(run.Click("C back"));
    QCOMPARE(run.PageName(), QStringLiteral("B"));
    QVERIFY(run.Click("B back"));
    QCOMPARE(run.PageName(), QStringLiteral("C"));
    QVERIFY(!run.Shown("B back"));
    QVERIFY(run.Script.Messages.isEmpty());
}

// Targets are followed after an evaluation; "(Forward)" goes nowhere from the
// last page, and a target naming no page keeps the page and its points.
void TestRun::targetsAfterEvaluation()
{
    TTestPlan plan;
    plan.WrongAnswerMode = 2;
    plan.Pages = {{"Start", {Alternative(false, 1), Button("Confirm", 2)}, "  Last ", "Hint"},
                  {"Hint", {Button("Try again", 1)}},
                  {"Last", {Alternative(true, 3), Button("Check", 2)}, " (Forward) ", "Missing"}};
    TRun run({Write(QStringLiteral("targets.cvl"), plan)});
    QVERIFY(run.Start());

    QVERIFY(run.Click("Yes"));
    QVERIFY(run.Click("Confirm"));
    QCOMPARE(run.Script.MessageTexts(), QStringList{Incorrect});
    QCOMPARE(run.PageName(), QStringLiteral("Hint"));
    QVERIFY(run.Click("Try again"));
    QCOMPARE(run.PageName(), QStringLiteral("Start"));
    // The answer is still given; pressing the down button withdraws it.
    QVERIFY(run.Click("Yes"));
    QVERIFY(run.Click("Confirm"));
    QCOMPARE(run.Script.MessageTexts(), (QStringList{Incorrect, MustAnswer}));
    QVERIFY(run.Click("No"));
    QVERIFY(run.Click("Confirm"));
    QCOMPARE(run.PageName(), QStringLiteral("Last"));
    QCOMPARE(ScoreEarned, 1);

    QVERIFY(run.Click("No"));
    QVERIFY(run.Click("Check"));
    QCOMPARE(run.PageName(), QStringLiteral("Last"));
    QCOMPARE(run.Script.Messages.size(), 3);
    QCOMPARE(ScoreMax, 1);
    // Each confirmation of a right page adds its points again.
    QVERIFY(run.Click("Yes"));
    QVERIFY(run.Click("Check"));
    QVERIFY(run.Click("Check"));
    QCOMPARE(run.PageName(), QStringLiteral("Last"));
    QCOMPARE(ScoreEarned, 7);
    QCOMPARE(ScoreMax, 7);
}

void TestRun::correctTargetOfFirstPageRestartsScore()
{
    TTestPlan plan;
    plan.Pages = {
        {"First", {Alternative(true, 1), Button("Confirm", 2)}},
        {"Second", {Choices({"A", "B"}, {2}, true, 2), Button("Again", 2)}, "First", "First"}};
    TRun run({Write(QStringLiteral("restart.cvl"), plan)});
    QVERIFY(run.Start());
    QVERIFY(run.Click("Yes"));
    QVERIFY(run.Click("Confirm"));
    QCOMPARE(ScoreEarned, 1);
    QVERIFY(run.Click("B"));
    QVERIFY(run.Click("Again"));
    QCOMPARE(run.PageName(), QStringLiteral("First"));
    // Cleared on the way to page 0, then this page's points went in.
    QCOMPARE(ScoreEarned, 2);
    QCOMPARE(ScoreMax, 2);

    // Wrong under mode 1: the points go in first and the move clears them.
    QVERIFY(run.Click("Confirm"));
    QVERIFY(run.Click("A"));
    QVERIFY(run.Click("Again"));
    QCOMPARE(run.Script.MessageTexts(), QStringList{IncorrectShown});
    QCOMPARE(run.PageName(), QStringLiteral("First"));
    QCOMPARE(ScoreMax, 0);
}

void TestRun::onlyButtonObjectsAct()
{
    TTestPlan plan;
    plan.Pages = {
        {"One", {Choices({"A", "B"}, {1}, true, 1), Button("Forward", 0), Button("Odd", 9)}},
        {"Two", {}}};
    TRun run({Write(QStringLiteral("senders.cvl"), plan)});
    QVERIFY(run.Start());
    TGlavnoOkno &window = run.Window();
    QAbstractButton *choice = run.Shown("A");
    QVERIFY(choice);
    window.FormClick(&window);
    window.FormClick(choice);
    window.FormClick(choice->parent()); // the question's frame carries its tag
    QVERIFY(run.Click("Odd"));
    QCOMPARE(run.PageName(), QStringLiteral("One"));
    QVERIFY(run.Click("Forward"));
    QCOMPARE(run.PageName(), QStringLiteral("Two"));
    QVERIFY(run.Script.Messages.isEmpty());
}

// Tab reaches every control of the page, radio buttons too, Space answers and
// Enter presses a button; each page starts with its first control focused.
void TestRun::keyboardAlone()
{
    TTestPlan plan;
    plan.WrongAnswerMode = 0;
    plan.Pages = {
        {"One answer", {Choices({"X", "Y"}, {2}, true, 1), InputBox("Rome", 1), Button("OK", 2)}},
        {"Choices", {Choices({"A", "B", "C"}, {1, 3}, false, 1), Button("Confirm", 2)}},
        {"Alternative", {Alternative(false, 1), Button("Confirm", 2)}},
        {"End", {Button("Exit", 4)}},
    };
    TRun run({Write(QStringLiteral("keyboard.cvl"), plan)});
    QVERIFY(run.Start());
    run.Window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&run.Window()));

    const auto keys = [](std::initializer_list<Qt::Key> keys) {
        for (Qt::Key key : keys)
            QTest::keyClick(QApplication::focusWidget(), key);
    };
    const auto focused = [] {
        auto *button = qobject_cast<QAbstractButton *>(QApplication::focusWidget());
        return button ? button->text() : QString();
    };
    QCOMPARE(focused(), QStringLiteral("X"));
    keys({Qt::Key_Tab});
    QCOMPARE(focused(), QStringLiteral("Y"));
    keys({Qt::Key_Space, Qt::Key_Tab});
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("rome"));
    keys({Qt::Key_Tab});
    QCOMPARE(focused(), QStringLiteral("OK"));
    keys({Qt::Key_Return});
    QCOMPARE(run.PageName(), QStringLiteral("Choices"));
    QCOMPARE(ScoreEarned, 2);

    QCOMPARE(focused(), QStringLiteral("A"));
    keys({Qt::Key_Space, Qt::Key_Tab, Qt::Key_Tab});
    QCOMPARE(focused(), QStringLiteral("C"));
    keys({Qt::Key_Space, Qt::Key_Tab});
    QCOMPARE(focused(), QStringLiteral("Confirm"));
    keys({Qt::Key_Return});
    QCOMPARE(run.PageName(), QStringLiteral("Alternative"));
    QCOMPARE(ScoreEarned, 5);

    QCOMPARE(focused(), QStringLiteral("Yes"));
    keys({Qt::Key_Tab});
    QCOMPARE(focused(), QStringLiteral("No"));
    keys({Qt::Key_Space, Qt::Key_Tab});
    QCOMPARE(focused(), QStringLiteral("Confirm"));
    keys({Qt::Key_Enter});
    QCOMPARE(run.PageName(), QStringLiteral("End"));
    QCOMPARE(focused(), QStringLiteral("Exit"));
    keys({Qt::Key_Space});
    QCOMPARE(run.Percent, QStringLiteral("100 %"));
    QCOMPARE(run.Script.Exits, QList<int>{0});
}

#include "tst_TestRun.moc"
QObject *NewTestRun() { return new TestRun; }
