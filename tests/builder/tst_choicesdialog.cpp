// "Choices - Properties", driven with keys and clicks and the scripted font
// and colour dialogs: every control changes its own field and nothing else,
// and the preview keeps the author's marks through every edit.
#include "QZFonts.h"
#include "QZIzbireLastnosti.h"
#include "QZQuestionDialogTesting.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cstddef>
#include <utility>

using namespace CorvBuilder;

class TestChoicesDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void choicesControlsChangeTheirFields_data();
    void choicesControlsChangeTheirFields();
    void choicesPreviewKeepsMarks();

private:
    std::pair<qint32, qint32> m_screen;
};

void TestChoicesDialog::initTestCase()
{
    m_screen = {std::exchange(ScreenWidth, 1024), std::exchange(ScreenHeight, 768)};
}

void TestChoicesDialog::cleanupTestCase()
{
    ScreenWidth = m_screen.first;
    ScreenHeight = m_screen.second;
}

void TestChoicesDialog::choicesControlsChangeTheirFields_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("begin");
    QTest::addColumn<int>("end");
    QTest::newRow("question") << "question" << int(offsetof(TIzbireRecord, QuestionText))
                              << int(offsetof(TIzbireRecord, ChoiceCount));
    QTest::newRow("choice 2") << "choice 2" << int(offsetof(TIzbireRecord, Choices) + 256)
                              << int(offsetof(TIzbireRecord, Choices) + 512);
    QTest::newRow("count") << "count" << int(offsetof(TIzbireRecord, ChoiceCount))
                           << int(offsetof(TIzbireRecord, SingleAnswer));
    QTest::newRow("single") << "single" << int(offsetof(TIzbireRecord, SingleAnswer))
                            << int(offsetof(TIzbireRecord, Choices));
    QTest::newRow("points") << "points" << int(offsetof(TIzbireRecord, Points))
                            << int(offsetof(TIzbireRecord, Color));
    QTest::newRow("question font") << "question font" << int(offsetof(TIzbireRecord, QuestionFont))
                                   << int(offsetof(TIzbireRecord, ChoiceFont));
    QTest::newRow("choice font") << "choice font" << int(offsetof(TIzbireRecord, ChoiceFont))
                                 << int(sizeof(TIzbireRecord));
    QTest::newRow("color") << "color" << int(offsetof(TIzbireRecord, Color))
                           << int(offsetof(TIzbireRecord, QuestionFont));
    QTest::newRow("mark") << "mark" << int(offsetof(TIzbireRecord, CorrectSet))
                          << int(offsetof(TIzbireRecord, Padding));
}

void TestChoicesDialog::choicesControlsChangeTheirFields()
{
    QFETCH(QString, control);
    QFETCH(int, begin);
    QFETCH(int, end);
    TPresetInteraction interaction;
    interaction.FontAnswers << PixelFont("Times New Roman", 14);
    interaction.ColorAnswers << QColor(0x12, 0x34, 0x56);
    TIzbireLastnosti dialog;
    const TIzbireRecord record = ChoicesRecord(7, false, {2});
    dialog.Load(record);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    if (control == QLatin1String("question")) {
        QTest::keyClicks(dialog.QuestionEdit(), QStringLiteral(" (two)"));
    } else if (control == QLatin1String("choice 2")) {
        Replace(dialog.ChoiceEdit(2), QStringLiteral("Mislinja"));
    } else if (control == QLatin1String("count")) {
        QTest::keyClick(dialog.CountList(), Qt::Key_Down);
    } else if (control == QLatin1String("single")) {
        dialog.SingleAnswerBox()->setFocus();
        QTest::keyClick(dialog.SingleAnswerBox(), Qt::Key_Space);
    } else if (control == QLatin1String("points")) {
        Replace(dialog.PointsEdit(), QStringLiteral("12"));
    } else if (control == QLatin1String("question font")) {
        QTest::mouseClick(dialog.QuestionFontButton(), Qt::LeftButton);
        QCOMPARE(interaction.FontPresets.value(0).pixelSize(), 19);
    } else if (control == QLatin1String("choice font")) {
        QTest::mouseClick(dialog.ChoiceFontButton(), Qt::LeftButton);
        QCOMPARE(interaction.FontPresets.value(0).family(), FaceFont(record.ChoiceFont).family());
    } else if (control == QLatin1String("color")) {
        QTest::mouseClick(dialog.ColorButton(), Qt::LeftButton);
        QCOMPARE(interaction.ColorPresets.value(0), FaceColor(record.Color));
    } else if (control == QLatin1String("mark")) {
        Tick(dialog.Preview()->Choice(3));
    }
    const auto stored = dialog.Store();
    QVERIFY(stored);
    CHANGED_ONLY(record, *stored, begin, end);
    QCOMPARE(CheckedChoices(*dialog.Preview()),
             (control == QLatin1String("mark") ? QList<int>{2, 3} : QList<int>{2}));
    QCOMPARE(interaction.FontDialogs + interaction.ColorDialogs,
             control.endsWith(QLatin1String("font")) || control == QLatin1String("color") ? 1 : 0);
}

void TestChoicesDialog::choicesPreviewKeepsMarks()
{
    TPresetInteraction interaction;
    interaction.FontAnswers << PixelFont("Courier New", 16) << PixelFont("Arial", 25);
    interaction.ColorAnswers << QColor(Qt::yellow);
    TIzbireLastnosti dialog;
    const TIzbireRecord record = ChoicesRecord(11, false, {2, 4});
    dialog.Load(record);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    TQZIzbire &preview = *dialog.Preview();
    const QList<int> marks{2, 4};
    QCOMPARE(CheckedChoices(preview), marks);

    QTest::keyClicks(dialog.ChoiceEdit(1), QStringLiteral("nja"));
    QCOMPARE(preview.Choice(1)->text(), QStringLiteral("Savanja"));
    QCOMPARE(CheckedChoices(preview), marks);
    QTest::mouseClick(dialog.QuestionFontButton(), Qt::LeftButton);
    QTest::mouseClick(dialog.ChoiceFontButton(), Qt::LeftButton);
    QCOMPARE(preview.Choice(1)->font().pixelSize(), 25);
    QTest::mouseClick(dialog.ColorButton(), Qt::LeftButton);
    QCOMPARE(quint32(preview.Data().Color), 0x0000FFFFu);
    QCOMPARE(CheckedChoices(preview), marks);

    // From five choices to three: edits 4 and 5 hide, their texts stay.
    dialog.CountList()->setFocus();
    QTest::keyClick(dialog.CountList(), Qt::Key_Up);
    QTest::keyClick(dialog.CountList(), Qt::Key_Up);
    QCOMPARE(preview.ShownChoices(), 3);
    QVERIFY(dialog.ChoiceEdit(3)->isVisible());
    QVERIFY(!dialog.ChoiceEdit(4)->isVisible());
    QVERIFY(!dialog.ChoiceEdit(5)->isVisible());
    QCOMPARE(CheckedChoices(preview), QList<int>{2});
    auto stored = dialog.Store();
    QVERIFY(stored);
    QCOMPARE(int(stored->ChoiceCount), 3);
    QCOMPARE(stored->Choices[0].Bytes(), QByteArray("Savanja"));
    QCOMPARE(RecordToBytes(stored->Choices[3]), RecordToBytes(record.Choices[3]));
    QCOMPARE(RecordToBytes(stored->Choices[4]), RecordToBytes(record.Choices[4]));
    QCOMPARE(qint32(stored->QuestionFont.Height), -16);
    QCOMPARE(qint32(stored->ChoiceFont.Height), -25);

    // Back to five: the mark on choice 4 comes back with it.
    QTest::keyClick(dialog.CountList(), Qt::Key_Down);
    QTest::keyClick(dialog.CountList(), Qt::Key_Down);
    QCOMPARE(CheckedChoices(preview), marks);

    // One answer keeps one mark, and so does going back to several.
    Tick(preview.Choice(4));
    dialog.SingleAnswerBox()->setFocus();
    QTest::keyClick(dialog.SingleAnswerBox(), Qt::Key_Space);
    QVERIFY(qobject_cast<QRadioButton *>(preview.Choice(2)));
    QCOMPARE(CheckedChoices(preview), QList<int>{2});
    Tick(preview.Choice(5));
    QCOMPARE(CheckedChoices(preview), QList<int>{5});
    QTest::keyClick(dialog.SingleAnswerBox(), Qt::Key_Space);
    QVERIFY(qobject_cast<QCheckBox *>(preview.Choice(5)));
    QCOMPARE(CheckedChoices(preview), QList<int>{5});

    stored = dialog.Store();
    QVERIFY(stored);
    QCOMPARE(int(stored->SingleAnswer), 0);
    TByteSet expected = record.CorrectSet;
    for (int i = 1; i <= 6; ++i)
        expected.Include(i, i == 5);
    QCOMPARE(RecordToBytes(stored->CorrectSet), RecordToBytes(expected));
    // Position and width are the object's, not the preview's.
    QCOMPARE(qint32(stored->Left), qint32(record.Left));
    QCOMPARE(qint32(stored->Width), qint32(record.Width));
}

QTEST_MAIN(TestChoicesDialog)
#include "tst_choicesdialog.moc"
