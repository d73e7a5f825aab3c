// The text box of the rich text editor dialog: a QTextEdit whose documents
// never look outside themselves for pictures, whose text keeps a fixed inset
// from the left and right edges, which takes RTF from the clipboard and gives
// RTF to it, and which hands files dropped onto it to its owner instead of
// inserting their names.
#pragma once

#include <QTextEdit>

namespace CorvBuilder {

// A paragraph's indents as the ruler shows them, in whole points: First is the
// first line's distance from the text's left edge, Left that of the other
// lines from the first line's, Right the distance from the right edge.
struct TParagraphIndents
{
    int First = 0;
    int Left = 0;
    int Right = 0;
    bool operator==(const TParagraphIndents &) const = default;
};

class TMemoEditor : public QTextEdit
{
    Q_OBJECT

public:
    // Pixels between each side of the box and its text.
    static constexpr int TextInset = 6;

    explicit TMemoEditor(QWidget *parent = nullptr);

    // A new empty document made the way this box wants its documents:
    // pictures only from the document itself, the box's default font and
    // inset. Owned by the box.
    QTextDocument *NewDocument();
    // Shows `document` (made by NewDocument) in place of the current one,
    // which is freed; the caret goes to the start, and undo starts afresh.
    void ReplaceDocument(QTextDocument *document);

    // Indents of the caret's paragraph, and new indents for every paragraph
    // of the selection (the caret's one without a selection).
    TParagraphIndents ParagraphIndents() const;
    void SetParagraphIndents(const TParagraphIndents &indents);

    // The character format of the selection's first character, or, without
    // a selection, the format new text takes.
    QTextCharFormat CurrentAttributes() const;
    // The font that a format names, completed from the document's default
    // font where it names nothing.
    QFont FontOf(const QTextCharFormat &format) const;

    bool canInsertFromMimeData(const QMimeData *source) const override;

signals:
    // Local files dropped onto the box, in the order given.
    void FilesDropped(const QStringList &fileNames);

protected:
    QMimeData *createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData *source) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void KeepInset();
};

// Cuts toward zero, forgiving the rounding error of a value meant to be whole
// (36 points kept as 48 pixels and read back as 35.999...).
int CutTowardZero(double value);

// The local files a drag carries, in order; empty when it carries none.
QStringList DroppedFiles(const QMimeData *data);
// The clipboard formats of RTF.
QStringList RtfMimeTypes();

} // namespace CorvBuilder
