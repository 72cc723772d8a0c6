#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "MltRows.h"
#include "TileKeys.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "model/MimeMgr.h"
#include "model/MltFile.h"
#include "model/NoTileInfo.h"
#include "model/SafeWrite.h"
#include "model/TileReplace.h"
#include "model/UndoMgr.h"

#include <QDir>
#include <QMimeData>
#include <QSaveFile>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>
#include <memory>

namespace {
// One serialised string as the clipboard payload stores it.
QByteArray str(const QString &s)
{
    QByteArray b;
    QDataStream out(&b, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << s;
    return b;
}
QByteArray head(const QString &point = QStringLiteral("0:0:0")) { return str("1.0") + str(point); }
template <class Table> QStringList keys(const Table &table) { return tileKeys(table); }
QStringList keys(const QList<TileRecord> &list) { return tileKeys(TileMap{{0u, list}}); }
// Every location of a model in key order, with its tiles in the model's order.
QStringList snapshot(const Facet &f)
{
    QStringList out;
    for (const quint32 key : f.sortedKeys()) {
        QStringList tiles;
        for (const TileRecord &t : f.tilesAt(keyX(key), keyY(key)))
            tiles << t.key();
        out << QString::number(key) + QLatin1Char('=') + tiles.join(QLatin1Char(' '));
    }
    return out;
}
// Tile data that names every art id and gives it a height, to tell a model's record from a bare key.
class NamedInfo : public TileInfoSource
{
public:
    TileInfo landInfo(int) const override { return {}; }
    TileInfo staticInfo(int id) const override
    {
        TileInfo info;
        info.name = QStringLiteral("art %1").arg(id);
        info.height = quint8(id % 7 + 1);
        return info;
    }
};
const QString Extreme = QStringLiteral("65535:-200:199:-32768:-5:0:1");
} // namespace

Q_DECLARE_METATYPE(QList<TileRecord>)

class TestModel : public QObject
{
    Q_OBJECT
    TileData m_data;

    TileRecord tile(quint16 id, qint16 z, qint32 kind = Art) { return {id, 0, z, m_data, kind}; }
    TileRecord at(qint32 x, qint32 y, quint16 id = 10, qint16 z = 0, qint32 kind = Art)
    {
        TileRecord t = tile(id, z, kind);
        t.x = x;
        t.y = y;
        return t;
    }
    static void edit(UndoMgr &undo, const QList<TileRecord> &add,
                     const QList<TileRecord> &remove = {}, bool duplicate = false)
    {
        undo.beginGroup();
        if (duplicate)
            undo.markDuplicate();
        for (const TileRecord &t : add)
            undo.insertTile(t);
        for (const TileRecord &t : remove)
            undo.removeTile(t);
        undo.commitGroup();
    }

private slots:
    void initTestCase()
    {
        m_data.setStaticInfo(10, TileInfo{TileFlags::Background, 0, "wall", 0});
        m_data.setStaticInfo(12, TileInfo{0, 7, "table", 0});
        m_data.setStaticInfo(3, TileInfo{0x40, 9, "three", 0});
        m_data.setLandInfo(3, TileInfo{0x8, 0, "grass", 55});
    }

    void tileRecords()
    {
        const char *const cases[][2] = {
            {"65535:-200:199:-32768:-5:0:1", "65535:-200:199:-32768:-5:0:1"},
            {"70000:1:2:3:4:1:1", "4464:1:2:3:4:1:1"}, // the id wraps
            {"17", "17:0:0:0:0:0:0"},                  // missing fields read as 0
            {"x:5::abc:2:1:1:99:zz", "0:5:0:0:2:1:1"}, // so do junk ones; extra ones are ignored
        };
        for (const auto &c : cases)
            QCOMPARE(TileRecord(c[0], m_data).key(), QString(c[1]));
        QCOMPARE(TileRecord(QStringLiteral("1:0:0:-7:0:1:1"), m_data).sortZ, -7);
        // Any kind but art takes its cached fields from the terrain table.
        QCOMPARE(TileRecord(QStringLiteral("3:0:0:0:0:1:2"), m_data).textureId, quint16(55));
        // Equality ignores the cached fields only.
        TileRecord a = at(1, 2, 10, 3), b = a;
        b.flags = 0xFF;
        b.sortZ = 40;
        QVERIFY(a == b);
        QVERIFY(a != at(1, 2, 10, 3, Terrain));
        b.visible = 0;
        QVERIFY(a != b);
    }

    void facetEdits()
    {
        Facet f(m_data);
        QVERIFY(f.tilesAt(1, 2).empty());
        QVERIFY(f.locations().isEmpty()); // reading makes no entry
        // The area is -200..199 both ways.
        const std::tuple<int, int, bool> places[] = {{199, 199, true}, {-200, -200, true}, {200, 0, false},
                                                     {0, 200, false}, {-201, 0, false}};
        for (const auto &[x, y, inside] : places)
            QCOMPARE(f.addTile(x, y, at(x, y)), inside);
        QVERIFY(!f.removeTile(200, 0, at(200, 0)));
        const TileRecord t = at(1, 2);
        TileRecord hued = t;
        hued.hue = 5;
        QVERIFY(f.addTile(1, 2, t));
        QVERIFY(!f.addTile(1, 2, t));
        QVERIFY(!f.removeTile(1, 2, hued));
        QVERIFY(!f.removeTile(1, 3, at(1, 3)));
        f.setAllowDuplicates(true);
        QVERIFY(f.addTile(1, 2, t));
        QVERIFY(f.removeTile(1, 2, t));
        QCOMPARE(f.tilesAt(1, 2).size(), size_t(1)); // one of two equal tiles went
        QVERIFY(f.removeTile(1, 2, t));
        QVERIFY(!f.removeTile(1, 2, t));
        QCOMPARE(f.locations().size(), 2); // an emptied location goes

        // Loading keys each tile by its own position, in draw order, and leaves it unmodified.
        Facet g(m_data);
        const TileRecord high = at(1, 1, 10, 20), low = at(1, 1, 10, 5), far = at(-5, 7);
        g.load({{locationKey(1, 1), {high, low}}, {0u, {far}}});
        QVERIFY(!g.isModified());
        QVERIFY(*g.tilesAt(1, 1).begin() == low);
        QCOMPARE(g.sortedKeys(), QList<quint32>({locationKey(1, 1), locationKey(-5, 7)}));
        g.setAllowDuplicates(true);
        QVERIFY(g.addTile(1, 1, low));
        QVERIFY(!g.isModified()); // a copy changes nothing to save
        QVERIFY(g.removeTile(-5, 7, far));
        QVERIFY(g.isModified());
        g.load(TileMap()); // keeps the unsaved state
        QVERIFY(g.locations().isEmpty());
        QVERIFY(g.isModified());
    }

    void saveAndReadBack()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("one.mlt");
        Facet f(m_data);
        QCOMPARE(MltFile::toBytes(f), QByteArray(4, '\0'));
        QVERIFY(f.addTile(5, -7, at(5, -7, 3, 2, Terrain)));
        QVERIFY(f.save(path));
        QVERIFY(!f.isModified());
        QCOMPARE(fileBytes(path).toHex(' '),
                 QByteArray("00 00 00 00 03 00 05 00 f9 ff 02 00 01 00 00 00"));
        const TileRecord extreme(Extreme, m_data);
        QVERIFY(f.addTile(extreme.x, extreme.y, extreme));
        QVERIFY(f.save(path));
        // Visible 0 in the low half of the flags word, hue -5 in the high half.
        QVERIFY(fileBytes(path).toHex(' ').contains("ff ff 38 ff c7 00 00 80 00 00 fb ff"));
        const MltReadResult r = MltFile::read(path, m_data);
        QCOMPARE(r.status, MltReadResult::Ok);
        QCOMPARE(keys(r.tiles), QStringList({"3:5:-7:2:0:1:1", Extreme}));
        const TileRecord back = r.tiles.value(locationKey(5, -7)).first();
        QVERIFY(back.name == "three" && back.height == 9 && back.sortZ == 2);

        // Equal tiles are written once, in ascending location order.
        Facet g(m_data);
        g.setAllowDuplicates(true);
        for (int i = -50; i < 50; i += 7) {
            g.addTile(i, -i, at(i, -i));
            g.addTile(i, -i, at(i, -i));
        }
        const QByteArray bytes = MltFile::toBytes(g);
        QList<quint32> order; // an entry's x and y read as one word are its location key
        for (qsizetype p = 4 + 2; p < bytes.size(); p += 12)
            order << qFromLittleEndian<quint32>(bytes.constData() + p);
        QCOMPARE(order.size(), 15);
        QVERIFY(std::adjacent_find(order.cbegin(), order.cend(), std::greater_equal<>())
                == order.cend());
    }

    void fileFailures()
    {
        QTemporaryDir dir;
        QCOMPARE(MltFile::read(dir.filePath("absent"), m_data).status, MltReadResult::CannotOpen);
        // The longest name a folder takes is saved and replaced: the temporary's
        // name is cut to fit. (Failed saves: saveUnderSizeLimit below.)
        const QString path = dir.filePath(QString(255, QLatin1Char('m')));
        Facet f(m_data);
        f.addTile(1, 1, at(1, 1));
        QVERIFY(f.save(path));
        f.addTile(2, 2, at(2, 2));
        QVERIFY(f.save(path));
        QVERIFY(!f.isModified());
        QCOMPARE(fileBytes(path), MltFile::toBytes(f));

        const QByteArray e = QByteArray::fromHex("030001000200030001000000"), v0(4, '\0');
        const MltReadResult bad = MltFile::fromBytes(QByteArray::fromHex("01000000") + e, m_data);
        QVERIFY(bad.status == MltReadResult::BadVersion);
        QCOMPARE(bad.version, 1);
        QVERIFY(bad.tiles.isEmpty());
        // No header or a short one is unreadable, not empty; a partial entry is
        // dropped, and what was left out is counted.
        for (const QByteArray &cut : {QByteArray(), QByteArray(3, '\1')})
            QCOMPARE(MltFile::fromBytes(cut, m_data).status, MltReadResult::Unreadable);
        const struct { QByteArray bytes; int tiles; bool damaged; int ignored; } cases[] = {
            {v0, 0, false, 0},
            {v0 + e + e.left(11), 1, true, 11}, {v0 + e + e + e.left(1), 2, true, 1},
            {v0 + e + e, 2, false, 0}};
        for (const auto &c : cases) {
            const MltReadResult r = MltFile::fromBytes(c.bytes, m_data);
            QVERIFY(r.status == MltReadResult::Ok);
            QCOMPARE(keys(r.tiles).size(), c.tiles);
            QCOMPARE(r.damaged, c.damaged);
            QCOMPARE(int(r.ignoredBytes), c.ignored);
        }
    }

    void undoRedoAndSignals()
    {
        Facet f(m_data);
        UndoMgr undo(m_data, &f, nullptr);
        QStringList log; // U and R: whether undo and redo are available
        connect(&undo, &UndoMgr::stateUndo, &undo, [&](bool b) { log << QString("U%1").arg(b); });
        connect(&undo, &UndoMgr::stateRedo, &undo, [&](bool b) { log << QString("R%1").arg(b); });
        undo.undo();
        undo.redo();
        const TileRecord t = at(3, -2);
        edit(undo, {t});
        edit(undo, {t, at(200, 0)}, {at(3, 3), at(-201, 0)}); // all refused: no step
        undo.undo();
        QVERIFY(f.locations().isEmpty());
        undo.redo();
        QCOMPARE(keys(f.locations()), keys({t}));
        undo.clearHistory();
        QVERIFY(!undo.hasSteps(0) && !undo.hasSteps(1));
        QVERIFY(f.tileCount() == 1);
        QCOMPARE(log, QStringList({"U1", "R1", "U0", "U1", "R0", "U0", "R0"}));
    }

    // The unsaved mark follows the history: back at the opened or saved state
    // the document is unmodified; once a new edit drops that state from the
    // redo history, or work is marked unsaved, no step leads back there.
    void unsavedMarkFollowsTheHistory()
    {
        QTemporaryDir dir;
        Facet f(m_data);
        UndoMgr undo(m_data, &f, nullptr);
        QString marks;
        const auto mark = [&] { marks += f.isModified() ? 'M' : '-'; };
        edit(undo, {at(1, 1)});
        mark();
        undo.undo();
        mark();
        undo.redo();
        mark();
        QVERIFY(f.save(dir.filePath("a.mlt")));
        edit(undo, {at(2, 2)});
        undo.undo();
        mark();
        undo.undo();
        mark();
        edit(undo, {at(3, 3)}); // the saved state was in the redo history
        undo.undo();
        undo.redo();
        mark();
        Facet imported(m_data);
        UndoMgr history(m_data, &imported, nullptr);
        imported.markModified();
        edit(history, {at(4, 4)});
        history.undo();
        marks += imported.isModified() ? 'M' : '-';
        QCOMPARE(marks, QString("M-M-MMM"));
    }

    void replayRules()
    {
        Facet f(m_data);
        UndoMgr undo(m_data, &f, nullptr);
        // A new edit clears the redo history: the undone step never comes back.
        const TileRecord first = at(1, 1), second = at(2, 2);
        edit(undo, {first});
        undo.undo();
        QVERIFY(undo.hasSteps(1));
        QSignalSpy redoState(&undo, &UndoMgr::stateRedo);
        edit(undo, {second});
        QCOMPARE(redoState.size(), 1);
        QVERIFY(!redoState.first().first().toBool());
        QVERIFY(!undo.hasSteps(1));
        undo.redo();
        QCOMPARE(keys(f.locations()), keys({second}));
        undo.undo();
        QVERIFY(f.locations().isEmpty());
        undo.redo();
        QCOMPARE(keys(f.locations()), keys({second}));

        // Replays never take a terrain tile away.
        const TileRecord ground = at(5, 5, 3, 0, Terrain);
        edit(undo, {ground, at(5, 5, 3)});
        undo.undo();
        QCOMPARE(keys(f.locations()), keys({second, ground}));
        edit(undo, {}, {ground});
        undo.undo();
        undo.redo();
        QCOMPARE(keys(f.locations()), keys({second, ground}));

        // A group of only the duplicate mark is a step too: two undos stop before the first edit.
        edit(undo, {}, {}, true);
        undo.undo();
        undo.undo();
        QCOMPARE(keys(f.locations()), keys({second, ground}));
    }

    void movesUndoAndRedoExactly_data()
    {
        QTest::addColumn<QList<TileRecord>>("tiles");
        QTest::addColumn<QPoint>("step");
        QTest::addColumn<int>("dz");
        QList<TileRecord> grid;
        for (int y = -15; y < 15; ++y)
            for (int x = -15; x < 15; ++x)
                grid << at(x, y, quint16(10 + (x + y + 30) % 3 * 2), qint16((x * y) % 7));
        QList<TileRecord> stacks;
        for (int i = 0; i < 5; ++i)
            stacks << at(i, 0, 10, 0) << at(i, 0, 12, 5) << at(i, 0, 3, -2) << at(i, 0, 3, 1);
        QList<TileRecord> row, twins;
        for (int i = 0; i < 6; ++i)
            row << at(i, 4);
        twins << at(7, 7) << at(7, 7) << at(8, 7, 12) << at(8, 7, 12, 3);
        QTest::newRow("grid") << grid << QPoint(1, 0) << 0;
        QTest::newRow("stacks, up and across") << stacks << QPoint(-1, 1) << 2;
        QTest::newRow("along a row of equal tiles") << row << QPoint(1, 0) << 0;
        QTest::newRow("back along it") << row << QPoint(-1, 0) << 0;
        QTest::newRow("equal tiles at one place") << twins << QPoint(0, -1) << -1;
        QTest::newRow("altitude only") << stacks << QPoint(0, 0) << 3;
        QTest::newRow("over the edge") << QList<TileRecord>{at(199, 0), at(198, 0, 12), at(199, 1, 12)}
                                       << QPoint(1, 0) << 0;
    }

    // A move of many tiles leaves exactly the moved tiles; undo brings back
    // exactly the tiles before, redo the tiles after, in every location's order.
    void movesUndoAndRedoExactly()
    {
        QFETCH(QList<TileRecord>, tiles);
        QFETCH(QPoint, step);
        QFETCH(int, dz);
        TileMap map;
        QList<TileRecord> shifted;
        for (const TileRecord &t : tiles) {
            map[locationKey(t.x, t.y)] << t;
            TileRecord m = t;
            m.x += step.x();
            m.y += step.y();
            m.z = qint16(m.z + dz);
            m.sortZ = m.z;
            shifted << m;
        }
        Facet expectedAfter(m_data);
        TileMap after;
        for (const TileRecord &m : shifted)
            if (expectedAfter.inside(m.x, m.y))
                after[locationKey(m.x, m.y)] << m;
        expectedAfter.load(after);
        Facet f(m_data);
        f.load(map);
        const QStringList before = snapshot(f);
        UndoMgr undo(m_data, &f, nullptr);
        undo.beginGroup();
        undo.markDuplicate();
        const QList<TileRecord> moved = undo.moveTiles(tiles, step.x(), step.y(), dz);
        undo.commitGroup();
        QCOMPARE(keys(moved), keys(shifted));
        QCOMPARE(snapshot(f), snapshot(expectedAfter));
        for (const auto &here : f.locations()) // equal tiles are refused again
            QVERIFY(!f.addTile(here.begin()->x, here.begin()->y, *here.begin()));
        for (int round = 0; round < 2; ++round) {
            undo.undo();
            QCOMPARE(snapshot(f), before);
            undo.redo();
            QCOMPARE(snapshot(f), snapshot(expectedAfter));
        }
        QCOMPARE(f.tileCount(), expectedAfter.tileCount());
    }

    // A move given bare keys moves the model's own records, tile data and all;
    // keys the model does not hold are passed over, neither removed nor added.
    void moveTakesTheModelsOwnRecords()
    {
        const NamedInfo info;
        Facet f(info);
        auto held = [&](qint32 x, qint32 y, quint16 id, qint16 z) {
            TileRecord t(id, 0, z, info, Art);
            t.x = x;
            t.y = y;
            return t;
        };
        const QList<TileRecord> tiles{held(0, 0, 20, 0), held(0, 0, 21, 5), held(1, 0, 22, 0)};
        for (const TileRecord &t : tiles)
            QVERIFY(f.addTile(t.x, t.y, t));
        // The key alone, without the model's tile data.
        auto bare = [](const TileRecord &t) { return TileRecord(t.key(), NoTileInfo()); };
        // The stale key names what the first tile becomes: it must not be moved twice.
        QList<TileRecord> given{bare(held(0, 1, 20, 0)), bare(held(5, 5, 23, 0))};
        for (const TileRecord &t : tiles)
            given << bare(t);
        UndoMgr undo(info, &f, nullptr);
        undo.beginGroup();
        undo.markDuplicate();
        const QList<TileRecord> moved = undo.moveTiles(given, 0, 1, 0);
        undo.commitGroup();
        QCOMPARE(keys(moved), QStringList({"20:0:1:0:0:1:1", "21:0:1:5:0:1:1", "22:1:1:0:0:1:1"}));
        QCOMPARE(snapshot(f),
                 QStringList({QString::number(locationKey(0, 1)) + "=20:0:1:0:0:1:1 21:0:1:5:0:1:1",
                              QString::number(locationKey(1, 1)) + "=22:1:1:0:0:1:1"}));
        for (const TileRecord &t : moved) {
            const QString name = QStringLiteral("art %1").arg(t.id);
            QCOMPARE(t.name, name);
            for (const TileRecord &r : *f.tilesAtPtr(t.x, t.y)) {
                if (r == t) {
                    QCOMPARE(r.name, name);
                    QCOMPARE(int(r.height), t.id % 7 + 1);
                }
            }
        }
        undo.undo();
        QCOMPARE(keys(f.locations()), keys(tiles));
        undo.redo();
        QCOMPARE(keys(f.locations()), keys(moved));
    }

    void mimePayloads()
    {
        MimeMgr mime(m_data);
        const TileRecord ground = at(3, 4, 3, 7, Terrain), extreme(Extreme, m_data);
        const TileMap map{{locationKey(3, 4), {ground}}, {locationKey(-200, 199), {extreme}}};
        const QByteArray bytes = MimeMgr::encodeBytes(map, -70000, 70000, -32768);
        QCOMPARE(bytes, head("-70000:70000:-32768") + str("3:3:4:7:0:1:0") + str(Extreme));
        std::unique_ptr<QMimeData> art(mime.encode(Art, map, -70000, 70000, -32768));
        std::unique_ptr<QMimeData> other(mime.encode(7, map, 0, 0, 0));
        QCOMPARE(art->formats() + other->formats(), QStringList({"bm/art", "bm/terrain"}));
        QVERIFY(mime.canDecode(Art, art.get()));
        QVERIFY(!mime.canDecode(Terrain, art.get()));
        int x = 1, y = 0;
        qint16 z = 0;
        QVERIFY(mime.decode(Terrain, art.get(), x, y, z).isEmpty());
        QVERIFY(x == 1);
        QCOMPARE(keys(mime.decode(Art, art.get(), x, y, z)), keys({ground})); // hidden left out
        mime.setIncludeInvisible(true);
        QCOMPARE(mime.decode(Art, art.get(), x, y, z), map);
        QCOMPARE(QList<int>({x, y, z}), QList<int>({-70000, 70000, -32768}));

        // Each location in draw order; equal tiles keep their payload order.
        const QStringList given({"11:1:1:4:0:1:1", "10:1:1:0:0:1:1", "3:1:1:0:0:1:0",
                                 "11:1:1:4:7:1:1"});
        QByteArray payload = head();
        for (const QString &key : given)
            payload += str(key);
        QStringList order;
        for (const TileRecord &t : mime.decodeBytes(payload, x, y, z).value(locationKey(1, 1)))
            order << t.key();
        QCOMPARE(order, QStringList({given[2], given[1], given[0], given[3]}));
    }

    void hostilePayloads()
    {
        const QByteArray refused[] = {QByteArray(), str("1.0").left(7), str("1.0"),
                                      str(QString()) + str("1:2:3"),
                                      str("1.1") + str("1:2:3") + str("10:0:0:0:0:1:1")};
        MimeMgr mime(m_data);
        mime.setIncludeInvisible(true);
        for (const QByteArray &bytes : refused) {
            int x = 11, y = 12;
            qint16 z = 13;
            QVERIFY(mime.decodeBytes(bytes, x, y, z).isEmpty());
            QCOMPARE(QList<int>({x, y, z}), QList<int>({11, 12, 13}));
        }
        // A cut or malformed string ends the payload; null or empty keys are blank tiles.
        const QString given = QStringLiteral("10:1:1:0:0:1:1");
        const QByteArray start = head() + str(given), good = str("99:2:2:0:0:1:1");
        const QByteArray tails[] = {good.left(good.size() - 2), QByteArray::fromHex("0800"),
                                    QByteArray::fromHex("03000000410042") + good,
                                    QByteArray::fromHex("fffffffe") + good};
        int x = 0, y = 0;
        qint16 z = 0;
        for (const QByteArray &tail : tails)
            QCOMPARE(keys(mime.decodeBytes(start + tail, x, y, z)), QStringList(given));
        QCOMPARE(keys(mime.decodeBytes(start + str(QString()) + str(""), x, y, z)),
                 QStringList({"0:0:0:0:0:0:0", "0:0:0:0:0:0:0", given}));
    }

    // Replacing ids through the undo history: what stands afterwards, one undo
    // back to the start and redo again, and what the no-duplicates rule merges.
    void replacesInOneStep_data()
    {
        QTest::addColumn<QStringList>("tiles"); // keys id:x:y:z:hue:visible:kind
        QTest::addColumn<QList<qint32>>("from");
        QTest::addColumn<QList<qint32>>("to");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("merged");
        QTest::addColumn<QList<quint16>>("unpartnered");
        const QStringList house{"5:0:0:0:0:1:1", "5:1:0:20:33:0:1", "7:0:0:0:0:1:1", "9:2:2:0:0:1:1", "5:3:3:0:0:1:0"};
        QTest::newRow("one id, hue, altitude and visibility kept, terrain left")
            << house << QList<qint32>{5} << QList<qint32>{6} << QStringList{"6:0:0:0:0:1:1", "6:1:0:20:33:0:1", "7:0:0:0:0:1:1", "9:2:2:0:0:1:1", "5:3:3:0:0:1:0"} << 0 << QList<quint16>{};
        QTest::newRow("ids swapped both ways in one cell")
            << house << QList<qint32>{5, 7} << QList<qint32>{7, 5} << QStringList{"7:0:0:0:0:1:1", "7:1:0:20:33:0:1", "5:0:0:0:0:1:1", "9:2:2:0:0:1:1", "5:3:3:0:0:1:0"} << 0 << QList<quint16>{};
        QTest::newRow("group by group, a piece without partner")
            << house << QList<qint32>{5, 9} << QList<qint32>{8} << QStringList{"8:0:0:0:0:1:1", "8:1:0:20:33:0:1", "7:0:0:0:0:1:1", "9:2:2:0:0:1:1", "5:3:3:0:0:1:0"} << 0 << QList<quint16>{9};
        QTest::newRow("onto an equal tile: one stays")
            << QStringList{"5:0:0:0:0:1:1", "6:0:0:0:0:1:1"} << QList<qint32>{5} << QList<qint32>{6} << QStringList{"6:0:0:0:0:1:1"} << 1 << QList<quint16>{};
    }
    void replacesInOneStep()
    {
        QFETCH(QStringList, tiles);
        QFETCH(QList<qint32>, from);
        QFETCH(QList<qint32>, to);
        QFETCH(QStringList, expected);
        const NoTileInfo none;
        Facet model(none);
        UndoMgr undo(none, &model, nullptr);
        undo.beginGroup();
        QList<TileRecord> all;
        for (const QString &key : tiles) {
            all << TileRecord(key, none);
            undo.insertTile(all.last());
        }
        undo.commitGroup();
        QList<quint16> unpartnered;
        TileReplace::Plan plan = TileReplace::plan(all, TileReplace::pieceByPiece(from, to, &unpartnered), none);
        QTEST(unpartnered, "unpartnered");
        QTEST(TileReplace::apply(plan, undo, model), "merged");
        expected.sort();
        QCOMPARE(keys(model.locations()), expected);
        undo.undo();
        tiles.sort();
        QCOMPARE(keys(model.locations()), tiles);
        undo.redo();
        QCOMPARE(keys(model.locations()), expected);
    }

    // Under a size limit, saving the document must fail, say why, keep the
    // old file and leave no temporary behind; small contents that sit in
    // Qt's buffer until the end are the case that used to be lost.
    void saveUnderSizeLimit_data()
    {
        QTest::addColumn<int>("oldTiles");
        QTest::addColumn<int>("newTiles");
        QTest::addColumn<int>("limit");
        QTest::newRow("buffered, cut at 1 KiB") << 91 << 170 << 1024;
        QTest::newRow("past Qt's buffer") << 91 << 390 << 4096;
    }
    void saveUnderSizeLimit()
    {
        QFETCH(int, oldTiles);
        QFETCH(int, newTiles);
        QFETCH(int, limit);
        QTemporaryDir dir;
        const QString path = dir.filePath("house.mlt");
        const QByteArray old = mltRows(oldTiles);
        QVERIFY(SafeWrite::replaceFile(path, old));
        Facet model(m_data);
        model.load(MltFile::fromBytes(mltRows(newTiles), m_data).tiles);
        model.markModified();
        QString error;
        {
            const FileSizeLimit limited{rlim_t(limit)};
            QVERIFY(!model.save(path, &error));
        }
        QCOMPARE(error, QStringLiteral("File too large"));
        QVERIFY(model.isModified());
        QCOMPARE(fileBytes(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"house.mlt"}));

        // Without the limit the same save goes through whole.
        QVERIFY(model.save(path));
        QVERIFY(!model.isModified());
        QCOMPARE(fileBytes(path), mltRows(newTiles));
    }

    // Every other writer goes through the same function: a plain file and a
    // commit of an opened save file behave alike.
    void replaceAndCommitUnderLimit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("data.bin");
        const QByteArray old("the old content");
        QVERIFY(SafeWrite::replaceFile(path, old));
        {
            const FileSizeLimit limited(64);
            QString a, b;
            QVERIFY(!SafeWrite::replaceFile(path, QByteArray(100, 'n'), &a));
            QSaveFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(!SafeWrite::commit(file, QByteArray(65, 'n'), &b));
            QCOMPARE(a + '|' + b, QStringLiteral("File too large|File too large"));
        }
        QCOMPARE(fileBytes(path), old);

        QString error;
        QVERIFY(!SafeWrite::replaceFile(dir.filePath("no/such/folder/x"), old, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(SafeWrite::removeFile(path));
        QVERIFY(!QFile::exists(path));
        QVERIFY(SafeWrite::removeFile(path));
    }
};

QTEST_GUILESS_MAIN(TestModel)
#include "test_model.moc"
