#include "QZOrodja.h"

#include "QZGlavnoOkno.h"
#include "QZHelp.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <array>

#include <utility>

// The icons live in the library, which the programs and tests link
// statically: their resources are registered by hand.
static void InitSpeedButtonIcons() { Q_INIT_RESOURCE(speedbuttons); }

namespace CorvBuilder {

namespace {

constexpr int ButtonSize = 30;
// The icons' own grid, drawn one to one; the large Help button's at twice it.
constexpr int IconSize = 24;

// A speed button's icon: the icon theme's where it has one of that name (so
// the window looks like the author's other programs), else our own, drawn
// on a 24 x 24 grid to read at 16 and 24 pixels on light and dark palettes.
QIcon SpeedIcon(const char *file, const char *themeName)
{
    const QIcon own(QStringLiteral(":/speedbuttons/%1.svg").arg(QLatin1String(file)));
    return *themeName ? QIcon::fromTheme(QLatin1String(themeName), own) : own;
}

struct TButtonPlace
{
    int Left, Top;
    const char *Hint;
    void (TOrodja::*Command)();
    const char *Icon;      // our own, :/speedbuttons/<Icon>.svg
    const char *ThemeIcon; // the freedesktop name of the same thing; empty for none
    bool Toggle;
};

const TButtonPlace ButtonPlaces[] = {
    {6, 6, "New", &TOrodja::New, "new", "document-new", false},
    {36, 6, "Open", &TOrodja::Open, "open", "document-open", false},
    {6, 36, "Save", &TOrodja::Save, "save", "document-save", false},
    {36, 36, "New Page from Template", &TOrodja::NewPageFromTemplate, "page-template", "", false},
    {72, 6, "Choices", &TOrodja::InsertChoices, "choices", "", false},
    {102, 6, "Alternative question", &TOrodja::InsertAlternative, "alternative", "", false},
    {72, 36, "Input box", &TOrodja::InsertInputBox, "input-box", "", false},
    {102, 36, "Button", &TOrodja::InsertButton, "button", "", false},
    {138, 6, "Transparent text", &TOrodja::InsertTransparentText, "transparent-text", "", false},
    {138, 36, "Rich text format", &TOrodja::InsertRichText, "rich-text", "", false},
    {168, 6, "Underlying text", &TOrodja::InsertTextWithBackground, "underlying-text", "", false},
    {168, 36, "Graphics", &TOrodja::InsertGraphics, "graphics", "", false},
    {198, 6, "Multimedia", &TOrodja::InsertMultimedia, "multimedia", "", false},
    {198, 36, "Add new page", &TOrodja::AddPage, "page-add", "", false},
    {234, 6, "Insert OLE frame", &TOrodja::InsertOleFrame, "ole-frame", "", false},
    {234, 36, "Insert OLE object in OLE frame", &TOrodja::ToggleOleInsert, "ole-insert", "", true},
    {270, 6, "Delete object", &TOrodja::ToggleDelete, "delete-object", "edit-delete", true},
    {270, 36, "Delete current page", &TOrodja::DeletePage, "page-delete", "", false},
    {306, 6, "Previous page", &TOrodja::PreviousPage, "page-previous", "go-previous", false},
    {336, 6, "Move on page", &TOrodja::MoveToPage, "page-move", "", false},
    {366, 6, "Next page", &TOrodja::NextPage, "page-next", "go-next", false},
    {336, 36, "Run the Test", &TOrodja::Run, "run", "media-playback-start", false},
    {306, 36, "Undo", &TOrodja::Undo, "undo", "edit-undo", false},
    {366, 36, "Redo", &TOrodja::Redo, "redo", "edit-redo", false},
};

// The buttons hidden while no test is open, under the large Help button.
const char *const InsertHints[] = {"Choices", "Alternative question", "Input box",
                                   "Button",  "Transparent text",     "Rich text format"};

// The items enabled only while a test is open.
const char *const TestItems[] = {"Save",
                                 "Cut",
                                 "Copy",
                                 "Paste",
                                 "Save As...",
                                 "Close and Save",
                                 "Close without Saving",
                                 "Save with Password...",
                                 "Test Properties...",
                                 "Insert",
                                 "Delete",
                                 "Move to Page...",
                                 "Print...",
                                 "Run...",
                                 "Test Explorer..."};

const char HelpContextProperty[] = "HelpContext";

} // namespace

TOrodja::TOrodja(TGlavnoOkno *surface)
    // Always on top; the dialogs the commands open are kept on top as well,
    // and come above it as they open (see the interaction layer).
    : QWidget(surface,
              Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_surface(surface)
{
    setWindowTitle(QStringLiteral("Tools"));
    setAccessibleName(QStringLiteral("Tools"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_menuBar = new QMenuBar(this);
    m_menuBar->setNativeMenuBar(false);
    layout->addWidget(m_menuBar);
    m_panel = new QWidget(this);
    m_panel->setFixedHeight(ClientHeight);
    layout->addWidget(m_panel);
    BuildMenus();
    BuildButtons(m_panel);
    // The shortcuts of the edits work wherever the author is: on the surface
    // as in this window.
    for (const char *caption : {"Undo", "Redo", "Cut", "Copy", "Paste"})
        if (QAction *item = m_items.value(QString::fromLatin1(caption)); item && m_surface)
            m_surface->addAction(item);
    SetNoTestState();
    if (surface) {
        surface->SetTools(this);
        connect(&surface->Document(), &TBuilderDocument::TestOpenedOrClosed, this, [this] {
            if (Doc().HasTest())
                SetTestOpenState();
            else
                SetNoTestState();
        });
    }
    // Kept on top of the builder's windows only: while another program (the
    // player started by Run, say) is in front, the window steps aside.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive) {
                    if (std::exchange(m_hiddenWhileInactive, false))
                        show();
                } else if (isVisible() && !QApplication::activeModalWidget()) {
                    m_hiddenWhileInactive = true;
                    hide();
                }
            });
}

void TOrodja::BuildButtons(QWidget *panel)
{
    InitSpeedButtonIcons();
    for (const TButtonPlace &place : ButtonPlaces) {
        const QString hint = QString::fromUtf8(place.Hint);
        auto *button = new QToolButton(panel);
        button->setGeometry(place.Left, place.Top, ButtonSize, ButtonSize);
        button->setToolTip(hint);
        button->setAccessibleName(hint);
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::TabFocus);
        button->setIconSize(QSize(IconSize, IconSize));
        button->setIcon(SpeedIcon(place.Icon, place.ThemeIcon));
        button->setCheckable(place.Toggle);
        connect(button, &QToolButton::clicked, this, place.Command);
        m_buttons.insert(hint, button);
    }
    // Undo and Redo name the edit in their hints, and are enabled while
    // there is one.
    for (const char *name : {"Undo", "Redo"}) {
        QToolButton *button = m_buttons.value(QString::fromLatin1(name));
        const QAction *item = m_items.value(QString::fromLatin1(name));
        if (!button || !item)
            continue;
        const auto follow = [button, item] {
            button->setToolTip(item->text());
            button->setAccessibleName(item->text());
            button->setEnabled(item->isEnabled());
        };
        connect(item, &QAction::changed, button, follow);
        follow();
    }
    m_helpButton = new QToolButton(panel);
    m_helpButton->setGeometry(78, 6, 61, 61);
    m_helpButton->setIcon(SpeedIcon("help", "help-contents"));
    m_helpButton->setIconSize(QSize(2 * IconSize, 2 * IconSize));
    m_helpButton->setToolTip(QStringLiteral("Help"));
    m_helpButton->setAccessibleName(QStringLiteral("Help"));
    connect(m_helpButton, &QToolButton::clicked, this, &TOrodja::HelpContents);
}

QAction *TOrodja::AddItem(QMenu *menu, const QString &caption, void (TOrodja::*command)(),
                          int helpContext)
{
    QAction *action = menu->addAction(caption);
    if (command)
        connect(action, &QAction::triggered, this, command);
    if (helpContext)
        action->setProperty(HelpContextProperty, helpContext);
    m_items.insert(QString(caption).remove(QLatin1Char('&')), action);
    return action;
}

QMenu *TOrodja::AddMenu(QMenu *parent, const QString &caption, int helpContext)
{
    QMenu *menu = parent ? parent->addMenu(caption) : m_menuBar->addMenu(caption);
    menu->installEventFilter(this);
    if (helpContext)
        menu->menuAction()->setProperty(HelpContextProperty, helpContext);
    m_items.insert(QString(caption).remove(QLatin1Char('&')), menu->menuAction());
    return menu;
}

void TOrodja::BuildMenus()
{
    QMenu *file = AddMenu(nullptr, QStringLiteral("&File"), 210);
    AddItem(file, QStringLiteral("New..."), &TOrodja::New);
    AddItem(file, QStringLiteral("New Page from Template..."), &TOrodja::NewPageFromTemplate);
    AddItem(file, QStringLiteral("Open..."), &TOrodja::Open);
    AddItem(file, QStringLiteral("Save"), &TOrodja::Save, 160);
    AddItem(file, QStringLiteral("Save As..."), &TOrodja::SaveAs, 160);
    AddItem(file, QStringLiteral("Save with Password..."), &TOrodja::SaveWithPassword);
    AddItem(file, QStringLiteral("Close and Save"), &TOrodja::CloseAndSave, 160);
    AddItem(file, QStringLiteral("Close without Saving"), &TOrodja::CloseWithoutSaving, 160);
    file->addSeparator();
    AddItem(file, QStringLiteral("Print Setup..."), &TOrodja::PrintSetup);
    AddItem(file, QStringLiteral("Print..."), &TOrodja::Print);
    file->addSeparator();
    AddItem(file, QStringLiteral("Exit"), &TOrodja::Exit);

    QMenu *test = AddMenu(nullptr, QStringLiteral("&Test"));
    BuildUndoActions(test);
    AddItem(test, QStringLiteral("Test Properties..."), &TOrodja::TestProperties, 250);
    QMenu *insert = AddMenu(test, QStringLiteral("Insert"), 210);
    AddItem(insert, QStringLiteral("Choices"), &TOrodja::InsertChoices, 100);
    AddItem(insert, QStringLiteral("Alternative Question"), &TOrodja::InsertAlternative, 90);
    AddItem(insert, QStringLiteral("Input Box"), &TOrodja::InsertInputBox, 80);
    AddItem(insert, QStringLiteral("Rich Text Format"), &TOrodja::InsertRichText, 40);
    AddItem(insert, QStringLiteral("Graphics"), &TOrodja::InsertGraphics, 170);
    AddItem(insert, QStringLiteral("Multimedia"), &TOrodja::InsertMultimedia, 190);
    QMenu *ole = AddMenu(insert, QStringLiteral("Object (OLE)"), 180);
    AddItem(ole, QStringLiteral("Insert the OLE Frame"), &TOrodja::InsertOleFrame, 180);
    AddItem(ole, QStringLiteral("Insert the Contents - the OLE Object"), &TOrodja::ToggleOleInsert,
            180)
        ->setCheckable(true);
    AddItem(insert, QStringLiteral("Transparent Text"), &TOrodja::InsertTransparentText, 20);
    AddItem(insert, QStringLiteral("Text with Background"), &TOrodja::InsertTextWithBackground, 30);
    AddItem(insert, QStringLiteral("Button"), &TOrodja::InsertButton, 110);
    insert->addSeparator();
    AddItem(insert, QStringLiteral("Add page"), &TOrodja::AddPage, 130);
    AddItem(insert, QStringLiteral("Insert page"), &TOrodja::InsertPage, 130);
    QMenu *remove = AddMenu(test, QStringLiteral("Delete"), 210);
    AddItem(remove, QStringLiteral("Delete object"), &TOrodja::ToggleDelete, 200)
        ->setCheckable(true);
    AddItem(remove, QStringLiteral("Delete page"), &TOrodja::DeletePage, 140);
    test->addSeparator();
    const std::pair<const char *, QKeySequence::StandardKey> clipboard[] = {
        {"Cut", QKeySequence::Cut}, {"Copy", QKeySequence::Copy}, {"Paste", QKeySequence::Paste}};
    const std::array<void (TOrodja::*)(), 3> clipboardCommands = {&TOrodja::Cut, &TOrodja::Copy,
                                                                  &TOrodja::Paste};
    for (size_t i = 0; i < std::size(clipboard); ++i) {
        QAction *item =
            AddItem(test, QString::fromLatin1(clipboard[i].first), clipboardCommands[i]);
        item->setShortcut(clipboard[i].second);
    }
    test->addSeparator();
    AddItem(test, QStringLiteral("Move to Page..."), &TOrodja::MoveToPage, 150);
    AddItem(test, QStringLiteral("Run..."), &TOrodja::Run);
    test->addSeparator();
    AddItem(test, QStringLiteral("Test Explorer..."), &TOrodja::TestExplorer);
    AddItem(test, QStringLiteral("Results..."), &TOrodja::Results);
    test->addSeparator();
    QAction *step = AddItem(test, QStringLiteral("Step"), &TOrodja::ToggleStep, 210);
    step->setCheckable(true);
    step->setChecked(true);

    QMenu *help = AddMenu(nullptr, QStringLiteral("&Help"));
    QAction *contents = AddItem(help, QStringLiteral("Help..."), &TOrodja::HelpContents);
    contents->setShortcut(Qt::Key_F1);
    contents->setShortcutContext(Qt::WindowShortcut);
    addAction(contents);
    help->addSeparator();
    const std::pair<const char *, int> topics[] = {
        {"Basic Screen", 300},
        {"Menu and Tools", 310},
        {"Creation of the New Project - Test", 320},
        {"Use of Objects", 330},
        {"Use of Pages", 350},
        {"Use of Templates", 400},
        {"Use of Test Explorer", 410},
        {"Defining the Properties of the Program - Test", 250},
        {"Saving, Opening and Testing the Program - Test", 160},
        {"Running Tests", 370},
    };
    for (const auto &[caption, context] : topics) {
        QAction *item =
            AddItem(help, QString::fromLatin1(caption), nullptr, context == 300 ? 300 : 0);
        connect(item, &QAction::triggered, this, [this, context] { HelpTopic(context); });
    }
    help->addSeparator();
    AddItem(help, QStringLiteral("About..."), &TOrodja::About);
}

// F1 on a highlighted menu item opens the item's help topic.
bool TOrodja::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
        if (auto *menu = qobject_cast<QMenu *>(watched)) {
            const QAction *active = menu->activeAction();
            int context = active ? active->property(HelpContextProperty).toInt() : 0;
            if (!context)
                context = menu->menuAction()->property(HelpContextProperty).toInt();
            if (context) {
                menu->close();
                HelpTopic(context);
            } else {
                HelpContents();
            }
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

int TOrodja::MenuHeight() const { return m_menuBar->sizeHint().height(); }

void TOrodja::SetNoTestState()
{
    for (const char *caption : TestItems)
        if (QAction *item = m_items.value(QString::fromLatin1(caption)))
            item->setEnabled(false);
    for (const char *hint : InsertHints)
        m_buttons.value(QString::fromLatin1(hint))->hide();
    m_helpButton->show();
    m_buttons.value(QStringLiteral("Save"))->setEnabled(false);
    setFixedSize(WidthWithoutTest, MenuHeight() + ClientHeight);
}

void TOrodja::SetTestOpenState()
{
    for (const char *caption : TestItems)
        if (QAction *item = m_items.value(QString::fromLatin1(caption)))
            item->setEnabled(true);
    for (const char *hint : InsertHints)
        m_buttons.value(QString::fromLatin1(hint))->show();
    m_helpButton->hide();
    m_buttons.value(QStringLiteral("Save"))->setEnabled(true);
    setFixedSize(WidthWithTest, MenuHeight() + ClientHeight);
}

void TOrodja::BuildUndoActions(QMenu *test)
{
    if (!m_surface)
        return;
    QUndoStack &stack = m_surface->Document().UndoStack();
    QAction *undo = stack.createUndoAction(this, QStringLiteral("Undo"));
    undo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Z)});
    QAction *redo = stack.createRedoAction(this, QStringLiteral("Redo"));
    redo->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // The stack's own actions name the edit; pending typing goes first.
    for (QAction *action : {undo, redo}) {
        disconnect(action, &QAction::triggered, nullptr, nullptr);
        const bool isUndo = action == undo;
        connect(action, &QAction::triggered, this, isUndo ? &TOrodja::Undo : &TOrodja::Redo);
        test->addAction(action);
        m_items.insert(isUndo ? QStringLiteral("Undo") : QStringLiteral("Redo"), action);
    }
    test->addSeparator();
}

QToolButton *TOrodja::SpeedButton(const QString &hint) const { return m_buttons.value(hint); }

QAction *TOrodja::MenuItem(const QString &caption) const { return m_items.value(caption); }

void TOrodja::HelpContents() { Help().ShowContents(); }

void TOrodja::HelpTopic(int context) { Help().ShowTopic(context); }

} // namespace CorvBuilder
