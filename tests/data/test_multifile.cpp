#include "MultiPair.h"
#include "data/MultiFile.h"

#include <QFileInfo>
#include <QTest>

namespace {

QByteArray rec(int size, quint16 id, qint16 x, qint16 y, qint16 z, quint32 flags, quint32 upper = 0)
{
    return MultiPair::rec(size, id, x, y, z, flags, upper);
}

} // namespace

class TestMultiFile : public QObject
{
    Q_OBJECT

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

QTEST_GUILESS_MAIN(TestMultiFile)
#include "test_multifile.moc"
