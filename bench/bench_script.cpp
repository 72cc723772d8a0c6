// Speed goal of the addon script reader (run by hand, briefly): importing a
// 5,000-component script (tiles ready for a document) takes at most 3x reading
// the file and splitting it into lines (compare BM_ImportScript with
// BM_ReadAndSplitLines). On a shared machine the load changes between the two:
// --benchmark_repetitions=9 --benchmark_enable_random_interleaving=true
// gives both the same.
#include "data/AddonScript.h"
#include "data/TileData.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
struct Script {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("Bench.cs"));
    TileData data;

    Script()
    {
        QRandomGenerator rng(27);
        QList<TileRecord> tiles;
        for (int n = 0; n < 5000; ++n) {
            TileRecord t;
            t.kind = Art;
            t.id = quint16(rng.bounded(0x4000));
            t.x = int(rng.bounded(60)) - 30;
            t.y = int(rng.bounded(60)) - 30;
            t.z = qint16(rng.bounded(100));
            // One in ten hued: an AddComplexComponent line each.
            t.hue = qint16(n % 10 == 0 ? 1 + rng.bounded(3000) : 0);
            tiles.append(t);
        }
        AddonScript::write(path, tiles, AddonScript::optionsFor(path), nullptr);
    }
};

Script &script()
{
    static Script s;
    return s;
}

void BM_ReadAndSplitLines(benchmark::State &state)
{
    for (auto _ : state) {
        QFile f(script().path);
        f.open(QIODevice::ReadOnly);
        const QList<QByteArray> lines = f.readAll().split('\n');
        benchmark::DoNotOptimize(lines.size());
    }
}
BENCHMARK(BM_ReadAndSplitLines)->Unit(benchmark::kMicrosecond);

void BM_ImportScript(benchmark::State &state)
{
    for (auto _ : state) {
        const AddonScript::Loaded loaded = AddonScript::read(script().path, script().data);
        if (loaded.tiles.isEmpty() || !loaded.warnings.isEmpty())
            state.SkipWithError("the script did not import cleanly");
        benchmark::DoNotOptimize(loaded.tiles.size());
    }
}
BENCHMARK(BM_ImportScript)->Unit(benchmark::kMicrosecond);
} // namespace

BENCHMARK_MAIN();
