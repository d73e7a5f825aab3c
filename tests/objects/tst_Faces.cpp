// Text, button and placeholder faces, the widget object factory and pages of
// widget objects: stacking, docking, tags, mouse routing, hidden loading and
// byte-exact saving.
#include "QZFonts.h"
#include "QZObjectsTest.h"
#include "QZPlaceholders.h"
#include "QZQuestions.h"
#include "QZStream.h"
#include "QZTexts.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

QByteArray CorpusFile(const QString &path)
{
    QFile file(QDir(QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus")).filePath(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An OLE container's object stream: signature, drawing aspect (content) and
// the length of the compound file that follows.
QByteArray OleStream(const QByteArray &storage)
{
    QByteArray stream;
    for (qint32 value : {qint32(0x434F4442), qint32(1), qint32(storage.size())}) {
        TInt32 field;
        field = value;
        stream.append(reinterpret_cast<const char *>(&field), sizeof field);
    }
    return stream + storage;
}

// A record whose padding bytes hold something, as records read from files do.
template<typename RecordType> RecordType Dirty(RecordType record)
{
    if constexpr (requires { record.Padding[0]; })
        std::fill(std::begin(record.Padding), std::end(record.Padding), quint8(0xA5));
    return record;
}

// The page stream of a page holding one object of every type with payloads
// and stray bytes where files have them, written by headless record objects.
QByteArray PageStreamWithEveryType()
{
    TQZStran page;
    page.SetPageRecord(NewPageRecord("Every type", "(Forward)", "(Forward)"));
    const auto add = [&page](int tag, const QByteArray &record, const QByteArray &payload = {}) {
        auto object = std::make_unique<TQZRecordObject>(tag, record);
        object->SetPayload(payload);
        page.AddObject(std::move(object));
    };

    auto choices = Dirty(NewRecord<TIzbireRecord>());
    choices.ChoiceCount = 2; // choice 3 stays stored
    choices.CorrectSet.Include(0);
    choices.CorrectSet.Include(200);
    choices.QuestionText.Chars[200] = 'q'; // past the length
    choices.ChoiceFont.Padding[0] = 7;
    add(ObjIzbire, RecordToBytes(choices));
    auto input = Dirty(NewRecord<TVnosnoOknoRecord>());
    input.Answers[0].SetBytes("slot zero");
    input.Answers[4].SetBytes("above the count");
    add(ObjVnosnoOkno, RecordToBytes(input));
    auto alternative = Dirty(NewRecord<TDaNeRecord>());
    alternative.Width = 1200; // wider than its buttons need
    add(ObjDaNe, RecordToBytes(alternative));
    auto text = Dirty(NewRecord<TBesediloRecord>());
    text.Alignment = 2;
    add(ObjBesedilo, RecordToBytes(text));
    auto panel = Dirty(NewRecord<TPanelBesediloRecord>());
    panel.TextPosition = 2;
    add(ObjPanelBesedilo, RecordToBytes(panel));
    add(ObjMemo, NewObjectRecord(ObjMemo),
        CorpusFile(QStringLiteral("rtf/lo74_ce_fcharset238_B.rtf")));
    add(ObjSlika, NewObjectRecord(ObjSlika), CorpusFile(QStringLiteral("bmp/ff_bmp_gray.bmp")));
    auto media = NewRecord<TMediaRecord>();
    media.MediaFile.SetBytes("clip.wav");
    add(ObjMedia, RecordToBytes(Dirty(media)));
    auto ole = NewRecord<TOleRecord>();
    ole.IsEmpty = 0;
    add(ObjOle, RecordToBytes(ole),
        OleStream(CorpusFile(QStringLiteral("ole/embedded_rtfjs_wmf_obj21_WordPicture8.cfb"))));
    add(ObjOle, NewObjectRecord(ObjOle)); // empty: the record alone
    add(ObjGumb, RecordToBytes(Dirty(NewRecord<TGumbRecord>())));

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

QWidget *FaceOf(const TQZControl *object)
{
    if (auto *question = dynamic_cast<const TQZIzbire *>(object))
        return question->Face();
    if (auto *question = dynamic_cast<const TQZVnosnoOkno *>(object))
        return question->Face();
    if (auto *question = dynamic_cast<const TQZDaNe *>(object))
        return question->Face();
    if (auto *text = dynamic_cast<const TQZBesedilo *>(object))
        return text->Face();
    if (auto *text = dynamic_cast<const TQZPanelBesedilo *>(object))
        return text->Face();
    if (auto *button = dynamic_cast<const TQZGumb *>(object))
        return button->Face();
    if (auto *memo = dynamic_cast<const TQZMemo *>(object))
        return memo->Face();
    if (auto *picture = dynamic_cast<const TQZSlika *>(object))
        return picture->Face();
    if (auto *media = dynamic_cast<const TQZMedia *>(object))
        return media->Face();
    if (auto *ole = dynamic_cast<const TQZOle *>(object))
        return ole->Face();
    return nullptr;
}

} // namespace

class TestFaces : public TObjectsTestCase
{
    Q_OBJECT

private slots:
    void transparentText();
    void transparentTextFitsItsText();
    void textWithBackgroundDocks();
    void buttonClicksReachFormClick();
    void placeholders();
    void factoryMakesEveryClass();
    void pageRoundTripsByteForByte();
    void tagsAndHiddenLoading();
    void pressesOnFacesReachTheSurface();
    void windowsFacesMapToFreeFonts();
};

void TestFaces::transparentText()
{
    TRecordingSurface surface;
    TQZGumb earlierButton(&surface, NewRecord<TGumbRecord>());
    auto record = NewRecord<TBesediloRecord>();
    record.Text.SetBytes("<b>as typed</b>");
    record.Left = 10;
    record.Top = 20;
    record.Width = 150;
    record.Height = 60;
    record.Alignment = 1;
    TQZBesedilo text(&surface, record);
    TQZBesedilo laterText(&surface, record);
    TQZPanelBesedilo laterPanel(&surface, NewRecord<TPanelBesediloRecord>());

    QLabel *label = text.Label();
    QCOMPARE(label->parentWidget(), &surface);
    QCOMPARE(label->geometry(), QRect(10, 20, 150, 60));
    QCOMPARE(label->text(), QStringLiteral("<b>as typed</b>"));
    QCOMPARE(label->textFormat(), Qt::PlainText);
    QVERIFY(label->wordWrap() && !label->autoFillBackground());
    QVERIFY(label->alignment() & Qt::AlignRight);
    QCOMPARE(label->font().family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(label->font().pixelSize(), 19);

    // Texts lie beneath framed objects whatever the page order, and in page
    // order among themselves.
    QVERIFY(StackIndex(label) < StackIndex(earlierButton.Frame()));
    QVERIFY(StackIndex(label) < StackIndex(laterText.Label()));
    QVERIFY(StackIndex(laterText.Label()) < StackIndex(earlierButton.Frame()));
    QVERIFY(StackIndex(earlierButton.Frame()) < StackIndex(laterPanel.Frame()));

    text.MoveTo(30, 40);
    text.ResizeTo(90, 25);
    QCOMPARE(label->geometry(), QRect(30, 40, 90, 25));
    QCOMPARE(qint32(text.Data().Height), 25);
}

void TestFaces::transparentTextFitsItsText()
{
    TRecordingSurface surface;
    auto record = NewRecord<TBesediloRecord>();
    record.Left = 100;
    record.Top = 50;
    record.Width = 300;
    record.Height = 80;
    TQZBesedilo text(&surface, record);
    const QFontMetrics metrics(text.Label()->font());

    // Right-aligned: the right edge stays where it was.
    record.Text.SetBytes("Hi");
    record.Alignment = 1;
    text.ApplyRecord(record);
    QRect geometry = text.Label()->geometry();
    QCOMPARE(geometry.x() + geometry.width(), 400);
    QVERIFY(geometry.width() > 0 && geometry.width() < 50);
    const int oneLine = geometry.height();
    QVERIFY(oneLine >= metrics.height() && oneLine < 2 * metrics.lineSpacing());
    QCOMPARE(text.Data().Left, geometry.x());
    QCOMPARE(text.Data().Width, geometry.width());
    QCOMPARE(text.Data().Height, geometry.height());

    // Wrapped at the width it has now: several lines, no wider than that.
    record.Text.SetBytes("several words that cannot stand on one short line at all");
    record.Alignment = 0;
    text.ResizeTo(120, 10);
    text.ApplyRecord(record);
    geometry = text.Label()->geometry();
    QCOMPARE(geometry.x(), text.Data().Left);
    QVERIFY(geometry.width() <= 120);
    QVERIFY(geometry.height() >= 3 * metrics.height());

    // An empty text keeps one line.
    record.Text.SetBytes("");
    text.ApplyRecord(record);
    QCOMPARE(text.Label()->height(), oneLine);
}

void TestFaces::textWithBackgroundDocks()
{
    QWidget window;
    auto *surface = new TRecordingSurface;
    surface->setParent(&window);
    surface->setGeometry(0, 0, 800, 600);
    window.resize(800, 600);
    window.show();

    auto record = NewRecord<TPanelBesediloRecord>();
    record.Left = 50;
    record.Top = 60;
    record.Width = 200;
    record.Height = 40;
    record.Color = 0x000000FF;
    TQZPanelBesedilo free(surface, record);
    TQZObjectFrame *frame = free.Frame();
    QCOMPARE(frame->geometry(), QRect(50, 60, 200, 40));
    QCOMPARE(frame->frameStyle(), int(QFrame::Panel | QFrame::Raised));
    QCOMPARE(frame->lineWidth(), 1);
    QCOMPARE(frame->palette().color(QPalette::Window), QColor(Qt::red));
    QCOMPARE(free.Label()->geometry(), QRect(6, 6, 188, 28));

    record.TextPosition = 1;
    TQZPanelBesedilo top(surface, record);
    QCOMPARE(top.Frame()->geometry(), QRect(0, 0, 800, 40));
    top.MoveTo(300, 300);
    top.ResizeTo(50, 30);
    QCOMPARE(top.Frame()->geometry(), QRect(0, 0, 800, 30));
    QCOMPARE(top.Label()->geometry(), QRect(6, 6, 788, 18));
    QCOMPARE(top.Data().Left, 300);

    record.TextPosition = 2;
    TQZPanelBesedilo bottom(surface, record);
    QCOMPARE(bottom.Frame()->geometry(), QRect(0, 560, 800, 40));

    surface->resize(640, 480);
    QCOMPARE(top.Frame()->geometry(), QRect(0, 0, 640, 30));
    QCOMPARE(bottom.Frame()->geometry(), QRect(0, 440, 640, 40));
    QCOMPARE(bottom.Label()->width(), 628);
    QCOMPARE(frame->geometry(), QRect(50, 60, 200, 40));

    // Freed from docking, the frame goes where its record says.
    record.TextPosition = 0;
    record.Left = 70;
    record.Top = 80;
    bottom.ApplyRecord(record);
    QCOMPARE(bottom.Frame()->geometry(), QRect(70, 80, 200, 40));
}

void TestFaces::buttonClicksReachFormClick()
{
    TRecordingSurface surface;
    auto record = NewRecord<TGumbRecord>();
    record.Left = 100;
    record.Top = 200;
    record.Caption.SetBytes("Next");
    TQZGumb button(&surface, record);
    button.SetObjectTag(3);
    surface.show();

    QPushButton *press = button.PressButton();
    QCOMPARE(press->objectName(), QStringLiteral("PressButton"));
    QCOMPARE(press->text(), QStringLiteral("Next"));
    QCOMPARE(press->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(button.Frame()->geometry(), QRect(100, 200, 100, 50));
    QCOMPARE(press->geometry(), QRect(6, 6, 88, 38));
    QCOMPARE(TagOf(press), 3);
    QCOMPARE(TagOf(button.Frame()), 3);

    QTest::mouseClick(press, Qt::LeftButton);
    QCOMPARE(surface.Clicked, QList<QObject *>{press});
    QVERIFY(surface.Pressed.isEmpty()); // the push button passes on only its click

    button.ResizeTo(120, 60);
    QCOMPARE(press->geometry(), QRect(6, 6, 108, 48));
    record.Caption.SetBytes("Onward");
    record.Width = 10;
    button.ApplyRecord(record);
    QCOMPARE(press->text(), QStringLiteral("Onward"));
    QCOMPARE(button.Frame()->geometry(), QRect(100, 200, 120, 60));
}

void TestFaces::placeholders()
{
    TRecordingSurface surface;
    auto memoRecord = NewRecord<TMemoRecord>();
    memoRecord.Left = 10;
    memoRecord.Top = 20;
    memoRecord.Color = 0x0000FF00;
    TQZMemo memo(&surface, memoRecord);
    QCOMPARE(memo.Frame()->geometry(), QRect(10, 20, 200, 200));
    QCOMPARE(memo.Frame()->palette().color(QPalette::Window), QColor(Qt::green));
    QCOMPARE(memo.KindLabel()->text(), QStringLiteral("Rich text"));
    memo.ResizeTo(150, 100);
    QByteArray stream;
    memo.SaveToStream(stream);
    QCOMPARE(RecordFromBytes<TMemoRecord>(stream).SavedEditHeight, 100 - 12);

    TQZSlika picture(&surface, NewRecord<TSlikaRecord>());
    QCOMPARE(picture.Frame()->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(picture.KindLabel()->text(), QStringLiteral("Picture"));
    QVERIFY(StackIndex(picture.Frame()) < StackIndex(memo.Frame()));

    auto mediaRecord = NewRecord<TMediaRecord>();
    mediaRecord.MediaFile.SetBytes("song.mid");
    mediaRecord.Left = 5;
    TQZMedia media(&surface, mediaRecord);
    QCOMPARE(media.KindLabel()->text(), QStringLiteral("Multimedia: song.mid"));
    QVERIFY(media.OpenMedia() && media.CloseMedia());
    media.MoveTo(40, 50);
    media.ResizeTo(60, 70);
    QCOMPARE(media.Frame()->geometry(), QRect(40, 50, 60, 70));
    QCOMPARE(media.Data().Left, 40);
    QCOMPARE(media.Data().Height, 70);

    // An empty OLE frame writes its record alone, whatever it was given.
    TQZOle ole(&surface, NewRecord<TOleRecord>());
    QCOMPARE(ole.KindLabel()->text(), QStringLiteral("OLE object"));
    ole.LoadPayload(QByteArrayLiteral("BDOC"));
    stream.clear();
    ole.SaveToStream(stream);
    QCOMPARE(stream.size(), 32);
}

void TestFaces::factoryMakesEveryClass()
{
    TRecordingSurface surface;
    TQZObjectFactory &factory = WidgetObjectFactory();
    const auto make = [&](int tag, TQZSurface *on) {
        return factory.CreateObject(tag, NewObjectRecord(tag), on);
    };
    QVERIFY(dynamic_cast<TQZIzbire *>(make(ObjIzbire, &surface).get()));
    QVERIFY(dynamic_cast<TQZVnosnoOkno *>(make(ObjVnosnoOkno, &surface).get()));
    QVERIFY(dynamic_cast<TQZDaNe *>(make(ObjDaNe, &surface).get()));
    QVERIFY(dynamic_cast<TQZBesedilo *>(make(ObjBesedilo, &surface).get()));
    QVERIFY(dynamic_cast<TQZPanelBesedilo *>(make(ObjPanelBesedilo, &surface).get()));
    QVERIFY(dynamic_cast<TQZMemo *>(make(ObjMemo, &surface).get()));
    QVERIFY(dynamic_cast<TQZSlika *>(make(ObjSlika, &surface).get()));
    QVERIFY(dynamic_cast<TQZMedia *>(make(ObjMedia, &surface).get()));
    QVERIFY(dynamic_cast<TQZOle *>(make(ObjOle, &surface).get()));
    QVERIFY(dynamic_cast<TQZGumb *>(make(ObjGumb, &surface).get()));
    QCOMPARE(FaceOf(make(ObjGumb, &surface).get())->parentWidget(), &surface);

    // Nowhere to put a face, or no class for the tag: the bytes are kept.
    QVERIFY(dynamic_cast<TQZRecordObject *>(make(ObjIzbire, nullptr).get()));
    const auto unknown = factory.CreateObject(11, QByteArray(40, 'x'), &surface);
    QVERIFY(dynamic_cast<TQZRecordObject *>(unknown.get()));
    QCOMPARE(unknown->ObjectTypeTag(), 11);

    // A short record is completed with zeros.
    const auto shortRecord = factory.CreateObject(ObjGumb, QByteArray(16, '\0'), &surface);
    QCOMPARE(shortRecord->Record(), QByteArray(804, '\0'));
}

void TestFaces::pageRoundTripsByteForByte()
{
    TRecordingSurface surface;
    // On the virtual screen nothing is rounded: every byte comes back.
    ScreenWidth = DesignWidth;
    ScreenHeight = DesignHeight;
    const QByteArray stream = PageStreamWithEveryType();
    QVERIFY(stream.size() > 50000); // the payloads are there
    auto page = LoadWidgetPage(surface, stream);
    QCOMPARE(page->ObjectCount(), 11);
    for (const auto &object : page->Objects())
        QVERIFY2(FaceOf(object.get()), qPrintable(ClassNameOfType(object->ObjectTypeTag())));
    QByteArray saved;
    page->SaveToStream(saved);
    QCOMPARE(saved.size(), stream.size());
    QVERIFY(saved == stream);

    // On any other screen widget pages save exactly what headless pages save.
    ScreenWidth = 1024;
    ScreenHeight = 749;
    auto widgetPage = LoadWidgetPage(surface, stream);
    TQZStran headlessPage;
    TQZReader reader(stream);
    headlessPage.LoadFromStream(reader);
    QByteArray fromWidgets;
    QByteArray fromRecords;
    widgetPage->SaveToStream(fromWidgets);
    headlessPage.SaveToStream(fromRecords);
    QVERIFY(fromWidgets == fromRecords);
}

void TestFaces::tagsAndHiddenLoading()
{
    TRecordingSurface surface;
    surface.show();
    const QByteArray stream = PageStreamWithEveryType();

    TestLoading = true;
    auto page = LoadWidgetPage(surface, stream);
    for (const auto &object : page->Objects()) {
        QWidget *face = FaceOf(object.get());
        QVERIFY(face->isHidden());
        QCOMPARE(TagOf(face), object->Tag());
        QVERIFY(object->Tag() > 0);
    }
    auto *question = static_cast<TQZIzbire *>(page->Objects()[0].get());
    auto *alternative = static_cast<TQZDaNe *>(page->Objects()[2].get());
    auto *panel = static_cast<TQZPanelBesedilo *>(page->Objects()[4].get());
    auto *button = static_cast<TQZGumb *>(page->Objects()[10].get());
    QCOMPARE(TagOf(question->Choice(1)), 0);
    QCOMPARE(TagOf(alternative->FirstButton()), 0);
    QCOMPARE(TagOf(panel->Label()), panel->Tag());
    QCOMPARE(TagOf(button->PressButton()), button->Tag());

    page->ShowObjects(true);
    for (const auto &object : page->Objects())
        QVERIFY(FaceOf(object.get())->isVisible());

    // Outside a file read, new objects show at once.
    TestLoading = false;
    TQZGumb inserted(&surface, NewRecord<TGumbRecord>());
    QVERIFY(inserted.Frame()->isVisible());
}

void TestFaces::pressesOnFacesReachTheSurface()
{
    TRecordingSurface surface;
    TQZIzbire question(&surface, NewRecord<TIzbireRecord>());
    TQZPanelBesedilo panel(&surface, NewRecord<TPanelBesediloRecord>());
    TQZVnosnoOkno input(&surface, NewRecord<TVnosnoOknoRecord>());
    surface.show();

    QTest::mousePress(question.Frame(), Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mousePress(panel.Label(), Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mousePress(input.Edit(), Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(surface.Pressed, (QList<QWidget *>{question.Frame(), panel.Frame(), input.Edit()}));

    // A choice handles its own presses.
    surface.Pressed.clear();
    QTest::mousePress(question.Choice(1), Qt::LeftButton, {}, QPoint(4, 4));
    QVERIFY(surface.Pressed.isEmpty());
}

void TestFaces::windowsFacesMapToFreeFonts()
{
    QCOMPARE(FreeFamilyOf(QStringLiteral("Arial CE")), QStringLiteral("Liberation Sans"));
    QCOMPARE(FreeFamilyOf(QStringLiteral("Times New Roman")), QStringLiteral("Liberation Serif"));

    TRecordingSurface surface;
    auto record = NewRecord<TIzbireRecord>(); // "Arial CE", -19
    record.ChoiceFont.Style = FontBold;
    TQZIzbire question(&surface, record);
    const QFontInfo chosen(question.Choice(1)->font());
    QCOMPARE(chosen.family(), QStringLiteral("Liberation Sans"));
    QCOMPARE(chosen.pixelSize(), 19);
    QVERIFY(chosen.bold());
    QVERIFY(!QFontInfo(question.Frame()->font()).bold());
}

std::unique_ptr<QObject> NewFacesTest() { return std::make_unique<TestFaces>(); }

#include "tst_Faces.moc"
