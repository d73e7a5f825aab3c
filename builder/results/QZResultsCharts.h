// The charts of the results window, drawn with Qt Charts: the finished
// attempts by percent in ten bins, and the facility of each question page.
#pragma once

#include "QZResultsAnalysis.h"

#include <QStringList>

class QChart;

namespace CorvBuilder {

// The histogram's bins by where they start: "0" (0 to 9) ... "90" (90 to
// 100).
QStringList HistogramBins();

// A new chart (the caller owns it) with one bar set "Attempts" holding the
// count of each bin.
QChart *HistogramChart(const QList<int> &bins);

// A new chart with one horizontal bar set "Facility" holding the facility of
// each page that has one (0 to 1), the first page at the top. The category
// axis draws its labels as markup: the page names on it are escaped.
QChart *FacilityChart(const QList<Corvella::TItemAnalysis> &items);

// What a chart shows, for the window's accessible description and for tests:
// each category with its bar's value, top to bottom or left to right.
struct TChartBars
{
    QStringList Categories;
    QList<double> Values;
};
TChartBars ChartBars(const QChart *chart);
// "label: value, label: value ..."
QString ChartDescription(const TChartBars &bars);

} // namespace CorvBuilder
