#include "data/TileData.h"
#include "model/TileRecord.h"

#include <QtTest>

#include <set>

class TestTileRecord : public QObject
{
    Q_OBJECT

private:
    TileData m_data;

    TileRecord art(quint16 id, qint16 z) { return TileRecord(id, 0, z, m_data, Art); }
    TileRecord terrain(quint16 id, qint16 z) { return TileRecord(id, 0, z, m_data, Terrain); }

private slots:
    void initTestCase()
    {
        m_data.setStaticInfo(10, TileInfo{TileFlags::Background, 0, QStringLiteral("wall"), 0});
        m_data.setStaticInfo(11, TileInfo{0, 0, QStringLiteral("floor"), 0});
        m_data.setStaticInfo(12, TileInfo{0, 7, QStringLiteral("table"), 0});
        m_data.setStaticInfo(3, TileInfo{0x20, 4, QStringLiteral("art three"), 0});
        m_data.setLandInfo(3, TileInfo{0x8, 0, QStringLiteral("grass"), 55});
    }

    void keyWritesAndReadsBack_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("art") << "1234:3:-2:5:0:1:1";
        QTest::newRow("terrain at origin") << "3:0:0:0:0:1:0";
        QTest::newRow("extremes") << "65535:-200:199:-32768:32767:0:1";
        QTest::newRow("negative hue") << "3:7:8:-1:-5:1:1";
    }
    void keyWritesAndReadsBack()
    {
        QFETCH(QString, key);
        const TileRecord r(key, m_data);
        QCOMPARE(r.key(), key);
        const TileRecord again(r.key(), m_data);
        QVERIFY(again == r);
        QCOMPARE(again.name, r.name);
        QCOMPARE(again.flags, r.flags);
        QCOMPARE(again.sortZ, int(r.z));
    }

    void keyReadingIsForgiving()
    {
        const TileRecord wrapped(QStringLiteral("70000:1:2:3:4:1:1"), m_data);
        QCOMPARE(wrapped.id, quint16(4464));

        const TileRecord bare(QStringLiteral("17"), m_data);
        QCOMPARE(bare.id, quint16(17));
        QCOMPARE(bare.visible, qint16(0));
        QCOMPARE(bare.kind, qint32(Terrain));
        QCOMPARE(bare.x, 0);

        const TileRecord junk(QStringLiteral("x:5::abc:2:1:1:99:zz"), m_data);
        QCOMPARE(junk.id, quint16(0));
        QCOMPARE(junk.x, 5);
        QCOMPARE(junk.y, 0);
        QCOMPARE(junk.z, qint16(0));
        QCOMPARE(junk.hue, qint16(2));
        QCOMPARE(junk.kind, qint32(Art));

        const TileRecord empty(QString(), m_data);
        QCOMPARE(empty.key(), QStringLiteral("0:0:0:0:0:0:0"));

        // Any kind but art takes its cached fields from the terrain table.
        const TileRecord odd(QStringLiteral("3:0:0:0:0:1:2"), m_data);
        QCOMPARE(odd.kind, 2);
        QCOMPARE(odd.name, QStringLiteral("grass"));
        QCOMPARE(odd.textureId, quint16(55));
    }

    void equalityIgnoresCachedFieldsOnly()
    {
        TileRecord a(QStringLiteral("10:1:2:3:0:1:1"), m_data);
        TileRecord b = a;
        b.name = QStringLiteral("other");
        b.flags = 0xFF;
        b.sortZ = 40;
        QVERIFY(a == b);
        b = a;
        b.visible = 0;
        QVERIFY(a != b);
        b = a;
        b.hue = 1;
        QVERIFY(a != b);
        b = a;
        b.kind = Terrain;
        QVERIFY(a != b);
    }

    void drawOrder()
    {
        // bias 0 (background, flat) before bias 1 at one altitude
        QVERIFY(art(10, 0).drawsBefore(art(11, 0)));
        QVERIFY(!art(11, 0).drawsBefore(art(10, 0)));
        // terrain before art of the same level
        QVERIFY(terrain(3, 5).drawsBefore(art(10, 5)));
        QVERIFY(!art(10, 5).drawsBefore(terrain(3, 5)));
        // bias 2 at altitude 3 is level 5: after terrain at 5
        QCOMPARE(art(12, 3).level(), 5);
        QVERIFY(terrain(3, 5).drawsBefore(art(12, 3)));
        // level decides first
        QVERIFY(art(12, 0).drawsBefore(art(10, 3)));
        // smaller bias first at the same level, then smaller id
        QVERIFY(art(10, 1).drawsBefore(art(11, 0)));
        QVERIFY(art(11, 0).drawsBefore(art(13, 0)));
        // equal records are not ordered
        QVERIFY(!art(11, 0).drawsBefore(art(11, 0)));
    }

    void locationKeys()
    {
        QCOMPARE(locationKey(-1, 0), 65535u);
        QCOMPARE(locationKey(0, -1), 4294901760u);
        QCOMPARE(keyX(locationKey(-200, 199)), qint16(-200));
        QCOMPARE(keyY(locationKey(-200, 199)), qint16(199));
        QSet<quint32> seen;
        for (int y = -200; y < 200; ++y)
            for (int x = -200; x < 200; ++x)
                seen.insert(locationKey(x, y));
        QCOMPARE(seen.size(), 400 * 400);
    }
};

QTEST_GUILESS_MAIN(TestTileRecord)
#include "test_tilerecord.moc"
