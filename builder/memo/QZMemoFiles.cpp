#include "QZMemoFiles.h"

#include "QZCodePage.h"
#include "QZMemoEditor.h"
#include "QZRtf.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QTextDocument>

namespace CorvBuilder {

namespace {

bool StartsAsRtf(const QByteArray &bytes)
{
    qsizetype at = 0;
    while (at < bytes.size() && QChar::isSpace(uchar(bytes.at(at))))
        ++at;
    return QByteArrayView(bytes).sliced(at).startsWith("{\\rtf");
}

// Plain text files: Unicode when they say so or decode as UTF-8 cleanly,
// else the default code page of the program's record texts.
QString DecodePlainText(const QByteArray &bytes)
{
    if (const auto encoding = QStringConverter::encodingForData(bytes);
        encoding && *encoding != QStringConverter::Utf8) {
        QStringDecoder decoder(*encoding);
        return decoder(bytes);
    }
    QStringDecoder utf8(QStringConverter::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? DecodeDefault(bytes) : text;
}

bool IsPlainTextName(const QString &fileName)
{
    return QFileInfo(fileName).suffix().compare(QLatin1String("txt"), Qt::CaseInsensitive) == 0;
}

} // namespace

bool LoadTextFile(const QString &fileName, TMemoEditor &editor, QString *error)
{
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly)) {
        if (error)
            *error =
                QFileInfo(fileName).isDir() ? QStringLiteral("Is a directory") : file.errorString();
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QTextDocument *document = editor.NewDocument();
    if (StartsAsRtf(bytes)) {
        if (!ReadRtf(bytes, *document, error)) {
            delete document;
            return false;
        }
    } else {
        document->setPlainText(DecodePlainText(bytes));
    }
    editor.ReplaceDocument(document);
    return true;
}

bool WriteTextFile(const QString &fileName, const QTextDocument &document, QString *error)
{
    const QByteArray bytes =
        IsPlainTextName(fileName) ? document.toPlainText().toUtf8() : WriteRtf(document);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace CorvBuilder
