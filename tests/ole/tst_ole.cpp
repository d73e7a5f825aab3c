// OLE objects and their streams: object streams from real compound files
// loaded and saved bit for bit through a test file, damaged streams refused
// with an error, presentations, package objects made from files, the size
// modes, the empty frame and the builder's record change, and corvtool's dump
// of an object.
#include "QZOleTestFiles.h"

#include "QZCompoundFile.h"
#include "QZControls.h"
#include "QZOle.h"
#include "QZOleActivation.h"
#include "QZOlePresentation.h"
#include "QZRecordFields.h"
#include "QZStream.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <random>

namespace {

// The compound-file image's sector size is 512 in every file used here.
qsizetype SectorOffset(quint32 sector) { return (qsizetype(sector) + 1) * 512; }
quint32 U32(const QByteArray &bytes, qsizetype at)
{
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
void SetU32(QByteArray &bytes, qsizetype at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

} // namespace

class TestOle : public QObject
{
    Q_OBJECT

private slots:
    void init() { SetOleAlwaysActivate(false); }
    void corpusRoundTrip_data();
    void corpusRoundTrip();
    void malformed_data();
    void malformed();
    void mutations();
    void presentations();
    void package();
    void sizeModes();
    void emptyFrameAndBuilder();
    void corvtoolNamesTheClass();
};

void TestOle::corpusRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    const QStringList names = QDir(CorpusOle).entryList(QDir::Files, QDir::Name);
    QVERIFY(names.size() >= 8);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << name;
}

// Every storage loads through the widget factory and the test file saves back
// bit for bit.
void TestOle::corpusRoundTrip()
{
    QFETCH(QString, name);
    const QByteArray storage = ReadCorpus(name);
    QVERIFY(!storage.isEmpty());
    const QByteArray stream = TOleObject::MakeStream(OleAspectContent, storage);
    const QByteArray file = TestFileWithOle(stream);

    TQZPageSurface surface;
    TQZNaloga test(&surface, &WidgetObjectFactory());
    test.LoadFromBytes(file);
    auto *ole = dynamic_cast<TQZOle *>(test.Page(0)->Objects().at(0).get());
    QVERIFY(ole);
    QVERIFY(ole->Object().has_value());
    QCOMPARE(ole->Object()->Stream(), stream);
    QCOMPARE(test.ToBytes(), file);

    // Storages with a \1CompObj name their type.
    const bool hasCompObj = TCompoundFile(storage).Stream("\001CompObj").has_value();
    QCOMPARE(!ole->Object()->TypeName().isEmpty(), hasCompObj);
}

void TestOle::malformed_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QString>("cause");
    const QByteArray storage = ReadCorpus(QStringLiteral("libgsf_createole_small_and_70k.ole"));
    const QByteArray good = TOleObject::MakeStream(OleAspectContent, storage);

    QByteArray signature = good;
    signature[0] = 'X';
    QTest::newRow("bad signature") << signature << QStringLiteral("does not begin with \"BDOC\"");
    QTest::newRow("shorter than the header") << good.left(11) << QStringLiteral("shorter");
    QByteArray aspect = good;
    SetU32(aspect, 4, 3);
    QTest::newRow("unknown aspect") << aspect << QStringLiteral("unknown aspect 3");
    QByteArray longer = good;
    SetU32(longer, 8, quint32(storage.size() + 1));
    QTest::newRow("length past the end") << longer << QStringLiteral("does not fit");
    QByteArray negative = good;
    SetU32(negative, 8, 0xFFFFFFF0);
    QTest::newRow("negative length") << negative << QStringLiteral("does not fit");
    QTest::newRow("truncated compound file")
        << TOleObject::MakeStream(OleAspectContent, storage.left(storage.size() / 2))
        << QStringLiteral("storage is damaged");
    QTest::newRow("not a compound file")
        << TOleObject::MakeStream(OleAspectContent, QByteArray(2048, 'x'))
        << QStringLiteral("compound-file header");

    // The directory's chain pointing back at itself.
    QByteArray cycle = storage;
    const quint32 fatSector = U32(cycle, 0x4C);
    const quint32 directory = U32(cycle, 0x30);
    SetU32(cycle, SectorOffset(fatSector) + 4 * directory, directory);
    QTest::newRow("cycle in a chain")
        << TOleObject::MakeStream(OleAspectContent, cycle) << QStringLiteral("loops");

    // A directory entry naming the root as its sibling.
    QByteArray tree = storage;
    SetU32(tree, SectorOffset(directory) + 128 + 0x48, 0);
    QTest::newRow("loop in the directory tree")
        << TOleObject::MakeStream(OleAspectContent, tree) << QStringLiteral("directory tree loops");

    // A package whose content runs past its stream.
    QByteArray native;
    native.resize(8);
    SetU32(native, 0, 4);
    TCompoundFileWriter writer(QByteArray(16, '\0'));
    writer.AddStream("\001Ole10Native", native);
    QTest::newRow("damaged package") << TOleObject::MakeStream(OleAspectIcon, writer.Finish())
                                     << QStringLiteral("package's file is damaged");
}

// A stream that does not hold raises an error, and a test file holding it
// fails to open: never a crash, never a partly read object.
void TestOle::malformed()
{
    QFETCH(QByteArray, stream);
    QFETCH(QString, cause);
    try {
        TOleObject::FromStream(stream);
        QFAIL("the stream was accepted");
    } catch (const TQZFileError &error) {
        QVERIFY2(error.Cause().contains(cause), qPrintable(error.Cause()));
    }
    TQZPageSurface surface;
    TQZNaloga test(&surface, &WidgetObjectFactory());
    QVERIFY_THROWS_EXCEPTION(TQZFileError, test.LoadFromBytes(TestFileWithOle(stream)));
    QCOMPARE(OleTypeNameOf(stream), QString());
}

// Damage anywhere in the structures of real storages either loads or is
// refused with an error; seeded, so a failure repeats.
void TestOle::mutations()
{
    std::mt19937 random(20261207);
    const QStringList names = QDir(CorpusOle).entryList(QDir::Files, QDir::Name);
    int refused = 0;
    for (const QString &name : names) {
        const QByteArray storage = ReadCorpus(name);
        if (storage.size() > 65536)
            continue;
        for (int round = 0; round < 150; ++round) {
            QByteArray damaged = storage;
            const int flips = 1 + int(random() % 8);
            for (int i = 0; i < flips; ++i) {
                // Mostly the header, the tables and the directory.
                const qsizetype span =
                    random() % 2 ? qMin<qsizetype>(damaged.size(), 2048) : damaged.size();
                damaged[qsizetype(random() % span)] = char(random());
            }
            if (round % 10 == 0)
                damaged.truncate(qsizetype(random() % damaged.size()));
            try {
                const TOleObject object =
                    TOleObject::FromStream(TOleObject::MakeStream(OleAspectContent, damaged));
                QImage image(64, 48, QImage::Format_RGB32);
                QPainter painter(&image);
                DrawOleObject(painter, image.rect(), object, round % 4);
                OleActivationFile(object);
            } catch (const TQZFileError &) {
                ++refused;
            }
        }
    }
    QVERIFY(refused > 0);
}

// The presentation cached in a Word picture's storage is a metafile of the
// object's extent; documents without one name their type.
void TestOle::presentations()
{
    const auto word = TOleObject::FromStream(TOleObject::MakeStream(
        OleAspectContent,
        ReadCorpus(QStringLiteral("embedded_rtfpipe_issue46_obj1_WordPicture8.cfb"))));
    QVERIFY(word.Presentation().has_value());
    QVERIFY(!word.Presentation()->ExtentHiMetric.isEmpty());
    QCOMPARE(word.ProgId(), QStringLiteral("Word.Picture.8"));

    // The metafile is drawn by the picture layer that the OLE object wires
    // in; without it the frame names the type instead.
    const auto drawn = [&word] {
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        DrawOleObject(painter, image.rect(), word, OleSizeStretch);
        return image;
    };
    {
        TQZPageSurface surface;
        TQZOle ole(&surface, RecordFromBytes<TOleRecord>(NewObjectRecord(ObjOle)));
    }
    const TOleMetafileRenderer installed = SetOleMetafileRenderer(nullptr);
    QVERIFY(installed);
    const QImage frame = drawn();
    SetOleMetafileRenderer(installed);
    QVERIFY(drawn() != frame);

    const auto sheet = TOleObject::FromStream(TOleObject::MakeStream(
        OleAspectContent, ReadCorpus(QStringLiteral("lo74_excel97_formula.xls"))));
    QVERIFY(!sheet.Presentation().has_value());
    QVERIFY(!sheet.TypeName().isEmpty());
    QCOMPARE(OleFrameText(sheet), sheet.TypeName());

    // Without a presentation the frame names the type: something is drawn.
    QImage image(200, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        DrawOleObject(painter, image.rect(), sheet, OleSizeProportional);
    }
    QVERIFY(image != [] {
        QImage blank(200, 100, QImage::Format_RGB32);
        blank.fill(Qt::white);
        return blank;
    }());
}

// A file embedded as a package keeps its name (without folders, in any
// script) and its content exactly, and opens as that file.
void TestOle::package()
{
    QByteArray content("Plain notes\r\n");
    content.append('\0').append("\xFF\x01 binary tail");
    const QByteArray stream =
        MakePackageStream(QStringLiteral("/home/author/Zapiski čebele.txt"), content);
    const TOleObject object = TOleObject::FromStream(stream);
    QCOMPARE(object.Aspect(), OleAspectIcon);
    QCOMPARE(object.TypeName(), QStringLiteral("Package"));
    QVERIFY(object.Package().has_value());
    QCOMPARE(object.Package()->FileName, QStringLiteral("Zapiski čebele.txt"));
    QCOMPARE(object.Package()->Content, content);
    QCOMPARE(object.ClassId(), QStringLiteral("{0003000C-0000-0000-C000-000000000046}"));
    QCOMPARE(object.Stream(), stream);
    const auto file = OleActivationFile(object);
    QVERIFY(file.has_value());
    QCOMPARE(file->FileName, QStringLiteral("Zapiski čebele.txt"));
    QCOMPARE(file->Content, content);
    // Made twice, the same bytes: a package built at build time is stable.
    QCOMPARE(MakePackageStream(QStringLiteral("Zapiski čebele.txt"), content), stream);
}

void TestOle::sizeModes()
{
    const QRect area(10, 20, 200, 100);
    const QSize natural(50, 40);
    QCOMPARE(OlePresentationRect(area, natural, OleSizeNormal), QRect(10, 20, 50, 40));
    QCOMPARE(OlePresentationRect(area, natural, OleSizeCentred), QRect(85, 50, 50, 40));
    QCOMPARE(OlePresentationRect(area, natural, OleSizeProportional), QRect(47, 20, 125, 100));
    QCOMPARE(OlePresentationRect(area, natural, OleSizeStretch), area);
    // Larger than the area: clipped from the corner or the centre.
    QCOMPARE(OlePresentationRect(area, QSize(400, 50), OleSizeNormal), QRect(10, 20, 400, 50));
    QCOMPARE(OlePresentationRect(area, QSize(400, 50), OleSizeCentred), QRect(-90, 45, 400, 50));
    QCOMPARE(OlePresentationRect(area, QSize(400, 50), OleSizeProportional),
             QRect(10, 57, 200, 25));
    // Records are not validated: an unknown mode draws at normal size.
    QCOMPARE(OlePresentationRect(area, natural, 77), QRect(10, 20, 50, 40));
}

// An empty frame saves its record alone; the builder's record change keeps
// the object and switches activation on; an embedded file becomes a package.
void TestOle::emptyFrameAndBuilder()
{
    TQZPageSurface surface;
    auto record = RecordFromBytes<TOleRecord>(NewObjectRecord(ObjOle));
    record.OleLength = 1234;
    TQZOle ole(&surface, record);
    QByteArray stream;
    ole.SaveToStream(stream);
    QCOMPARE(stream.size(), 32);
    QCOMPARE(RecordFromBytes<TOleRecord>(stream).IsEmpty, 1);

    QTemporaryDir folder;
    const QString name = folder.filePath(QStringLiteral("plan.txt"));
    WriteWholeFile(name, QByteArrayLiteral("plan"));
    ole.EmbedFile(name);
    QVERIFY(ole.ActivatesOnDoubleClick());
    QCOMPARE(ole.Object()->Package()->FileName, QStringLiteral("plan.txt"));
    stream.clear();
    ole.SaveToStream(stream);
    const auto saved = RecordFromBytes<TOleRecord>(stream);
    QCOMPARE(saved.IsEmpty, 0);
    QCOMPARE(saved.OleLength, ole.Payload().size());
    QCOMPARE(stream.mid(32), ole.Payload());

    record.Color = 0x000000FF;
    record.SizeMode = OleSizeStretch;
    ole.ApplyRecord(record);
    QCOMPARE(ole.Data().SizeMode, OleSizeStretch);
    QVERIFY(ole.Object().has_value());
    QVERIFY(ole.ActivatesOnDoubleClick());
    QVERIFY_THROWS_EXCEPTION(TQZFileError, ole.EmbedFile(folder.filePath(QStringLiteral("none"))));
}

// corvtool's dump names each object's type, and the dump packs back without
// a warning to a file that dumps alike.
void TestOle::corvtoolNamesTheClass()
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("ole.cvl"));
    const QByteArray bytes = TestFileWithOle(TOleObject::MakeStream(
        OleAspectContent, ReadCorpus(QStringLiteral("lo74_word97_features_B.doc"))));
    WriteWholeFile(file, bytes);
    QProcess dump;
    dump.start(QStringLiteral(CORVTOOL_PATH), {QStringLiteral("dump"), file});
    QVERIFY(dump.waitForFinished(60000));
    QCOMPARE(dump.exitCode(), 0);
    const QByteArray json = dump.readAllStandardOutput();
    const QJsonObject object = QJsonDocument::fromJson(json)
                                   .object()
                                   .value(QStringLiteral("pages"))
                                   .toArray()
                                   .at(0)
                                   .toObject()
                                   .value(QStringLiteral("objects"))
                                   .toArray()
                                   .at(0)
                                   .toObject();
    QCOMPARE(object.value(QStringLiteral("oleClass")).toString(),
             QStringLiteral("Microsoft Word-Dokument"));

    const QString source = folder.filePath(QStringLiteral("ole.json"));
    const QString repacked = folder.filePath(QStringLiteral("again.cvl"));
    WriteWholeFile(source, json);
    QProcess pack;
    pack.start(QStringLiteral(CORVTOOL_PATH),
               {QStringLiteral("pack"), source, QStringLiteral("-o"), repacked});
    QVERIFY(pack.waitForFinished(60000));
    QCOMPARE(pack.exitCode(), 0);
    QCOMPARE(pack.readAllStandardError(), QByteArray());
    QProcess again;
    again.start(QStringLiteral(CORVTOOL_PATH), {QStringLiteral("dump"), repacked});
    QVERIFY(again.waitForFinished(60000));
    QCOMPARE(again.readAllStandardOutput(), json);
}

QTEST_MAIN(TestOle)
#include "tst_ole.moc"
