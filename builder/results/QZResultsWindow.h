// "Results": a window over a folder of attempt records. It shows the attempts
// in a sortable table, the finished attempts by percent and the facility of each
// question page as charts, the item analysis, and the files it could not
// use with the reason; it exports the table as CSV and shows an attempt page
// by page. It is modeless: the author goes on building while it is open.
#pragma once

#include "QZResultsAnalysis.h"

#include <QWidget>

#include <memory>
#include <optional>

class QChart;
class QChartView;
class QLabel;
class QListWidget;
class QPushButton;
class QSortFilterProxyModel;
class QTabWidget;
class QTableView;
class QTableWidget;

namespace CorvBuilder {

class TAttemptsModel;
class TBuilderDocument;

class TResultsWindow : public QWidget
{
    Q_OBJECT

public:
    // When the folder holds attempts at the very file of the test open in
    // `document` (the same hash), the report follows that test: its page
    // names and order, and the attempts at other tests are left out. The
    // document, when given, outlives the window.
    explicit TResultsWindow(QWidget *parent = nullptr, TBuilderDocument *document = nullptr);
    ~TResultsWindow() override;

    // The "Results..." command: asks for a folder, starting at the one shown
    // or else at the default results folder, and shows the window over it.
    // Nothing happens when the chooser is cancelled.
    void Open();
    // Reads `folder` and shows what it holds.
    void ShowFolder(const QString &folder);
    // Reads the folder shown again.
    void Reload();
    // Asks for a file name and writes the attempts as CSV.
    void ExportCsv();
    // Shows the attempt on a row of the table as it is sorted, in a modal
    // dialog.
    void ShowAttempt(int row);

    QString Folder() const { return m_folder; }
    // The report shown; null before a folder is read or when it could not
    // be listed.
    const Corvella::TResultsAnalysis *Analysis() const { return m_analysis.get(); }
    // The test outline the report follows, when the open test matched.
    const Corvella::TTestOutline *Outline() const { return m_outline ? &*m_outline : nullptr; }

    QTableView *AttemptsView() const { return m_attemptsView; }
    QSortFilterProxyModel *SortedAttempts() const { return m_sorted; }
    QTableWidget *ItemTable() const { return m_items; }
    QListWidget *SkippedList() const { return m_skipped; }
    QLabel *SummaryLabel() const { return m_summary; }
    QTabWidget *Tabs() const { return m_tabs; }
    QChart *Histogram() const;
    QChart *Facility() const;
    // The button with an accessible name ("Choose Folder", "Reload", "Export
    // CSV", "Show Attempt", "Close"); null when there is none.
    QPushButton *Button(const QString &name) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QPushButton *AddButton(const QString &text, const QString &name,
                           void (TResultsWindow::*command)());
    void ShowSelectedAttempt();
    void FillItems();
    void FillCharts();
    void FillSkipped(const std::vector<Corvella::TSkippedRecord> &skipped);
    void UpdateButtons();
    TBuilderDocument *m_document;
    QString m_folder;
    std::unique_ptr<Corvella::TResultsAnalysis> m_analysis;
    std::optional<Corvella::TTestOutline> m_outline;

    QLabel *m_folderLabel;
    QLabel *m_summary;
    QTabWidget *m_tabs;
    TAttemptsModel *m_model;
    QSortFilterProxyModel *m_sorted;
    QTableView *m_attemptsView;
    QChartView *m_histogramView;
    QChartView *m_facilityView;
    QTableWidget *m_items;
    QListWidget *m_skipped;
    QList<QPushButton *> m_buttons;
    bool m_placed = false;
};

// The outline of the test open in `document` (its file's hash, its pages and
// which of them ask questions); none without a saved, unchanged test, whose
// pages may differ from its file.
std::optional<Corvella::TTestOutline> OpenTestOutline(const TBuilderDocument &document);

} // namespace CorvBuilder
