// Export of one entry into a 1.5 MB multi.mul against a plain copy of that file:
// the safe export reads the pair, appends the entry and replaces the small index,
// so it should stay well under twice the copy.
// The real mltool listing a 2 GiB multi.mul (sparse: no disk used) against the
// same listing of a tiny pair: the data is read by entry, so the goal is at
// most 0.5 s and a peak of at most 64 MiB (the MaxRssMiB counter).
#include "MulWriter.h"
#include "data/MultiFile.h"
#include "data/TileData.h"
#include "model/Facet.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

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

struct ChildUse {
    long peakKiB = -1; // -1: it failed
    double cpuMs = 0;
};

// Runs mltool list with its output thrown away: its peak resident set and CPU time.
ChildUse listUse(const QString &idx, const QString &mul)
{
    const QByteArray tool = TILSEN_MLTOOL, i = QFile::encodeName(idx), m = QFile::encodeName(mul);
    char *argv[] = {const_cast<char *>(tool.constData()), const_cast<char *>("list"),
                    const_cast<char *>(i.constData()), const_cast<char *>(m.constData()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (spawned != 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1000 + double(t.tv_usec) / 1000; };
    return {usage.ru_maxrss, ms(usage.ru_utime) + ms(usage.ru_stime)};
}

void runList(benchmark::State &state, const QString &idx, const QString &mul)
{
    long peak = 0;
    double cpuMs = 0;
    for (auto _ : state) {
        const ChildUse use = listUse(idx, mul);
        if (use.peakKiB < 0)
            state.SkipWithError("mltool list failed");
        peak = qMax(peak, use.peakKiB);
        cpuMs += use.cpuMs;
    }
    state.counters["MaxRssMiB"] = double(peak) / 1024;
    // The child's own CPU time: what the wall time is on an idle machine.
    state.counters["ChildCpuMs"] = benchmark::Counter(cpuMs, benchmark::Counter::kAvgIterations);
}

void BM_ListSparse2GiB(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString mul = dir.filePath("multi.mul");
    constexpr qint64 Size = 0x7fffffff;
    constexpr int Count = 4096;
    constexpr qint64 Step = Size / Count / 48 * 48;
    QFile data(mul);
    if (!data.open(QIODevice::ReadWrite) || !data.resize(Size))
        state.SkipWithError("cannot make the sparse file");
    // Every entry a zero-filled half megabyte; a few hold real 16-byte records,
    // so the content decides the record size.
    for (int n = 0; n < Count; ++n) {
        if (n % 512 == 0) {
            const QVector<MulWriter::MultiTile> tiles{{0x4000, 0, 0, 0, 1}, {0x4001, 1, -1, 1, 1}, {0x4002, 2, -2, 2, 1}};
            data.seek(n * Step);
            data.write(MulWriter::multiEntry(tiles, 16));
        }
    }
    data.close();
    QByteArray idx;
    for (int n = 0; n < Count; ++n)
        MulWriter::putIndexRecord(idx, n, {qint32(n * Step), qint32(Step), 0});
    writeFile(dir.filePath("multi.idx"), idx);
    runList(state, dir.filePath("multi.idx"), mul);
}
BENCHMARK(BM_ListSparse2GiB)->Unit(benchmark::kMillisecond)->UseRealTime();

// The bare baseline: the same command on the 1.5 MB pair.
void BM_ListSmallPair(benchmark::State &state)
{
    QTemporaryDir dir;
    writePair(dir.filePath("multi.idx"), dir.filePath("multi.mul"));
    runList(state, dir.filePath("multi.idx"), dir.filePath("multi.mul"));
}
BENCHMARK(BM_ListSmallPair)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
