// The player's record of one attempt: a start entry when the test begins, a
// page entry after every confirmed page and an end entry when the run ends,
// appended to the attempt's file in the results folder. The record only
// observes the run: it never changes a score, a page or an answer, except
// when an unfinished attempt is resumed.
//
// A page counts as confirmed when a button click on it either evaluated its
// answers (Confirm, or an Exit on a page all answered: the play rules report
// that through TPlayProgram::Evaluated, also when the wrong-answer target
// keeps the same page) or left it for another page (Forward, Back, Page,
// and the moves by the page's targets). A click that only warns "You must
// answer on all questions!" and a Forward on the last page change nothing
// and are not recorded. Pages without questions are recorded like the
// others, so the record holds the whole path.
//
// Points of a page entry, in the test's wrong-answer modes:
//  - earned is what the page added to the run's score: its points when all
//    is right, and in mode 1 also when something is wrong (they may be
//    negative then); 0 when something is wrong in modes 0 and 2, where the
//    page does not count, and 0 for a page left without evaluation;
//  - possible is the page's maximum whenever its answers were evaluated,
//    whatever the mode: a page answered wrongly in modes 0 and 2 was seen and
//    failed, so the percent over the visited pages counts it as 0 of its
//    maximum; 0 for a page left without evaluation.
// The run's own totals (totalEarned, totalPossible) stay those of the play
// rules, so the result dialog's percent and the visited percent may differ.
#pragma once

#include "QZAttemptRecord.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>

#include <optional>

class TQZNaloga;
class TQZStran;

namespace CorvPlayer {

// The folder attempt records go to: `option` (the --results argument) when
// given, else $CORVELLA_RESULTS when set, else corvella/results in the
// user's XDG data folder.
QString ResultsFolder(const QString &option);

class TAttemptRecorder
{
public:
    // `test` must outlive the recorder; its pages must not be added to or
    // taken away while recording.
    explicit TAttemptRecorder(TQZNaloga &test);

    // The index each page of the test has in its file, taken before the
    // pages were shuffled; a page missing here is recorded as index -1.
    void SetFileIndexes(QHash<const TQZStran *, int> indexes)
    {
        m_fileIndexes = std::move(indexes);
    }

    // Creates a new record in `folder` and writes its start entry. On failure
    // the problem is shown once (see Report) and nothing more is recorded.
    bool Start(const QString &folder, Corvella::TAttempt attempt);
    // Takes up `unfinished` (read from its file): appends a resume entry,
    // puts back the answers recorded on the pages it visited, shows the page
    // its last entry went to and restores the run's totals. False, with the
    // problem shown, when the file cannot be continued: the run then starts
    // afresh, unrecorded.
    bool Resume(const QString &folder, const Corvella::TAttempt &unfinished);

    bool IsRecording() const { return m_writer.IsOpen(); }
    const Corvella::TAttempt &Attempt() const { return m_attempt; }

    // Before a button click on `page`, the page shown: takes the answers as
    // they stand (evaluating may show the right ones in their place) and the
    // page's own points.
    void BeforeClick(const TQZStran &page);
    // The play rules evaluated the page of the click.
    void Evaluated(bool counted);
    // After the click: `shown` is the page now current.
    void AfterClick(const TQZStran *shown);
    // The run ends: an evaluation of the click in progress is recorded as
    // going to "(End)", then the end entry. `reason` is "result", "exit" or
    // "closed". Nothing is written after it.
    void End(const QString &reason, int percent, const QString &comment);

private:
    struct TPending
    {
        const TQZStran *Page = nullptr;
        Corvella::TPageVisit Visit;
        qint32 PageEarned = 0;
        qint32 PagePossible = 0;
        bool Evaluated = false;
        bool Counted = false;
    };

    void WritePage(const QString &next);
    bool Append(const QJsonObject &entry);
    // Shows the first failure of the results folder; later ones are silent.
    void Report(const QString &cause);
    TQZStran *PageAtFileIndex(int index) const;
    void RestoreAnswers(const Corvella::TPageVisit &visit);

    TQZNaloga &m_test;
    QHash<const TQZStran *, int> m_fileIndexes;
    Corvella::TAttemptWriter m_writer;
    Corvella::TAttempt m_attempt;
    QString m_folder;
    std::optional<TPending> m_pending;
    QElapsedTimer m_onPage;
    int m_nextOrder = 0;
    bool m_reported = false;
    bool m_ended = false;
};

} // namespace CorvPlayer
