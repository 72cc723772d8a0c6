// Inputs that once froze the editor: each must now cost about as much as a
// sound file of its size. Goals: an endless-run art entry of 4 MiB decodes in
// well under 50 ms; a palette.xml nested 16,000 deep is refused in under 50 ms.
#include "data/ArtReader.h"
#include "data/PaletteXml.h"

#include <QByteArray>

#include <benchmark/benchmark.h>

namespace {

void put16(QByteArray &b, int v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}

void put32(QByteArray &b, quint32 v)
{
    put16(b, int(v & 0xFFFF));
    put16(b, int(v >> 16));
}

// 2,048 rows of width 44, all pointing at one run list of `bytes` that never ends.
QByteArray endlessRuns(int bytes)
{
    QByteArray e;
    put32(e, 0);
    put16(e, 44);
    put16(e, 2048);
    for (int y = 0; y < 2048; ++y)
        put16(e, 0);
    while (e.size() < bytes) {
        put16(e, 0);
        put16(e, 1);
        put16(e, 0x0421);
    }
    return e;
}

// A classic index whose art id 0 is `entry`.
QByteArray indexFor(const QByteArray &entry)
{
    QByteArray index;
    for (int r = 0; r < 0x8000; ++r) {
        put32(index, r == 0x4000 ? 0 : 0xFFFFFFFF);
        put32(index, r == 0x4000 ? quint32(entry.size()) : 0);
        put32(index, 0);
    }
    return index;
}

void BM_EndlessRunArt(benchmark::State &state)
{
    const QByteArray entry = endlessRuns(int(state.range(0)));
    const QByteArray index = indexFor(entry);
    for (auto _ : state) {
        ArtReader art; // a fresh cache each time: every pass decodes
        art.loadFromBytes(index, entry);
        int w = 0, h = 0;
        benchmark::DoNotOptimize(art.staticPixels(0, w, h));
    }
}
BENCHMARK(BM_EndlessRunArt)->Arg(4 << 20)->Arg(32 << 20)->Unit(benchmark::kMillisecond);

void BM_DeepPalette(benchmark::State &state)
{
    const int depth = int(state.range(0));
    const QByteArray xml = "<palette>" + QByteArray("<tilesets>").repeated(depth)
                           + QByteArray("</tilesets>").repeated(depth) + "</palette>";
    for (auto _ : state)
        benchmark::DoNotOptimize(PaletteXml::parse(xml));
}
BENCHMARK(BM_DeepPalette)->Arg(16000)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
