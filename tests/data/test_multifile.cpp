#include "MultiPair.h"
#include "data/MultiFile.h"

#include <QFileInfo>
#include <QtTest>

#include <unistd.h>

using Tile = MulWriter::MultiTile;

class TestMultiFile : public QObject
{
    Q_OBJECT

    TileData m_data;

    // A 10-record index with absent records, non-zero third fields and a data
    // file with a gap and an unreferenced tail, so compaction shows.
    static MulWriter::IndexedFile tenRecords(int recordSize)
    {
        QMap<int, QVector<Tile>> entries;
        entries[0] = {{100, 0, 0, 0, 1}, {101, 1, 0, 5, 1}};
        entries[2] = {{200, -1, -1, 0, 1}};
        entries[3] = {{300, 0, 0, 0, 1}};
        entries[5] = {{500, 2, 2, 10, 0}, {501, 3, 3, 20, 65537}, {502, 4, 4, 30, 1}};
        entries[9] = {{900, -5, 7, -3, 1}};
        MulWriter::IndexedFile f = MulWriter::multiFiles(entries, 10, recordSize);
        // Entry 9 moves behind some junk.
        const MulWriter::IndexRecord r9 = MultiPair::record(f.index, 9);
        const QByteArray e9 = f.data.mid(r9.offset, r9.length);
        f.data.append(QByteArray(37, '\x5a'));
        MulWriter::putIndexRecord(f.index, 9, {qint32(f.data.size()), r9.length, 0});
        f.data.append(e9);
        f.data.append(QByteArray(recordSize, '\x77'));
        for (int n = 0; n < 10; ++n) {
            MulWriter::IndexRecord r = MultiPair::record(f.index, n);
            r.extra = 0xA0000000u + quint32(n);
            MulWriter::putIndexRecord(f.index, n, r);
        }
        return f;
    }

    QList<TileRecord> documentTiles() const
    {
        return {MultiPair::tile(m_data, 7, 0, 0, 5), MultiPair::tile(m_data, 8, 0, 0, 0),
                MultiPair::tile(m_data, 9, -3, 2, 1, 0), MultiPair::tile(m_data, 10, 4, -6, -2, -1),
                MultiPair::tile(m_data, 11, 1, 0, 0, 1, Terrain)};
    }

private slots:
    void importReadsRecordsAndFields()
    {
        MultiPair pair;
        QVector<Tile> tiles = {{1, 0, 0, 0, 1}, {2, -3, 2, -7, 65536}, {65535, 5, 5, 3, 1}};
        MulWriter::IndexedFile f = MulWriter::multiFiles({{0, tiles}}, 2, 12);
        // A 25-byte length holds two complete records.
        MulWriter::putIndexRecord(f.index, 0, {0, 25, 0});
        MulWriter::putIndexRecord(f.index, 1, {0, 36, 0});
        pair.write(f);

        MultiFile file(pair.idx, pair.mul);
        TileMap map;
        QVERIFY(file.readEntry(0, m_data, map));
        int count = 0;
        for (const auto &list : map)
            count += list.size();
        QCOMPARE(count, 2);

        QVERIFY(file.readEntry(1, m_data, map));
        QVERIFY(map.contains(196605));
        const TileRecord t = map.value(196605).first();
        QCOMPARE(t.x, -3);
        QCOMPARE(t.y, 2);
        QCOMPARE(t.z, qint16(-7));
        QCOMPARE(t.sortZ, -7);
        QCOMPARE(t.visible, qint16(0)); // only the high half of the flags was set
        QCOMPARE(t.kind, qint32(Art));
        QCOMPARE(t.hue, qint16(0));
        QCOMPARE(map.value(0).first().visible, qint16(1));
        QCOMPARE(map.value(locationKey(5, 5)).first().id, quint16(65535));
    }

    void importIsBoundedByTheFiles()
    {
        MultiPair pair;
        MulWriter::IndexedFile f = MulWriter::multiFiles({{0, {{1, 0, 0, 0, 1}, {2, 1, 1, 0, 1}}}}, 1, 12);
        MulWriter::putIndexRecord(f.index, 1, {12, 48, 0}); // one complete record exists
        MulWriter::putIndexRecord(f.index, 2, {500, 24, 0}); // starts past the end
        MulWriter::putIndexRecord(f.index, 3, {-1, 24, 0});
        MulWriter::putIndexRecord(f.index, 4, {-12, 24, 0});
        MulWriter::putIndexRecord(f.index, 5, {0, 0, 0});
        f.index.append("\x01\x02\x03", 3); // a trailing partial record
        pair.write(f);

        MultiFile file(pair.idx, pair.mul);
        TileMap map;
        QVERIFY(file.readEntry(1, m_data, map));
        QCOMPARE(map.size(), 1);
        QCOMPARE(map.value(locationKey(1, 1)).first().id, quint16(2));
        QVERIFY(file.readEntry(2, m_data, map));
        QVERIFY(map.isEmpty());
        QCOMPARE(file.entryCount(), 6);
        for (int absent : {3, 4, 5, 6, -1})
            QVERIFY2(!file.readEntry(absent, m_data, map), qPrintable(QString::number(absent)));
        QVERIFY(!MultiFile(pair.idx, pair.dir.filePath("none.mul")).readEntry(0, m_data, map));
        MultiFile missing(pair.dir.filePath("none.idx"), pair.mul);
        QVERIFY(!missing.readEntry(0, m_data, map));
        QVERIFY(missing.errorString().contains("none.idx"));
    }

    void recordSizeIsDetected_data()
    {
        QTest::addColumn<QList<int>>("lengths");
        QTest::addColumn<int>("size");
        QTest::newRow("classic") << QList<int>{24, 36} << 12;
        QTest::newRow("sixteen") << QList<int>{48, 32} << 16;
        QTest::newRow("odd length") << QList<int>{32, 25} << 12;
        QTest::newRow("absent ones ignored") << QList<int>{32, -1, 0} << 16;
    }
    void recordSizeIsDetected()
    {
        QFETCH(QList<int>, lengths);
        QFETCH(int, size);
        QVector<MultiFile::IndexRecord> records;
        for (int length : lengths)
            records.append({length > 0 ? 0 : -1, length, 0});
        QCOMPARE(MultiFile::detectRecordSize(records), size);
    }

    void encodeWritesTheAnchorFirst_data()
    {
        QTest::addColumn<int>("recordSize");
        QTest::newRow("12") << 12;
        QTest::newRow("16") << 16;
    }
    void encodeWritesTheAnchorFirst()
    {
        QFETCH(int, recordSize);
        Facet model(m_data);
        MultiPair::fill(model, documentTiles());
        const QByteArray bytes = MultiFile::encodeEntry(model, recordSize);
        QCOMPARE(bytes.size(), 5 * recordSize);
        // Tile 8 stands at (0, 0) on the ground: first, and nowhere else.
        QCOMPARE(bytes.left(12), MulWriter::multiEntry({{8, 0, 0, 0, 1}}));
        QCOMPARE(bytes.count(bytes.left(12)), 1);
        const QByteArray expected = MulWriter::multiEntry(
            {{8, 0, 0, 0, 1}, {7, 0, 0, 5, 1}, {10, 4, -6, -2, 0xFFFFFFFFu}, {9, -3, 2, 1, 0}, {11, 1, 0, 0, 1}},
            recordSize);
        QCOMPARE(MultiPair::sortedRecords(bytes, recordSize), MultiPair::sortedRecords(expected, recordSize));

        // Without a ground tile at the centre: an empty record first, one more than the tiles.
        Facet other(m_data);
        MultiPair::fill(other, {MultiPair::tile(m_data, 7, 0, 0, 5), MultiPair::tile(m_data, 3, 1, 0, 0)});
        const QByteArray without = MultiFile::encodeEntry(other, recordSize);
        QCOMPARE(without.size(), 3 * recordSize);
        QCOMPARE(without.left(recordSize), QByteArray(recordSize, '\0'));
    }

    void exportReplacesOneEntryAndCopiesTheRest_data()
    {
        QTest::addColumn<int>("recordSize");
        QTest::newRow("12") << 12;
        QTest::newRow("16") << 16;
    }
    void exportReplacesOneEntryAndCopiesTheRest()
    {
        QFETCH(int, recordSize);
        MultiPair pair;
        const MulWriter::IndexedFile before = tenRecords(recordSize);
        pair.write(before);
        Facet model(m_data);
        MultiPair::fill(model, documentTiles());

        MultiFile file(pair.idx, pair.mul);
        QVERIFY2(file.exportEntry(3, model), qPrintable(file.errorString()));

        const QByteArray index = pair.index();
        const QByteArray data = pair.data();
        QCOMPARE(index.size(), before.index.size());
        qint64 expectedSize = 0;
        for (int n = 0; n < 10; ++n) {
            const MulWriter::IndexRecord was = MultiPair::record(before.index, n);
            const MulWriter::IndexRecord now = MultiPair::record(index, n);
            QCOMPARE(now.extra, was.extra);
            if (n == 3)
                continue;
            if (was.offset == -1) {
                QCOMPARE(now.offset, -1);
                QCOMPARE(now.length, was.length);
                continue;
            }
            QCOMPARE(MultiPair::entryBytes(index, data, n), MultiPair::entryBytes(before.index, before.data, n));
            expectedSize += was.length;
        }
        const QByteArray entry = MultiPair::entryBytes(index, data, 3);
        QCOMPARE(entry, MultiFile::encodeEntry(model, recordSize));
        QCOMPARE(data.size(), expectedSize + entry.size()); // compacted: no gap, no tail
        QVERIFY(pair.strays().isEmpty());

        // Read back in the same record size.
        TileMap map;
        QVERIFY(MultiFile(pair.idx, pair.mul).readEntry(3, m_data, map));
        QCOMPARE(map.value(locationKey(-3, 2)).first().visible, qint16(0));
        QCOMPARE(map.value(locationKey(4, -6)).first().visible, qint16(-1));
        QCOMPARE(map.value(0).size(), 2);
    }

    void exportAtTheEndAppendsARecord()
    {
        MultiPair pair;
        const MulWriter::IndexedFile before = tenRecords(12);
        pair.write(before.index + QByteArray("\x01\x02", 2), before.data);
        Facet model(m_data);
        MultiPair::fill(model, documentTiles());
        MultiFile file(pair.idx, pair.mul);
        QVERIFY(file.exportEntry(10, model));
        const QByteArray index = pair.index();
        QCOMPARE(index.size(), 11 * 12);
        QCOMPARE(MultiPair::record(index, 10).extra, 0u);
        QCOMPARE(MultiPair::entryBytes(index, pair.data(), 10), MultiFile::encodeEntry(model, 12));
        QCOMPARE(MultiPair::entryBytes(index, pair.data(), 5), MultiPair::entryBytes(before.index, before.data, 5));
        QVERIFY(!MultiFile(pair.idx, pair.mul).exportEntry(12, model));
    }

    void failedExportLeavesThePairAlone_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("named");
        QTest::newRow("read-only folder") << "readonly" << "multi.mul.bmg";
        QTest::newRow("temporary cannot be created") << "tempdir" << "multi.mul.bmg";
        QTest::newRow("truncated data file") << "truncated" << "multi.mul";
        QTest::newRow("missing data file") << "missing" << "multi.mul";
        QTest::newRow("entry out of range") << "range" << "multi.idx";
        QTest::newRow("data write fails") << "hook0" << "multi.mul.bmg";
        QTest::newRow("index write fails") << "hook1" << "multi.idx";
        QTest::newRow("data rename fails") << "hook2" << "multi.mul.bmg";
        QTest::newRow("index rename fails") << "hook3" << "multi.idx";
        QTest::newRow("old data in the way") << "old" << "multi.mul.old";
    }
    void failedExportLeavesThePairAlone()
    {
        QFETCH(QString, fault);
        QFETCH(QString, named);
        if (fault == "readonly" && ::geteuid() == 0)
            QSKIP("permissions do not bind the superuser");
        MultiPair pair;
        MulWriter::IndexedFile before = tenRecords(12);
        if (fault == "truncated")
            before.data.chop(before.data.size() - 30);
        pair.write(before);
        QStringList expectedStrays;
        if (fault == "tempdir") {
            QVERIFY(QDir(pair.dir.path()).mkdir("multi.mul.bmg"));
            expectedStrays << "multi.mul.bmg";
        }
        if (fault == "old") {
            MultiPair::save(pair.dir.filePath("multi.mul.old"), "keep");
            expectedStrays << "multi.mul.old";
        }
        if (fault == "missing") {
            QFile::remove(pair.mul);
            before.data.clear();
        }
        if (fault == "readonly")
            QFile::setPermissions(pair.dir.path(), QFile::ReadOwner | QFile::ExeOwner);

        Facet model(m_data);
        MultiPair::fill(model, documentTiles());
        MultiFile file(pair.idx, pair.mul);
        if (fault.startsWith("hook")) {
            const int failing = fault.mid(4).toInt();
            file.setFaultHook([failing](MultiFile::Step s) { return int(s) != failing; });
        }
        QVERIFY(!file.exportEntry(fault == "range" ? 11 : 3, model));
        QFile::setPermissions(pair.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY2(file.errorString().contains(named), qPrintable(file.errorString()));
        QCOMPARE(pair.index(), before.index);
        QCOMPARE(pair.data(), before.data);
        QCOMPARE(QFileInfo::exists(pair.mul), fault != "missing");
        QCOMPARE(pair.strays(), expectedStrays);
    }

    void sampleDataRoundTrips()
    {
        const QString sample = QStringLiteral(TILSEN_BINARY_DIR "/bin/sample-data");
        if (!QFileInfo::exists(sample + "/multi.idx"))
            QSKIP("the sample data set has not been generated");
        MultiPair pair;
        const MulWriter::IndexedFile original{MultiPair::load(sample + "/multi.idx"),
                                              MultiPair::load(sample + "/multi.mul")};
        pair.write(original);
        MultiFile file(pair.idx, pair.mul);
        QVERIFY(file.readIndex());
        const int size = file.recordSize();
        int seen = 0;
        for (int n = 0; n < file.entryCount(); ++n) {
            if (!file.records().at(n).exists())
                continue;
            ++seen;
            TileMap map;
            QVERIFY(file.readEntry(n, m_data, map));
            Facet model(m_data);
            model.load(map);
            QVERIFY2(file.exportEntry(n, model), qPrintable(file.errorString()));
            QCOMPARE(MultiPair::sortedRecords(MultiPair::entryBytes(pair.index(), pair.data(), n), size),
                     MultiPair::sortedRecords(MultiPair::entryBytes(original.index, original.data, n), size));
        }
        QVERIFY(seen > 0);
    }
};

QTEST_GUILESS_MAIN(TestMultiFile)
#include "test_multifile.moc"
