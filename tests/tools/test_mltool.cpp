#include "FileBytes.h"
#include "MltBytes.h"
#include "MlToolRun.h"
#include "MultiPair.h"
#include "MulWriter.h"
#include "SolidImage.h"
#include "TileKeys.h"
#include "TileText.h"
#include "UopBytes.h"
#include "data/FileFormats.h"
#include "data/MultiFile.h"
#include "data/NameHash.h"
#include "data/UopMultiStore.h"
#include "model/NoTileInfo.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace UopBytes;

namespace {
constexpr quint64 Multi100 = 0xFDBEA28D30E3102DULL;
constexpr quint64 Housing = 0x126D1E99DDEDEE0AULL;

QImage opaque(const QImage &image) { return image.convertToFormat(QImage::Format_ARGB32); }

// Where the top-left of a w x h art image of a tile at (x, y, z) lands in a
// picture whose frame starts at `origin` (y down): the image's bottom row
// rests on its cell's bottom corner, centred on it.
QPoint placed(int x, int y, int z, int w, int h, const QPoint &origin)
{
    return QPoint((x - y) * 22 - w / 2, (x + y) * 22 - 4 * z + 44 - h) - origin;
}
} // namespace

// Runs the real executable on pairs, containers and the sample set: exit codes
// and output are part of its interface.
class TestMlTool : public QObject
{
    Q_OBJECT

    using Run = MlToolRun;
    QTemporaryDir m_dir;
    QString m_data;
    // Colours that survive the game's 5-bit channels; a transparent pixel shows the ground through.
    const QImage m_a = solidImage(44, 60, qRgb(248, 0, 0), QPoint(22, 30));
    const QImage m_b = solidImage(30, 30, qRgb(0, 0, 248));
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
        // Back where it came from unchanged, and appended whole as entry 4 (the records' rules: test_uop).
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
                                    "hues.mul: " + d + "hues.mul: missing",
                                    "multi.idx: " + d + "multi.idx: found, 2 entries in 4 records",
                                    "multi.mul: " + d + "multi.mul: found, 16-byte records (only 16-byte records give plausible tiles)",
                                    "radarcol.mul: " + d + "radarcol.mul: missing"})
            QVERIFY2(r.out.contains(line + "\n"), qPrintable(line + "\n--\n" + r.out));
        QCOMPARE(mltool({"info", dir.filePath("none")}).status, 1);
    }

    // Status 2 with the usage for bad arguments, 1 with its reason for a file
    // that failed; nothing is written and the files stay as they were.
    void badArgumentsAndFailedFiles()
    {
        MultiPair pair;
        pair.write(sample(12));
        QByteArray loop = build({packed(Multi100, multi(100, {}))}, 4); // its block chain loops back
        qToLittleEndian<quint64>(0x200, loop.data() + 0x200 + 4);
        const QList<std::pair<const char *, QByteArray>> files{
            {"bad.mlt", QByteArray("\x01\0\0\0", 4)}, {"v.mlt", QByteArray(4, '\0')}, {"a.mlt", mltFile({{500, 0, 0, 0, 1, 0}})},
            {"bad.csv", "kind,id,x,y,z,hue,visible\nart,1,0,0,0,0,1\nart,1,x,0,0,0,1\n"}, {"multi.txt", "6 version\n1 t\n-1 i\n0 n\n"},
            {"damaged.txt", "6 version\n1 t\n-1 i\n9 n\n1 0 0 0 1\n"}, {"loop.uop", loop},
            {"c.uop", build({packed(Multi100, multi(100, {}))}, 4)}};
        for (const auto &[name, bytes] : files)
            MultiPair::save(pair.dir.filePath(name), bytes);
        const QByteArray index = pair.index(), data = pair.data();
        const struct { int status; QStringList args; QString says; } cases[] = {
            {2, {}, ""}, {2, {"import", "IDX", "MUL", "1"}, ""}, {2, {"import", "IDX", "MUL", "x1", "o.mlt"}, ""},
            {2, {"export", "v.mlt", "IDX", "MUL", "-1"}, ""}, {1, {"list", "none.idx"}, ""},
            {1, {"import", "IDX", "MUL", "0", "o.mlt"}, ""}, {1, {"export", "none.mlt", "IDX", "MUL", "0"}, ""},
            {1, {"export", "v.mlt", "IDX", "MUL", "6"}, ""}, {1, {"dump", "bad.mlt"}, ""}, {2, {"replace", "v.mlt", "r.csv"}, ""},
            {2, {"replace", "v.mlt", "r.csv", "5"}, ""}, {2, {"replace", "v.mlt", "r.csv", "5=65536"}, ""},
            {2, {"replace", "v.mlt", "r.csv", "-5=6"}, ""}, {2, {"replace", "v.mlt", "r.csv", "0xG=6"}, ""},
            {2, {"replace", "v.mlt", "r.csv", "5=6", "5=7"}, ""}, {1, {"import", "c.uop", "7", "o.mlt"}, ""},
            {1, {"list", "loop.uop"}, ""}, {1, {"list", "none.uop"}, ""}, {2, {"export", "v.mlt", "c.uop", "x"}, ""},
            {1, {"convert", "bad.csv", "out.mlt"}, "bad.csv: line 3: bad x"},
            {1, {"convert", "a.mlt", "out.xyz"}, "not a file of one multi"},
            {2, {"render", "--scale", "9", "a.mlt", "a.png"}, "--scale takes"},
            {2, {"render", "--storeys", "0", "a.mlt", "a.png"}, "--storeys takes"},
            {1, {"render", "--data", "no.where", "a.mlt", "a.png"}, "art file not found"},
            {1, {"import", "multi.txt", "9", "x.mlt"}, "no template 9"},
            {1, {"list", "damaged.txt"}, "damaged.txt: line 4: template 1 announces 9 components"}};
        for (auto [status, args, says] : cases) {
            const QString shown = args.join(' ');
            for (QString &a : args)
                a = a == "IDX" ? pair.idx : a == "MUL" ? pair.mul : a.contains('.') ? pair.dir.filePath(a) : a;
            const Run r = mltool(args);
            QVERIFY2(r.status == status && r.err.startsWith("mltool: ") && r.err.contains(says), qPrintable(shown + ": " + r.err));
            QVERIFY2(r.err.contains("usage:") == (status == 2), qPrintable(shown + ": " + r.err));
            QVERIFY2(pair.index() == index && pair.data() == data, qPrintable(shown));
            for (const char *name : {"o.mlt", "r.csv", "out.mlt", "out.xyz", "a.png", "x.mlt"})
                QVERIFY2(!QFile::exists(pair.dir.filePath(name)), qPrintable(shown));
        }
        QCOMPARE(fileBytes(pair.dir.filePath("loop.uop")), loop);
        // info names a damaged container and goes on.
        const Run info = mltool({"info", pair.dir.filePath("loop.uop")});
        QVERIFY2(info.status == 0 && info.out.contains("damaged packed container") && info.out.contains("loops back"), qPrintable(info.out));
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
        // Taken out and put back unchanged (what an export keeps: test_uop).
        QCOMPARE(unzlib(entry(fileBytes(uop), Multi100).bytes, int(house.size())), house);
    }

    // The generated sample set also comes as a newer client's folder; it holds the same multis (its art: test_uop).
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
        QVERIFY2(!info.out.contains("artidx.mul"), qPrintable(info.out));
        QVERIFY2(!info.out.contains("multi.idx"), qPrintable(info.out));
        QVERIFY(!QFileInfo::exists(data + "uop/art.mul"));
        QVERIFY(!QFileInfo::exists(data + "uop/multi.idx"));
    }

    // Pictures and text formats; pictures are checked against the art images placed by hand.
    void initTestCase()
    {
        m_data = m_dir.filePath("data");
        QVERIFY(QDir().mkpath(m_data));
        const auto files = MulWriter::artFiles({}, {{500, m_a}, {501, m_b}});
        writeFileBytes(m_data + "/artidx.mul", files.index);
        writeFileBytes(m_data + "/art.mul", files.data);
    }

    void rendersOneFile()
    {
        const QString in = m_dir.filePath("two.mlt"), out = m_dir.filePath("two.png");
        // A at (0, 0, 0), B in front of it at (1, 0, 2).
        writeFileBytes(in, mltFile({{500, 0, 0, 0, 1, 0}, {501, 1, 0, 2, 1, 0}}));
        const Run r = mltool({"render", "--data", m_data, in, out});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        const QImage picture = opaque(QImage(out));
        // Bounds: A spans x -22..22, y (down) -16..44; B spans x 7..37, y 28..58.
        const QPoint origin(-22, -16);
        QCOMPARE(picture.size(), QSize(37 + 22, 58 + 16));
        QImage expected(picture.size(), QImage::Format_ARGB32);
        expected.fill(Qt::transparent);
        auto draw = [&](const QImage &img, const QPoint &at) {
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (qAlpha(img.pixel(x, y)))
                        expected.setPixel(at + QPoint(x, y), img.pixel(x, y));
        };
        draw(m_a, placed(0, 0, 0, 44, 60, origin));
        draw(m_b, placed(1, 0, 2, 30, 30, origin));
        QCOMPARE(picture, expected);

        // Half the size, still one picture of both.
        const Run half = mltool({"render", "--data", m_data, "--scale", "0.5", in, out});
        QVERIFY2(half.status == 0, qPrintable(half.err));
        QCOMPARE(QImage(out).size(), QSize(30, 37));
    }

    void rendersStoreys_data()
    {
        QTest::addColumn<bool>("hideBelow");
        QTest::newRow("below dimmed") << false;
        QTest::newRow("below hidden") << true;
    }

    void rendersStoreys()
    {
        QFETCH(bool, hideBelow);
        const QString in = m_dir.filePath("tower.csv"), out = m_dir.filePath("tower.png");
        // Ground floor 0..9 and upper floor 10..19: B at 0, A straight above at 10.
        writeFileBytes(in, "kind,id,x,y,z,hue,visible\nart,501,0,0,0,0,1\nart,500,0,0,10,0,1\n");
        QStringList args{"render", "--data", m_data, "--storeys", "10", in, out};
        if (hideBelow)
            args.insert(1, "--hide-below");
        const Run r = mltool(args);
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QVERIFY(!QFile::exists(out));
        const QImage first = opaque(QImage(m_dir.filePath("tower-storey1.png")));
        const QImage second = opaque(QImage(m_dir.filePath("tower-storey2.png")));
        QVERIFY(!QFile::exists(m_dir.filePath("tower-storey3.png")));
        // Both storeys share one frame: A spans y (down) -56..4, B 14..44.
        QCOMPARE(QList<QSize>({first.size(), second.size()}), QList<QSize>(2, QSize(44, 100)));
        const QPoint origin(-22, -56);
        const QPoint bAt = placed(0, 0, 0, 30, 30, origin) + QPoint(5, 25);
        const QPoint aAt = placed(0, 0, 10, 44, 60, origin) + QPoint(3, 3);
        QCOMPARE(first.pixel(bAt), m_b.pixel(5, 25));
        QCOMPARE(qAlpha(first.pixel(aAt)), 0); // the upper storey is not on the first
        QCOMPARE(second.pixel(aAt), m_a.pixel(3, 3));
        const QRgb below = second.pixel(bAt);
        // Hidden, or dimmed: the same colour, partly transparent.
        QVERIFY(hideBelow ? qAlpha(below) == 0 : qAlpha(below) > 0 && qAlpha(below) < 255);
        if (!hideBelow)
            QCOMPARE(qRgb(qRed(below), qGreen(below), qBlue(below)), m_b.pixel(5, 25) | 0xFF000000u);
    }

    void rendersEveryEntryWithContactSheet()
    {
        const QString idx = m_dir.filePath("multi.idx"), mul = m_dir.filePath("multi.mul");
        const auto files = MulWriter::multiFiles({{0, {{500, 0, 0, 0, 1}}}, {3, {{501, 0, 0, 0, 1}, {500, 2, 0, 0, 1}}}}, 5);
        writeFileBytes(idx, files.index);
        writeFileBytes(mul, files.data);
        const QString outDir = m_dir.filePath("all");
        const Run r = mltool({"render", "--data", m_data, "--all", outDir, idx, mul});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QCOMPARE(r.err, QString("rendered 1 of 2: entry 0\nrendered 2 of 2: entry 3\n"));
        QCOMPARE(QDir(outDir).entryList(QDir::Files), QStringList({"0.png", "3.png", "contact-sheet.png"}));
        QCOMPARE(opaque(QImage(outDir + "/0.png")), m_a);
        const QImage sheet(outDir + "/contact-sheet.png");
        QVERIFY(sheet.width() > 2 * 160 && sheet.height() > 160);

        // One entry of the pair, the same picture as the whole-store run made.
        const Run one = mltool({"render", "--data", m_data, idx, mul, "3", m_dir.filePath("3.png")});
        QVERIFY2(one.status == 0, qPrintable(one.err));
        QCOMPARE(fileBytes(m_dir.filePath("3.png")), fileBytes(outDir + "/3.png"));
    }

    void convertsAndKeepsTemplates()
    {
        const QString original = m_dir.filePath("house.mlt");
        writeFileBytes(original, mltFile({{500, -1, 0, 0, 1, 0}, {501, 0, 0, 5, 0, 33}, {12, 3, -2, 7, 1, 0}}));

        // Into a component list that already holds a named template, and back.
        const QString list = m_dir.filePath("multi.txt");
        const QByteArray kept = "6 version\n2 template id\n-1 item version\n1 num components\n7 0 0 0 0 Sign\n";
        writeFileBytes(list, kept);
        QCOMPARE(mltool({"export", original, list, "5"}).status, 0);
        const Run listed = mltool({"list", list});
        QCOMPARE(listed.out, QString("template components name\n2 1 -\n5 3 -\n2 templates\n"));
        const QString imported = m_dir.filePath("imported.mlt");
        QCOMPARE(mltool({"import", list, "5", imported}).status, 0);
        // Hues are not part of the list; everything else comes back.
        QCOMPARE(fileBytes(imported), mltFile({{501, 0, 0, 5, 0, 0}, {500, -1, 0, 0, 1, 0}, {12, 3, -2, 7, 1, 0}}));
    }

    // A client with tile data but no art: its tiles are drawn as boxes, not refused.
    void rendersBoxesWithoutArt()
    {
        QTemporaryDir dir;
        writeFileBytes(dir.filePath("tiledata.mul"), MulWriter::tileData({}, {{500, {0, 20, "post"}}}));
        writeFileBytes(dir.filePath("a.mlt"), mltFile({{500, 0, 0, 0, 1, 0}}));
        const Run r = mltool({"render", "--data", dir.path(), dir.filePath("a.mlt"), dir.filePath("a.png")});
        QCOMPARE(r.status, 0);
        QVERIFY2(r.err.contains("drawn as boxes"), qPrintable(r.err));
        const QImage picture(dir.filePath("a.png"));
        QVERIFY(picture.height() > 44 && qAlpha(picture.pixel(picture.width() / 2, picture.height() / 2)) == 255);
    }
};

QTEST_GUILESS_MAIN(TestMlTool)
#include "test_mltool.moc"
