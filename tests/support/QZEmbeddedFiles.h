// Embedded files of the kinds a hostile or careless test file may carry, each
// with what opening it must do, and the test file that carries them all. The
// player's, the builder's and corvtool's tests take the same file.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

struct TEmbeddedFile
{
    QString Name;       // as the package stores it
    QByteArray Content; // the package's file
    QString Shown;      // the name the messages give it
    // The question asked before opening it, or empty when it is refused.
    QString Question;
    // The warning shown instead of opening it, or empty when it is asked.
    QString Refusal;
};

// The caption of the question asked before an embedded file is opened.
extern const QString OpenEmbeddedCaption;
// The application the tests' lookup names for PDF documents; other types have
// none named.
extern const QString PdfViewerName;

// Files that are asked about (a PDF, a text with invisible characters in its
// name) and files that are refused: playlists, web pages and archives,
// launchers of remote programs and desktops, PostScript, Windows shortcuts by
// name and by content, a script, and names that lie about their content.
QList<TEmbeddedFile> EmbeddedFiles();

// A Word document embedded as a document object, not a package, and the
// question asked before opening it.
QByteArray WordDocumentStorage();
QString WordDocumentQuestion();

// The page name of TestFileWithEmbeddedFiles.
extern const QByteArray EmbeddedPageName;

// A test file of one page holding each of `files` as a package object, in
// order, then the Word document, all with activation on: the player lets the
// student open every one. Objects are laid out in a grid on the screen.
QByteArray TestFileWithEmbeddedFiles(const QList<TEmbeddedFile> &files);
