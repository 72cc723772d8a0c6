#include "ArtFixture.h"
#include "data/ArtReader.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QVector<quint16> solid(int w, int h, quint16 colour)
{
    return QVector<quint16>(w * h, colour);
}

// Only the first and last column drawn: keeps large entries small.
QVector<quint16> frame(int w, int h, quint16 colour)
{
    QVector<quint16> px(w * h, 0);
    for (int y = 0; y < h; ++y)
        px[y * w] = px[y * w + w - 1] = colour;
    return px;
}

struct Texture {
    const quint32 *block = nullptr;
    int tw = 0, th = 0, w = 0, h = 0;
};

Texture texture(ArtReader &r, int id, const quint16 *hue = nullptr, bool partial = false,
                quint32 mask = 0xFF000000)
{
    Texture t;
    t.block = r.staticTexture(id, hue, partial, mask, t.tw, t.th, t.w, t.h);
    return t;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Red field r, green g, blue b.
quint16 rgb(int r, int g, int b) { return quint16(r << 10 | g << 5 | b); }

} // namespace

class TestArtReader : public QObject
{
    Q_OBJECT
private slots:
    void textureBlockSizes_data();
    void textureBlockSizes();
    void texturePaddingAndColours();
    void terrainDiamond();
    void hueRule();
    void entriesWithoutArt();
    void damagedRuns();
    void bigIndex();
    void cacheEvictsLeastRecentlyUsed();
    void randomDamageNeverEscapes();
};

void TestArtReader::textureBlockSizes_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("tw");
    QTest::addColumn<int>("th");
    QTest::addColumn<bool>("full");
    QTest::newRow("20x100") << 20 << 100 << 32 << 128 << true;
    QTest::newRow("300x300") << 300 << 300 << 512 << 512 << false;
    QTest::newRow("600x40 grows past 512") << 600 << 40 << 1024 << 64 << false;
    QTest::newRow("2049 wide is no art") << 2049 << 2 << 0 << 0 << false;
    QTest::newRow("2 x 2049 is no art") << 2 << 2049 << 0 << 0 << false;
    // Rows start past word 32767 of the run lists: line table values are unsigned.
    QTest::newRow("2048x20 full") << 2048 << 20 << 2048 << 32 << true;
}

void TestArtReader::textureBlockSizes()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(int, tw);
    QFETCH(int, th);
    QFETCH(bool, full);
    ArtFixture f;
    f.addStatic(5, w, h, full ? solid(w, h, 0x1234) : frame(w, h, 0x1234));
    ArtReader r;
    r.loadFromBytes(f.index(), f.data());
    const Texture t = texture(r, 5);
    QCOMPARE(t.tw, tw);
    QCOMPARE(t.th, th);
    QCOMPARE(t.w, tw ? w : 0);
    QCOMPARE(t.h, th ? h : 0);
    QCOMPARE(t.block != nullptr, tw != 0);
    if (t.block) // the last pixel of the image lies inside the block
        QVERIFY(t.block[(h - 1) * tw + w - 1] != 0);
}

void TestArtReader::texturePaddingAndColours()
{
    ArtFixture f;
    f.addStatic(1, 20, 100, solid(20, 100, rgb(1, 2, 3)));
    f.addStatic(2, 40, 40, solid(40, 40, 0x7FFF));
    ArtReader r;
    r.loadFromBytes(f.index(), f.data());
    // A larger block first, so stale words would show in the smaller one.
    texture(r, 2);
    const Texture t = texture(r, 1, nullptr, false, 0xC8000000);
    QVERIFY(t.block);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 32; ++x) {
            const quint32 expect = (x < 20 && y < 100) ? 0xC8000000 | 8 | 16 << 8 | 24 << 16 : 0;
            QCOMPARE(t.block[y * 32 + x], expect);
        }
    }
    const Texture white = texture(r, 2);
    QCOMPARE(white.block[0], 0xFFF8F8F8u);
    const auto *bytes = reinterpret_cast<const uchar *>(white.block);
    QCOMPARE(int(bytes[0]), 248); // red first in memory, alpha last
    QCOMPARE(int(bytes[3]), 255);

    const QImage img = r.staticImage(2, nullptr, false);
    QCOMPARE(img.format(), QImage::Format_ARGB32);
    QCOMPARE(img.pixel(39, 39), qRgba(248, 248, 248, 255));
    int w = 0, h = 0;
    QCOMPARE(r.staticPixels(1, w, h)->size(), 4 + 2 * 20 * 100);
    QCOMPARE(QSize(w, h), QSize(20, 100));
}

void TestArtReader::terrainDiamond()
{
    ArtFixture f;
    f.addLand(3, rgb(4, 5, 6));
    ArtReader r;
    r.loadFromBytes(f.index(), f.data());
    QCOMPARE(r.landPixels(3)->size(), 3872);
    const QImage img = r.landImage(3, nullptr, false);
    QCOMPARE(img.size(), QSize(44, 44));
    auto drawn = [&img](int y) {
        QList<int> xs;
        for (int x = 0; x < 44; ++x)
            if (qAlpha(img.pixel(x, y)))
                xs << x;
        return xs;
    };
    QCOMPARE(drawn(0), (QList<int>{21, 22}));
    QCOMPARE(drawn(43), (QList<int>{21, 22}));
    QCOMPARE(drawn(21).size(), 44);
    QCOMPARE(drawn(22).size(), 44);
    QCOMPARE(drawn(10).first(), 11);
    QCOMPARE(drawn(10).size(), 22);
    QCOMPARE(img.pixel(21, 0), qRgba(32, 40, 48, 255));
    QVERIFY(r.landImage(4, nullptr, false).isNull());
    QVERIFY(!r.landPixels(0x4000)); // terrain ids stay in the terrain half
    QVERIFY(!r.landPixels(-1));
}

void TestArtReader::hueRule()
{
    QVector<quint16> px{rgb(10, 10, 10), rgb(10, 12, 10), 0};
    ArtFixture f;
    f.addStatic(0, 3, 1, px);
    f.addLand(0, rgb(2, 9, 9));
    ArtReader r;
    r.loadFromBytes(f.index(), f.data());
    quint16 hue[32];
    for (int i = 0; i < 32; ++i)
        hue[i] = rgb(i, 31 - i, 0);

    QImage partial = r.staticImage(0, hue, true);
    QCOMPARE(partial.pixel(0, 0), qRgba(80, 21 * 8, 0, 255)); // grey takes hue colour 10
    QCOMPARE(partial.pixel(1, 0), qRgba(80, 96, 80, 255));    // not grey: kept
    QCOMPARE(qAlpha(partial.pixel(2, 0)), 0);                 // transparent stays so

    QImage full = r.staticImage(0, hue, false);
    QCOMPARE(full.pixel(1, 0), qRgba(80, 21 * 8, 0, 255));
    QCOMPARE(qAlpha(full.pixel(2, 0)), 0);

    const Texture t = texture(r, 0, hue, false);
    QCOMPARE(t.block[1], 0xFF000000u | 80 | (21 * 8) << 8);
    QCOMPARE(t.block[2], 0u);
    QCOMPARE(r.landImage(0, hue, false).pixel(21, 0), qRgba(16, 29 * 8, 0, 255));
}

void TestArtReader::entriesWithoutArt()
{
    ArtFixture f;
    f.addStatic(1, 4, 4, solid(4, 4, 1));
    f.setRecord(0x4000 + 2, -1, 100);
    f.setRecord(0x4000 + 3, 0, 0);
    f.setRecord(0x4000 + 4, 0, 1 << 30);                      // larger than the data file
    f.addEntry(0x4000 + 6, LeBytes().u32(0).u16(0).u16(5).zeros(20).data());  // W = 0
    f.addEntry(0x4000 + 7, LeBytes().u32(0).u16(5).u16(0).zeros(20).data());  // H = 0
    f.addEntry(0x4000 + 8, LeBytes().u32(0).u16(4).u16(100).zeros(8).data()); // line table cut
    f.addEntry(0x4000 + 9, LeBytes().u32(0).u16(4).data());                   // header cut
    f.setRecord(0x4000 + 10, -5, 8);
    f.setRecord(0x4000 + 5, f.data().size() - 4, 40); // runs past the end
    ArtReader r;
    r.loadFromBytes(f.index(), f.data());
    for (int id = 2; id <= 10; ++id) {
        const Texture t = texture(r, id);
        QVERIFY2(!t.block && !t.tw && !t.th && !t.w && !t.h, qPrintable(QString::number(id)));
        QVERIFY(r.staticImage(id, nullptr, false).isNull());
    }
    QVERIFY(texture(r, 1).block);
    QVERIFY(!texture(r, -1).block);
    QVERIFY(!texture(r, 0x4000).block); // past a classic index

    ArtReader missing(QStringLiteral("/nonexistent/artidx.mul"), QStringLiteral("/nonexistent/art.mul"),
                      QStringLiteral("/nonexistent/texidx.mul"), QStringLiteral("/nonexistent/texmaps.mul"));
    QCOMPARE(missing.staticCount(), 0x4000);
    QVERIFY(!texture(missing, 1).block);
    QVERIFY(missing.landImage(1, nullptr, false).isNull());
}

void TestArtReader::damagedRuns()
{
    // Row 0: a run of 6 starting at x 2 in a 4 wide image, then one from x -3.
    // Row 1: line table value far past the entry. Row 2: a good run.
    LeBytes row0, row2;
    row0.u16(2).u16(6);
    for (int i = 0; i < 6; ++i)
        row0.u16(rgb(1, 1, 1));
    row0.u16(-11).u16(4);
    for (int i = 0; i < 4; ++i)
        row0.u16(rgb(2, 2, 2));
    row0.u16(0).u16(0);
    row2.u16(1).u16(1).u16(rgb(3, 3, 3)).u16(0).u16(0);
    LeBytes e;
    e.u32(0).u16(4).u16(3);
    e.u16(0).u16(30000).u16(row0.size() / 2);
    e.bytes(row0.data()).bytes(row2.data());
    // An entry whose last run claims more colours than the entry holds.
    LeBytes cut;
    cut.u32(0).u16(8).u16(1).u16(0).u16(0).u16(1000).u16(rgb(4, 4, 4));

    ArtFixture f;
    f.addEntry(0x4000 + 1, e.data());
    f.addEntry(0x4000 + 2, cut.data());
    ArtReader r;
    r.loadFromBytes(f.index(), f.data());
    const QImage img = r.staticImage(1, nullptr, false);
    QCOMPARE(img.size(), QSize(4, 3));
    QCOMPARE(img.pixel(0, 0), qRgba(16, 16, 16, 255)); // -3 .. 0 clipped to column 0
    QCOMPARE(img.pixel(1, 0), qRgba(0, 0, 0, 0));
    QCOMPARE(img.pixel(2, 0), qRgba(8, 8, 8, 255));
    QCOMPARE(img.pixel(3, 0), qRgba(8, 8, 8, 255));
    for (int x = 0; x < 4; ++x)
        QCOMPARE(qAlpha(img.pixel(x, 1)), 0);
    QCOMPARE(img.pixel(1, 2), qRgba(24, 24, 24, 255));

    const QImage partial = r.staticImage(2, nullptr, false);
    QCOMPARE(partial.pixel(0, 0), qRgba(32, 32, 32, 255));
    QCOMPARE(qAlpha(partial.pixel(1, 0)), 0);
}

void TestArtReader::bigIndex()
{
    ArtFixture f(0x4000 + 40001);
    f.addStatic(40000, 2, 2, solid(2, 2, rgb(7, 0, 0)));
    f.addStatic(3, 2, 2, solid(2, 2, rgb(0, 7, 0)));
    ArtReader r;
    r.loadFromBytes(f.index(), f.data());
    QCOMPARE(r.staticCount(), 40001);
    QCOMPARE(r.staticImage(40000, nullptr, false).pixel(0, 0), qRgba(56, 0, 0, 255));
    QCOMPARE(r.staticImage(3, nullptr, false).pixel(1, 1), qRgba(0, 56, 0, 255));
    QVERIFY(r.staticImage(40001, nullptr, false).isNull());

    // A trailing partial record is not a record.
    r.loadFromBytes(f.index() + QByteArray(7, '\0'), f.data());
    QCOMPARE(r.staticCount(), 40001);
}

void TestArtReader::cacheEvictsLeastRecentlyUsed()
{
    ArtFixture f;
    for (int id = 0; id < 21; ++id)
        f.addStatic(id, 1, 1, {rgb(1, 1, 1)});
    QTemporaryDir dir;
    const QString idx = dir.filePath(QStringLiteral("artidx.mul"));
    const QString mul = dir.filePath(QStringLiteral("art.mul"));
    QVERIFY(writeFile(idx, f.index()));
    QVERIFY(writeFile(mul, f.data()));
    ArtReader r(idx, mul, QString(), QString());
    for (int id = 0; id < 21; ++id)
        QVERIFY(r.staticImage(id, nullptr, false).pixel(0, 0) == qRgba(8, 8, 8, 255));

    // Recolour every entry on disk: only what was evicted is read again.
    ArtFixture g;
    for (int id = 0; id < 21; ++id)
        g.addStatic(id, 1, 1, {rgb(2, 2, 2)});
    QFile file(mul);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.write(g.data());
    file.close();
    QCOMPARE(r.staticImage(20, nullptr, false).pixel(0, 0), qRgba(8, 8, 8, 255));
    QCOMPARE(r.staticImage(0, nullptr, false).pixel(0, 0), qRgba(16, 16, 16, 255));

    r.load(idx, mul, QString(), QString()); // a reload forgets everything
    QCOMPARE(r.staticImage(20, nullptr, false).pixel(0, 0), qRgba(16, 16, 16, 255));
}

void TestArtReader::randomDamageNeverEscapes()
{
    const QByteArray good = ArtFixture::staticEntry(37, 29, solid(37, 29, rgb(5, 5, 5)));
    QRandomGenerator rng(1234);
    ArtReader r;
    for (int round = 0; round < 300; ++round) {
        QByteArray bad = good;
        const int flips = 1 + int(rng.bounded(12));
        for (int i = 0; i < flips; ++i)
            bad[int(rng.bounded(int(bad.size())))] = char(rng.bounded(256));
        if (round % 3 == 0)
            bad.truncate(int(rng.bounded(int(bad.size()))));
        ArtFixture f;
        f.addEntry(0x4000, bad);
        f.addEntry(0, bad.left(int(rng.bounded(2100))));
        r.loadFromBytes(f.index(), f.data());
        const Texture t = texture(r, 0);
        if (t.block) {
            QVERIFY(t.w <= t.tw && t.h <= t.th && t.tw <= 2048 && t.th <= 2048);
            if (t.h < t.th)
                QCOMPARE(t.block[t.tw * t.th - 1], 0u);
        }
        const QImage img = r.staticImage(0, nullptr, true);
        QCOMPARE(img.isNull(), t.block == nullptr);
        r.landImage(0, nullptr, false);
    }
}

QTEST_GUILESS_MAIN(TestArtReader)
#include "test_artreader.moc"
