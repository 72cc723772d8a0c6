// One search keystroke in the palette over 65,536 art tiles: the index filter
// alone, and the whole keystroke in a shown panel (filter, model reset, layout
// of the results). Goal: well under a frame (16 ms).
#include "MulWriter.h"
#include "data/TileData.h"
#include "panels/Palette.h"
#include "panels/TileSearch.h"

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <benchmark/benchmark.h>

#include <memory>

namespace {
constexpr int Tiles = 65536;

// Realistic names: a few words reused across the whole table.
const TileData &tileData()
{
    static const TileData data = [] {
        static const char *words[] = {"stone wall", "wooden door", "roof tile", "bush",
                                      "marble floor", "window", "tree", "barrel"};
        QMap<int, MulWriter::StaticInfo> statics;
        for (int id = 0; id < Tiles; ++id)
            statics.insert(id, {quint64(1) << (id % 32), quint8(id % 40), words[id % 8]});
        TileData d;
        d.loadFromBytes(MulWriter::tileData({}, statics, MulWriter::TileDataLayout::Classic, Tiles));
        return d;
    }();
    return data;
}

const char *const Queries[] = {"w", "wa", "wal", "wall", "0x1234", "4660", "roof"};

void BM_SearchFilter(benchmark::State &state)
{
    TileSearch index;
    index.build(tileData(), nullptr);
    const QString query = QString::fromLatin1(Queries[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(index.filter(query));
    state.SetLabel(Queries[state.range(0)]);
}
BENCHMARK(BM_SearchFilter)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

void BM_SearchKeystroke(benchmark::State &state)
{
    Palette palette(QStringLiteral("/nonexistent/palette.xml"), nullptr, tileData(), true);
    palette.resize(800, 300);
    palette.show();
    QCoreApplication::processEvents();
    const QString query = QString::fromLatin1(Queries[state.range(0)]);
    for (auto _ : state) {
        palette.searchEdit()->setText(query);
        palette.resultsView()->doItemsLayout();
        palette.repaint();
        state.PauseTiming();
        palette.searchEdit()->clear();
        state.ResumeTiming();
    }
    state.SetLabel(Queries[state.range(0)]);
}
BENCHMARK(BM_SearchKeystroke)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
