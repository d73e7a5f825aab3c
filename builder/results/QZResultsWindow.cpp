#include "QZResultsWindow.h"

#include "QZAttemptDialog.h"
#include "QZBuilderDocument.h"
#include "QZControl.h"
#include "QZInteraction.h"
#include "QZResultsCharts.h"
#include "QZResultsExport.h"
#include "QZResultsModels.h"
#include "QZStran.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QScreen>
#include <QSet>
#include <QShortcut>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>

using namespace Corvella;

namespace CorvBuilder {

namespace {

enum TTab { AttemptsTab, ChartsTab, ItemsTab, SkippedTab };

bool AsksQuestions(const TQZStran &page)
{
    for (const auto &object : page.Objects()) {
        const int tag = object->ObjectTypeTag();
        if (tag == ObjIzbire || tag == ObjVnosnoOkno || tag == ObjDaNe)
            return true;
    }
    return false;
}

QString SkippedKind(TAttemptReader::TStatus status)
{
    switch (status) {
    case TAttemptReader::TStatus::Foreign: return QStringLiteral("not used");
    case TAttemptReader::TStatus::Unreadable: return QStringLiteral("unreadable");
    case TAttemptReader::TStatus::Damaged:
    case TAttemptReader::TStatus::Ok: break;
    }
    return QStringLiteral("damaged");
}

// "1 file", "3 files".
QString Count(qsizetype count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QTableWidgetItem *Cell(const QString &text, bool number)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QChartView *NewChartView(QWidget *parent, const QString &name)
{
    auto *view = new QChartView(parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setAccessibleName(name);
    view->setFocusPolicy(Qt::TabFocus);
    view->setMinimumSize(240, 200);
    return view;
}

// A view owns the chart it shows but hands the one it replaces back.
void ReplaceChart(QChartView &view, QChart *chart)
{
    const std::unique_ptr<QChart> old(view.chart());
    view.setChart(chart);
}

// Rows a line of text high, as many as fit, whatever the style's default.
void CompactRows(QTableView &view)
{
    view.verticalHeader()->setMinimumSectionSize(view.fontMetrics().height() + 4);
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 8);
}

} // namespace

std::optional<TTestOutline> OpenTestOutline(const TBuilderDocument &document)
{
    const TQZNaloga *test = document.Test();
    if (!test || document.IsModified())
        return std::nullopt;
    QFile file(document.FileName());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file))
        return std::nullopt;
    TTestOutline outline;
    outline.Sha256 = QString::fromLatin1(hash.result().toHex());
    outline.Title = test->Title();
    outline.FileName = QFileInfo(file).fileName();
    for (int i = 0; i < test->PageCount(); ++i)
        outline.Pages.append({test->Page(i)->PageName(), AsksQuestions(*test->Page(i))});
    return outline;
}

TResultsWindow::TResultsWindow(QWidget *parent, TBuilderDocument *document)
    : QWidget(parent, Qt::Window)
    , m_document(document)
{
    setWindowTitle(QStringLiteral("Results"));
    setAccessibleName(QStringLiteral("Results"));
    auto *layout = new QVBoxLayout(this);

    m_folderLabel = new QLabel(this);
    m_folderLabel->setTextFormat(Qt::PlainText);
    m_folderLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_folderLabel->setAccessibleName(QStringLiteral("Folder"));
    layout->addWidget(m_folderLabel);
    m_summary = new QLabel(this);
    // Titles and names come from the records: shown as typed, never as markup.
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);
    m_summary->setAccessibleName(QStringLiteral("Summary"));
    layout->addWidget(m_summary);

    m_tabs = new QTabWidget(this);
    m_tabs->setAccessibleName(QStringLiteral("Views"));
    layout->addWidget(m_tabs, 1);

    m_model = new TAttemptsModel(this);
    m_sorted = new QSortFilterProxyModel(this);
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(TAttemptsModel::SortRole);
    m_attemptsView = new QTableView(m_tabs);
    m_attemptsView->setAccessibleName(QStringLiteral("Attempts"));
    m_attemptsView->setModel(m_sorted);
    m_attemptsView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_attemptsView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_attemptsView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_attemptsView->setTabKeyNavigation(false);
    m_attemptsView->setWordWrap(false);
    m_attemptsView->setAlternatingRowColors(true);
    m_attemptsView->verticalHeader()->hide();
    m_attemptsView->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_attemptsView->horizontalHeader()->setStretchLastSection(true);
    CompactRows(*m_attemptsView);
    m_attemptsView->setSortingEnabled(true);
    m_attemptsView->sortByColumn(TAttemptsModel::Date, Qt::AscendingOrder);
    m_attemptsView->installEventFilter(this);
    connect(m_attemptsView, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { ShowAttempt(index.row()); });
    connect(m_attemptsView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TResultsWindow::UpdateButtons);
    m_tabs->addTab(m_attemptsView, QStringLiteral("&Attempts"));

    auto *charts = new QWidget(m_tabs);
    auto *chartsLayout = new QHBoxLayout(charts);
    m_histogramView = NewChartView(charts, QStringLiteral("Finished attempts by percent"));
    m_facilityView = NewChartView(charts, QStringLiteral("Facility by page"));
    chartsLayout->addWidget(m_histogramView, 1);
    chartsLayout->addWidget(m_facilityView, 1);
    m_tabs->addTab(charts, QStringLiteral("&Charts"));

    m_items = new QTableWidget(0, 6, m_tabs);
    m_items->setAccessibleName(QStringLiteral("Item analysis"));
    m_items->setHorizontalHeaderLabels(
        {QStringLiteral("Page"), QStringLiteral("Seen by"), QStringLiteral("Facility"),
         QStringLiteral("Discrimination"), QStringLiteral("Most chosen wrong answer"),
         QStringLiteral("Times")});
    m_items->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_items->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_items->setTabKeyNavigation(false);
    m_items->setWordWrap(false);
    m_items->verticalHeader()->hide();
    m_items->horizontalHeader()->setSectionResizeMode(4, QHeaderView::Stretch);
    CompactRows(*m_items);
    m_tabs->addTab(m_items, QStringLiteral("&Item Analysis"));

    m_skipped = new QListWidget(m_tabs);
    m_skipped->setAccessibleName(QStringLiteral("Files not read"));
    m_tabs->addTab(m_skipped, QStringLiteral("&Files Not Read"));

    auto *buttons = new QHBoxLayout;
    layout->addLayout(buttons);
    buttons->addWidget(AddButton(QStringLiteral("Choose F&older..."),
                                 QStringLiteral("Choose Folder"), &TResultsWindow::Open));
    buttons->addWidget(
        AddButton(QStringLiteral("&Reload"), QStringLiteral("Reload"), &TResultsWindow::Reload));
    buttons->addWidget(AddButton(QStringLiteral("&Export CSV..."), QStringLiteral("Export CSV"),
                                 &TResultsWindow::ExportCsv));
    buttons->addWidget(AddButton(QStringLiteral("&Show Attempt..."), QStringLiteral("Show Attempt"),
                                 &TResultsWindow::ShowSelectedAttempt));
    buttons->addStretch(1);
    QPushButton *close = AddButton(QStringLiteral("Close"), QStringLiteral("Close"), nullptr);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    buttons->addWidget(close);

    // Escape closes the window, as it would a dialog.
    auto *escape = new QShortcut(QKeySequence::Cancel, this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    FillCharts();
    UpdateButtons();
    resize(980, 680);
}

TResultsWindow::~TResultsWindow()
{
    // The model points into the analysis.
    m_model->SetAnalysis(nullptr);
}

QPushButton *TResultsWindow::AddButton(const QString &text, const QString &name,
                                       void (TResultsWindow::*command)())
{
    auto *button = new QPushButton(text, this);
    button->setAccessibleName(name);
    button->setAutoDefault(false);
    if (command)
        connect(button, &QPushButton::clicked, this, command);
    m_buttons << button;
    return button;
}

QPushButton *TResultsWindow::Button(const QString &name) const
{
    for (QPushButton *button : m_buttons)
        if (button->accessibleName() == name)
            return button;
    return nullptr;
}

QChart *TResultsWindow::Histogram() const { return m_histogramView->chart(); }

QChart *TResultsWindow::Facility() const { return m_facilityView->chart(); }

void TResultsWindow::Open()
{
    const QString start = m_folder.isEmpty() ? DefaultResultsFolder() : m_folder;
    const QString folder =
        Interaction().ExistingFolder(this, QStringLiteral("Results Folder"), start);
    if (folder.isEmpty())
        return;
    ShowFolder(folder);
    show();
    raise();
    activateWindow();
    // The keys work on the attempts first: arrows to choose, Enter to open.
    m_tabs->setCurrentIndex(AttemptsTab);
    m_attemptsView->setFocus(Qt::OtherFocusReason);
}

void TResultsWindow::ShowFolder(const QString &folder)
{
    m_folder = folder;
    Reload();
}

void TResultsWindow::Reload()
{
    m_folderLabel->setText(QStringLiteral("Folder: ") + QDir::toNativeSeparators(m_folder));
    setWindowTitle(QStringLiteral("Results - %1").arg(QDir::toNativeSeparators(m_folder)));
    std::vector<TAttempt> attempts;
    std::vector<TSkippedRecord> skipped;
    QString error;
    m_model->SetAnalysis(nullptr);
    m_analysis.reset();
    m_outline.reset();
    if (!ReadAttemptFolder(m_folder, attempts, skipped, &error)) {
        m_summary->setText(QStringLiteral("Cannot read the results: %1.").arg(error));
        FillItems();
        FillCharts();
        FillSkipped({});
        UpdateButtons();
        return;
    }

    if (m_document)
        m_outline = OpenTestOutline(*m_document);
    if (m_outline && std::none_of(attempts.cbegin(), attempts.cend(), [this](const TAttempt &a) {
            return a.TestSha256 == m_outline->Sha256;
        }))
        m_outline.reset();
    QSet<QString> tests;
    for (const TAttempt &attempt : attempts)
        tests.insert(attempt.TestSha256);
    m_analysis =
        std::make_unique<TResultsAnalysis>(std::move(attempts), m_outline ? &*m_outline : nullptr);
    m_model->SetAnalysis(m_analysis.get());

    const auto &shown = m_analysis->Attempts();
    const auto finished =
        std::count_if(shown.cbegin(), shown.cend(), [](const TAttempt &a) { return a.Finished; });
    QString summary = QStringLiteral("%1: %2, %3 finished, %4 unfinished.")
                          .arg(m_analysis->TestTitle().isEmpty() ? QStringLiteral("(untitled test)")
                                                                 : m_analysis->TestTitle(),
                               Count(qsizetype(shown.size()), "attempt", "attempts"))
                          .arg(finished)
                          .arg(qsizetype(shown.size()) - finished);
    if (m_outline)
        summary += QStringLiteral(" Pages as in the open test %1.").arg(m_outline->FileName);
    if (m_analysis->OtherTests() == 1)
        summary += QStringLiteral(" 1 attempt at another test is left out.");
    else if (m_analysis->OtherTests() > 1)
        summary += QStringLiteral(" %1 attempts at other tests are left out.")
                       .arg(m_analysis->OtherTests());
    else if (!m_outline && tests.size() > 1)
        summary += QStringLiteral(" The folder holds attempts at %1 different tests: open one of "
                                  "them in the builder to see its attempts alone.")
                       .arg(tests.size());
    if (shown.empty() && m_analysis->OtherTests() == 0)
        summary = QStringLiteral("No attempt records in this folder.");
    if (!skipped.empty())
        summary += QStringLiteral(" %1 could not be used.")
                       .arg(Count(qsizetype(skipped.size()), "file", "files"));
    m_summary->setText(summary);

    for (int column = 0; column < TAttemptsModel::ColumnCount; ++column)
        m_attemptsView->resizeColumnToContents(column);
    // Room for a name of some length, but not for a page of one.
    m_attemptsView->setColumnWidth(
        TAttemptsModel::Student,
        std::clamp(m_attemptsView->columnWidth(TAttemptsModel::Student), 140, 260));
    FillItems();
    FillCharts();
    FillSkipped(skipped);
    UpdateButtons();
}

void TResultsWindow::FillItems()
{
    m_items->setRowCount(0);
    if (!m_analysis)
        return;
    const QList<TItemAnalysis> items = m_analysis->Items();
    m_items->setRowCount(int(items.size()));
    for (int row = 0; row < int(items.size()); ++row) {
        const TItemAnalysis &item = items.at(row);
        m_items->setItem(row, 0, Cell(item.Page.Name, false));
        m_items->setItem(row, 1, Cell(QString::number(item.SeenBy), true));
        m_items->setItem(row, 2, Cell(RatioText(item.Facility), true));
        m_items->setItem(row, 3, Cell(RatioText(item.Discrimination), true));
        m_items->setItem(row, 4, Cell(item.WrongAnswer, false));
        m_items->setItem(
            row, 5, Cell(item.WrongCount ? QString::number(item.WrongCount) : QString(), true));
    }
    for (int column : {0, 1, 2, 3, 5})
        m_items->resizeColumnToContents(column);
}

void TResultsWindow::FillCharts()
{
    const QList<int> bins = m_analysis ? m_analysis->Histogram() : QList<int>(10, 0);
    const QList<TItemAnalysis> items = m_analysis ? m_analysis->Items() : QList<TItemAnalysis>();
    ReplaceChart(*m_histogramView, HistogramChart(bins));
    ReplaceChart(*m_facilityView, FacilityChart(items));
    m_histogramView->setAccessibleDescription(ChartDescription(ChartBars(Histogram())));
    QStringList facility;
    for (const TItemAnalysis &item : items)
        if (item.Facility)
            facility << QStringLiteral("%1: %2").arg(item.Page.Name, RatioText(item.Facility));
    m_facilityView->setAccessibleDescription(facility.join(QStringLiteral(", ")));
}

void TResultsWindow::FillSkipped(const std::vector<TSkippedRecord> &skipped)
{
    m_skipped->clear();
    for (const TSkippedRecord &record : skipped)
        m_skipped->addItem(QStringLiteral("%1 (%2): %3")
                               .arg(QFileInfo(record.FileName).fileName(),
                                    SkippedKind(record.Status), record.Reason));
    m_tabs->setTabText(
        SkippedTab, skipped.empty() ? QStringLiteral("&Files Not Read")
                                    : QStringLiteral("&Files Not Read (%1)").arg(skipped.size()));
}

void TResultsWindow::UpdateButtons()
{
    const bool hasAttempts = m_analysis && !m_analysis->Attempts().empty();
    Button(QStringLiteral("Reload"))->setEnabled(!m_folder.isEmpty());
    Button(QStringLiteral("Export CSV"))->setEnabled(hasAttempts);
    Button(QStringLiteral("Show Attempt"))
        ->setEnabled(hasAttempts && m_attemptsView->selectionModel()->hasSelection());
}

void TResultsWindow::ExportCsv()
{
    if (!m_analysis)
        return;
    const QString fileName = Interaction().SaveFileName(
        this, QStringLiteral("Export CSV"), QStringLiteral("CSV files (*.csv)"),
        QStringLiteral("csv"), QStringLiteral("results.csv"));
    if (fileName.isEmpty())
        return;
    const QByteArray csv = ResultsCsv(*m_analysis);
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit())
        ShowErrorMessage(QStringLiteral("Saving error: ") + fileName);
}

void TResultsWindow::ShowSelectedAttempt()
{
    const QModelIndexList rows = m_attemptsView->selectionModel()->selectedRows();
    if (!rows.isEmpty())
        ShowAttempt(rows.constFirst().row());
}

void TResultsWindow::ShowAttempt(int row)
{
    const QModelIndex source = m_sorted->mapToSource(m_sorted->index(row, 0));
    const TAttempt *attempt = m_model->Attempt(source.row());
    if (!attempt)
        return;
    TAttemptDialog dialog(this, *attempt, Outline());
    Interaction().ExecDialog(dialog);
}

void TResultsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (std::exchange(m_placed, true))
        return;
    // The first time beside the tools window, which stays on top, on the side
    // with more room and as large as that side allows; afterwards where the
    // author put it.
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect screenRoom = screen->availableGeometry();
    QRect room = screenRoom;
    const auto windows = QApplication::topLevelWidgets();
    for (const QWidget *window : windows) {
        if (window == this || !window->isVisible() || window->windowType() != Qt::Tool ||
            !window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            continue;
        const QRect tools = window->frameGeometry();
        const int leftRoom = tools.left() - room.left();
        const int rightRoom = room.right() - tools.right();
        if (rightRoom >= leftRoom)
            room.setLeft(tools.right() + 1);
        else
            room.setRight(tools.left() - 1);
        break;
    }
    const QSize frameExtra = frameGeometry().size() - size();
    // Beside a wide tools window on a small screen the table would need a
    // scroll bar for its columns: the window then takes the screen's middle,
    // and the tools window stays on top of a part of it.
    if (room.width() - frameExtra.width() < std::min(width(), screenRoom.width() * 3 / 4))
        room = screenRoom;
    const QSize wanted(std::min(width(), room.width() - frameExtra.width()),
                       std::min(height(), room.height() - frameExtra.height()));
    if (wanted.width() >= minimumSizeHint().width() &&
        wanted.height() >= minimumSizeHint().height())
        resize(wanted);
    QRect frame = frameGeometry();
    frame.moveCenter(room.center());
    move(frame.topLeft());
}

bool TResultsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_attemptsView && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (m_attemptsView->currentIndex().isValid())
                ShowAttempt(m_attemptsView->currentIndex().row());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace CorvBuilder
