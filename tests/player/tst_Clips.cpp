// A test whose clips name files outside its folder, taken in the player: each
// such clip is refused with the page's own message, the clip beside the test
// plays, and nothing in the folder next to the test is opened or read.
#include "QZPlayerRun.h"

#include "QZMedia.h"
#include "QZOpenWatch.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

const QString CanNotOpen = QStringLiteral("I can not open the Media Player");

QString CorpusSound()
{
    return QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/media/sox_alaw_8000.wav");
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

class TestClips : public TPlayerTest
{
    Q_OBJECT

private slots:
    void clipsStayInTheTestsFolder();
};

void TestClips::clipsStayInTheTestsFolder()
{
    // The sentinel is a good clip, which the player would play if any name
    // led to it: from the current folder, by its full path, up and out, or
    // through links.
    const QString outside = File(QStringLiteral("outside"));
    const QString folder = File(QStringLiteral("test"));
    QVERIFY(QDir().mkpath(outside) && QDir().mkpath(folder + QStringLiteral("/clips")));
    const QString sentinel = outside + QStringLiteral("/sentinel.wav");
    QVERIFY(QFile::copy(CorpusSound(), sentinel));
    QVERIFY(QFile::copy(CorpusSound(), folder + QStringLiteral("/clips/chime.wav")));
    QVERIFY(QFile::link(QStringLiteral("../outside/sentinel.wav"),
                        folder + QStringLiteral("/link.wav")));
    QVERIFY(QFile::link(outside, folder + QStringLiteral("/linked")));

    TTestPlan plan;
    plan.Pages = {{"Clips",
                   {Clip("clips\\Chime.WAV"), Clip("../outside/sentinel.wav"),
                    Clip(sentinel.toLocal8Bit()), Clip("sentinel.wav"), Clip("link.wav"),
                    Clip("linked\\sentinel.wav"), Clip("quiz.cvl"), Button("Exit", 4)}}};
    const QString test = Write(QStringLiteral("test/quiz.cvl"), plan);

    const TCurrentFolder here(outside);
    TQZOpenWatch watch(outside);
    QVERIFY(watch.IsWatching());
    TRun run({test});
    QVERIFY(run.Start());

    QCOMPARE(run.PageName(), QStringLiteral("Clips"));
    QCOMPARE(run.Script.MessageTexts(), QStringList(6, CanNotOpen));
    for (const auto &message : std::as_const(run.Script.Messages))
        QCOMPARE(message.Caption, QStringLiteral("Error"));
    // Only the clip beside the test is open (an open clip has its picture
    // widget), and every display is shown with its caption.
    int open = 0;
    const auto displays = run.Window().findChildren<TQZMediaDisplay *>();
    QCOMPARE(displays.size(), 7);
    for (const TQZMediaDisplay *display : displays) {
        open += display->Video() ? 1 : 0;
        QVERIFY(display->isVisible());
    }
    QCOMPARE(open, 1);
    QCOMPARE(watch.Touched(), QStringList());
    // The watch sees an open of the sentinel.
    QFile opened(sentinel);
    QVERIFY(opened.open(QIODevice::ReadOnly));
    QCOMPARE(watch.Touched(), QStringList{QStringLiteral("sentinel.wav")});
}

#include "tst_Clips.moc"
QObject *NewTestClips() { return new TestClips; }
