// The media device and the multimedia object: every clip of the corpus, the
// page's messages for clips that cannot be opened, and the display with its
// bar of four buttons. Clips are named as a test beside them in the corpus
// would name them; which names are refused is tst_cliplookup's.
#include "QZControls.h"
#include "QZMedia.h"
#include "QZMediaDevice.h"
#include "QZNaloga.h"
#include "QZRecordFields.h"
#include "QZScriptedInteraction.h"
#include "QZStran.h"
#include "QZTexts.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QVideoWidget>

namespace {

const QString CanNotOpen = QStringLiteral("I can not open the Media Player");

QString CorpusMedia() { return QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/media/"); }

QString Sound() { return QStringLiteral("sox_alaw_8000.wav"); }

TMediaRecord MediaRecord(const QByteArray &clip, qint32 left = 10, qint32 top = 20)
{
    auto record = RecordFromBytes<TMediaRecord>(NewObjectRecord(ObjMedia));
    record.MediaFile.SetBytes(clip);
    record.Left = left;
    record.Top = top;
    record.Width = 240;
    record.Height = 180;
    return record;
}

// The clips are found as a test in the corpus's media folder finds them.
void TestInCorpus() { SetTestFile(CorpusMedia() + QStringLiteral("test.cvl")); }

} // namespace

class TestMedia : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        TestLoading = false;
        TestInCorpus();
    }
    void cleanupTestCase() { SetTestFile({}); }

    void refusedNames();
    void corpusClips_data();
    void corpusClips();
    void pageReportsEachClipEachTime();
    void builderOpensAtOnce();
    void displayAndBar();
    void playShowsThePicture();
};

// A refused name is not opened, and the device stays closed.
void TestMedia::refusedNames()
{
    TQZMediaDevice device;
    QVERIFY(device.Open(Sound(), nullptr));
    for (const QString &name :
         {QStringLiteral("http://127.0.0.1:9/clip.wav"), QStringLiteral("/dev/zero"),
          CorpusMedia() + Sound(), QStringLiteral("../media/") + Sound(),
          QStringLiteral("no-such-clip.wav"), QString()}) {
        QVERIFY2(!device.Open(name, nullptr), qPrintable(name));
        QVERIFY(!device.IsOpen());
    }
    SetTestFile({});
    QVERIFY(!device.Open(Sound(), nullptr));
}

void TestMedia::corpusClips_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("validity");
    QFile manifest(QStringLiteral(CORVELLA_SOURCE_DIR "/../shared/corpus/MANIFEST.tsv"));
    QVERIFY(manifest.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = manifest.readAll().split('\n');
    int clips = 0;
    for (const QByteArray &line : lines) {
        const QList<QByteArray> cells = line.split('\t');
        if (cells.size() < 3 || !cells[0].startsWith("media/"))
            continue;
        const QString name = QString::fromUtf8(cells[0].mid(6));
        QTest::newRow(cells[0].constData()) << name << QString::fromUtf8(cells[2]);
        ++clips;
    }
    QVERIFY(clips >= 19);
}

void TestMedia::corpusClips()
{
    QFETCH(QString, name);
    QFETCH(QString, validity);
    TQZMediaDevice device;
    PrepareMediaBackend();
    QVideoWidget video;
    const bool opened = device.Open(name, &video);
    if (validity == QStringLiteral("valid")) {
        QVERIFY2(opened, qPrintable(name));
        QCOMPARE(device.FileName(), QFileInfo(CorpusMedia() + name).canonicalFilePath());
        device.Play();
        device.Previous();
        device.Pause();
        device.Stop();
    }
    // A broken clip may open or not, but closing always works.
    QVERIFY(device.Close());
    QVERIFY(!device.IsOpen());
}

// A page shows one box per clip that cannot be opened each time it is shown,
// none when it is left, and shows all its objects anyway.
void TestMedia::pageReportsEachClipEachTime()
{
    TQZScriptedInteraction interaction;
    TQZPageSurface surface;
    TQZStran page(&surface, &WidgetObjectFactory());
    TestLoading = true; // as the player reads a test
    auto *missing = page.AddObject(WidgetObjectFactory().CreateObject(
        ObjMedia, RecordToBytes(MediaRecord("missing.wav")), &surface));
    auto *text = page.AddObject(
        WidgetObjectFactory().CreateObject(ObjBesedilo, NewObjectRecord(ObjBesedilo), &surface));
    auto *good = page.AddObject(WidgetObjectFactory().CreateObject(
        ObjMedia, RecordToBytes(MediaRecord(Sound().toUtf8())), &surface));
    page.AddObject(WidgetObjectFactory().CreateObject(
        ObjMedia, RecordToBytes(MediaRecord("http://127.0.0.1:9/a.wav")), &surface));
    QVERIFY(interaction.Messages.isEmpty());
    surface.show();

    for (int shown = 1; shown <= 2; ++shown) {
        page.Activate();
        QCOMPARE(interaction.MessageTexts(), QStringList(shown * 2, CanNotOpen));
        QCOMPARE(interaction.Messages.last().Caption, QStringLiteral("Error"));
        QVERIFY(FaceOf(text)->isVisible());
        QVERIFY(FaceOf(missing)->isVisible());
        QVERIFY(static_cast<TQZMedia *>(good)->Device().IsOpen());
        QVERIFY(!static_cast<TQZMedia *>(good)->Device().IsStarted()); // never by itself
        page.Deactivate();
        QCOMPARE(interaction.Messages.size(), shown * 2);
        QVERIFY(!static_cast<TQZMedia *>(good)->Device().IsOpen());
        QVERIFY(!FaceOf(text)->isVisible());
    }
    TestLoading = false;
}

// Outside test loading (the builder after a file has been read) a clip opens
// when its object is made and again when new properties are applied.
void TestMedia::builderOpensAtOnce()
{
    TQZScriptedInteraction interaction;
    TQZPageSurface surface;
    TQZMedia media(&surface, MediaRecord("missing.wav"));
    QCOMPARE(interaction.MessageTexts(), QStringList{CanNotOpen});
    QVERIFY(media.Bar()->isVisibleTo(&surface));

    auto record = MediaRecord("libreoffice_gallery_ok.wav");
    record.Caption.SetBytes("Listen");
    media.ApplyRecord(record);
    QCOMPARE(interaction.Messages.size(), 1);
    QVERIFY(media.Device().IsOpen());
    QCOMPARE(media.Display()->CaptionLabel()->text(), QStringLiteral("Listen"));
    // Position and size are not taken from the new record.
    QCOMPARE(media.Display()->geometry(), QRect(10, 20, 240, 180));

    media.ApplyRecord(MediaRecord("/dev/dsp"));
    QCOMPARE(interaction.MessageTexts(), QStringList(2, CanNotOpen));
    QVERIFY(!media.Device().IsOpen());
}

void TestMedia::displayAndBar()
{
    TQZScriptedInteraction interaction;
    TQZPageSurface surface;
    surface.resize(800, 600);
    TQZMedia media(&surface, MediaRecord("", 30, 40));
    interaction.Messages.clear();
    TQZMediaDisplay *display = media.Display();
    QCOMPARE(display->geometry(), QRect(30, 40, 240, 180));
    QCOMPARE(display->CaptionLabel()->text(), QStringLiteral("MultiMedia"));
    QCOMPARE(display->frameShadow(), QFrame::Raised);

    QStringList texts;
    const auto buttons = media.Bar()->findChildren<QPushButton *>();
    for (const QPushButton *button : buttons) {
        texts << button->text();
        QVERIFY(button->focusPolicy() & Qt::TabFocus);
    }
    QCOMPARE(texts, (QStringList{QStringLiteral("Play"), QStringLiteral("Pause"),
                                 QStringLiteral("Stop"), QStringLiteral("Previous")}));
    QCOMPARE(media.Bar()->geometry().topLeft(), QPoint(30, 220));
    QCOMPARE(media.Bar()->width(), 240);
    QVERIFY(media.Bar()->height() > 0);

    media.MoveTo(100, 50);
    media.ResizeTo(320, 200);
    QCOMPARE(display->geometry(), QRect(100, 50, 320, 200));
    QCOMPARE(media.Bar()->geometry().topLeft(), QPoint(100, 250));
    QCOMPARE(media.Bar()->width(), 320);
    QVERIFY(!display->Video()); // no picture without a clip
    QCOMPARE(media.Data().Left, 100);
    QCOMPARE(media.Data().Height, 200);

    media.SetShown(false);
    QVERIFY(!display->isVisibleTo(&surface) && !media.Bar()->isVisibleTo(&surface));
    // The bar's buttons work on a closed clip without effect.
    buttons.first()->click();
    QVERIFY(!media.Device().IsOpen());
    QVERIFY(interaction.Messages.isEmpty());
}

void TestMedia::playShowsThePicture()
{
    TQZScriptedInteraction interaction;
    TQZPageSurface surface;
    surface.resize(800, 600);
    surface.show();
    TestLoading = true;
    TQZMedia media(&surface, MediaRecord("ff_uncompressed_pal8_noaudio.avi"));
    TestLoading = false;
    QVERIFY(media.OpenMedia());
    media.SetShown(true);
    QVERIFY(!media.Display()->Video()->isVisible()); // the caption until it plays
    QTRY_VERIFY(media.Device().HasVideo());
    media.Bar()->findChild<QPushButton *>(QStringLiteral("Play"))->click();
    QTRY_VERIFY(media.Display()->Video()->isVisible());
    media.Bar()->findChild<QPushButton *>(QStringLiteral("Stop"))->click();
    QTRY_VERIFY(!media.Display()->Video()->isVisible());
    QVERIFY(media.CloseMedia());
    QVERIFY(!media.Device().IsOpen());
    QVERIFY(interaction.Messages.isEmpty());
}

QTEST_MAIN(TestMedia)
#include "tst_media.moc"
