#include "QZNewDocuments.h"

#include <QFile>

namespace CorvBuilder {

const QList<TNewDocument> &NewDocuments()
{
    static const QList<TNewDocument> documents = {
        {QStringLiteral("Text document"), QStringLiteral("Text document.odt"),
         QStringLiteral("application/vnd.oasis.opendocument.text"),
         QStringLiteral(":/newdocuments/text.odt")},
        {QStringLiteral("Spreadsheet"), QStringLiteral("Spreadsheet.ods"),
         QStringLiteral("application/vnd.oasis.opendocument.spreadsheet"),
         QStringLiteral(":/newdocuments/spreadsheet.ods")},
        {QStringLiteral("Presentation"), QStringLiteral("Presentation.odp"),
         QStringLiteral("application/vnd.oasis.opendocument.presentation"),
         QStringLiteral(":/newdocuments/presentation.odp")},
        {QStringLiteral("Drawing"), QStringLiteral("Drawing.odg"),
         QStringLiteral("application/vnd.oasis.opendocument.graphics"),
         QStringLiteral(":/newdocuments/drawing.odg")},
    };
    return documents;
}

QByteArray NewDocumentContent(const TNewDocument &document)
{
    QFile file(document.Resource);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace CorvBuilder
