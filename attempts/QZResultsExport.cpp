#include "QZResultsExport.h"

#include <QJsonObject>
#include <QUuid>

#include <algorithm>
#include <cmath>

namespace Corvella {

namespace {

// ---------------------------------------------------------------------------
// Numbers and texts shared by the reports

QString FacilityText(const std::optional<double> &facility)
{
    return facility ? QString::number(*facility, 'f', 2) : QString();
}

QString DiscriminationText(const std::optional<double> &discrimination)
{
    return discrimination ? QString::number(*discrimination, 'f', 2) : QString();
}

QString YesNo(bool value) { return value ? QStringLiteral("yes") : QStringLiteral("no"); }

QString StudentShown(const TAttempt &attempt)
{
    return attempt.Student.isEmpty() ? QStringLiteral("(anonymous)") : attempt.Student;
}

// ---------------------------------------------------------------------------
// CSV

QString CsvField(const QString &field)
{
    const bool quote = field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"')) ||
                       field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'));
    if (!quote)
        return field;
    return QLatin1Char('"') + QString(field).replace(QLatin1String("\""), QLatin1String("\"\"")) +
           QLatin1Char('"');
}

void AppendCsvRow(QString &csv, const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            csv += QLatin1Char(',');
        csv += CsvField(fields.at(i));
    }
    csv += QLatin1String("\r\n");
}

// ---------------------------------------------------------------------------
// xAPI

const QString VerbBase = QStringLiteral("http://adlnet.gov/expapi/verbs/");
// The namespace of this program's name-based statement ids.
const QUuid StatementNamespace(QStringLiteral("{6c0f3e52-5d0e-4c7b-9a51-0f6f1e2b8d43}"));

QJsonObject Verb(const QString &name)
{
    return QJsonObject{{QStringLiteral("id"), VerbBase + name},
                       {QStringLiteral("display"), QJsonObject{{QStringLiteral("en-US"), name}}}};
}

QJsonObject Actor(const TAttempt &attempt)
{
    const QString name = attempt.StudentOrAnonymous();
    return QJsonObject{{QStringLiteral("objectType"), QStringLiteral("Agent")},
                       {QStringLiteral("name"), name},
                       {QStringLiteral("account"),
                        QJsonObject{{QStringLiteral("homePage"), QStringLiteral("urn:corvella")},
                                    {QStringLiteral("name"), name}}}};
}

QJsonObject Activity(const QString &id, const QString &name, const QString &type)
{
    return QJsonObject{
        {QStringLiteral("objectType"), QStringLiteral("Activity")},
        {QStringLiteral("id"), id},
        {QStringLiteral("definition"),
         QJsonObject{{QStringLiteral("name"), QJsonObject{{QStringLiteral("en-US"), name}}},
                     {QStringLiteral("type"), type}}}};
}

// result.score of `earned` of `possible` points. A statement's raw score must
// lie within min and max and min must stay below max, so with negative
// points the range widens to hold the score; scaled is the share of the
// possible points, kept within -1 and 1.
QJsonObject Score(qint32 earned, qint32 possible, std::optional<double> scaled = std::nullopt)
{
    QJsonObject score{{QStringLiteral("raw"), earned}};
    const qint32 min = std::min<qint32>(0, earned);
    const qint32 max = std::max(possible, earned);
    if (max > min) {
        score.insert(QStringLiteral("min"), min);
        score.insert(QStringLiteral("max"), max);
    }
    if (!scaled && possible > 0)
        scaled = double(earned) / double(possible);
    if (scaled)
        score.insert(QStringLiteral("scaled"), std::clamp(*scaled, -1.0, 1.0));
    return score;
}

QString PageResponse(const TPageVisit &visit)
{
    QStringList responses;
    for (const TAnswerRecord &answer : visit.Answers)
        responses << answer.Response();
    return responses.join(QStringLiteral("; "));
}

// ---------------------------------------------------------------------------
// HTML

QString Escaped(const QString &text) { return text.toHtmlEscaped(); }

const char *const Style = R"(
body { font-family: sans-serif; margin: 2em; color: #222; }
h1 { font-size: 1.5em; } h2 { font-size: 1.2em; margin-top: 2em; }
table { border-collapse: collapse; }
th, td { border: 1px solid #bbb; padding: 0.25em 0.6em; text-align: left; }
th { background: #eef; }
td.n { text-align: right; }
tr.unfinished td { color: #777; font-style: italic; }
svg text { font-family: sans-serif; font-size: 12px; fill: #222; }
.meta { color: #555; }
)";

QString HistogramSvg(const QList<int> &bins)
{
    constexpr int BarWidth = 48;
    constexpr int Gap = 8;
    constexpr int PlotHeight = 200;
    constexpr int Left = 40;
    constexpr int Top = 20;
    const int width = Left + int(bins.size()) * (BarWidth + Gap) + Gap;
    const int height = Top + PlotHeight + 40;
    const int highest = std::max(1, *std::max_element(bins.cbegin(), bins.cend()));
    QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" "
                                 "height=\"%2\" role=\"img\" aria-label=\"Score histogram\">\n")
                      .arg(width)
                      .arg(height);
    svg += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%2\" stroke=\"#444\"/>\n")
               .arg(Left)
               .arg(Top + PlotHeight)
               .arg(width);
    for (int i = 0; i < int(bins.size()); ++i) {
        const int barHeight = bins.at(i) * PlotHeight / highest;
        const int x = Left + Gap + i * (BarWidth + Gap);
        const int y = Top + PlotHeight - barHeight;
        svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" "
                              "fill=\"#4a78c2\"/>\n")
                   .arg(x)
                   .arg(y)
                   .arg(BarWidth)
                   .arg(barHeight);
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"middle\">%3</text>\n")
                   .arg(x + BarWidth / 2)
                   .arg(y - 4)
                   .arg(bins.at(i));
        const QString label =
            i == 9 ? QStringLiteral("90–100") : QStringLiteral("%1–%2").arg(i * 10).arg(i * 10 + 9);
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"middle\">%3</text>\n")
                   .arg(x + BarWidth / 2)
                   .arg(Top + PlotHeight + 16)
                   .arg(label);
    }
    svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"middle\">percent</text>\n")
               .arg(Left + (width - Left) / 2)
               .arg(Top + PlotHeight + 34);
    svg += QStringLiteral("</svg>\n");
    return svg;
}

QString FacilitySvg(const QList<TItemAnalysis> &items)
{
    constexpr int LabelWidth = 220;
    constexpr int PlotWidth = 400;
    constexpr int Row = 22;
    constexpr int Top = 24;
    const int width = LabelWidth + PlotWidth + 60;
    const int height = Top + int(items.size()) * Row + 10;
    QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" "
                                 "height=\"%2\" role=\"img\" aria-label=\"Facility by page\">\n")
                      .arg(width)
                      .arg(height);
    for (int tick = 0; tick <= 4; ++tick) {
        const int x = LabelWidth + tick * PlotWidth / 4;
        svg += QStringLiteral("<line x1=\"%1\" y1=\"%2\" x2=\"%1\" y2=\"%3\" stroke=\"#ccc\"/>\n"
                              "<text x=\"%1\" y=\"%4\" text-anchor=\"middle\">%5</text>\n")
                   .arg(x)
                   .arg(Top - 4)
                   .arg(height - 6)
                   .arg(Top - 8)
                   .arg(QString::number(tick * 0.25, 'f', 2));
    }
    for (int i = 0; i < int(items.size()); ++i) {
        const TItemAnalysis &item = items.at(i);
        const int y = Top + i * Row;
        // The label is cut to fit its column; the table below has it whole.
        QString name = item.Page.Name;
        if (name.size() > 32)
            name = name.left(31) + QChar(0x2026);
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\" text-anchor=\"end\">%3</text>\n")
                   .arg(LabelWidth - 6)
                   .arg(y + 15)
                   .arg(Escaped(name));
        const double facility = item.Facility.value_or(0.0);
        const int barWidth = int(std::lround(std::clamp(facility, 0.0, 1.0) * PlotWidth));
        svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" "
                              "fill=\"#5aa469\"/>\n")
                   .arg(LabelWidth)
                   .arg(y + 3)
                   .arg(barWidth)
                   .arg(Row - 6);
        svg += QStringLiteral("<text x=\"%1\" y=\"%2\">%3</text>\n")
                   .arg(LabelWidth + barWidth + 4)
                   .arg(y + 15)
                   .arg(item.Facility ? FacilityText(item.Facility) : QStringLiteral("–"));
    }
    svg += QStringLiteral("</svg>\n");
    return svg;
}

} // namespace

QByteArray ResultsCsv(const TResultsAnalysis &analysis)
{
    QString csv;
    QStringList fields{QStringLiteral("student"),         QStringLiteral("date"),
                       QStringLiteral("duration"),        QStringLiteral("points"),
                       QStringLiteral("possible"),        QStringLiteral("percent"),
                       QStringLiteral("visited percent"), QStringLiteral("finished")};
    for (const TQuestionColumn &column : analysis.Columns())
        fields << column.Name;
    AppendCsvRow(csv, fields);
    const auto &attempts = analysis.Attempts();
    for (int a = 0; a < int(attempts.size()); ++a) {
        const TAttempt &attempt = attempts[size_t(a)];
        fields = QStringList{attempt.Student,
                             AttemptTime(attempt.Started),
                             QString::number(attempt.DurationSeconds()),
                             QString::number(attempt.TotalEarned()),
                             QString::number(attempt.TotalPossible()),
                             QString::number(attempt.Percent()),
                             QString::number(attempt.VisitedPercent()),
                             YesNo(attempt.Finished)};
        for (int c = 0; c < int(analysis.Columns().size()); ++c) {
            const TPageScore &score = analysis.Score(a, c);
            fields << (score.Seen ? QString::number(score.Earned) : QString());
        }
        AppendCsvRow(csv, fields);
    }
    return csv.toUtf8();
}

QJsonArray ResultsXapi(const TResultsAnalysis &analysis)
{
    QJsonArray statements;
    for (const TAttempt &attempt : analysis.Attempts()) {
        const QString sha256 =
            attempt.TestSha256.isEmpty() ? QStringLiteral("unknown") : attempt.TestSha256;
        const QString testId = QStringLiteral("urn:corvella:test:") + sha256;
        QString title =
            analysis.TestSha256() == attempt.TestSha256 ? analysis.TestTitle() : attempt.TestTitle;
        if (title.isEmpty())
            title = attempt.TestFile.isEmpty() ? QStringLiteral("test") : attempt.TestFile;
        const QJsonObject test = Activity(
            testId, title, QStringLiteral("http://adlnet.gov/expapi/activities/assessment"));
        // The same record gives the same ids on every export, so that a
        // Learning Record Store sent it twice keeps one copy.
        const QString attemptKey = sha256 + QLatin1Char('/') +
                                   attempt.FileName.section(QLatin1Char('/'), -1) +
                                   QLatin1Char('/') + AttemptTime(attempt.Started);
        const QString registration =
            QUuid::createUuidV5(StatementNamespace, attemptKey).toString(QUuid::WithoutBraces);
        int ordinal = 0;
        const auto statement = [&](const QString &verb, const QJsonObject &object,
                                   const QDateTime &time) {
            QJsonObject json{
                {QStringLiteral("id"),
                 QUuid::createUuidV5(StatementNamespace,
                                     attemptKey + QLatin1Char('#') + QString::number(ordinal++))
                     .toString(QUuid::WithoutBraces)},
                {QStringLiteral("actor"), Actor(attempt)},
                {QStringLiteral("verb"), Verb(verb)},
                {QStringLiteral("object"), object},
                {QStringLiteral("context"),
                 QJsonObject{{QStringLiteral("registration"), registration}}},
            };
            if (time.isValid())
                json.insert(QStringLiteral("timestamp"), AttemptTime(time));
            return json;
        };

        statements.append(statement(QStringLiteral("attempted"), test, attempt.Started));
        for (const TPageVisit &visit : attempt.Pages) {
            if (visit.Answers.isEmpty())
                continue;
            QString pageName = visit.Page;
            const QJsonObject page = Activity(
                testId + QStringLiteral("/page/") + QString::number(visit.Index),
                pageName.isEmpty() ? QStringLiteral("page %1").arg(visit.Index + 1) : pageName,
                QStringLiteral("http://adlnet.gov/expapi/activities/cmi.interaction"));
            QJsonObject answered = statement(QStringLiteral("answered"), page, visit.At);
            QJsonObject context = answered.value(QStringLiteral("context")).toObject();
            context.insert(QStringLiteral("contextActivities"),
                           QJsonObject{{QStringLiteral("parent"), QJsonArray{test}}});
            answered.insert(QStringLiteral("context"), context);
            answered.insert(
                QStringLiteral("result"),
                QJsonObject{{QStringLiteral("response"), PageResponse(visit)},
                            {QStringLiteral("score"), Score(visit.Earned, visit.Possible)},
                            {QStringLiteral("success"), visit.AllCorrect()}});
            statements.append(answered);
        }
        if (attempt.Finished) {
            QJsonObject completed = statement(QStringLiteral("completed"), test, attempt.Ended);
            completed.insert(QStringLiteral("result"),
                             QJsonObject{{QStringLiteral("score"),
                                          Score(attempt.TotalEarned(), attempt.TotalPossible(),
                                                attempt.Percent() / 100.0)},
                                         {QStringLiteral("completion"), true},
                                         {QStringLiteral("duration"),
                                          QStringLiteral("PT%1S").arg(attempt.DurationSeconds())}});
            statements.append(completed);
        }
    }
    return statements;
}

QByteArray ResultsHtml(const TResultsAnalysis &analysis)
{
    const auto &attempts = analysis.Attempts();
    const QList<TItemAnalysis> items = analysis.Items();
    const int finished = int(std::count_if(attempts.cbegin(), attempts.cend(),
                                           [](const TAttempt &a) { return a.Finished; }));
    const QString title =
        analysis.TestTitle().isEmpty() ? QStringLiteral("(untitled test)") : analysis.TestTitle();
    QString html;
    html += QStringLiteral("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                           "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src "
                           "'none'; style-src 'unsafe-inline'\">\n");
    html += QStringLiteral("<title>Results: %1</title>\n<style>%2</style>\n</head>\n<body>\n")
                .arg(Escaped(title), QLatin1String(Style));
    html += QStringLiteral("<h1>Results: %1</h1>\n").arg(Escaped(title));
    html += QStringLiteral("<p class=\"meta\">%1 attempts, %2 finished, %3 unfinished.")
                .arg(attempts.size())
                .arg(finished)
                .arg(qsizetype(attempts.size()) - finished);
    if (!analysis.TestSha256().isEmpty())
        html += QStringLiteral(" Test file SHA-256: <code>%1</code>.")
                    .arg(Escaped(analysis.TestSha256()));
    html += QStringLiteral("</p>\n");

    html += QStringLiteral("<h2>Score histogram of the finished attempts</h2>\n") +
            HistogramSvg(analysis.Histogram());
    html += QStringLiteral("<h2>Facility by page</h2>\n");
    html += items.isEmpty() ? QStringLiteral("<p>No question pages.</p>\n") : FacilitySvg(items);

    html += QStringLiteral(
        "<h2>Attempts</h2>\n<table>\n<tr><th>Student</th><th>Date</th><th>Duration (s)</th>"
        "<th>Points</th><th>Possible</th><th>Percent</th><th>Percent of pages visited</th>"
        "<th>Finished</th></tr>\n");
    for (const TAttempt &attempt : attempts) {
        html +=
            attempt.Finished ? QStringLiteral("<tr>") : QStringLiteral("<tr class=\"unfinished\">");
        html += QStringLiteral("<td>%1</td><td>%2</td>")
                    .arg(Escaped(StudentShown(attempt)),
                         Escaped(attempt.Started.toString(QStringLiteral("yyyy-MM-dd HH:mm"))));
        for (qint64 number : {attempt.DurationSeconds(), qint64(attempt.TotalEarned()),
                              qint64(attempt.TotalPossible())})
            html += QStringLiteral("<td class=\"n\">%1</td>").arg(number);
        html +=
            QStringLiteral("<td class=\"n\">%1 %</td><td class=\"n\">%2 %</td><td>%3</td></tr>\n")
                .arg(attempt.Percent())
                .arg(attempt.VisitedPercent())
                .arg(YesNo(attempt.Finished));
    }
    html += QStringLiteral("</table>\n");

    html += QStringLiteral("<h2>Item analysis</h2>\n<table>\n<tr><th>Page</th><th>Seen by</th>"
                           "<th>Facility</th><th>Discrimination</th>"
                           "<th>Most chosen wrong answer</th><th>Times</th></tr>\n");
    for (const TItemAnalysis &item : items) {
        html += QStringLiteral("<tr><td>%1</td><td class=\"n\">%2</td><td class=\"n\">%3</td>"
                               "<td class=\"n\">%4</td><td>%5</td><td class=\"n\">%6</td></tr>\n")
                    .arg(Escaped(item.Page.Name))
                    .arg(item.SeenBy)
                    .arg(FacilityText(item.Facility), DiscriminationText(item.Discrimination),
                         Escaped(item.WrongAnswer),
                         item.WrongCount ? QString::number(item.WrongCount) : QString());
    }
    html += QStringLiteral("</table>\n</body>\n</html>\n");
    return html.toUtf8();
}

QString ResultsSummary(const TResultsAnalysis &analysis)
{
    const auto &attempts = analysis.Attempts();
    QString text;
    text += QStringLiteral("%1: %2 attempts\n")
                .arg(analysis.TestTitle().isEmpty() ? QStringLiteral("(untitled test)")
                                                    : analysis.TestTitle())
                .arg(attempts.size());
    text += QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                .arg(QStringLiteral("Student"), -24)
                .arg(QStringLiteral("Started"), -16)
                .arg(QStringLiteral("Seconds"), 7)
                .arg(QStringLiteral("Points"), 11)
                .arg(QStringLiteral("Percent"), 7)
                .arg(QStringLiteral("Visited"), 7)
                .arg(QStringLiteral("Finished"));
    for (const TAttempt &attempt : attempts)
        text +=
            QStringLiteral("%1 %2 %3 %4 %5 %6 %7\n")
                .arg(StudentShown(attempt).left(24), -24)
                .arg(attempt.Started.toString(QStringLiteral("yyyy-MM-dd HH:mm")), -16)
                .arg(attempt.DurationSeconds(), 7)
                .arg(
                    QStringLiteral("%1/%2").arg(attempt.TotalEarned()).arg(attempt.TotalPossible()),
                    11)
                .arg(QStringLiteral("%1 %").arg(attempt.Percent()), 7)
                .arg(QStringLiteral("%1 %").arg(attempt.VisitedPercent()), 7)
                .arg(YesNo(attempt.Finished));
    const QList<TItemAnalysis> items = analysis.Items();
    if (items.isEmpty())
        return text;
    text += QStringLiteral("\n%1 %2 %3 %4 %5\n")
                .arg(QStringLiteral("Page"), -24)
                .arg(QStringLiteral("Seen"), 5)
                .arg(QStringLiteral("Facility"), 8)
                .arg(QStringLiteral("Discrim."), 8)
                .arg(QStringLiteral("Most chosen wrong answer"));
    for (const TItemAnalysis &item : items) {
        QString wrong = item.WrongAnswer;
        if (item.WrongCount > 0)
            wrong = QStringLiteral("%1 (%2×)").arg(wrong.left(40)).arg(item.WrongCount);
        text += QStringLiteral("%1 %2 %3 %4 %5\n")
                    .arg(item.Page.Name.left(24), -24)
                    .arg(item.SeenBy, 5)
                    .arg(FacilityText(item.Facility), 8)
                    .arg(DiscriminationText(item.Discrimination), 8)
                    .arg(wrong);
    }
    return text;
}

} // namespace Corvella
