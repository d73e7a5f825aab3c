// corvview, the player: takes a test full screen and shows the score.
#include "QZProgramInfo.h"
#include "QZRTGlavnoOkno.h"
#include "QZRTPlayer.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

namespace {

// With CORVELLA_QUIT_WHEN_SHOWN set the player quits once its window has been
// painted the first time: the start-up benchmark times that.
class TQuitWhenPainted : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // exit(), unlike quit(), closes no window: nothing asks to confirm.
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

const TProgramInfo PlayerInfo{
    "corvview", "[TEST-FILE [/R [COUNT]]]",
    "Takes an on-screen test full screen and shows the score at its end.\n"
    "\n"
    "  TEST-FILE  the test file (.cvl) to take; without it an open dialog asks\n"
    "  /R         shuffle the pages; pages named \"/...\" keep their places\n"
    "  COUNT      after shuffling, keep only this many of the other pages\n"};

int main(int argc, char *argv[])
{
    if (AnswerInfoOption(argc, argv, PlayerInfo))
        return 0;
    QApplication application(argc, argv);
    TPlayer player({QCoreApplication::arguments(), {}});
    if (!player.Start())
        return 0;
    TQuitWhenPainted quitWhenPainted;
    if (qEnvironmentVariableIsSet("CORVELLA_QUIT_WHEN_SHOWN"))
        player.MainWindow().installEventFilter(&quitWhenPainted);
    return application.exec();
}
