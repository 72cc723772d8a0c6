#include "MultiPair.h"

#include <QProcess>
#include <QtTest>

using Tile = MulWriter::MultiTile;

// Runs the real executable: exit codes and output are part of its interface.
class TestMlTool : public QObject
{
    Q_OBJECT

    struct Run {
        int status = -1;
        QString out;
        QString err;
    };
    static Run mltool(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(TILSEN_BINARY_DIR "/bin/mltool"), args);
        Run r;
        if (!p.waitForFinished(60000))
            return r;
        r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    static MulWriter::IndexedFile sample(int recordSize)
    {
        QMap<int, QVector<Tile>> entries;
        entries[1] = {{9, 0, 0, 0, 1}, {12, -3, 2, 4, 1}, {13, -3, 2, 4, 0}, {14, 7, -8, -20, 1}};
        entries[2] = {{0, 0, 0, 0, 0}, {15, 1, 1, 1, 1}};
        return MulWriter::multiFiles(entries, 4, recordSize);
    }

private slots:
    void importThenExportGivesTheSameRecords_data()
    {
        QTest::addColumn<int>("recordSize");
        QTest::addColumn<int>("entry");
        QTest::newRow("12, anchored") << 12 << 1;
        QTest::newRow("16, empty first record") << 16 << 2;
    }
    void importThenExportGivesTheSameRecords()
    {
        QFETCH(int, recordSize);
        QFETCH(int, entry);
        MultiPair pair;
        const MulWriter::IndexedFile before = sample(recordSize);
        pair.write(before);
        const QString mlt = pair.dir.filePath("entry.mlt");
        const QString n = QString::number(entry);

        Run r = mltool({"import", pair.idx, pair.mul, n, mlt});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        // Back into the entry it came from, and as a new entry at the end.
        r = mltool({"export", mlt, pair.idx, pair.mul, n});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        r = mltool({"export", mlt, pair.idx, pair.mul, "4"});
        QVERIFY2(r.status == 0, qPrintable(r.err));

        const QList<QByteArray> original =
            MultiPair::sortedRecords(MultiPair::entryBytes(before.index, before.data, entry), recordSize);
        for (int target : {entry, 4})
            QCOMPARE(MultiPair::sortedRecords(MultiPair::entryBytes(pair.index(), pair.data(), target), recordSize),
                     original);
        const int other = entry == 1 ? 2 : 1;
        QCOMPARE(MultiPair::entryBytes(pair.index(), pair.data(), other),
                 MultiPair::entryBytes(before.index, before.data, other));
    }

    void listAndDumpShowTheFiles()
    {
        MultiPair pair;
        pair.write(sample(16));
        Run r = mltool({"list", pair.idx});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.out, QString("entry offset length records\n"
                                "1 0 64 4\n"
                                "2 64 32 2\n"
                                "2 entries in 4 index records, 16-byte records\n"));

        const QString mlt = pair.dir.filePath("e.mlt");
        QCOMPARE(mltool({"import", pair.idx, pair.mul, "1", mlt}).status, 0);
        r = mltool({"dump", mlt});
        QCOMPARE(r.status, 0);
        QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
        lines.sort();
        QCOMPARE(lines, QStringList({"12 -3 2 4 1 0", "13 -3 2 4 0 0", "14 7 -8 -20 1 0", "9 0 0 0 1 0"}));
    }

    void badArgumentsAndFailedFiles_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::newRow("no command") << QStringList{} << 2;
        QTest::newRow("import short") << QStringList{"import", "IDX", "MUL", "1"} << 2;
        QTest::newRow("import bad entry") << QStringList{"import", "IDX", "MUL", "x1", "o.mlt"} << 2;
        QTest::newRow("export negative entry") << QStringList{"export", "a.mlt", "IDX", "MUL", "-1"} << 2;
        QTest::newRow("list missing index") << QStringList{"list", "IDX"} << 1;
        QTest::newRow("import absent entry") << QStringList{"import", "IDX", "MUL", "0", "o.mlt"} << 1;
        QTest::newRow("export missing mlt") << QStringList{"export", "none.mlt", "IDX", "MUL", "0"} << 1;
        QTest::newRow("export past the end") << QStringList{"export", "v.mlt", "IDX", "MUL", "6"} << 1;
        QTest::newRow("dump bad version") << QStringList{"dump", "bad.mlt"} << 1;
    }
    void badArgumentsAndFailedFiles()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        MultiPair pair;
        if (!QTest::currentDataTag() || QString(QTest::currentDataTag()) != "list missing index")
            pair.write(sample(12));
        MultiPair::save(pair.dir.filePath("bad.mlt"), QByteArray("\x01\0\0\0", 4));
        MultiPair::save(pair.dir.filePath("v.mlt"), QByteArray(4, '\0'));
        for (QString &a : args) {
            if (a == "IDX")
                a = pair.idx;
            else if (a == "MUL")
                a = pair.mul;
            else if (a.endsWith(".mlt"))
                a = pair.dir.filePath(a);
        }
        const QByteArray index = pair.index();
        const QByteArray data = pair.data();
        const Run r = mltool(args);
        QCOMPARE(r.status, status);
        QVERIFY(r.err.startsWith("mltool: "));
        QCOMPARE(r.err.contains("usage:"), status == 2);
        QCOMPARE(pair.index(), index);
        QCOMPARE(pair.data(), data);
    }
};

QTEST_GUILESS_MAIN(TestMlTool)
#include "test_mltool.moc"
