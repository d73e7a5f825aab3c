// Start-up of the player: the screen and layout figures, the loading window,
// the test from the command line or the open dialog, opening errors, the
// newer-version end, shuffling, and the main window's close and state.
#include "QZPlayerRun.h"

#include "QZNaloga.h"
#include "QZRTPrvaStran.h"
#include "QZRecordFields.h"
#include "QZScaling.h"
#include "QZStream.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QTest>

#include <sys/stat.h>

namespace {

TTestPlan TwoPages(const QString &title = QStringLiteral("Two pages"))
{
    TTestPlan plan;
    plan.Title = title;
    plan.Pages = {{"First", {Choices({"Right", "Wrong"}, {1}, true, 1), Button("Confirm", 2)}},
                  {"Second", {Button("Exit", 4)}}};
    return plan;
}

const QString Filter = QStringLiteral("Corvella Builder (*.cvl)");
const QString ExitQuestion = QStringLiteral("Do you want to exit?");

} // namespace

class TestStartup : public TPlayerTest
{
    Q_OBJECT

private slots:
    void startsWithLayoutOfScreen();
    void closeAsksOnlyWithTest();
    void openingErrorsLeaveEmptyWindow();
    void newerVersionEndsProgram();
    void openDialogChoosesOrEnds();
    void shuffleFromArguments();
    void emptyTestShowsNothing();
    void windowStaysMaximised();
    void oldFileChoicesInFontRows();
};

void TestStartup::startsWithLayoutOfScreen()
{
    TRun run({Write(QStringLiteral("layout.cvl"), TwoPages(QStringLiteral("Geography")))});
    QVERIFY(run.Start());

    QCOMPARE(ScreenWidth, 1024);
    QCOMPARE(ScreenHeight, 749);
    QCOMPARE(Margin(), 6);
    QCOMPARE(AnswerButtonHeight(), 37);
    QCOMPARE(SurfaceFontHeight(), 30);
    QCOMPARE(run.Window().font().pixelSize(), 30);

    // The loading window showed the progress page by page and is gone.
    TPrvaStran &loading = run.Player->LoadingWindow();
    QVERIFY(!loading.isVisible());
    QCOMPARE(loading.size(), QSize(514, 198));
    QVERIFY(loading.LoadingPanel()->isVisibleTo(&loading));
    QCOMPARE(loading.LoadingPanel()->text(), QStringLiteral("Loading....."));
    QCOMPARE(loading.ProgressBar()->maximum(), 2);
    QCOMPARE(loading.ProgressBar()->value(), 2);

    TGlavnoOkno &window = run.Window();
    QVERIFY(window.isVisible());
    QVERIFY(window.windowState() & Qt::WindowMaximized);
    QCOMPARE(window.windowTitle(), QStringLiteral("Geography"));
    QCOMPARE(run.Test()->CurrentIndex(), 0);
    QVERIFY(run.Player->ResultDialog());
    // Only the first page's objects are shown.
    QVERIFY(run.Shown("Right"));
    QVERIFY(!run.Shown("Exit"));
    QVERIFY(run.Script.Messages.isEmpty());
}

void TestStartup::closeAsksOnlyWithTest()
{
    {
        TQZScriptedInteraction script;
        TGlavnoOkno window;
        QCOMPARE(window.windowTitle(), QStringLiteral("Corvella Builder"));
        window.show();
        QVERIFY(window.close());
        QVERIFY(script.Messages.isEmpty());
    }
    TRun run({Write(QStringLiteral("close.cvl"), TwoPages())});
    QVERIFY(run.Start());
    run.Script.Answers = {TQZButton::No, TQZButton::Yes};
    QVERIFY(!run.Window().close());
    QVERIFY(run.Window().isVisible());
    QVERIFY(run.Window().close());
    QVERIFY(!run.Test());
    QCOMPARE(run.Script.Messages.size(), 2);
    for (const auto &message : std::as_const(run.Script.Messages)) {
        QCOMPARE(message.Text, ExitQuestion);
        QCOMPARE(message.Kind, TQZMessageKind::Confirmation);
        QCOMPARE(message.Buttons, TQZButton::Yes | TQZButton::No);
    }
    QVERIFY(run.Script.Exits.isEmpty());
}

void TestStartup::openingErrorsLeaveEmptyWindow()
{
    const QString missing = File(QStringLiteral("missing.cvl"));
    {
        TRun run({missing});
        QVERIFY(run.Start());
        QCOMPARE(run.Script.MessageTexts(),
                 QStringList{QStringLiteral("Opening error: ") + missing +
                             QStringLiteral("\nNo such file or directory")});
        QCOMPARE(run.Script.Messages.constFirst().Kind, TQZMessageKind::Error);
        QCOMPARE(run.Script.Messages.constFirst().Caption, QStringLiteral("Error"));
        TGlavnoOkno &window = run.Window();
        QVERIFY(window.isVisible());
        QCOMPARE(window.windowTitle(), QStringLiteral("Corvella Builder"));
        QVERIFY(!window.ShownPage());
        QCOMPARE(window.palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
        // The partly read test stays: closing asks.
        QVERIFY(window.close());
        QCOMPARE(run.Script.MessageTexts().value(1), ExitQuestion);
    }

    // A damaged file, a bad number of pages to keep and a pipe named as the
    // test (which must not hold the player up) are opening errors too, each
    // with its cause.
    const QString pipe = File(QStringLiteral("pipe.cvl"));
    QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString damaged = File(QStringLiteral("damaged.cvl"));
    WriteWholeFile(damaged, TestFileBytes(TwoPages()).left(3000));
    const QString whole = Write(QStringLiteral("whole.cvl"), TwoPages());
    const QList<std::pair<QStringList, QString>> cases{
        {{pipe}, QStringLiteral("it is not a file but a device, a pipe or a socket")},
        {{damaged}, QStringLiteral("page 1 of 2: the data ends inside the page record")},
        {{whole, QStringLiteral("/R"), QStringLiteral("x")},
         QStringLiteral("'x' is not a valid number of pages to keep")}};
    for (const auto &[arguments, cause] : cases) {
        TRun run(arguments);
        QVERIFY(run.Start());
        QCOMPARE(run.Script.MessageTexts().size(), 1);
        const QString text = run.Script.MessageTexts().constFirst();
        QVERIFY2(text.startsWith(QStringLiteral("Opening error: ") + arguments.constFirst() +
                                 QLatin1Char('\n') + cause),
                 qPrintable(text));
        QVERIFY(!run.Window().ShownPage());
    }
}

void TestStartup::newerVersionEndsProgram()
{
    QByteArray bytes = TestFileBytes(TwoPages());
    TInt32 version;
    version = 769;
    bytes.replace(52, 4, reinterpret_cast<const char *>(version.Bytes), 4);
    const QString newer = File(QStringLiteral("newer.cvl"));
    WriteWholeFile(newer, bytes);

    TRun run({newer});
    QVERIFY(!run.Start());
    QCOMPARE(run.Script.MessageTexts(),
             QStringList{QStringLiteral("Get the newer version of the program!")});
    QCOMPARE(run.Script.Messages.constFirst().Caption, QStringLiteral("Warning"));
    QCOMPARE(run.Script.Messages.constFirst().Buttons, TQZButtons(TQZButton::Ok));
    QCOMPARE(run.Script.Exits, QList<int>{0});
    QVERIFY(!run.Window().isVisible());
}

void TestStartup::openDialogChoosesOrEnds()
{
    {
        TRun run({});
        QVERIFY(!run.Start());
        QCOMPARE(run.Script.FileFilters, QStringList{Filter});
        QCOMPARE(run.Script.Exits, QList<int>{0});
        QVERIFY(run.Script.Messages.isEmpty());
        QVERIFY(!run.Window().isVisible());
    }
    TRun run({});
    run.Script.FileAnswers = {
        Write(QStringLiteral("chosen.cvl"), TwoPages(QStringLiteral("Chosen")))};
    QVERIFY(run.Start());
    QCOMPARE(run.Script.FileFilters, QStringList{Filter});
    QCOMPARE(run.Window().windowTitle(), QStringLiteral("Chosen"));
    QCOMPARE(run.PageName(), QStringLiteral("First"));
    QVERIFY(run.Script.Exits.isEmpty());
}

// Pages whose names begin with "/" keep their places.
void TestStartup::shuffleFromArguments()
{
    TTestPlan plan;
    QStringList names{QStringLiteral("/Intro")};
    for (int i = 1; i <= 8; ++i)
        names << QStringLiteral("P%1").arg(i);
    names << QStringLiteral("/End");
    for (const QString &name : std::as_const(names))
        plan.Pages << TPagePlan{name.toLatin1(), {Button(name.toLatin1(), 0)}};
    const QString file = Write(QStringLiteral("shuffle.cvl"), plan);

    const auto loadedNames = [](const TRun &run) {
        QStringList loaded;
        for (int i = 0; i < run.Test()->PageCount(); ++i)
            loaded << run.Test()->Page(i)->PageName();
        return loaded;
    };
    {
        TRun run({file, QStringLiteral("/R")});
        QVERIFY(run.Start());
        QStringList loaded = loadedNames(run);
        QCOMPARE(loaded.constFirst(), QStringLiteral("/Intro"));
        QCOMPARE(loaded.constLast(), QStringLiteral("/End"));
        QStringList expected = names;
        loaded.sort();
        expected.sort();
        QCOMPARE(loaded, expected);
    }
    {
        TRun run({file, QStringLiteral("/R"), QStringLiteral("3")});
        QVERIFY(run.Start());
        const QStringList loaded = loadedNames(run);
        QCOMPARE(loaded.size(), 5);
        QCOMPARE(loaded.constFirst(), QStringLiteral("/Intro"));
        QCOMPARE(loaded.constLast(), QStringLiteral("/End"));
        QCOMPARE(run.PageName(), QStringLiteral("/Intro"));
    }
    {
        // "/r" is no shuffle, and a count without it keeps every page.
        TRun run({file, QStringLiteral("/r"), QStringLiteral("3")});
        QVERIFY(run.Start());
        QCOMPARE(loadedNames(run), names);
    }
}

void TestStartup::emptyTestShowsNothing()
{
    TTestPlan plan;
    plan.Title = QStringLiteral("Nothing");
    TRun run({Write(QStringLiteral("empty.cvl"), plan)});
    QVERIFY(run.Start());
    QVERIFY(run.Script.Messages.isEmpty());
    QVERIFY(!run.Window().ShownPage());
    QCOMPARE(run.Window().windowTitle(), QStringLiteral("Nothing"));
    run.Window().FormClick(&run.Window());
    QVERIFY(run.Window().close());
}

void TestStartup::windowStaysMaximised()
{
    TRun run({Write(QStringLiteral("maximised.cvl"), TwoPages())});
    QVERIFY(run.Start());
    TGlavnoOkno &window = run.Window();
    window.showNormal();
    QTRY_VERIFY(window.windowState() & Qt::WindowMaximized);
    window.resize(300, 200);
    QTRY_VERIFY(window.windowState() & Qt::WindowMaximized);
}

// Files of version 256 laid their choices out in rows one font high; the
// player builds a page's faces when it is first shown, long after reading.
void TestStartup::oldFileChoicesInFontRows()
{
    TObjectPlan choices = Choices({"Right", "Wrong", "Other"}, {1}, true, 1);
    // A choice font 19 pixels high on this screen.
    auto record = RecordFromBytes<TIzbireRecord>(choices.Record);
    record.ChoiceFont.Height = -39;
    choices.Record = RecordToBytes(record);
    auto header = NewTestRecord();
    header.PageCount = 1;
    auto page = ZeroRecord<TOldPageRecord>();
    page.PageName.SetBytes("Old");
    page.CorrectTarget.SetBytes("(Forward)");
    page.WrongTarget.SetBytes("(Forward)");
    page.ObjectCount = 1;
    page.ObjectTypes[0] = quint8(choices.Tag);

    QList<int> heights;
    for (const qint32 version : {256, 512}) {
        header.FileVersion = version;
        const QString name = File(QStringLiteral("v%1.cvl").arg(version));
        WriteWholeFile(name, RecordToBytes(header) + RecordToBytes(page) + choices.Record);
        TRun run({name});
        QVERIFY(run.Start());
        QVERIFY(run.Script.Messages.isEmpty());
        const QAbstractButton *right = run.Shown("Right");
        QVERIFY(right);
        QCOMPARE(run.Shown("Other")->y() - right->y(), version == 256 ? 2 * 19 : 2 * 21);
        heights << right->parentWidget()->height();
    }
    // The rows of the old file take 7 pixels less.
    QCOMPARE(heights, (QList<int>{87, 94}));
}

#include "tst_Startup.moc"
QObject *NewTestStartup() { return new TestStartup; }
