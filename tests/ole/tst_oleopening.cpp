// What opening an embedded file takes: its type from its content and name,
// its clean name, the private folder and its bounds, the removal of earlier
// runs' folders, the application's name, the question's default, and the
// refusals shown in the player and the builder.
#include "QZOleTestFiles.h"

#include "QZControls.h"
#include "QZOle.h"
#include "QZOleActivation.h"
#include "QZOlePrivateFolder.h"
#include "QZRecordFields.h"
#include "QZScriptedInteraction.h"
#include "QZStream.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <sys/file.h>

namespace {

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

class TestOleOpening : public QObject
{
    Q_OBJECT

private slots:
    void init() { SetOleAlwaysActivate(false); }
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
};

void TestOleOpening::fileTypes_data()
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
void TestOleOpening::fileTypes()
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

void TestOleOpening::cleanNames_data()
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

void TestOleOpening::cleanNames()
{
    QFETCH(QString, name);
    QFETCH(QString, clean);
    QCOMPARE(CleanOleFileName(name), clean);
    QVERIFY(CleanOleFileName(name).toUtf8().size() <= 255);
}

// Copies go into one folder of the user's only, each in a folder of its own,
// never executable; the bounds of a run refuse further copies and say why;
// the folder goes with its owner.
void TestOleOpening::privateFolder()
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
void TestOleOpening::staleFolders()
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
void TestOleOpening::applicationName()
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
void TestOleOpening::questionDefaultsToNo()
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
void TestOleOpening::refusedScriptOnDoubleClick()
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
void TestOleOpening::documentActivation()
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

QTEST_MAIN(TestOleOpening)
#include "tst_oleopening.moc"
