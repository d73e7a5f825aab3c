// The reports of `corvtool results`: a CSV table, a self-contained HTML page
// with charts drawn as inline SVG, and xAPI statements for a Learning Record
// Store.
#pragma once

#include "QZResultsAnalysis.h"

#include <QByteArray>
#include <QJsonArray>
#include <QString>

namespace Corvella {

// One row per attempt after a header row, RFC 4180 (CRLF line ends, fields
// quoted where they must be): student, date, duration, points, possible,
// percent, visited percent, finished, then the points on each question page
// (empty where the page was not seen). UTF-8 without a byte order mark.
QByteArray ResultsCsv(const TResultsAnalysis &analysis);

// A page without scripts or outside links: the attempts, the item analysis,
// a histogram of the percent and the facility of each page. Every text read
// from the records is escaped.
QByteArray ResultsHtml(const TResultsAnalysis &analysis);

// xAPI 1.0.3 statements: for each attempt one "attempted", one "answered" per
// question page it confirmed and, when it was finished, one "completed".
// Statement ids are name-based UUIDs of the attempt and the statement, so
// sending the same records twice does not store them twice.
QJsonArray ResultsXapi(const TResultsAnalysis &analysis);

// A short plain-text summary for the terminal: one line per attempt, then
// the item analysis.
QString ResultsSummary(const TResultsAnalysis &analysis);

} // namespace Corvella
