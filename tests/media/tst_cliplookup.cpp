// Which file a clip name from a test leads to: names that stay in the test's
// folder are found (also as old Windows-made tests spell them), every way out
// of it is refused without touching anything outside, and what is found must
// be a clip of a known kind whose content agrees.
#include "QZClipLookup.h"
#include "QZOpenWatch.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <sys/types.h>

namespace {

QString CorpusMedia() { return QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/media/"); }

const QString Sound = QStringLiteral("sox_alaw_8000.wav");

bool Write(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool Copy(const QString &corpusName, const QString &fileName)
{
    return QFile::copy(CorpusMedia() + corpusName, fileName);
}

dev_t DeviceOf(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_dev : dev_t(-1);
}

// Goes to `folder` for its lifetime.
class TCurrentFolder
{
public:
    explicit TCurrentFolder(const QString &folder)
        : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(folder);
    }
    ~TCurrentFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

} // namespace

Q_DECLARE_METATYPE(TClipFault)

class TestClipLookup : public QObject
{
    Q_OBJECT

private:
    // root/test holds the test and its clips; root/test2 shares the test
    // folder's name as a prefix; root/outside holds a good clip that no name
    // of the test may reach.
    QTemporaryDir m_root;
    QString m_test;
    QString m_outside;

    QString Test(const QString &name) const { return m_test + QLatin1Char('/') + name; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        const QString root = QFileInfo(m_root.path()).canonicalFilePath();
        m_test = root + QStringLiteral("/test");
        m_outside = root + QStringLiteral("/outside");
        for (const QString &folder :
             {m_test + QStringLiteral("/clips"), m_outside, root + QStringLiteral("/test2"),
              Test(QStringLiteral("folder.wav"))})
            QVERIFY(QDir().mkpath(folder));
        QVERIFY(Write(Test(QStringLiteral("quiz.cvl")), QByteArray(2400, '\0')));
        QVERIFY(Copy(Sound, Test(QStringLiteral("clips/chime.wav"))));
        QVERIFY(Copy(Sound, m_outside + QStringLiteral("/sentinel.wav")));
        QVERIFY(Copy(Sound, root + QStringLiteral("/test2/far.wav")));

        // Links that stay inside and links that lead out.
        const std::pair<QString, QString> links[] = {
            {QStringLiteral("inner.wav"), QStringLiteral("clips/chime.wav")},
            {QStringLiteral("full-inner.wav"), Test(QStringLiteral("clips/chime.wav"))},
            {QStringLiteral("out.wav"), QStringLiteral("../outside/sentinel.wav")},
            {QStringLiteral("full-out.wav"), m_outside + QStringLiteral("/sentinel.wav")},
            {QStringLiteral("outdir"), m_outside},
            {QStringLiteral("prefix"), root + QStringLiteral("/test2")},
            {QStringLiteral("noise.wav"), QStringLiteral("/dev/urandom")},
            {QStringLiteral("loop.wav"), QStringLiteral("loop.wav")},
        };
        for (const auto &[name, target] : links)
            QVERIFY(QFile::link(target, Test(name)));
        QVERIFY(::link(QFile::encodeName(Test(QStringLiteral("quiz.cvl"))).constData(),
                       QFile::encodeName(Test(QStringLiteral("self.wav"))).constData()) == 0);
        QVERIFY(::mkfifo(QFile::encodeName(Test(QStringLiteral("pipe.wav"))).constData(), 0600) ==
                0);

        // Clips whose content is not what their extension says.
        QVERIFY(Write(Test(QStringLiteral("words.wav")), "Just some words, no sound at all.\n"));
        QVERIFY(Copy(Sound, Test(QStringLiteral("tune.mid"))));
        QVERIFY(
            Copy(QStringLiteral("jzz_test-c-major-scale.mid"), Test(QStringLiteral("scale.avi"))));
        QVERIFY(Write(Test(QStringLiteral("list.wav")),
                      "#EXTM3U\n#EXTINF:1,\n../outside/sentinel.wav\n"));
        QVERIFY(Copy(QStringLiteral("jzz_test-illegal-message-fd.mid"),
                     Test(QStringLiteral("broken.mid"))));
        QVERIFY(Copy(Sound, Test(QStringLiteral("notes.txt"))));
    }

    void init() { SetTestFile(Test(QStringLiteral("quiz.cvl"))); }
    void cleanupTestCase() { SetTestFile({}); }

    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<TClipFault>("fault");
        QTest::addColumn<QString>("found"); // below the test's folder

        const QString chime = QStringLiteral("clips/chime.wav");
        const auto found = [&chime](const char *row, const QString &name) {
            QTest::newRow(row) << name << TClipFault::None << chime;
        };
        found("plain", chime);
        found("backslashes", QStringLiteral("clips\\chime.wav"));
        found("other case", QStringLiteral("CLIPS\\Chime.WAV"));
        found("dots inside", QStringLiteral("./clips/./../clips/chime.wav"));
        found("blanks around", QStringLiteral("  clips/chime.wav "));
        found("link inside", QStringLiteral("inner.wav"));
        found("full link inside", QStringLiteral("full-inner.wav"));

        const auto refused = [](const char *row, const QString &name, TClipFault fault,
                                const QString &path = {}) {
            QTest::newRow(row) << name << fault << path;
        };
        refused("empty", QStringLiteral("  "), TClipFault::NoName);
        refused("web address", QStringLiteral("http://127.0.0.1:9/clip.wav"), TClipFault::Address);
        refused("file address",
                QStringLiteral("file://") + m_outside + QStringLiteral("/sentinel.wav"),
                TClipFault::Address);
        refused("device", QStringLiteral("/dev/zero"), TClipFault::Address);
        refused("full path inside", Test(chime), TClipFault::FullPath);
        refused("drive letter", QStringLiteral("C:\\clips\\chime.wav"), TClipFault::FullPath);
        refused("share", QStringLiteral("\\\\server\\clips\\chime.wav"), TClipFault::FullPath);
        refused("up and out", QStringLiteral("../outside/sentinel.wav"), TClipFault::OutsideFolder);
        refused("down, then up and out", QStringLiteral("clips\\..\\..\\outside\\sentinel.wav"),
                TClipFault::OutsideFolder);
        refused("link out", QStringLiteral("out.wav"), TClipFault::OutsideFolder);
        refused("full link out", QStringLiteral("full-out.wav"), TClipFault::OutsideFolder);
        refused("through a folder link", QStringLiteral("outdir/sentinel.wav"),
                TClipFault::OutsideFolder);
        refused("sibling sharing the prefix", QStringLiteral("prefix/far.wav"),
                TClipFault::OutsideFolder);
        refused("link to a device", QStringLiteral("noise.wav"), TClipFault::OutsideFolder);
        refused("link loop", QStringLiteral("loop.wav"), TClipFault::Missing);
        refused("from the current folder", QStringLiteral("sentinel.wav"), TClipFault::Missing);
        refused("missing", QStringLiteral("clips/missing.wav"), TClipFault::Missing);
        refused("file as folder", QStringLiteral("clips/chime.wav/a.wav"), TClipFault::Missing);
        refused("folder", QStringLiteral("folder.wav"), TClipFault::NotAFile,
                QStringLiteral("folder.wav"));
        refused("pipe", QStringLiteral("pipe.wav"), TClipFault::NotAFile,
                QStringLiteral("pipe.wav"));
        refused("the test itself", QStringLiteral("quiz.cvl"), TClipFault::UnknownKind);
        refused("the test, linked", QStringLiteral("self.wav"), TClipFault::TestFile,
                QStringLiteral("self.wav"));
        refused("no clip kind", QStringLiteral("notes.txt"), TClipFault::UnknownKind);
        refused("text as sound", QStringLiteral("words.wav"), TClipFault::WrongContent,
                QStringLiteral("words.wav"));
        refused("sound as MIDI", QStringLiteral("tune.mid"), TClipFault::WrongContent,
                QStringLiteral("tune.mid"));
        refused("MIDI as video", QStringLiteral("scale.avi"), TClipFault::WrongContent,
                QStringLiteral("scale.avi"));
        refused("playlist", QStringLiteral("list.wav"), TClipFault::WrongContent,
                QStringLiteral("list.wav"));
        refused("broken MIDI", QStringLiteral("broken.mid"), TClipFault::Unplayable,
                QStringLiteral("broken.mid"));
    }

    // Run from the folder that holds the sentinel, which the lookup never
    // opens, reads or lists, whatever the name.
    void names()
    {
        QFETCH(QString, name);
        QFETCH(TClipFault, fault);
        QFETCH(QString, found);
        const TCurrentFolder here(m_outside);
        TQZOpenWatch watch(m_outside);
        QVERIFY(watch.IsWatching());

        const TClipLookup lookup = LookUpClip(name);
        QCOMPARE(lookup.Fault, fault);
        QCOMPARE(lookup.Path, found.isEmpty() ? QString() : Test(found));
        QCOMPARE(watch.Touched(), QStringList());
    }

    void withoutTestFile()
    {
        const TCurrentFolder here(m_test);
        SetTestFile({});
        QCOMPARE(TestFolder(), QString());
        QCOMPARE(LookUpClip(QStringLiteral("clips/chime.wav")).Fault, TClipFault::NoTestFolder);
        QCOMPARE(ClipNameForFile(Test(QStringLiteral("clips/chime.wav"))), QString());
    }

    // What the builder stores for a clip the author chose.
    void namesForChosenFiles()
    {
        QCOMPARE(ClipNameForFile(Test(QStringLiteral("clips/chime.wav"))),
                 QStringLiteral("clips/chime.wav"));
        QCOMPARE(ClipNameForFile(Test(QStringLiteral("clips/../clips/chime.wav"))),
                 QStringLiteral("clips/chime.wav"));
        // A link inside the folder to a clip inside names the clip itself.
        QCOMPARE(ClipNameForFile(Test(QStringLiteral("inner.wav"))),
                 QStringLiteral("clips/chime.wav"));
        // Kind and content are the player's business: the place is what counts.
        QCOMPARE(ClipNameForFile(Test(QStringLiteral("words.wav"))), QStringLiteral("words.wav"));
        QCOMPARE(ClipNameForFile(m_outside + QStringLiteral("/sentinel.wav")), QString());
        QCOMPARE(ClipNameForFile(Test(QStringLiteral("outdir/sentinel.wav"))), QString());
        QCOMPARE(ClipNameForFile(Test(QStringLiteral("prefix/far.wav"))), QString());
        QCOMPARE(ClipNameForFile(Test(QStringLiteral("missing.wav"))), QString());
    }

    // A test on another file system (a USB stick, a share) finds its clips
    // beside it; a name from a test's folder into another file system is
    // refused, also for a test in the root folder.
    void mountPoints()
    {
        const QString shared = QStringLiteral("/dev/shm");
        if (!QFileInfo(shared).isDir() || DeviceOf(shared) == DeviceOf(QStringLiteral("/")) ||
            DeviceOf(QStringLiteral("/dev")) == DeviceOf(QStringLiteral("/")))
            QSKIP("needs /dev and /dev/shm mounted apart from the root file system");
        QTemporaryDir stick(shared + QStringLiteral("/corvella-XXXXXX"));
        QVERIFY(stick.isValid());
        QVERIFY(Copy(Sound, stick.filePath(Sound)));
        SetTestFile(stick.filePath(QStringLiteral("quiz.cvl")));
        const TClipLookup beside = LookUpClip(Sound);
        QCOMPARE(beside.Fault, TClipFault::None);
        QCOMPARE(beside.Path, QFileInfo(stick.filePath(Sound)).canonicalFilePath());

        SetTestFile(QStringLiteral("/quiz.cvl"));
        QCOMPARE(TestFolder(), QStringLiteral("/"));
        const QString intoShared =
            QFileInfo(stick.path()).canonicalFilePath().mid(1) + QLatin1Char('/') + Sound;
        QCOMPARE(LookUpClip(intoShared).Fault, TClipFault::OtherMount);
        QCOMPARE(ClipNameForFile(stick.filePath(Sound)), QString());
        QCOMPARE(LookUpClip(QStringLiteral("../") + intoShared).Fault, TClipFault::OutsideFolder);
    }
};

QTEST_MAIN(TestClipLookup)
#include "tst_cliplookup.moc"
