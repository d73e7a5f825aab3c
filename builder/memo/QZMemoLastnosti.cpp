// The rich text editor's window: its layout and events, the toolbar, the
// ruler and the status bar brought in line with the selection, and the
// exchange with the rich text object. Its actions and bars are made in
// QZMemoLastnostiActions.cpp, the formatting in QZMemoLastnostiFormat.cpp and
// the file commands in QZMemoLastnostiFiles.cpp.
#include "QZMemoLastnosti.h"

#include "QZFont.h"
#include "QZInteraction.h"
#include "QZMemo.h"
#include "QZMemoEditor.h"
#include "QZMemoGlyphs.h"
#include "QZMemoRuler.h"
#include "QZRtf.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextList>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

bool IsBulleted(const QTextList *list)
{
    if (!list)
        return false;
    const QTextListFormat::Style style = list->format().style();
    return style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle ||
           style == QTextListFormat::ListSquare;
}

} // namespace

TMemoLastnosti::TMemoLastnosti(QWidget *parent)
    : QDialog(parent)
    , m_editor(new TMemoEditor(this))
    , m_ruler(new TMemoRuler(this))
    , m_menuBar(new QMenuBar(this))
    , m_toolBar(new QToolBar(this))
    , m_statusBar(new QStatusBar(this))
    , m_panels{new QLabel(this), new QLabel(this), new QLabel(this)}
    , m_fileName(Untitled())
    , m_color(SystemColorFlag | 5) // the window colour
{
    setObjectName(QStringLiteral("MemoLastnosti"));
    setWindowTitle(QStringLiteral("Rich Text - Properties"));
    setModal(true);
    resize(760, 480);

    MakeActions();
    MakeMenus();
    MakeToolBar();
    MakeStatusBar();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(m_menuBar);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_ruler);
    layout->addWidget(m_editor, 1);
    layout->addWidget(m_statusBar);

    connect(m_editor, &QTextEdit::cursorPositionChanged, this, &TMemoLastnosti::SelectionChange);
    connect(m_editor, &QTextEdit::selectionChanged, this, &TMemoLastnosti::SelectionChange);
    connect(m_editor, &QTextEdit::currentCharFormatChanged, this, &TMemoLastnosti::SelectionChange);
    connect(m_editor, &QTextEdit::textChanged, this, &TMemoLastnosti::RefreshChangeState);
    connect(m_editor, &QTextEdit::undoAvailable, this, &TMemoLastnosti::RefreshChangeState);
    connect(m_editor, &TMemoEditor::FilesDropped, this, &TMemoLastnosti::FilesDropped);
    connect(m_ruler, &TMemoRuler::MarkerReleased, this, &TMemoLastnosti::RulerMarkerReleased);
    connect(m_ruler, &TMemoRuler::Resized, this, &TMemoLastnosti::SelectionChange);
    // Paste follows the clipboard for as long as the window lives.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &TMemoLastnosti::RefreshPasteState);

    ShowBackground();
    SelectionChange();
    RefreshChangeState();
    RefreshPasteState();
}

TMemoLastnosti::~TMemoLastnosti() = default;

QLabel *TMemoLastnosti::StatusPanel(int index) const
{
    return index >= 0 && index < 3 ? m_panels[index] : nullptr;
}

QToolButton *TMemoLastnosti::ButtonOf(QAction *action) const
{
    return qobject_cast<QToolButton *>(m_toolBar->widgetForAction(action));
}

bool TMemoLastnosti::event(QEvent *event)
{
    // Hints of menu items and toolbar buttons reach the window as status
    // tips; an empty one ends the hint.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent *>(event)->tip();
        if (tip.isEmpty())
            m_statusBar->clearMessage();
        else
            m_statusBar->showMessage(tip);
        return true;
    }
    return QDialog::event(event);
}

void TMemoLastnosti::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_statusBar->clearMessage();
    setAcceptDrops(true);
    RefreshChangeState();
    m_editor->setFocus();
    RefreshPasteState();
    SelectionChange();
}

void TMemoLastnosti::dragEnterEvent(QDragEnterEvent *event)
{
    if (!DroppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void TMemoLastnosti::dropEvent(QDropEvent *event)
{
    const QStringList files = DroppedFiles(event->mimeData());
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    FilesDropped(files);
}

void TMemoLastnosti::RefreshChangeState()
{
    const QTextDocument *document = m_editor->document();
    m_panels[1]->setText(document->isModified() ? QStringLiteral("Changed") : QString());
    m_undo->setEnabled(document->isUndoAvailable());
}

void TMemoLastnosti::RefreshPasteState() { m_paste->setEnabled(m_editor->canPaste()); }

void TMemoLastnosti::ShowBackground()
{
    QPalette palette = m_editor->palette();
    palette.setColor(QPalette::Base, ColorFromValue(m_color));
    m_editor->setPalette(palette);
    m_colorButton->setIcon(ColorSwatchGlyph(ColorFromValue(m_color)));
}

void TMemoLastnosti::SelectionChange()
{
    QScopedValueRollback updating(m_updating, true);
    PlaceRulerMarkers();

    const QFont font = m_editor->FontOf(m_editor->CurrentAttributes());
    m_bold->setChecked(font.weight() >= QFont::DemiBold);
    m_italic->setChecked(font.italic());
    m_underline->setChecked(font.underline());
    const QTextCursor cursor = m_editor->textCursor();
    m_bullets->setChecked(IsBulleted(cursor.currentList()));

    m_fontSize->setValue(font.pointSizeF() > 0 ? qRound(font.pointSizeF()) : 0);
    m_fontName->setEditText(font.family());
    // A long name shows from its start.
    m_fontName->lineEdit()->setCursorPosition(0);

    const Qt::Alignment alignment = cursor.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    QAction *down = nullptr;
    if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        down = m_alignRight;
    else if (alignment & Qt::AlignHCenter)
        down = m_alignCenter;
    else if (!(alignment & Qt::AlignJustify))
        down = m_alignLeft;
    // Justified text, which no button stands for, leaves all three up.
    if (down)
        down->setChecked(true);
    else if (QAction *checked = m_alignGroup->checkedAction())
        checked->setChecked(false);

    ShowCaretPosition();
    m_copy->setEnabled(cursor.hasSelection());
    m_cut->setEnabled(cursor.hasSelection());
}

void TMemoLastnosti::PlaceRulerMarkers()
{
    const TParagraphIndents indents = m_editor->ParagraphIndents();
    constexpr double PixelsPerPoint = 4.0 / 3.0;
    m_ruler->PlaceMarkers(
        CutTowardZero(indents.First * PixelsPerPoint + 2),
        CutTowardZero((indents.Left + indents.First) * PixelsPerPoint + 2),
        CutTowardZero(m_ruler->width() - (indents.Right + 6) * PixelsPerPoint - 6));
    m_ruler->SetTabDistance(m_editor->tabStopDistance());
}

void TMemoLastnosti::ShowCaretPosition()
{
    // Lines as the box shows them: a wrapped paragraph has several.
    const QTextCursor cursor = m_editor->textCursor();
    const QTextBlock caretBlock = cursor.block();
    int line = 0;
    for (QTextBlock block = m_editor->document()->begin(); block.isValid() && block != caretBlock;
         block = block.next())
        line += std::max(block.layout() ? block.layout()->lineCount() : 0, 1);
    int column = cursor.positionInBlock();
    if (QTextLayout *layout = caretBlock.layout(); layout && layout->lineCount() > 0) {
        const QTextLine caretLine = layout->lineForTextPosition(column);
        if (caretLine.isValid()) {
            line += caretLine.lineNumber();
            column -= caretLine.textStart();
        }
    }
    m_panels[0]->setText(QString::asprintf("Line: %3d   Column: %3d", line + 1, column + 1));
}

void TMemoLastnosti::LoadContent(const QByteArray &rtf, quint32 color)
{
    QTextDocument *document = m_editor->NewDocument();
    // The object's content is RTF it wrote itself; anything else shows as an
    // empty text rather than as its codes.
    if (!rtf.trimmed().isEmpty() && !ReadRtf(rtf, *document))
        document->clear();
    m_editor->ReplaceDocument(document);
    m_color = color;
    ShowBackground();
    RefreshChangeState();
    SelectionChange();
}

QByteArray TMemoLastnosti::Content() const { return WriteRtf(*m_editor->document()); }

void EditRichText(TMemoLastnosti &dialog, TQZMemo &memo)
{
    dialog.LoadContent(memo.Payload(), memo.Data().Color);
    Interaction().ExecDialog(dialog);
    // Whatever way the window was closed, its text and colour are taken.
    QTextDocument *box = memo.Box()->document();
    box->setUndoRedoEnabled(false);
    if (!ReadRtf(dialog.Content(), *box))
        box->clear();
    box->setUndoRedoEnabled(true);
    memo.Box()->moveCursor(QTextCursor::Start);
    TMemoRecord record = memo.Data();
    record.Color = dialog.Color();
    memo.ApplyRecord(record);
}

} // namespace CorvBuilder
