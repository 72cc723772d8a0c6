#include "MulWriter.h"

#include "data/TileData.h"

#include <QtEndian>
#include <QTest>

// What the sample set does not reach: limits, the wide tile data layout, 16-byte
// multi records and the index itself. The generator's test reads the rest back.
class TestMulWriter : public QObject
{
    Q_OBJECT

private slots:
    void coloursAndArtLimits()
    {
        // Drawn black must not become 0, which is transparent; a mostly transparent pixel does.
        QCOMPARE(MulWriter::colour(qRgb(8, 16, 24)), quint16(1 << 10 | 2 << 5 | 3));
        QCOMPARE(MulWriter::colour(qRgb(0, 0, 0)), quint16(0x0421));
        QCOMPARE(MulWriter::colour(qRgba(255, 0, 0, 100)), quint16(0));
        // 300 rows of 300 pixels need more than the 32767 words the line table reaches.
        const QVector<quint16> colours(300 * 300, 0x7FFF);
        QVERIFY(MulWriter::staticEntry(300, 300, colours).isEmpty());
        QVERIFY(!MulWriter::staticEntry(100, 100, colours.mid(0, 10000)).isEmpty());
        // Sizes out of range, and one whose pixel count would overflow.
        for (const QSize size : {QSize(-1, 10), QSize(0x10000, 1), QSize(0xFFFF, 0xFFFF)})
            QVERIFY(MulWriter::staticEntry(size.width(), size.height(), colours).isEmpty());
        // A short colour list leaves the rest transparent.
        QCOMPARE(MulWriter::staticEntry(4, 2, {0x7FFF}).size(), 8 + 2 * 2 + (2 + 2 + 1 + 2) * 2);
    }

    // Names longer than their 20 bytes are cut, in both layouts: the next record stays in place.
    void tileDataNamesAreCut()
    {
        for (auto layout : {MulWriter::TileDataLayout::Classic, MulWriter::TileDataLayout::Flags64}) {
            TileData td;
            const QByteArray longName = "abcdefghijklmnopqrstuvwxyz";
            td.loadFromBytes(MulWriter::tileData({{3, {0x1, 77, longName}}, {4, {0x2, 5, "dirt"}}},
                                                 {{1000, {0x40001, 20, longName}}, {1001, {0x2, 6, "next"}}}, layout));
            QCOMPARE(td.landInfo(3).name, QStringLiteral("abcdefghijklmnopqrst"));
            QCOMPARE(QString::number(td.landInfo(4).textureId) + td.landInfo(4).name, QStringLiteral("5dirt"));
            QCOMPARE(td.staticInfo(1000).name, QStringLiteral("abcdefghijklmnopqrst"));
            const TileInfo next = td.staticInfo(1001);
            QCOMPARE(QStringLiteral("%1 %2 ").arg(next.flags).arg(next.height) + next.name, QStringLiteral("2 6 next"));
        }
    }

    void multiRecordsAndIndex()
    {
        const QVector<MulWriter::MultiTile> tiles{{1000, 0, 0, 0, 1}, {1100, -3, 2, 20, 0x10000}};
        const QByteArray twelve = MulWriter::multiEntry(tiles);
        QCOMPARE(twelve.mid(12).toHex(), QByteArray("4c04fdff0200140000000100"));
        QCOMPARE(MulWriter::multiEntry(tiles, 16).toHex(),
                 twelve.left(12).toHex() + "00000000" + twelve.mid(12).toHex() + "00000000");
        // Entry numbers outside the index are dropped; a record past its end grows it.
        auto files = MulWriter::multiFiles({{1, tiles}, {3, tiles.mid(0, 1)}, {9, tiles}}, 5);
        MulWriter::putIndexRecord(files.index, 6, {0, 0, 7});
        QCOMPARE(files.data.size(), 36);
        QVector<qint32> words(files.index.size() / 4);
        qFromLittleEndian<qint32>(files.index.constData(), words.size(), words.data());
        QCOMPARE(words, QVector<qint32>({-1, -1, 0, 0, 24, 0, -1, -1, 0, 24, 12, 0, -1, -1, 0, 0, 0, 0, 0, 0, 7}));
    }
};

QTEST_GUILESS_MAIN(TestMulWriter)
#include "test_mulwriter.moc"
