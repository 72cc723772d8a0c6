#include "LeBytes.h"
#include "data/HueTable.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// Colour c of hue h is (h << 5) + c, so every value tells where it came from.
QByteArray huesFile(int blocks)
{
    LeBytes b;
    for (int block = 0; block < blocks; ++block) {
        b.u32(0xCAFEBABE);
        for (int e = 0; e < 8; ++e) {
            const int hue = block * 8 + e + 1;
            for (int c = 0; c < 32; ++c)
                b.u16((hue << 5) + c);
            b.bytes(QByteArray(24, char(0x55)));
        }
    }
    return b.data();
}
} // namespace

class TestHues : public QObject
{
    Q_OBJECT
private slots:
    void numbersCountFromOneAcrossBlocks();
    void outOfRangeGivesNone();
    void shortLastBlockStillHoldsEightEntries();
};

void TestHues::numbersCountFromOneAcrossBlocks()
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("hues.mul")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(huesFile(3));
    f.close();
    HueTable t(f.fileName());
    QCOMPARE(t.count(), 24);
    for (int hue : {1, 8, 9, 24}) {
        const quint16 *c = t.colours(hue);
        QVERIFY(c);
        QCOMPARE(c[0], quint16(hue << 5));
        QCOMPARE(c[31], quint16((hue << 5) + 31));
    }
}

void TestHues::outOfRangeGivesNone()
{
    HueTable t;
    t.loadFromBytes(huesFile(1));
    QVERIFY(!t.colours(0));
    QVERIFY(!t.colours(-4));
    QVERIFY(t.colours(8));
    QVERIFY(!t.colours(9));
    t.load(QStringLiteral("/nonexistent/hues.mul"));
    QCOMPARE(t.count(), 0);
    QVERIFY(!t.colours(1));
}

void TestHues::shortLastBlockStillHoldsEightEntries()
{
    HueTable t;
    // One whole block, then a header and 3 colours of the next block's first entry.
    t.loadFromBytes(huesFile(2).left(708 + 4 + 6 + 1));
    QCOMPARE(t.count(), 16);
    const quint16 *c = t.colours(9);
    QVERIFY(c);
    QCOMPARE(c[2], quint16((9 << 5) + 2));
    QCOMPARE(c[3], quint16(0)); // half a colour is not a colour
    QVERIFY(t.colours(16));
    QCOMPARE(t.colours(16)[0], quint16(0));
}

QTEST_GUILESS_MAIN(TestHues)
#include "test_hues.moc"
