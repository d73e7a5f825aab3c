// Rich text and plain text files of the rich text editor.
#pragma once

#include <QString>

class QTextDocument;

namespace CorvBuilder {

class TMemoEditor;

// Loads a file into the editor in a new document: RTF when the file starts as
// RTF, plain text otherwise (Unicode when it is marked or reads as UTF-8, else
// the default code page). False, with the reason in *error, when the file
// cannot be read; the editor then keeps its text.
bool LoadTextFile(const QString &fileName, TMemoEditor &editor, QString *error);

// Writes a document: as plain UTF-8 text to a file whose name ends in ".txt"
// (in any case), as RTF to any other. The file is replaced only once the whole
// text is written. False, with the reason in *error, when it cannot be.
bool WriteTextFile(const QString &fileName, const QTextDocument &document, QString *error);

} // namespace CorvBuilder
