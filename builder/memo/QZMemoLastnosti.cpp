// The rich text editor's window: its parts, the toolbar brought in line with
// the selection, the formatting that the toolbar and the ruler apply, the
// file commands, and the exchange with the rich text object.
#include "QZMemoLastnosti.h"

#include "QZDialogParts.h"
#include "QZFont.h"
#include "QZHelp.h"
#include "QZInteraction.h"
#include "QZMemo.h"
#include "QZMemoEditor.h"
#include "QZMemoFiles.h"
#include "QZMemoGlyphs.h"
#include "QZMemoRuler.h"
#include "QZRtf.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
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

// The largest size RTF can name: 3276 half points.
constexpr int LargestFontSize = 1638;

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

void TMemoLastnosti::MakeActions()
{
    const auto make = [this](const QString &text, const QString &hint, const char *shortcut) {
        auto *action = new QAction(text, this);
        action->setStatusTip(hint);
        if (shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
        return action;
    };
    m_new = make(QStringLiteral("&New"), QStringLiteral("Create a new file"), "Ctrl+N");
    m_open = make(QStringLiteral("&Open..."), QStringLiteral("Open an existing file"), "Ctrl+O");
    m_save = make(QStringLiteral("&Save"), QStringLiteral("Save current file"), "Ctrl+S");
    m_saveAs = make(QStringLiteral("Save &As..."),
                    QStringLiteral("Save current file under a new name"), nullptr);
    m_print = make(QStringLiteral("&Print"), QStringLiteral("Print current file"), "Ctrl+P");
    m_close = make(QStringLiteral("&Close"), QString(), nullptr);
    m_undo = make(QStringLiteral("&Undo"), QStringLiteral("Undo the last action"), "Ctrl+Z");
    m_cut = make(QStringLiteral("Cu&t"), QStringLiteral("Delete selected item"), "Ctrl+X");
    m_copy =
        make(QStringLiteral("&Copy"), QStringLiteral("Copy selected item to clipboard"), "Ctrl+C");
    m_paste =
        make(QStringLiteral("&Paste"), QStringLiteral("Paste contents of clipboard"), "Ctrl+V");
    m_font = make(QStringLiteral("&Font..."), QString(), nullptr);
    m_background = make(QStringLiteral("&Background Color..."), QString(), nullptr);
    m_help = make(QStringLiteral("&Help!"), QString(), "F1");

    const auto toggle = [this](const QString &tip, TMemoGlyph glyph) {
        auto *action = new QAction(MemoGlyph(glyph), tip, this);
        action->setStatusTip(tip);
        action->setCheckable(true);
        return action;
    };
    m_bold = toggle(QStringLiteral("Bold"), TMemoGlyph::Bold);
    m_italic = toggle(QStringLiteral("Italic"), TMemoGlyph::Italic);
    m_underline = toggle(QStringLiteral("Underline"), TMemoGlyph::Underline);
    m_alignLeft = toggle(QStringLiteral("Align Left"), TMemoGlyph::AlignLeft);
    m_alignCenter = toggle(QStringLiteral("Center"), TMemoGlyph::AlignCenter);
    m_alignRight = toggle(QStringLiteral("Align Right"), TMemoGlyph::AlignRight);
    m_bullets = toggle(QStringLiteral("Bullets"), TMemoGlyph::Bullets);
    m_colorButton = new QAction(QStringLiteral("Background Color"), this);
    m_colorButton->setStatusTip(m_colorButton->text());
    m_alignGroup = new QActionGroup(this);
    m_alignGroup->setExclusive(true);
    for (QAction *action : {m_alignLeft, m_alignCenter, m_alignRight})
        m_alignGroup->addAction(action);

    m_open->setIcon(MemoGlyph(TMemoGlyph::Open));
    m_save->setIcon(MemoGlyph(TMemoGlyph::Save));
    m_print->setIcon(MemoGlyph(TMemoGlyph::Print));
    m_undo->setIcon(MemoGlyph(TMemoGlyph::Undo));
    m_cut->setIcon(MemoGlyph(TMemoGlyph::Cut));
    m_copy->setIcon(MemoGlyph(TMemoGlyph::Copy));
    m_paste->setIcon(MemoGlyph(TMemoGlyph::Paste));
    // The menus show the words only.
    for (QAction *action : {m_open, m_save, m_print, m_undo, m_cut, m_copy, m_paste})
        action->setIconVisibleInMenu(false);
    m_undo->setEnabled(false);

    connect(m_new, &QAction::triggered, this, &TMemoLastnosti::FileNew);
    connect(m_open, &QAction::triggered, this, &TMemoLastnosti::FileOpen);
    connect(m_save, &QAction::triggered, this, &TMemoLastnosti::FileSave);
    connect(m_saveAs, &QAction::triggered, this, &TMemoLastnosti::FileSaveAs);
    connect(m_print, &QAction::triggered, this, &TMemoLastnosti::FilePrint);
    connect(m_close, &QAction::triggered, this, &QDialog::close);
    connect(m_undo, &QAction::triggered, m_editor, &QTextEdit::undo);
    connect(m_cut, &QAction::triggered, m_editor, &QTextEdit::cut);
    connect(m_copy, &QAction::triggered, m_editor, &QTextEdit::copy);
    connect(m_paste, &QAction::triggered, m_editor, &QTextEdit::paste);
    connect(m_font, &QAction::triggered, this, &TMemoLastnosti::ChooseEditorFont);
    connect(m_background, &QAction::triggered, this, &TMemoLastnosti::ChooseBackgroundColor);
    connect(m_colorButton, &QAction::triggered, this, &TMemoLastnosti::ChooseBackgroundColor);
    connect(m_help, &QAction::triggered, this, [] { Help().ShowTopic(40); });
    for (QAction *style : {m_bold, m_italic, m_underline})
        connect(style, &QAction::toggled, this,
                [this, style](bool down) { StyleToggled(style, down); });
    connect(m_alignGroup, &QActionGroup::triggered, this, &TMemoLastnosti::AlignmentPicked);
    connect(m_bullets, &QAction::toggled, this, &TMemoLastnosti::BulletsToggled);
    connect(m_editor, &QTextEdit::copyAvailable, m_copy, &QAction::setEnabled);
    connect(m_editor, &QTextEdit::copyAvailable, m_cut, &QAction::setEnabled);
}

void TMemoLastnosti::MakeMenus()
{
    m_menuBar->setObjectName(QStringLiteral("MainMenu"));
    QMenu *file = m_menuBar->addMenu(QStringLiteral("&File"));
    file->addActions({m_new, m_open, m_save, m_saveAs, m_print});
    file->addSeparator();
    file->addAction(m_close);
    QMenu *edit = m_menuBar->addMenu(QStringLiteral("&Edit"));
    edit->addAction(m_undo);
    edit->addSeparator();
    edit->addActions({m_cut, m_copy, m_paste});
    edit->addSeparator();
    edit->addActions({m_font, m_background});
    m_menuBar->addAction(m_help);
}

void TMemoLastnosti::MakeToolBar()
{
    m_toolBar->setObjectName(QStringLiteral("ToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(16, 16));
    m_toolBar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    m_toolBar->addActions({m_open, m_save, m_print});
    m_toolBar->addSeparator();
    m_toolBar->addActions({m_undo, m_cut, m_copy, m_paste});

    m_fontName = new QComboBox(m_toolBar);
    m_fontName->setObjectName(QStringLiteral("FontName"));
    m_fontName->setAccessibleName(QStringLiteral("Font name"));
    m_fontName->setToolTip(QStringLiteral("Font"));
    m_fontName->setStatusTip(QStringLiteral("Font"));
    m_fontName->setEditable(true);
    m_fontName->setInsertPolicy(QComboBox::NoInsert);
    m_fontName->setMinimumContentsLength(14);
    m_fontName->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    m_fontName->addItems(families);
    connect(m_fontName, &QComboBox::textActivated, this, &TMemoLastnosti::FontNamePicked);
    m_toolBar->addWidget(m_fontName);
    m_toolBar->addSeparator();

    m_fontSize = new QSpinBox(m_toolBar);
    m_fontSize->setObjectName(QStringLiteral("FontSize"));
    m_fontSize->setAccessibleName(QStringLiteral("Font size"));
    m_fontSize->setToolTip(QStringLiteral("Font size"));
    m_fontSize->setStatusTip(QStringLiteral("Font size"));
    m_fontSize->setRange(0, LargestFontSize);
    // A size is taken when typing ends or an arrow is pressed, not on each
    // digit on the way to it.
    m_fontSize->setKeyboardTracking(false);
    connect(m_fontSize, &QSpinBox::valueChanged, this, &TMemoLastnosti::FontSizeChanged);
    m_toolBar->addWidget(m_fontSize);
    m_toolBar->addSeparator();

    m_toolBar->addActions({m_bold, m_italic, m_underline, m_colorButton});
    m_toolBar->addSeparator();
    m_toolBar->addActions({m_alignLeft, m_alignCenter, m_alignRight});
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_bullets);
}

void TMemoLastnosti::MakeStatusBar()
{
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    const QFontMetrics metrics(m_panels[0]->font());
    m_panels[0]->setMinimumWidth(
        metrics.horizontalAdvance(QStringLiteral("Line: 0000   Column: 0000")));
    m_panels[1]->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("Changed")) + 16);
    for (int i = 0; i < 3; ++i) {
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // Plain panels: a status panel never reads its text as markup.
        m_panels[i]->setTextFormat(Qt::PlainText);
        // Normal (not permanent) widgets: the bar hides them while it shows a
        // hint, which then fills the whole bar.
        m_statusBar->addWidget(m_panels[i], i == 2 ? 1 : 0);
    }
}

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

QString TMemoLastnosti::FileFilter()
{
    return QStringLiteral("Rich Text Files (*.RTF);;Text Files (*.TXT)");
}

void TMemoLastnosti::FileNew()
{
    m_fileName = Untitled();
    m_editor->ReplaceDocument(m_editor->NewDocument());
    RefreshChangeState();
    SelectionChange();
}

QFileDialog &TMemoLastnosti::OpenDialog()
{
    if (!m_openDialog) {
        // Qt's own dialog, so that it can carry the read-only tick box.
        m_openDialog = std::make_unique<QFileDialog>(
            this, QStringLiteral("Open"), QCoreApplication::applicationDirPath(), FileFilter());
        m_openDialog->setObjectName(QStringLiteral("OpenDialog"));
        m_openDialog->setOption(QFileDialog::DontUseNativeDialog);
        m_openDialog->setAcceptMode(QFileDialog::AcceptOpen);
        m_openDialog->setFileMode(QFileDialog::ExistingFile);
        m_readOnlyBox = new QCheckBox(QStringLiteral("Open as &read-only"), m_openDialog.get());
        m_readOnlyBox->setObjectName(QStringLiteral("ReadOnlyBox"));
        if (auto *grid = qobject_cast<QGridLayout *>(m_openDialog->layout()))
            grid->addWidget(m_readOnlyBox, grid->rowCount(), 0, 1, -1);
    }
    return *m_openDialog;
}

QFileDialog &TMemoLastnosti::SaveDialog()
{
    if (!m_saveDialog) {
        m_saveDialog = std::make_unique<QFileDialog>(
            this, QStringLiteral("Save As"), QCoreApplication::applicationDirPath(), FileFilter());
        m_saveDialog->setObjectName(QStringLiteral("SaveDialog"));
        m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
        m_saveDialog->setFileMode(QFileDialog::AnyFile);
        // The editor asks "Rewrite" itself.
        m_saveDialog->setOption(QFileDialog::DontConfirmOverwrite);
        m_saveDialog->setDefaultSuffix(QStringLiteral("rtf"));
        QFileDialog *dialog = m_saveDialog.get();
        connect(dialog, &QFileDialog::filterSelected, dialog, [dialog](const QString &filter) {
            dialog->setDefaultSuffix(filter.contains(QLatin1String("*.TXT"))
                                         ? QStringLiteral("txt")
                                         : QStringLiteral("rtf"));
        });
    }
    return *m_saveDialog;
}

QPrinter &TMemoLastnosti::Printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

bool TMemoLastnosti::SaveCheck()
{
    if (!m_editor->document()->isModified())
        return true;
    switch (Interaction().Message(TQZMessageKind::Confirmation, QStringLiteral("Confirm"),
                                  QStringLiteral("Save %1?").arg(m_fileName),
                                  TQZButton::Yes | TQZButton::No | TQZButton::Cancel)) {
    // The text is only given up once it is saved.
    case TQZButton::Yes: return FileSave();
    case TQZButton::No: return true;
    default: return false;
    }
}

void TMemoLastnosti::FileOpen()
{
    if (!SaveCheck())
        return;
    QFileDialog &dialog = OpenDialog();
    m_readOnlyBox->setChecked(false);
    if (Interaction().ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    OpenFile(dialog.selectedFiles().constFirst(), m_readOnlyBox->isChecked());
}

void TMemoLastnosti::FilesDropped(const QStringList &fileNames)
{
    if (fileNames.isEmpty() || !SaveCheck())
        return;
    OpenFile(fileNames.constFirst(), m_editor->isReadOnly());
}

void TMemoLastnosti::OpenFile(const QString &fileName, bool readOnly)
{
    QString error;
    if (!LoadTextFile(fileName, *m_editor, &error)) {
        ReportError(QStringLiteral("Opening error: "), fileName, error);
        return;
    }
    m_fileName = fileName;
    m_editor->setReadOnly(readOnly);
    m_editor->setFocus();
    RefreshChangeState();
    RefreshPasteState();
    SelectionChange();
}

bool TMemoLastnosti::FileSave()
{
    if (m_fileName == Untitled())
        return FileSaveAs();
    return SaveTo(m_fileName);
}

bool TMemoLastnosti::FileSaveAs()
{
    QFileDialog &dialog = SaveDialog();
    dialog.selectFile(m_fileName);
    if (Interaction().ExecDialog(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    const QString fileName = dialog.selectedFiles().constFirst();
    if (QFileInfo::exists(fileName) &&
        Interaction().Message(TQZMessageKind::Confirmation, QStringLiteral("Confirm"),
                              QStringLiteral("Rewrite %1").arg(fileName),
                              TQZButton::Yes | TQZButton::No | TQZButton::Cancel) != TQZButton::Yes)
        return false;
    return SaveTo(fileName);
}

bool TMemoLastnosti::SaveTo(const QString &fileName)
{
    QString error;
    if (!WriteTextFile(fileName, *m_editor->document(), &error)) {
        ReportError(QStringLiteral("Saving error: "), fileName, error);
        return false;
    }
    m_fileName = fileName;
    m_editor->document()->setModified(false);
    RefreshChangeState();
    return true;
}

void TMemoLastnosti::ReportError(const QString &words, const QString &fileName,
                                 const QString &error)
{
    ShowErrorMessage(words + fileName + QStringLiteral("\n") + error);
}

void TMemoLastnosti::FilePrint()
{
    QPrinter &printer = Printer();
    // Without a printer the dialog still offers printing to a PDF file.
    if (printer.outputFormat() == QPrinter::PdfFormat && printer.outputFileName().isEmpty())
        printer.setOutputFileName(QDir::home().filePath(QFileInfo(m_fileName).completeBaseName() +
                                                        QStringLiteral(".pdf")));
    QPrintDialog dialog(&printer, this);
    if (Interaction().ExecDialog(dialog) != QDialog::Accepted)
        return;
    printer.setDocName(m_fileName);
    m_editor->document()->print(&printer);
    if (printer.printerState() == QPrinter::Error)
        ShowErrorMessage(QStringLiteral("Printing error: ") + m_fileName);
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
