#include "FileBytes.h"
#include "MultiPair.h"
#include "MulWriter.h"
#include "TileText.h"
#include "UopBytes.h"
#include "data/DataLocations.h"
#include "data/MultiCollection.h"
#include "data/MultiFile.h"
#include "data/NameHash.h"
#include "data/UopFile.h"
#include "data/UopMultiStore.h"
#include "model/NoTileInfo.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>


using namespace UopBytes;

Q_DECLARE_METATYPE(UopBytes::Slot)

namespace {

constexpr quint64 Multi100 = 0xFDBEA28D30E3102DULL; // "build/multicollection/000100.bin"
constexpr quint64 Housing = 0x126D1E99DDEDEE0AULL;  // "build/multicollection/housing.bin"
constexpr quint64 Unknown = 0x0123456789ABCDEFULL;

quint64 multiHash(int id) { return NameHash::ofName(QString::asprintf("build/multicollection/%06d.bin", id)); }

void save(const QString &path, const QByteArray &bytes) { QVERIFY(writeFileBytes(path, bytes)); }

// A house (flags word 0x0100: low byte 0, visible; extra words kept), a post, and a hidden tile.
const QList<Rec> House = {{0x0010, 0, 0, 0, 0x0100, {7, 8}}, {0x0020, -3, 2, 5, 0, {}}, {0x0030, 1, -1, 0, 1, {9}}};

QList<Slot> collection()
{
    return {packed(multiHash(5), multi(5, {{1, 0, 0, 0, 0, {}}})), emptySlot(),
            packed(Housing, "housing table bytes"), stored(Unknown, "unknown entry"),
            packed(Multi100, multi(100, House)), packed(multiHash(7), multi(7, {}))};
}

QByteArray rec(int size, quint16 id, qint16 x, qint16 y, qint16 z, quint32 flags, quint32 upper = 0)
{
    return MultiPair::rec(size, id, x, y, z, flags, upper);
}

} // namespace

// The multi stores: the multi.idx / multi.mul pair and the packed containers.
class TestUop : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    TileData m_data;

    // What the editor holds after importing the entry: one tile per distinct record.
    QList<TileRecord> imported(MultiFile &file, int entry)
    {
        TileMap map;
        if (!file.readEntry(entry, m_data, map))
            return {};
        Facet model(m_data);
        model.load(map);
        return tilesInDrawOrder(model);
    }

private slots:
    void nameHashVectors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quint64>("hash");
        QTest::newRow("empty") << "" << quint64(0xDEADBEEFDEADBEEFULL);
        QTest::newRow("a") << "a" << quint64(0x582647AC58D68708ULL);
        QTest::newRow("abc") << "abc" << quint64(0x3C03BE9E0E397631ULL);
        QTest::newRow("twelve") << "abcdefghijkl" << quint64(0x75B50EC04012F87BULL);
        QTest::newRow("multi") << "build/multicollection/000100.bin" << Multi100;
        QTest::newRow("upper case") << "Build/MultiCollection/000100.BIN" << Multi100;
    }
    void nameHashVectors()
    {
        QFETCH(QString, name);
        QFETCH(quint64, hash);
        QCOMPARE(NameHash::ofName(name), hash);
        QCOMPARE(UopMultiStore::entryHash(100), Multi100);
    }

    // Several blocks, padding, an empty slot in the middle, stored and packed entries.
    void readsEveryShapeOfTable_data()
    {
        QTest::addColumn<int>("perBlock");
        QTest::addColumn<bool>("pad");
        QTest::newRow("one block") << 10 << false;
        QTest::newRow("blocks of four, padded") << 4 << true;
        QTest::newRow("one per block") << 1 << false;
    }
    void readsEveryShapeOfTable()
    {
        QFETCH(int, perBlock);
        QFETCH(bool, pad);
        QList<Slot> items = collection();
        items[3].dataHeader = "HDR!"; // skipped: the payload starts after it
        UopFile uop;
        QVERIFY2(uop.openBytes(build(items, perBlock, 4, pad)), qPrintable(uop.errorString()));
        QCOMPARE(uop.header().version, 4u);
        QCOMPARE(uop.entries().size(), 5);
        QCOMPARE(uop.damagedEntries(), 0);
        QCOMPARE(*uop.payload(*uop.find(Multi100)), multi(100, House));
        QCOMPARE(*uop.payload(*uop.find(Unknown)), QByteArray("unknown entry"));
        QCOMPARE(*uop.payload(*uop.find(Housing)), QByteArray("housing table bytes"));
        for (int i = 0; i < 20; ++i) // past the first few lookups the index takes over
            QCOMPARE(uop.find(multiHash(7)) != nullptr && uop.find(multiHash(6)) == nullptr, true);
    }

    void hostileContainersGiveClearErrors_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("damaged");
        const QByteArray good = build(collection(), 2);
        const auto patched = [&good](int at, quint64 value, int size) {
            QByteArray b = good;
            for (int i = 0; i < size; ++i)
                b[at + i] = char(value >> (8 * i));
            return b;
        };
        const int block2 = int(qFromLittleEndian<quint64>(good.constData() + 0x200 + 4));
        QTest::newRow("empty file") << QByteArray() << "too short" << 0;
        QTest::newRow("not a container") << QByteArray(600, 'x') << "not a packed container" << 0;
        QTest::newRow("chain loops to itself") << patched(0x200 + 4, 0x200, 8) << "loops back" << 0;
        QTest::newRow("chain loops further on") << patched(block2 + 4, 0x200, 8) << "loops back" << 0;
        QTest::newRow("first block past the end") << patched(12, 1ULL << 40, 8) << "past the end" << 0;
        QTest::newRow("next block past the end") << patched(0x200 + 4, good.size() - 4, 8) << "outside the file" << 0;
        QTest::newRow("first block inside the header") << patched(12, 8, 8) << "outside the file" << 0;
        QTest::newRow("huge count") << patched(0x200, 0xFFFFFFFFu, 4) << "more than a container holds" << 0;
        QTest::newRow("count past the end") << patched(0x200, 100000, 4) << "past the end" << 0;
        // Damaged entries are left out; the rest stays readable.
        QTest::newRow("entry past the end") << patched(0x200 + 12, quint64(good.size()) + 5, 8) << "" << 1;
        QTest::newRow("entry size over the cap") << patched(0x200 + 12 + 16, 0xFFFFFFF0u, 4) << "" << 1;
        QTest::newRow("entry reaching past the end") << patched(0x200 + 12 + 12, 0x7FFFFFFFu, 4) << "" << 1;
    }
    void hostileContainersGiveClearErrors()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QFETCH(int, damaged);
        UopFile uop;
        QCOMPARE(uop.openBytes(bytes), error.isEmpty());
        QVERIFY2(uop.errorString().contains(error), qPrintable(uop.errorString()));
        QCOMPARE(uop.damagedEntries(), damaged);
        for (const UopFile::Entry &e : uop.entries())
            QVERIFY(uop.payload(e).has_value());
    }

    void badPayloadsAreRefused_data()
    {
        QTest::addColumn<Slot>("slot");
        QTest::addColumn<QString>("error");
        QTest::newRow("cut zlib") << Slot{Multi100, zlib(QByteArray(500, 'a')).left(8), 500, 1, {}, false} << "damaged";
        QTest::newRow("short unpacked size") << Slot{Multi100, zlib(QByteArray(500, 'a')), 400, 1, {}, false} << "damaged";
        QTest::newRow("long unpacked size") << Slot{Multi100, zlib(QByteArray(500, 'a')), 600, 1, {}, false} << "unpacks to 500 bytes";
        QTest::newRow("unknown compression") << Slot{Multi100, "abc", 3, 3, {}, false} << "compression method 3";
    }
    void badPayloadsAreRefused()
    {
        QFETCH(Slot, slot);
        QFETCH(QString, error);
        UopFile uop;
        QVERIFY(uop.openBytes(build({slot}, 4)));
        QVERIFY(!uop.payload(uop.entries().at(0)).has_value());
        QVERIFY2(uop.errorString().contains(error), qPrintable(uop.errorString()));
        // The store reports it and reads nothing.
        const QString path = m_dir.filePath("bad.uop");
        save(path, build({slot}, 4));
        UopMultiStore store(path);
        TileMap tiles;
        QVERIFY(store.open());
        QVERIFY(!store.readEntry(100, NoTileInfo(), tiles));
        QVERIFY2(store.errorString().contains(error), qPrintable(store.errorString()));
        QVERIFY(tiles.isEmpty());
    }

    void storeListsAndImportsMultis()
    {
        const QString path = m_dir.filePath("MultiCollection.uop");
        save(path, build(collection(), 2));
        const std::unique_ptr<MultiCollection> store = MultiCollection::forPaths({path});
        QVERIFY(store);
        QVERIFY2(store->open(), qPrintable(store->errorString()));
        QVector<QPair<int, int>> listed;
        for (const MultiCollection::Entry &e : store->entries())
            listed.append({e.number, e.tileCount});
        // housing.bin and the unknown entry are no multis.
        QCOMPARE(listed, (QVector<QPair<int, int>>{{5, 1}, {7, 0}, {100, 3}}));
        QCOMPARE(store->firstFreeEntry(), 0);
        TileMap tiles;
        QVERIFY(store->readEntry(100, NoTileInfo(), tiles));
        QCOMPARE(tileText(tiles), QStringLiteral("16 0 0 0 1;32 -3 2 5 1;48 1 -1 0 0"));
        QVERIFY(tiles.value(locationKey(-3, 2)).size() == 1);
        QVERIFY(!store->readEntry(6, NoTileInfo(), tiles));
        QVERIFY(store->errorString().contains("entry 6 holds no multi"));
    }

    // Export rewrites the container: other entries byte for byte, the edited
    // entry's unchanged records in place, new tiles appended, version kept.
    void exportKeepsWhatItDoesNotChange_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("edit"); // "same", "drop post, add one"
        QTest::addColumn<QByteArray>("payload");
        const QByteArray added = record({0x0040, 4, 4, 10, 0, {}});
        QTest::newRow("unchanged") << 100 << "same" << multi(100, House);
        QTest::newRow("edited") << 100 << "edit"
                                << QByteArray(multi(100, {House[0], House[2]}) + added).replace(4, 1, "\x03");
        QTest::newRow("new entry") << 200 << "same"
                                   << QByteArray(multi(200, {}) + record({0x10, 0, 0, 0, 0, {}})
                                                 + record({0x20, -3, 2, 5, 0, {}}) + record({0x30, 1, -1, 0, 1, {}}))
                                          .replace(4, 1, "\x03");
    }
    void exportKeepsWhatItDoesNotChange()
    {
        QFETCH(int, id);
        QFETCH(QString, edit);
        QFETCH(QByteArray, payload);
        const QString path = m_dir.filePath("export.uop");
        const QByteArray before = build(collection(), 2, 4);
        save(path, before);
        UopMultiStore store(path);
        TileMap tiles;
        QVERIFY(store.open());
        QVERIFY(store.readEntry(100, NoTileInfo(), tiles));
        QList<TileRecord> list = tilesInKeyOrder(tiles);
        if (edit == "edit") {
            list.removeIf([](const TileRecord &t) { return t.id == 0x20; });
            TileRecord t;
            t.id = 0x40, t.x = 4, t.y = 4, t.z = 10, t.visible = 1;
            list.prepend(t);
        }
        QVERIFY2(store.exportEntry(id, list), qPrintable(store.errorString()));
        const QByteArray after = fileBytes(path);
        QCOMPARE(qFromLittleEndian<quint32>(after.constData() + 4), 4u); // the version
        const Raw written = entry(after, multiHash(id));
        QCOMPARE(written.compression, quint16(1));
        QCOMPARE(unzlib(written.bytes, int(written.unpacked)), payload);
        for (const auto &[hash, raw] : entries(before)) {
            if (hash != multiHash(id))
                QVERIFY2(entry(after, hash) == raw, qPrintable(QString::number(hash, 16)));
        }
        QCOMPARE(entries(after).size(), entries(before).size() + (id == 200 ? 1 : 0));
        QVERIFY(store.hasEntry(id));
        QCOMPARE(QDir(m_dir.path()).entryList({"export.uop*"}, QDir::Files), QStringList{"export.uop"});
    }

    // A container with entries outside the file is not rewritten at all.
    void damagedContainerIsNotRewritten()
    {
        const QString path = m_dir.filePath("damaged.uop");
        QByteArray damaged = build(collection(), 3);
        qToLittleEndian<quint64>(quint64(damaged.size()) + 100, damaged.data() + 0x200 + 12);
        save(path, damaged);
        UopMultiStore store(path);
        QVERIFY(!store.exportEntry(100, {}));
        QVERIFY2(store.errorString().contains("outside the file"), qPrintable(store.errorString()));
        QCOMPARE(fileBytes(path), damaged);
    }

    void whichFilesAreRead_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("artMul");
        QTest::addColumn<QString>("art");   // container chosen for art, "" for the pair
        QTest::addColumn<QString>("multi"); // store chosen for multis
        QTest::newRow("classic client") << QStringList{"artidx.mul", "art.mul", "multi.idx", "multi.mul"} << "art.mul" << "" << "multi.idx multi.mul";
        QTest::newRow("newer client") << QStringList{"artLegacyMUL.uop", "MultiCollection.uop"} << "art.mul" << "artLegacyMUL.uop" << "MultiCollection.uop";
        QTest::newRow("stale pair beside containers") << QStringList{"artidx.mul", "art.mul", "multi.idx", "multi.mul", "artLegacyMUL.uop", "MultiCollection.uop"} << "art.mul" << "" << "MultiCollection.uop";
        QTest::newRow("art location names the container") << QStringList{"artidx.mul", "art.mul", "other.uop"} << "other.uop" << "other.uop" << "multi.idx multi.mul";
    }
    void whichFilesAreRead()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, artMul);
        QFETCH(QString, art);
        QFETCH(QString, multi);
        QTemporaryDir game;
        for (const QString &name : present)
            save(game.filePath(name), "x");
        const auto in = [&game](const QString &name) { return game.filePath(name); };
        QString chosen = DataLocations::artContainer(in("artidx.mul"), in(artMul), in("artLegacyMUL.uop"));
        QCOMPARE(chosen, art.isEmpty() ? QString() : in(art));
        QStringList store = DataLocations::multiStore(in("multi.idx"), in("multi.mul"), in("MultiCollection.uop"));
        for (QString &p : store)
            p = QFileInfo(p).fileName();
        QCOMPARE(store.join(' '), multi);
    }

    // The multi.idx / multi.mul pair.
    void importDecodesAndIsBoundedByTheFiles()
    {
        MultiPair pair;
        MulWriter::IndexedFile f =
            MulWriter::multiFiles({{0, {{1, 0, 0, 0, 1}, {2, -3, 2, -7, 65536}, {65535, 5, 5, 3, 1}}}}, 1);
        // Two complete records and a bit; one record before the file ends; past the end; three absent ones.
        const QList<MulWriter::IndexRecord> records{{0, 25, 0}, {24, 48, 0}, {500, 24, 0}, {-1, 24, 0}, {-12, 24, 0}, {0, 0, 0}};
        for (int n = 1; n <= records.size(); ++n)
            MulWriter::putIndexRecord(f.index, n, records[n - 1]);
        f.index.append("\x01\x02\x03", 3); // a trailing partial record
        pair.write(f);

        MultiFile file(pair.idx, pair.mul);
        file.setRecordSize(12);
        TileMap map;
        QVERIFY(file.readEntry(0, m_data, map));
        const TileRecord t = map.value(locationKey(-3, 2)).first();
        QCOMPARE(QList<int>({t.x, t.y, t.z, t.sortZ, t.visible, t.kind}), QList<int>({-3, 2, -7, -7, 0, Art}));
        QCOMPARE(map.value(0).first().visible, qint16(1)); // the visibility is the low half of the flags
        QCOMPARE(map.value(locationKey(5, 5)).first().id, quint16(65535));
        QVERIFY(file.readEntry(1, m_data, map));
        QCOMPARE(map.size(), 2);
        QVERIFY(file.readEntry(2, m_data, map));
        QCOMPARE(map.keys(), QList<quint32>{locationKey(5, 5)});
        QVERIFY(file.readEntry(3, m_data, map));
        QVERIFY(map.isEmpty());
        QCOMPARE(file.entryCount(), 7);
        for (int absent : {4, 5, 6, 7, -1})
            QVERIFY2(!file.readEntry(absent, m_data, map), qPrintable(QString::number(absent)));
        QVERIFY(!MultiFile(pair.idx, pair.dir.filePath("none.mul")).readEntry(0, m_data, map));
        MultiFile missing(pair.dir.filePath("none.idx"), pair.mul);
        QVERIFY(!missing.readEntry(0, m_data, map));
        QVERIFY(missing.errorString().contains("none.idx"));
    }

    void recordSizeComesFromTheContent_data()
    {
        QTest::addColumn<QList<QByteArray>>("entries");
        QTest::addColumn<int>("expected"); // 0: undecided
        QTest::newRow("16, every length a multiple of 48") << MultiPair::house(16) << 16;
        QTest::newRow("12, every length a multiple of 48") << MultiPair::house(12) << 12;
        QTest::newRow("16 by the lengths") << QList<QByteArray>{rec(16, 1, 0, 0, 0, 1) + rec(16, 2, 0, 0, 0, 1)} << 16;
        QTest::newRow("12 read as 16 shows ids as visibility")
            << QList<QByteArray>{rec(12, 3, 0, 0, 0, 1) + rec(12, 1, 1, 0, 0, 1) + rec(12, 7, 0, 1, 0, 1) + rec(12, 5, 0, 0, 0, 1)} << 12;
        QTest::newRow("both sizes make sense")
            << QList<QByteArray>{rec(12, 1, 0, 0, 0, 1) + rec(12, 1, 0, 0, 0, 1) + rec(12, 1, 0, 0, 0, 1) + rec(12, 1, 0, 0, 0, 1)} << 0;
        QTest::newRow("no entry at all") << QList<QByteArray>{QByteArray()} << 0;
        QTest::newRow("nothing makes sense") << QList<QByteArray>{QByteArray(48, '\x7f')} << 0;
    }
    void recordSizeComesFromTheContent()
    {
        QFETCH(QList<QByteArray>, entries);
        QFETCH(int, expected);
        MultiPair pair;
        const MulWriter::IndexedFile before = MultiPair::pairOf(entries);
        pair.write(before);
        MultiFile file(pair.idx, pair.mul);
        file.setTileDataHint(65536); // a hint never decides
        QVERIFY(file.open());
        QCOMPARE(file.recordSize()->bytes().value_or(0), expected);
        QVERIFY(!file.recordSize()->reason().isEmpty());
        if (expected)
            return;
        // Nothing is read or written under a guessed size.
        TileMap map;
        QVERIFY(!file.exportEntry(1, {MultiPair::tile(m_data, 5, 0, 0, 0)}));
        QVERIFY(file.errorString().contains("12 or 16"));
        QCOMPARE(std::pair(pair.index(), pair.data()), std::pair(before.index, before.data));
        QVERIFY(!file.entries().isEmpty() || !file.readEntry(0, m_data, map));
        file.setRecordSize(16);
        QVERIFY(file.exportEntry(file.entryCount(), {MultiPair::tile(m_data, 5, 0, 0, 0)}));
        QCOMPARE(pair.data(), before.data + rec(16, 5, 0, 0, 0, 1));
    }

    // Import then export leaves the pair byte for byte; an edit changes only what it touched.
    void exportKeepsWhatWasNotEdited_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("12-byte records") << 12;
        QTest::newRow("16-byte records") << 16;
    }
    void exportKeepsWhatWasNotEdited()
    {
        QFETCH(int, size);
        MultiPair pair;
        const MulWriter::IndexedFile before = MultiPair::pairOf(MultiPair::house(size), 0xFFFFFFFFu, 7);
        pair.write(before);
        MultiFile file(pair.idx, pair.mul);
        for (int entry : {0, 2}) {
            const QList<TileRecord> tiles = imported(file, entry);
            QVERIFY(!tiles.isEmpty());
            QVERIFY2(file.exportEntry(entry, tiles), qPrintable(file.errorString()));
            QCOMPARE(pair.index(), before.index);
            QCOMPARE(pair.data(), before.data);
        }

        // Tile 0x4102 goes (both copies), 0x4103 is hidden, 0x4999 comes.
        QList<TileRecord> tiles = imported(file, 0);
        tiles.erase(std::remove_if(tiles.begin(), tiles.end(), [](const TileRecord &t) { return t.id == 0x4102; }), tiles.end());
        for (TileRecord &t : tiles)
            t.visible = t.id == 0x4103 ? 0 : t.visible;
        tiles.append(MultiPair::tile(m_data, 0x4999, 6, -6, 7));
        QVERIFY(file.exportEntry(0, tiles));
        const QByteArray was = MultiPair::house(size)[0];
        const auto r = [&was, size](int n) { return was.mid(n * size, size); };
        QByteArray expected = r(0) + r(1) + r(3) + (size == 12 ? r(6) + r(7) : QByteArray());
        expected += rec(size, 0x4103, 1, -1, 20, 0) + rec(size, 0x4999, 6, -6, 7, 1);
        QCOMPARE(MultiPair::entryBytes(pair.index(), pair.data(), 0), expected);
        QVERIFY(pair.data().startsWith(before.data)); // nothing that was there moved
        QCOMPARE(pair.data().size(), before.data.size() + expected.size());
        QCOMPARE(pair.index().mid(12), before.index.mid(12));
        QCOMPARE(MultiPair::record(pair.index(), 0).extra, 0xFFFFFFFFu);
    }

    void newEntriesAnchorFirstAndFollowTheIndexConvention()
    {
        for (int size : {12, 16}) {
            MultiPair pair;
            const MulWriter::IndexedFile before = MultiPair::pairOf(MultiPair::house(size), 0xFFFFFFFFu);
            pair.write({before.index + QByteArray("\x01\x02", 2), before.data}); // a trailing partial record
            MultiFile file(pair.idx, pair.mul);
            QVERIFY(file.open());
            QCOMPARE(file.firstFreeEntry(), 1);
            // A tile on the ground at the centre leads; without one an empty record does.
            const QList<TileRecord> anchored{MultiPair::tile(m_data, 7, 0, 0, 5), MultiPair::tile(m_data, 8, 0, 0, 0),
                                             MultiPair::tile(m_data, 9, -3, 2, 1, 0), MultiPair::tile(m_data, 10, 4, -6, -2, -1)};
            const QList<TileRecord> floating{MultiPair::tile(m_data, 7, 0, 0, 5)};
            QVERIFY(file.exportEntry(1, anchored));
            QVERIFY(file.exportEntry(3, floating));
            QVERIFY(!file.exportEntry(5, floating));
            const QByteArray index = pair.index(), data = pair.data();
            QCOMPARE(MultiPair::entryBytes(index, data, 1),
                     rec(size, 8, 0, 0, 0, 1) + rec(size, 7, 0, 0, 5, 1) + rec(size, 9, -3, 2, 1, 0) + rec(size, 10, 4, -6, -2, 0xFFFFFFFFu));
            QCOMPARE(MultiPair::entryBytes(index, data, 3), QByteArray(size, '\0') + rec(size, 7, 0, 0, 5, 1));
            QCOMPARE(index.size(), 4 * 12);
            QCOMPARE(MultiPair::record(index, 3).extra, 0xFFFFFFFFu);
            QCOMPARE(MultiPair::entryBytes(index, data, 2), MultiPair::house(size)[2]);
            QVERIFY(data.startsWith(before.data));
        }
    }

    void compactionDropsWhatNoEntryUses()
    {
        MultiPair pair;
        MulWriter::IndexedFile f = MultiPair::pairOf({rec(12, 1, 0, 0, 0, 1), QByteArray(), rec(12, 2, 0, 0, 0, 1) + rec(12, 3, 1, 1, 1, 1)}, 9, 13);
        MulWriter::IndexRecord last = MultiPair::record(f.index, 2);
        f.data += QByteArray(20, '\x01'); // an unused tail
        // Entry 0 moves behind entry 2, leaving a gap where it was.
        MulWriter::putIndexRecord(f.index, 0, {qint32(f.data.size()), 12, 9});
        f.data += rec(12, 1, 0, 0, 0, 1);
        pair.write(f);
        MultiFile file(pair.idx, pair.mul);
        QVERIFY(file.compact());
        QCOMPARE(pair.data(), rec(12, 1, 0, 0, 0, 1) + rec(12, 2, 0, 0, 0, 1) + rec(12, 3, 1, 1, 1, 1));
        QByteArray index;
        MulWriter::putIndexRecord(index, 0, {0, 12, 9});
        MulWriter::putIndexRecord(index, 1, {-1, -1, 9});
        MulWriter::putIndexRecord(index, 2, {12, last.length, 9});
        QCOMPARE(pair.index(), index);
        QVERIFY(pair.strays().isEmpty());

        // An entry reaching past the end refuses; the pair stays.
        MulWriter::putIndexRecord(index, 1, {30, 12, 9});
        pair.write({index, pair.data()});
        QVERIFY(!file.compact());
        QVERIFY(file.errorString().contains("entry 1"));
        QCOMPARE(pair.index(), index);
    }

    // The pure functions take any bytes: hostile indexes never read outside the data.
    void hostileBytesGiveSafeResults()
    {
        QByteArray index;
        for (const MulWriter::IndexRecord &r : QList<MulWriter::IndexRecord>{
                 {0x7ffffff0, 0x7fffffff, 0}, {-5, 48, 0}, {3, -48, 0}, {0, 0x7fffffff, 0}, {40, 48, 0}})
            MulWriter::putIndexRecord(index, int(index.size() / 12), r);
        const QByteArray data(50, '\x01');
        MultiRecordSize::decide(MultiFile::parseIndex(index), data);
        QString error;
        for (int entry : {0, 1, 2, 3, 4, 5}) {
            for (int recordSize : {12, 16}) {
                const auto plan = MultiFile::planExport(index, data, entry, {MultiPair::tile(m_data, 1, 0, 0, 0)}, recordSize, &error);
                QVERIFY(plan && plan->appended.size() == recordSize);
            }
        }
        QVERIFY(!MultiFile::planExport(index, data, 6, {}, 12, &error));
        QVERIFY(!MultiFile::compacted(index, data, &error));
        QVERIFY(!MultiFile::planExport(index, data, 0, {}, 13, &error));
    }
};

QTEST_GUILESS_MAIN(TestUop)
#include "test_uop.moc"
