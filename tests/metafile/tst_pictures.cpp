// Pictures: every bitmap, icon and metafile of the corpus through a test file
// and back, malformed ones refused with an opening error, and the picture
// object's drawing and stacking on the page.
#include "QZControls.h"
#include "QZMetafile.h"
#include "QZNaloga.h"
#include "QZPicture.h"
#include "QZPictureMemory.h"
#include "QZRecordFields.h"
#include "QZScriptedInteraction.h"
#include "QZSlika.h"
#include "QZStran.h"
#include "QZStream.h"
#include "QZTexts.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

const QString CorpusDir = QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus");

QByteArray CorpusFile(const QString &path)
{
    QFile file(QDir(CorpusDir).filePath(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

template<typename Record> Record NewRecord()
{
    return RecordFromBytes<Record>(NewObjectRecord(TypeTagOf<Record>()));
}

// A test file of one page holding one picture object; the payload is stored
// under `kind` whatever its bytes are.
QByteArray TestFileWithPicture(const QByteArray &payload, quint8 kind, quint8 stretch = 1)
{
    TQZNaloga test;
    test.TestRecord() = NewTestRecord();
    auto page = test.NewPage();
    page->SetPageRecord(NewPageRecord("Pictures", "(Forward)", "(Forward)"));
    auto record = NewRecord<TSlikaRecord>();
    record.PictureKind = kind;
    record.Stretch = stretch;
    auto object = std::make_unique<TQZRecordObject>(ObjSlika, RecordToBytes(record));
    object->SetPayload(payload);
    page->AddObject(std::move(object));
    test.AddPage(std::move(page));
    return test.ToBytes();
}

bool IsBlank(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                return false;
    return true;
}

// A bitmap with a red left half and a blue right half.
QByteArray TwoColourBitmap(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, width / 2, height, Qt::red);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "BMP");
    return buffer.data();
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT

private slots:
    // Reading a test file leaves its objects hidden for the player to show.
    void cleanup() { TestLoading = false; }

    void corpus_data();
    void corpus();
    void damagedVariants_data();
    void damagedVariants();
    void coloursPastThePalette();
    void unknownKindLoadsNothing();
    void stretchAndNaturalSize();
    void beneathFramedObjects();
    void builderLoadsFiles();
    void examplePictures();
    void decodedWhileShown();
    void memoryBudget();
};

void TestPictures::corpus_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("validity");
    QFile manifest(QDir(CorpusDir).filePath(QStringLiteral("MANIFEST.tsv")));
    QVERIFY(manifest.open(QIODevice::ReadOnly));
    int rows = 0;
    while (!manifest.atEnd()) {
        const QStringList fields = QString::fromUtf8(manifest.readLine()).split(QLatin1Char('\t'));
        if (fields.size() < 3)
            continue;
        const QString &type = fields[1];
        int kind = -1;
        if (type == QLatin1String("bmp"))
            kind = 0;
        else if (type == QLatin1String("emf") || type == QLatin1String("wmf"))
            kind = 1;
        else if (type == QLatin1String("ico"))
            kind = 2;
        if (kind < 0)
            continue;
        QTest::newRow(qPrintable(fields[0])) << fields[0] << kind << fields[2];
        ++rows;
    }
    QVERIFY(rows >= 40);
}

// A valid picture opens, draws something and is saved back bit for bit,
// twice over; a malformed one makes the test file fail to open.
void TestPictures::corpus()
{
    QFETCH(QString, path);
    QFETCH(int, kind);
    QFETCH(QString, validity);
    const QByteArray bytes = CorpusFile(path);
    QVERIFY(!bytes.isEmpty());
    const QByteArray file = TestFileWithPicture(bytes, quint8(kind));

    TQZPageSurface surface;
    TQZNaloga loaded(&surface, &WidgetObjectFactory());
    try {
        loaded.LoadFromBytes(file);
    } catch (const TQZFileError &error) {
        QVERIFY2(validity != QLatin1String("valid"), qPrintable(error.Message()));
        QVERIFY(error.Message().contains(QLatin1String("picture")));
        return;
    }
    QVERIFY2(validity != QLatin1String("malformed"), "a malformed picture was accepted");
    TQZScriptedInteraction script;
    loaded.GoToPage(0);
    QVERIFY2(script.Messages.isEmpty(), qPrintable(script.MessageTexts().join(u'\n')));
    auto *picture = dynamic_cast<TQZSlika *>(loaded.Page(0)->Objects()[0].get());
    QVERIFY(picture);
    QCOMPARE(picture->Picture().Kind(), TPictureKind(kind));
    QVERIFY(!picture->Picture().NaturalSize().isEmpty());
    QVERIFY(!IsBlank(picture->Picture().Rendered(QSize(96, 96))));

    const QByteArray saved = loaded.ToBytes();
    QCOMPARE(saved, file);
    TQZNaloga again(&surface, &WidgetObjectFactory());
    again.LoadFromBytes(saved);
    QCOMPARE(again.ToBytes(), file);
}

// Broken variants of good files: cut short, record sizes and image sizes
// past the data, the wrong kind.
void TestPictures::damagedVariants_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("kind");
    const QByteArray bmp = CorpusFile(QStringLiteral("bmp/netpbm_win_1bit.bmp"));
    const QByteArray ico = CorpusFile(QStringLiteral("ico/im_32_4bpp.ico"));
    const QByteArray emf = CorpusFile(QStringLiteral("emf/emf2svg_test-124.emf"));
    const QByteArray wmf = CorpusFile(QStringLiteral("wmf/pillow_drawing.wmf"));

    QTest::newRow("empty bitmap") << QByteArray() << 0;
    QTest::newRow("bitmap header only") << bmp.first(20) << 0;
    QTest::newRow("bitmap as icon") << bmp << 2;
    QTest::newRow("icon as metafile") << ico << 1;
    QTest::newRow("metafile as bitmap") << emf << 0;
    QByteArray hugeIcon = ico;
    qToLittleEndian<quint32>(0x7FFFFFF0, hugeIcon.data() + 6 + 8);
    QTest::newRow("icon image past the end") << hugeIcon << 2;
    QTest::newRow("enhanced metafile cut short") << emf.first(emf.size() / 2) << 1;
    QByteArray emfRecord = emf;
    const quint32 headerSize = qFromLittleEndian<quint32>(emf.data() + 4);
    qToLittleEndian<quint32>(0x10000, emfRecord.data() + headerSize + 4); // the second record
    QTest::newRow("enhanced metafile record too long") << emfRecord << 1;
    QByteArray emfHeader = emf;
    qToLittleEndian<quint32>(0x7FFFFFFF, emfHeader.data() + 48);
    QTest::newRow("enhanced metafile larger than its data") << emfHeader << 1;
    QTest::newRow("Windows metafile cut short") << wmf.first(wmf.size() - 40) << 1;
    QByteArray wmfRecord = wmf;
    qToLittleEndian<quint32>(0x7FFFFFFF, wmfRecord.data() + 22 + 18);
    QTest::newRow("Windows metafile record too long") << wmfRecord << 1;
    QByteArray wmfBitmap = CorpusFile(QStringLiteral("wmf/rtfjs_bm1_stretchdib.wmf"));
    qToLittleEndian<quint32>(36, wmfBitmap.data() + 106); // its bitmap's header size
    QTest::newRow("Windows metafile bitmap of unknown layout") << wmfBitmap << 1;
    QByteArray wmfScale = wmf;
    qToLittleEndian<quint16>(0, wmfScale.data() + 14);
    QTest::newRow("Windows metafile without scale") << wmfScale << 1;
}

void TestPictures::damagedVariants()
{
    QFETCH(QByteArray, payload);
    QFETCH(int, kind);
    TQZPageSurface surface;
    TQZNaloga loaded(&surface, &WidgetObjectFactory());
    QVERIFY_THROWS_EXCEPTION(TQZFileError,
                             loaded.LoadFromBytes(TestFileWithPicture(payload, quint8(kind))));
}

// A bitmap whose pixels name colours its palette does not have still draws,
// those pixels in black.
void TestPictures::coloursPastThePalette()
{
    QByteArray bytes = CorpusFile(QStringLiteral("bmp/im_bmp3_8bit_rle8.bmp"));
    qToLittleEndian<quint32>(2, bytes.data() + 14 + 32); // two colours used
    TQZPicture picture;
    if (!picture.Load(bytes, TPictureKind::Bitmap))
        return; // refusing it is as good
    const QImage shown = picture.Rendered(picture.NaturalSize());
    QVERIFY(!IsBlank(shown));
}

// A kind the program does not know loads no picture: the objects behind it
// still load, and its bytes are written back unchanged.
void TestPictures::unknownKindLoadsNothing()
{
    TQZNaloga test;
    test.TestRecord() = NewTestRecord();
    auto page = test.NewPage();
    page->SetPageRecord(NewPageRecord("Pictures", "(Forward)", "(Forward)"));
    auto record = NewRecord<TSlikaRecord>();
    record.PictureKind = 9;
    auto unknown = std::make_unique<TQZRecordObject>(ObjSlika, RecordToBytes(record));
    unknown->SetPayload(QByteArrayLiteral("not a picture at all"));
    page->AddObject(std::move(unknown));
    page->AddObject(std::make_unique<TQZRecordObject>(ObjBesedilo, NewObjectRecord(ObjBesedilo)));
    test.AddPage(std::move(page));

    TQZPageSurface surface;
    TQZNaloga loaded(&surface, &WidgetObjectFactory());
    loaded.LoadFromBytes(test.ToBytes());
    const auto &objects = loaded.Page(0)->Objects();
    QCOMPARE(objects.size(), size_t(2));
    auto *picture = dynamic_cast<TQZSlika *>(objects[0].get());
    QVERIFY(picture && picture->Picture().IsNull());
    QVERIFY(dynamic_cast<TQZBesedilo *>(objects[1].get()));
    const auto saved = RecordFromBytes<TSlikaRecord>(picture->Record());
    QCOMPARE(saved.PictureKind, quint8(9));
    QByteArray stream;
    picture->SaveToStream(stream);
    QCOMPARE(stream.mid(sizeof(TSlikaRecord)), QByteArrayLiteral("not a picture at all"));
    QCOMPARE(RecordFromBytes<TSlikaRecord>(stream).PictureLength.Get(), 20);

    // A picture file chosen in its place replaces the bytes and the kind.
    QVERIFY(
        picture->LoadPictureFile(QDir(CorpusDir).filePath(QStringLiteral("bmp/pil_8bit_pal.bmp"))));
    QCOMPARE(RecordFromBytes<TSlikaRecord>(picture->Record()).PictureKind, quint8(0));
    QVERIFY(picture->Payload().startsWith("BM"));
}

void TestPictures::stretchAndNaturalSize()
{
    TQZPageSurface surface;
    surface.resize(400, 300);
    auto record = NewRecord<TSlikaRecord>();
    record.Left = 10;
    record.Top = 20;
    record.Width = 100;
    record.Height = 50;
    record.PictureKind = 0;
    TQZSlika picture(&surface, record);
    picture.LoadPayload(TwoColourBitmap(40, 10));
    QCOMPARE(picture.Image()->geometry(), QRect(10, 20, 100, 50));
    QCOMPARE(picture.Picture().NaturalSize(), QSize(40, 10));

    // Stretched: the halves fill the whole control.
    QImage shot = picture.Image()->grab().toImage();
    QCOMPARE(shot.pixelColor(5, 45), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(95, 45), QColor(Qt::blue));

    // Natural size from the top-left corner; the rest stays empty.
    auto natural = record;
    natural.Stretch = 0;
    picture.ApplyRecord(natural);
    QVERIFY(!picture.Image()->Stretch());
    shot = picture.Image()->grab().toImage();
    QCOMPARE(shot.pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(shot.pixelColor(25, 5), QColor(Qt::blue));
    QVERIFY(shot.pixelColor(45, 5) != QColor(Qt::blue));
    QVERIFY(shot.pixelColor(5, 30) != QColor(Qt::red));

    // Clipped to a control smaller than the picture.
    picture.ResizeTo(15, 5);
    shot = picture.Image()->grab().toImage();
    QCOMPARE(shot.size(), QSize(15, 5));
    QCOMPARE(shot.pixelColor(14, 4), QColor(Qt::red));

    picture.MoveTo(30, 40);
    QCOMPARE(picture.Image()->geometry(), QRect(30, 40, 15, 5));
    const auto live = RecordFromBytes<TSlikaRecord>(picture.Record());
    QCOMPARE(live.Left.Get(), 30);
    QCOMPARE(live.Width.Get(), 15);
    QCOMPARE(live.Stretch, quint8(0));
}

// Pictures lie beneath framed objects, whatever the order they were made in,
// and a framed object covers them on screen.
void TestPictures::beneathFramedObjects()
{
    TQZPageSurface surface;
    surface.resize(300, 200);
    auto panelRecord = NewRecord<TPanelBesediloRecord>();
    panelRecord.Left = 50;
    panelRecord.Top = 50;
    panelRecord.Width = 100;
    panelRecord.Height = 40;
    TQZPanelBesedilo panel(&surface, panelRecord);
    auto record = NewRecord<TSlikaRecord>();
    record.Width = 300;
    record.Height = 200;
    TQZSlika picture(&surface, record);
    picture.LoadPayload(TwoColourBitmap(8, 8));
    surface.show();
    QVERIFY(QTest::qWaitForWindowExposed(&surface));

    const QObjectList &stack = surface.children();
    QVERIFY(stack.indexOf(picture.Face()) < stack.indexOf(panel.Face()));
    const QImage shot = surface.grab().toImage();
    QCOMPARE(shot.pixelColor(10, 10), QColor(Qt::red));
    QVERIFY(shot.pixelColor(100, 70) != QColor(Qt::red));
}

// The builder takes picture files by their extension; the kind saved is the
// loaded one, the bytes are the file's.
void TestPictures::builderLoadsFiles()
{
    TQZPageSurface surface;
    auto record = NewRecord<TSlikaRecord>();
    record.PictureKind = 0;
    TQZSlika picture(&surface, record);
    for (const auto &[name, kind] : {std::pair{"ico/im_32_16.ico", TPictureKind::Icon},
                                     std::pair{"wmf/pillow_drawing.wmf", TPictureKind::Metafile},
                                     std::pair{"emf/pillow_drawing.emf", TPictureKind::Metafile},
                                     std::pair{"bmp/pil_8bit_pal.bmp", TPictureKind::Bitmap}}) {
        const QString path = QDir(CorpusDir).filePath(QString::fromLatin1(name));
        QString error;
        QVERIFY2(picture.LoadPictureFile(path, &error), qPrintable(error));
        QCOMPARE(picture.Payload(), CorpusFile(QString::fromLatin1(name)));
        QCOMPARE(RecordFromBytes<TSlikaRecord>(picture.Record()).PictureKind, quint8(kind));
    }
    QCOMPARE(picture.Picture().NaturalSize(), QSize(96, 64));

    // A file that is not a picture leaves the picture as it was.
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("note.txt"));
    const QString fakeBitmap = dir.filePath(QStringLiteral("fake.bmp"));
    WriteWholeFile(text, "hello");
    WriteWholeFile(fakeBitmap, "BM but nothing else");
    QString error;
    QVERIFY(!picture.LoadPictureFile(text, &error));
    QVERIFY(!picture.LoadPictureFile(fakeBitmap, &error));
    QVERIFY(error.contains(QLatin1String("fake.bmp")));
    QCOMPARE(picture.Payload(), CorpusFile(QStringLiteral("bmp/pil_8bit_pal.bmp")));
    QVERIFY(!picture.LoadPictureFile(dir.filePath(QStringLiteral("missing.ico")), &error));
}

// The pictures the build draws for the example test open in it, each of its
// kind and size.
void TestPictures::examplePictures()
{
    TQZPageSurface surface;
    TQZNaloga demo(&surface, &WidgetObjectFactory());
    demo.LoadTestFile(QStringLiteral(CORVELLA_EXAMPLES_DIR "/Demo.cvl"));
    const int index = demo.FindPage(QStringLiteral("Pictures and media"));
    QVERIFY(index < demo.PageCount());
    TQZScriptedInteraction script; // the page's clip may not be found from here
    demo.GoToPage(index);
    QList<std::pair<TPictureKind, QSize>> pictures;
    for (const auto &object : demo.Page(index)->Objects())
        if (const auto *picture = dynamic_cast<const TQZSlika *>(object.get()))
            pictures << std::pair{picture->Picture().Kind(), picture->Picture().NaturalSize()};
    const QList<std::pair<TPictureKind, QSize>> expected{{TPictureKind::Bitmap, QSize(200, 120)},
                                                         {TPictureKind::Bitmap, QSize(200, 120)},
                                                         {TPictureKind::Icon, QSize(32, 32)},
                                                         {TPictureKind::Metafile, QSize(192, 144)}};
    QCOMPARE(pictures, expected);
}

// Pictures read from a test file are decoded when their page is shown and
// give their memory back when it is left.
void TestPictures::decodedWhileShown()
{
    TQZScriptedInteraction script;
    const QByteArray bitmap = TwoColourBitmap(200, 100);
    TQZNaloga test;
    test.TestRecord() = NewTestRecord();
    for (const char *name : {"One", "Two"}) {
        auto page = test.NewPage();
        page->SetPageRecord(NewPageRecord(name, "(Forward)", "(Forward)"));
        auto object =
            std::make_unique<TQZRecordObject>(ObjSlika, RecordToBytes(NewRecord<TSlikaRecord>()));
        object->SetPayload(bitmap);
        page->AddObject(std::move(object));
        test.AddPage(std::move(page));
    }
    TQZPageSurface surface;
    TQZNaloga loaded(&surface, &WidgetObjectFactory());
    loaded.LoadFromBytes(test.ToBytes());
    const auto pictureOf = [&loaded](int page) {
        return &dynamic_cast<TQZSlika &>(*loaded.Page(page)->Objects()[0]).Picture();
    };
    QCOMPARE(PictureMemoryPixelsInUse(), 0);
    QVERIFY(!pictureOf(0)->IsDecoded() && !pictureOf(1)->IsDecoded());
    loaded.GoToPage(0);
    QVERIFY(pictureOf(0)->IsDecoded() && !pictureOf(1)->IsDecoded());
    QCOMPARE(PictureMemoryPixelsInUse(), 200 * 100);
    loaded.GoToPage(1);
    QVERIFY(!pictureOf(0)->IsDecoded() && pictureOf(1)->IsDecoded());
    QCOMPARE(PictureMemoryPixelsInUse(), 200 * 100);
    QCOMPARE(loaded.ToBytes(), test.ToBytes());
    QVERIFY(script.Messages.isEmpty());
}

// Bitmaps of some kilobytes each claiming 30 million pixels: the page shows
// the ones the picture memory holds and tells of the one it does not.
void TestPictures::memoryBudget()
{
    constexpr qint32 Width = 6000;
    constexpr qint32 Height = 5000; // 30 million pixels
    QByteArray rle(14 + 40 + 256 * 4, '\0');
    rle[0] = 'B';
    rle[1] = 'M';
    qToLittleEndian<quint32>(quint32(rle.size()), rle.data() + 10);
    qToLittleEndian<quint32>(40, rle.data() + 14);
    qToLittleEndian<qint32>(Width, rle.data() + 18);
    qToLittleEndian<qint32>(Height, rle.data() + 22);
    qToLittleEndian<quint16>(1, rle.data() + 26);
    qToLittleEndian<quint16>(8, rle.data() + 28);
    qToLittleEndian<quint32>(1, rle.data() + 30); // run-length coded, 8 bits
    for (qint32 row = 0; row < Height; ++row)
        rle.append("\x00\x00", 2); // end of line: the row stays colour 0
    rle.append("\x00\x01", 2);     // end of bitmap
    rle.append(QByteArray(Width * qint64(Height) / 512 - rle.size() + 1024, '\0'));
    qToLittleEndian<quint32>(quint32(rle.size()), rle.data() + 2);

    TQZScriptedInteraction script;
    TQZNaloga test;
    test.TestRecord() = NewTestRecord();
    auto page = test.NewPage();
    page->SetPageRecord(NewPageRecord("Large", "(Forward)", "(Forward)"));
    for (int i = 0; i < 4; ++i) {
        auto object =
            std::make_unique<TQZRecordObject>(ObjSlika, RecordToBytes(NewRecord<TSlikaRecord>()));
        object->SetPayload(rle);
        page->AddObject(std::move(object));
    }
    test.AddPage(std::move(page));
    TQZPageSurface surface;
    TQZNaloga loaded(&surface, &WidgetObjectFactory());
    loaded.LoadFromBytes(test.ToBytes());
    loaded.GoToPage(0);
    QCOMPARE(script.MessageTexts(),
             QStringList{QStringLiteral("Cannot read a picture: the pictures shown at once would "
                                        "take more memory than a test may use for them")});
    QCOMPARE(PictureMemoryPixelsInUse(), 3 * qint64(Width) * Height);
    QVERIFY(PictureMemoryPixelsInUse() <= PictureMemoryPixels);
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
