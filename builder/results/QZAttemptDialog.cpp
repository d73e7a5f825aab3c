#include "QZAttemptDialog.h"

#include "QZResultsModels.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Corvella;

namespace CorvBuilder {

namespace {

enum TPageColumn { PageColumn, AnswersColumn, PointsColumn, SecondsColumn, NextColumn };

QTableWidgetItem *Cell(const QString &text, bool number = false)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    if (number)
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

QString AnswersText(const TPageVisit &visit)
{
    QStringList answers;
    for (const TAnswerRecord &answer : visit.Answers)
        answers << answer.Description();
    return answers.join(QStringLiteral("; "));
}

TAttemptDialog::TAttemptDialog(QWidget *parent, const TAttempt &attempt, const TTestOutline *test)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Attempt - %1").arg(StudentText(attempt)));
    setAccessibleName(QStringLiteral("Attempt"));
    auto *layout = new QVBoxLayout(this);

    m_summary = new QLabel(this);
    // Names and titles come from the record: shown as typed, never as markup.
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    QString summary =
        QStringLiteral("%1, started %2, %3 of %4 points (%5 %, %6 % of the pages "
                       "visited), %7.")
            .arg(StudentText(attempt), attempt.Started.toString(QStringLiteral("yyyy-MM-dd HH:mm")))
            .arg(attempt.TotalEarned())
            .arg(attempt.TotalPossible())
            .arg(attempt.Percent())
            .arg(attempt.VisitedPercent())
            .arg(attempt.Finished ? QStringLiteral("finished") : QStringLiteral("unfinished"));
    if (attempt.Finished && !attempt.Comment.isEmpty())
        summary += QStringLiteral("\nComment shown: ") + attempt.Comment;
    m_summary->setText(summary);
    m_summary->setAccessibleName(QStringLiteral("Summary"));
    layout->addWidget(m_summary);

    m_pages = new QTableWidget(int(attempt.Pages.size()), 5, this);
    m_pages->setHorizontalHeaderLabels({QStringLiteral("Page"), QStringLiteral("Answers"),
                                        QStringLiteral("Points"), QStringLiteral("Seconds"),
                                        QStringLiteral("Next")});
    m_pages->setAccessibleName(QStringLiteral("Pages"));
    m_pages->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pages->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pages->setTabKeyNavigation(false);
    m_pages->setWordWrap(false);
    m_pages->verticalHeader()->hide();
    for (int row = 0; row < int(attempt.Pages.size()); ++row) {
        const TPageVisit &visit = attempt.Pages[size_t(row)];
        QString name = visit.Page;
        if (test && visit.Index >= 0 && visit.Index < test->Pages.size())
            name = test->Pages.at(visit.Index).Name;
        m_pages->setItem(row, PageColumn, Cell(name));
        m_pages->setItem(row, AnswersColumn, Cell(AnswersText(visit)));
        m_pages->setItem(
            row, PointsColumn,
            Cell(QStringLiteral("%1 / %2").arg(visit.Earned).arg(visit.Possible), true));
        m_pages->setItem(row, SecondsColumn, Cell(QString::number(visit.Seconds, 'f', 1), true));
        m_pages->setItem(row, NextColumn, Cell(visit.Next));
    }
    m_pages->verticalHeader()->setMinimumSectionSize(fontMetrics().height() + 4);
    m_pages->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_pages->resizeColumnsToContents();
    // A long typed answer must not push the other columns out of sight.
    for (int column : {PageColumn, AnswersColumn, NextColumn})
        m_pages->setColumnWidth(column, std::min(m_pages->columnWidth(column), 240));
    m_pages->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_pages);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setAccessibleName(QStringLiteral("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(720, 420);
}

} // namespace CorvBuilder
