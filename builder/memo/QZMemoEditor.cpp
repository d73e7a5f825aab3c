#include "QZMemoEditor.h"

#include "QZRtf.h"

#include <QDragEnterEvent>
#include <QImage>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QUrl>

#include <cmath>

namespace CorvBuilder {

namespace {

// Points to pixels and back, at the 96 dots per inch that the RTF layer's
// twips-per-pixel assumes.
constexpr double PixelsPerPoint = 4.0 / 3.0;
constexpr double PointsPerPixel = 0.75;

// The block's left edge before its own left margin: its indent level and the
// indent of the list it belongs to.
double ExtraIndent(const QTextBlock &block, const QTextDocument &document)
{
    double extra = block.blockFormat().indent() * document.indentWidth();
    if (const QTextList *list = block.textList())
        extra += list->format().indent() * document.indentWidth();
    return extra;
}

// The pictures a document's text shows, by resource name, once each.
QStringList PictureNames(const QTextDocument &document)
{
    QStringList names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isImageFormat() && !names.contains(format.toImageFormat().name()))
                names << format.toImageFormat().name();
        }
    return names;
}

QImage PictureOf(const QTextDocument &document, const QString &name)
{
    return document.resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>();
}

// Gives every picture of `document` that `from` holds a copy of its image.
void CopyPictures(const QTextDocument &from, QTextDocument &document)
{
    for (const QString &name : PictureNames(document)) {
        const QImage image = PictureOf(from, name);
        if (!image.isNull())
            document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    }
}

// Renames the pictures of `pasted` to names that `into` does not use yet and
// adds their images to `into`, so that inserting its text shows them.
void MovePictures(QTextDocument &pasted, QTextDocument &into)
{
    int next = 0;
    for (const QString &name : PictureNames(pasted)) {
        const QImage image = PictureOf(pasted, name);
        QString fresh;
        do
            fresh = QStringLiteral("rtfpicture:%1").arg(++next);
        while (!PictureOf(into, fresh).isNull());
        into.addResource(QTextDocument::ImageResource, QUrl(fresh), image);
        for (QTextBlock block = pasted.begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                QTextImageFormat format = fragment.charFormat().toImageFormat();
                if (!fragment.charFormat().isImageFormat() || format.name() != name)
                    continue;
                format.setName(fresh);
                QTextCursor cursor(&pasted);
                cursor.setPosition(fragment.position());
                cursor.setPosition(fragment.position() + fragment.length(),
                                   QTextCursor::KeepAnchor);
                cursor.setCharFormat(format);
            }
    }
}

QByteArray RtfOf(const QMimeData *source)
{
    for (const QString &type : RtfMimeTypes())
        if (source->hasFormat(type))
            return source->data(type);
    return {};
}

} // namespace

int CutTowardZero(double value)
{
    return int(value < 0 ? std::ceil(value - 1e-6) : std::floor(value + 1e-6));
}

QStringList RtfMimeTypes()
{
    return {QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
            QStringLiteral("text/richtext")};
}

QStringList DroppedFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    return files;
}

TMemoEditor::TMemoEditor(QWidget *parent)
    : QTextEdit(parent)
{
    setObjectName(QStringLiteral("Editor"));
    setAccessibleName(QStringLiteral("Rich text"));
    setFrameShape(QFrame::NoFrame);
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setAutoFillBackground(true);
    ReplaceDocument(NewDocument());
}

QTextDocument *TMemoEditor::NewDocument()
{
    auto *document = new QTextDocument(this);
    // A picture is only ever one the document holds itself; pasted HTML that
    // names a file or an address gets an empty picture.
    document->setResourceProvider([](const QUrl &) { return QVariant(QImage()); });
    QFont font = this->font();
    // Text typed without a size is written to RTF as 12 points, and reads
    // back so; show it at that size from the start.
    font.setPointSize(12);
    document->setDefaultFont(font);
    document->setDocumentMargin(TextInset);
    return document;
}

void TMemoEditor::ReplaceDocument(QTextDocument *document)
{
    QTextDocument *old = this->document();
    // The box frees a document it made itself; ours are freed here.
    const bool ours = old != document && old->parent() == this;
    if (document->documentMargin() != TextInset)
        document->setDocumentMargin(TextInset);
    // Setting up and filling the document were no edits of the author's.
    document->setUndoRedoEnabled(false);
    document->setUndoRedoEnabled(true);
    document->setModified(false);
    setDocument(document);
    if (ours)
        delete old;
    moveCursor(QTextCursor::Start);
}

void TMemoEditor::KeepInset()
{
    if (document()->documentMargin() != TextInset)
        document()->setDocumentMargin(TextInset);
}

void TMemoEditor::resizeEvent(QResizeEvent *event)
{
    KeepInset();
    QTextEdit::resizeEvent(event);
}

TParagraphIndents TMemoEditor::ParagraphIndents() const
{
    const QTextBlock block = textCursor().block();
    const QTextBlockFormat format = block.blockFormat();
    const double firstLine =
        format.leftMargin() + ExtraIndent(block, *document()) + format.textIndent();
    return {CutTowardZero(firstLine * PointsPerPixel),
            CutTowardZero(-format.textIndent() * PointsPerPixel),
            CutTowardZero(format.rightMargin() * PointsPerPixel)};
}

void TMemoEditor::SetParagraphIndents(const TParagraphIndents &indents)
{
    const QTextCursor selection = textCursor();
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    QTextBlock block = document()->findBlock(selection.selectionStart());
    const QTextBlock last = document()->findBlock(selection.selectionEnd());
    for (; block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        format.setTextIndent(-indents.Left * PixelsPerPoint);
        format.setLeftMargin((indents.First + indents.Left) * PixelsPerPoint -
                             ExtraIndent(block, *document()));
        format.setRightMargin(indents.Right * PixelsPerPoint);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
        if (block == last)
            break;
    }
    cursor.endEditBlock();
}

QTextCharFormat TMemoEditor::CurrentAttributes() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return currentCharFormat();
    QTextCursor first(document());
    first.setPosition(cursor.selectionStart() + 1);
    return first.charFormat();
}

QFont TMemoEditor::FontOf(const QTextCharFormat &format) const
{
    return format.font().resolve(document()->defaultFont());
}

QMimeData *TMemoEditor::createMimeDataFromSelection() const
{
    QMimeData *data = QTextEdit::createMimeDataFromSelection();
    QTextDocument selected;
    QTextCursor(&selected).insertFragment(textCursor().selection());
    CopyPictures(*document(), selected);
    data->setData(RtfMimeTypes().constFirst(), WriteRtf(selected));
    return data;
}

bool TMemoEditor::canInsertFromMimeData(const QMimeData *source) const
{
    return !RtfOf(source).isEmpty() || QTextEdit::canInsertFromMimeData(source);
}

void TMemoEditor::insertFromMimeData(const QMimeData *source)
{
    // Qt's own rich formats and HTML keep their own handling; RTF comes from
    // other programs that offer nothing richer.
    const QByteArray rtf = RtfOf(source);
    if (isReadOnly() || rtf.isEmpty() || source->hasHtml() ||
        source->hasFormat(QStringLiteral("application/x-qrichtext"))) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    QTextDocument pasted;
    pasted.setResourceProvider([](const QUrl &) { return QVariant(QImage()); });
    if (!ReadRtf(rtf, pasted)) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    MovePictures(pasted, *document());
    textCursor().insertFragment(QTextDocumentFragment(&pasted));
    ensureCursorVisible();
}

void TMemoEditor::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    QTextEdit::dragEnterEvent(event);
}

void TMemoEditor::dragMoveEvent(QDragMoveEvent *event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
        return;
    }
    QTextEdit::dragMoveEvent(event);
}

void TMemoEditor::dropEvent(QDropEvent *event)
{
    const QStringList files = DroppedFiles(event->mimeData());
    if (files.isEmpty()) {
        QTextEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    emit FilesDropped(files);
}

} // namespace CorvBuilder
