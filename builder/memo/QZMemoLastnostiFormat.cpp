// The rich text editor's formatting: what the toolbar, the ruler and the
// font and background colour dialogs apply to the selection or the
// paragraphs it touches. A read-only text takes none of it; the toolbar is
// then brought back in line with the selection.
#include "QZMemoLastnosti.h"

#include "QZDialogParts.h"
#include "QZInteraction.h"
#include "QZMemoEditor.h"
#include "QZMemoRuler.h"

#include <QAction>
#include <QTextBlock>
#include <QTextList>

namespace CorvBuilder {

void TMemoLastnosti::MergeAttributes(const QTextCharFormat &format)
{
    if (m_editor->isReadOnly()) {
        SelectionChange();
        return;
    }
    m_editor->mergeCurrentCharFormat(format);
    SelectionChange();
}

void TMemoLastnosti::StyleToggled(QAction *action, bool down)
{
    if (m_updating)
        return;
    QTextCharFormat format;
    if (action == m_bold)
        format.setFontWeight(down ? QFont::Bold : QFont::Normal);
    else if (action == m_italic)
        format.setFontItalic(down);
    else
        format.setFontUnderline(down);
    MergeAttributes(format);
}

void TMemoLastnosti::FontNamePicked(const QString &name)
{
    if (m_updating || name.trimmed().isEmpty())
        return;
    QTextCharFormat format;
    format.setFontFamilies(QStringList{name.trimmed()});
    MergeAttributes(format);
}

void TMemoLastnosti::FontSizeChanged(int size)
{
    // A size of 0 names no size: nothing to take.
    if (m_updating || size <= 0)
        return;
    QTextCharFormat format;
    format.setFontPointSize(size);
    MergeAttributes(format);
}

void TMemoLastnosti::AlignmentPicked(QAction *action)
{
    if (m_updating)
        return;
    if (!m_editor->isReadOnly())
        m_editor->setAlignment(action == m_alignRight    ? Qt::AlignRight
                               : action == m_alignCenter ? Qt::AlignHCenter
                                                         : Qt::AlignLeft);
    SelectionChange();
}

void TMemoLastnosti::BulletsToggled(bool down)
{
    if (m_updating)
        return;
    if (m_editor->isReadOnly()) {
        SelectionChange();
        return;
    }
    QTextCursor cursor = m_editor->textCursor();
    cursor.beginEditBlock();
    if (down) {
        QTextListFormat list;
        list.setStyle(QTextListFormat::ListDisc);
        // Indented one step, so that the bullet has room left of the text.
        list.setIndent(1);
        cursor.createList(list);
    } else {
        QTextDocument *document = m_editor->document();
        QTextBlock block = document->findBlock(cursor.selectionStart());
        const QTextBlock last = document->findBlock(cursor.selectionEnd());
        for (; block.isValid(); block = block.next()) {
            if (QTextList *list = block.textList())
                list->remove(block);
            if (block == last)
                break;
        }
    }
    cursor.endEditBlock();
    SelectionChange();
}

void TMemoLastnosti::RulerMarkerReleased(TMemoRulerMarker *marker)
{
    if (m_editor->isReadOnly()) {
        SelectionChange();
        return;
    }
    const int offset = m_ruler->DragOffset();
    const int inset = TMemoRuler::LeftOffset;
    TParagraphIndents indents = m_editor->ParagraphIndents();
    switch (marker->Kind()) {
    case TMemoRulerMarker::TKind::First:
        // The first line moves; the other lines stay where the left marker is.
        indents.First = CutTowardZero((marker->x() + offset - inset) * 0.75);
        indents.Left =
            CutTowardZero((m_ruler->LeftMarker()->x() + offset - inset) * 0.75 - indents.First);
        m_editor->SetParagraphIndents(indents);
        return;
    case TMemoRulerMarker::TKind::Left:
        indents.Left = CutTowardZero((marker->x() + offset - inset) * 0.75 - indents.First);
        break;
    case TMemoRulerMarker::TKind::Right:
        indents.Right = CutTowardZero((m_ruler->width() + offset - marker->x() - 2) * 0.75 - 12);
        break;
    }
    m_editor->SetParagraphIndents(indents);
    SelectionChange();
}

void TMemoLastnosti::ChooseEditorFont()
{
    QFont font = m_editor->FontOf(m_editor->CurrentAttributes());
    if (Interaction().ChooseFont(this, font)) {
        QTextCharFormat format;
        format.setFontFamilies(font.families().isEmpty() ? QStringList{font.family()}
                                                         : font.families());
        if (font.pointSizeF() > 0)
            format.setFontPointSize(font.pointSizeF());
        format.setFontWeight(font.weight());
        format.setFontItalic(font.italic());
        format.setFontUnderline(font.underline());
        format.setFontStrikeOut(font.strikeOut());
        MergeAttributes(format);
    }
    m_editor->setFocus();
}

void TMemoLastnosti::ChooseBackgroundColor()
{
    if (ChooseColorValue(this, m_color))
        ShowBackground();
}

} // namespace CorvBuilder
