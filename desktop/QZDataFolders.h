// Where the programs find the data files they ship with: the help file, the
// page templates and the example tests. A program run from its build folder
// uses the files the build put beside it; an installed program uses the
// installation's data folder.
#pragma once

#include <QString>
#include <QStringList>

// The existing folders that may hold the data `name` ("templates", or empty
// for the data folder itself), most particular first:
//  1. beside the program: <program folder>/<name>;
//  2. the installation's data folder reached from the program's folder,
//     <program folder>/../share/corvella/<name>, so that an installation
//     moved to another prefix still finds its own files;
//  3. the data folder of the prefix the programs were built for,
//     <prefix>/share/corvella/<name>;
//  4. corvella/<name> in each XDG data folder ($XDG_DATA_HOME, then each of
//     $XDG_DATA_DIRS), where a user or an administrator may add files.
// A folder reached in more than one way is listed once, at its first place.
QStringList DataFolders(const QString &name = {});

// The file `fileName` (a bare name or a relative path) in the first of
// DataFolders() that holds it; the path beside the program when none does.
QString DataFile(const QString &fileName);

// The data folder of the prefix the programs were built for (step 3 above).
QString InstalledDataFolder();
