// The test and page property dialogs, the move dialog and the two password
// dialogs, driven with keys and the mouse: records pass through byte for
// byte, each control changes its own field, texts are cut to their fields,
// and the dialogs end as their buttons and keys say.
#include "QZCodePage.h"
#include "QZNalogaLastnosti.h"
#include "QZOpenPassword.h"
#include "QZRecordedHelp.h"
#include "QZSavePassword.h"
#include "QZScriptedInteraction.h"
#include "QZSkoci.h"
#include "QZStranLastnosti.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>

using namespace CorvBuilder;

using namespace Qt::StringLiterals;

namespace {

// A record of random bytes, string contents and tails included.
template<typename Record> Record RandomRecord(quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(sizeof(Record), Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return RecordFromBytes<Record>(bytes);
}

template<typename Record> QByteArray Bytes(const Record &record) { return RecordToBytes(record); }

template<typename T> T *Child(QWidget &dialog, const QString &name)
{
    T *child = dialog.findChild<T *>(name);
    if (!child)
        qFatal("no child %s", qPrintable(name));
    return child;
}

// Replaces an edit's text the way the author does.
void Retype(QWidget *edit, const QString &text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar character : text) {
        if (character.unicode() < 0x80)
            QTest::keyClick(edit, char(character.unicode()));
        else
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(character), {});
    }
}

// Shows the dialog and presses a key in its focus widget; the dialog's
// result, or -1 when the key left it open.
int PressIn(QDialog &dialog, Qt::Key key)
{
    dialog.show();
    if (!QTest::qWaitForWindowActive(&dialog))
        return -2;
    dialog.setResult(-1);
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : &dialog, key);
    const int result = dialog.isVisible() ? -1 : dialog.result();
    dialog.hide();
    return result;
}

QStringList ButtonTexts(QWidget &dialog)
{
    QStringList texts;
    for (const QAbstractButton *button : dialog.findChildren<QAbstractButton *>())
        texts << button->text();
    return texts;
}

// Remembers the colour each colour dialog starts at.
class TColorPresets : public TQZScriptedInteraction
{
public:
    bool ChooseColor(QWidget *parent, QColor &color) override
    {
        Presets << color;
        return TQZScriptedInteraction::ChooseColor(parent, color);
    }
    QList<QColor> Presets;
};

} // namespace

class TTestDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void layoutAndHelp();
    void testRoundTrip_data();
    void testRoundTrip();
    void testControls();
    void everyByteSurvives_data();
    void everyByteSurvives();
    void testSettings();
    void pageLists();
    void pageRoundTrip();
    void pageControls();
    void pageColor();
    void moveToPage();
    void savePassword();
    void openPassword();

private:
    TNalogaLastnosti m_test;
    TStranLastnosti m_page;
    TSkoci m_move;
    TSavePassword m_save;
    TOpenPassword m_open;
};

void TTestDialogsTest::layoutAndHelp()
{
    TQZRecordedHelp help;
    const QList<TQZPropertyDialog *> dialogs{&m_test, &m_page, &m_move, &m_save, &m_open};
    QStringList captions;
    for (TQZPropertyDialog *dialog : dialogs) {
        captions << dialog->windowTitle();
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        // Room for the window frame and caption on a 1024 x 768 screen.
        QVERIFY2(dialog->width() <= 1000 && dialog->height() <= 720, qPrintable(captions.last()));
        for (QWidget *child : dialog->findChildren<QWidget *>()) {
            if (!child->isVisible() || child->isWindow())
                continue;
            const QRect place(child->mapTo(dialog, QPoint()), child->size());
            QVERIFY2(dialog->rect().contains(place), qPrintable(child->objectName()));
            if (qobject_cast<QLabel *>(child) || qobject_cast<QAbstractButton *>(child))
                QVERIFY2(child->width() >= child->sizeHint().width(),
                         qPrintable(captions.last() + QLatin1Char('/') + child->objectName()));
            const bool isField =
                qobject_cast<QComboBox *>(child) ||
                (qobject_cast<QLineEdit *>(child) && !qobject_cast<QComboBox *>(child->parent()));
            QVERIFY2(!isField || !child->accessibleName().isEmpty(),
                     qPrintable(child->objectName()));
        }
        for (const QLabel *label : dialog->findChildren<QLabel *>())
            if (label->text().endsWith(QLatin1Char(':')))
                QVERIFY2(label->buddy(), qPrintable(label->text()));
        QTest::keyClick(dialog, Qt::Key_F1);
        dialog->hide();
    }
    QCOMPARE(captions, QStringList({u"Test - Properties"_s, u"Page - Properties"_s,
                                    u"Move to a Certain Page"_s, u"Password for Editing"_s,
                                    u"Password for Editing"_s}));
    // The test and page dialogs have topics; the other three show the contents.
    QCOMPARE(help.Requests, QList<int>({130, 120, 0, 0, 0}));
}

void TTestDialogsTest::testRoundTrip_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("mode"); // -1: the random byte
    QTest::newRow("mode 0") << 1u << 0;
    QTest::newRow("mode 2") << 2u << 2;
    QTest::newRow("mode none of the items") << 3u << -1;
}

void TTestDialogsTest::testRoundTrip()
{
    QFETCH(quint32, seed);
    QFETCH(int, mode);
    auto record = RandomRecord<TTestRecord>(seed);
    record.WrongAnswerMode = quint8(mode >= 0 ? mode : 7);
    m_test.Load(record);
    QCOMPARE(PressIn(m_test, Qt::Key_Return), int(QDialog::Accepted));
    QCOMPARE(Bytes(m_test.Store()), Bytes(record));
    QCOMPARE(PressIn(m_test, Qt::Key_Escape), int(QDialog::Rejected));
}

void TTestDialogsTest::testControls()
{
    const auto record = RandomRecord<TTestRecord>(10);
    m_test.show();
    QVERIFY(QTest::qWaitForWindowActive(&m_test));

    m_test.Load(record);
    Retype(Child<QLineEdit>(m_test, QStringLiteral("TitleEdit")), QStringLiteral("Velike živali"));
    TTestRecord expected = record;
    SetFieldText(expected.Title, u"Velike živali"_s);
    QCOMPARE(Bytes(m_test.Store()), Bytes(expected));

    for (int i = 0; i < TNalogaLastnosti::CommentCount; ++i) {
        m_test.Load(record);
        const QString text = QStringLiteral("Comment number %1").arg(i);
        Retype(Child<QLineEdit>(m_test, QStringLiteral("CommentEdit%1").arg(i)), text);
        expected = record;
        SetFieldText(expected.Comments[i], text);
        QCOMPARE(Bytes(m_test.Store()), Bytes(expected));
    }

    // A long comment is cut to its field.
    m_test.Load(record);
    const QString longComment = QString(300, QLatin1Char('x'));
    Retype(Child<QLineEdit>(m_test, QStringLiteral("CommentEdit7")), longComment);
    const TTestRecord stored = m_test.Store();
    QCOMPARE(stored.Comments[7].Bytes(), QByteArray(255, 'x'));

    // Each item of the radio group stores its index and nothing else.
    for (int mode = 0; mode < TNalogaLastnosti::WrongAnswerModeCount; ++mode) {
        expected = record;
        expected.WrongAnswerMode = quint8(7);
        m_test.Load(expected);
        auto *item = Child<QRadioButton>(m_test, QStringLiteral("WrongAnswerMode%1").arg(mode));
        QVERIFY(!item->isChecked());
        QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(4, item->height() / 2));
        expected.WrongAnswerMode = quint8(mode);
        QCOMPARE(Bytes(m_test.Store()), Bytes(expected));
    }
    m_test.hide();
}

void TTestDialogsTest::everyByteSurvives_data()
{
    QTest::addColumn<QByteArray>("codePage");
    // Code pages with bytes that no character stands for.
    for (const char *name : {"windows-1250", "windows-1253", "windows-874", "IBM852"})
        QTest::newRow(name) << QByteArray(name);
}

// Texts the author leaves alone keep their bytes, also where a code page
// has no character for them or a line edit would not keep them.
void TTestDialogsTest::everyByteSurvives()
{
    QFETCH(QByteArray, codePage);
    const QByteArray saved = qgetenv("CORVELLA_CODEPAGE");
    qputenv("CORVELLA_CODEPAGE", codePage);
    ResetDefaultCodePage();
    QByteArray everyByte(255, Qt::Uninitialized);
    for (int i = 0; i < everyByte.size(); ++i)
        everyByte[i] = char(i + 1);
    everyByte[100] = '\0';

    auto test = RandomRecord<TTestRecord>(50);
    test.Title.SetBytes(everyByte);
    test.Comments[3].SetBytes(everyByte.right(128));
    m_test.Load(test);
    const QByteArray storedTest = Bytes(m_test.Store());
    auto page = RandomRecord<TPageRecord>(51);
    page.PageName.SetBytes(everyByte);
    page.WrongTarget.SetBytes(everyByte.left(128));
    m_page.Load(page);
    const QByteArray storedPage = Bytes(m_page.Store());

    qputenv("CORVELLA_CODEPAGE", saved);
    ResetDefaultCodePage();
    QCOMPARE(storedTest, Bytes(test));
    QCOMPARE(storedPage, Bytes(page));
}

// The boxes of the Player tab, reached from the keyboard, change only the
// settings they stand for; the others, and values they cannot show, are
// given back as loaded.
void TTestDialogsTest::testSettings()
{
    const auto record = RandomRecord<TTestRecord>(20);
    const QJsonObject loaded{
        {u"recordAttempts"_s, false}, {u"askStudentName"_s, u"yes"_s}, {u"timeLimit"_s, 60}};
    m_test.Load(record);
    m_test.LoadSettings(loaded);
    m_test.show();
    QVERIFY(QTest::qWaitForWindowActive(&m_test));
    auto *ask = Child<QCheckBox>(m_test, u"AskStudentNameBox"_s);
    auto *attempts = Child<QCheckBox>(m_test, u"RecordAttemptsBox"_s);
    QCOMPARE(ask->text(), u"Ask for the student's name at start"_s);
    QCOMPARE(attempts->text(), u"Record each attempt"_s);
    QCOMPARE(ask->accessibleName(), ask->text());
    QCOMPARE(attempts->accessibleName(), attempts->text());
    QVERIFY(!ask->isChecked());
    QVERIFY(!attempts->isChecked());
    QVERIFY(!ask->isVisible()); // the dialog opens on its first tab
    QCOMPARE(m_test.StoreSettings(), loaded);

    QTest::keyClick(m_test.focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
    QVERIFY(ask->isVisible());
    for (int i = 0; i < 5 && m_test.focusWidget() != ask; ++i)
        QTest::keyClick(m_test.focusWidget(), Qt::Key_Tab);
    QCOMPARE(m_test.focusWidget(), ask);
    QTest::keyClick(ask, Qt::Key_Space);
    QTest::keyClick(ask, Qt::Key_Tab);
    QCOMPARE(m_test.focusWidget(), attempts);
    QTest::keyClick(attempts, Qt::Key_Space);
    QCOMPARE(m_test.StoreSettings(),
             (QJsonObject{{u"askStudentName"_s, true}, {u"timeLimit"_s, 60}}));
    QCOMPARE(Bytes(m_test.Store()), Bytes(record));

    // Loading again starts on the first tab.
    m_test.Load(record);
    QVERIFY(!ask->isVisible());
    m_test.hide();
}

void TTestDialogsTest::pageLists()
{
    m_page.SetPageNames({u"Page 1"_s, u"Page 2"_s});
    m_page.SetPageNames({u"Start"_s, u"Animals"_s, u"End"_s});
    for (const char *name : {"CorrectTargetBox", "WrongTargetBox"}) {
        auto *box = Child<QComboBox>(m_page, QLatin1String(name));
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        QCOMPARE(items, QStringList({u"(Forward)"_s, u"Start"_s, u"Animals"_s, u"End"_s}));
        QVERIFY(box->isEditable());
    }
}

void TTestDialogsTest::pageRoundTrip()
{
    m_page.SetPageNames({u"Start"_s, u"Animals"_s});
    for (quint32 seed : {21u, 22u, 23u}) {
        const auto record = RandomRecord<TPageRecord>(seed);
        m_page.Load(record);
        QCOMPARE(PressIn(m_page, Qt::Key_Return), int(QDialog::Accepted));
        QCOMPARE(Bytes(m_page.Store()), Bytes(record));
        QCOMPARE(PressIn(m_page, Qt::Key_Escape), int(QDialog::Rejected));
    }
    // A page inserted in the middle of a test has empty targets: they show
    // empty and stay so.
    auto record = RandomRecord<TPageRecord>(24);
    record.CorrectTarget.Length = 0;
    record.WrongTarget.Length = 0;
    m_page.Load(record);
    QCOMPARE(Child<QComboBox>(m_page, QStringLiteral("CorrectTargetBox"))->currentText(),
             QString());
    QCOMPARE(Child<QComboBox>(m_page, QStringLiteral("WrongTargetBox"))->currentText(), QString());
    QCOMPARE(Bytes(m_page.Store()), Bytes(record));
}

void TTestDialogsTest::pageControls()
{
    m_page.SetPageNames({u"Start"_s, u"Animals"_s, u"End"_s});
    auto record = RandomRecord<TPageRecord>(30);
    SetFieldText(record.CorrectTarget, QStringLiteral("Animals"));
    SetFieldText(record.WrongTarget, QStringLiteral("Somewhere"));
    auto *name = Child<QLineEdit>(m_page, QStringLiteral("PageNameEdit"));
    auto *correct = Child<QComboBox>(m_page, QStringLiteral("CorrectTargetBox"));
    auto *wrong = Child<QComboBox>(m_page, QStringLiteral("WrongTargetBox"));
    m_page.show();
    QVERIFY(QTest::qWaitForWindowActive(&m_page));

    m_page.Load(record);
    QCOMPARE(name->text(), FieldText(record.PageName));
    QCOMPARE(correct->currentText(), QStringLiteral("Animals"));
    QCOMPARE(wrong->currentText(), QStringLiteral("Somewhere"));

    // The name, typed; a name as long as the field allows and longer.
    for (const QString &text : {QStringLiteral("Ptiči"), QString(255, QLatin1Char('n')),
                                QString(256, QLatin1Char('m'))}) {
        m_page.Load(record);
        Retype(name, text);
        TPageRecord expected = record;
        SetFieldText(expected.PageName, text.left(255));
        QCOMPARE(Bytes(m_page.Store()), Bytes(expected));
    }

    // "(Forward)" picked from the list, by key, in either box.
    m_page.Load(record);
    correct->setFocus();
    QTest::keyClick(correct, Qt::Key_Up); // Animals -> Start
    QTest::keyClick(correct, Qt::Key_Up); // Start -> (Forward)
    TPageRecord expected = record;
    SetFieldText(expected.CorrectTarget, QStringLiteral("(Forward)"));
    QCOMPARE(Bytes(m_page.Store()), Bytes(expected));

    m_page.Load(record);
    wrong->showPopup();
    QTest::keyClick(wrong->view(), Qt::Key_Home);
    QTest::keyClick(wrong->view(), Qt::Key_Return);
    expected = record;
    SetFieldText(expected.WrongTarget, QStringLiteral("(Forward)"));
    QCOMPARE(Bytes(m_page.Store()), Bytes(expected));

    // A typed target naming no page is stored as given, and Enter in the box
    // accepts the dialog without adding the name to the list.
    m_page.Load(record);
    Retype(correct, QStringLiteral("Nowhere"));
    m_page.setResult(-1);
    QTest::keyClick(correct, Qt::Key_Return);
    QVERIFY(!m_page.isVisible());
    QCOMPARE(m_page.result(), int(QDialog::Accepted));
    QCOMPARE(correct->count(), 4);
    expected = record;
    SetFieldText(expected.CorrectTarget, QStringLiteral("Nowhere"));
    QCOMPARE(Bytes(m_page.Store()), Bytes(expected));
}

void TTestDialogsTest::pageColor()
{
    TColorPresets interaction;
    auto record = RandomRecord<TPageRecord>(40);
    record.PageColor = 0x00336699u;
    m_page.SetPageNames({});
    m_page.Load(record);
    auto *button = Child<QAbstractButton>(m_page, QStringLiteral("ColorButton"));
    QCOMPARE(button->text(), QStringLiteral("Color..."));
    QWidget *sample = Child<QWidget>(m_page, QStringLiteral("ColorSample"));
    QCOMPARE(sample->palette().color(QPalette::Window), QColor(0x99, 0x66, 0x33));

    // Cancelled: nothing changes.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(interaction.ColorDialogs, 1);
    QCOMPARE(interaction.Presets, QList<QColor>{QColor(0x99, 0x66, 0x33)});
    QCOMPARE(sample->palette().color(QPalette::Window), QColor(0x99, 0x66, 0x33));
    QCOMPARE(Bytes(m_page.Store()), Bytes(record));

    // Chosen: the sample and the record take the colour.
    interaction.ColorAnswers << QColor(0x12, 0x34, 0x56);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(sample->palette().color(QPalette::Window), QColor(0x12, 0x34, 0x56));
    TPageRecord expected = record;
    expected.PageColor = 0x00563412u;
    QCOMPARE(Bytes(m_page.Store()), Bytes(expected));
    // The next dialog starts at the colour chosen last.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(interaction.Presets.last(), QColor(0x12, 0x34, 0x56));
}

void TTestDialogsTest::moveToPage()
{
    auto *list = Child<QComboBox>(m_move, QStringLiteral("PageList"));
    QVERIFY(!list->isEditable());
    m_move.SetPages({u"Old 1"_s, u"Old 2"_s}, 1);
    m_move.SetPages({u"Start"_s, u"Animals"_s, u"Plants"_s, u"End"_s}, 2);
    QCOMPARE(list->count(), 4);
    QCOMPARE(list->currentText(), QStringLiteral("Plants"));
    QCOMPARE(m_move.SelectedIndex(), 2);

    m_move.show();
    QVERIFY(QTest::qWaitForWindowActive(&m_move));
    QCOMPARE(QApplication::focusWidget(), list);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(m_move.SelectedIndex(), 3);
    QTest::keyClick(list, Qt::Key_Up);
    QTest::keyClick(list, Qt::Key_Up);
    QCOMPARE(m_move.SelectedIndex(), 1);
    QCOMPARE(PressIn(m_move, Qt::Key_Return), int(QDialog::Accepted));
    QCOMPARE(m_move.SelectedIndex(), 1);
    QCOMPARE(PressIn(m_move, Qt::Key_Escape), int(QDialog::Rejected));
    QCOMPARE(ButtonTexts(m_move), QStringList({u"OK"_s, u"Cancel"_s}));

    m_move.SetPages({}, 0);
    QCOMPARE(m_move.SelectedIndex(), -1);
}

void TTestDialogsTest::savePassword()
{
    auto *password = Child<QLineEdit>(m_save, QStringLiteral("PasswordEdit"));
    auto *retyped = Child<QLineEdit>(m_save, QStringLiteral("RetypedEdit"));
    QCOMPARE(Child<QLabel>(m_save, QStringLiteral("Tip"))->text(),
             QStringLiteral("TIP: Use a blank password to remove the password from the test."));
    QCOMPARE(Child<QLabel>(m_save, QStringLiteral("Tip"))->palette().color(QPalette::WindowText),
             QColor(0, 0, 0x80));
    QCOMPARE(ButtonTexts(m_save), QStringList({u"OK"_s, u"Cancel"_s}));

    m_save.Clear();
    m_save.show();
    QVERIFY(QTest::qWaitForWindowActive(&m_save));
    QCOMPARE(QApplication::focusWidget(), password);
    QTest::keyClicks(password, QStringLiteral("Skrito"));
    QTest::keyClick(password, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), retyped);
    QTest::keyClicks(retyped, QStringLiteral("Skrit0"));
    for (QLineEdit *edit : {password, retyped}) {
        QCOMPARE(edit->echoMode(), QLineEdit::Password);
        QCOMPARE(edit->displayText(), QStringLiteral("******"));
    }
    QCOMPARE(m_save.Password(), QStringLiteral("Skrito"));
    QCOMPARE(m_save.Retyped(), QStringLiteral("Skrit0"));
    m_save.setResult(-1);
    QTest::keyClick(retyped, Qt::Key_Return);
    QCOMPARE(m_save.result(), int(QDialog::Accepted));

    // The next use starts empty, with the focus in the first field.
    m_save.Clear();
    QCOMPARE(m_save.Password(), QString());
    QCOMPARE(m_save.Retyped(), QString());
    QCOMPARE(PressIn(m_save, Qt::Key_Escape), int(QDialog::Rejected));
    m_save.show();
    QVERIFY(QTest::qWaitForWindowActive(&m_save));
    QCOMPARE(QApplication::focusWidget(), password);
    m_save.hide();
}

void TTestDialogsTest::openPassword()
{
    auto *password = Child<QLineEdit>(m_open, QStringLiteral("PasswordEdit"));
    QCOMPARE(ButtonTexts(m_open), QStringList{u"OK"_s});
    QCOMPARE(password->echoMode(), QLineEdit::Password);

    // However the dialog is left, the typed text is handed back.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        m_open.Clear();
        m_open.show();
        QVERIFY(QTest::qWaitForWindowActive(&m_open));
        QCOMPARE(QApplication::focusWidget(), password);
        QTest::keyClicks(password, QStringLiteral("geslo"));
        QCOMPARE(password->displayText(), QStringLiteral("*****"));
        m_open.setResult(-1);
        QTest::keyClick(password, key);
        QVERIFY(!m_open.isVisible());
        QCOMPARE(m_open.result(), int(QDialog::Accepted));
        QCOMPARE(m_open.Password(), QStringLiteral("geslo"));
    }
    m_open.show();
    QVERIFY(QTest::qWaitForWindowActive(&m_open));
    m_open.setResult(-1);
    QVERIFY(m_open.close());
    QCOMPARE(m_open.result(), int(QDialog::Accepted));
    QCOMPARE(m_open.Password(), QStringLiteral("geslo"));
    m_open.Clear();
    QCOMPARE(m_open.Password(), QString());
}

QTEST_MAIN(TTestDialogsTest)
#include "tst_testdialogs.moc"
