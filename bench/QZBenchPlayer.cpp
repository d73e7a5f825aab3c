// Page changes in the player: GoToPage between two pages of 60 objects with
// widget faces, alone, with the surface painted afterwards, and recorded as
// the player records a run (the answers taken and a page entry appended and
// synced to the disk, in a folder under the current one).
#include "QZControls.h"
#include "QZNaloga.h"
#include "QZRTAttemptRecorder.h"
#include "QZRecordFields.h"
#include "QZScaling.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int ObjectsPerPage = 60;
// The kinds a real page mixes, questions and texts mostly.
constexpr int Kinds[] = {ObjBesedilo, ObjIzbire, ObjPanelBesedilo, ObjGumb,   ObjVnosnoOkno,
                         ObjBesedilo, ObjDaNe,   ObjPanelBesedilo, ObjIzbire, ObjGumb};

// A two-page test file whose objects are spread over the page.
QByteArray TwoPageTest()
{
    TQZNaloga test;
    test.TestRecord() = NewTestRecord();
    for (int p = 0; p < 2; ++p) {
        auto page = test.NewPage();
        page->SetPageRecord(
            NewPageRecord("Page " + QByteArray::number(p + 1), "(Forward)", "(Forward)"));
        for (int i = 0; i < ObjectsPerPage; ++i) {
            const int kind = Kinds[i % std::size(Kinds)];
            auto object = std::make_unique<TQZRecordObject>(kind, NewObjectRecord(kind));
            object->MoveTo(40 + (i % 6) * 330, 40 + (i / 6) * 145);
            page->AddObject(std::move(object));
        }
        test.AddPage(std::move(page));
    }
    return test.ToBytes();
}

struct TPlayerFixture
{
    TQZPageSurface Surface;
    std::unique_ptr<TQZNaloga> Test;

    TPlayerFixture()
    {
        ScreenWidth = 1024;
        ScreenHeight = 749;
        Surface.resize(ScreenWidth, ScreenHeight);
        Surface.show();
        Test = std::make_unique<TQZNaloga>(&Surface, &WidgetObjectFactory());
        Test->LoadFromBytes(TwoPageTest());
        Test->GoToPage(0);
        QCoreApplication::processEvents();
    }
};

void BM_GoToPage(benchmark::State &state)
{
    TPlayerFixture player;
    int next = 1;
    for (auto _ : state) {
        player.Test->GoToPage(next);
        next = 1 - next;
    }
    state.SetLabel("2 pages x 60 objects");
}

void BM_GoToPageAndPaint(benchmark::State &state)
{
    TPlayerFixture player;
    int next = 1;
    for (auto _ : state) {
        player.Test->GoToPage(next);
        player.Surface.repaint();
        next = 1 - next;
    }
}

void BM_GoToPageRecorded(benchmark::State &state)
{
    TPlayerFixture player;
    // On the disk the results would go to, not in a memory file system.
    QTemporaryDir folder(QDir::current().filePath(QStringLiteral("bench-results-XXXXXX")));
    CorvPlayer::TAttemptRecorder recorder(*player.Test);
    recorder.SetFileIndexes({{player.Test->Page(0), 0}, {player.Test->Page(1), 1}});
    Corvella::TAttempt attempt;
    attempt.TestTitle = QStringLiteral("Bench");
    attempt.Started = QDateTime::currentDateTime();
    if (!folder.isValid() || !recorder.Start(folder.path(), attempt)) {
        state.SkipWithError("the results folder cannot be written");
        return;
    }
    int next = 1;
    for (auto _ : state) {
        recorder.BeforeClick(*player.Test->CurrentPage());
        player.Test->GoToPage(next);
        recorder.AfterClick(player.Test->CurrentPage());
        next = 1 - next;
    }
    state.SetLabel("2 pages x 60 objects, each change recorded");
}

} // namespace

BENCHMARK(BM_GoToPage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GoToPageAndPaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GoToPageRecorded)->Unit(benchmark::kMillisecond);

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
