// What the programs ask of the desktop for embedded files: to open a file
// with the application it opens files of the file's type with, and that
// application's name. Both can be replaced, so that tests ask no desktop.
#pragma once

#include <QString>
#include <QUrl>

#include <functional>

// The desktop's "open" of a file URL; QDesktopServices::openUrl unless
// replaced. Returns the opener installed before.
using TOleDesktopOpener = std::function<bool(const QUrl &)>;
TOleDesktopOpener SetOleDesktopOpener(TOleDesktopOpener opener);
bool OpenWithDesktop(const QUrl &url);

// The name of the application that the desktop opens files of a MIME type
// with; empty when none can be named. DesktopApplicationName unless replaced.
// Returns the lookup installed before.
using TOleApplicationLookup = std::function<QString(const QString &mimeType)>;
TOleApplicationLookup SetOleApplicationLookup(TOleApplicationLookup lookup);
QString OleApplicationName(const QString &mimeType);

// Asks `xdg-mime query default` for the type's desktop entry, waiting at most
// `timeoutMs`, and reads the entry's name from the XDG data folders: the name
// for the user's language when the entry has one. Empty when there is no
// answer in time, no entry, or no name.
QString DesktopApplicationName(const QString &mimeType, int timeoutMs = 3000);
