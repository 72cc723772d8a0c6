#include "data/ArtReader.h"

#include <QByteArray>
#include <QVector>

#include <benchmark/benchmark.h>

namespace {

constexpr int Entries = 1000;

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

// A w x h art entry: one run per row covering all but a two-pixel margin.
QByteArray artEntry(int w, int h, int seed)
{
    QByteArray e;
    put32(e, 0);
    put16(e, w);
    put16(e, h);
    const int rowWords = 2 + (w - 4) + 2;
    for (int y = 0; y < h; ++y)
        put16(e, y * rowWords);
    for (int y = 0; y < h; ++y) {
        put16(e, 2);
        put16(e, w - 4);
        for (int x = 2; x < w - 2; ++x)
            put16(e, (x * 31 + y * 7 + seed) & 0x7FFF);
        put16(e, 0);
        put16(e, 0);
    }
    return e;
}

// Index and data of 1,000 art entries of typical sizes (44 to 140 pixels).
void buildFiles(QByteArray &idx, QByteArray &mul)
{
    QVector<QPair<qint32, qint32>> records(0x8000, {-1, 0});
    for (int i = 0; i < Entries; ++i) {
        const QByteArray e = artEntry(44 + (i * 7) % 97, 60 + (i * 13) % 81, i);
        records[0x4000 + i] = {qint32(mul.size()), qint32(e.size())};
        mul.append(e);
    }
    for (const auto &r : records) {
        put32(idx, quint32(r.first));
        put32(idx, quint32(r.second));
        put32(idx, 0);
    }
}

void BM_staticTexture(benchmark::State &state)
{
    QByteArray idx, mul;
    buildFiles(idx, mul);
    ArtReader reader;
    reader.loadFromBytes(idx, mul);
    quint16 hue[32];
    for (int i = 0; i < 32; ++i)
        hue[i] = quint16(i << 10);
    const bool hued = state.range(0) != 0;
    for (auto _ : state) {
        for (int id = 0; id < Entries; ++id) {
            int tw, th, w, h;
            const quint32 *block =
                reader.staticTexture(id, hued ? hue : nullptr, false, 0xFF000000, tw, th, w, h);
            benchmark::DoNotOptimize(block);
        }
    }
    state.SetItemsProcessed(state.iterations() * Entries);
}

} // namespace

BENCHMARK(BM_staticTexture)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
