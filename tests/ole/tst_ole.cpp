// OLE objects: object streams from real compound files loaded and saved bit
// for bit through a test file, damaged streams refused with an error, package
// objects made from files, what opening an embedded file takes (its type from
// its content and name, its clean name, the private folder and its bounds,
// the removal of earlier runs' folders, the application's name, the question's
// default), and the size modes.
#include "QZCompoundFile.h"
#include "QZControls.h"
#include "QZOle.h"
#include "QZOleActivation.h"
#include "QZOlePresentation.h"
#include "QZOlePrivateFolder.h"
#include "QZRecordFields.h"
#include "QZScriptedInteraction.h"
#include "QZStream.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>

#include <random>

#include <sys/file.h>

namespace {

const QString CorpusOle = QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/ole");

QByteArray ReadCorpus(const QString &name)
{
    QFile file(QDir(CorpusOle).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A test file of one page holding one OLE object with the given stream,
// written by headless record objects.
QByteArray TestFileWithOle(const QByteArray &stream, quint8 activation = 0)
{
    TQZNaloga test;
    auto page = test.NewPage();
    page->SetPageRecord(NewPageRecord("OLE", "(Forward)", "(Forward)"));
    auto record = RecordFromBytes<TOleRecord>(NewObjectRecord(ObjOle));
    record.IsEmpty = 0;
    record.ActivationEnabled = activation;
    record.Left = 100;
    record.Top = 100;
    record.Width = 400;
    record.Height = 300;
    auto object = std::make_unique<TQZRecordObject>(ObjOle, RecordToBytes(record));
    object->SetPayload(stream);
    page->AddObject(std::move(object));
    test.AddPage(std::move(page));
    return test.ToBytes();
}

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

class TRecordingOpener
{
public:
    TRecordingOpener()
        : m_previous(SetOleDesktopOpener([this](const QUrl &url) {
            Opened << url;
            return true;
        }))
        , m_lookup(SetOleApplicationLookup([](const QString &) { return QString(); }))
    {
    }
    ~TRecordingOpener()
    {
        SetOleDesktopOpener(m_previous);
        SetOleApplicationLookup(m_lookup);
    }
    QList<QUrl> Opened;

private:
    TOleDesktopOpener m_previous;
    TOleApplicationLookup m_lookup;
};

const QFileDevice::Permissions OwnerOnly =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
// The bits for the user running the test, which Qt reports beside the owner's.
const QFileDevice::Permissions UserBits = QFileDevice::Permissions(0x0700);

QString OfType(const char *comment, const char *type)
{
    return QStringLiteral("its type is %1 (%2), and tests open only documents, pictures, sound and "
                          "video")
        .arg(QLatin1String(comment), QLatin1String(type));
}

const QString Program =
    QStringLiteral("it is a program, a script or a launcher, and a test never runs programs");

// An id of a process that has ended.
qint64 EndedProcessId()
{
    QProcess process;
    process.start(QStringLiteral("true"), QStringList());
    process.waitForFinished();
    return process.processId() ? process.processId() : 999999;
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
    void fileTypes_data();
    void fileTypes();
    void cleanNames_data();
    void cleanNames();
    void privateFolder();
    void staleFolders();
    void applicationName();
    void questionDefaultsToNo();
    void refusedScriptOnDoubleClick();
    void documentActivation();
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

void TestOle::fileTypes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("type"); // the type it opens as, or empty
    QTest::addColumn<QString>("refusal");
    const auto corpus = [](const char *path) {
        QFile file(QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/") + QLatin1String(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    // Storages as document objects open: the name gives the office type,
    // the content a compound file.
    QTest::newRow("Word storage") << "Document.doc"
                                  << ReadCorpus(QStringLiteral("lo74_word97_features_B.doc"))
                                  << "application/msword" << QString();
    QTest::newRow("Excel storage")
        << "Sheet.xls" << ReadCorpus(QStringLiteral("gnumeric_biff7_and_8.xls"))
        << "application/vnd.ms-excel" << QString();
    QTest::newRow("PowerPoint storage")
        << "Slides.ppt" << ReadCorpus(QStringLiteral("lo74_powerpoint97_one_slide.ppt"))
        << "application/vnd.ms-powerpoint" << QString();
    QTest::newRow("sound") << "Sound.wav" << corpus("media/sox_pcm_s16_mono_22050.wav")
                           << "audio/x-wav" << QString();
    QTest::newRow("video") << "Clip.avi" << corpus("media/ff_xvid_mp3.avi") << "video/x-msvideo"
                           << QString();
    QTest::newRow("MIDI") << "Tune.mid" << corpus("media/abc2midi_single_voice.mid") << "audio/midi"
                          << QString();
    QTest::newRow("bitmap") << "Picture.BMP" << corpus("bmp/ff_bmp_gray.bmp") << "image/bmp"
                            << QString();

    QTest::newRow("ELF program as a picture") << "picture.png"
                                              << QByteArray("\x7F"
                                                            "ELF\x02\x01\x01",
                                                            7)
                                              << QString() << Program;
    QTest::newRow("Windows program as a document")
        << "letter.doc" << QByteArray("MZ\x90\x00", 4) << QString() << Program;
    QTest::newRow("script as text")
        << "notes.txt" << QByteArray("#!/usr/bin/env python3\n") << QString() << Program;
    QTest::newRow("batch file") << "RUN.BAT" << QByteArray("@echo off\r\n") << QString() << Program;
    QTest::newRow("launcher by content")
        << "open me" << QByteArray("# hello\n[Desktop Entry]\nType=Application\nExec=xterm\n")
        << QString() << Program;
    QTest::newRow("launcher by name")
        << "app.desktop" << QByteArray("nothing") << QString() << Program;
    QTest::newRow("zip archive") << "Answers.zip"
                                 << QByteArray("PK\x03\x04\x14\0\0\0", 8) + QByteArray(30, '\0')
                                 << QString() << OfType("Zip archive", "application/zip");
    // No magic of the database matches these bytes.
    QTest::newRow("unknown binary")
        << "data.pdf" << QByteArray("\x93\x5A\x00\x01\xC4\x27\x80\x00", 8).repeated(8) << QString()
        << "its content is of no type that can be recognised";
    QTest::newRow("no extension")
        << "Notes" << QByteArray("plain words\n") << QString()
        << "its content is plain text document (text/plain), but its name has no extension of "
           "that type";
    // ".ogg" may be Ogg audio or video of several codecs: all are opened.
    QTest::newRow("playlist as Ogg")
        << "Song.ogg" << QByteArray("#EXTM3U\nhttp://example.invalid/\n") << QString()
        << OfType("Media playlist", "audio/x-mpegurl");
}

// The type comes from the content and must agree with the name; only
// passive documents are opened, and a refusal says why.
void TestOle::fileTypes()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, type);
    QFETCH(QString, refusal);
    QVERIFY(!content.isEmpty());
    const TOleFileType found = OleFileType(name, content);
    QCOMPARE(found.Refusal, refusal);
    QCOMPARE(found.Name, type);
    QCOMPARE(found.Comment.isEmpty(), type.isEmpty());
}

void TestOle::cleanNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("clean");
    QTest::newRow("plain") << QStringLiteral("Zapiski čebele.txt")
                           << QStringLiteral("Zapiski čebele.txt");
    QTest::newRow("separators") << QStringLiteral("../..\\etc/passwd")
                                << QStringLiteral("_.._etc_passwd");
    QTest::newRow("bidirectional")
        << QStringLiteral("Invoice\u202Efdp.exe\u2066\u2069") << QStringLiteral("Invoicefdp.exe");
    QTest::newRow("invisible and control")
        << QStringLiteral("\u200BNo\u00ADtes\u200D\u0007\u001B[31m\u2028.txt\uFEFF")
        << QStringLiteral("Notes[31m.txt");
    QTest::newRow("hidden") << QStringLiteral(" ..profile ") << QStringLiteral("profile");
    QTest::newRow("nothing left") << QStringLiteral("\u202E..\u200B") << QStringLiteral("Object");
    // 300 letters of two bytes each: cut to 255 bytes, the extension kept.
    QTest::newRow("long") << QString(300, QChar(0x010D)) + QStringLiteral(".pdf")
                          << QString(125, QChar(0x010D)) + QStringLiteral(".pdf");
}

void TestOle::cleanNames()
{
    QFETCH(QString, name);
    QFETCH(QString, clean);
    QCOMPARE(CleanOleFileName(name), clean);
    QVERIFY(CleanOleFileName(name).toUtf8().size() <= 255);
}

// Copies go into one folder of the user's only, each in a folder of its own,
// never executable; the bounds of a run refuse further copies and say why;
// the folder goes with its owner.
void TestOle::privateFolder()
{
    QTemporaryDir base;
    QString path;
    {
        TOlePrivateFolder folder(base.path(), 3, 100);
        QCOMPARE(folder.Path(), QString());
        QString error;
        const QString first = folder.Write(QStringLiteral("a.txt"), "first", error);
        QCOMPARE(error, QString());
        const QString second = folder.Write(QStringLiteral("a.txt"), "second", error);
        QVERIFY(!second.isEmpty() && second != first);
        QCOMPARE(ReadWholeFile(first), QByteArray("first"));
        QCOMPARE(ReadWholeFile(second), QByteArray("second"));
        path = folder.Path();
        QVERIFY(QFileInfo(path).fileName().startsWith(
            QStringLiteral("corvella-ole-%1-").arg(QCoreApplication::applicationPid())));
        QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(base.path()).absoluteFilePath());
        for (const QString &folderOf : {path, QFileInfo(first).absolutePath()})
            QCOMPARE(QFileInfo(folderOf).permissions() & ~UserBits, OwnerOnly);
        QCOMPARE(QFileInfo(first).permissions() & ~UserBits,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        const QString tooLarge = QStringLiteral("with it, the embedded files opened since the "
                                                "program started would take more than 0 MB");
        QCOMPARE(folder.Refusal(90), tooLarge);
        QVERIFY(folder.Write(QStringLiteral("b.txt"), QByteArray(90, 'x'), error).isEmpty());
        QCOMPARE(error, tooLarge);
        QVERIFY(!folder.Write(QStringLiteral("b.txt"), QByteArray(89, 'x'), error).isEmpty());
        QCOMPARE(folder.Copies(), 3);
        QCOMPARE(folder.Bytes(), 100);
        QCOMPARE(folder.Refusal(0), QStringLiteral("3 embedded files have been opened since the "
                                                   "program started, as many as one run may "
                                                   "open"));
    }
    QVERIFY(!QFileInfo::exists(path));

    // The runtime folder when it is the user's, else the temporary folder.
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(base.path()));
    QCOMPARE(OlePrivateBase(), QDir::cleanPath(base.path()));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(base.filePath(QStringLiteral("none"))));
    QCOMPARE(OlePrivateBase(), QDir::tempPath());
    qputenv("XDG_RUNTIME_DIR", "relative");
    QCOMPARE(OlePrivateBase(), QDir::tempPath());
    qputenv("XDG_RUNTIME_DIR", saved);
}

// Only folders of earlier runs go: named with the prefix and the id of a
// process that has ended, real folders, and not locked by a live run.
void TestOle::staleFolders()
{
    QTemporaryDir base;
    QTemporaryDir outside;
    const QString prefix = QLatin1String(OleFolderPrefix);
    const qint64 ended = EndedProcessId();
    QProcess live;
    live.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    QVERIFY(live.waitForStarted());
    const auto make = [&base](const QString &name) {
        const QString path = base.filePath(name);
        QVERIFY(QDir().mkpath(path + QStringLiteral("/1")));
        WriteWholeFile(path + QStringLiteral("/1/copy.pdf"), "copy");
        WriteWholeFile(path + QStringLiteral("/.lock"), "");
    };
    const QString stale = prefix + QString::number(ended) + QStringLiteral("-aB3xYz");
    make(stale);
    make(prefix + QString::number(QCoreApplication::applicationPid()) + QStringLiteral("-own"));
    make(prefix + QString::number(live.processId()) + QStringLiteral("-live"));
    make(prefix + QStringLiteral("x12-name"));
    make(QStringLiteral("other-") + QString::number(ended) + QStringLiteral("-folder"));
    // Locked by a run this process cannot see.
    const QString locked = prefix + QString::number(ended) + QStringLiteral("-locked");
    make(locked);
    QFile lock(base.filePath(locked + QStringLiteral("/.lock")));
    QVERIFY(lock.open(QIODevice::ReadOnly));
    QCOMPARE(::flock(lock.handle(), LOCK_EX | LOCK_NB), 0);
    // A link and a file with a stale name lead nowhere.
    WriteWholeFile(outside.filePath(QStringLiteral("keep.txt")), "keep");
    QVERIFY(QFile::link(outside.path(),
                        base.filePath(prefix + QString::number(ended) + QStringLiteral("-link"))));
    WriteWholeFile(base.filePath(prefix + QString::number(ended) + QStringLiteral("-file")), "");

    const QStringList before = QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    QCOMPARE(RemoveStaleOleFolders(base.path()), 1);
    QStringList after = before;
    after.removeOne(stale);
    QCOMPARE(QDir(base.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), after);
    QVERIFY(QFileInfo::exists(outside.filePath(QStringLiteral("keep.txt"))));

    lock.close();
    live.kill();
    live.waitForFinished();
    QCOMPARE(RemoveStaleOleFolders(base.path()), 2);
}

// The application's name comes from the desktop's default for the type and
// its entry in the data folders; no answer in time, no entry or no name give
// none.
void TestOle::applicationName()
{
    QTemporaryDir folder;
    const QString bin = folder.filePath(QStringLiteral("bin"));
    const QString data = folder.filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(bin) && QDir().mkpath(data + QStringLiteral("/applications/kde")));
    const QString answer = folder.filePath(QStringLiteral("answer"));
    const QString script = bin + QStringLiteral("/xdg-mime");
    WriteWholeFile(script, "#!/bin/sh\n[ \"$1 $2 $3\" = \"query default application/pdf\" ] && "
                           "cat \"" +
                               QFile::encodeName(answer) + "\"\n");
    QVERIFY(QFile::setPermissions(script, OwnerOnly));
    WriteWholeFile(
        data + QStringLiteral("/applications/viewer.desktop"),
        "[Desktop Entry]\nType=Application\nName[xx]=Other\nName = Paper\\sViewer\u202E\n"
        "[Desktop Action New]\nName=New Window\n");
    WriteWholeFile(data + QStringLiteral("/applications/kde/reader.desktop"),
                   "# comment\n[Desktop Entry]\nName=Reader\n");
    WriteWholeFile(data + QStringLiteral("/applications/nameless.desktop"), "[Desktop Entry]\n");

    const QByteArray path = qgetenv("PATH");
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("PATH", QFile::encodeName(bin) + ':' + path);
    qputenv("XDG_DATA_HOME", QFile::encodeName(data));
    const std::pair<QByteArray, QString> cases[] = {
        {"viewer.desktop\n", QStringLiteral("Paper Viewer")},
        {"kde-reader.desktop\n", QStringLiteral("Reader")},
        {"nameless.desktop\n", QString()},
        {"missing.desktop\n", QString()},
        {"../viewer.desktop\n", QString()},
        {"\n", QString()},
    };
    for (const auto &[id, name] : cases) {
        WriteWholeFile(answer, id);
        QCOMPARE(DesktopApplicationName(QStringLiteral("application/pdf")), name);
    }
    QCOMPARE(DesktopApplicationName(QStringLiteral("text/plain")), QString());
    // A desktop that does not answer is not waited for.
    WriteWholeFile(script, "#!/bin/sh\nexec sleep 30\n");
    QCOMPARE(DesktopApplicationName(QStringLiteral("application/pdf"), 200), QString());
    qputenv("PATH", path);
    qputenv("XDG_DATA_HOME", dataHome);
}

// The real box: the question's default button is No, so Enter opens nothing.
void TestOle::questionDefaultsToNo()
{
    TRecordingOpener opener;
    TQZPageSurface surface;
    auto record = RecordFromBytes<TOleRecord>(NewObjectRecord(ObjOle));
    TQZOle ole(&surface, record);
    ole.SetObject(TOleObject::FromStream(MakePackageStream(QStringLiteral("plan.txt"), "plan\n")));
    QString shown;
    bool defaultIsNo = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        shown = box->text();
        defaultIsNo =
            static_cast<QAbstractButton *>(box->defaultButton()) == box->button(QMessageBox::No);
        QTest::keyClick(box, Qt::Key_Return);
    });
    QVERIFY(!ole.Activate());
    QCOMPARE(shown, QStringLiteral("Open the embedded file \"plan.txt\" (plain text document, "
                                   "text/plain) with the default application for text/plain?\n"
                                   "Open embedded files only from tests you trust."));
    QVERIFY(defaultIsNo);
    QVERIFY(opener.Opened.isEmpty());
}

// The player: a double-click on a package holding a shell script shows the
// refusal and runs nothing.
void TestOle::refusedScriptOnDoubleClick()
{
    TQZScriptedInteraction interaction;
    TRecordingOpener opener;
    const QString marker = QDir::temp().filePath(QStringLiteral("corvella-ole-ran"));
    QFile::remove(marker);
    const QByteArray script = "#!/bin/sh\ntouch " + marker.toUtf8() + "\n";
    TQZPageSurface surface;
    TQZNaloga test(&surface, &WidgetObjectFactory());
    test.LoadFromBytes(TestFileWithOle(MakePackageStream(QStringLiteral("install.sh"), script), 1));
    auto *ole = dynamic_cast<TQZOle *>(test.Page(0)->Objects().at(0).get());
    QVERIFY(ole && ole->ActivatesOnDoubleClick());
    ole->SetShown(true);
    surface.show();
    QTest::mouseDClick(ole->View(), Qt::LeftButton, {}, ole->View()->rect().center());
    QCOMPARE(interaction.Messages.size(), 1);
    QCOMPARE(interaction.Messages.at(0).Kind, TQZMessageKind::Warning);
    QCOMPARE(interaction.Messages.at(0).Text,
             QStringLiteral("The embedded file \"install.sh\" is not opened: ") + Program +
                 QLatin1Char('.'));
    QVERIFY(opener.Opened.isEmpty());
    QVERIFY(!QFile::exists(marker));
}

// A document storage opens as a file of its class; the player opens nothing
// whose record switches activation off, the builder everything.
void TestOle::documentActivation()
{
    TQZScriptedInteraction interaction;
    TRecordingOpener opener;
    const QByteArray storage = ReadCorpus(QStringLiteral("lo74_word97_features_B.doc"));
    const QByteArray stream = TOleObject::MakeStream(OleAspectContent, storage);
    TQZPageSurface surface;
    TQZNaloga player(&surface, &WidgetObjectFactory());
    player.LoadFromBytes(TestFileWithOle(stream, 0));
    auto *ole = dynamic_cast<TQZOle *>(player.Page(0)->Objects().at(0).get());
    QVERIFY(ole && !ole->ActivatesOnDoubleClick());
    ole->SetShown(true);
    surface.show();
    QTest::mouseDClick(ole->View(), Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(opener.Opened.isEmpty());

    QVERIFY(interaction.Messages.isEmpty());

    SetOleAlwaysActivate(true);
    TQZNaloga builder(&surface, &WidgetObjectFactory());
    builder.LoadFromBytes(TestFileWithOle(stream, 0));
    ole = dynamic_cast<TQZOle *>(builder.Page(0)->Objects().at(0).get());
    QVERIFY(ole && ole->ActivatesOnDoubleClick());
    ole->SetShown(true);
    interaction.Answers = {TQZButton::Yes};
    QTest::mouseDClick(ole->View(), Qt::LeftButton, {}, QPoint(5, 5));
    QCOMPARE(interaction.Messages.size(), 1);
    QCOMPARE(opener.Opened.size(), 1);
    QCOMPARE(QFileInfo(opener.Opened.at(0).toLocalFile()).fileName(),
             QStringLiteral("Microsoft Word-Dokument.doc"));
    QCOMPARE(ReadWholeFile(opener.Opened.at(0).toLocalFile()), storage);

    // A storage of no known class is not opened, and the box says so.
    const auto unknown = TOleObject::FromStream(TOleObject::MakeStream(
        OleAspectContent, ReadCorpus(QStringLiteral("libgsf_createole_small_and_70k.ole"))));
    QCOMPARE(PrepareOleOpening(unknown).Refusal,
             QStringLiteral("The embedded object \"OLE object\" cannot be opened: no application "
                            "here opens objects of its type."));
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
