#include "data/TileData.h"
#include "model/MimeMgr.h"

#include <QMimeData>
#include <QRandomGenerator>
#include <QtTest>

#include <memory>

class TestMimeMgr : public QObject
{
    Q_OBJECT

private:
    TileData m_data;

    // One serialised string as the payload stores it.
    static QByteArray str(const QString &s)
    {
        QByteArray b;
        QDataStream out(&b, QIODevice::WriteOnly);
        out.setByteOrder(QDataStream::LittleEndian);
        out << s;
        return b;
    }
    static QByteArray head(const QString &point = QStringLiteral("0:0:0"))
    {
        return str(QStringLiteral("1.0")) + str(point);
    }
    TileMap decode(const MimeMgr &mime, const QByteArray &bytes)
    {
        int x = -9, y = -9;
        qint16 z = -9;
        return mime.decodeBytes(bytes, x, y, z);
    }
    static QStringList keys(const TileMap &map)
    {
        QStringList out;
        for (const QList<TileRecord> &list : map)
            for (const TileRecord &t : list)
                out << t.key();
        out.sort();
        return out;
    }

private slots:
    void initTestCase() { m_data.setStaticInfo(10, TileInfo{TileFlags::Background, 0, "wall", 0}); }

    void exactBytes()
    {
        const QByteArray empty = MimeMgr::encodeBytes(TileMap(), 0, 0, 0);
        QCOMPARE(empty.size(), 24);
        QCOMPARE(empty.left(10).toHex(' '), QByteArray("06 00 00 00 31 00 2e 00 30 00"));
        QCOMPARE(empty.mid(10).toHex(' '),
                 QByteArray("0a 00 00 00 30 00 3a 00 30 00 3a 00 30 00"));

        TileRecord t(1234, 0, 0, m_data, Art);
        const QByteArray one = MimeMgr::encodeBytes({{0u, {t}}}, 5, -3, -7);
        QCOMPARE(one, head(QStringLiteral("5:-3:-7")) + str(QStringLiteral("1234:0:0:0:0:1:1")));
    }

    void formatsFollowTheStatedKind()
    {
        MimeMgr mime(m_data);
        TileRecord t(3, 0, 0, m_data, Terrain);
        std::unique_ptr<QMimeData> art(mime.encode(Art, {{0u, {t}}}, 0, 0, 0));
        QCOMPARE(art->formats(), QStringList({"bm/art"}));
        QVERIFY(mime.canDecode(Art, art.get()));
        QVERIFY(!mime.canDecode(Terrain, art.get()));
        QVERIFY(!mime.canDecode(Art, nullptr));

        int x = 1, y = 2;
        qint16 z = 3;
        QVERIFY(mime.decode(Terrain, art.get(), x, y, z).isEmpty());
        QCOMPARE(x, 1);
        const TileMap back = mime.decode(Art, art.get(), x, y, z);
        QCOMPARE(keys(back), QStringList({"3:0:0:0:0:1:0"}));
        QCOMPARE(x, 0);

        std::unique_ptr<QMimeData> other(mime.encode(7, TileMap(), 0, 0, 0));
        QCOMPARE(other->formats(), QStringList({"bm/terrain"}));
        QVERIFY(mime.canDecode(Terrain, other.get()));
    }

    void roundTripKeepsEveryTile()
    {
        MimeMgr mime(m_data);
        mime.setIncludeInvisible(true);
        TileMap map;
        for (int i = 0; i < 50; ++i) {
            TileRecord t(quint16(i * 1311), qint16(i - 25), qint16(i * 3 - 60), m_data, i % 2);
            t.x = i - 25;
            t.y = 25 - i * 2;
            t.visible = qint16(i % 3 != 0);
            map[locationKey(t.x, t.y)].append(t);
        }
        int x = 0, y = 0;
        qint16 z = 0;
        const TileMap back = mime.decodeBytes(MimeMgr::encodeBytes(map, -70000, 70000, -32768), x, y, z);
        QCOMPARE(back, map);
        QCOMPARE(x, -70000);
        QCOMPARE(y, 70000);
        QCOMPARE(z, qint16(-32768));
    }

    void drawOrderAndVisibility()
    {
        MimeMgr mime(m_data);
        const QByteArray bytes = head() + str("11:1:1:4:0:1:1") + str("10:1:1:0:0:1:1")
                                 + str("12:1:1:0:0:0:1") + str("3:1:1:0:0:1:0")
                                 + str("11:1:1:4:7:1:1");
        const TileMap visibleOnly = decode(mime, bytes);
        QStringList order;
        for (const TileRecord &t : visibleOnly.value(locationKey(1, 1)))
            order << t.key();
        QCOMPARE(order, QStringList({"3:1:1:0:0:1:0", "10:1:1:0:0:1:1", "11:1:1:4:0:1:1",
                                     "11:1:1:4:7:1:1"}));
        mime.setIncludeInvisible(true);
        QCOMPARE(decode(mime, bytes).value(locationKey(1, 1)).size(), 5);
    }

    void referencePoint_data()
    {
        QTest::addColumn<QString>("point");
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("z");
        QTest::newRow("plain") << "5:-3:7" << 5 << -3 << 7;
        QTest::newRow("z wraps") << "0:0:40000" << 0 << 0 << -25536;
        QTest::newRow("junk") << "a::" << 0 << 0 << 0;
        QTest::newRow("short") << "9" << 9 << 0 << 0;
    }
    void referencePoint()
    {
        QFETCH(QString, point);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, z);
        MimeMgr mime(m_data);
        int ox = -1, oy = -1;
        qint16 oz = -1;
        mime.decodeBytes(head(point), ox, oy, oz);
        QCOMPARE(ox, x);
        QCOMPARE(oy, y);
        QCOMPARE(int(oz), z);
    }

    void refusedPayloadsLeaveOutValues_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("version 1.1") << str("1.1") + str("1:2:3") + str("10:0:0:0:0:1:1");
        QTest::newRow("null version") << str(QString()) + str("1:2:3");
        QTest::newRow("cut version") << str("1.0").left(7);
        QTest::newRow("no reference point") << str("1.0");
    }
    void refusedPayloadsLeaveOutValues()
    {
        QFETCH(QByteArray, bytes);
        MimeMgr mime(m_data);
        int x = 11, y = 12;
        qint16 z = 13;
        QVERIFY(mime.decodeBytes(bytes, x, y, z).isEmpty());
        QCOMPARE(x, 11);
        QCOMPARE(y, 12);
        QCOMPARE(z, qint16(13));
    }

    void malformedStringsEndThePayload_data()
    {
        QTest::addColumn<QByteArray>("tail");
        const QByteArray good = str("99:2:2:0:0:1:1");
        QTest::newRow("length past end") << good.left(good.size() - 2);
        QTest::newRow("odd length") << QByteArray::fromHex("03000000410042") + good;
        QTest::newRow("huge length") << QByteArray::fromHex("fffffffe") + good;
        QTest::newRow("stub length") << QByteArray::fromHex("0800");
    }
    void malformedStringsEndThePayload()
    {
        QFETCH(QByteArray, tail);
        MimeMgr mime(m_data);
        const TileMap map = decode(mime, head() + str("10:1:1:0:0:1:1") + tail);
        QCOMPARE(keys(map), QStringList({"10:1:1:0:0:1:1"}));
    }

    void nullAndEmptyKeysReadAsBlankRecords()
    {
        MimeMgr mime(m_data);
        mime.setIncludeInvisible(true);
        const TileMap map = decode(mime, head() + str(QString()) + str(QStringLiteral("")));
        QCOMPARE(keys(map), QStringList({"0:0:0:0:0:0:0", "0:0:0:0:0:0:0"}));
    }

    void randomPayloadsNeverCrash()
    {
        MimeMgr mime(m_data);
        mime.setIncludeInvisible(true);
        QRandomGenerator rng(99);
        const QByteArray start = head() + str("10:1:1:0:0:1:1");
        for (int i = 0; i < 500; ++i) {
            QByteArray noise(int(rng.bounded(40)), '\0');
            for (char &c : noise)
                c = char(rng.bounded(i % 2 ? 4 : 256));
            const TileMap map = decode(mime, start + noise);
            QVERIFY(!map.value(locationKey(1, 1)).isEmpty());
        }
    }
};

QTEST_GUILESS_MAIN(TestMimeMgr)
#include "test_mimemgr.moc"
