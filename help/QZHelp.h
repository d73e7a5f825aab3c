// The help layer: the builder's help file, "help_eng.hlp" beside the programs,
// shown in a help window of our own, either as its contents or as the topic of
// a context number. Tests install a recording help instead of the window.
#pragma once

#include <QString>

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
TQZHelp &Help();
// Installs a help (not owned); null goes back to the help window. Returns the
// one installed before (null for the help window).
TQZHelp *SetHelp(TQZHelp *help);

// The help file the help window reads; a name without a folder is looked for
// beside the program.
void SetHelpFile(const QString &fileName);
QString HelpFile();
