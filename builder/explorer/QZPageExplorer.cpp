#include "QZPageExplorer.h"

#include "QZEditorState.h"
#include "QZInteraction.h"
#include "QZStream.h"
#include "QZSurface.h"
#include "QZUndoCommands.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace CorvBuilder {

namespace {

constexpr int ListWidth = 240;
constexpr int ListHeight = 300;

} // namespace

QString PageFileFilter() { return QStringLiteral("Corvella Page (*.cvp)"); }

QString PageFileExtension() { return QStringLiteral("cvp"); }

QString ProposedPageFileName(const QString &pageName)
{
    QString name = pageName;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    name.replace(QChar(u'\0'), QLatin1Char('_'));
    return name;
}

TPageLoadingScope::TPageLoadingScope()
    : m_saved(TestLoading)
{
    TestLoading = true;
}

TPageLoadingScope::~TPageLoadingScope() { TestLoading = m_saved; }

TPageExplorer::TPageExplorer(TQZPageSurface *surface, TBuilderDocument &document,
                             TPageCommands pageCommands)
    : QWidget(surface, Qt::Tool | Qt::WindowStaysOnTopHint)
    , m_document(&document)
    , m_commands(std::move(pageCommands))
    , m_list(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Test Explorer"));
    setAccessibleName(QStringLiteral("Test Explorer"));
    setWindowModality(Qt::NonModal);

    m_list->setObjectName(QStringLiteral("PageList"));
    m_list->setAccessibleName(QStringLiteral("Pages"));
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setMinimumSize(ListWidth, ListHeight);
    connect(m_list, &QListWidget::currentRowChanged, this, &TPageExplorer::LineSelected);
    auto *label = new QLabel(QStringLiteral("Pages:"), this);
    label->setBuddy(m_list);
    auto *pages = new QVBoxLayout;
    pages->addWidget(label);
    pages->addWidget(m_list, 1);

    auto *column = new QVBoxLayout;
    const std::pair<const char *, void (TPageExplorer::*)()> commands[] = {
        {"Move Up", &TPageExplorer::MoveUp},           {"Move Down", &TPageExplorer::MoveDown},
        {"Duplicate", &TPageExplorer::Duplicate},      {"Delete", &TPageExplorer::DeletePage},
        {"Properties...", &TPageExplorer::Properties}, {"Save Page...", &TPageExplorer::SavePage},
        {"Load Page...", &TPageExplorer::LoadPage},
    };
    for (const auto &[caption, command] : commands) {
        auto *button = new QPushButton(QString::fromLatin1(caption), this);
        button->setAutoDefault(false);
        connect(button, &QPushButton::clicked, this, command);
        column->addWidget(button);
        m_buttons << button;
    }
    column->addStretch(1);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QWidget::close);
    column->addWidget(ok);
    m_buttons << ok;

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(pages, 1);
    layout->addLayout(column);
    // The list follows the document.
    for (auto signal : {&TBuilderDocument::PagesChanged, &TBuilderDocument::CurrentPageChanged,
                        &TBuilderDocument::TestOpenedOrClosed, &TBuilderDocument::FileNameChanged})
        connect(&document, signal, this, [this] {
            if (isVisible())
                Refresh();
        });
    connect(&document, &TBuilderDocument::ModifiedChanged, this, [this] {
        if (isVisible())
            Refresh();
    });
    Refresh();
}

QPushButton *TPageExplorer::Button(const QString &caption) const
{
    for (QPushButton *button : m_buttons)
        if (button->text() == caption)
            return button;
    return nullptr;
}

void TPageExplorer::Refresh()
{
    const QSignalBlocker blocker(m_list);
    m_list->clear();
    const TQZNaloga *test = m_document->Test();
    if (test) {
        for (int i = 0; i < test->PageCount(); ++i)
            m_list->addItem(test->Page(i)->PageName());
        m_list->setCurrentRow(test->CurrentIndex());
    }
    // Without a test only OK has anything to do.
    for (QPushButton *button : std::as_const(m_buttons))
        button->setEnabled(test || button->text() == QLatin1String("OK"));
}

int TPageExplorer::SelectedIndex() const { return m_list->currentRow(); }

bool TPageExplorer::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Refresh();
    return QWidget::event(event);
}

void TPageExplorer::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    Refresh();
    if (m_placed)
        return;
    // Centred on the screen the first time; afterwards where the author put it.
    m_placed = true;
    if (const QScreen *screen =
            this->screen() ? this->screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

// Clicking a line (or moving to it with the keys) shows that page.
void TPageExplorer::LineSelected(int row)
{
    const TQZNaloga *test = m_document->Test();
    if (!test || row < 0 || row >= test->PageCount())
        return;
    m_document->GoToPage(row);
}

void TPageExplorer::MoveUp() { Move(-1); }

void TPageExplorer::MoveDown() { Move(+1); }

// The moved page stays the one shown, and its line stays selected.
void TPageExplorer::Move(int delta)
{
    TBuilderDocument &document = *m_document;
    const TQZNaloga *test = document.Test();
    const int i = SelectedIndex();
    if (!test || i < 0 || i + delta < 0 || i + delta >= test->PageCount())
        return;
    document.Push(new TMovePage(document, i, i + delta));
    m_list->setFocus();
    m_list->setCurrentRow(i + delta);
}

void TPageExplorer::Duplicate()
{
    TBuilderDocument &document = *m_document;
    TQZNaloga *test = document.Test();
    const int i = SelectedIndex();
    if (!test || i < 0)
        return;
    document.GoToPage(i);
    TQZStran *before = document.CurrentPage();
    {
        const TPageLoadingScope loading;
        test->DuplicatePage(i);
    }
    TQZStran *copy = test->Page(test->PageCount() - 1);
    document.GoToPage(test->PageCount() - 1);
    document.Push(new TInsertPage(document, QStringLiteral("Duplicate Page"), copy, before));
}

// The tools window's Delete page works on the current page, which is the
// selected one.
void TPageExplorer::DeletePage()
{
    TBuilderDocument &document = *m_document;
    const TQZNaloga *test = document.Test();
    const int i = SelectedIndex();
    if (!test || i < 0)
        return;
    if (i != test->CurrentIndex())
        document.GoToPage(i);
    m_commands.DeletePage();
    Refresh();
}

void TPageExplorer::Properties()
{
    if (!m_document->CurrentPage())
        return;
    m_commands.PageProperties();
    Refresh();
}

void TPageExplorer::SavePage()
{
    const TQZNaloga *test = m_document->Test();
    const int i = SelectedIndex();
    if (!test || i < 0)
        return;
    const QString name = Interaction().SaveFileName(
        this, QStringLiteral("Save Page"), PageFileFilter(), PageFileExtension(),
        ProposedPageFileName(test->Page(i)->PageName()));
    if (name.isEmpty())
        return;
    try {
        test->SavePageToFile(i, name);
    } catch (const TQZFileError &error) {
        ShowErrorMessage(QStringLiteral("Saving error: ") + name + QStringLiteral("\n") +
                         error.Cause());
    }
}

void TPageExplorer::LoadPage()
{
    TBuilderDocument &document = *m_document;
    TQZNaloga *test = document.Test();
    const int i = SelectedIndex();
    if (!test || i < 0)
        return;
    const QString name = Interaction().OpenFileName(this, QStringLiteral("Load Page"),
                                                    PageFileFilter(), PageFileExtension());
    if (name.isEmpty())
        return;
    document.GoToPage(i);
    TQZStran *before = document.CurrentPage();
    try {
        const TPageLoadingScope loading;
        test->LoadPageFromFile(name);
    } catch (const TQZFileError &error) {
        // Nothing was added.
        ShowErrorMessage(QStringLiteral("Opening error: ") + name + QStringLiteral("\n") +
                         error.Cause());
        return;
    }
    document.GoToPage(test->PageCount() - 1);
    document.Push(
        new TInsertPage(document, QStringLiteral("Load Page"), document.CurrentPage(), before));
}

} // namespace CorvBuilder
