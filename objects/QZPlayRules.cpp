#include "QZPlayRules.h"

#include "QZCodePage.h"
#include "QZInteraction.h"
#include "QZSurface.h"

#include <utility>

namespace Corvella {

TPlayProgram TPlayProgram::Player(std::function<void()> showResult, std::function<void()> endRun)
{
    TPlayProgram program;
    program.Exit = TExitRule::EvaluateAndEnd;
    program.ShowResult = std::move(showResult);
    program.EndRun = std::move(endRun);
    return program;
}

TPlayProgram TPlayProgram::Builder(std::function<void()> showResult)
{
    TPlayProgram program;
    program.ShowResult = std::move(showResult);
    return program;
}

TPlayRules::TPlayRules(TQZNaloga &test, TPlayProgram program)
    : m_test(test)
    , m_program(std::move(program))
{
}

bool TPlayRules::Click(TQZStran &page, int tag)
{
    const TQZControl *object = tag > 0 && tag < SurfaceTag ? page.FindObject(tag) : nullptr;
    if (!object || object->ObjectTypeTag() != ObjGumb)
        return false;
    // A copy: the kind and target are those of the record at click time.
    RunButtonAction(page, RecordFromBytes<TGumbRecord>(object->Record()));
    return true;
}

void TPlayRules::RunButtonAction(TQZStran &page, const TGumbRecord &button)
{
    switch (button.ButtonKind) {
    case KindForward: m_test.GoToPage(m_test.CurrentIndex() + 1); break;
    case KindBack: m_test.GoToPage(m_test.PreviousIndex()); break;
    case KindPage:
        m_test.GoToPage(m_test.FindPage(DecodeDefault(button.TargetPage.Bytes())));
        break;
    case KindConfirm: EvaluatePage(page); break;
    case KindExit:
        if (m_program.Exit == TExitRule::ResultOnly) {
            if (page.AllAnswered())
                ShowResult();
            break;
        }
        // Showing the right answers can leave a question unanswered (an input
        // box whose first accepted answer is empty), so the page is asked
        // again after the evaluation.
        if (EvaluatePage(page) && page.AllAnswered()) {
            ShowResult();
            if (m_program.EndRun)
                m_program.EndRun();
        }
        break;
    default: break;
    }
}

bool TPlayRules::EvaluatePage(TQZStran &page)
{
    if (!page.AllAnswered()) {
        ShowWarning(QStringLiteral("You must answer on all questions!"));
        return false;
    }
    if (page.AllCorrect()) {
        // A target of page 0 clears the totals before this page's points go in.
        MoveByTarget(page.CorrectTarget());
        page.AddScores(ScoreEarned, ScoreMax);
        Evaluated(true);
        return true;
    }
    const int mode = m_test.TestRecord().WrongAnswerMode;
    switch (mode) {
    case 1:
        page.AddScores(ScoreEarned, ScoreMax);
        page.ShowCorrectAnswers();
        ShowWarning(QStringLiteral("The answer is incorrect!!!\nCorrect answers are shown."));
        break;
    case 2: ShowWarning(QStringLiteral("The answer is incorrect!!!")); break;
    default: break; // the page does not count
    }
    MoveByTarget(page.WrongTarget());
    Evaluated(mode == 1);
    return true;
}

void TPlayRules::Evaluated(bool counted) const
{
    if (m_program.Evaluated)
        m_program.Evaluated(counted);
}

void TPlayRules::MoveByTarget(const QString &target)
{
    const QString name = TrimmedName(target);
    if (name == QLatin1String(ForwardTargetName))
        m_test.GoToPage(m_test.CurrentIndex() + 1);
    else
        m_test.GoToPage(m_test.FindPage(name));
}

void TPlayRules::ShowResult() const
{
    if (ScoreMax != 0 && m_program.ShowResult)
        m_program.ShowResult();
}

} // namespace Corvella
