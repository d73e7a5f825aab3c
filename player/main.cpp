// corvview, the player: takes a test full screen and shows the score.
#include "QZNaloga.h"
#include "QZProgramInfo.h"
#include "QZRTGlavnoOkno.h"
#include "QZRTPlayer.h"
#include "QZStran.h"

#include <QApplication>
#include <QEvent>
#include <QTextStream>
#include <QTimer>

using CorvPlayer::TGlavnoOkno;
using CorvPlayer::TPlayer;
using CorvPlayer::TPlayerOptions;

namespace {

// With CORVELLA_QUIT_WHEN_SHOWN set the player quits once its window has been
// painted the first time: the start-up benchmark times that, and the
// installation test checks what was shown. On quitting it prints which page
// of the test the window shows and, with CORVELLA_SHOWN_IMAGE naming a PNG
// file, saves the window's picture there.
class TQuitWhenPainted : public QObject
{
public:
    explicit TQuitWhenPainted(TGlavnoOkno &window)
        : m_window(window)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            QTimer::singleShot(0, qApp, [this] { Report(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void Report()
    {
        QTextStream out(stdout);
        const TQZNaloga *test = m_window.Test();
        const TQZStran *page = m_window.ShownPage();
        if (test && page)
            out << "shown: page " << test->CurrentIndex() + 1 << " of " << test->PageCount()
                << " \"" << page->PageName() << "\"\n";
        else
            out << "shown: no page\n";
        out.flush();
        const QString image = qEnvironmentVariable("CORVELLA_SHOWN_IMAGE");
        if (!image.isEmpty() && !m_window.grab().save(image, "PNG"))
            qWarning("corvview: could not save the window's picture to %s", qPrintable(image));
        // exit(), unlike quit(), closes no window: nothing asks to confirm.
        QCoreApplication::exit(0);
    }

    TGlavnoOkno &m_window;
    bool m_painted = false;
};

} // namespace

const TProgramInfo PlayerInfo{
    "corvview", "[--student NAME] [--results DIR] [TEST-FILE [/R [COUNT]]]",
    "Takes an on-screen test full screen and shows the score at its end.\n"
    "\n"
    "  TEST-FILE      the test file (.cvl) to take; without it an open dialog asks\n"
    "  /R             shuffle the pages; pages named \"/...\" keep their places\n"
    "  COUNT          after shuffling, keep only this many of the other pages\n"
    "  --student NAME the student's name for the attempt's record\n"
    "  --results DIR  the folder attempt records go to (else $CORVELLA_RESULTS,\n"
    "                 else corvella/results in the user's data folder)\n"};

int main(int argc, char *argv[])
{
    if (AnswerInfoOption(argc, argv, PlayerInfo))
        return 0;
    QApplication application(argc, argv);
    QString error;
    TPlayerOptions options = TPlayerOptions::FromCommandLine(QCoreApplication::arguments(), error);
    if (!error.isEmpty()) {
        QTextStream(stderr) << "corvview: " << error << "\nTry 'corvview --help'.\n";
        return 1;
    }
    TPlayer player(std::move(options));
    if (!player.Start())
        return 0;
    TQuitWhenPainted quitWhenPainted(player.MainWindow());
    if (qEnvironmentVariableIsSet("CORVELLA_QUIT_WHEN_SHOWN"))
        player.MainWindow().installEventFilter(&quitWhenPainted);
    return application.exec();
}
