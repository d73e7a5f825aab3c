// A player in a process of its own, for the tests of attempt records:
//   corvrecordhelper TEST-FILE RESULTS-DIR STUDENT stop|finish
// takes the test the recording tests build (choices, alternative, input box,
// exit) with a scripted interaction. "stop" answers the first two pages,
// types part of the third answer, says so on standard output and waits to be
// killed; "finish" answers every page and ends by Exit.
#include "QZPlayerRun.h"

#include <QApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() != 5)
        return 2;
    CorvPlayer::TRecordingOptions recording;
    recording.ResultsFolder = arguments.at(2);
    recording.Student = arguments.at(3);
    TRun run({arguments.at(1)}, recording);
    if (!run.Start() || !run.Click("Right") || !run.Click("Confirm") || !run.Click("No") ||
        !run.Click("Confirm"))
        return 3;
    if (arguments.at(4) == QLatin1String("finish"))
        return run.Type(QStringLiteral("Paris")) && run.Click("Confirm") && run.Click("Exit") ? 0
                                                                                              : 4;
    run.Type(QStringLiteral("Lon"));
    std::puts("answered two pages");
    std::fflush(stdout);
    for (;;)
        ::pause();
}
