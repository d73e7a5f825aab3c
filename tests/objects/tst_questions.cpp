// The question objects through their real widgets on a 1024 x 749 screen:
// evaluation, layout, the builder's record changes, positions saved in the
// file's units, and the keyboard and screen readers.
#include "QZObjectTest.h"

#include "QZCodePage.h"
#include "QZQuestions.h"
#include "QZTexts.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <optional>

namespace {

// Ticks or picks a choice with the mouse, on its indicator.
void Tick(QAbstractButton *choice)
{
    QTest::mouseClick(choice, Qt::LeftButton, {}, QPoint(4, choice->height() / 2));
}

QList<int> Checked(const TQZIzbire &question)
{
    QList<int> checked;
    for (int i = 1; i <= 6; ++i)
        if (question.Choice(i)->isChecked())
            checked << i;
    return checked;
}

QString AccessibleName(QWidget *widget)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

QWidget *FocusAfterTab()
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    return QApplication::focusWidget();
}

} // namespace

class TestQuestions : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_settings.emplace(); }
    void cleanup() { m_settings.reset(); }

    void choicesEvaluation_data();
    void choicesEvaluation();
    void choicesLayout_data();
    void choicesLayout();
    void choicesApplyRecord();
    void alternative();
    void inputBox_data();
    void inputBox();
    void inputBoxSize();
    void movedQuestionsSaveConvertedPosition();
    void keyboardAndScreenReaders();

private:
    std::optional<TObjectTestSettings> m_settings;
};

void TestQuestions::choicesEvaluation_data()
{
    QTest::addColumn<bool>("single");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("correct");
    QTest::addColumn<QList<int>>("ticks");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<bool>("isCorrect");
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<QList<int>>("shown"); // checked after ShowCorrectAnswer

    using L = QList<int>; // choices worth 2 points
    QTest::newRow("several, 1 2 of 1 3")
        << false << 4 << L{1, 3} << L{1, 2} << true << false << 0 << 8 << L{1, 3};
    QTest::newRow("several, 1 3 of 1 3")
        << false << 4 << L{1, 3} << L{1, 3} << true << true << 8 << 8 << L{1, 3};
    QTest::newRow("several, none")
        << false << 4 << L{1, 3} << L{} << false << false << 0 << 8 << L{1, 3};
    QTest::newRow("several, undone")
        << false << 3 << L{1} << L{2, 2} << false << false << 2 << 6 << L{1};
    QTest::newRow("empty set, none") << false << 3 << L{} << L{} << false << true << 6 << 6 << L{};
    QTest::newRow("empty set, one") << false << 3 << L{} << L{2} << true << false << 2 << 6 << L{};
    QTest::newRow("set past count")
        << false << 3 << L{1, 5} << L{1} << true << true << 6 << 6 << L{1};
    QTest::newRow("no choices") << false << 0 << L{1} << L{} << false << true << 0 << 0 << L{};
    QTest::newRow("no choices, single")
        << true << 0 << L{1} << L{} << false << true << 2 << 2 << L{};
    QTest::newRow("single, right") << true << 3 << L{2} << L{2} << true << true << 2 << 2 << L{2};
    QTest::newRow("single, wrong") << true << 3 << L{2} << L{1} << true << false << 0 << 2 << L{2};
    QTest::newRow("single, changed")
        << true << 3 << L{2} << L{1, 2} << true << true << 2 << 2 << L{2};
    // A picked radio button is cleared where the author marked no answer.
    QTest::newRow("single, empty set")
        << true << 3 << L{} << L{2} << true << false << 0 << 2 << L{};
}

void TestQuestions::choicesEvaluation()
{
    QFETCH(bool, single);
    QFETCH(int, count);
    QFETCH(QList<int>, correct);
    QFETCH(QList<int>, ticks);
    TRecordingSurface surface;
    TQZIzbire question(&surface, ChoicesRecord(count, single, correct, 2));
    surface.show();
    QCOMPARE(bool(qobject_cast<QRadioButton *>(question.Choice(1))), single);
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
    question.ShowCorrectAnswer();
    QTEST(Checked(question), "shown");
    QCOMPARE(question.IsCorrect(), true);
}

void TestQuestions::choicesLayout_data()
{
    QTest::addColumn<int>("fileVersion");
    QTest::addColumn<int>("row");
    QTest::newRow("reading a version 256 file") << 256 << 19;
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
    auto record = ChoicesRecord(3, true, {1}, 1);
    record.Left = 40;
    record.Top = 30;
    TQZIzbire question(&surface, record);

    // Rows start below the caption font (19) and two margins.
    QCOMPARE(question.Frame()->geometry(), QRect(40, 30, 200, 2 * row + 31 + row + row / 2));
    for (int i = 1; i <= 6; ++i) {
        QCOMPARE(question.Choice(i)->geometry().topLeft(), QPoint(12, (i - 1) * row + 31));
        QCOMPARE(question.Choice(i)->height(), row);
        QCOMPARE(question.Choice(i)->isHidden(), i > 3);
        QCOMPARE(question.Choice(i)->cursor().shape(), Qt::PointingHandCursor);
    }
    const int height = question.Frame()->height();
    question.ResizeTo(300, 999);
    QCOMPARE(question.Frame()->size(), QSize(300, height));
    QCOMPARE(question.Choice(3)->width(), 285);
    QCOMPARE(qint32(question.Data().Width), 300);
}

void TestQuestions::choicesApplyRecord()
{
    FileVersion = 256;
    TRecordingSurface surface;
    surface.show();
    auto record = ChoicesRecord(2, true, {1}, 1);
    TQZIzbire question(&surface, record);
    Tick(question.Choice(1));

    record.SingleAnswer = false;
    record.ChoiceCount = 4;
    record.Choices[3].SetBytes("Fourth");
    record.QuestionText.SetBytes("Which?");
    record.Left = 500;
    record.Width = 250;
    question.ApplyRecord(record);
    // Rebuilt unchecked with the builder's rows whatever file is being read,
    // where the frame was; hidden texts come back.
    QCOMPARE(question.Frame()->title(), QStringLiteral("Which?"));
    QCOMPARE(question.Frame()->geometry(), QRect(0, 0, 250, 3 * 21 + 31 + 21 + 10));
    QCOMPARE(question.Choice(3)->text(), QStringLiteral("Choice 3"));
    QCOMPARE(question.Choice(4)->text(), QStringLiteral("Fourth"));
    QCOMPARE(question.Choice(4)->geometry(), QRect(12, 3 * 21 + 31, 235, 21));
    QVERIFY(qobject_cast<QCheckBox *>(question.Choice(4)) && question.Choice(4)->isVisible());
    QCOMPARE(Checked(question), QList<int>{});
    Tick(question.Choice(2));
    Tick(question.Choice(4));
    QCOMPARE(question.CheckedSet().Bits[0], quint8(0x14));
}

void TestQuestions::alternative()
{
    TRecordingSurface surface;
    surface.show();
    auto record = NewRecord<TDaNeRecord>(); // Yes / No, the first right, 1 point
    record.Left = 20;
    record.Top = 10;
    record.Width = 10;
    TQZDaNe question(&surface, record);
    QToolButton *yes = question.FirstButton();
    QToolButton *no = question.SecondButton();

    // Buttons in the surface font, as wide as the wider text and two margins;
    // the panel is never narrower than both and three margins.
    QCOMPARE(yes->font(), surface.SurfaceFont());
    const QFontMetrics metrics(surface.SurfaceFont());
    const int w = metrics.horizontalAdvance(QStringLiteral("Yes")) + 12;
    QCOMPARE(yes->geometry(), QRect(6, 6, w, 37));
    QCOMPARE(question.Panel()->geometry(), QRect(20, 10, 2 * w + 12, 49));
    QCOMPARE(qint32(question.Data().Width), 2 * w + 12);
    QCOMPARE(no->geometry(), QRect(w + 6, 6, w, 37));
    question.ResizeTo(400, 0);
    QCOMPARE(qint32(question.Data().Width), 400);
    QCOMPARE(no->x(), 400 - w - 6);

    QTest::mouseClick(yes, Qt::LeftButton);
    QVERIFY(question.IsAnswered() && question.IsCorrect());
    qint32 earned = 0;
    question.AddScore(earned);
    QCOMPARE(earned, 1);
    QTest::mouseClick(no, Qt::LeftButton);
    QVERIFY(!yes->isChecked() && no->isChecked() && !question.IsCorrect());
    QTest::mouseClick(no, Qt::LeftButton); // the down button goes up again
    QVERIFY(!yes->isChecked() && !no->isChecked() && !question.IsAnswered());
    QTest::mouseClick(no, Qt::LeftButton);
    question.ShowCorrectAnswer();
    QVERIFY(yes->isChecked() && !no->isChecked());

    record.FirstIsCorrect = false;
    record.FirstText.SetBytes("Absolutely");
    record.Width = 10;
    question.ApplyRecord(record);
    QVERIFY(yes->isChecked()); // the answer stays
    const int wide = metrics.horizontalAdvance(QStringLiteral("Absolutely")) + 12;
    QCOMPARE(no->width(), wide);
    QCOMPARE(question.Panel()->geometry(), QRect(20, 10, 2 * wide + 12, 49));
    question.ShowCorrectAnswer();
    QVERIFY(!yes->isChecked() && no->isChecked());
}

void TestQuestions::inputBox_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<bool>("isCorrect");

    const QStringList paris{QStringLiteral("Paris")};
    const QStringList red{QStringLiteral("red"), QStringLiteral("scarlet")};
    const auto row = [](const char *name, const QStringList &answers, int count, bool sensitive,
                        const char *typed, bool answered, bool correct) {
        QTest::newRow(name) << answers << count << sensitive << QString::fromUtf8(typed) << answered
                            << correct;
    };
    row("blanks around, other case", paris, 1, false, "  paris ", true, true);
    row("space inside", paris, 1, false, "Pa ris", true, false);
    row("case-sensitive, other case", paris, 1, true, "paris", true, false);
    row("case-sensitive, trailing blanks", paris, 1, true, "Paris  ", true, true);
    row("second slot", red, 2, false, "Scarlet", true, true);
    row("slot past AnswerCount", red, 1, false, "scarlet", true, false);
    row("AnswerCount 0", red, 0, false, "red", true, false);
    row("spaces only", paris, 1, false, "   ", false, false);
    row("new box", {}, 1, false, "x", true, false);
    row("accents in the font's code page", {QStringLiteral("Čas")}, 1, false, "čAS", true, true);
}

void TestQuestions::inputBox()
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
    for (QChar c : typed)
        QTest::sendKeyEvent(QTest::Click, question.Edit(), Qt::Key_unknown, QString(c), {});
    QCOMPARE(question.Edit()->text(), typed);

    QTEST(question.IsAnswered(), "answered");
    QTEST(question.IsCorrect(), "isCorrect");
    qint32 earned = 10;
    qint32 possible = 10;
    question.AddScore(earned);
    question.AddMaxScore(possible);
    QCOMPARE(earned, question.IsCorrect() ? 13 : 10);
    QCOMPARE(possible, 13);
    question.ShowCorrectAnswer(); // slot 1, whichever slot matched
    QCOMPARE(question.Edit()->text(), answers.value(0));
}

void TestQuestions::inputBoxSize()
{
    TRecordingSurface surface;
    auto record = NewRecord<TVnosnoOknoRecord>();
    record.Left = 30;
    record.Top = 40;
    TQZVnosnoOkno question(&surface, record);
    question.Edit()->setText(QStringLiteral("typed"));
    const int height = question.Edit()->height();
    question.ResizeTo(120, 500);
    QCOMPARE(qint32(question.Data().Width), 120);
    QCOMPARE(question.Edit()->geometry(), QRect(30, 40, 120, height));

    // A larger font makes a higher box; width and the text typed stay.
    record.Font.Height = -40;
    question.ApplyRecord(record);
    QVERIFY(question.Edit()->height() > height);
    QCOMPARE(question.Edit()->width(), 120);
    QCOMPARE(question.Edit()->text(), QStringLiteral("typed"));
}

void TestQuestions::movedQuestionsSaveConvertedPosition()
{
    TRecordingSurface surface;
    std::unique_ptr<TQZControl> questions[] = {
        std::make_unique<TQZIzbire>(&surface, NewRecord<TIzbireRecord>()),
        std::make_unique<TQZVnosnoOkno>(&surface, NewRecord<TVnosnoOknoRecord>()),
        std::make_unique<TQZDaNe>(&surface, NewRecord<TDaNeRecord>())};
    for (const auto &question : questions) {
        question->MoveTo(100, 50);
        QByteArray stream;
        question->SaveToStream(stream);
        QCOMPARE(stream.size(), RecordSize(question->ObjectTypeTag()));
        // 100 * 2048 / 1024 and 50 * 1536 / 749 = 102.5...; the live record
        // stays in pixels.
        QCOMPARE(qFromLittleEndian<qint32>(stream.constData()), 200);
        QCOMPARE(qFromLittleEndian<qint32>(stream.constData() + 4), 103);
        QCOMPARE(qFromLittleEndian<qint32>(question->Record().constData()), 100);
        QCOMPARE(FaceOf(question.get())->pos(), QPoint(100, 50));
    }
}

void TestQuestions::keyboardAndScreenReaders()
{
    TRecordingSurface surface;
    auto choices = ChoicesRecord(2, true, {1}, 1);
    choices.QuestionText.SetBytes("Pick");
    choices.Choices[0].SetBytes("Alpha");
    TQZIzbire question(&surface, choices);
    TQZDaNe alternative(&surface, NewRecord<TDaNeRecord>());
    TQZVnosnoOkno input(&surface, NewRecord<TVnosnoOknoRecord>());
    auto textRecord = NewRecord<TBesediloRecord>();
    textRecord.Top = 500;
    TQZBesedilo text(&surface, textRecord);
    auto buttonRecord = NewRecord<TGumbRecord>();
    buttonRecord.Top = 600;
    TQZGumb button(&surface, buttonRecord);
    surface.resize(1024, 749);
    surface.show();
    surface.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&surface));

    QCOMPARE(AccessibleName(question.Frame()), QStringLiteral("Pick"));
    QCOMPARE(AccessibleName(question.Choice(1)), QStringLiteral("Alpha"));
    QCOMPARE(AccessibleName(alternative.SecondButton()), QStringLiteral("No"));
    QCOMPARE(AccessibleName(input.Edit()), QStringLiteral("Answer"));
    QCOMPARE(AccessibleName(text.Label()), QStringLiteral("Text"));
    QCOMPARE(AccessibleName(button.PressButton()), QStringLiteral("Button"));

    // Tab follows page order; Space ticks and toggles; Enter presses.
    question.Choice(1)->setFocus();
    QTest::keyClick(question.Choice(1), Qt::Key_Space);
    QVERIFY(question.Choice(1)->isChecked());
    QCOMPARE(FocusAfterTab(), question.Choice(2)); // not only the picked radio button
    QTest::keyClick(question.Choice(2), Qt::Key_Space);
    QCOMPARE(Checked(question), QList<int>{2});
    QCOMPARE(FocusAfterTab(), alternative.FirstButton());
    QTest::keyClick(alternative.FirstButton(), Qt::Key_Space);
    QVERIFY(alternative.FirstButton()->isChecked());
    QCOMPARE(FocusAfterTab(), alternative.SecondButton());
    QTest::keyClick(alternative.SecondButton(), Qt::Key_Return);
    QVERIFY(alternative.SecondButton()->isChecked() && !alternative.FirstButton()->isChecked());
    QCOMPARE(FocusAfterTab(), input.Edit());
    QCOMPARE(FocusAfterTab(), button.PressButton());
    QTest::keyClick(button.PressButton(), Qt::Key_Enter);
    QCOMPARE(surface.Clicked, QList<QObject *>{button.PressButton()});
}

QTEST_MAIN(TestQuestions)

#include "tst_questions.moc"
