#include "FileBytes.h"
#include "UopBytes.h"
#include "MlToolRun.h"
#include "TileText.h"

#include "data/ArtReader.h"
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

// mltool on packed containers, and the sample set's containers, as a user meets them.
class TestMlToolUop : public QObject
{
    Q_OBJECT

    using Run = MlToolRun;
    static Run mltool(const QStringList &args) { return Run::of(args); }

private slots:
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

QTEST_GUILESS_MAIN(TestMlToolUop)
#include "test_mltool_uop.moc"
