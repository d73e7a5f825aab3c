// The property dialogs of the three question objects, driven with keys and
// clicks and the scripted font, colour and message dialogs: records pass
// through byte for byte, every control changes its own field and nothing
// else, the choices preview keeps the author's marks, and bad points keep the
// dialog open.
#include "QZDaNeLastnosti.h"
#include "QZFont.h"
#include "QZFonts.h"
#include "QZIzbireLastnosti.h"
#include "QZQuestions.h"
#include "QZRecordFields.h"
#include "QZRecordedHelp.h"
#include "QZScriptedInteraction.h"
#include "QZVnosnoOknoLastnosti.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QTest>

#include <cstddef>
#include <utility>

namespace {

// Also records what the font and colour dialogs were preset to.
class TPresetInteraction : public TQZScriptedInteraction
{
public:
    bool ChooseFont(QWidget *parent, QFont &font) override
    {
        FontPresets << font;
        return TQZScriptedInteraction::ChooseFont(parent, font);
    }
    bool ChooseColor(QWidget *parent, QColor &color) override
    {
        ColorPresets << color;
        return TQZScriptedInteraction::ChooseColor(parent, color);
    }
    QList<QFont> FontPresets;
    QList<QColor> ColorPresets;
};

// A record of random bytes: string tails, padding, unused slots and set
// elements keep them; the tests set the fields the dialogs show.
template<typename Record> Record RandomRecord(quint32 seed)
{
    QByteArray bytes(sizeof(Record), Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return RecordFromBytes<Record>(bytes);
}

// A usable font over random bytes: its name tail and padding stay random.
void SetFont(TFontRecord &font)
{
    font.Name.SetBytes("Arial CE");
    font.Height = -19;
    font.Style = 0;
    font.Charset = 238;
    font.Color = 0x80000008u;
}

TIzbireRecord ChoicesRecord(quint32 seed, bool single, QList<int> marks)
{
    auto record = RandomRecord<TIzbireRecord>(seed);
    record.QuestionText.SetBytes("Which are rivers?");
    const char *choices[6] = {"Sava", "Drava", "Triglav", "Mura", "Krka", "Bled"};
    for (int i = 0; i < 6; ++i)
        record.Choices[i].SetBytes(choices[i]);
    record.ChoiceCount = 5;
    record.SingleAnswer = single;
    for (int i = 1; i <= 6; ++i)
        record.CorrectSet.Include(i, marks.contains(i));
    record.Points = -3;
    SetFont(record.QuestionFont);
    SetFont(record.ChoiceFont);
    return record;
}

TVnosnoOknoRecord InputBoxRecord(quint32 seed)
{
    auto record = RandomRecord<TVnosnoOknoRecord>(seed);
    record.AnswerCount = 3;
    record.Answers[1].SetBytes("Ljubljana");
    record.Answers[2].SetBytes("LJ");
    record.Answers[3].SetBytes(QByteArray(100, 'x'));
    record.CaseSensitive = 1;
    record.Points = 4;
    SetFont(record.Font);
    return record;
}

TDaNeRecord AlternativeRecord(quint32 seed)
{
    auto record = RandomRecord<TDaNeRecord>(seed);
    record.FirstIsCorrect = 0;
    record.FirstText.SetBytes("Yes");
    record.SecondText.SetBytes(QByteArray(255, 'N'));
    record.Points = 2;
    return record;
}

// The offsets at which two records differ.
template<typename Record> QList<int> Differences(const Record &a, const Record &b)
{
    const QByteArray x = RecordToBytes(a);
    const QByteArray y = RecordToBytes(b);
    QList<int> offsets;
    for (int i = 0; i < x.size(); ++i)
        if (x[i] != y[i])
            offsets << i;
    return offsets;
}

// Something changed, and only bytes of [begin, end).
#define CHANGED_ONLY(before, after, begin, end)                                                    \
    do {                                                                                           \
        const QList<int> offsets = Differences(before, after);                                     \
        QVERIFY2(!offsets.isEmpty(), "nothing changed");                                           \
        for (int offset : offsets)                                                                 \
            QVERIFY2(offset >= int(begin) && offset < int(end),                                    \
                     qPrintable(QStringLiteral("byte %1 changed").arg(offset)));                   \
    } while (false)

#define FIELD(Record, Field)                                                                       \
    offsetof(Record, Field), offsetof(Record, Field) + sizeof(Record::Field)

void Replace(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// Ticks a preview choice on its indicator.
void Tick(QAbstractButton *choice)
{
    QTest::mouseClick(choice, Qt::LeftButton, {}, QPoint(4, choice->height() / 2));
}

QFont PixelFont(const char *windowsFace, int pixels)
{
    QFont font(FreeFamilyOf(QString::fromLatin1(windowsFace)));
    font.setPixelSize(pixels);
    return font;
}

QList<int> CheckedChoices(const TQZIzbire &preview)
{
    QList<int> checked;
    for (int i = 1; i <= 6; ++i)
        if (preview.Choice(i)->isChecked())
            checked << i;
    return checked;
}

QPushButton *DialogButton(QDialog &dialog, QDialogButtonBox::StandardButton which)
{
    return dialog.findChild<QDialogButtonBox *>()->button(which);
}

} // namespace

class TestQuestionDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void loadThenStoreKeepsEveryByte();
    void choicesControlsChangeTheirFields_data();
    void choicesControlsChangeTheirFields();
    void choicesPreviewKeepsMarks();
    void inputBoxControlsChangeTheirFields();
    void inputBoxAcceptsExactlyTheFilledEdits();
    void alternativeItemsFollowTexts();
    void pointsMustBeWholeNumbers();
    void cancelAndHelp();
    void layoutFitsAndIsLabelled();

private:
    std::pair<qint32, qint32> m_screen;
};

void TestQuestionDialogs::initTestCase()
{
    m_screen = {std::exchange(ScreenWidth, 1024), std::exchange(ScreenHeight, 768)};
}

void TestQuestionDialogs::cleanupTestCase()
{
    ScreenWidth = m_screen.first;
    ScreenHeight = m_screen.second;
}

void TestQuestionDialogs::loadThenStoreKeepsEveryByte()
{
    TPresetInteraction interaction;
    for (quint32 seed : {1u, 2u, 3u}) {
        TIzbireLastnosti choices;
        // Multiple answers with a mark on the hidden choice 6, then one answer.
        for (const TIzbireRecord &record :
             {ChoicesRecord(seed, false, {1, 4, 6}), ChoicesRecord(seed, true, {2})}) {
            choices.Load(record);
            QCOMPARE(CheckedChoices(*choices.Preview()),
                     (record.SingleAnswer ? QList<int>{2} : QList<int>{1, 4}));
            const auto stored = choices.Store();
            QVERIFY(stored);
            QCOMPARE(RecordToBytes(*stored), RecordToBytes(record));
        }

        TVnosnoOknoLastnosti inputBox;
        const TVnosnoOknoRecord input = InputBoxRecord(seed);
        inputBox.Load(input);
        QCOMPARE(inputBox.AnswerEdit(2)->text(), QStringLiteral("LJ"));
        QCOMPARE(inputBox.AnswerEdit(4)->text(), QString());
        const auto storedInput = inputBox.Store();
        QVERIFY(storedInput);
        QCOMPARE(RecordToBytes(*storedInput), RecordToBytes(input));

        TDaNeLastnosti alternative;
        const TDaNeRecord pair = AlternativeRecord(seed);
        alternative.Load(pair);
        QVERIFY(alternative.SecondItem()->isChecked());
        const auto storedPair = alternative.Store();
        QVERIFY(storedPair);
        QCOMPARE(RecordToBytes(*storedPair), RecordToBytes(pair));
    }
    QVERIFY(interaction.Messages.isEmpty());
}

void TestQuestionDialogs::choicesControlsChangeTheirFields_data()
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

void TestQuestionDialogs::choicesControlsChangeTheirFields()
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

void TestQuestionDialogs::choicesPreviewKeepsMarks()
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

void TestQuestionDialogs::inputBoxControlsChangeTheirFields()
{
    TPresetInteraction interaction;
    interaction.FontAnswers << PixelFont("Courier New", 20);
    interaction.ColorAnswers << QColor(0x80, 0, 0);
    TVnosnoOknoLastnosti dialog;
    const TVnosnoOknoRecord record = InputBoxRecord(5);
    using R = TVnosnoOknoRecord;
    const auto check = [&](auto act, size_t begin, size_t end) {
        dialog.Load(record);
        act();
        const auto stored = dialog.Store();
        QVERIFY(stored);
        CHANGED_ONLY(record, *stored, begin, end);
    };
    check([&] { QTest::keyClicks(dialog.AnswerEdit(2), QStringLiteral("U")); }, FIELD(R, Answers));
    check([&] { QTest::keyClick(dialog.CaseSensitiveBox(), Qt::Key_Space); },
          FIELD(R, CaseSensitive));
    check([&] { Replace(dialog.PointsEdit(), QStringLiteral("-5")); }, FIELD(R, Points));
    check([&] { QTest::mouseClick(dialog.FontButton(), Qt::LeftButton); }, FIELD(R, Font));
    check([&] { QTest::mouseClick(dialog.ColorButton(), Qt::LeftButton); }, FIELD(R, Color));
    // The sample showed what was chosen; the dialogs opened on the record's.
    QCOMPARE(interaction.FontPresets.value(0).family(), FaceFont(record.Font).family());
    QCOMPARE(interaction.ColorPresets.value(0), FaceColor(record.Color));
    QCOMPARE(dialog.Sample()->Color(), 0x00000080u);
    QCOMPARE(dialog.Sample()->Sample()->text(), QStringLiteral("AaBbCc"));
}

void TestQuestionDialogs::inputBoxAcceptsExactlyTheFilledEdits()
{
    TVnosnoOknoLastnosti dialog;
    const TVnosnoOknoRecord record = InputBoxRecord(9);
    dialog.Load(record);
    // The first answer cleared, the third replaced by a padded one, the fifth
    // longer than an answer may be.
    Replace(dialog.AnswerEdit(1), QString());
    Replace(dialog.AnswerEdit(3), QStringLiteral("  Emona "));
    QTest::keyClicks(dialog.AnswerEdit(5), QString(101, QLatin1Char('a')));
    auto stored = dialog.Store();
    QVERIFY(stored);
    QCOMPARE(qint32(stored->AnswerCount), 3);
    QCOMPARE(stored->Answers[1].Bytes(), QByteArray("LJ"));
    QCOMPARE(stored->Answers[2].Bytes(), QByteArray("Emona"));
    QCOMPARE(stored->Answers[3].Bytes(), QByteArray(100, 'a'));
    QCOMPARE(RecordToBytes(stored->Answers[0]), RecordToBytes(record.Answers[0]));

    // The object accepts the filled edits and nothing else.
    QWidget page;
    TQZVnosnoOkno box(&page, *stored);
    for (const auto &[typed, right] :
         {std::pair{"Emona ", true}, std::pair{"LJ", true}, std::pair{"emona", false},
          std::pair{"Ljubljana", false}, std::pair{"x", false}}) {
        box.Edit()->setText(QString::fromLatin1(typed));
        QVERIFY2(box.IsCorrect() == right, typed);
    }

    // No answers at all: none accepted and none shown as the right one.
    dialog.Load(*stored);
    for (int i = 1; i <= 5; ++i)
        Replace(dialog.AnswerEdit(i), QStringLiteral("   "));
    stored = dialog.Store();
    QVERIFY(stored);
    QCOMPARE(qint32(stored->AnswerCount), 0);
    QCOMPARE(int(stored->Answers[1].Length), 0);
}

void TestQuestionDialogs::alternativeItemsFollowTexts()
{
    TPresetInteraction interaction;
    interaction.ColorAnswers << QColor(0, 0x80, 0);
    TDaNeLastnosti dialog;
    const TDaNeRecord record = AlternativeRecord(13);
    using R = TDaNeRecord;
    const auto check = [&](auto act, size_t begin, size_t end) {
        dialog.Load(record);
        act();
        const auto stored = dialog.Store();
        QVERIFY(stored);
        CHANGED_ONLY(record, *stored, begin, end);
    };
    check([&] { QTest::keyClicks(dialog.FirstEdit(), QStringLiteral(" & Da")); },
          FIELD(R, FirstText));
    QCOMPARE(dialog.FirstItem()->text(), QStringLiteral("Yes && Da"));
    QCOMPARE(dialog.FirstItem()->accessibleName(), QStringLiteral("Yes & Da"));
    check([&] { Replace(dialog.SecondEdit(), QStringLiteral("Ne")); }, FIELD(R, SecondText));
    QCOMPARE(dialog.SecondItem()->text(), QStringLiteral("Ne"));
    check([&] { Tick(dialog.FirstItem()); }, FIELD(R, FirstIsCorrect));
    check([&] { Replace(dialog.PointsEdit(), QStringLiteral("3")); }, FIELD(R, Points));
    check([&] { QTest::mouseClick(dialog.ColorButton(), Qt::LeftButton); }, FIELD(R, Color));
    QCOMPARE(interaction.ColorPresets.value(0), FaceColor(record.Color));
    QCOMPARE(dialog.SampleColor(), 0x00008000u);
    QCOMPARE(dialog.SecondItem()->text(), QString(255, QLatin1Char('N')));
}

void TestQuestionDialogs::pointsMustBeWholeNumbers()
{
    const auto check = [](auto &dialog, const auto &record) {
        TPresetInteraction interaction;
        dialog.Load(record);
        Replace(dialog.PointsEdit(), QStringLiteral(" 7 "));
        auto stored = dialog.Store();
        QVERIFY(stored);
        QCOMPARE(qint32(stored->Points), 7);

        dialog.Load(record);
        Replace(dialog.PointsEdit(), QStringLiteral("7.5"));
        QVERIFY(!dialog.Store());
        // OK keeps the dialog and the author's edits.
        dialog.show();
        QTest::mouseClick(DialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.PointsEdit()->text(), QStringLiteral("7.5"));
        QCOMPARE(interaction.Messages.size(), 2);
        for (const auto &message : std::as_const(interaction.Messages)) {
            QCOMPARE(message.Kind, TQZMessageKind::Error);
            QCOMPARE(message.Caption, QStringLiteral("Error"));
            QCOMPARE(message.Text, QStringLiteral("'7.5' is not a valid integer value"));
        }
        Replace(dialog.PointsEdit(), QStringLiteral("99999999999"));
        QTest::mouseClick(DialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(interaction.Messages.size(), 3);
        Replace(dialog.PointsEdit(), QStringLiteral("-2"));
        QTest::mouseClick(DialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        stored = dialog.Store();
        QVERIFY(stored);
        QCOMPARE(qint32(stored->Points), -2);
    };
    TIzbireLastnosti choices;
    check(choices, ChoicesRecord(3, true, {1}));
    TVnosnoOknoLastnosti inputBox;
    check(inputBox, InputBoxRecord(3));
    TDaNeLastnosti alternative;
    check(alternative, AlternativeRecord(3));
}

void TestQuestionDialogs::cancelAndHelp()
{
    TQZRecordedHelp help;
    TPresetInteraction interaction;
    TIzbireLastnosti choices;
    TVnosnoOknoLastnosti inputBox;
    TDaNeLastnosti alternative;
    const std::pair<TQZPropertyDialog *, int> dialogs[] = {
        {&choices, 100}, {&inputBox, 80}, {&alternative, 90}};
    for (const auto &[dialog, context] : dialogs) {
        dialog->show();
        QTest::keyClick(dialog, Qt::Key_F1);
        QTest::mouseClick(DialogButton(*dialog, QDialogButtonBox::Help), Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QTest::mouseClick(DialogButton(*dialog, QDialogButtonBox::Cancel), Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QCOMPARE(help.Requests, (QList<int>{context, context}));
        help.Requests.clear();
    }
    QCOMPARE(choices.windowTitle(), QStringLiteral("Choices - Properties"));
    QCOMPARE(inputBox.windowTitle(), QStringLiteral("Input Box - Properties"));
    QCOMPARE(alternative.windowTitle(), QStringLiteral("Alternative Question - Properties"));

    // What a cancelled use marked and typed is gone with the next Load.
    const TIzbireRecord record = ChoicesRecord(17, false, {1});
    choices.Load(record);
    choices.show();
    Tick(choices.Preview()->Choice(3));
    QTest::keyClicks(choices.QuestionEdit(), QStringLiteral("??"));
    QTest::keyClick(&choices, Qt::Key_Escape);
    QCOMPARE(choices.result(), int(QDialog::Rejected));
    choices.Load(record);
    QCOMPARE(CheckedChoices(*choices.Preview()), QList<int>{1});
    QCOMPARE(RecordToBytes(*choices.Store()), RecordToBytes(record));
}

void TestQuestionDialogs::layoutFitsAndIsLabelled()
{
    TIzbireLastnosti choices;
    TVnosnoOknoLastnosti inputBox;
    TDaNeLastnosti alternative;
    for (TQZPropertyDialog *dialog :
         {static_cast<TQZPropertyDialog *>(&choices), static_cast<TQZPropertyDialog *>(&inputBox),
          static_cast<TQZPropertyDialog *>(&alternative)}) {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        const QString title = dialog->windowTitle();
        QVERIFY2(dialog->frameGeometry().width() <= 1024 && dialog->frameGeometry().height() <= 768,
                 qPrintable(title));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        for (QWidget *widget : dialog->findChildren<QWidget *>()) {
            if (!widget->isVisible() ||
                qobject_cast<QGroupBox *>(widget->parentWidget()) == choices.Preview()->Face())
                continue;
            const QString name = title + QLatin1Char('/') + widget->objectName();
            if (qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget) ||
                qobject_cast<QLineEdit *>(widget) || qobject_cast<QComboBox *>(widget)) {
                // Nothing is cut: full size, and inside the dialog.
                QVERIFY2(widget->width() >= widget->minimumSizeHint().width(), qPrintable(name));
                const QRect inDialog(widget->mapTo(dialog, QPoint(0, 0)), widget->size());
                QVERIFY2(dialog->rect().contains(inDialog), qPrintable(name));
            }
            if (qobject_cast<QLineEdit *>(widget) || qobject_cast<QComboBox *>(widget) ||
                qobject_cast<QScrollArea *>(widget))
                QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(name));
            auto *label = qobject_cast<QLabel *>(widget);
            if (label && label->text().endsWith(QLatin1Char(':')))
                QVERIFY2(label->buddy(), qPrintable(label->text()));
        }
        dialog->hide();
    }
    // Every choice edit stays where it is when some are hidden.
    choices.show();
    const QPoint sixth = choices.ChoiceEdit(6)->pos();
    choices.Load(ChoicesRecord(1, false, {}));
    QVERIFY(!choices.ChoiceEdit(6)->isVisible());
    choices.Load(RandomRecord<TIzbireRecord>(1)); // any count, even past six
    QCOMPARE(choices.ChoiceEdit(6)->pos(), sixth);
}

QTEST_MAIN(TestQuestionDialogs)
#include "tst_questiondialogs.moc"
