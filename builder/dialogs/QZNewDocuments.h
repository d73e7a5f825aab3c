// The kinds of document "Insert Object" creates new: empty OpenDocument files
// that the build makes and puts in the resources.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace CorvBuilder {

struct TNewDocument
{
    QString Label;    // as the dialog lists it: "Text document"
    QString FileName; // the embedded file's name: "Text document.odt"
    QString MimeType;
    QString Resource;
};

// Text document, spreadsheet, presentation and drawing, in that order.
const QList<TNewDocument> &NewDocuments();

// The empty file of a kind; empty only when the resources lack it.
QByteArray NewDocumentContent(const TNewDocument &document);

} // namespace CorvBuilder
