#include "LeBytes.h"
#include "data/TileData.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Layout {
    int flagBytes; // 4 classic, 8 with 64-bit flags
    int artBlocks;
};

// Record n of each table carries recognisable values: flags 0x10000 + n (the
// high half of a 64-bit flag field set to 0xFFFFFFFF), texture number or height
// derived from n, and the name "L<n>" / "S<n>". Names of the last art record
// fill all 20 bytes.
QByteArray tileDataFile(const Layout &l)
{
    LeBytes b;
    auto flags = [&](quint32 v) {
        b.u32(v);
        if (l.flagBytes == 8)
            b.u32(0xFFFFFFFF);
    };
    for (int block = 0; block < 512; ++block) {
        b.u32(0xDEADBEEF);
        for (int r = 0; r < 32; ++r) {
            const int n = block * 32 + r;
            flags(0x10000 + n);
            b.u16(n ^ 0x5A5A).text("L" + QByteArray::number(n), 20);
        }
    }
    const int artCount = l.artBlocks * 32;
    for (int block = 0; block < l.artBlocks; ++block) {
        b.u32(0xDEADBEEF);
        for (int r = 0; r < 32; ++r) {
            const int n = block * 32 + r;
            flags(0x10000 + n);
            b.bytes(QByteArray(12, char(0x77))).u8(n & 0xFF);
            b.text(n == artCount - 1 ? QByteArray("ABCDEFGHIJKLMNOPQRSTUVWXYZ")
                                     : "S" + QByteArray::number(n), 20);
        }
    }
    return b.data();
}

} // namespace

class TestTileData : public QObject
{
    Q_OBJECT
private slots:
    void layouts_data();
    void layouts();
    void shortAndMissingFiles();
    void loadFromFileMatchesBytes();
};

void TestTileData::layouts_data()
{
    QTest::addColumn<int>("flagBytes");
    QTest::addColumn<int>("artBlocks");
    QTest::addColumn<int>("fileSize");
    QTest::addColumn<int>("artCount");
    QTest::newRow("classic 16384") << 4 << 512 << 1036288 << 16384;
    QTest::newRow("classic 32768") << 4 << 1024 << 1644544 << 32768;
    QTest::newRow("64-bit flags 65536") << 8 << 2048 << 3188736 << 65536;
}

void TestTileData::layouts()
{
    QFETCH(int, flagBytes);
    QFETCH(int, artBlocks);
    QFETCH(int, fileSize);
    QFETCH(int, artCount);
    const QByteArray file = tileDataFile({flagBytes, artBlocks});
    QCOMPARE(file.size(), fileSize);
    TileData t;
    t.loadFromBytes(file);
    QCOMPARE(t.landCount(), 16384);
    QCOMPARE(t.staticCount(), artCount);

    for (int n : {0, 31, 32, 1000, 16383}) {
        const TileInfo land = t.landInfo(n);
        QCOMPARE(land.flags, quint32(0x10000 + n));
        QCOMPARE(land.textureId, quint16(n ^ 0x5A5A));
        QCOMPARE(land.height, quint8(0));
        QCOMPARE(land.name, QStringLiteral("L%1").arg(n));
    }
    for (int n : {0, 33, artCount / 2 + 5, artCount - 2}) {
        const TileInfo art = t.staticInfo(n);
        QCOMPARE(art.flags, quint32(0x10000 + n));
        QCOMPARE(art.height, quint8(n & 0xFF));
        QCOMPARE(art.textureId, quint16(0));
        QCOMPARE(art.name, QStringLiteral("S%1").arg(n));
    }
    QCOMPARE(t.staticInfo(artCount - 1).name, QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
}

void TestTileData::shortAndMissingFiles()
{
    TileData t;
    t.load(QStringLiteral("/nonexistent/tiledata.mul"));
    QCOMPARE(t.staticInfo(5).flags, 0u);
    QVERIFY(t.landInfo(5).name.isEmpty());
    for (int id : {-1, 16384, 65535, 1 << 20}) // past the tables
        QVERIFY(t.staticInfo(id).name.isEmpty() && t.landInfo(id).name.isEmpty());

    // Cut in the middle of the art section: what is there is read, the rest is empty.
    const QByteArray full = tileDataFile({4, 512});
    const int cut = 428032 + 4 + 37 * 10 + 19; // two bytes of record 10's name
    t.loadFromBytes(full.left(cut));
    QCOMPARE(t.staticInfo(9).name, QStringLiteral("S9"));
    QCOMPARE(t.staticInfo(10).flags, quint32(0x10000 + 10));
    QCOMPARE(t.staticInfo(10).name, QStringLiteral("S1"));
    QCOMPARE(t.staticInfo(11).flags, 0u);
    QCOMPARE(t.landInfo(16383).name, QStringLiteral("L16383"));

    t.loadFromBytes(full.left(100));
    QCOMPARE(t.landInfo(0).name, QStringLiteral("L0"));
    QCOMPARE(t.landInfo(4).flags, 0u);
    QCOMPARE(t.staticInfo(0).flags, 0u);
}

void TestTileData::loadFromFileMatchesBytes()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tiledata.mul"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(tileDataFile({8, 2048}));
    f.close();
    const TileData t(path);
    QCOMPARE(t.staticCount(), 65536);
    QCOMPARE(t.staticInfo(40000).name, QStringLiteral("S40000"));
    QCOMPARE(t.staticInfo(40000).height, quint8(40000 & 0xFF));
}

QTEST_GUILESS_MAIN(TestTileData)
#include "test_tiledata.moc"
