#include "FileBytes.h"
#include "MlToolRun.h"
#include "MultiPair.h"
#include "TileKeys.h"
#include "TileText.h"
#include "UopBytes.h"
#include "data/ArtReader.h"
#include "data/FileFormats.h"
#include "data/MultiFile.h"
#include "data/NameHash.h"
#include "data/UopMultiStore.h"
#include "model/NoTileInfo.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace UopBytes;

namespace {
constexpr quint64 Multi100 = 0xFDBEA28D30E3102DULL;
constexpr quint64 Housing = 0x126D1E99DDEDEE0AULL;
} // namespace

// Runs the real executable on pairs, containers and the sample set: exit codes
// and output are part of its interface.
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

    void listImportExportAndInfo()
    {
        QTemporaryDir dir;
        const QString uop = dir.filePath("MultiCollection.uop"), mlt = dir.filePath("house.mlt");
        const QByteArray house = multi(100, {{0x10, 0, 0, 0, 0x0100, {1, 2}}, {0x20, -3, 2, 5, 0, {}}, {0x30, 1, -1, 0, 1, {}}});
        const QByteArray before = build({packed(Multi100, house), packed(Housing, "housing"),
                                         stored(0x42, "unknown"), emptySlot(),
                                         packed(NameHash::ofName("build/multicollection/000003.bin"), multi(3, {}))},
                                        2, 4);
        QVERIFY(writeFileBytes(uop, before));
        QVERIFY(writeFileBytes(dir.filePath("tiledata.mul"), QByteArray(10, '\0')));
        QStringList outs;
        for (const QStringList &args : QList<QStringList>{{"list", uop}, {"import", uop, "100", mlt}, {"dump", mlt},
                                                          {"export", mlt, uop, "100"}, {"export", mlt, uop, "300"},
                                                          {"list", uop}, {"info", dir.path()}}) {
            const Run r = mltool(args);
            QVERIFY2(r.status == 0, qPrintable(args.join(' ') + ": " + r.err));
            outs << r.out;
        }
        const QString info = outs.takeLast();
        QCOMPARE(outs, QStringList({"entry records name\n3 0 Small boat (west)\n100 3 Stone and plaster house\n2 multis in 4 container entries\n", "",
                                    "16 0 0 0 1 0\n32 -3 2 5 1 0\n48 1 -1 0 0 0\n", "", "",
                                    "entry records name\n3 0 Small boat (west)\n100 3 Stone and plaster house\n300 3 -\n3 multis in 5 container entries\n"}));
        // Beside the data files' own lines, the container's.
        QVERIFY2(info.contains("\nMultiCollection.uop: packed container version 4, 5 entries in 3 blocks, 3 multis, "
                               "housing.bin\n"), qPrintable(info));
        QVERIFY2(info.contains("tiledata.mul: "), qPrintable(info));
        // Taken out and put back unchanged (what an export keeps: test_uop).
        QCOMPARE(unzlib(entry(fileBytes(uop), Multi100).bytes, int(house.size())), house);
    }

    void failuresAreReported_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing entry") << QStringList{"import", "@/c.uop", "7", "@/o.mlt"} << 1 << "entry 7 holds no multi";
        QTest::newRow("damaged container") << QStringList{"list", "@/bad.uop"} << 1 << "loops back";
        QTest::newRow("missing container") << QStringList{"list", "@/none.uop"} << 1 << "cannot be opened";
        QTest::newRow("bad entry number") << QStringList{"export", "@/o.mlt", "@/c.uop", "x"} << 2 << "ENTRY must be a number";
        QTest::newRow("info on a damaged container") << QStringList{"info", "@/bad.uop"} << 0 << "";
    }
    void failuresAreReported()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, error);
        QTemporaryDir dir;
        QVERIFY(writeFileBytes(dir.filePath("c.uop"), build({packed(Multi100, multi(100, {}))}, 4)));
        QByteArray bad = build({packed(Multi100, multi(100, {}))}, 4);
        qToLittleEndian<quint64>(0x200, bad.data() + 0x200 + 4);
        QVERIFY(writeFileBytes(dir.filePath("bad.uop"), bad));
        args.replaceInStrings("@", dir.path());
        const Run r = mltool(args);
        QCOMPARE(r.status, status);
        QVERIFY2(r.err.contains(error), qPrintable(r.err));
        if (args.first() == "info")
            QVERIFY2(r.out.contains("damaged packed container") && r.out.contains("loops back"), qPrintable(r.out));
        QCOMPARE(fileBytes(dir.filePath("bad.uop")), bad);
    }

    // The generated sample set also comes as a newer client's folder; it holds the same art and multis.
    void sampleSetInContainers()
    {
        const QString data = QStringLiteral(TILSEN_BINARY_DIR "/bin/sample-data/");
        MultiFile pair(data + "multi.idx", data + "multi.mul");
        UopMultiStore store(data + "uop/MultiCollection.uop");
        QVERIFY(pair.open());
        QVERIFY2(store.open(), qPrintable(store.errorString()));
        QVERIFY(store.container().find(Housing));
        QVector<int> pairIds, storeIds;
        for (const auto &e : pair.entries())
            pairIds << e.number;
        for (const auto &e : store.entries())
            storeIds << e.number;
        QVERIFY(!pairIds.isEmpty());
        QCOMPARE(storeIds, pairIds);
        for (int id : pairIds) {
            TileMap a, b;
            QVERIFY(pair.readEntry(id, NoTileInfo(), a));
            QVERIFY(store.readEntry(id, NoTileInfo(), b));
            QCOMPARE(tileText(b), tileText(a));
        }
        // A client with only containers lacks the pairs on purpose: info names
        // the containers it reads and does not ask for the pairs.
        const Run info = mltool({"info", data + "uop"});
        QCOMPARE(info.status, 0);
        QVERIFY2(info.out.contains("artLegacyMUL.uop: "), qPrintable(info.out));
        QVERIFY2(info.out.contains("MultiCollection.uop: "), qPrintable(info.out));
        QVERIFY2(!info.out.contains("artidx.mul"), qPrintable(info.out));
        QVERIFY2(!info.out.contains("multi.idx"), qPrintable(info.out));
        ArtReader fromPair(data + "artidx.mul", data + "art.mul", QString(), QString());
        ArtReader fromContainer;
        fromContainer.loadContainer(data + "uop/artLegacyMUL.uop", QString(), QString());
        int drawn = 0;
        for (int id = 0; id < fromPair.staticCount(); ++id) {
            const QImage expected = fromPair.staticImage(id, nullptr, false);
            drawn += !expected.isNull();
            if (fromContainer.staticImage(id, nullptr, false) != expected)
                QFAIL(qPrintable(QString("art %1 differs").arg(id)));
        }
        for (int id = 0; id < fromPair.landCount(); ++id)
            if (fromContainer.landImage(id, nullptr, false) != fromPair.landImage(id, nullptr, false))
                QFAIL(qPrintable(QString("terrain %1 differs").arg(id)));
        QVERIFY(drawn > 10);
        QVERIFY(!QFileInfo::exists(data + "uop/art.mul"));
        QVERIFY(!QFileInfo::exists(data + "uop/multi.idx"));
    }
};

QTEST_GUILESS_MAIN(TestMlTool)
#include "test_mltool.moc"
