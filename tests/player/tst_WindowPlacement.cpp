// The player on a real window system: a virtual display with a window
// manager that draws a 19-pixel caption, or with none. The pages fill the
// client area of the maximised window (or the whole screen), and the result
// dialog stands centred on the screen, frame and all.
#include "QZPlayerTestFiles.h"
#include "QZRTGlavnoOkno.h"
#include "QZRTPlayer.h"
#include "QZRezultat.h"
#include "QZScaling.h"
#include "QZScriptedInteraction.h"
#include "QZVirtualDisplay.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>

using CorvPlayer::TGlavnoOkno;
using CorvPlayer::TPlayer;
using CorvPlayer::TPlayerOptions;

namespace {

const QSize Screen(1024, 768);
// The frame the window manager gives windows that are not maximised.
constexpr int Border = 4;

} // namespace

class TestWindowPlacement : public QObject
{
    Q_OBJECT

public:
    // `caption` 0: no window manager runs.
    explicit TestWindowPlacement(int caption)
        : m_caption(caption)
    {
    }

private slots:
    void pagesFillTheClientArea();
    void resultDialogCentredOnScreen();

private:
    int m_caption;
};

void TestWindowPlacement::pagesFillTheClientArea()
{
    QTemporaryDir folder;
    TTestPlan plan;
    plan.Pages = {{"Only",
                   {Button("Exit", 4), Button("Second", 0), Button("Third", 0), Button("Fourth", 0),
                    Button("Fifth", 0)}}};
    TQZScriptedInteraction script;
    TPlayerOptions options;
    options.Arguments = {QStringLiteral("corvview"),
                         WriteTestFile(folder.filePath(QStringLiteral("placed.cvl")), plan)};
    options.Recording.ResultsFolder = folder.filePath(QStringLiteral("results"));
    TPlayer player(options);
    QVERIFY(player.Start());
    QVERIFY(script.Messages.isEmpty());

    // The page area is the client area the window manager left, whatever
    // caption the style would draw.
    const QSize client(Screen.width(), Screen.height() - m_caption);
    QCOMPARE(ScreenWidth, client.width());
    QCOMPARE(ScreenHeight, client.height());
    TGlavnoOkno &window = player.MainWindow();
    QTRY_VERIFY(window.isVisible());
    QCOMPARE(window.size(), client);
    QCOMPARE(window.mapToGlobal(QPoint(0, 0)), QPoint(0, m_caption));

    // The fifth object stands at virtual top 920: row 449 of 749, or 460 of
    // 768.
    const QWidget *fifth = nullptr;
    for (const QWidget *button : window.findChildren<QWidget *>())
        if (button->property("text").toString() == QStringLiteral("Fifth"))
            fifth = button;
    QVERIFY(fifth);
    // The button stands in its object's panel.
    QCOMPARE(fifth->parentWidget()->y(), m_caption ? 449 : 460);
}

void TestWindowPlacement::resultDialogCentredOnScreen()
{
    TRezultatDialog dialog;
    dialog.show();
    const QSize frame =
        m_caption ? QSize(404 + 2 * Border, 170 + m_caption + Border) : QSize(404, 170);
    const QRect centred(
        QPoint((Screen.width() - frame.width()) / 2, (Screen.height() - frame.height()) / 2),
        frame);
    QTRY_COMPARE(dialog.frameGeometry(), centred);
    // A move of the user's stays.
    dialog.move(10, 20);
    QTRY_COMPARE(dialog.frameGeometry().topLeft(), QPoint(10, 20));
    QTest::qWait(100);
    QCOMPARE(dialog.frameGeometry().topLeft(), QPoint(10, 20));
}

// "--caption N" runs the window manager with a caption N pixels high; without
// it no window manager runs. Exits with 77 (skipped) where Xvfb is missing.
int main(int argc, char *argv[])
{
    int caption = 0;
    std::vector<char *> arguments;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--caption") == 0 && i + 1 < argc)
            caption = std::atoi(argv[++i]);
        else
            arguments.push_back(argv[i]);
    }
    int count = int(arguments.size());

    TQZVirtualDisplay display;
    if (!display.Start(Screen)) {
        std::puts("Skipped: Xvfb is not installed or does not start");
        return 77;
    }
    if (caption > 0 && !display.StartWindowManager(caption, Border)) {
        std::puts("The window manager does not start");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(count, arguments.data());
    TestWindowPlacement test(caption);
    return QTest::qExec(&test, count, arguments.data());
}

#include "tst_WindowPlacement.moc"
