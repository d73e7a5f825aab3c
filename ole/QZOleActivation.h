// Opening an embedded object. An object opens as a file: a package's own
// file, or a Word, Excel or PowerPoint storage as a .doc, .xls or .ppt file.
// A test file may come from anyone, so a file is opened only when its type,
// taken from its content and agreeing with its name, is a passive document's
// (OleFileType), only after the user has said yes to a question that names
// the file, its type and the application that will open it, and only as a
// copy in this run's private folder (OleRunFolder). The question itself is
// the caller's to ask: this layer shows nothing.
#pragma once

#include "QZOleDesktop.h"
#include "QZOleFileType.h"
#include "QZOleObject.h"

#include <QString>

#include <optional>

// The file an object opens as; its name is clean (CleanOleFileName).
struct TOleActivationFile
{
    QString FileName;
    QByteArray Content;
};

// The file an object would open as; nullopt for a class nothing here opens.
std::optional<TOleActivationFile> OleActivationFile(const TOleObject &object);

// The object stream of `object` with `content` as the file it opens as: a
// package wraps it under its file name, a document's storage is replaced by
// it; the aspect is kept. Raises TQZFileError when the object opens as no
// file or `content` makes no object of its kind (a document that is no
// compound file).
QByteArray OleStreamWithFile(const TOleObject &object, QByteArrayView content);

// What opening an object comes to, before anything is written.
struct TOleOpening
{
    TOleActivationFile File;
    TOleFileType Type;
    // The message shown instead of opening the object; empty when it may be
    // opened once the user agrees.
    QString Refusal;
};

// Decides whether the object may be opened: its class, its file's type and
// this run's bounds. Writes nothing.
TOleOpening PrepareOleOpening(const TOleObject &object);

// The caption and text of the question asked before a file is opened;
// `application` is the name of the application that opens it, or empty when
// none can be named.
QString OleOpenCaption();
QString OleOpenQuestion(const TOleOpening &opening, const QString &application);

struct TOleActivationResult
{
    bool Opened = false;
    // Why the file was not opened, as shown to the user; empty when opened.
    QString Message;
    // The copy written, when one was.
    QString Path;
};

// Writes the copy of a file that PrepareOleOpening let through into this
// run's private folder and opens it with the desktop opener.
TOleActivationResult OpenOleFile(const TOleOpening &opening);
