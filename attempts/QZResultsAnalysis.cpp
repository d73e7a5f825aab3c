#include "QZResultsAnalysis.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Corvella {

namespace {

// Pearson's correlation of two series; none without variance in either.
std::optional<double> Correlation(const std::vector<double> &x, const std::vector<double> &y)
{
    const size_t n = x.size();
    if (n < 3)
        return std::nullopt;
    double meanX = 0;
    double meanY = 0;
    for (size_t i = 0; i < n; ++i) {
        meanX += x[i];
        meanY += y[i];
    }
    meanX /= double(n);
    meanY /= double(n);
    double sxy = 0;
    double sxx = 0;
    double syy = 0;
    for (size_t i = 0; i < n; ++i) {
        const double dx = x[i] - meanX;
        const double dy = y[i] - meanY;
        sxy += dx * dy;
        sxx += dx * dx;
        syy += dy * dy;
    }
    if (sxx <= 0 || syy <= 0)
        return std::nullopt;
    return std::clamp(sxy / std::sqrt(sxx * syy), -1.0, 1.0);
}

// How a wrong answer is told apart from others on its page: by its response,
// and on a page with several questions by the question's place as well.
QString WrongAnswerKey(const TPageVisit &visit, qsizetype answer)
{
    const QString response = visit.Answers.at(answer).Description();
    if (visit.Answers.size() == 1)
        return response;
    return QStringLiteral("question %1: %2").arg(answer + 1).arg(response);
}

qint32 SaturatedSum(qint32 a, qint32 b)
{
    return qint32(std::clamp<qint64>(qint64(a) + b, std::numeric_limits<qint32>::min(),
                                     std::numeric_limits<qint32>::max()));
}

} // namespace

TResultsAnalysis::TResultsAnalysis(std::vector<TAttempt> attempts, const TTestOutline *test)
{
    if (test) {
        m_title = test->Title;
        m_sha256 = test->Sha256.toLower();
        for (TAttempt &attempt : attempts) {
            if (attempt.TestSha256 == m_sha256)
                m_attempts.push_back(std::move(attempt));
            else
                ++m_otherTests;
        }
    } else {
        m_attempts = std::move(attempts);
        if (!m_attempts.empty()) {
            m_title = m_attempts.front().TestTitle;
            m_sha256 = m_attempts.front().TestSha256;
        }
    }

    QHash<QString, int> columnOf;
    if (test) {
        for (qsizetype i = 0; i < test->Pages.size(); ++i) {
            const TTestOutline::TPage &page = test->Pages.at(i);
            if (!page.HasQuestions || columnOf.contains(page.Name))
                continue;
            columnOf.insert(page.Name, int(m_columns.size()));
            m_columns.append({page.Name, int(i)});
        }
    }
    for (const TAttempt &attempt : m_attempts)
        for (const TPageVisit &visit : attempt.Pages)
            if (!visit.Answers.isEmpty() && !columnOf.contains(visit.Page)) {
                columnOf.insert(visit.Page, int(m_columns.size()));
                m_columns.append({visit.Page, visit.Index});
            }

    const size_t columns = size_t(m_columns.size());
    m_scores.resize(m_attempts.size() * columns);
    m_wrong.resize(columns);
    m_visitedEarned.reserve(m_attempts.size());
    for (size_t a = 0; a < m_attempts.size(); ++a) {
        m_visitedEarned.push_back(m_attempts[a].VisitedEarned());
        for (const TPageVisit &visit : m_attempts[a].Pages) {
            const auto it = columnOf.constFind(visit.Page);
            if (it == columnOf.cend())
                continue;
            TPageScore &score = m_scores[a * columns + size_t(*it)];
            score.Seen = true;
            // A page met twice adds up; records of a damaged program may
            // hold any numbers, so the sums stop at the type's ends.
            score.Earned = SaturatedSum(score.Earned, visit.Earned);
            score.Possible = SaturatedSum(score.Possible, visit.Possible);
            TWrongAnswers &wrong = m_wrong[size_t(*it)];
            for (qsizetype i = 0; i < visit.Answers.size(); ++i) {
                if (visit.Answers.at(i).Correct)
                    continue;
                const QString key = WrongAnswerKey(visit, i);
                int &count = wrong.Counts[key];
                if (count++ == 0)
                    wrong.Order << key;
            }
        }
    }
}

const TPageScore &TResultsAnalysis::Score(int attempt, int column) const
{
    return m_scores[size_t(attempt) * size_t(m_columns.size()) + size_t(column)];
}

QList<TItemAnalysis> TResultsAnalysis::Items() const
{
    QList<TItemAnalysis> items;
    items.reserve(m_columns.size());
    for (int c = 0; c < int(m_columns.size()); ++c) {
        TItemAnalysis item;
        item.Page = m_columns.at(c);
        double earned = 0;
        double possible = 0;
        std::vector<double> points;
        std::vector<double> rest;
        for (int a = 0; a < int(m_attempts.size()); ++a) {
            const TPageScore &score = Score(a, c);
            if (!score.Seen)
                continue;
            ++item.SeenBy;
            earned += score.Earned;
            possible += score.Possible;
            points.push_back(score.Earned);
            rest.push_back(double(m_visitedEarned[size_t(a)]) - score.Earned);
        }
        if (possible != 0)
            item.Facility = earned / possible;
        item.Discrimination = Correlation(points, rest);
        const TWrongAnswers &wrong = m_wrong[size_t(c)];
        for (const QString &key : wrong.Order) {
            const int count = wrong.Counts.value(key);
            if (count > item.WrongCount) {
                item.WrongAnswer = key;
                item.WrongCount = count;
            }
        }
        items.append(item);
    }
    return items;
}

QList<int> TResultsAnalysis::Histogram() const
{
    QList<int> bins(10, 0);
    for (const TAttempt &attempt : m_attempts) {
        if (attempt.Finished)
            ++bins[std::clamp(attempt.Percent() / 10, 0, 9)];
    }
    return bins;
}

QString TResultsAnalysis::TestTitle() const { return m_title; }

QString TResultsAnalysis::TestSha256() const { return m_sha256; }

} // namespace Corvella
