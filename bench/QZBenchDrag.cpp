// Dragging an object on the builder's design surface: one mouse move handled
// (snap, move, caption of the tools window, the move recorded for undo) and
// the surface repainted, on a page of 60 objects of the kinds a real page
// mixes; and undoing the deletion of such a page.
#include "QZBuilder.h"
#include "QZControls.h"
#include "QZEditorState.h"
#include "QZGlavnoOkno.h"
#include "QZOrodja.h"
#include "QZUndoCommands.h"

#include <QApplication>
#include <QMouseEvent>

#include <benchmark/benchmark.h>

#include <memory>

using namespace CorvBuilder;

namespace {

constexpr int ObjectsPerPage = 60;

void SendMouse(QWidget *widget, QEvent::Type type, QPoint at, Qt::MouseButton button,
               Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers = {})
{
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, buttons,
                      modifiers);
    QApplication::sendEvent(widget, &event);
}

struct TDragFixture
{
    TBuilder Builder{QStringList{QStringLiteral("corvbld")}};
    QWidget *Dragged = nullptr;

    TDragFixture()
    {
        Builder.Create();
        TGlavnoOkno &surface = Builder.MainWindow();
        surface.FirstActivation(QSize(1024, 749));
        surface.setGeometry(0, 0, 1024, 749);
        surface.show();
        TOrodja &tools = Builder.Tools();
        tools.New();
        void (TOrodja::*const inserts[])() = {
            &TOrodja::InsertTransparentText,    &TOrodja::InsertChoices,
            &TOrodja::InsertTextWithBackground, &TOrodja::InsertButton,
            &TOrodja::InsertInputBox,           &TOrodja::InsertAlternative};
        for (int i = 0; i < ObjectsPerPage; ++i) {
            (tools.*inserts[i % std::size(inserts)])();
            TQZControl *object =
                Builder.MainWindow().Document().CurrentPage()->Objects().back().get();
            object->MoveTo(20 + (i % 6) * 165, 20 + (i / 6) * 72);
        }
        Dragged = FaceOf(Builder.MainWindow().Document().CurrentPage()->Objects().at(7).get());
        QCoreApplication::processEvents();
        SendMouse(Dragged, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton, Qt::LeftButton);
    }

    ~TDragFixture()
    {
        SendMouse(Dragged, QEvent::MouseButtonRelease, QPoint(2, 2), Qt::LeftButton, Qt::NoButton);
        Builder.MainWindow().Document().MarkSaved(); // nothing asks on the way out
    }

    // The next pointer position of a drag back and forth across the page.
    QPoint Step(int i) const
    {
        const int x = 100 + (i % 400);
        return Dragged->mapFromParent(QPoint(x, 200 + (i % 300)));
    }
};

void BM_DragMove(benchmark::State &state)
{
    TDragFixture fixture;
    int i = 0;
    for (auto _ : state)
        SendMouse(fixture.Dragged, QEvent::MouseMove, fixture.Step(++i), Qt::NoButton,
                  Qt::LeftButton);
    state.SetLabel("60 objects");
}

void BM_DragMoveAndRepaint(benchmark::State &state)
{
    TDragFixture fixture;
    TGlavnoOkno &surface = fixture.Builder.MainWindow();
    int i = 0;
    for (auto _ : state) {
        SendMouse(fixture.Dragged, QEvent::MouseMove, fixture.Step(++i), Qt::NoButton,
                  Qt::LeftButton);
        surface.repaint();
    }
    state.SetLabel("60 objects");
}

// The page comes back with its 60 objects and is shown.
void BM_UndoDeletePage(benchmark::State &state)
{
    TDragFixture fixture;
    TBuilderDocument &document = fixture.Builder.MainWindow().Document();
    fixture.Builder.Tools().AddPage();
    document.GoToPage(0);
    TQZStran *page = document.CurrentPage();
    document.Push(new TDeletePage(document, QStringLiteral("Delete Page"), page));
    for (auto _ : state) {
        document.Undo();
        QCoreApplication::processEvents();
        state.PauseTiming();
        document.Redo();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel("60 objects");
}

} // namespace

BENCHMARK(BM_UndoDeletePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragMove)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragMoveAndRepaint)->Unit(benchmark::kMillisecond);

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
