// What a folder of attempt records says about a test: the question pages,
// each attempt's points on them, and an item analysis per page.
#pragma once

#include "QZAttemptRecord.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace Corvella {

// What a report needs of the test file itself, when it is given: the
// attempts at other tests are left out and the pages take their order from
// it. Filled by whoever reads the test file; this library does not.
struct TTestOutline
{
    QString Title;
    QString FileName;
    QString Sha256; // lowercase hex of the test file's bytes
    struct TPage
    {
        QString Name;
        bool HasQuestions = false;
    };
    QList<TPage> Pages; // in the test's order
};

// A question page as a column of the report.
struct TQuestionColumn
{
    QString Name;
    int Index = -1; // the page's index in the test, 0-based; -1 when unknown
};

// A page's points in one attempt, summed over its visits (a page confirmed
// twice counts twice, as the score does).
struct TPageScore
{
    bool Seen = false;
    qint32 Earned = 0;
    qint32 Possible = 0;
};

struct TItemAnalysis
{
    TQuestionColumn Page;
    int SeenBy = 0; // attempts that confirmed the page
    // Mean points earned / mean points possible over those attempts; none
    // when nothing was possible.
    std::optional<double> Facility;
    // Pearson correlation of the page's points with the rest of the score
    // (the attempt's points on every page visited, less this page's) over the
    // attempts that saw it; none with fewer than three or without variance.
    std::optional<double> Discrimination;
    // The wrong answer given most often on the page and how often; empty when
    // no answer was wrong. Ties go to the answer met first.
    QString WrongAnswer;
    int WrongCount = 0;
};

class TResultsAnalysis
{
public:
    // Keeps the attempts at `test` when one is given (by its hash), all of
    // them otherwise. The question pages are the test's pages with
    // questions, in its order, when the test is given; else the pages on
    // which some attempt answered a question, in the order first met.
    TResultsAnalysis(std::vector<TAttempt> attempts, const TTestOutline *test = nullptr);

    const std::vector<TAttempt> &Attempts() const { return m_attempts; }
    // Attempts left out because they belong to another test.
    int OtherTests() const { return m_otherTests; }
    const QList<TQuestionColumn> &Columns() const { return m_columns; }
    // The points of attempt `attempt` on column `column`.
    const TPageScore &Score(int attempt, int column) const;
    // One entry per column.
    QList<TItemAnalysis> Items() const;
    // Finished attempts by percent in ten bins: 0 to under 10, ..., 90 to
    // 100; a percent below 0 counts in the first and above 100 in the last.
    // An unfinished attempt's percent is of a test half taken and would
    // pull the scores down.
    QList<int> Histogram() const;
    // The test's title: the outline's, else that of the first attempt.
    QString TestTitle() const;
    QString TestSha256() const;

private:
    std::vector<TAttempt> m_attempts;
    int m_otherTests = 0;
    QString m_title;
    QString m_sha256;
    QList<TQuestionColumn> m_columns;
    // m_scores[attempt * columns + column]
    std::vector<TPageScore> m_scores;
    std::vector<qint32> m_visitedEarned; // per attempt
    // Per column: how often each wrong answer was given, and the answers in
    // the order first met.
    struct TWrongAnswers
    {
        QHash<QString, int> Counts;
        QStringList Order;
    };
    std::vector<TWrongAnswers> m_wrong;
};

} // namespace Corvella
