// corvtool results over a classroom's worth of attempt records, against
// reading the same files' bytes into memory.
//
// The folder is written once, before the benchmarks run: 10 000 finished
// attempts at a 50-page test, every page a question page with one answer
// (choices, input and alternatives in turn), about 25 KB a record. Both
// benchmarks list the folder and open every file; the report then checks
// every line, builds the item analysis and writes the CSV in memory.
#include "QZAttemptRecord.h"
#include "QZResultsExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

using namespace Corvella;

namespace {

constexpr int AttemptCount = 10000;
constexpr int PageCount = 50;

QString Folder;
qint64 FolderBytes = 0;

TAnswerRecord AnswerFor(int attempt, int page)
{
    TAnswerRecord answer;
    answer.Object = 2;
    answer.Points = 1 + page % 3;
    // Some students right, some wrong, varying by page so that the item
    // analysis has spread to work on.
    const bool right = (attempt * 7 + page * 13) % 10 < 6 + page % 4;
    switch (page % 3) {
    case 0:
        answer.Kind = TAnswerRecord::TKind::Choices;
        answer.RightMarks = {1, 3};
        answer.Marked = right ? answer.RightMarks : QList<int>{1 + attempt % 4};
        break;
    case 1:
        answer.Kind = TAnswerRecord::TKind::Input;
        answer.Accepted = {QStringLiteral("photosynthesis"), QStringLiteral("Photosynthesis")};
        answer.Text = right ? QStringLiteral("photosynthesis")
                            : QStringLiteral("respiration %1").arg(attempt % 5);
        break;
    default:
        answer.Kind = TAnswerRecord::TKind::Alternative;
        answer.RightButton = 1;
        answer.Pressed = right ? 1 : 2;
        break;
    }
    answer.Correct = right;
    return answer;
}

QByteArray RecordBytes(int n)
{
    const QTimeZone zone(3600);
    TAttempt attempt;
    attempt.Program = QStringLiteral("corvview 2.1.0");
    attempt.TestTitle = QStringLiteral("Biology, chapter 4: plants and light");
    attempt.TestFile = QStringLiteral("Biology4.cvl");
    attempt.TestSha256 = QStringLiteral("3f").repeated(32);
    attempt.TestPages = PageCount;
    attempt.Student = QStringLiteral("Student %1").arg(n);
    attempt.Started = QDateTime(QDate(2024, 5, 6), QTime(8, 0), zone).addSecs(n * 7);
    QByteArray bytes = EntryLine(StartEntry(attempt));
    qint32 earned = 0;
    qint32 possible = 0;
    for (int p = 0; p < PageCount; ++p) {
        TPageVisit visit;
        visit.Order = p;
        visit.Page = QStringLiteral("Question %1").arg(p + 1);
        visit.Index = p;
        visit.Answers = {AnswerFor(n, p)};
        visit.Possible = visit.Answers.front().Points;
        visit.Earned = visit.Answers.front().Correct ? visit.Possible : 0;
        earned += visit.Earned;
        possible += visit.Possible;
        visit.Seconds = 10 + (n + p) % 50 / 10.0;
        visit.Next =
            p + 1 < PageCount ? QStringLiteral("Question %1").arg(p + 2) : QStringLiteral("(End)");
        visit.TotalEarned = earned;
        visit.TotalPossible = possible;
        visit.At = attempt.Started.addSecs(20 * (p + 1));
        bytes += EntryLine(PageEntry(visit));
    }
    attempt.Ended = attempt.Started.addSecs(20 * PageCount + 5);
    attempt.EndReason = QStringLiteral("result");
    attempt.EndPercent = PercentOf(earned, possible);
    attempt.Comment = QStringLiteral("It is a good result! Try to improve it!");
    attempt.EndEarned = earned;
    attempt.EndPossible = possible;
    bytes += EntryLine(EndEntry(attempt));
    return bytes;
}

bool WriteFolder()
{
    const QDir dir(Folder);
    for (int n = 0; n < AttemptCount; ++n) {
        const QByteArray bytes = RecordBytes(n);
        QFile file(dir.filePath(QStringLiteral("Biology-Student_%1-20240506-080000-%2.cvr")
                                    .arg(n)
                                    .arg(n, 8, 16, QLatin1Char('0'))));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return false;
        FolderBytes += bytes.size();
    }
    return true;
}

void CountFolderBytes(benchmark::State &state)
{
    state.SetBytesProcessed(qint64(state.iterations()) * FolderBytes);
}

// The baseline: every record's bytes into memory.
void BM_ReadBytes(benchmark::State &state)
{
    for (auto _ : state) {
        const QDir dir(Folder);
        const QStringList names = dir.entryList({QStringLiteral("*.cvr")}, QDir::Files, QDir::Name);
        qint64 total = 0;
        for (const QString &name : names) {
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly)) {
                state.SkipWithError("a record cannot be opened");
                return;
            }
            total += file.readAll().size();
        }
        benchmark::DoNotOptimize(total);
    }
    CountFolderBytes(state);
}

// Reads the folder's records; false, with the benchmark stopped, when they
// did not all read back.
bool ReadAll(benchmark::State &state, std::vector<TAttempt> &attempts)
{
    std::vector<TSkippedRecord> skipped;
    ReadAttemptFolder(Folder, attempts, skipped);
    if (attempts.size() == size_t(AttemptCount) && skipped.empty())
        return true;
    state.SkipWithError("the records did not read back whole");
    return false;
}

// The records alone, without the reports: how the time splits.
void BM_ReadRecords(benchmark::State &state)
{
    for (auto _ : state) {
        std::vector<TAttempt> attempts;
        if (!ReadAll(state, attempts))
            return;
        benchmark::DoNotOptimize(attempts.data());
    }
    CountFolderBytes(state);
}

void BM_Results(benchmark::State &state)
{
    for (auto _ : state) {
        std::vector<TAttempt> attempts;
        if (!ReadAll(state, attempts))
            return;
        const TResultsAnalysis analysis(std::move(attempts));
        const QList<TItemAnalysis> items = analysis.Items();
        const QByteArray csv = ResultsCsv(analysis);
        benchmark::DoNotOptimize(items.size());
        benchmark::DoNotOptimize(csv.size());
    }
    CountFolderBytes(state);
}

template<int Iterations> void TimeInMilliseconds(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(Iterations)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
}

BENCHMARK(BM_ReadBytes)->Apply(TimeInMilliseconds<5>);
BENCHMARK(BM_ReadRecords)->Apply(TimeInMilliseconds<2>);
BENCHMARK(BM_Results)->Apply(TimeInMilliseconds<2>);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "corvbenchresults: no temporary folder: %s\n",
                     qPrintable(dir.errorString()));
        return 1;
    }
    Folder = dir.path();
    if (!WriteFolder()) {
        std::fprintf(stderr, "corvbenchresults: the records cannot be written\n");
        return 1;
    }
    benchmark::AddCustomContext("folder_bytes", std::to_string(FolderBytes));
    benchmark::AddCustomContext("folder_records", std::to_string(AttemptCount));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
