#include "QZHelpWindow.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString LinkScheme = QStringLiteral("topic");
constexpr int HistoryLimit = 100;

} // namespace

TQZHelpWindow::TQZHelpWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_list(new QListWidget(this))
    , m_view(new QTextBrowser(this))
    , m_back(new QPushButton(tr("&Back"), this))
    , m_contents(new QPushButton(tr("&Contents"), this))
{
    setWindowTitle(tr("Corvella Builder Help"));
    setAccessibleName(windowTitle());
    // An open help window never keeps the program running once its main
    // window has closed.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_contents->setAccessibleName(tr("Contents"));
    m_contents->setAccessibleDescription(tr("Shows the contents of the help"));
    m_contents->setToolTip(tr("Contents (Alt+Home)"));
    m_back->setAccessibleName(tr("Back"));
    m_back->setAccessibleDescription(tr("Goes back to the topic shown before"));
    m_back->setToolTip(tr("Back (Alt+Left)"));
    m_back->setEnabled(false);
    m_contents->setAutoDefault(false);
    m_back->setAutoDefault(false);

    m_list->setAccessibleName(tr("Help topics"));
    m_list->setAccessibleDescription(tr("Picking a topic shows its text"));
    m_view->setAccessibleName(tr("Topic text"));
    m_view->setOpenLinks(false);
    m_view->setOpenExternalLinks(false);
    m_view->setTextInteractionFlags(Qt::TextBrowserInteraction);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_contents);
    buttons->addWidget(m_back);
    buttons->addStretch();

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(m_list);
    splitter->addWidget(m_view);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({240, 560});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    setTabOrder(m_contents, m_back);
    setTabOrder(m_back, m_list);
    setTabOrder(m_list, m_view);

    connect(m_contents, &QPushButton::clicked, this, &TQZHelpWindow::ShowContents);
    connect(m_back, &QPushButton::clicked, this, &TQZHelpWindow::GoBack);
    connect(m_view, &QTextBrowser::anchorClicked, this, &TQZHelpWindow::FollowLink);
    connect(m_list, &QListWidget::currentRowChanged, this, &TQZHelpWindow::TopicPicked);
    // Enter on a topic of the list takes the reader into its text.
    connect(m_list, &QListWidget::itemActivated, this,
            [this] { m_view->setFocus(Qt::OtherFocusReason); });

    // Window-wide keys: they work whichever part has the focus.
    const auto addShortcut = [this](const QKeySequence &keys, auto slot) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, slot);
    };
    addShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), &TQZHelpWindow::GoBack);
    addShortcut(QKeySequence(Qt::ALT | Qt::Key_Home), &TQZHelpWindow::ShowContents);
    addShortcut(QKeySequence(Qt::Key_F1), &TQZHelpWindow::ShowContents);

    resize(820, 600);
}

void TQZHelpWindow::SetHelpFile(TQZHelpFile file)
{
    m_file = std::move(file);
    m_history.clear();
    {
        const QSignalBlocker blocker(m_list);
        m_list->clear();
        for (const TQZHelpTopic &topic : m_file.Topics()) {
            auto *item = new QListWidgetItem(topic.Title, m_list);
            item->setData(Qt::UserRole, topic.Context);
        }
    }
    m_current = -1;
    Display(TQZHelpFile::ContentsContext, false);
}

void TQZHelpWindow::ShowContents() { Display(TQZHelpFile::ContentsContext, true); }

void TQZHelpWindow::ShowTopic(int context) { Display(context, true); }

void TQZHelpWindow::GoBack()
{
    if (m_history.isEmpty())
        return;
    Display(m_history.takeLast(), false);
}

void TQZHelpWindow::Display(int context, bool remember)
{
    if (!m_file.Topic(context))
        context = TQZHelpFile::ContentsContext;
    if (context == m_current)
        return;
    if (remember && m_current >= 0) {
        m_history.append(m_current);
        if (m_history.size() > HistoryLimit)
            m_history.removeFirst();
    }
    m_current = context;
    m_view->setHtml(m_file.Html(context));
    {
        const QSignalBlocker blocker(m_list);
        for (int row = 0; row < m_list->count(); ++row)
            if (m_list->item(row)->data(Qt::UserRole).toInt() == context) {
                m_list->setCurrentRow(row);
                break;
            }
    }
    m_back->setEnabled(CanGoBack());
}

void TQZHelpWindow::FollowLink(const QUrl &url)
{
    if (url.scheme() != LinkScheme)
        return;
    bool ok = false;
    const int context = url.path().toInt(&ok);
    if (ok)
        ShowTopic(context);
}

void TQZHelpWindow::TopicPicked(int row)
{
    if (QListWidgetItem *item = m_list->item(row))
        ShowTopic(item->data(Qt::UserRole).toInt());
}

void TQZHelpWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
