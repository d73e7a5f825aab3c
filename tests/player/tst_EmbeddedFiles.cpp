// Embedded files in the player and in corvtool check, on one test file that
// carries every kind of file a test must not open: the question before a
// document is opened, the refusal of everything else, no file read or
// written outside the private folder, and nothing taken back from a copy.
#include "QZPlayerRun.h"

#include "QZEmbeddedFiles.h"
#include "QZNaloga.h"
#include "QZOle.h"
#include "QZOleActivation.h"
#include "QZStream.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

namespace {

const QFileDevice::Permissions OwnerOnly =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
// The bits for the user running the test, which Qt reports beside the owner's.
const QFileDevice::Permissions UserBits = QFileDevice::Permissions(0x0700);

// Every file under `folder`, as paths relative to it.
QStringList FilesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

// Replaces the desktop for the test's lifetime: the opener records what it is
// given and the lookup names a viewer for PDF documents only.
class TFakeDesktop
{
public:
    TFakeDesktop()
        : m_opener(SetOleDesktopOpener([this](const QUrl &url) {
            Opened << url;
            return true;
        }))
        , m_lookup(SetOleApplicationLookup([](const QString &type) {
            return type == QLatin1String("application/pdf") ? PdfViewerName : QString();
        }))
    {
    }
    ~TFakeDesktop()
    {
        SetOleDesktopOpener(m_opener);
        SetOleApplicationLookup(m_lookup);
    }
    QList<QUrl> Opened;

private:
    TOleDesktopOpener m_opener;
    TOleApplicationLookup m_lookup;
};

} // namespace

class TestEmbeddedFiles : public TPlayerTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void playerAsksOrRefuses();
    void corvtoolCheckListsRefusals();

private:
    QTemporaryDir m_runtime;
    QByteArray m_savedRuntime;
};

void TestEmbeddedFiles::initTestCase()
{
    // The private folder goes under the runtime folder in force when the
    // first file is opened.
    QVERIFY(m_runtime.isValid());
    m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    QFile::setPermissions(m_runtime.path(), OwnerOnly);
}

void TestEmbeddedFiles::cleanupTestCase() { qputenv("XDG_RUNTIME_DIR", m_savedRuntime); }

// A double-click on each object: a question for documents, answered No (the
// default) and then Yes; a warning for everything else. Only the copies of
// the files opened are written, and only into one private folder.
void TestEmbeddedFiles::playerAsksOrRefuses()
{
    const QList<TEmbeddedFile> files = EmbeddedFiles();
    const QString testFile = File(QStringLiteral("embedded.cvl"));
    WriteWholeFile(testFile, TestFileWithEmbeddedFiles(files));
    TFakeDesktop desktop;
    TRun run({testFile});
    QVERIFY(run.Start());
    const auto &objects = run.Test()->Page(0)->Objects();
    QCOMPARE(objects.size(), size_t(files.size() + 1));

    struct TExpected
    {
        QString Shown, Question, Refusal;
        QByteArray Content;
    };
    QList<TExpected> expected;
    for (const TEmbeddedFile &file : files)
        expected << TExpected{file.Shown, file.Question, file.Refusal, file.Content};
    expected << TExpected{QStringLiteral("Microsoft Word-Dokument.doc"),
                          WordDocumentQuestion(),
                          {},
                          WordDocumentStorage()};

    QStringList copies;
    for (size_t i = 0; i < objects.size(); ++i) {
        const TExpected &file = expected.at(qsizetype(i));
        auto *ole = dynamic_cast<TQZOle *>(objects.at(i).get());
        QVERIFY(ole && ole->ActivatesOnDoubleClick());
        const auto doubleClick = [&] {
            run.Script.Messages.clear();
            QTest::mouseDClick(ole->View(), Qt::LeftButton, {}, ole->View()->rect().center());
        };
        doubleClick();
        QCOMPARE(run.Script.Messages.size(), 1);
        const TQZScriptedInteraction::TMessage shown = run.Script.Messages.at(0);
        if (!file.Refusal.isEmpty()) {
            QCOMPARE(shown.Kind, TQZMessageKind::Warning);
            QCOMPARE(shown.Caption, QStringLiteral("Warning"));
            QCOMPARE(shown.Text, file.Refusal);
            QCOMPARE(shown.Buttons, TQZButtons(TQZButton::Ok));
            QVERIFY2(desktop.Opened.isEmpty(), qPrintable(file.Shown));
            continue;
        }
        QCOMPARE(shown.Kind, TQZMessageKind::Confirmation);
        QCOMPARE(shown.Caption, OpenEmbeddedCaption);
        QCOMPARE(shown.Text, file.Question);
        QCOMPARE(shown.Buttons, TQZButton::Yes | TQZButton::No);
        QCOMPARE(shown.Default, TQZButton::No);
        // Unanswered, the box takes its default: nothing is opened.
        QVERIFY(desktop.Opened.isEmpty());

        run.Script.Answers = {TQZButton::Yes};
        doubleClick();
        QCOMPARE(run.Script.Messages.size(), 1);
        QCOMPARE(run.Script.Messages.at(0).Text, file.Question);
        QCOMPARE(desktop.Opened.size(), 1);
        const QString path = desktop.Opened.takeFirst().toLocalFile();
        QVERIFY2(path.startsWith(m_runtime.path() + QLatin1Char('/')), qPrintable(path));
        const QFileInfo copy(path);
        QCOMPARE(copy.fileName(), file.Shown);
        QCOMPARE(ReadWholeFile(path), file.Content);
        QCOMPARE(copy.permissions() & ~UserBits, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QCOMPARE(QFileInfo(copy.absolutePath()).permissions() & ~UserBits, OwnerOnly);
        copies << path;
    }
    QCOMPARE(copies.size(), 3);

    // One private folder, owner only, holding the copies of the files opened
    // in folders of their own; nothing beside the test file in its folder.
    const QStringList folders =
        QDir(m_runtime.path())
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    QCOMPARE(folders.size(), 1);
    QVERIFY(folders.at(0).startsWith(QLatin1String("corvella-ole-")));
    const QString folder = QDir(m_runtime.path()).filePath(folders.at(0));
    QCOMPARE(QFileInfo(folder).permissions() & ~UserBits, OwnerOnly);
    QStringList inSubfolders;
    for (const QString &file : FilesUnder(folder))
        if (file.contains(QLatin1Char('/')))
            inSubfolders << QDir(folder).filePath(file);
    copies.sort();
    QCOMPARE(inSubfolders, copies);
    QCOMPARE(FilesUnder(QFileInfo(testFile).absolutePath()),
             QStringList{QStringLiteral("embedded.cvl")});

    // The player never writes back: what another program saves in a copy
    // stays in the copy.
    QList<QByteArray> payloads;
    for (const auto &object : objects)
        payloads << object->Payload();
    const QByteArray test = ReadWholeFile(testFile);
    for (const QString &copy : std::as_const(copies))
        WriteWholeFile(copy, "saved by another program");
    QTest::qWait(800);
    for (size_t i = 0; i < objects.size(); ++i)
        QCOMPARE(objects.at(i)->Payload(), payloads.at(qsizetype(i)));
    QCOMPARE(ReadWholeFile(testFile), test);
}

// corvtool check lists every file the player refuses, with the player's
// reason, and writes nothing anywhere: its home, temporary and runtime
// folders stay empty.
void TestEmbeddedFiles::corvtoolCheckListsRefusals()
{
    const QList<TEmbeddedFile> files = EmbeddedFiles();
    QTemporaryDir folder;
    const QString testFile = folder.filePath(QStringLiteral("embedded.cvl"));
    WriteWholeFile(testFile, TestFileWithEmbeddedFiles(files));
    QTemporaryDir sandbox;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable : {"HOME", "TMPDIR", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME",
                                 "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        const QString path = sandbox.filePath(QLatin1String(variable));
        QVERIFY(QDir().mkdir(path));
        QFile::setPermissions(path, OwnerOnly);
        environment.insert(QLatin1String(variable), path);
    }
    QProcess check;
    check.setProcessEnvironment(environment);
    check.setWorkingDirectory(folder.path());
    check.start(QStringLiteral(CORVTOOL_PATH), {QStringLiteral("check"), testFile});
    QVERIFY(check.waitForFinished(60000));
    QCOMPARE(check.readAllStandardError(), QByteArray());
    QCOMPARE(check.exitCode(), 1);

    QStringList expected;
    for (qsizetype i = 0; i < files.size(); ++i) {
        QString refusal = files.at(i).Refusal;
        if (refusal.isEmpty())
            continue;
        refusal[0] = refusal.at(0).toLower();
        refusal.chop(1);
        expected << QStringLiteral("page 1 \"%1\", object %2 (OLE object): %3")
                        .arg(QString::fromLatin1(EmbeddedPageName))
                        .arg(i + 1)
                        .arg(refusal);
    }
    const QStringList lines = QString::fromUtf8(check.readAllStandardOutput())
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines, expected);
    QCOMPARE(FilesUnder(sandbox.path()), QStringList());
    QCOMPARE(FilesUnder(folder.path()), QStringList{QStringLiteral("embedded.cvl")});
}

QObject *NewTestEmbeddedFiles() { return new TestEmbeddedFiles; }

#include "tst_EmbeddedFiles.moc"
