// RTF in and out of QTextDocument, without widgets.
//
// Reading takes RTF as word processors and rich-edit controls write it and
// builds a document of paragraphs with character runs, lists and inline
// pictures; what it does not show (document information, style sheets, field
// instructions, unknown destinations) it skips. It never follows a reference
// to an outside file or address, and its work is bounded by the input's size.
// Writing produces compact RTF in the rich-edit dialect that reads back to the
// same document.
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QTextFormat>

#include <optional>

class QTextDocument;

// The character set (\fcharset) of a run's font, kept in its QTextCharFormat
// so that a written font table names it again.
constexpr int RtfCharsetProperty = QTextFormat::UserProperty + 0x52;

// Replaces the content of `document` with the RTF text. False, with the reason
// in *error, when the bytes are not RTF; the document is then left empty.
bool ReadRtf(QByteArrayView rtf, QTextDocument &document, QString *error = nullptr);

// The plain text of an RTF document: paragraphs separated by "\n", table cells
// by "\t", no list markers, pictures left out. Empty when the bytes are not RTF.
std::optional<QString> RtfToPlainText(QByteArrayView rtf, QString *error = nullptr);

// A rich text payload as a rich edit control takes it: RTF when it is RTF,
// and any other bytes (empty, plain text, text that does not begin with
// {\rtf) as plain text in the default code page, one paragraph a line.
void ReadRichText(QByteArrayView payload, QTextDocument &document);
// The plain text of a rich text payload, as RtfToPlainText gives it for RTF.
QString RichTextToPlainText(QByteArrayView payload);

// The document as RTF: header with the code page of the first font's
// character set, font and colour tables, then one \par per paragraph.
// Characters of a font's code page are written as bytes, the others as \uN.
QByteArray WriteRtf(const QTextDocument &document);

// Scales every font size of the document by boxHeight / savedHeight, run by
// run (a run is a stretch of one size): a size in points becomes whole pixels
// at `dpi` dots per inch, the pixels are scaled, and the result becomes whole
// points again (at least 1), each step rounded half to even. A savedHeight
// or boxHeight of 0 or less has no ratio: the sizes stay as read. Returns the
// number of runs.
int RescaleRichTextFonts(QTextDocument &document, int boxHeight, int savedHeight, int dpi = 96);
