// What a button object does when it is clicked in a running test: moving
// between pages, evaluating the page's answers, scoring by the test's
// wrong-answer mode, following the page's targets and ending with Exit. The
// player and the builder's surface follow these same rules; the one place
// where they part is stated in TPlayProgram. Warnings go through the
// interaction layer; points go into the process-wide ScoreEarned and ScoreMax.
#pragma once

#include "QZNaloga.h"

#include <QString>

#include <functional>

namespace Corvella {

// What an Exit button does.
enum class TExitRule {
    // The page is evaluated as by Confirm (scores, warnings, the move by its
    // target); if it is still all answered, the result is shown and the run
    // ends.
    EvaluateAndEnd,
    // No evaluation and no move: an answered page shows the result, and the
    // run goes on.
    ResultOnly,
};

// The program's side of the rules.
struct TPlayProgram
{
    TExitRule Exit = TExitRule::ResultOnly;
    // Shows the result of ScoreEarned of ScoreMax; called only when ScoreMax
    // is not 0.
    std::function<void()> ShowResult;
    // Ends the run once an Exit has shown its result (EvaluateAndEnd only).
    std::function<void()> EndRun;
    // Told after a page's answers were evaluated (all answered) and the move
    // by its target was made, before any result is shown; `counted` says
    // whether the page's points went into the totals. Optional: a program
    // that keeps a record of the run listens here.
    std::function<void(bool counted)> Evaluated;

    // The student's run: Exit marks the end of the test.
    static TPlayProgram Player(std::function<void()> showResult, std::function<void()> endRun);
    // The author follows the page flow while editing: Exit only shows where
    // the totals stand, and editing goes on.
    static TPlayProgram Builder(std::function<void()> showResult);
};

class TPlayRules
{
public:
    // `test` must outlive the rules.
    TPlayRules(TQZNaloga &test, TPlayProgram program);

    // A click on the control carrying `tag` on `page`, the page shown: when
    // the tag names a button object of the page, its action runs and true is
    // returned (the caller then takes the test's current page as the page
    // shown). Other tags do nothing.
    bool Click(TQZStran &page, int tag);

private:
    // The action of a button with this record, placed on `page`.
    void RunButtonAction(TQZStran &page, const TGumbRecord &button);
    // All answered: scores by the wrong-answer mode and moves by the page's
    // correct or wrong target; true. Otherwise only warns; false then.
    bool EvaluatePage(TQZStran &page);
    // A page name, or "(Forward)" for the next page; blanks around it do not
    // count, and a name no page has moves nowhere.
    void MoveByTarget(const QString &target);
    void ShowResult() const;
    void Evaluated(bool counted) const;

    TQZNaloga &m_test;
    TPlayProgram m_program;
};

} // namespace Corvella
