// The help layer: the builder's help file, "help_eng.hlp" beside the programs,
// shown in a help window of our own, either as its contents or as the topic of
// a context number. Tests install a recording help instead of the window.
#pragma once

#include <QString>

class TQZHelpWindow;

class TQZHelp
{
public:
    virtual ~TQZHelp();
    // The contents page of the help file.
    virtual void ShowContents() = 0;
    // The topic of a context number; the contents when the file has none.
    virtual void ShowTopic(int context) = 0;
};

// The help in force: the help window unless a test installed another.
// The window is made on the first request and reads the help file then, and
// again whenever HelpFile() names another file; a file that cannot be read
// is reported in an error box and nothing else is shown. While a modal
// dialog is up, the window is made a window of that dialog so that it can
// be used beside it.
TQZHelp &Help();
// Installs a help (not owned); null goes back to the help window. Returns the
// one installed before (null for the help window).
TQZHelp *SetHelp(TQZHelp *help);

// The help file the help window reads; a name without a folder is looked for
// beside the program, then in the installed data folders (DataFile()).
void SetHelpFile(const QString &fileName);
QString HelpFile();

// The help window made by Help(); null before the first successful request
// and after the window was destroyed (with the dialog it belonged to, or at
// the end of the program's event loop).
TQZHelpWindow *HelpWindow();
