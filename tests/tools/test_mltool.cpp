#include "MlToolRun.h"
#include "MultiPair.h"
#include "TileKeys.h"
#include "data/FileFormats.h"
#include "model/NoTileInfo.h"

#include <QProcess>
#include <QTest>

// Runs the real executable: exit codes and output are part of its interface.
class TestMlTool : public QObject
{
    Q_OBJECT

    using Run = MlToolRun;
    static Run mltool(const QStringList &args) { return MlToolRun::of(args); }
    static MulWriter::IndexedFile sample(int recordSize)
    {
        return MulWriter::multiFiles({{1, {{9, 0, 0, 0, 1}, {12, -3, 2, 4, 1}, {13, -3, 2, 4, 0}, {14, 7, -8, -20, 1}}},
                                      {2, {{0, 0, 0, 0, 0}, {15, 1, 1, 1, 1}}}}, 4, recordSize);
    }

private slots:
    void importDumpExportAndList_data()
    {
        QTest::addColumn<int>("recordSize");
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("listed");
        QTest::addColumn<QString>("dumped");
        QTest::newRow("12, anchored") << 12 << 1
            << "entry offset length records name\n1 0 48 4 Small boat (east)\n2 48 24 2 Small boat (south)\n2 entries in 4 index records, 12-byte records (only 12-byte records give plausible tiles)\n"
            << "9 0 0 0 1 0\n12 -3 2 4 1 0\n13 -3 2 4 0 0\n14 7 -8 -20 1 0\n";
        QTest::newRow("16, empty first record") << 16 << 2
            << "entry offset length records name\n1 0 64 4 Small boat (east)\n2 64 32 2 Small boat (south)\n2 entries in 4 index records, 16-byte records (only 16-byte records give plausible tiles)\n"
            << "0 0 0 0 0 0\n15 1 1 1 1 0\n";
    }
    void importDumpExportAndList()
    {
        QFETCH(int, recordSize);
        QFETCH(int, entry);
        QFETCH(QString, listed);
        QFETCH(QString, dumped);
        MultiPair pair;
        const MulWriter::IndexedFile before = sample(recordSize);
        pair.write(before);
        const QString mlt = pair.dir.filePath("entry.mlt"), n = QString::number(entry);
        // Listed, taken out, shown, put back where it came from and as a new entry at the end.
        QStringList outs;
        for (const QStringList &args : QList<QStringList>{{"list", pair.idx}, {"import", pair.idx, pair.mul, n, mlt},
                                                          {"dump", mlt}, {"export", mlt, pair.idx, pair.mul, n},
                                                          {"export", mlt, pair.idx, pair.mul, "4"}}) {
            const Run r = mltool(args);
            QVERIFY2(r.status == 0, qPrintable(r.err));
            outs << r.out;
        }
        QCOMPARE(outs, QStringList({listed, "", dumped, "", ""}));
        // Back where it came from unchanged, and appended whole as entry 4 (the records' rules: test_multifile).
        QCOMPARE(pair.data(), before.data + MultiPair::entryBytes(before.index, before.data, entry));
        QCOMPARE(MultiPair::record(pair.index(), 4).offset, before.data.size());
    }

    // A pair whose content cannot tell its record size: every command refuses
    // until --record-size names it; the files stay as they were.
    void anUndecidedRecordSizeMustBeGiven()
    {
        MultiPair pair;
        const MulWriter::IndexedFile before = MulWriter::multiFiles({{0, {{1, 0, 0, 0, 1}, {1, 0, 0, 0, 1}, {1, 0, 0, 0, 1}, {1, 0, 0, 0, 1}}}}, 1);
        pair.write(before);
        const QString mlt = pair.dir.filePath("e.mlt");
        for (const QStringList &args : QList<QStringList>{{"list", pair.idx}, {"import", pair.idx, pair.mul, "0", mlt}}) {
            const Run r = mltool(args);
            QVERIFY2(r.status == 2 && r.err.contains("--record-size 12|16"), qPrintable(r.err));
        }
        QCOMPARE(mltool({"list", pair.idx, "--record-size", "13"}).status, 2);
        Run r = mltool({"import", pair.idx, pair.mul, "0", mlt, "--record-size", "16"});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        r = mltool({"export", mlt, pair.idx, pair.mul, "1"});
        QVERIFY2(r.status == 2 && r.err.contains("--record-size 12|16"), qPrintable(r.err));
        QCOMPARE(std::pair(pair.index(), pair.data()), std::pair(before.index, before.data));
        r = mltool({"--record-size=16", "export", mlt, pair.idx, pair.mul, "1"});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        // Read as 16-byte records the 48 bytes are three tiles; the one at the centre leads.
        const QByteArray written = MultiPair::entryBytes(pair.index(), pair.data(), 1);
        QCOMPARE(written.left(16), MulWriter::multiEntry({{1, 0, 0, 0, 1}}, 16));
        QCOMPARE(MultiPair::sortedRecords(written, 16),
                 MultiPair::sortedRecords(MulWriter::multiEntry({{1, 0, 0, 0, 1}, {0, 0, 1, 0, 1}, {1, 0, 1, 0, 0}}, 16), 16));
        r = mltool({"list", pair.idx, pair.mul, "--record-size", "16"});
        QVERIFY2(r.out.endsWith("2 entries in 2 index records, 16-byte records (given by the user)\n"), qPrintable(r.out));
    }

    // What a client folder holds, file by file.
    void infoNamesEachFileItsLayoutAndCounts()
    {
        QTemporaryDir dir;
        MultiPair::save(dir.filePath("TileData.mul"),
                        MulWriter::tileData({}, {}, MulWriter::TileDataLayout::Flags64, 65536));
        MultiPair::save(dir.filePath("hues.mul"), MulWriter::hues(QVector<MulWriter::Hue>(9)));
        MultiPair::save(dir.filePath("artidx.mul"), QByteArray(100, '\0'));
        const MulWriter::IndexedFile pair = sample(16);
        MultiPair::save(dir.filePath("multi.idx"), pair.index);
        MultiPair::save(dir.filePath("multi.mul"), pair.data);
        const Run r = mltool({"info", dir.path()});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QString d = dir.path() + "/";
        for (const QString &line : {"artidx.mul: " + d + "artidx.mul: not recognised",
                                    "art.mul: " + d + "art.mul: missing",
                                    "tiledata.mul: " + d + "TileData.mul: found, 64-bit flags, 16384 terrain, 65536 art",
                                    "hues.mul: " + d + "hues.mul: found, 16 hues",
                                    "multi.idx: " + d + "multi.idx: found, 2 entries in 4 records",
                                    "multi.mul: " + d + "multi.mul: found, 16-byte records (only 16-byte records give plausible tiles)",
                                    "radarcol.mul: " + d + "radarcol.mul: missing"})
            QVERIFY2(r.out.contains(line + "\n"), qPrintable(line + "\n--\n" + r.out));
        QCOMPARE(mltool({"info", dir.filePath("none")}).status, 1);
    }

    // Status 2 with the usage for bad arguments, 1 for a file that failed; the pair stays as it was.
    void badArgumentsAndFailedFiles()
    {
        MultiPair pair;
        pair.write(sample(12));
        MultiPair::save(pair.dir.filePath("bad.mlt"), QByteArray("\x01\0\0\0", 4)); // not version 0
        MultiPair::save(pair.dir.filePath("v.mlt"), QByteArray(4, '\0'));
        const QByteArray index = pair.index(), data = pair.data();
        const QList<QPair<int, QStringList>> cases{
            {2, {}}, {2, {"import", "IDX", "MUL", "1"}}, {2, {"import", "IDX", "MUL", "x1", "o.mlt"}},
            {2, {"export", "v.mlt", "IDX", "MUL", "-1"}}, {1, {"list", "none.idx"}},
            {1, {"import", "IDX", "MUL", "0", "o.mlt"}}, {1, {"export", "none.mlt", "IDX", "MUL", "0"}},
            {1, {"export", "v.mlt", "IDX", "MUL", "6"}}, {1, {"dump", "bad.mlt"}}, {2, {"replace", "v.mlt", "r.csv"}},
            {2, {"replace", "v.mlt", "r.csv", "5"}}, {2, {"replace", "v.mlt", "r.csv", "5=65536"}},
            {2, {"replace", "v.mlt", "r.csv", "-5=6"}}, {2, {"replace", "v.mlt", "r.csv", "0xG=6"}},
            {2, {"replace", "v.mlt", "r.csv", "5=6", "5=7"}}};
        for (auto [status, args] : cases) {
            const QString shown = args.join(' ');
            for (QString &a : args)
                a = a == "IDX" ? pair.idx : a == "MUL" ? pair.mul : a.contains('.') ? pair.dir.filePath(a) : a;
            const Run r = mltool(args);
            QVERIFY2(r.status == status, qPrintable(shown + ": " + r.err));
            QVERIFY2(r.err.startsWith("mltool: "), qPrintable(shown + ": " + r.err));
            QVERIFY2(r.err.contains("usage:") == (status == 2), qPrintable(shown + ": " + r.err));
            QVERIFY2(pair.index() == index, qPrintable(shown));
            QVERIFY2(pair.data() == data, qPrintable(shown));
            QVERIFY2(!QFile::exists(pair.dir.filePath("o.mlt")) && !QFile::exists(pair.dir.filePath("r.csv")), qPrintable(shown));
        }
    }

    // replace: the tiles of the file it writes (its bad arguments: badArgumentsAndFailedFiles).
    void replacesFromScriptToCsv()
    {
        QTemporaryDir dir;
        QVERIFY(writeFileBytes(dir.filePath("in.cs"), "class A : BaseAddon { A() {\n"
                                              "AddComponent(new AddonComponent(5), 0, 0, 0);\n"
                                              "AddComplexComponent(this, 5, 1, -2, 20, 33, -1);\n"
                                              "AddComponent(new AddonComponent(7), 0, 0, 10); } }"));
        const MlToolRun run = MlToolRun::of({"replace", dir.filePath("in.cs"), dir.filePath("out.csv"), "5=0x600", "7=5"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QStringLiteral("3 tiles replaced\n"));
        QCOMPARE(tileKeys(FileFormats::read(dir.filePath("out.csv"), NoTileInfo()).tiles),
                 (QStringList{"1536:0:0:0:0:1:1", "1536:1:-2:20:33:1:1", "5:0:0:10:0:1:1"}));
    }
};

QTEST_GUILESS_MAIN(TestMlTool)
#include "test_mltool.moc"
