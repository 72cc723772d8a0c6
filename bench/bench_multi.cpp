// Export of one entry into a 1.5 MB multi.mul against a plain copy of that file:
// the safe export reads the pair, appends the entry and replaces the small index,
// so it should stay well under twice the copy.
#include "MulWriter.h"
#include "data/MultiFile.h"
#include "data/TileData.h"
#include "model/Facet.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int Entries = 2048;
constexpr int TilesPerEntry = 64; // 2048 x 64 x 12 bytes = 1.5 MB

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

void writePair(const QString &idx, const QString &mul)
{
    QMap<int, QVector<MulWriter::MultiTile>> entries;
    for (int n = 0; n < Entries; ++n) {
        QVector<MulWriter::MultiTile> tiles;
        for (int t = 0; t < TilesPerEntry; ++t)
            tiles.append({quint16(n + t), qint16(t % 8), qint16(t / 8), qint16(t % 5), 1});
        entries.insert(n, tiles);
    }
    const MulWriter::IndexedFile files = MulWriter::multiFiles(entries, Entries);
    writeFile(idx, files.index);
    writeFile(mul, files.data);
}

void BM_ExportEntry(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString idx = dir.filePath("multi.idx");
    const QString mul = dir.filePath("multi.mul");
    writePair(idx, mul);
    TileData data;
    Facet model(data);
    TileMap map;
    for (int t = 0; t < TilesPerEntry; ++t) {
        TileRecord tile(quint16(1000 + t), 0, qint16(t % 7), data, Art);
        tile.x = t % 8;
        tile.y = t / 8;
        map[locationKey(tile.x, tile.y)].append(tile);
    }
    model.load(map);
    MultiFile file(idx, mul);
    file.setRecordSize(MultiFile::ClassicRecordSize);
    const QList<TileRecord> tiles = tilesInDrawOrder(model);
    int round = 0;
    for (auto _ : state) {
        // A different altitude each round, so that every round really writes.
        QList<TileRecord> edited = tiles;
        edited.first().z = qint16(++round % 100);
        if (!file.exportEntry(3, edited))
            state.SkipWithError(qPrintable(file.errorString()));
    }
    state.SetBytesProcessed(state.iterations() * QFile(mul).size());
}
BENCHMARK(BM_ExportEntry)->Unit(benchmark::kMillisecond);

void BM_PlainCopy(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString mul = dir.filePath("multi.mul");
    const QString copy = dir.filePath("copy.mul");
    writePair(dir.filePath("multi.idx"), mul);
    for (auto _ : state) {
        QFile::remove(copy);
        if (!QFile::copy(mul, copy))
            state.SkipWithError("copy failed");
    }
    state.SetBytesProcessed(state.iterations() * QFile(mul).size());
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
