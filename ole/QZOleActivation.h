// Opening an embedded object: its content is written to a private temporary
// file named as the object's own file and opened with the desktop's default
// application. A test file must never make the programs run anything, so
// programs, scripts and desktop launchers are refused, by name and by content.
#pragma once

#include "QZOleObject.h"

#include <QString>
#include <QUrl>

#include <functional>

// The file an object opens as: a package's own file, or the storage of a
// Word, Excel or PowerPoint document as .doc, .xls or .ppt.
struct TOleActivationFile
{
    QString FileName;
    QByteArray Content;
};

struct TOleActivationResult
{
    bool Opened = false;
    // Why the object was not opened, as shown to the user; empty when opened.
    QString Message;
    // The temporary file written, when one was.
    QString Path;
};

// The file an object would open as; nullopt for a class nothing here opens.
std::optional<TOleActivationFile> OleActivationFile(const TOleObject &object);

// Why a file must not be opened (it is a program, a script, a launcher, or is
// marked as one); empty when it may be.
QString OleRefusal(const QString &fileName, QByteArrayView content);

// Writes the object's file to a private temporary folder (mode 0700, removed
// when the program ends) and opens it with the desktop opener. Nothing is
// written for a refused object.
TOleActivationResult ActivateOleObject(const TOleObject &object);

// The desktop's "open" of a file URL; QDesktopServices::openUrl unless
// replaced. Tests install their own so that nothing is launched. Returns the
// opener installed before.
using TOleDesktopOpener = std::function<bool(const QUrl &)>;
TOleDesktopOpener SetOleDesktopOpener(TOleDesktopOpener opener);

// The name of the application that the desktop opens files of a MIME type
// with; empty when none can be named. Tests install their own so that no
// desktop is asked. Returns the lookup installed before.
using TOleApplicationLookup = std::function<QString(const QString &mimeType)>;
TOleApplicationLookup SetOleApplicationLookup(TOleApplicationLookup lookup);
