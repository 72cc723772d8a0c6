#include "MulWriter.h"

#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/TileData.h"

#include <QDataStream>
#include <QPainter>
#include <QtTest>

// The writers checked against the project's own readers.
class TestMulWriter : public QObject
{
    Q_OBJECT

private slots:
    void colourConversion();
    void landEntryKeepsTheDiamond();
    void staticEntryRoundTrip();
    void staticEntryRejectsWhatCannotBeStored();
    void tileDataBothLayouts();
    void huesBlocksAndNames();
    void multiRecordsAndIndex();
};

void TestMulWriter::colourConversion()
{
    QCOMPARE(MulWriter::colour(qRgb(255, 255, 255)), quint16(0x7FFF));
    QCOMPARE(MulWriter::colour(qRgb(8, 16, 24)), quint16(1 << 10 | 2 << 5 | 3));
    QCOMPARE(MulWriter::colour(qRgb(0, 0, 0)), quint16(0x0421));
    QCOMPARE(MulWriter::colour(qRgba(255, 0, 0, 100)), quint16(0));
}

void TestMulWriter::landEntryKeepsTheDiamond()
{
    QImage img(44, 44, QImage::Format_ARGB32);
    img.fill(qRgb(0, 0, 248));
    img.setPixel(21, 0, qRgb(248, 0, 0));
    img.setPixel(0, 0, qRgb(0, 248, 0)); // outside the diamond: dropped
    const QByteArray entry = MulWriter::landEntry(img);
    QCOMPARE(entry.size(), 2024);

    ArtReader art;
    const auto files = MulWriter::indexedFile({{5, entry}}, MulWriter::ClassicArtRecords);
    art.loadFromBytes(files.index, files.data);
    const QImage back = art.landImage(5, nullptr, false);
    QCOMPARE(back.size(), QSize(44, 44));
    QCOMPARE(back.pixel(21, 0), qRgb(248, 0, 0));
    QCOMPARE(back.pixel(22, 0), qRgb(0, 0, 248));
    QCOMPARE(qAlpha(back.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(back.pixel(20, 0)), 0);
    for (int x = 0; x < 44; ++x)
        QCOMPARE(qAlpha(back.pixel(x, 21)), 255);
    QCOMPARE(qAlpha(back.pixel(21, 43)), 255);
    QCOMPARE(qAlpha(back.pixel(20, 43)), 0);
    QVERIFY(art.landImage(6, nullptr, false).isNull());
}

void TestMulWriter::staticEntryRoundTrip()
{
    // Rows with leading, inner and trailing gaps, an empty row and a full row.
    QImage img(30, 7, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.fillRect(3, 0, 5, 1, QColor(200, 100, 40));
    p.fillRect(20, 0, 4, 1, QColor(0, 0, 0));
    p.fillRect(0, 2, 30, 1, QColor(255, 255, 255));
    p.fillRect(29, 4, 1, 3, QColor(80, 160, 240));
    p.end();
    const QMap<int, QImage> statics{{700, img}};
    const auto files = MulWriter::artFiles({}, statics);
    QCOMPARE(files.index.size(), 32768 * 12);

    ArtReader art;
    art.loadFromBytes(files.index, files.data);
    const QImage back = art.staticImage(700, nullptr, false);
    QCOMPARE(back.size(), img.size());
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QRgb want = img.pixel(x, y);
            const QRgb got = back.pixel(x, y);
            QCOMPARE(qAlpha(got), qAlpha(want));
            if (qAlpha(want))
                QCOMPARE(MulWriter::colour(got), MulWriter::colour(want));
        }
    }
    QVERIFY(art.staticImage(699, nullptr, false).isNull());
}

void TestMulWriter::staticEntryRejectsWhatCannotBeStored()
{
    // 300 x 300 of alternating pixels needs far more than 32767 words of runs.
    QVector<quint16> colours(300 * 300);
    for (int i = 0; i < colours.size(); ++i)
        colours[i] = (i % 2) ? 0x7FFF : 0;
    QVERIFY(MulWriter::staticEntry(300, 300, colours).isEmpty());
    QVERIFY(!MulWriter::staticEntry(100, 100, colours.mid(0, 10000)).isEmpty());
    QVERIFY(MulWriter::staticEntry(-1, 10, colours).isEmpty());
    QVERIFY(MulWriter::staticEntry(0x10000, 1, colours).isEmpty());
    QVERIFY(MulWriter::staticEntry(0xFFFF, 0xFFFF, colours).isEmpty()); // would overflow the pixel count
    // A short colour list leaves the rest transparent.
    const QByteArray shortList = MulWriter::staticEntry(4, 2, {0x7FFF});
    QCOMPARE(shortList.size(), 8 + 2 * 2 + (2 + 2 + 1 + 2) * 2);
}

void TestMulWriter::tileDataBothLayouts()
{
    const QMap<int, MulWriter::LandInfo> land{{3, {0x1, 77, "grass"}}};
    const QMap<int, MulWriter::StaticInfo> statics{
        {1000, {0x40001, 20, "abcdefghijklmnopqrstuvwxyz"}}, {16383, {0x2, 6, "last"}}};
    for (auto layout : {MulWriter::TileDataLayout::Classic, MulWriter::TileDataLayout::Flags64}) {
        const QByteArray bytes = MulWriter::tileData(land, statics, layout);
        const bool wide = layout == MulWriter::TileDataLayout::Flags64;
        QCOMPARE(bytes.size(), wide ? 512 * (4 + 32 * 30) + 512 * (4 + 32 * 41)
                                    : MulWriter::TileDataLandSection + 512 * (4 + 32 * 37));
        TileData td;
        td.loadFromBytes(bytes);
        QCOMPARE(td.landInfo(3).name, QStringLiteral("grass"));
        QCOMPARE(td.landInfo(3).textureId, quint16(77));
        QCOMPARE(td.landInfo(3).flags, 0x1u);
        QCOMPARE(td.staticInfo(1000).flags, 0x40001u);
        QCOMPARE(td.staticInfo(1000).height, quint8(20));
        QCOMPARE(td.staticInfo(1000).name, QStringLiteral("abcdefghijklmnopqrst"));
        QCOMPARE(td.staticInfo(16383).name, QStringLiteral("last"));
        QCOMPARE(td.staticInfo(999).name, QString());
    }
}

void TestMulWriter::huesBlocksAndNames()
{
    QVector<MulWriter::Hue> hues;
    for (int h = 0; h < 9; ++h) {
        MulWriter::Hue hue;
        for (int c = 0; c < 32; ++c)
            hue.colours.append(quint16(h * 100 + c));
        hue.tableStart = quint16(h);
        hue.name = "hue " + QByteArray::number(h + 1);
        hues.append(hue);
    }
    const QByteArray bytes = MulWriter::hues(hues);
    QCOMPARE(bytes.size(), 2 * 708);
    // The name sits after the colours and the two table words of its entry.
    QCOMPARE(bytes.mid(4 + 88 + 68, 5), QByteArray("hue 2"));

    HueTable table;
    table.loadFromBytes(bytes);
    QCOMPARE(table.count(), 16);
    QCOMPARE(table.colours(1)[0], quint16(0));
    QCOMPARE(table.colours(1)[31], quint16(31));
    QCOMPARE(table.colours(9)[5], quint16(805));
    QCOMPARE(table.colours(10)[5], quint16(0));
}

void TestMulWriter::multiRecordsAndIndex()
{
    const QVector<MulWriter::MultiTile> tiles{{1000, 0, 0, 0, 1}, {1100, -3, 2, 20, 0x10000}};
    const QByteArray twelve = MulWriter::multiEntry(tiles);
    const QByteArray sixteen = MulWriter::multiEntry(tiles, 16);
    QCOMPARE(twelve.size(), 24);
    QCOMPARE(sixteen.size(), 32);
    QCOMPARE(sixteen.mid(16, 12), twelve.mid(12, 12));

    QDataStream in(twelve.mid(12));
    in.setByteOrder(QDataStream::LittleEndian);
    quint16 id;
    qint16 x, y, z;
    quint32 flags;
    in >> id >> x >> y >> z >> flags;
    QCOMPARE(id, quint16(1100));
    QCOMPARE(x, qint16(-3));
    QCOMPARE(y, qint16(2));
    QCOMPARE(z, qint16(20));
    QCOMPARE(flags, 0x10000u);

    auto files = MulWriter::multiFiles({{1, tiles}, {3, tiles.mid(0, 1)}}, 5);
    MulWriter::putIndexRecord(files.index, 6, {0, 0, 7});
    QCOMPARE(files.index.size(), 7 * 12);
    QCOMPARE(files.data.size(), 36);
    QDataStream idx(files.index);
    idx.setByteOrder(QDataStream::LittleEndian);
    QVector<qint32> words;
    while (!idx.atEnd()) {
        qint32 w;
        idx >> w;
        words.append(w);
    }
    const QVector<qint32> expected{-1, -1, 0, 0, 24, 0, -1, -1, 0, 24, 12, 0,
                                   -1, -1, 0, 0,  0, 0, 0,  0,  7};
    QCOMPARE(words, expected);
}

QTEST_GUILESS_MAIN(TestMulWriter)
#include "test_mulwriter.moc"
