// The rich text editor's actions and what they are shown in: the menus, the
// toolbar with its font name and size boxes, and the status bar's panels.
#include "QZMemoLastnosti.h"

#include "QZHelp.h"
#include "QZMemoEditor.h"
#include "QZMemoGlyphs.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

namespace CorvBuilder {

namespace {

// The largest size RTF can name: 3276 half points.
constexpr int LargestFontSize = 1638;

} // namespace

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

} // namespace CorvBuilder
