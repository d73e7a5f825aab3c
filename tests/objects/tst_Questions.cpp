// The question objects answered through their real widgets: evaluation,
// showing the right answer, layout on a 1024 x 749 screen, the builder's
// record changes, and taking a page from the keyboard.
#include "QZCodePage.h"
#include "QZObjectsTest.h"
#include "QZQuestions.h"
#include "QZTexts.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <memory>

namespace {

TIzbireRecord ChoicesRecord(int count, bool single, const QList<int> &correct, qint32 points)
{
    auto record = NewRecord<TIzbireRecord>();
    record.ChoiceCount = quint8(count);
    record.SingleAnswer = single;
    record.Points = points;
    record.CorrectSet = ZeroRecord<TByteSet>();
    for (int i : correct)
        record.CorrectSet.Include(i);
    return record;
}

// Ticks or picks a choice with the mouse, on its indicator.
void Tick(QAbstractButton *choice)
{
    QTest::mouseClick(choice, Qt::LeftButton, {}, QPoint(4, choice->height() / 2));
}

QList<int> CheckedChoices(const TQZIzbire &question)
{
    QList<int> checked;
    for (int i = 1; i <= 6; ++i)
        if (question.Choice(i)->isChecked())
            checked << i;
    return checked;
}

// Types text as key presses carrying it, character by character.
void Type(QWidget *widget, const QString &text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QString AccessibleName(QWidget *widget)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

qint32 Int32At(const QByteArray &bytes, int offset)
{
    return RecordFromBytes<TInt32>(bytes.constData() + offset);
}

QWidget *FocusAfterTab()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return QApplication::focusWidget();
}

} // namespace

class TestQuestions : public TObjectsTestCase
{
    Q_OBJECT

private slots:
    void choicesEvaluation_data();
    void choicesEvaluation();
    void choicesShowCorrectAnswer();
    void choicesLayout_data();
    void choicesLayout();
    void choicesApplyRecord();
    void alternativeToggles();
    void alternativeLayout();
    void inputBoxEvaluation_data();
    void inputBoxEvaluation();
    void inputBoxShowCorrectAnswerAndSize();
    void movedQuestionsSaveConvertedPosition();
    void keyboardAndScreenReaders();
};

void TestQuestions::choicesEvaluation_data()
{
    QTest::addColumn<bool>("single");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("correct");
    QTest::addColumn<int>("points");
    QTest::addColumn<QList<int>>("ticks");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<bool>("isCorrect");
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("maximum");

    using L = QList<int>;
    // Several answers score per choice: +points where the mark is the
    // author's, -points where it is not.
    QTest::newRow("several, ticks 1 2 of {1,3}")
        << false << 4 << L{1, 3} << 2 << L{1, 2} << true << false << 0 << 8;
    QTest::newRow("several, ticks 1 3 of {1,3}")
        << false << 4 << L{1, 3} << 2 << L{1, 3} << true << true << 8 << 8;
    QTest::newRow("several, nothing ticked")
        << false << 4 << L{1, 3} << 2 << L{} << false << false << 0 << 8;
    QTest::newRow("several, tick undone")
        << false << 3 << L{1} << 1 << L{2, 2} << false << false << 1 << 3;
    QTest::newRow("several, negative points")
        << false << 3 << L{1} << -3 << L{1} << true << true << -9 << -9;
    QTest::newRow("empty set, nothing ticked")
        << false << 3 << L{} << 1 << L{} << false << true << 3 << 3;
    QTest::newRow("empty set, one ticked")
        << false << 3 << L{} << 1 << L{2} << true << false << 1 << 3;
    QTest::newRow("set elements past the count are not read")
        << false << 3 << L{1, 5} << 1 << L{1} << true << true << 3 << 3;
    QTest::newRow("no choices, several")
        << false << 0 << L{1} << 5 << L{} << false << true << 0 << 0;
    QTest::newRow("no choices, single") << true << 0 << L{1} << 5 << L{} << false << true << 5 << 5;
    QTest::newRow("single, right") << true << 3 << L{2} << 4 << L{2} << true << true << 4 << 4;
    QTest::newRow("single, wrong") << true << 3 << L{2} << 4 << L{1} << true << false << 0 << 4;
    QTest::newRow("single, changed to the right one")
        << true << 3 << L{2} << 4 << L{1, 2} << true << true << 4 << 4;
}

void TestQuestions::choicesEvaluation()
{
    QFETCH(bool, single);
    QFETCH(int, count);
    QFETCH(QList<int>, correct);
    QFETCH(int, points);
    QFETCH(QList<int>, ticks);

    TRecordingSurface surface;
    TQZIzbire question(&surface, ChoicesRecord(count, single, correct, points));
    surface.show();
    for (int i : ticks)
        Tick(question.Choice(i));

    QTEST(question.IsAnswered(), "answered");
    QTEST(question.IsCorrect(), "isCorrect");
    qint32 earned = 100;
    qint32 possible = 100;
    question.AddScore(earned);
    question.AddMaxScore(possible);
    QTEST(int(earned - 100), "score");
    QTEST(int(possible - 100), "maximum");
}

void TestQuestions::choicesShowCorrectAnswer()
{
    TRecordingSurface surface;
    surface.show();

    TQZIzbire several(&surface, ChoicesRecord(4, false, {1, 3}, 1));
    QVERIFY(qobject_cast<QCheckBox *>(several.Choice(1)));
    Tick(several.Choice(2));
    several.ShowCorrectAnswer();
    QCOMPARE(CheckedChoices(several), (QList<int>{1, 3}));
    QCOMPARE(several.CheckedSet().Bits[0], quint8(0x0A));
    QVERIFY(several.IsCorrect());

    // A picked radio button is cleared when the author marked no answer.
    TQZIzbire none(&surface, ChoicesRecord(3, true, {}, 1));
    QVERIFY(qobject_cast<QRadioButton *>(none.Choice(1)));
    Tick(none.Choice(2));
    QVERIFY(none.IsAnswered());
    none.ShowCorrectAnswer();
    QCOMPARE(CheckedChoices(none), QList<int>{});
    QVERIFY(!none.IsAnswered());

    TQZIzbire single(&surface, ChoicesRecord(3, true, {3}, 1));
    Tick(single.Choice(1));
    single.ShowCorrectAnswer();
    QCOMPARE(CheckedChoices(single), QList<int>{3});
}

void TestQuestions::choicesLayout_data()
{
    QTest::addColumn<int>("fileVersion");
    QTest::addColumn<int>("row");
    QTest::newRow("read from a version 256 file") << 256 << 19;
    QTest::newRow("any other time") << int(CurrentFileVersion) << 21;
}

void TestQuestions::choicesLayout()
{
    QFETCH(int, fileVersion);
    QFETCH(int, row);
    QCOMPARE(Margin(), 6);
    QCOMPARE(AnswerButtonHeight(), 37);
    QCOMPARE(SurfaceFontHeight(), 30);

    FileVersion = fileVersion;
    TRecordingSurface surface;
    auto record = ChoicesRecord(3, true, {1}, 1); // fonts of height -19
    record.Left = 40;
    record.Top = 30;
    TQZIzbire question(&surface, record);

    // Rows start below the caption (19) and two margins.
    const int lastTop = 2 * row + 19 + 12;
    QCOMPARE(question.Frame()->geometry(), QRect(40, 30, 200, lastTop + row + row / 2));
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(question.Choice(i)->geometry(), QRect(12, (i - 1) * row + 31, 185, row));
    for (int i = 4; i <= 6; ++i)
        QVERIFY(question.Choice(i)->isHidden());

    const int height = question.Frame()->height();
    question.ResizeTo(300, 999);
    QCOMPARE(question.Frame()->size(), QSize(300, height));
    for (int i = 1; i <= 3; ++i)
        QCOMPARE(question.Choice(i)->width(), 285);
    QCOMPARE(qint32(question.Data().Width), 300);
}

void TestQuestions::choicesApplyRecord()
{
    FileVersion = 256;
    TRecordingSurface surface;
    surface.show();
    auto record = ChoicesRecord(2, true, {1}, 1);
    record.Left = 40;
    record.Top = 30;
    TQZIzbire question(&surface, record);
    Tick(question.Choice(1));

    record.SingleAnswer = false;
    record.ChoiceCount = 4;
    record.Choices[3].SetBytes("Fourth");
    record.QuestionText.SetBytes("Which?");
    record.Left = 500;
    record.Width = 250;
    question.ApplyRecord(record);

    // Rebuilt with the builder's rows whatever file is being read, unchecked,
    // where the frame was.
    QCOMPARE(question.Frame()->title(), QStringLiteral("Which?"));
    QCOMPARE(question.Frame()->geometry(), QRect(40, 30, 250, 3 * 21 + 31 + 21 + 10));
    QVERIFY(qobject_cast<QCheckBox *>(question.Choice(4)));
    QCOMPARE(question.Choice(3)->text(), QStringLiteral("Choice 3"));
    QCOMPARE(question.Choice(4)->text(), QStringLiteral("Fourth"));
    QCOMPARE(question.Choice(4)->geometry(), QRect(12, 3 * 21 + 31, 235, 21));
    QVERIFY(!question.Choice(4)->isHidden());
    QCOMPARE(CheckedChoices(question), QList<int>{});

    Tick(question.Choice(2));
    Tick(question.Choice(4));
    const TByteSet checked = question.CheckedSet();
    QCOMPARE(checked.Bits[0], quint8(0x14));
}

void TestQuestions::alternativeToggles()
{
    TRecordingSurface surface;
    surface.show();
    auto record = NewRecord<TDaNeRecord>(); // Yes / No, the first right, 1 point
    record.Width = 400;
    TQZDaNe question(&surface, record);
    question.SetObjectTag(7);
    QToolButton *yes = question.FirstButton();
    QToolButton *no = question.SecondButton();
    QCOMPARE(TagOf(question.Panel()), 7);
    QCOMPARE(TagOf(yes), 0);
    QCOMPARE(TagOf(no), 0);
    QVERIFY(!question.IsAnswered());

    QTest::mouseClick(yes, Qt::LeftButton);
    QVERIFY(yes->isChecked() && question.IsAnswered() && question.IsCorrect());
    qint32 earned = 0;
    question.AddScore(earned);
    QCOMPARE(earned, 1);

    QTest::mouseClick(no, Qt::LeftButton);
    QVERIFY(!yes->isChecked() && no->isChecked());
    QVERIFY(!question.IsCorrect());
    earned = 0;
    question.AddScore(earned);
    QCOMPARE(earned, 0);

    // Pressing the down button again withdraws the answer.
    QTest::mouseClick(no, Qt::LeftButton);
    QVERIFY(!yes->isChecked() && !no->isChecked());
    QVERIFY(!question.IsAnswered());

    QTest::mouseClick(no, Qt::LeftButton);
    question.ShowCorrectAnswer();
    QVERIFY(yes->isChecked() && !no->isChecked());

    record.FirstIsCorrect = false;
    question.ApplyRecord(record);
    QVERIFY(yes->isChecked()); // the answer survives new properties
    question.ShowCorrectAnswer();
    QVERIFY(!yes->isChecked() && no->isChecked());
    QVERIFY(question.IsCorrect());
}

void TestQuestions::alternativeLayout()
{
    TRecordingSurface surface;
    auto record = NewRecord<TDaNeRecord>();
    record.Left = 20;
    record.Top = 10;
    TQZDaNe question(&surface, record);

    // The buttons show the surface font and are as wide as the wider text
    // and two margins.
    const QFont font = question.FirstButton()->font();
    QCOMPARE(font.pixelSize(), 30);
    QCOMPARE(font, surface.SurfaceFont());
    const QFontMetrics metrics(font);
    const int w = std::max(metrics.horizontalAdvance(QStringLiteral("Yes")),
                           metrics.horizontalAdvance(QStringLiteral("No"))) +
                  12;
    QCOMPARE(question.FirstButton()->geometry(), QRect(6, 6, w, 37));
    QCOMPARE(question.Panel()->height(), 49);

    question.ResizeTo(10, 500);
    QCOMPARE(question.Panel()->geometry(), QRect(20, 10, 2 * w + 12, 49));
    QCOMPARE(qint32(question.Data().Width), 2 * w + 12);
    QCOMPARE(question.SecondButton()->geometry(), QRect(w + 6, 6, w, 37));

    question.ResizeTo(400, 0);
    QCOMPARE(qint32(question.Data().Width), 400);
    QCOMPARE(question.SecondButton()->x(), 400 - w - 6);

    record.FirstText.SetBytes("Absolutely");
    record.Width = 10;
    question.ApplyRecord(record);
    const int wide = metrics.horizontalAdvance(QStringLiteral("Absolutely")) + 12;
    QCOMPARE(question.SecondButton()->width(), wide);
    QCOMPARE(question.Panel()->geometry(), QRect(20, 10, 2 * wide + 12, 49));
}

void TestQuestions::inputBoxEvaluation_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<bool>("isCorrect");

    const QStringList paris{QStringLiteral("Paris")};
    const QStringList red{QStringLiteral("red"), QStringLiteral("scarlet")};
    QTest::newRow("blanks around, other case")
        << paris << 1 << false << QStringLiteral("  paris ") << true << true;
    QTest::newRow("space inside") << paris << 1 << false << QStringLiteral("Pa ris") << true
                                  << false;
    QTest::newRow("case-sensitive, other case")
        << paris << 1 << true << QStringLiteral("paris") << true << false;
    QTest::newRow("case-sensitive, trailing blanks")
        << paris << 1 << true << QStringLiteral("Paris  ") << true << true;
    QTest::newRow("second slot") << red << 2 << false << QStringLiteral("Scarlet") << true << true;
    QTest::newRow("slot past AnswerCount")
        << red << 1 << false << QStringLiteral("scarlet") << true << false;
    QTest::newRow("AnswerCount 0") << red << 0 << false << QStringLiteral("red") << true << false;
    QTest::newRow("spaces only") << paris << 1 << false << QStringLiteral("   ") << false << false;
    QTest::newRow("new box") << QStringList{} << 1 << false << QStringLiteral("x") << true << false;
    QTest::newRow("accented capitals in the font's code page")
        << QStringList{QStringLiteral("Čas")} << 1 << false << QStringLiteral("čAS") << true
        << true;
}

void TestQuestions::inputBoxEvaluation()
{
    QFETCH(QStringList, answers);
    QFETCH(int, count);
    QFETCH(bool, caseSensitive);
    QFETCH(QString, typed);

    auto record = NewRecord<TVnosnoOknoRecord>(); // font in character set 238
    record.AnswerCount = count;
    record.CaseSensitive = caseSensitive;
    record.Points = 3;
    for (int i = 0; i < answers.size(); ++i)
        record.Answers[i + 1].SetBytes(EncodeText(answers.at(i), "windows-1250"));
    TRecordingSurface surface;
    surface.show();
    TQZVnosnoOkno question(&surface, record);
    QVERIFY(question.Edit()->text().isEmpty());
    Type(question.Edit(), typed);
    QCOMPARE(question.Edit()->text(), typed);

    QTEST(question.IsAnswered(), "answered");
    QTEST(question.IsCorrect(), "isCorrect");
    qint32 earned = 10;
    qint32 possible = 10;
    question.AddScore(earned);
    question.AddMaxScore(possible);
    QCOMPARE(earned, question.IsCorrect() ? 13 : 10);
    QCOMPARE(possible, 13);
}

void TestQuestions::inputBoxShowCorrectAnswerAndSize()
{
    TRecordingSurface surface;
    auto record = NewRecord<TVnosnoOknoRecord>();
    TQZVnosnoOkno fresh(&surface, record);
    fresh.Edit()->setText(QStringLiteral("abc"));
    fresh.ShowCorrectAnswer();
    QCOMPARE(fresh.Edit()->text(), QString());

    record.AnswerCount = 2;
    record.Answers[1].SetBytes("red");
    record.Answers[2].SetBytes("scarlet");
    record.Left = 30;
    record.Top = 40;
    TQZVnosnoOkno question(&surface, record);
    question.Edit()->setText(QStringLiteral("scarlet"));
    QVERIFY(question.IsCorrect());
    question.ShowCorrectAnswer();
    QCOMPARE(question.Edit()->text(), QStringLiteral("red"));

    const int height = question.Edit()->height();
    QVERIFY(height > 19);
    question.ResizeTo(120, 500);
    QCOMPARE(qint32(question.Data().Width), 120);
    QCOMPARE(question.Edit()->geometry(), QRect(30, 40, 120, height));

    // A larger font makes a higher box; the answer typed stays.
    record.Font.Height = -40;
    record.Width = 999;
    question.ApplyRecord(record);
    QVERIFY(question.Edit()->height() > height);
    QCOMPARE(question.Edit()->width(), 120);
    QCOMPARE(question.Edit()->text(), QStringLiteral("red"));
}

void TestQuestions::movedQuestionsSaveConvertedPosition()
{
    TRecordingSurface surface;
    std::vector<std::unique_ptr<TQZControl>> questions;
    questions.push_back(std::make_unique<TQZIzbire>(&surface, NewRecord<TIzbireRecord>()));
    questions.push_back(std::make_unique<TQZVnosnoOkno>(&surface, NewRecord<TVnosnoOknoRecord>()));
    questions.push_back(std::make_unique<TQZDaNe>(&surface, NewRecord<TDaNeRecord>()));
    for (const auto &question : questions) {
        question->MoveTo(100, 50);
        QByteArray stream;
        question->SaveToStream(stream);
        QCOMPARE(stream.size(), RecordSize(question->ObjectTypeTag()));
        // 100 * 2048 / 1024 and 50 * 1536 / 749 = 102.5...
        QCOMPARE(Int32At(stream, 0), 200);
        QCOMPARE(Int32At(stream, 4), 103);
        QCOMPARE(Int32At(question->Record(), 0), 100); // the live record stays in pixels
    }
}

void TestQuestions::keyboardAndScreenReaders()
{
    TRecordingSurface surface;
    auto choices = ChoicesRecord(2, false, {1}, 1);
    choices.QuestionText.SetBytes("Pick");
    choices.Choices[0].SetBytes("Alpha");
    TQZIzbire question(&surface, choices);
    TQZDaNe alternative(&surface, NewRecord<TDaNeRecord>());
    TQZVnosnoOkno input(&surface, NewRecord<TVnosnoOknoRecord>());
    auto buttonRecord = NewRecord<TGumbRecord>();
    buttonRecord.Top = 600;
    TQZGumb button(&surface, buttonRecord);
    button.SetObjectTag(4);
    QVERIFY(ShowAndActivate(surface));

    QCOMPARE(AccessibleName(question.Frame()), QStringLiteral("Pick"));
    QCOMPARE(AccessibleName(question.Choice(1)), QStringLiteral("Alpha"));
    QCOMPARE(AccessibleName(alternative.FirstButton()), QStringLiteral("Yes"));
    QCOMPARE(AccessibleName(alternative.SecondButton()), QStringLiteral("No"));
    QCOMPARE(AccessibleName(input.Edit()), QStringLiteral("Answer"));
    QCOMPARE(AccessibleName(button.PressButton()), QStringLiteral("Button"));

    // Tab follows page order; Space ticks and toggles; Enter presses.
    question.Choice(1)->setFocus();
    QTest::keyClick(question.Choice(1), Qt::Key_Space);
    QVERIFY(question.Choice(1)->isChecked());
    QCOMPARE(FocusAfterTab(), question.Choice(2));
    QCOMPARE(FocusAfterTab(), alternative.FirstButton());
    QTest::keyClick(alternative.FirstButton(), Qt::Key_Space);
    QVERIFY(alternative.FirstButton()->isChecked());
    QCOMPARE(FocusAfterTab(), alternative.SecondButton());
    QTest::keyClick(alternative.SecondButton(), Qt::Key_Return);
    QVERIFY(alternative.SecondButton()->isChecked() && !alternative.FirstButton()->isChecked());
    QCOMPARE(FocusAfterTab(), input.Edit());
    QTest::keyClicks(input.Edit(), QStringLiteral("x"));
    QVERIFY(input.IsAnswered());
    QCOMPARE(FocusAfterTab(), button.PressButton());
    QTest::keyClick(button.PressButton(), Qt::Key_Return);
    QCOMPARE(surface.Clicked, QList<QObject *>{button.PressButton()});
    QCOMPARE(TagOf(surface.Clicked.value(0)), 4);
}

std::unique_ptr<QObject> NewQuestionsTest() { return std::make_unique<TestQuestions>(); }

#include "tst_Questions.moc"
