#include "QZRTAttemptRecorder.h"

#include "QZDeferred.h"
#include "QZInteraction.h"
#include "QZNaloga.h"
#include "QZQuestions.h"
#include "QZStran.h"

#include <QDir>

namespace CorvPlayer {

using Corvella::TAnswerRecord;
using Corvella::TAttempt;
using Corvella::TPageVisit;

namespace {

const QString EndTarget = QStringLiteral("(End)");

// The object with the face: a deferred object builds its real one here.
TQZControl &RealObject(TQZControl &object)
{
    if (auto *deferred = dynamic_cast<TQZDeferredControl *>(&object))
        return deferred->Real();
    return object;
}

// The answer a question object holds now; none for an object of another
// kind (a headless record object, say).
std::optional<TAnswerRecord> AnswerOf(TQZControl &object)
{
    TAnswerRecord answer;
    answer.Object = object.Tag();
    TQZControl &real = RealObject(object);
    if (const auto *choices = dynamic_cast<const TQZIzbire *>(&real)) {
        answer.Kind = TAnswerRecord::TKind::Choices;
        answer.Marked = choices->MarkedChoices();
        answer.RightMarks = choices->RightChoices();
        answer.Correct = choices->IsCorrect();
        answer.Points = choices->Data().Points;
    } else if (const auto *input = dynamic_cast<const TQZVnosnoOkno *>(&real)) {
        answer.Kind = TAnswerRecord::TKind::Input;
        answer.Text = input->TypedText();
        answer.Accepted = input->AcceptedAnswers();
        answer.Correct = input->IsCorrect();
        answer.Points = input->Data().Points;
    } else if (const auto *alternative = dynamic_cast<const TQZDaNe *>(&real)) {
        answer.Kind = TAnswerRecord::TKind::Alternative;
        answer.Pressed = alternative->PressedButton();
        answer.RightButton = alternative->RightButton();
        answer.Correct = alternative->IsCorrect();
        answer.Points = alternative->Data().Points;
    } else {
        return std::nullopt;
    }
    return answer;
}

// Puts a recorded answer back into the object, when it is of the kind
// recorded.
void ApplyAnswer(TQZControl &object, const TAnswerRecord &answer)
{
    TQZControl &real = RealObject(object);
    switch (answer.Kind) {
    case TAnswerRecord::TKind::Choices:
        if (auto *choices = dynamic_cast<TQZIzbire *>(&real))
            choices->SetMarkedChoices(answer.Marked);
        break;
    case TAnswerRecord::TKind::Input:
        if (auto *input = dynamic_cast<TQZVnosnoOkno *>(&real))
            input->SetTypedText(answer.Text);
        break;
    case TAnswerRecord::TKind::Alternative:
        if (auto *alternative = dynamic_cast<TQZDaNe *>(&real))
            alternative->SetPressedButton(answer.Pressed);
        break;
    }
}

} // namespace

QString ResultsFolder(const QString &option)
{
    return option.isEmpty() ? Corvella::DefaultResultsFolder() : option;
}

TAttemptRecorder::TAttemptRecorder(TQZNaloga &test)
    : m_test(test)
{
}

bool TAttemptRecorder::Start(const QString &folder, TAttempt attempt)
{
    m_folder = folder;
    m_attempt = std::move(attempt);
    if (!m_writer.Create(folder, m_attempt)) {
        Report(m_writer.ErrorString());
        return false;
    }
    m_onPage.start();
    return true;
}

bool TAttemptRecorder::Resume(const QString &folder, const TAttempt &unfinished)
{
    m_folder = folder;
    m_attempt = unfinished;
    if (!m_writer.OpenForAppend(unfinished.FileName) ||
        !m_writer.AppendResume(QDateTime::currentDateTime())) {
        Report(m_writer.ErrorString());
        m_writer.Close();
        return false;
    }
    m_nextOrder = unfinished.Pages.empty() ? 0 : unfinished.Pages.back().Order + 1;
    for (const TPageVisit &visit : unfinished.Pages)
        RestoreAnswers(visit);
    if (!unfinished.Pages.empty()) {
        const TPageVisit &last = unfinished.Pages.back();
        int index = m_test.FindPage(last.Next);
        if (index >= m_test.PageCount()) {
            // The run ended there, or the page is not in this run (thinned
            // out): the last page recorded is the nearest place to go on.
            const TQZStran *page = PageAtFileIndex(last.Index);
            index = page ? m_test.IndexOfPage(page) : -1;
        }
        if (index >= 0 && index < m_test.PageCount() && index != m_test.CurrentIndex())
            m_test.GoToPage(index);
        // After the move: going to page 0 clears the totals.
        ScoreEarned = last.TotalEarned;
        ScoreMax = last.TotalPossible;
    }
    m_onPage.start();
    return true;
}

void TAttemptRecorder::RestoreAnswers(const TPageVisit &visit)
{
    TQZStran *page = PageAtFileIndex(visit.Index);
    if (!page)
        return;
    for (const TAnswerRecord &answer : visit.Answers)
        if (TQZControl *object = page->FindObject(answer.Object); object && object->IsQuestion())
            ApplyAnswer(*object, answer);
}

TQZStran *TAttemptRecorder::PageAtFileIndex(int index) const
{
    for (int i = 0; i < m_test.PageCount(); ++i)
        if (m_fileIndexes.value(m_test.Page(i), -1) == index)
            return m_test.Page(i);
    return nullptr;
}

void TAttemptRecorder::BeforeClick(const TQZStran &page)
{
    m_pending.reset();
    if (!IsRecording() || m_ended)
        return;
    TPending pending;
    pending.Page = &page;
    TPageVisit &visit = pending.Visit;
    visit.Page = page.PageName();
    visit.Index = m_fileIndexes.value(&page, -1);
    for (const auto &object : page.Objects())
        if (object->IsQuestion())
            if (auto answer = AnswerOf(*object))
                visit.Answers << *answer;
    page.AddScores(pending.PageEarned, pending.PagePossible);
    visit.Seconds = double(m_onPage.elapsed()) / 1000.0;
    m_pending = std::move(pending);
}

void TAttemptRecorder::Evaluated(bool counted)
{
    if (!m_pending)
        return;
    m_pending->Evaluated = true;
    m_pending->Counted = counted;
}

void TAttemptRecorder::AfterClick(const TQZStran *shown)
{
    if (!m_pending)
        return;
    if (m_pending->Evaluated || shown != m_pending->Page)
        WritePage(shown ? shown->PageName() : QString());
    m_pending.reset();
}

void TAttemptRecorder::End(const QString &reason, int percent, const QString &comment)
{
    if (m_ended)
        return;
    if (m_pending && m_pending->Evaluated)
        WritePage(EndTarget);
    m_pending.reset();
    m_ended = true;
    if (!IsRecording())
        return;
    m_attempt.Finished = true;
    m_attempt.Ended = QDateTime::currentDateTime();
    m_attempt.EndReason = reason;
    m_attempt.EndPercent = percent;
    m_attempt.Comment = comment;
    m_attempt.EndEarned = ScoreEarned;
    m_attempt.EndPossible = ScoreMax;
    Append(Corvella::EndEntry(m_attempt));
    m_writer.Close();
}

void TAttemptRecorder::WritePage(const QString &next)
{
    TPending &pending = *m_pending;
    TPageVisit &visit = pending.Visit;
    visit.Order = m_nextOrder++;
    visit.Earned = pending.Evaluated && pending.Counted ? pending.PageEarned : 0;
    visit.Possible = pending.Evaluated ? pending.PagePossible : 0;
    visit.Next = next;
    visit.TotalEarned = ScoreEarned;
    visit.TotalPossible = ScoreMax;
    visit.At = QDateTime::currentDateTime();
    if (Append(Corvella::PageEntry(visit)))
        m_attempt.Pages.push_back(visit);
    m_onPage.start();
}

bool TAttemptRecorder::Append(const QJsonObject &entry)
{
    if (!IsRecording())
        return false;
    if (m_writer.Append(entry))
        return true;
    Report(m_writer.ErrorString());
    // What was written stays a sound, unfinished record; nothing more goes in.
    m_writer.Close();
    return false;
}

void TAttemptRecorder::Report(const QString &cause)
{
    if (m_reported)
        return;
    m_reported = true;
    ShowWarning(QStringLiteral("The answers cannot be recorded in %1:\n%2\nThe test goes on.")
                    .arg(QDir::toNativeSeparators(m_folder), cause));
}

} // namespace CorvPlayer
