// The property dialogs of texts, buttons, pictures, clips and OLE frames:
// records pass through byte for byte, each control edits its own field, and
// the font, colour and file dialogs are answered from a script. The picture
// and clip files themselves are in tst_mediadialogs.
#include "QZBesediloLastnosti.h"
#include "QZFont.h"
#include "QZGumbLastnosti.h"
#include "QZMediaLastnosti.h"
#include "QZOleLastnosti.h"
#include "QZPanelBesediloLastnosti.h"
#include "QZRecordFields.h"
#include "QZRecordedHelp.h"
#include "QZScriptedInteraction.h"
#include "QZSlikaLastnosti.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTest>

#include <functional>
#include <map>
#include <memory>

using namespace CorvBuilder;

namespace {

QByteArray RandomBytes(int size, quint32 seed)
{
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

// A string field as it stands in a record: length byte and text.
QByteArray Field(const QByteArray &text) { return char(text.size()) + text; }

QByteArray Le32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

// One kind of dialog: how to make it and how to pass a record through it.
struct TKind
{
    int Size;
    std::function<TQZPropertyDialog *()> Make;
    std::function<void(QDialog &, const QByteArray &)> Load;
    std::function<QByteArray(QDialog &)> Store;
    // Makes a random record one whose shown fields the tests can change.
    std::function<void(QByteArray &)> Prepare;

    QByteArray LoadStore(QDialog &dialog, const QByteArray &record) const
    {
        Load(dialog, record);
        return Store(dialog);
    }
};

template<typename D, typename R> TKind Kind(std::function<void(R &)> prepare)
{
    return {int(sizeof(R)), [] { return new D; },
            [](QDialog &dialog, const QByteArray &bytes) {
                static_cast<D &>(dialog).Load(RecordFromBytes<R>(bytes));
            },
            [](QDialog &dialog) { return RecordToBytes(static_cast<D &>(dialog).Store()); },
            [prepare](QByteArray &bytes) {
                R record = RecordFromBytes<R>(bytes);
                prepare(record);
                bytes = RecordToBytes(record);
            }};
}

const std::map<QString, TKind> &Kinds()
{
    static const std::map<QString, TKind> kinds = {
        {QStringLiteral("Besedilo"), Kind<TBesediloLastnosti, TBesediloRecord>([](auto &r) {
             r.Text.SetBytes("Old");
             r.Alignment = 0;
             r.Font.Charset = 238;
         })},
        {QStringLiteral("PanelBesedilo"),
         Kind<TPanelBesediloLastnosti, TPanelBesediloRecord>([](auto &r) {
             r.Text.SetBytes("Old");
             r.Alignment = r.TextPosition = 0;
             r.Font.Charset = 238;
         })},
        {QStringLiteral("Gumb"), Kind<TGumbLastnosti, TGumbRecord>([](auto &r) {
             r.Caption.SetBytes("Old");
             r.TargetPage.SetBytes("Page 1");
             r.ButtonKind = 3;
             r.Font.Charset = 238;
         })},
        {QStringLiteral("Slika"),
         Kind<TSlikaLastnosti, TSlikaRecord>([](auto &r) { r.Stretch = 1; })},
        {QStringLiteral("Media"), Kind<TMediaLastnosti, TMediaRecord>([](auto &r) {
             r.MediaFile.SetBytes("clip.wav");
             r.Caption.SetBytes("Old");
         })},
        {QStringLiteral("Ole"), Kind<TOleLastnosti, TOleRecord>([](auto &r) {
             r.SizeMode = 0;
             r.ActivationEnabled = 0;
         })},
    };
    return kinds;
}

// Characters of a control text that Alt with the key reaches.
QChar Mnemonic(const QString &text)
{
    const qsizetype at = text.indexOf(QLatin1Char('&'));
    return at >= 0 && at + 1 < text.size() ? text.at(at + 1).toLower() : QChar();
}

QRadioButton *Item(QDialog &dialog, const char *group, int k)
{
    return dialog.findChild<QGroupBox *>(QLatin1String(group))
        ->findChildren<QRadioButton *>()
        .at(k);
}

// A click on a button's text (a check box or radio button reaches further
// than its text in a layout, and only its text takes clicks).
void Click(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

void Click(QDialog &dialog, const char *name)
{
    Click(dialog.findChild<QAbstractButton *>(QLatin1String(name)));
}

void Type(QDialog &dialog, const char *edit, const QString &text)
{
    auto *line = dialog.findChild<QLineEdit *>(QLatin1String(edit));
    line->selectAll();
    QTest::keyClicks(line, text);
}

// An edit by the author: on the control named Control of the dialog, by
// Act; afterwards the record holds Field at Offset (for PickFont, the chosen
// font) and every other byte as before.
enum class TAct { Type, ClickItem, KeyDown, Toggle, PickFont, PickColor, Browse };

struct TEdit
{
    const char *Name;
    const char *Dialog;
    const char *Control;
    TAct Act;
    int Offset;
    QByteArray Field;
    int Item = 0;
};

const QFont ChosenFont(QStringLiteral("DejaVu Serif"), 20);
const QByteArray Typed = Field("Nov tekst");
const QByteArray Chosen = Le32(0x00563412);

const TEdit Edits[] = {
    {"text", "Besedilo", "TextEdit", TAct::Type, 16, Typed},
    {"alignment", "Besedilo", "AlignmentGroup", TAct::ClickItem, 272, "\x02", 2},
    {"font", "Besedilo", "FontButton", TAct::PickFont, 276, {}},
    {"panel text", "PanelBesedilo", "TextEdit", TAct::Type, 16, Typed},
    {"panel alignment", "PanelBesedilo", "AlignmentGroup", TAct::ClickItem, 541, "\x01", 1},
    {"panel position", "PanelBesedilo", "PositionGroup", TAct::ClickItem, 540, "\x02", 2},
    {"panel font", "PanelBesedilo", "FontButton", TAct::PickFont, 272, {}},
    {"panel color", "PanelBesedilo", "ColorButton", TAct::PickColor, 544, Chosen},
    {"caption", "Gumb", "CaptionEdit", TAct::Type, 16, Typed},
    {"kind", "Gumb", "KindList", TAct::KeyDown, 800, "\x04"},
    {"target page", "Gumb", "PageList", TAct::KeyDown, 544, Field("Page 2")},
    {"button font", "Gumb", "FontButton", TAct::PickFont, 272, {}},
    {"button color", "Gumb", "ColorButton", TAct::PickColor, 540, Chosen},
    {"stretch", "Slika", "StretchBox", TAct::Toggle, 16, QByteArray(1, 0)},
    {"clip file", "Media", "FileEdit", TAct::Type, 0, Typed},
    {"clip browsed", "Media", "BrowseButton", TAct::Browse, 0, Field("/tests/film.avi")},
    {"clip text", "Media", "CaptionEdit", TAct::Type, 101, Typed},
    {"ole color", "Ole", "ColorButton", TAct::PickColor, 4, Chosen},
    {"size mode", "Ole", "SizeModeGroup", TAct::ClickItem, 8, "\x02", 2},
    {"activation", "Ole", "ActivationBox", TAct::Toggle, 9, "\x01"},
};

void Perform(const TEdit &edit, QDialog &dialog, TQZScriptedInteraction &script)
{
    const QString control = QLatin1String(edit.Control);
    switch (edit.Act) {
    case TAct::Type: Type(dialog, edit.Control, QStringLiteral("Nov tekst")); break;
    case TAct::ClickItem: Click(Item(dialog, edit.Control, edit.Item)); break;
    case TAct::KeyDown:
        QTest::keyClick(dialog.findChild<QComboBox *>(control), Qt::Key_Down);
        break;
    case TAct::PickFont: script.FontAnswers << ChosenFont; break;
    case TAct::PickColor: script.ColorAnswers << QColor(0x12, 0x34, 0x56); break;
    case TAct::Browse: script.FileAnswers << QStringLiteral("/tests/film.avi"); break;
    case TAct::Toggle: break;
    }
    if (edit.Act >= TAct::Toggle)
        Click(dialog, edit.Control);
}

} // namespace

class TestObjectDialogs : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void captionsHelpAndLayout_data();
    void captionsHelpAndLayout();
    void passThrough_data();
    void passThrough();
    void eachControlItsField_data();
    void eachControlItsField();
    void cancelledChoicesChangeNothing();
    void buttonPageList();

private:
    QDialog &Dialog(const QString &name) { return *m_dialogs.at(name); }

    // Created once and re-used, as the builder does.
    std::map<QString, std::unique_ptr<TQZPropertyDialog>> m_dialogs;
};

void TestObjectDialogs::initTestCase()
{
    for (const auto &[name, kind] : Kinds())
        m_dialogs[name].reset(kind.Make());
    static_cast<TGumbLastnosti &>(Dialog(QStringLiteral("Gumb")))
        .SetPageNames(
            {QStringLiteral("Page 1"), QStringLiteral("Page 2"), QStringLiteral("Konec")});
}

void TestObjectDialogs::captionsHelpAndLayout_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("context");
    QTest::newRow("Besedilo") << "Transparent Text - Properties" << 20;
    QTest::newRow("PanelBesedilo") << "Underlying Text - Properties" << 30;
    QTest::newRow("Gumb") << "Button - Properties" << 110;
    QTest::newRow("Slika") << "Graphics - Properties" << 50;
    QTest::newRow("Media") << "Multimedia - Properties" << 60;
    QTest::newRow("Ole") << "OLE Object - Properties" << 70;
}

void TestObjectDialogs::captionsHelpAndLayout()
{
    QFETCH(QString, caption);
    QFETCH(int, context);
    QDialog &dialog = Dialog(QString::fromLatin1(QTest::currentDataTag()));
    QCOMPARE(dialog.windowTitle(), caption);
    QVERIFY(dialog.isModal());

    TQZRecordedHelp help;
    QTest::mouseClick(dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Help),
                      Qt::LeftButton);
    QTest::keyClick(&dialog, Qt::Key_F1);
    QCOMPARE(help.Requests, QList<int>({context, context}));

    // Fixed, within a 1024 x 768 screen, nothing cut; every edit and list
    // has a label leading to it, and no two keys lead to different controls.
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.width() <= 1024 && dialog.height() <= 768 - 40);
    QSet<QChar> keys;
    for (QWidget *widget : dialog.findChildren<QWidget *>()) {
        if (widget->window() != &dialog || !widget->isVisible())
            continue;
        const QRect inDialog(widget->mapTo(&dialog, QPoint(0, 0)), widget->size());
        QVERIFY2(dialog.rect().contains(inDialog), qPrintable(widget->objectName()));
        auto *label = qobject_cast<QLabel *>(widget);
        if ((label && !label->wordWrap() && !label->text().isEmpty()) ||
            qobject_cast<QAbstractButton *>(widget))
            QVERIFY2(widget->width() >= widget->minimumSizeHint().width(),
                     qPrintable(widget->objectName()));
        if (qobject_cast<QLineEdit *>(widget) || qobject_cast<QComboBox *>(widget)) {
            QVERIFY(!widget->accessibleName().isEmpty());
            bool labelled = false;
            for (QLabel *other : dialog.findChildren<QLabel *>())
                labelled |= other->buddy() == widget;
            QVERIFY2(labelled, qPrintable(widget->objectName()));
        }
        QString text = label ? label->text() : QString();
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            text = button->text();
        if (const QChar key = Mnemonic(text); !key.isNull()) {
            QVERIFY2(!keys.contains(key), qPrintable(text));
            keys.insert(key);
        }
    }
    dialog.hide();
}

void TestObjectDialogs::passThrough_data()
{
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QByteArray>("record");
    for (const auto &[name, kind] : Kinds()) {
        for (quint32 seed = 1; seed <= 40; ++seed) {
            QByteArray record = RandomBytes(kind.Size, seed);
            // A clip name with blanks around it is stored trimmed.
            const int clip = qMin(int(quint8(record[0])), 100);
            if (name == QLatin1String("Media") && clip > 0)
                record[1] = record[clip] = 'a';
            QTest::addRow("%s %u", qPrintable(name), seed) << name << record;
        }
    }
}

void TestObjectDialogs::passThrough()
{
    QFETCH(QString, dialog);
    QFETCH(QByteArray, record);
    QCOMPARE(Kinds().at(dialog).LoadStore(Dialog(dialog), record).toHex(' '), record.toHex(' '));
}

void TestObjectDialogs::eachControlItsField_data()
{
    QTest::addColumn<int>("edit");
    for (int i = 0; i < int(std::size(Edits)); ++i)
        QTest::newRow(Edits[i].Name) << i;
}

void TestObjectDialogs::eachControlItsField()
{
    QFETCH(int, edit);
    const TEdit &change = Edits[edit];
    const TKind &kind = Kinds().at(QLatin1String(change.Dialog));
    QDialog &dialog = Dialog(QLatin1String(change.Dialog));
    QByteArray before = RandomBytes(kind.Size, quint32(edit));
    kind.Prepare(before);
    QByteArray field = change.Field;
    if (change.Act == TAct::PickFont) {
        const auto font = RecordFromBytes<TFontRecord>(before.constData() + change.Offset);
        field = RecordToBytes(FontToRecord(ChosenFont, font.Color, font.Charset));
    }

    TQZScriptedInteraction script;
    QCOMPARE(kind.LoadStore(dialog, before), before);
    dialog.show();
    Perform(change, dialog, script);
    const QByteArray after = kind.Store(dialog);
    dialog.hide();
    QByteArray expected = before;
    expected.replace(change.Offset, field.size(), field);
    QVERIFY(expected != before);
    QCOMPARE(after.toHex(' '), expected.toHex(' '));

    // Every use begins with Load: nothing of the edit carries over.
    QCOMPARE(kind.LoadStore(dialog, before).toHex(' '), before.toHex(' '));
}

void TestObjectDialogs::cancelledChoicesChangeNothing()
{
    const std::pair<const char *, const char *> buttons[] = {
        {"Besedilo", "FontButton"},       {"PanelBesedilo", "FontButton"},
        {"PanelBesedilo", "ColorButton"}, {"Gumb", "FontButton"},
        {"Gumb", "ColorButton"},          {"Ole", "ColorButton"},
    };
    TQZScriptedInteraction script;
    for (const auto &[name, button] : buttons) {
        const TKind &kind = Kinds().at(QLatin1String(name));
        QDialog &dialog = Dialog(QLatin1String(name));
        QByteArray record = RandomBytes(kind.Size, 99);
        kind.Prepare(record);
        kind.Load(dialog, record);
        Click(dialog, button);
        QCOMPARE(kind.Store(dialog).toHex(' '), record.toHex(' '));
    }
    QCOMPARE(script.FontDialogs, 3);
    QCOMPARE(script.ColorDialogs, 3);
}

void TestObjectDialogs::buttonPageList()
{
    auto &gumb = static_cast<TGumbLastnosti &>(Dialog(QStringLiteral("Gumb")));
    const auto items = [&gumb] {
        QStringList texts;
        for (int i = 0; i < gumb.PageList()->count(); ++i)
            texts << gumb.PageList()->itemText(i);
        return texts;
    };
    const auto pageListShown = [&gumb] {
        return gumb.PageList()->isVisibleTo(&gumb) && gumb.PageLabel()->isVisibleTo(&gumb);
    };
    const QStringList pages = {QStringLiteral("Page 1"), QStringLiteral("Page 2"),
                               QStringLiteral("Konec")};
    auto record = RecordFromBytes<TGumbRecord>(RandomBytes(sizeof(TGumbRecord), 5));
    record.ButtonKind = 3;

    // The page is found as the button finds it, and its bytes stay.
    record.TargetPage.SetBytes(" Page 2 ");
    gumb.Load(record);
    QCOMPARE(items(), pages);
    QCOMPARE(gumb.PageList()->currentText(), QStringLiteral("Page 2"));
    QVERIFY(pageListShown());
    QCOMPARE(RecordToBytes(gumb.Store()), RecordToBytes(record));

    // The list is there only while the kind is "Page".
    QTest::keyClick(gumb.KindList(), Qt::Key_Up);
    QCOMPARE(gumb.KindList()->currentText(), QStringLiteral("Confirm the answer"));
    QVERIFY(!pageListShown());
    QTest::keyClick(gumb.KindList(), Qt::Key_Down);
    QVERIFY(pageListShown());

    // A target that names no page is listed first and given back unchanged
    // until the author picks a page.
    record.TargetPage.SetBytes("Gone");
    gumb.Load(record);
    QCOMPARE(items(), QStringList{QStringLiteral("Gone")} + pages);
    QCOMPARE(gumb.PageList()->currentIndex(), 0);
    QCOMPARE(RecordToBytes(gumb.Store()), RecordToBytes(record));
    QTest::keyClick(gumb.PageList(), Qt::Key_Down);
    QCOMPARE(gumb.Store().TargetPage.Bytes(), QByteArray("Page 1"));

    // A new button: kind "Page" and an empty target.
    record.TargetPage.SetBytes("");
    gumb.Load(record);
    QCOMPARE(items(), QStringList{QString()} + pages);
    QCOMPARE(RecordToBytes(gumb.Store()), RecordToBytes(record));

    // Kinds without the list, and a kind byte no item stands for.
    for (quint8 kind : {quint8(0), quint8(4), quint8(9)}) {
        record.ButtonKind = kind;
        gumb.Load(record);
        QVERIFY(!pageListShown());
        QCOMPARE(gumb.KindList()->currentIndex(), kind < 5 ? int(kind) : -1);
        QCOMPARE(RecordToBytes(gumb.Store()), RecordToBytes(record));
    }
}

QTEST_MAIN(TestObjectDialogs)
#include "tst_objectdialogs.moc"
