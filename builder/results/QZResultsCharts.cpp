#include "QZResultsCharts.h"

#include <QAbstractBarSeries>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QHorizontalBarSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

using namespace Corvella;

namespace CorvBuilder {

namespace {

QChart *NewChart(const QString &title)
{
    auto *chart = new QChart;
    // The title is drawn as markup: it is ours, never a text of the records.
    chart->setTitle(title);
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

} // namespace

QStringList HistogramBins()
{
    QStringList bins;
    for (int bin = 0; bin < 10; ++bin)
        bins << QString::number(bin * 10);
    return bins;
}

QChart *HistogramChart(const QList<int> &bins)
{
    QChart *chart = NewChart(QStringLiteral("Finished attempts by percent"));
    auto *set = new QBarSet(QStringLiteral("Attempts"));
    int highest = 0;
    for (int count : bins) {
        set->append(count);
        highest = std::max(highest, count);
    }
    auto *series = new QBarSeries;
    series->append(set);
    series->setBarWidth(0.9);
    series->setLabelsVisible(true);
    series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
    chart->addSeries(series);

    auto *categories = new QBarCategoryAxis;
    categories->append(HistogramBins());
    categories->setTitleText(QStringLiteral("Percent, in bins from 0 to 9 ... 90 to 100"));
    chart->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);
    auto *counts = new QValueAxis;
    // Whole attempts: about five ticks, each a whole number.
    const int step = std::max(1, int(std::ceil(highest / 5.0)));
    counts->setRange(0, std::max(step, int(std::ceil(double(highest) / step)) * step));
    counts->setTickType(QValueAxis::TicksDynamic);
    counts->setTickAnchor(0);
    counts->setTickInterval(step);
    counts->setLabelFormat(QStringLiteral("%d"));
    counts->setTitleText(QStringLiteral("Attempts"));
    chart->addAxis(counts, Qt::AlignLeft);
    series->attachAxis(counts);
    return chart;
}

QChart *FacilityChart(const QList<TItemAnalysis> &items)
{
    QChart *chart = NewChart(QStringLiteral("Facility by page"));
    auto *set = new QBarSet(QStringLiteral("Facility"));
    QStringList names;
    // A horizontal chart draws its first category at the bottom: the pages go
    // in from the last, so that they read from the top in the test's order.
    for (auto item = items.crbegin(); item != items.crend(); ++item) {
        if (!item->Facility)
            continue;
        set->append(*item->Facility);
        // Two pages may not share a category; the names are unique already.
        names << item->Page.Name.toHtmlEscaped();
    }
    auto *series = new QHorizontalBarSeries;
    series->append(set);
    series->setBarWidth(0.8);
    series->setLabelsVisible(true);
    series->setLabelsPrecision(2);
    series->setLabelsPosition(QAbstractBarSeries::LabelsInsideEnd);
    chart->addSeries(series);

    auto *pages = new QBarCategoryAxis;
    pages->append(names);
    chart->addAxis(pages, Qt::AlignLeft);
    series->attachAxis(pages);
    auto *facility = new QValueAxis;
    facility->setRange(0, 1);
    facility->setTickCount(6);
    facility->setLabelFormat(QStringLiteral("%.1f"));
    facility->setTitleText(QStringLiteral("Facility (mean points / possible)"));
    chart->addAxis(facility, Qt::AlignBottom);
    series->attachAxis(facility);
    return chart;
}

TChartBars ChartBars(const QChart *chart)
{
    TChartBars bars;
    const auto series = chart->series();
    if (series.isEmpty())
        return bars;
    auto *barSeries = qobject_cast<QAbstractBarSeries *>(series.constFirst());
    if (!barSeries || barSeries->barSets().isEmpty())
        return bars;
    const QBarSet *set = barSeries->barSets().constFirst();
    QStringList categories;
    for (QAbstractAxis *axis : barSeries->attachedAxes())
        if (auto *categoryAxis = qobject_cast<QBarCategoryAxis *>(axis))
            categories = categoryAxis->categories();
    const bool horizontal = barSeries->type() == QAbstractSeries::SeriesTypeHorizontalBar;
    for (int i = 0; i < set->count(); ++i) {
        const int at = horizontal ? set->count() - 1 - i : i;
        bars.Categories << categories.value(at);
        bars.Values << set->at(at);
    }
    return bars;
}

QString ChartDescription(const TChartBars &bars)
{
    QStringList parts;
    for (qsizetype i = 0; i < bars.Categories.size(); ++i)
        parts << QStringLiteral("%1: %2").arg(bars.Categories.at(i)).arg(bars.Values.at(i));
    return parts.join(QStringLiteral(", "));
}

} // namespace CorvBuilder
