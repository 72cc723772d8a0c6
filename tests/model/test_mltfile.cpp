#include "data/TileData.h"
#include "model/Facet.h"
#include "model/MltFile.h"

#include <QRandomGenerator>
#include <QtTest>

class TestMltFile : public QObject
{
    Q_OBJECT

private:
    TileData m_data;

    static QByteArray entry(quint16 id, qint16 x, qint16 y, qint16 z, qint16 visible, qint16 hue)
    {
        QByteArray b;
        QDataStream s(&b, QIODevice::WriteOnly);
        s.setByteOrder(QDataStream::LittleEndian);
        s << id << x << y << z << visible << hue;
        return b;
    }
    static QByteArray header(qint32 version = 0)
    {
        QByteArray b;
        QDataStream s(&b, QIODevice::WriteOnly);
        s.setByteOrder(QDataStream::LittleEndian);
        s << version;
        return b;
    }

private slots:
    void initTestCase() { m_data.setStaticInfo(3, TileInfo{0x40, 9, QStringLiteral("three"), 0}); }

    void readsTheExampleFile()
    {
        const QByteArray bytes = QByteArray::fromHex("00000000030005 00f9ff0200 01000000");
        QCOMPARE(bytes.size(), 16);
        const MltReadResult r = MltFile::fromBytes(bytes, m_data);
        QCOMPARE(r.status, MltReadResult::Ok);
        QCOMPARE(r.tiles.size(), 1);
        const QList<TileRecord> list = r.tiles.value(locationKey(5, -7));
        QCOMPARE(list.size(), 1);
        const TileRecord &t = list.first();
        QCOMPARE(t.key(), QStringLiteral("3:5:-7:2:0:1:1"));
        QCOMPARE(t.sortZ, 2);
        QCOMPARE(t.name, QStringLiteral("three"));
        QCOMPARE(t.height, quint8(9));
    }

    void groupsByLocationInFileOrder()
    {
        const QByteArray bytes = header() + entry(65535, -1, 0, 4, 0, -3) + entry(7, 1, 1, 0, 1, 0)
                                 + entry(8, -1, 0, 0, 1, 0);
        const MltReadResult r = MltFile::fromBytes(bytes, m_data);
        QCOMPARE(r.tiles.size(), 2);
        const QList<TileRecord> list = r.tiles.value(65535u);
        QCOMPARE(list.size(), 2);
        QCOMPARE(list[0].key(), QStringLiteral("65535:-1:0:4:-3:0:1"));
        QCOMPARE(list[1].id, quint16(8));
    }

    void headerAndVersion_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status");
        QTest::addColumn<quint32>("version");
        QTest::newRow("empty multi") << header() << int(MltReadResult::Ok) << 0u;
        QTest::newRow("version 1") << header(1) + entry(3, 0, 0, 0, 1, 0)
                                   << int(MltReadResult::BadVersion) << 1u;
        QTest::newRow("version -1") << header(-1) << int(MltReadResult::BadVersion) << 4294967295u;
        QTest::newRow("no bytes") << QByteArray() << int(MltReadResult::Ok) << 0u;
        QTest::newRow("short header") << QByteArray(3, '\1') << int(MltReadResult::Ok) << 0u;
    }
    void headerAndVersion()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(quint32, version);
        const MltReadResult r = MltFile::fromBytes(bytes, m_data);
        QCOMPARE(int(r.status), status);
        QCOMPARE(r.version, version);
        QVERIFY(r.tiles.isEmpty());
    }

    void trailingPartialEntryIsDropped()
    {
        const QByteArray whole = header() + entry(3, 1, 2, 3, 1, 0) + entry(4, 1, 2, 3, 1, 0);
        for (int cut = 1; cut < 12; ++cut) {
            const MltReadResult r = MltFile::fromBytes(whole.left(whole.size() - cut), m_data);
            QCOMPARE(r.status, MltReadResult::Ok);
            QCOMPARE(r.tiles.value(locationKey(1, 2)).size(), 1);
        }
    }

    void missingFileCannotOpen()
    {
        QTemporaryDir dir;
        const MltReadResult r = MltFile::read(dir.filePath("absent.mlt"), m_data);
        QCOMPARE(r.status, MltReadResult::CannotOpen);
        QVERIFY(r.tiles.isEmpty());
    }

    void roundTripThroughAFile()
    {
        Facet model(m_data);
        TileRecord a(3, 7, -5, m_data, Art);
        a.x = -200;
        a.y = 199;
        a.visible = 0;
        TileRecord b(65535, -1, 127, m_data, Art);
        b.x = 0;
        b.y = -1;
        model.addTile(a.x, a.y, a);
        model.addTile(b.x, b.y, b);
        QTemporaryDir dir;
        const QString path = dir.filePath("trip.mlt");
        QVERIFY(MltFile::write(path, model));
        const MltReadResult r = MltFile::read(path, m_data);
        QCOMPARE(r.status, MltReadResult::Ok);
        QCOMPARE(r.tiles.value(locationKey(a.x, a.y)), QList<TileRecord>({a}));
        QCOMPARE(r.tiles.value(locationKey(b.x, b.y)), QList<TileRecord>({b}));
        QCOMPARE(r.tiles.value(locationKey(a.x, a.y)).first().name, a.name);
    }

    void randomBytesNeverCrash()
    {
        QRandomGenerator rng(1234);
        for (int i = 0; i < 300; ++i) {
            QByteArray bytes(int(rng.bounded(80)), '\0');
            for (char &c : bytes)
                c = char(rng.bounded(256));
            if (i % 2 && bytes.size() >= 4)
                bytes.replace(0, 4, header());
            const MltReadResult r = MltFile::fromBytes(bytes, m_data);
            int count = 0;
            for (const QList<TileRecord> &list : r.tiles)
                count += list.size();
            QVERIFY(count <= qMax(0, (bytes.size() - 4) / 12));
        }
    }
};

QTEST_GUILESS_MAIN(TestMltFile)
#include "test_mltfile.moc"
