// Packed containers. Opening an 80,000-entry art container and finding one
// entry should cost at most twice a bare loop over its tables; exporting a
// multi into a 2 MB MultiCollection.uop at most three times a plain copy.
#include "data/NameHash.h"
#include "data/UopFile.h"
#include "data/UopMultiStore.h"
#include "model/TileRecord.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

constexpr int ArtEntries = 80000;
constexpr int Multis = 1500;
constexpr int TilesPerMulti = 100;

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

quint64 artHash(int i)
{
    char name[40];
    const int n = std::snprintf(name, sizeof name, "build/artlegacymul/%08u.tga", unsigned(i));
    return NameHash::hash(QByteArray(name, n));
}

QString artContainer(const QTemporaryDir &dir)
{
    QVector<UopFile::NewEntry> entries;
    for (int i = 0; i < ArtEntries; ++i)
        entries.append(UopFile::storedEntry(artHash(i), QByteArray(16, char(i))));
    QString path = dir.filePath("artLegacyMUL.uop");
    writeFile(path, UopFile::build(UopFile::Header(), entries));
    return path;
}

void BM_OpenAndFind(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = artContainer(dir);
    int i = 0;
    for (auto _ : state) {
        UopFile uop;
        uop.open(path);
        benchmark::DoNotOptimize(uop.find(artHash(i++ % ArtEntries)));
    }
}
BENCHMARK(BM_OpenAndFind)->Unit(benchmark::kMillisecond);

// The floor: read the header and every block's table into entries, nothing checked.
void BM_BareTableLoop(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = artContainer(dir);
    for (auto _ : state) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        const QByteArray head = f.read(28);
        quint64 next = qFromLittleEndian<quint64>(head.constData() + 12);
        QVector<UopFile::Entry> entries;
        while (next) {
            f.seek(qint64(next));
            const QByteArray block = f.read(12);
            const quint32 count = qFromLittleEndian<quint32>(block.constData());
            next = qFromLittleEndian<quint64>(block.constData() + 4);
            const QByteArray table = f.read(qint64(count) * 34);
            for (quint32 k = 0; k < count; ++k) {
                const char *p = table.constData() + 34 * k;
                UopFile::Entry e;
                e.offset = qint64(qFromLittleEndian<quint64>(p));
                e.storedSize = qFromLittleEndian<quint32>(p + 12);
                e.hash = qFromLittleEndian<quint64>(p + 20);
                entries.append(e);
            }
        }
        benchmark::DoNotOptimize(entries.data());
    }
}
BENCHMARK(BM_BareTableLoop)->Unit(benchmark::kMillisecond);

// About 2 MB: 1500 packed multis of 100 tiles and an unknown entry.
QString multiContainer(const QTemporaryDir &dir)
{
    QVector<UopFile::NewEntry> entries;
    for (int n = 0; n < Multis; ++n) {
        QByteArray payload(8, '\0');
        qToLittleEndian<quint32>(quint32(n), payload.data());
        qToLittleEndian<quint32>(TilesPerMulti, payload.data() + 4);
        for (int t = 0; t < TilesPerMulti; ++t) {
            TileRecord tile;
            tile.id = quint16(n * 7 + t * 13), tile.x = t % 10 - n % 5, tile.y = t / 10, tile.z = qint16(t % 9);
            payload.append(UopMultiStore::encodeRecord(tile));
        }
        entries.append(*UopFile::compressedEntry(UopMultiStore::entryHash(n), payload));
    }
    QByteArray noise(1150 * 1024, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 2654435761u) >> 13);
    entries.append(UopFile::storedEntry(0x42, noise));
    QString path = dir.filePath("MultiCollection.uop");
    writeFile(path, UopFile::build(UopFile::Header(), entries));
    return path;
}

void BM_ExportIntoContainer(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = multiContainer(dir);
    QList<TileRecord> tiles;
    for (int t = 0; t < TilesPerMulti; ++t) {
        TileRecord tile;
        tile.id = quint16(1000 + t), tile.x = t % 8, tile.y = t / 8, tile.z = qint16(t % 7);
        tiles.append(tile);
    }
    UopMultiStore store(path);
    for (auto _ : state) {
        if (!store.exportEntry(3, tiles))
            state.SkipWithError(qPrintable(store.errorString()));
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_ExportIntoContainer)->Unit(benchmark::kMillisecond);

void BM_PlainCopy(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = multiContainer(dir);
    const QString copy = dir.filePath("copy.uop");
    for (auto _ : state) {
        QFile::remove(copy);
        if (!QFile::copy(path, copy))
            state.SkipWithError("copy failed");
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
