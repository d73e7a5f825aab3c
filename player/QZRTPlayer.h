// Start-up of the player: the windows in their fixed order, the screen size,
// the test named on the command line or chosen in the open dialog, and the
// first page. main() only adds the event loop.
#pragma once

#include "QZRTGlavnoOkno.h"
#include "QZRTPrvaStran.h"

#include <QStringList>

#include <functional>
#include <memory>

class TRezultatDialog;

namespace CorvPlayer {

struct TPlayerOptions
{
    // The program's arguments without its options, the program itself
    // first: test file name, "/R" to shuffle, number of pages to keep.
    QStringList Arguments;
    // --student and --results.
    TRecordingOptions Recording;
    // Stands in for the display (tests): the client size of the maximised
    // main window. When empty the main window is shown and measured.
    std::function<QSize()> MeasureScreen;

    // From the program's command line, arguments[0] being the program:
    // [--student NAME] [--results DIR] [TEST-FILE [/R [COUNT]]], the options
    // before or after the file; "/R" and the count are positional. `error`
    // is set for an unknown option or one without its value.
    static TPlayerOptions FromCommandLine(const QStringList &arguments, QString &error);
};

class TPlayer
{
public:
    explicit TPlayer(TPlayerOptions options);
    ~TPlayer();
    TPlayer(const TPlayer &) = delete;
    TPlayer &operator=(const TPlayer &) = delete;

    // Everything up to the event loop. False when the program has been told
    // to end before it (open dialog cancelled, file too new): there is then
    // nothing to run.
    bool Start();

    TGlavnoOkno &MainWindow() const { return *m_mainWindow; }
    TPrvaStran &LoadingWindow() const { return *m_loadingWindow; }
    // Null until start-up has reached it.
    TRezultatDialog *ResultDialog() const { return m_resultDialog; }

private:
    TPlayerOptions m_options;
    std::unique_ptr<TGlavnoOkno> m_mainWindow;
    std::unique_ptr<TPrvaStran> m_loadingWindow;
    TRezultatDialog *m_resultDialog = nullptr; // a child of the main window
};

} // namespace CorvPlayer
