// The type an embedded file is opened as. The type is taken from the file's
// content and must agree with its name's extension, since a desktop may type
// a file by either. Only passive documents are opened: PDF, plain text,
// OpenDocument, the legacy and XML office formats, common pictures, sound and
// video. Programs, scripts, launchers, playlists, web pages and everything
// else that a desktop's handler may run, or fetch addresses for, are refused.
#pragma once

#include <QByteArrayView>
#include <QString>

struct TOleFileType
{
    QString Name;    // the MIME type, "application/pdf"; empty when refused
    QString Comment; // what the type is called, "PDF document"
    // Why the file is not opened, as a clause that follows "is not opened: ";
    // empty when it may be.
    QString Refusal;
};

// The type of a file named `fileName` (a cleaned name, as CleanOleFileName
// gives) holding `content`.
TOleFileType OleFileType(const QString &fileName, QByteArrayView content);

// `name` fit to be a file's name and to be shown: path separators become
// "_", control, bidirectional and other invisible format characters are
// dropped, as are leading dots and surrounding spaces; at most 255 bytes in
// UTF-8, the extension kept. "Object" when nothing is left.
QString CleanOleFileName(const QString &name);
