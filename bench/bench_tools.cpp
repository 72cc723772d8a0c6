// A 100 x 100 filled rectangle drawn with the rectangle tool: the shape built
// and placed as one undo group, and that group undone. Goal: 50 ms each.
#include "data/TileData.h"
#include "model/Facet.h"
#include "model/UndoMgr.h"
#include "scene/ToolShapes.h"
#include "view/GLWidget.h"
#include "view/TileEditor.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

constexpr int Side = 100;
const QPoint From(-50, -50);
const QPoint To(From.x() + Side - 1, From.y() + Side - 1);

struct Scene {
    TileData data;
    Facet model{data};
    // Never shown: editing needs no GL context.
    GLWidget view{nullptr, data, &model, nullptr};
    Brush brush;

    Scene() { brush[0].insert(TileRecord(1300, 0, 0, data, Art)); }

    // What the rectangle tool does on release.
    void place()
    {
        view.editor()->apply({}, ToolShapes::rectangle(brush, From, To, false), From);
    }
};

void BM_RectanglePlace(benchmark::State &state)
{
    Scene s;
    for (auto _ : state) {
        s.place();
        state.PauseTiming();
        s.view.undo();
        state.ResumeTiming();
    }
    state.counters["tiles"] = Side * Side;
}
BENCHMARK(BM_RectanglePlace)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_RectangleUndo(benchmark::State &state)
{
    Scene s;
    for (auto _ : state) {
        state.PauseTiming();
        s.place();
        state.ResumeTiming();
        s.view.undo();
    }
    state.counters["tiles"] = Side * Side;
}
BENCHMARK(BM_RectangleUndo)->Unit(benchmark::kMillisecond)->Iterations(20);

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
