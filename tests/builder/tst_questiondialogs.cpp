// The property dialogs of the three question objects, driven with keys and
// clicks and the scripted font, colour and message dialogs: records pass
// through byte for byte, every control changes its own field and nothing
// else, a dialog used again starts from the record it loads, and bad points
// keep the dialog open. The choices dialog's own controls and preview are in
// tst_choicesdialog.
#include "QZDaNeLastnosti.h"
#include "QZFonts.h"
#include "QZIzbireLastnosti.h"
#include "QZQuestionDialogTesting.h"
#include "QZRecordedHelp.h"
#include "QZVnosnoOknoLastnosti.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTest>

#include <cstddef>
#include <utility>

using namespace CorvBuilder;

namespace {

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
    void inputBoxControlsChangeTheirFields();
    void inputBoxAcceptsExactlyTheFilledEdits();
    void inputBoxTolerances();
    void alternativeItemsFollowTexts();
    void fontAndColorFollowEachLoad();
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

// The tolerances: shown from the box's settings, tried live on the "Try an
// answer:" line with what the controls show, given back with the keys the
// dialog has no control for, and judged by the box as the line judged them.
void TestQuestionDialogs::inputBoxTolerances()
{
    TVnosnoOknoLastnosti dialog;
    TVnosnoOknoRecord record = InputBoxRecord(11);
    record.CaseSensitive = 0;
    const QJsonObject extra{{QStringLiteral("penalty"), 0.5},
                            {QStringLiteral("future"), 1},
                            {QStringLiteral("ignoreAccents"), true}};
    dialog.Load(record, extra);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QVERIFY(!dialog.IgnoreSpacesBox()->isChecked() && dialog.IgnoreAccentsBox()->isChecked());
    QVERIFY(!dialog.NumbersBox()->isChecked() && !dialog.ToleranceBox()->isEnabled());
    QCOMPARE(dialog.Extra(), extra);
    const QStringList examples = {
        dialog.findChild<QLabel *>(QStringLiteral("IgnoreSpacesExample"))->text(),
        dialog.findChild<QLabel *>(QStringLiteral("IgnoreAccentsExample"))->text(),
        dialog.findChild<QLabel *>(QStringLiteral("EditDistanceExample"))->text(),
        dialog.findChild<QLabel *>(QStringLiteral("NumbersExample"))->text()};
    QCOMPARE(examples,
             (QStringList{QStringLiteral("New York = NewYork"), QStringLiteral("café = cafe"),
                          QStringLiteral("1 mistake: adress = address"),
                          QStringLiteral("3.14 ± 0.01 accepts 3,145")}));

    // By keyboard, from the colour button: every tolerance, then the try line.
    const auto tabFrom = [](QWidget *from) {
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Tab);
        return QApplication::focusWidget();
    };
    QCOMPARE(tabFrom(dialog.ColorButton()), dialog.IgnoreSpacesBox());
    QCOMPARE(tabFrom(dialog.IgnoreSpacesBox()), dialog.IgnoreAccentsBox());
    QCOMPARE(tabFrom(dialog.IgnoreAccentsBox()), dialog.EditDistanceBox());
    QCOMPARE(tabFrom(dialog.EditDistanceBox()), dialog.NumbersBox());
    QCOMPARE(tabFrom(dialog.NumbersBox()), dialog.TryEdit()); // tolerance off: skipped

    const auto tryText = [&](const QString &typed) {
        Replace(dialog.TryEdit(), typed);
        return dialog.TryResult()->text();
    };
    const QString yes = QStringLiteral("Accepted");
    const QString no = QStringLiteral("Not accepted");
    dialog.TryEdit()->setText(QStringLiteral("ljubljána"));
    QCOMPARE(dialog.TryResult()->text(), yes);
    QCOMPARE(tryText(QStringLiteral("ljublana")), no);
    QTest::keyClick(dialog.EditDistanceBox(), Qt::Key_Up);
    QCOMPARE(dialog.TryResult()->text(), yes); // follows the controls as they change
    QTest::keyClick(dialog.CaseSensitiveBox(), Qt::Key_Space);
    QCOMPARE(dialog.TryResult()->text(), no);
    QTest::keyClick(dialog.CaseSensitiveBox(), Qt::Key_Space);
    QCOMPARE(tryText(QStringLiteral("Lj ub ljana")), no);
    QTest::keyClick(dialog.IgnoreSpacesBox(), Qt::Key_Space);
    QCOMPARE(dialog.TryResult()->text(), yes);
    Replace(dialog.AnswerEdit(2), QStringLiteral("3.14"));
    QTest::keyClick(dialog.NumbersBox(), Qt::Key_Space);
    QVERIFY(dialog.ToleranceBox()->isEnabled());
    QCOMPARE(tabFrom(dialog.NumbersBox()), dialog.ToleranceBox());
    QCOMPARE(tryText(QStringLiteral("3,145")), no);
    dialog.ToleranceBox()->setValue(0.01);
    QCOMPARE(dialog.TryResult()->text(), yes);
    QCOMPARE(tryText(QStringLiteral("3.16")), no);

    QTest::mouseClick(DialogButton(dialog, QDialogButtonBox::Ok), Qt::LeftButton);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const auto stored = dialog.Store();
    QVERIFY(stored);
    QJsonObject expected = extra;
    expected.insert(QStringLiteral("ignoreSpaces"), true);
    expected.insert(QStringLiteral("editDistance"), 1);
    expected.insert(QStringLiteral("numberTolerance"), 0.01);
    QCOMPARE(dialog.Extra(), expected);
    QWidget page;
    TQZVnosnoOkno box(&page, *stored);
    box.SetExtra(dialog.Extra());
    for (const auto &[typed, right] :
         {std::pair{"ljub ljána", true}, std::pair{"LJUBLANA", true}, std::pair{"3,15", true},
          std::pair{"3.16", false}, std::pair{"ljublan", false}}) {
        box.Edit()->setText(QString::fromUtf8(typed));
        QVERIFY2(box.IsCorrect() == right, typed);
    }

    // A tolerance finer than the spin box shows comes back as it was; turned
    // off, the keys go and the others stay. The plain Load shows none.
    const QJsonObject fine{{QStringLiteral("numberTolerance"), 0.00001},
                           {QStringLiteral("editDistance"), 2}};
    dialog.Load(record, fine);
    QVERIFY(dialog.NumbersBox()->isChecked() && dialog.TryEdit()->text().isEmpty());
    QCOMPARE(dialog.Extra(), fine);
    dialog.NumbersBox()->click();
    dialog.EditDistanceBox()->setValue(0);
    QCOMPARE(dialog.Extra(), QJsonObject());
    dialog.Load(record);
    QVERIFY(!dialog.IgnoreAccentsBox()->isChecked() && dialog.EditDistanceBox()->value() == 0);
    QCOMPARE(dialog.Extra(), QJsonObject());
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

void TestQuestionDialogs::fontAndColorFollowEachLoad()
{
    // What a use chose is gone with the next Load: the font and colour
    // dialogs open on the record loaded, and cancelled they leave it whole.
    const auto reuse = [](auto &dialog, const auto &first, const auto &second,
                          const QList<QPushButton *> &fontButtons,
                          const QList<TFontRecord> &secondFonts) {
        TPresetInteraction interaction;
        dialog.Load(first);
        for (QPushButton *button : fontButtons) {
            interaction.FontAnswers << PixelFont("Courier New", 30);
            QTest::mouseClick(button, Qt::LeftButton);
        }
        interaction.ColorAnswers << QColor(Qt::red);
        QTest::mouseClick(dialog.ColorButton(), Qt::LeftButton);
        QCOMPARE(interaction.FontAnswers.size() + interaction.ColorAnswers.size(), 0);

        dialog.Load(second);
        interaction.FontPresets.clear();
        interaction.ColorPresets.clear();
        for (QPushButton *button : fontButtons)
            QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(dialog.ColorButton(), Qt::LeftButton);
        QCOMPARE(interaction.FontPresets.size(), secondFonts.size());
        for (int i = 0; i < secondFonts.size(); ++i)
            QCOMPARE(interaction.FontPresets.at(i).pixelSize(),
                     FaceFont(secondFonts.at(i)).pixelSize());
        QCOMPARE(interaction.ColorPresets, QList<QColor>{FaceColor(second.Color)});
        const auto stored = dialog.Store();
        QVERIFY(stored);
        QCOMPARE(RecordToBytes(*stored), RecordToBytes(second));
    };

    TIzbireLastnosti choices;
    TIzbireRecord nextChoices = ChoicesRecord(22, false, {3});
    nextChoices.QuestionFont.Height = -23;
    nextChoices.ChoiceFont.Height = -13;
    nextChoices.Color = 0x00408020u;
    reuse(choices, ChoicesRecord(21, true, {1}), nextChoices,
          {choices.QuestionFontButton(), choices.ChoiceFontButton()},
          {nextChoices.QuestionFont, nextChoices.ChoiceFont});

    TVnosnoOknoLastnosti inputBox;
    TVnosnoOknoRecord nextInput = InputBoxRecord(24);
    nextInput.Font.Height = -17;
    nextInput.Color = 0x00408020u;
    reuse(inputBox, InputBoxRecord(23), nextInput, {inputBox.FontButton()}, {nextInput.Font});

    TDaNeLastnosti alternative;
    TDaNeRecord nextPair = AlternativeRecord(26);
    nextPair.Color = 0x00408020u;
    reuse(alternative, AlternativeRecord(25), nextPair, {}, {});
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
            // A spin box's own line edit is the spin box's to size and name.
            if (!widget->isVisible() ||
                qobject_cast<QGroupBox *>(widget->parentWidget()) == choices.Preview()->Face() ||
                qobject_cast<QAbstractSpinBox *>(widget->parentWidget()))
                continue;
            const QString name = title + QLatin1Char('/') + widget->objectName();
            if (qobject_cast<QLabel *>(widget) || qobject_cast<QAbstractButton *>(widget) ||
                qobject_cast<QLineEdit *>(widget) || qobject_cast<QComboBox *>(widget) ||
                qobject_cast<QAbstractSpinBox *>(widget)) {
                // Nothing is cut: full size, and inside the dialog.
                QVERIFY2(widget->width() >= widget->minimumSizeHint().width(), qPrintable(name));
                const QRect inDialog(widget->mapTo(dialog, QPoint(0, 0)), widget->size());
                QVERIFY2(dialog->rect().contains(inDialog), qPrintable(name));
            }
            if (qobject_cast<QLineEdit *>(widget) || qobject_cast<QComboBox *>(widget) ||
                qobject_cast<QScrollArea *>(widget) || qobject_cast<QAbstractSpinBox *>(widget))
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
