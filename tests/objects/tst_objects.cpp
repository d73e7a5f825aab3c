// The page objects other than questions through their real widgets on a
// 1024 x 749 screen: texts and their docking, buttons, the placeholders of
// rich text, pictures and OLE, the factory, stacking, tags, mouse, and pages
// of widget objects saved byte for byte.
#include "QZObjectTest.h"

#include "QZCodePage.h"
#include "QZFonts.h"
#include "QZMedia.h"
#include "QZMemo.h"
#include "QZOle.h"
#include "QZQuestions.h"
#include "QZRtf.h"
#include "QZScriptedInteraction.h"
#include "QZSlika.h"
#include "QZStream.h"
#include "QZTexts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include <optional>
#include <typeinfo>

namespace {

// Multimedia objects made outside test loading open their clip at once and
// report with a message box that a record without one cannot be opened.
TQZScriptedInteraction AnswersEveryBox;

int StackIndex(QWidget *face) { return int(face->parentWidget()->children().indexOf(face)); }

QByteArray CorpusFile(const QString &path)
{
    QFile file(QDir(QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus")).filePath(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A page stream holding every type, with payloads and with bytes in padding,
// string tails, hidden choices, unread set elements and unused answer slots,
// as written by headless record objects.
QByteArray PageStreamWithEveryType()
{
    TQZStran page;
    page.SetPageRecord(NewPageRecord("Every type", "(Forward)", "(Forward)"));
    const auto add = [&page](auto record, const QByteArray &payload = {}) {
        if constexpr (requires { record.Padding[0]; })
            std::fill(std::begin(record.Padding), std::end(record.Padding), quint8(0xA5));
        auto object =
            std::make_unique<TQZRecordObject>(TypeTagOf<decltype(record)>(), RecordToBytes(record));
        object->SetPayload(payload);
        page.AddObject(std::move(object));
    };
    auto choices = ChoicesRecord(2, false, {0, 1, 200}, 1);
    choices.QuestionText.Chars[200] = 'q';
    add(choices);
    auto input = NewRecord<TVnosnoOknoRecord>();
    input.Answers[0].SetBytes("slot zero");
    input.Answers[4].SetBytes("above the count");
    add(input);
    auto alternative = NewRecord<TDaNeRecord>();
    alternative.Width = 1200; // wider than its buttons need
    add(alternative);
    add(NewRecord<TBesediloRecord>());
    auto panel = NewRecord<TPanelBesediloRecord>();
    panel.TextPosition = 2;
    add(panel);
    // The rich text writes its text in its own dialect: RTF already in it
    // saves back byte for byte.
    QTextDocument text;
    ReadRtf(CorpusFile(QStringLiteral("rtf/lo74_ce_fcharset238_B.rtf")), text);
    add(NewRecord<TMemoRecord>(), WriteRtf(text));
    add(NewRecord<TSlikaRecord>(), CorpusFile(QStringLiteral("bmp/ff_bmp_gray.bmp")));
    auto media = NewRecord<TMediaRecord>();
    media.MediaFile.SetBytes("clip.wav");
    add(media);
    auto ole = NewRecord<TOleRecord>();
    ole.IsEmpty = 0;
    const QByteArray storage = CorpusFile(QStringLiteral("ole/libgsf_createole_small_and_70k.ole"));
    QByteArray header(12, '\0');
    qToLittleEndian<qint32>(0x434F4442, header.data());
    qToLittleEndian<qint32>(1, header.data() + 4);
    qToLittleEndian<qint32>(qint32(storage.size()), header.data() + 8);
    add(ole, header + storage);
    add(NewRecord<TOleRecord>()); // empty: its record alone
    add(NewRecord<TGumbRecord>());
    QByteArray stream;
    page.SaveToStream(stream);
    return stream;
}

std::unique_ptr<TQZStran> LoadWidgetPage(TQZPageSurface &surface, const QByteArray &stream)
{
    auto page = std::make_unique<TQZStran>(&surface, &WidgetObjectFactory());
    TQZReader reader(stream);
    page->LoadFromStream(reader);
    return page;
}

} // namespace

class TestObjects : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_settings.emplace(); }
    void cleanup() { m_settings.reset(); }

    void transparentText();
    void textWithBackgroundDocks();
    void button();
    void placeholders();
    void factory();
    void pageRoundTripsByteForByte();
    void tagsMouseAndHiddenLoading();

private:
    std::optional<TObjectTestSettings> m_settings;
};

void TestObjects::transparentText()
{
    TRecordingSurface surface;
    TQZGumb earlierButton(&surface, NewRecord<TGumbRecord>());
    auto record = NewRecord<TBesediloRecord>();
    record.Text.SetBytes("<b>as typed</b>");
    record.Left = 100;
    record.Top = 50;
    record.Width = 300;
    record.Height = 80;
    record.Alignment = 1;
    TQZBesedilo text(&surface, record);
    TQZBesedilo laterText(&surface, record);
    TQZPanelBesedilo laterPanel(&surface, NewRecord<TPanelBesediloRecord>());
    QLabel *label = text.Label();
    QCOMPARE(label->geometry(), QRect(100, 50, 300, 80));
    QCOMPARE(label->text(), QStringLiteral("<b>as typed</b>"));
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QVERIFY(label->wordWrap() && !label->autoFillBackground());
    QVERIFY(label->alignment() & Qt::AlignRight);

    // Beneath framed objects whatever the page order; in page order among
    // texts.
    QVERIFY(StackIndex(label) < StackIndex(laterText.Label()));
    QVERIFY(StackIndex(laterText.Label()) < StackIndex(earlierButton.Frame()));
    QVERIFY(StackIndex(earlierButton.Frame()) < StackIndex(laterPanel.Frame()));

    // New text fits: right-aligned keeps its right edge; the record follows.
    const QFontMetrics metrics(label->font());
    record.Text.SetBytes("Hi");
    text.ApplyRecord(record);
    const QRect oneLine = label->geometry();
    QCOMPARE(oneLine.x() + oneLine.width(), 400);
    QVERIFY(oneLine.width() < 50);
    QVERIFY(oneLine.height() >= metrics.height() && oneLine.height() < 2 * metrics.height());
    QCOMPARE(text.Data().Left, oneLine.x());
    QCOMPARE(text.Data().Width, oneLine.width());
    QCOMPARE(text.Data().Height, oneLine.height());

    record.Text.SetBytes("several words that cannot stand on one short line at all");
    record.Alignment = 0;
    text.ResizeTo(120, 10);
    text.ApplyRecord(record);
    QVERIFY(label->width() <= 120 && label->height() >= 3 * metrics.height());
    record.Text.SetBytes("");
    text.ApplyRecord(record);
    QCOMPARE(label->height(), oneLine.height()); // one line still
}

void TestObjects::textWithBackgroundDocks()
{
    QWidget window;
    auto *surface = new TRecordingSurface;
    surface->setParent(&window);
    surface->setGeometry(0, 0, 800, 600);
    window.show();
    auto record = NewRecord<TPanelBesediloRecord>();
    record.Left = 50;
    record.Top = 60;
    record.Width = 200;
    record.Height = 40;
    record.Color = 0x000000FF;
    TQZPanelBesedilo free(surface, record);
    QCOMPARE(free.Frame()->geometry(), QRect(50, 60, 200, 40));
    QCOMPARE(free.Frame()->frameStyle(), int(QFrame::Panel | QFrame::Raised));
    QCOMPARE(free.Frame()->palette().color(QPalette::Window), QColor(Qt::red));
    QCOMPARE(free.Label()->geometry(), QRect(6, 6, 188, 28));

    record.TextPosition = 1;
    TQZPanelBesedilo top(surface, record);
    QCOMPARE(top.Frame()->geometry(), QRect(0, 0, 800, 40));
    top.MoveTo(300, 300);
    top.ResizeTo(50, 30);
    QCOMPARE(top.Frame()->geometry(), QRect(0, 0, 800, 30));
    QCOMPARE(top.Label()->geometry(), QRect(6, 6, 788, 18));
    record.TextPosition = 2;
    TQZPanelBesedilo bottom(surface, record);
    QCOMPARE(bottom.Frame()->geometry(), QRect(0, 560, 800, 40));

    surface->resize(640, 480);
    QCOMPARE(top.Frame()->geometry(), QRect(0, 0, 640, 30));
    QCOMPARE(bottom.Frame()->geometry(), QRect(0, 440, 640, 40));
    QCOMPARE(bottom.Label()->width(), 628);
    QCOMPARE(free.Frame()->geometry(), QRect(50, 60, 200, 40));

    // Applied from the dialog, a docked frame's record takes the frame's
    // actual size: the surface's full width.
    top.ApplyRecord(record);
    QCOMPARE(top.Frame()->geometry(), QRect(0, 440, 640, 40));
    const auto applied = RecordFromBytes<TPanelBesediloRecord>(top.Record());
    QCOMPARE(applied.Width.Get(), 640);
    QCOMPARE(applied.Height.Get(), 40);
    QCOMPARE(applied.Left.Get(), 50);

    record.TextPosition = 0; // freed, the frame goes where its record says
    bottom.ApplyRecord(record);
    QCOMPARE(bottom.Frame()->geometry(), QRect(50, 60, 200, 40));
    QCOMPARE(RecordFromBytes<TPanelBesediloRecord>(bottom.Record()).Width.Get(), 200);
}

void TestObjects::button()
{
    TRecordingSurface surface;
    auto record = NewRecord<TGumbRecord>();
    record.Left = 100;
    record.Top = 200;
    record.Caption.SetBytes("Next");
    TQZGumb button(&surface, record);
    surface.show();
    QPushButton *press = button.PressButton();
    QCOMPARE(press->text(), QStringLiteral("Next"));
    QCOMPARE(press->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(button.Frame()->geometry(), QRect(100, 200, 100, 50));
    QCOMPARE(press->geometry(), QRect(6, 6, 88, 38));
    QTest::mouseClick(press, Qt::LeftButton);
    QCOMPARE(surface.Clicked, QList<QObject *>{press});
    QVERIFY(surface.Pressed.isEmpty()); // only the click is passed on

    button.ResizeTo(120, 60);
    QCOMPARE(press->geometry(), QRect(6, 6, 108, 48));
    record.Caption.SetBytes("Onward");
    button.ApplyRecord(record);
    QCOMPARE(press->text(), QStringLiteral("Onward"));
    QCOMPARE(button.Frame()->geometry(), QRect(100, 200, 120, 60));
}

void TestObjects::placeholders()
{
    TRecordingSurface surface;
    auto memoRecord = NewRecord<TMemoRecord>();
    memoRecord.Left = 10;
    memoRecord.Color = 0x0000FF00;
    TQZMemo memo(&surface, memoRecord);
    QCOMPARE(memo.Frame()->geometry(), QRect(10, 0, 200, 200));
    QCOMPARE(memo.Frame()->palette().color(QPalette::Window), QColor(Qt::green));
    QCOMPARE(memo.Frame()->Inner()->metaObject()->className(), "QTextEdit");
    memo.ResizeTo(150, 100);
    QByteArray stream;
    memo.SaveToStream(stream);
    QCOMPARE(RecordFromBytes<TMemoRecord>(stream).SavedEditHeight, 100 - 12);

    TQZSlika picture(&surface, NewRecord<TSlikaRecord>());
    QVERIFY(StackIndex(picture.Face()) < StackIndex(memo.Frame()));

    // What is not RTF is shown as plain text, as a rich edit control shows
    // it, line by line; nothing is refused.
    for (const auto &[payload, shown] :
         {std::pair{QByteArray("First line\r\nsecond\rthird\n"),
                    QStringLiteral("First line\nsecond\nthird\n")},
          std::pair{QByteArray("{\\rtx \\b not RTF}"), QStringLiteral("{\\rtx \\b not RTF}")},
          std::pair{QByteArray("  "), QStringLiteral("  ")}, std::pair{QByteArray(), QString()}}) {
        memo.LoadPayload(payload);
        QCOMPARE(memo.Box()->toPlainText(), shown);
    }

    TQZOle ole(&surface, NewRecord<TOleRecord>()); // empty: the record alone
    stream.clear();
    ole.SaveToStream(stream);
    QCOMPARE(stream.size(), 32);
}

void TestObjects::factory()
{
    TRecordingSurface surface;
    TQZObjectFactory &factory = WidgetObjectFactory();
    for (int tag : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10}) {
        const auto object = factory.CreateObject(tag, NewObjectRecord(tag), &surface);
        const TQZControl &made = *object;
        const QString className = QString::fromLatin1(typeid(made).name());
        QVERIFY2(className.endsWith(ClassNameOfType(tag)), qPrintable(className));
        QCOMPARE(FaceOf(object.get())->parentWidget(), &surface);
    }
    // No surface to hold a face, or no class for the tag: the bytes are kept.
    const auto headless = factory.CreateObject(ObjIzbire, NewObjectRecord(ObjIzbire), nullptr);
    QVERIFY(dynamic_cast<TQZRecordObject *>(headless.get()));
    const auto unknown = factory.CreateObject(11, QByteArray(40, 'x'), &surface);
    QVERIFY(dynamic_cast<TQZRecordObject *>(unknown.get()));
    // A short record is completed with zeros.
    const auto button = factory.CreateObject(ObjGumb, QByteArray(16, '\0'), &surface);
    QCOMPARE(button->Record(), QByteArray(804, '\0'));

    // Windows faces are drawn with the free fonts of the same metrics.
    QCOMPARE(FreeFamilyOf(QStringLiteral("Arial CE")), QStringLiteral("Liberation Sans"));
    TQZGumb styled(&surface, NewRecord<TGumbRecord>()); // "Arial CE", -19
    const QFontInfo font(styled.PressButton()->font());
    QCOMPARE(font.family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(font.pixelSize(), 19);
}

void TestObjects::pageRoundTripsByteForByte()
{
    TRecordingSurface surface;
    ScreenWidth = DesignWidth; // nothing is rounded: every byte comes back
    ScreenHeight = DesignHeight;
    const QByteArray stream = PageStreamWithEveryType();
    QVERIFY(stream.size() > 80000); // the payloads are there
    auto page = LoadWidgetPage(surface, stream);
    QCOMPARE(page->ObjectCount(), 11);
    for (const auto &object : page->Objects())
        QVERIFY(FaceOf(object.get()));
    QByteArray saved;
    page->SaveToStream(saved);
    QVERIFY(saved == stream);

    // On other screens widget pages save what headless pages save.
    ScreenWidth = 1024;
    ScreenHeight = 749;
    TQZStran headless;
    TQZReader reader(stream);
    headless.LoadFromStream(reader);
    QByteArray fromRecords;
    headless.SaveToStream(fromRecords);
    // Rich text scales its font sizes to its box as it loads, so only its
    // record's leading fields (position, size, colour) match the bytes a
    // headless page keeps; every other object saves the same.
    const auto widgets = LoadWidgetPage(surface, stream);
    QCOMPARE(widgets->ObjectCount(), headless.ObjectCount());
    for (size_t i = 0; i < widgets->Objects().size(); ++i) {
        QByteArray fromWidget;
        QByteArray fromRecord;
        widgets->Objects()[i]->SaveToStream(fromWidget);
        headless.Objects()[i]->SaveToStream(fromRecord);
        if (widgets->Objects()[i]->ObjectTypeTag() == ObjMemo)
            QCOMPARE(fromWidget.left(20), fromRecord.left(20));
        else
            QVERIFY(fromWidget == fromRecord);
    }
    QVERIFY(!fromRecords.isEmpty());
}

void TestObjects::tagsMouseAndHiddenLoading()
{
    TRecordingSurface surface;
    surface.show();
    TestLoading = true;
    auto page = LoadWidgetPage(surface, PageStreamWithEveryType());
    for (const auto &object : page->Objects()) {
        QVERIFY(FaceOf(object.get())->isHidden());
        QCOMPARE(TagOf(FaceOf(object.get())), object->Tag());
    }
    const auto &objects = page->Objects();
    const auto *question = static_cast<TQZIzbire *>(objects[0].get());
    const auto *input = static_cast<TQZVnosnoOkno *>(objects[1].get());
    const auto *alternative = static_cast<TQZDaNe *>(objects[2].get());
    const auto *panel = static_cast<TQZPanelBesedilo *>(objects[4].get());
    const auto *button = static_cast<TQZGumb *>(objects[10].get());
    QCOMPARE(TagOf(question->Choice(1)), 0);
    QCOMPARE(TagOf(alternative->FirstButton()), 0);
    QCOMPARE(TagOf(panel->Label()), panel->Tag());
    QCOMPARE(TagOf(button->PressButton()), button->Tag());
    page->ShowObjects(true);
    for (const auto &object : objects)
        QVERIFY(FaceOf(object.get())->isVisible());
    // Objects inserted on a shown surface show at once, with all their parts.
    TestLoading = false;
    const auto inserted = LoadWidgetPage(surface, PageStreamWithEveryType());
    for (const auto &object : inserted->Objects()) {
        QWidgetList parts = FaceOf(object.get())->findChildren<QWidget *>();
        parts << FaceOf(object.get());
        for (QWidget *part : std::as_const(parts)) // or hidden on purpose
            QVERIFY(part->isVisible() || part->testAttribute(Qt::WA_WState_ExplicitShowHide));
    }

    // Presses on faces reach the surface once each; choices keep theirs.
    for (QWidget *face :
         std::initializer_list<QWidget *>{question->Face(), panel->Label(), input->Face()})
        QTest::mousePress(face, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(surface.Pressed, (QList<QWidget *>{question->Face(), panel->Face(), input->Face()}));
    QTest::mousePress(question->Choice(1), Qt::LeftButton, {}, QPoint(4, 4));
    QCOMPARE(surface.Pressed.size(), 3);
}

QTEST_MAIN(TestObjects)

#include "tst_objects.moc"
