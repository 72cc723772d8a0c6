// Moving a selected 100,000-tile multi by one step, and undoing and redoing it;
// and the model's own removal and addition of the same tiles, the floor;
// and Replace Tiles over 20,000; and Select All of 20,000 with the tile
// inspector open against the same without it.
#include "data/TileData.h"
#include "data/MultiCollection.h"
#include "model/Facet.h"
#include "model/TileReplace.h"
#include "model/UndoMgr.h"
#include "panels/TileInspector.h"
#include "panels/TileInspectorModel.h"
#include "view/GLWidget.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

// 100,000 tiles, one a location, with room to move one step either way.
constexpr int Columns = 250;
constexpr int Rows = 400;

struct Scene {
    TileData data;
    Facet model{data};
    // Never shown: editing needs no GL context.
    GLWidget view{nullptr, data, &model, nullptr};

    Scene()
    {
        for (int y = 0; y < Rows; ++y) {
            for (int x = 0; x < Columns; ++x) {
                TileRecord t(quint16(1000 + (x + y) % 50), 0, qint16((x * y) % 20), data, Art);
                t.x = x - Columns / 2;
                t.y = y - Rows / 2;
                model.addTile(t.x, t.y, t);
            }
        }
    }
};

void BM_MoveSelection(benchmark::State &state)
{
    Scene s;
    int step = 1;
    for (auto _ : state) {
        state.PauseTiming();
        s.view.selection().clear(0);
        s.view.selectAll();
        state.ResumeTiming();
        s.view.moveSelection(step, 0, 0);
        step = -step;
    }
    state.counters["tiles"] = s.model.tileCount();
}
BENCHMARK(BM_MoveSelection)->Unit(benchmark::kMillisecond)->Iterations(20);

// What the user waits for: Select all, then one step.
void BM_SelectAllAndMove(benchmark::State &state)
{
    Scene s;
    int step = 1;
    for (auto _ : state) {
        state.PauseTiming();
        s.view.selection().clear(0);
        state.ResumeTiming();
        s.view.selectAll();
        s.view.moveSelection(step, 0, 0);
        step = -step;
    }
}
BENCHMARK(BM_SelectAllAndMove)->Unit(benchmark::kMillisecond)->Iterations(20);

// One move group, undone (timed) and redone (untimed) in turn; and the reverse.
void undoRedo(benchmark::State &state, bool timeUndo)
{
    Scene s;
    s.view.selectAll();
    s.view.moveSelection(1, 0, 0);
    for (auto _ : state) {
        if (!timeUndo)
            state.PauseTiming();
        s.view.undo();
        if (timeUndo)
            state.PauseTiming();
        else
            state.ResumeTiming();
        s.view.redo();
        if (timeUndo)
            state.ResumeTiming();
    }
}
void BM_Undo(benchmark::State &state) { undoRedo(state, true); }
void BM_Redo(benchmark::State &state) { undoRedo(state, false); }
BENCHMARK(BM_Undo)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_Redo)->Unit(benchmark::kMillisecond)->Iterations(20);

// Every tile removed from the model and added one step along: what a move costs at least.
void BM_ModelFloor(benchmark::State &state)
{
    Scene s;
    QList<TileRecord> tiles;
    for (const Facet::TileSet &set : s.model.locations())
        tiles.append(QList<TileRecord>(set.cbegin(), set.cend()));
    int step = 1;
    for (auto _ : state) {
        for (TileRecord &t : tiles) {
            s.model.removeTile(t.x, t.y, t);
            t.x += step;
        }
        for (const TileRecord &t : tiles)
            s.model.addTile(t.x, t.y, t);
        step = -step;
    }
}
BENCHMARK(BM_ModelFloor)->Unit(benchmark::kMillisecond)->Iterations(20);

// Replace Tiles over a 20,000-tile multi, every tile changing, as one undo
// group (the plan from the tiles included): at most 50 ms. Stone and wood
// pieces swap back and forth, so each round replaces them all again.
void BM_ReplaceTiles(benchmark::State &state)
{
    TileData data;
    Facet model{data};
    UndoMgr undo(data, &model, nullptr);
    undo.beginGroup();
    for (int k = 0; k < 20000; ++k) {
        TileRecord t(quint16(1000 + k % 50), 0, qint16(k % 20), data, Art);
        t.x = k % 200 - 100;
        t.y = k / 200 - 50;
        undo.insertTile(t);
    }
    undo.commitGroup();
    TileReplace::IdMap there, back;
    for (quint16 id = 1000; id < 1050; ++id) {
        there.insert(id, quint16(id + 100));
        back.insert(quint16(id + 100), id);
    }
    bool forth = true;
    for (auto _ : state) {
        state.PauseTiming();
        const QList<TileRecord> tiles = tilesInDrawOrder(model);
        state.ResumeTiming();
        const TileReplace::Plan plan = TileReplace::plan(tiles, forth ? there : back, data);
        TileReplace::apply(plan, undo, model);
        if (plan.replaced() != 20000)
            state.SkipWithError("not every tile was replaced");
        forth = !forth;
    }
}
BENCHMARK(BM_ReplaceTiles)->Unit(benchmark::kMillisecond)->Iterations(20);

// Select All over 20,000 tiles, one a location; with the inspector shown,
// its table follows as it does in the window (the view's report and the
// paint that comes of it included): at most twice the time without it.
// One model for both, made once: the two differ by the inspector, not by
// where the model's 20,000 tiles fell in memory, which alone made Select
// All up to twice as slow in one benchmark as in the other.
struct Model20k {
    TileData data;
    Facet model{data};
    Model20k()
    {
        for (int k = 0; k < 20000; ++k) {
            TileRecord t(quint16(1000 + k % 50), 0, qint16(k % 20), data, Art);
            t.x = k % 200 - 100;
            t.y = k / 200 - 50;
            model.addTile(t.x, t.y, t);
        }
    }
};

void selectAll20k(benchmark::State &state, bool inspected)
{
    static Model20k shared;
    TileData &data = shared.data;
    GLWidget view{nullptr, data, &shared.model, nullptr};
    TileInspector inspector(nullptr, nullptr);
    if (inspected) {
        inspector.follow(view.document());
        QObject::connect(&view, &GLWidget::toolStatus, &inspector, &TileInspector::sync);
        inspector.resize(inspector.sizeHint()); // as the dock first shows it
        inspector.show();
        QCoreApplication::processEvents();
    }
    // The first Select All makes the selection's room and the dock's icons:
    // done once, before the steady state is timed.
    view.selectAll();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        view.selection().clear(0);
        view.reportToolState();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        view.selectAll();
        QCoreApplication::processEvents();
    }
    if (inspected && inspector.model()->rowCount() != 20000)
        state.SkipWithError("the inspector does not show the selection");
}
void BM_SelectAll20k(benchmark::State &state) { selectAll20k(state, false); }
void BM_InspectorSelect20k(benchmark::State &state) { selectAll20k(state, true); }
BENCHMARK(BM_SelectAll20k)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_InspectorSelect20k)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
