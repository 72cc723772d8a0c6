#include "FacetWriter.h"
#include "MlToolRun.h"
#include "data/TileData.h"
#include "data/WorldCapture.h"
#include "data/WorldFacet.h"
#include "data/WorldOverview.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int W = 64, H = 48; // 8 x 6 blocks

FacetWriter::Cell land(int x, int y) { return {quint16(3 + (x + y) % 5), (x - y) % 20}; }

// Every static of the test world, in the order the files hold them: sparse
// statics with altitudes from -128 to 127, a crowded block (2,2), and an empty
// column of blocks (x 40-47).
QVector<FacetWriter::Static> blockStatics(int bx, int by)
{
    QVector<FacetWriter::Static> out;
    for (int y = by * 8; y < by * 8 + 8; ++y)
        for (int x = bx * 8; x < bx * 8 + 8; ++x) {
            if (bx == 5)
                continue;
            const int copies = bx == 2 && by == 2 ? 5 : (x * 7 + y * 3) % 11 == 0;
            for (int c = 0; c < copies; ++c)
                out.append({quint16(0x100 + (x + y + c) % 50), x, y, (x * 13 + y * 5 + c * 40) % 256 - 128,
                            quint16((x * y + c) % 3000)});
        }
    return out;
}

QString line(int id, int x, int y, int z, int hue, int kind)
{
    return QStringLiteral("%1 %2,%3 z%4 h%5 k%6").arg(id).arg(x).arg(y).arg(z).arg(hue).arg(kind);
}

QStringList linesOf(const TileMap &map)
{
    QStringList out;
    for (const QList<TileRecord> &tiles : map)
        for (const TileRecord &t : tiles)
            out << line(t.id, t.x, t.y, t.z, quint16(t.hue), t.kind);
    out.sort();
    return out;
}

} // namespace

class TestWorldMap : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    TileData m_data;

    QString write(const QString &sub, const FacetWriter::Statics &statics = blockStatics)
    {
        QString dir = m_dir.filePath(sub);
        if (!FacetWriter::write(dir, 1, W, H, land, statics))
            qFatal("cannot write the test facet");
        return dir;
    }

private slots:
    void captureTakesExactlyTheArea_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QPoint>("zRange");
        QTest::addColumn<QVariant>("centre");
        QTest::addColumn<QVariant>("base");
        QTest::addColumn<bool>("terrain");
        QTest::addColumn<bool>("fromContainer");
        QTest::newRow("across block edges") << QRect(QPoint(5, 5), QPoint(20, 18)) << QPoint(-100, 100) << QVariant() << QVariant() << false << false;
        QTest::newRow("crowded block, altitude band") << QRect(QPoint(14, 14), QPoint(25, 25)) << QPoint(-20, 60) << QVariant() << QVariant() << false << false;
        QTest::newRow("past the facet's corner") << QRect(QPoint(50, 30), QPoint(80, 70)) << QPoint(-120, 120) << QVariant(QPoint(60, 40)) << QVariant(-5) << true << false;
        QTest::newRow("terrain from the container") << QRect(QPoint(0, 0), QPoint(17, 9)) << QPoint(-128, 127) << QVariant() << QVariant(0) << true << true;
    }
    void captureTakesExactlyTheArea()
    {
        QFETCH(QRect, area);
        QFETCH(QPoint, zRange);
        QFETCH(QVariant, centre);
        QFETCH(QVariant, base);
        QFETCH(bool, terrain);
        QFETCH(bool, fromContainer);
        QString dir = write(QStringLiteral("capture"));
        if (fromContainer) {
            // Parts that end inside blocks: the reader must join them.
            QFile map(dir + QStringLiteral("/map1.mul"));
            QVERIFY(map.open(QIODevice::ReadOnly));
            const QByteArray uop = FacetWriter::terrainContainer(map.readAll(), 1, 1000);
            map.close();
            QVERIFY(map.remove());
            QFile out(dir + QStringLiteral("/map1LegacyMUL.uop"));
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(uop) == uop.size());
        }
        WorldFacet facet;
        QVERIFY2(facet.open(dir, 1, QSize(W, H)), qPrintable(facet.errorString()));
        WorldCapture::Request r{area, zRange.x(), zRange.y(), {}, {}, terrain};
        if (centre.isValid())
            r.centre = centre.toPoint();
        if (base.isValid())
            r.base = base.toInt();
        QString error;
        const std::optional<WorldCapture::Result> got = WorldCapture::capture(facet, r, m_data, &error);
        QVERIFY2(got, qPrintable(error));

        const QRect clipped = area & QRect(0, 0, W, H);
        const QPoint c = centre.isValid() ? centre.toPoint()
                                          : QPoint((clipped.left() + clipped.right()) / 2, (clipped.top() + clipped.bottom()) / 2);
        const int b = base.isValid() ? base.toInt() : land(c.x(), c.y()).z;
        QStringList want;
        for (int bx = 0; bx < W / 8; ++bx)
            for (int by = 0; by < H / 8; ++by)
                for (const FacetWriter::Static &s : blockStatics(bx, by))
                    if (clipped.contains(s.x, s.y) && s.z >= zRange.x() && s.z <= zRange.y())
                        want << line(s.id, s.x - c.x(), s.y - c.y(), s.z - b, s.hue, Art);
        for (int y = clipped.top(); terrain && y <= clipped.bottom(); ++y)
            for (int x = clipped.left(); x <= clipped.right(); ++x)
                want << line(land(x, y).id, x - c.x(), y - c.y(), land(x, y).z - b, 0, Terrain);
        want.sort();
        QVERIFY(want.size() > 10);
        QCOMPARE(linesOf(got->tiles), want);
        QCOMPARE(got->centre, c);
    }

    void damagedFilesNameTheBlock_data()
    {
        QTest::addColumn<int>("byteOffset"); // into staidx1.mul, or -1: statics1.mul record 0's x
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        // Block (0,0) holds statics; its index record is the file's first.
        QTest::newRow("offset past the end") << 0 << QByteArray("\x00\x00\x00\x10", 4) << QStringLiteral("past the end");
        QTest::newRow("length not a multiple of 7") << 4 << QByteArray("\x08\x00\x00\x00", 4) << QStringLiteral("multiple of 7");
        QTest::newRow("huge length") << 4 << QByteArray("\x60\xae\x0a\x00", 4) << QStringLiteral("more than");
        QTest::newRow("cell outside its block") << -1 << QByteArray("\x09", 1) << QStringLiteral("outside its block");
    }
    void damagedFilesNameTheBlock()
    {
        QFETCH(int, byteOffset);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString dir = write(QStringLiteral("damaged"));
        QFile f(dir + (byteOffset < 0 ? QStringLiteral("/statics1.mul") : QStringLiteral("/staidx1.mul")));
        QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(byteOffset < 0 ? 2 : byteOffset) && f.write(bytes) == bytes.size());
        f.close();
        WorldFacet facet;
        QVERIFY(facet.open(dir, 1, QSize(W, H)));
        QString error;
        WorldCapture::Request whole;
        whole.area = QRect(0, 0, 16, 16);
        QVERIFY(!WorldCapture::capture(facet, whole, m_data, &error));
        QVERIFY2(error.contains(message) && error.contains(QLatin1String("block 0,0")), qPrintable(error));
        QVERIFY(WorldOverview::build(facet, QVector<QRgb>(WorldOverview::Colours), {}, &error).isNull());
    }

    // Terrain that can no longer be read once the facet is open: an error naming it, no capture.
    void unreadableTerrainIsAnError()
    {
        const QString dir = write(QStringLiteral("shrunk"));
        WorldFacet facet;
        QVERIFY(facet.open(dir, 1, QSize(W, H)));
        QVERIFY(QFile::resize(dir + QStringLiteral("/map1.mul"), 0));
        WorldCapture::Request r{QRect(0, 0, 16, 16), -128, 127, {}, 0, true};
        QString error;
        QVERIFY(!WorldCapture::capture(facet, r, m_data, &error));
        QVERIFY2(error.contains(QLatin1String("terrain cannot be read")), qPrintable(error));
    }

    void sizeComesFromTheTerrainLength()
    {
        const QString dir = m_dir.filePath(QStringLiteral("sizes"));
        QVERIFY(QDir().mkpath(dir));
        auto make = [&](int facet, qint64 blocks) {
            for (const auto &[name, bytes] : {std::pair{QStringLiteral("map%1.mul"), 196}, {QStringLiteral("staidx%1.mul"), 12}, {QStringLiteral("statics%1.mul"), 0}}) {
                QFile f(dir + QLatin1Char('/') + name.arg(facet));
                QVERIFY(f.open(QIODevice::WriteOnly) && f.resize(blocks * bytes));
            }
        };
        make(4, 181 * 181);
        make(3, 320 * 256);
        make(5, 320 * 256);
        make(2, 1000);
        const QSize want[] = {{}, {}, {}, {2560, 2048}, {1448, 1448}, {1280, 4096}};
        for (int facet : {3, 4, 5}) {
            WorldFacet f;
            QVERIFY2(f.open(dir, facet), qPrintable(f.errorString()));
            QCOMPARE(f.size(), want[facet]);
        }
        WorldFacet odd;
        QVERIFY(!odd.open(dir, 2));
        QVERIFY2(odd.errorString().contains(QLatin1String("give the size")), qPrintable(odd.errorString()));
        QVERIFY(odd.open(dir, 2, QSize(80, 800)));
        QCOMPARE(WorldFacet::facetsIn(dir), (QVector<int>{2, 3, 4, 5}));
    }

    void overviewShowsTheHighestStatic()
    {
        WorldFacet facet;
        QVERIFY(facet.open(write(QStringLiteral("overview")), 1, QSize(W, H)));
        QVector<QRgb> colours(WorldOverview::Colours);
        for (int i = 0; i < colours.size(); ++i)
            colours[i] = qRgb(i & 0xff, (i >> 8) & 0xff, 7);
        int progressCalls = 0;
        QString error;
        const QImage image = WorldOverview::build(facet, colours, [&](int, int) { return ++progressCalls > 0; }, &error);
        QCOMPARE(image.size(), QSize(W, H));
        QCOMPARE(progressCalls, W / 8);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                int id = land(x, y).id, top = -1000;
                for (const FacetWriter::Static &s : blockStatics(x / 8, y / 8))
                    if (s.x == x && s.y == y && s.z >= top)
                        top = s.z, id = 0x4000 + s.id;
                QCOMPARE(image.pixel(x, y), colours[id]);
            }
        QVERIFY(WorldOverview::build(facet, colours, [](int done, int) { return done < 3; }, &error).isNull());
        QCOMPARE(WorldOverview::fromRadar(0x7FFF), qRgb(255, 255, 255));
        QCOMPARE(WorldOverview::fromRadar(0x001F), qRgb(0, 0, 255));
    }

    void mltoolCapturesToAFile()
    {
        const QString dir = write(QStringLiteral("tool"));
        const QString out = m_dir.filePath(QStringLiteral("area.csv"));
        MlToolRun r = MlToolRun::of({QStringLiteral("capture"), dir, QStringLiteral("1"), QStringLiteral("20"), QStringLiteral("20"), QStringLiteral("10"),
                                     QStringLiteral("10"), out, QStringLiteral("--size"), QStringLiteral("64x48"), QStringLiteral("--z"), QStringLiteral("-50:50"),
                                     QStringLiteral("--base"), QStringLiteral("3")});
        QVERIFY2(r.status == 0, qPrintable(r.err));
        QFile csv(out);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        int want = 0;
        for (int bx = 1; bx <= 2; ++bx)
            for (int by = 1; by <= 2; ++by)
                for (const FacetWriter::Static &s : blockStatics(bx, by))
                    want += s.x >= 10 && s.x <= 20 && s.y >= 10 && s.y <= 20 && s.z >= -50 && s.z <= 50;
        QCOMPARE(csv.readAll().count('\n') - 1, want);
        r = MlToolRun::of({QStringLiteral("capture"), dir, QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("9"), QStringLiteral("9"), out});
        QCOMPARE(r.status, 1); // 64 x 48 fits no facet size without --size
        QVERIFY2(r.err.contains(QLatin1String("give the size")), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestWorldMap)
#include "test_worldmap.moc"
