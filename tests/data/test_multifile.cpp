#include "MultiPair.h"
#include "data/MultiFile.h"

#include <QFileInfo>
#include <QtTest>

#include <unistd.h>

class TestMultiFile : public QObject
{
    Q_OBJECT

    TileData m_data;

    // Ten records, some absent, with non-zero third fields; the entries sit
    // behind 37 bytes of junk and before an unreferenced tail, so compaction shows.
    static MulWriter::IndexedFile tenRecords(int recordSize)
    {
        MulWriter::IndexedFile f = MulWriter::multiFiles(
            {{0, {{100, 0, 0, 0, 1}, {101, 1, 0, 5, 1}}}, {2, {{200, -1, -1, 0, 1}}}, {3, {{300, 0, 0, 0, 1}}},
             {5, {{500, 2, 2, 10, 0}, {501, 3, 3, 20, 65537}, {502, 4, 4, 30, 1}}}, {9, {{900, -5, 7, -3, 1}}}},
            10, recordSize);
        f.data = QByteArray(37, '\x5a') + f.data + QByteArray(recordSize, '\x77');
        for (int n = 0; n < 10; ++n) {
            MulWriter::IndexRecord r = MultiPair::record(f.index, n);
            r.offset += r.offset >= 0 ? 37 : 0;
            r.extra = 0xA0000000u + quint32(n);
            MulWriter::putIndexRecord(f.index, n, r);
        }
        return f;
    }

    // Two tiles at the centre (tile 8 on the ground is the anchor), a hidden
    // one, one whose visibility is -1, and a terrain tile.
    void fillDocument(Facet &model) const
    {
        MultiPair::fill(model, {MultiPair::tile(m_data, 7, 0, 0, 5), MultiPair::tile(m_data, 8, 0, 0, 0),
                                MultiPair::tile(m_data, 9, -3, 2, 1, 0), MultiPair::tile(m_data, 10, 4, -6, -2, -1),
                                MultiPair::tile(m_data, 11, 1, 0, 0, 1, Terrain)});
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

    void recordSizeIsDetected()
    {
        const QList<QPair<QList<int>, int>> cases{
            {{24, 36}, 12}, {{48, 96}, 12}, {{48, 32}, 16}, {{32, 25}, 12}, {{32, -1, 0}, 16}};
        for (const auto &[lengths, size] : cases) {
            QVector<MultiFile::IndexRecord> records;
            for (int length : lengths)
                records.append({length > 0 ? 0 : -1, length, 0});
            QCOMPARE(MultiFile::detectRecordSize(records), size);
        }
    }

    void encodeWritesTheAnchorFirst()
    {
        for (int recordSize : {12, 16}) {
            Facet model(m_data);
            fillDocument(model);
            const QByteArray bytes = MultiFile::encodeEntry(model, recordSize);
            QCOMPARE(bytes.left(recordSize), MulWriter::multiEntry({{8, 0, 0, 0, 1}}, recordSize)); // once, first
            const QByteArray expected = MulWriter::multiEntry(
                {{8, 0, 0, 0, 1}, {7, 0, 0, 5, 1}, {10, 4, -6, -2, 0xFFFFFFFFu}, {9, -3, 2, 1, 0}, {11, 1, 0, 0, 1}},
                recordSize);
            QCOMPARE(MultiPair::sortedRecords(bytes, recordSize), MultiPair::sortedRecords(expected, recordSize));

            // Without a ground tile at the centre: an empty record first, one more than the tiles.
            MultiPair::fill(model, {MultiPair::tile(m_data, 7, 0, 0, 5), MultiPair::tile(m_data, 3, 1, 0, 0)});
            const QByteArray without = MultiFile::encodeEntry(model, recordSize);
            QCOMPARE(without.size(), 3 * recordSize);
            QCOMPARE(without.left(recordSize), QByteArray(recordSize, '\0'));
        }
    }

    void exportReplacesOrAppendsOneEntryAndCopiesTheRest()
    {
        for (int recordSize : {12, 16}) {
            MultiPair pair;
            const MulWriter::IndexedFile before = tenRecords(recordSize);
            pair.write({before.index + QByteArray("\x01\x02", 2), before.data}); // a trailing partial record
            Facet model(m_data);
            fillDocument(model);
            QVERIFY(MultiFile(pair.idx, pair.mul).exportEntry(3, model));
            QVERIFY(MultiFile(pair.idx, pair.mul).exportEntry(10, model)); // a new record at the end
            QVERIFY(!MultiFile(pair.idx, pair.mul).exportEntry(12, model));

            const QByteArray index = pair.index(), data = pair.data(), entry = MultiFile::encodeEntry(model, recordSize);
            QCOMPARE(index.size(), 11 * 12);
            qint64 expectedSize = 2 * entry.size();
            for (int n = 0; n < 11; ++n) {
                const MulWriter::IndexRecord was = n < 10 ? MultiPair::record(before.index, n) : MulWriter::IndexRecord{};
                const MulWriter::IndexRecord now = MultiPair::record(index, n);
                QCOMPARE(now.extra, was.extra);
                if (n == 3 || n == 10)
                    QCOMPARE(MultiPair::entryBytes(index, data, n), entry);
                else if (was.offset == -1)
                    QCOMPARE(std::pair(now.offset, now.length), std::pair(-1, was.length));
                else
                    QCOMPARE(MultiPair::entryBytes(index, data, n), MultiPair::entryBytes(before.index, before.data, n));
                expectedSize += n != 3 && was.offset >= 0 ? was.length : 0;
            }
            QCOMPARE(data.size(), expectedSize); // compacted: no gap, no tail
            QVERIFY(pair.strays().isEmpty());
        }
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
            before.data.truncate(30);
        pair.write(before);
        QStringList expectedStrays;
        if (fault == "tempdir")
            QVERIFY(QDir(pair.dir.path()).mkdir(expectedStrays.emplaceBack("multi.mul.bmg")));
        if (fault == "old")
            MultiPair::save(pair.dir.filePath(expectedStrays.emplaceBack("multi.mul.old")), "keep");
        if (fault == "missing")
            QFile::remove(pair.mul), before.data.clear();
        if (fault == "readonly")
            QFile::setPermissions(pair.dir.path(), QFile::ReadOwner | QFile::ExeOwner);

        Facet model(m_data);
        fillDocument(model);
        MultiFile file(pair.idx, pair.mul);
        if (fault.startsWith("hook"))
            file.setFaultHook([failing = fault.mid(4).toInt()](MultiFile::Step s) { return int(s) != failing; });
        QVERIFY(!file.exportEntry(fault == "range" ? 11 : 3, model));
        QFile::setPermissions(pair.dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY2(file.errorString().contains(named), qPrintable(file.errorString()));
        QCOMPARE(pair.index(), before.index);
        QCOMPARE(pair.data(), before.data);
        QCOMPARE(QFileInfo::exists(pair.mul), fault != "missing");
        QCOMPARE(pair.strays(), expectedStrays);
    }
};

QTEST_GUILESS_MAIN(TestMultiFile)
#include "test_multifile.moc"
