// Speed of the multi document model: opening and saving a large ".mlt",
// undo and redo of a large move, and the clipboard payload.
#include "data/TileData.h"
#include "model/Facet.h"
#include "model/MimeMgr.h"
#include "model/MltFile.h"
#include "model/UndoMgr.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

namespace {

// Tile data with names, as the game's tables have them.
const TileData &tileData()
{
    static TileData data = [] {
        TileData d;
        for (int id = 0; id < 400; ++id)
            d.setStaticInfo(id, TileInfo{quint32(id % 2), quint8(id % 3), QStringLiteral("item %1").arg(id), 0});
        return d;
    }();
    return data;
}

// count tiles spread over a 100 x 100 square, several per location.
QList<TileRecord> someTiles(int count)
{
    QRandomGenerator rng(7);
    QList<TileRecord> tiles;
    tiles.reserve(count);
    for (int i = 0; i < count; ++i) {
        TileRecord t(quint16(rng.bounded(400)), 0, qint16(rng.bounded(60)), tileData(), Art);
        t.x = rng.bounded(-50, 50);
        t.y = rng.bounded(-50, 50);
        tiles << t;
    }
    return tiles;
}

TileMap mapOf(const QList<TileRecord> &tiles)
{
    TileMap map;
    for (const TileRecord &t : tiles)
        map[locationKey(t.x, t.y)].append(t);
    return map;
}

// A saved 100,000-tile multi, written once per run.
const QString &bigFile()
{
    static QTemporaryDir dir;
    static QString path = [] {
        Facet model(tileData());
        model.load(mapOf(someTiles(100000)));
        QString p = dir.filePath("big.mlt");
        MltFile::write(p, model);
        return p;
    }();
    return path;
}

struct Entry {
    quint16 id;
    qint16 x, y, z, visible, hue;
};

// The lower bound of opening: read the bytes, group the raw entries by location.
void BM_BareGroupingLoop(benchmark::State &state)
{
    for (auto _ : state) {
        QFile f(bigFile());
        f.open(QIODevice::ReadOnly);
        const QByteArray bytes = f.readAll();
        const uchar *p = reinterpret_cast<const uchar *>(bytes.constData());
        QHash<quint32, QList<Entry>> groups;
        for (qsizetype at = 4; at + 12 <= bytes.size(); at += 12) {
            Entry e;
            e.id = qFromLittleEndian<quint16>(p + at);
            e.x = qFromLittleEndian<qint16>(p + at + 2);
            e.y = qFromLittleEndian<qint16>(p + at + 4);
            e.z = qFromLittleEndian<qint16>(p + at + 6);
            e.visible = qFromLittleEndian<qint16>(p + at + 8);
            e.hue = qFromLittleEndian<qint16>(p + at + 10);
            groups[locationKey(e.x, e.y)].append(e);
        }
        benchmark::DoNotOptimize(groups);
    }
}
BENCHMARK(BM_BareGroupingLoop)->Unit(benchmark::kMillisecond);

void BM_OpenMlt(benchmark::State &state)
{
    for (auto _ : state) {
        MltReadResult r = MltFile::read(bigFile(), tileData());
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_OpenMlt)->Unit(benchmark::kMillisecond);

// Opening as a document does it: read, then fill the model's ordered sets.
void BM_OpenMltIntoModel(benchmark::State &state)
{
    for (auto _ : state) {
        Facet model(tileData());
        model.load(MltFile::read(bigFile(), tileData()).tiles);
        benchmark::DoNotOptimize(model.tileCount());
    }
}
BENCHMARK(BM_OpenMltIntoModel)->Unit(benchmark::kMillisecond);

void BM_SaveMlt(benchmark::State &state)
{
    Facet model(tileData());
    model.load(MltFile::read(bigFile(), tileData()).tiles);
    QTemporaryDir dir;
    const QString path = dir.filePath("saved.mlt");
    for (auto _ : state)
        benchmark::DoNotOptimize(model.save(path));
}
BENCHMARK(BM_SaveMlt)->Unit(benchmark::kMillisecond);

// A model of 10,000 tiles and one committed group that moved them all one step east.
struct MovedModel {
    Facet model{tileData()};
    UndoMgr undo{tileData(), &model, nullptr};
    MovedModel()
    {
        const QList<TileRecord> tiles = someTiles(10000);
        model.load(mapOf(tiles));
        undo.beginGroup();
        undo.markDuplicate();
        for (const TileRecord &t : tiles) {
            TileRecord moved = t;
            moved.x += 1;
            undo.removeTile(t);
            undo.insertTile(moved);
        }
        undo.commitGroup();
    }
};

void BM_UndoMove10k(benchmark::State &state)
{
    MovedModel m;
    for (auto _ : state) {
        m.undo.undo();
        state.PauseTiming();
        m.undo.redo();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UndoMove10k)->Unit(benchmark::kMillisecond);

void BM_RedoMove10k(benchmark::State &state)
{
    MovedModel m;
    for (auto _ : state) {
        state.PauseTiming();
        m.undo.undo();
        state.ResumeTiming();
        m.undo.redo();
    }
}
BENCHMARK(BM_RedoMove10k)->Unit(benchmark::kMillisecond);

void BM_EncodePayload10k(benchmark::State &state)
{
    const TileMap map = mapOf(someTiles(10000));
    for (auto _ : state)
        benchmark::DoNotOptimize(MimeMgr::encodeBytes(map, 0, 0, 0));
}
BENCHMARK(BM_EncodePayload10k)->Unit(benchmark::kMillisecond);

void BM_DecodePayload10k(benchmark::State &state)
{
    const QByteArray bytes = MimeMgr::encodeBytes(mapOf(someTiles(10000)), 0, 0, 0);
    MimeMgr mime(tileData());
    mime.setIncludeInvisible(true);
    for (auto _ : state) {
        int x = 0, y = 0;
        qint16 z = 0;
        benchmark::DoNotOptimize(mime.decodeBytes(bytes, x, y, z));
    }
}
BENCHMARK(BM_DecodePayload10k)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
