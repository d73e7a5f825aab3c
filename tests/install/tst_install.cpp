// What an installation relies on: the answers of the three programs to
// --help and --version, the data folders the programs search, and the file
// type detection of the shared MIME description.

#include "QZDataFolders.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

const QString Version = QStringLiteral(CORVELLA_VERSION);

// The MIME description is read from a folder laid out as an XDG data folder;
// it must be in place before the MIME database is first used.
QTemporaryDir &MimeDataFolder()
{
    static QTemporaryDir folder;
    return folder;
}

bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A test file header as another program may have written it: any banner,
// the given version and wrong-answer mode, no pages.
QByteArray TestHeader(const QByteArray &banner, qint32 version, char wrongAnswerMode)
{
    QByteArray header(2400, '\0');
    header[0] = char(banner.size());
    header.replace(1, banner.size(), banner);
    qToLittleEndian<qint32>(version, header.data() + 52);
    header[2392] = wrongAnswerMode;
    return header;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void programAnswers_data();
    void programAnswers();
    void answersOnlyAlone();

    void dataFoldersInOrder();
    void dataFileFirstFound();

    void testFileType_data();
    void testFileType();
};

void TestInstall::programAnswers_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("name");
    QTest::newRow("player") << QStringLiteral(CORVVIEW_PATH) << QStringLiteral("corvview");
    QTest::newRow("builder") << QStringLiteral(CORVBLD_PATH) << QStringLiteral("corvbld");
    QTest::newRow("tool") << QStringLiteral(CORVTOOL_PATH) << QStringLiteral("corvtool");
}

// Both answers come before any window: with no display to be had (the xcb
// platform and no DISPLAY) a program that made its application object would
// abort instead of answering.
void TestInstall::programAnswers()
{
    QFETCH(QString, program);
    QFETCH(QString, name);
    if (!QFile::exists(program))
        QSKIP("the program is not built in this tree");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));

    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, {QStringLiteral("--version")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardError(), QByteArray());
    const QString version = QString::fromUtf8(process.readAllStandardOutput());
    QCOMPARE(version, QStringLiteral("%1 (Corvella) %2\n").arg(name, Version));

    process.start(program, {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 0);
    QCOMPARE(process.readAllStandardError(), QByteArray());
    const QStringList help = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n');
    QVERIFY2(help.first().startsWith(QStringLiteral("Usage: %1 ").arg(name)),
             qPrintable(help.first()));
    QVERIFY(help.contains(QStringLiteral("      --help     display this help and exit")));
    QVERIFY(help.contains(QStringLiteral("      --version  output version information and exit")));
    // Every further usage line names the program the same way.
    for (const QString &line : help) {
        if (line.startsWith(QStringLiteral("  or:  ")))
            QVERIFY2(line.startsWith(QStringLiteral("  or:  %1 ").arg(name)), qPrintable(line));
    }
}

// With other arguments "--help" is an ordinary argument: corvtool reads it
// as an unknown command.
void TestInstall::answersOnlyAlone()
{
    QProcess process;
    process.start(QStringLiteral(CORVTOOL_PATH),
                  {QStringLiteral("--help"), QStringLiteral("info")});
    QVERIFY(process.waitForFinished(30000));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardOutput().isEmpty());
    QVERIFY(process.readAllStandardError().startsWith("corvtool: unknown command \"--help\""));
}

// The folders are searched beside the program first, then in the XDG data
// folders; a folder that does not exist is left out and one reached twice is
// listed once.
void TestInstall::dataFoldersInOrder()
{
    QTemporaryDir home;
    QTemporaryDir system;
    QVERIFY(home.isValid() && system.isValid());
    QVERIFY(QDir(home.path()).mkpath(QStringLiteral("corvella/tst-install-folder")));
    QVERIFY(QDir(system.path()).mkpath(QStringLiteral("corvella/tst-install-folder")));
    const QString besideProgram =
        QCoreApplication::applicationDirPath() + QStringLiteral("/tst-install-folder");
    QVERIFY(QDir().mkpath(besideProgram));
    const auto removeBeside = qScopeGuard([&] { QDir(besideProgram).removeRecursively(); });

    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    // The system folder twice, once through a path with a detour.
    qputenv("XDG_DATA_DIRS", QFile::encodeName(system.path() + u':' + system.path() +
                                               QStringLiteral("/corvella/..") + u':' + home.path() +
                                               QStringLiteral("/missing")));
    const QStringList folders = DataFolders(QStringLiteral("tst-install-folder"));
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_DATA_DIRS");

    QCOMPARE(folders,
             QStringList({QDir::cleanPath(besideProgram),
                          home.path() + QStringLiteral("/corvella/tst-install-folder"),
                          system.path() + QStringLiteral("/corvella/tst-install-folder")}));
    QVERIFY(DataFolders(QStringLiteral("tst-install-no-such-folder")).isEmpty());
}

// A data file beside the program wins over one in a data folder; one found
// nowhere is named beside the program.
void TestInstall::dataFileFirstFound()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QVERIFY(QDir(home.path()).mkpath(QStringLiteral("corvella")));
    const QString name =
        QStringLiteral("tst-install-%1.txt").arg(QCoreApplication::applicationPid());
    const QString installed = home.path() + QStringLiteral("/corvella/") + name;
    const QString beside = QCoreApplication::applicationDirPath() + u'/' + name;
    QVERIFY(WriteFile(installed, "installed"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
    qputenv("XDG_DATA_DIRS", QFile::encodeName(home.path() + QStringLiteral("/missing")));
    const auto restore = qScopeGuard([&] {
        QFile::remove(beside);
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DATA_DIRS");
    });

    QCOMPARE(DataFile(name), installed);
    QVERIFY(WriteFile(beside, "beside"));
    QCOMPARE(DataFile(name), beside);
    QCOMPARE(DataFile(QStringLiteral("tst-install-missing.txt")),
             QCoreApplication::applicationDirPath() + QStringLiteral("/tst-install-missing.txt"));
}

void TestInstall::testFileType_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("type");

    QFile demo(QStringLiteral(CORVELLA_EXAMPLES_DIR "/Demo.cvl"));
    QVERIFY(demo.open(QIODevice::ReadOnly));
    const QByteArray packed = demo.readAll();
    const QString test = QStringLiteral("application/x-corvella-test");
    const QString page = QStringLiteral("application/x-corvella-page");
    const QString other; // none of ours

    QTest::newRow("example test") << QStringLiteral("Demo.cvl") << packed << test;
    QTest::newRow("example test, no extension") << QStringLiteral("Demo") << packed << test;
    QTest::newRow("other writer, 768")
        << QStringLiteral("old") << TestHeader("Quiz 1.0", 768, 2) << test;
    QTest::newRow("other writer, 512")
        << QStringLiteral("old") << TestHeader("Quiz", 512, 0) << test;
    QTest::newRow("other writer, 256")
        << QStringLiteral("old") << TestHeader(QByteArray(50, 'Q'), 256, 1) << test;
    QTest::newRow("newer version") << QStringLiteral("new") << TestHeader("Quiz", 769, 0) << other;
    QTest::newRow("bad wrong-answer mode")
        << QStringLiteral("odd") << TestHeader("Quiz", 768, 4) << other;
    QTest::newRow("banner too long")
        << QStringLiteral("odd") << TestHeader(QByteArray(64, 'Q'), 768, 0) << other;
    QTest::newRow("page file") << QStringLiteral("Title.cvp") << QByteArray(1292, '\0') << page;
}

// Content is matched against the description alone, laid out in a folder
// of its own before the database was first asked.
void TestInstall::testFileType()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, type);
    QTemporaryDir folder;
    const QString path = folder.filePath(fileName);
    QVERIFY(WriteFile(path, bytes));
    const QString found = QMimeDatabase().mimeTypeForFile(path).name();
    if (type.isEmpty())
        QVERIFY2(!found.startsWith(QStringLiteral("application/x-corvella-")), qPrintable(found));
    else
        QCOMPARE(found, type);
}

int main(int argc, char *argv[])
{
    QTemporaryDir &mime = MimeDataFolder();
    if (!mime.isValid() || !QDir(mime.path()).mkpath(QStringLiteral("mime/packages")) ||
        !QFile::copy(QStringLiteral(CORVELLA_SOURCE_DIR "/desktop/corvella.xml"),
                     mime.path() + QStringLiteral("/mime/packages/corvella.xml")))
        return 1;
    qputenv("XDG_DATA_DIRS", QFile::encodeName(mime.path()));
    qputenv("XDG_DATA_HOME", QFile::encodeName(mime.path() + QStringLiteral("/home")));
    QMimeDatabase().mimeTypeForName(QStringLiteral("application/octet-stream"));
    qunsetenv("XDG_DATA_DIRS");
    qunsetenv("XDG_DATA_HOME");

    QCoreApplication application(argc, argv);
    TestInstall test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_install.moc"
