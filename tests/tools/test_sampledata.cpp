#include "SampleRun.h"

#include "MulWriter.h"
#include "SampleCatalogue.h"
#include "SampleHues.h"
#include "SampleMultis.h"

#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/MultiFile.h"
#include "data/TileData.h"

#include <QtTest>

#include <algorithm>
#include <memory>

// The generated set, read back by the editor's own readers.
class TestSampleData : public QObject
{
    Q_OBJECT

    std::unique_ptr<SampleRun> m_run;
    std::unique_ptr<ArtReader> m_art;
    TileData m_tiles;
    HueTable m_hues;

    static const QStringList &dataFiles()
    {
        static const QStringList files{"artidx.mul", "art.mul", "tiledata.mul", "hues.mul", "multi.idx",
                                       "multi.mul", "texidx.mul", "texmaps.mul"};
        return files;
    }
    static QByteArray bytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static bool inRanges(int id, const QVector<QPair<int, int>> &ranges)
    {
        for (const auto &r : ranges)
            if (id >= r.first && id <= r.second)
                return true;
        return false;
    }
    // The view leaves these out while it shows art and terrain together.
    static bool noDrawArt(int id)
    {
        return inRanges(id, {{0, 1},         {7182, 7185},   {8273, 8274},   {8291, 8297},
                             {8600, 8612},   {8636, 8636},   {9224, 9224},   {10269, 10287},
                             {12073, 12086}, {12112, 12117}, {12219, 12220}, {12243, 12243},
                             {12366, 12367}, {12388, 12389}, {12578, 12582}, {14768, 14768},
                             {14781, 14786}, {14855, 14856}, {14933, 15003}});
    }
    static bool noDrawLand(int id)
    {
        return inRanges(id, {{0, 0}, {2, 2}, {431, 437}, {14824, 14856}});
    }
    // First differing pixel, compared as the game colours they store; empty when equal.
    // Terrain keeps only its diamond, so pixels the file does not hold are skipped there.
    static QString difference(const QImage &read, const QImage &drawn, bool diamondOnly = false)
    {
        if (read.size() != drawn.size())
            return QStringLiteral("size differs");
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                if (diamondOnly && !qAlpha(read.pixel(x, y)))
                    continue;
                const quint16 want = MulWriter::colour(drawn.pixel(x, y));
                const quint16 got = MulWriter::colour(read.pixel(x, y));
                if (want != got)
                    return QStringLiteral("pixel %1,%2: %3 != %4").arg(x).arg(y).arg(got).arg(want);
            }
        return QString();
    }
    static int opaquePixels(const QImage &img)
    {
        int n = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                n += qAlpha(img.pixel(x, y)) == 255;
        return n;
    }

private slots:
    void initTestCase();
    void generatorIsDeterministic();
    void generatorReportsAFailedWrite();
    void artMatchesTheDrawings();
    void tilesHaveTheirShapes();
    void partialHueTakesOnlyGreys();
    void tileDataDescribesEveryTile();
    void huesAreSmoothRamps();
    void multisReadBackAroundTheOrigin();
    void indexHasAbsentAndEmptyRecords();
};

void TestSampleData::initTestCase()
{
    m_run = std::make_unique<SampleRun>();
    QVERIFY(m_run->ok);
    m_art = std::make_unique<ArtReader>(m_run->data("artidx.mul"), m_run->data("art.mul"),
                                        m_run->data("texidx.mul"), m_run->data("texmaps.mul"));
    m_tiles.load(m_run->data("tiledata.mul"));
    m_hues.load(m_run->data("hues.mul"));
}

void TestSampleData::generatorIsDeterministic()
{
    SampleRun second;
    QVERIFY(second.ok);
    for (const QString &name : dataFiles())
        QVERIFY2(bytes(m_run->data(name)) == bytes(second.data(name)), qPrintable(name));
    for (const QString &name : {QStringLiteral("palette.xml"), QStringLiteral("multi.xml")})
        QVERIFY2(bytes(m_run->xml(name)) == bytes(second.xml(name)), qPrintable(name));
    QCOMPARE(QFileInfo(m_run->data("texidx.mul")).size(), 0);
    QCOMPARE(QFileInfo(m_run->data("tiledata.mul")).size(), 428032 + 512 * (4 + 32 * 37));
}

void TestSampleData::generatorReportsAFailedWrite()
{
    // A folder cannot be made below a plain file.
    QTemporaryDir dir;
    QFile blocker(dir.filePath("file"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QProcess p;
    p.start(QStringLiteral(TILSEN_SAMPLEDATA_EXE), {dir.filePath("file/data"), dir.filePath("xml")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(p.readAllStandardError().contains("file/data"));

    p.start(QStringLiteral(TILSEN_SAMPLEDATA_EXE), {dir.filePath("only-one")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 2);
    QVERIFY(!QFileInfo::exists(dir.filePath("only-one")));
}

void TestSampleData::artMatchesTheDrawings()
{
    const auto art = SampleCatalogue::art();
    const auto land = SampleCatalogue::land();
    QVERIFY(art.size() >= 40);
    QVERIFY(land.size() >= 8);
    int noDraw = 0;
    for (const auto &t : art) {
        const QString diff = difference(m_art->staticImage(t.id, nullptr, false), t.draw());
        QVERIFY2(diff.isEmpty(), qPrintable(t.name + ": " + diff));
        noDraw += noDrawArt(t.id);
    }
    QCOMPARE(noDraw, 1); // the marker, kept to show the rule
    for (const auto &t : land) {
        const QImage read = m_art->landImage(t.id, nullptr, false);
        const QString diff = difference(read, t.draw(), true);
        QVERIFY2(diff.isEmpty(), qPrintable(t.name + ": " + diff));
        QCOMPARE(opaquePixels(read), 1012);
        QVERIFY(!noDrawLand(t.id));
    }
    QVERIFY(m_art->staticImage(999, nullptr, false).isNull());
    QVERIFY(m_art->landImage(0, nullptr, false).isNull());
}

void TestSampleData::tilesHaveTheirShapes()
{
    // Terrain: a full diamond and nothing outside it.
    const QImage grass = m_art->landImage(3, nullptr, false);
    QCOMPARE(qAlpha(grass.pixel(20, 0)), 0);
    QCOMPARE(qAlpha(grass.pixel(21, 0)), 255);
    QCOMPARE(qAlpha(grass.pixel(0, 21)), 255);
    QCOMPARE(qAlpha(grass.pixel(43, 22)), 255);
    QVERIFY(qGreen(grass.pixel(22, 22)) > qRed(grass.pixel(22, 22)));
    QVERIFY(qBlue(m_art->landImage(7, nullptr, false).pixel(22, 30)) > 100);

    for (const auto &t : SampleCatalogue::art()) {
        const QImage img = m_art->staticImage(t.id, nullptr, false);
        QCOMPARE(img.width(), 44);
        if (t.category.at(0) == QLatin1String("Floors")) {
            QCOMPARE(img.height(), 44); // floors are plain diamonds
        } else if (t.height == 20) {
            // Walls: standing on the bottom corner, one storey high.
            QVERIFY2(img.height() >= 80 && img.height() <= 120, t.name);
            QVERIFY2(qAlpha(img.pixel(21, img.height() - 1)) || qAlpha(img.pixel(22, img.height() - 1)), t.name);
        }
    }
    // The two wall facings are mirror images in outline, up to the odd edge pixel.
    const QImage ew = m_art->staticImage(SampleCatalogue::StoneWallEW, nullptr, false);
    const QImage ns = m_art->staticImage(SampleCatalogue::StoneWallNS, nullptr, false).mirrored(true, false);
    QVERIFY(qAbs(ew.height() - ns.height()) <= 1);
    int differing = 0;
    for (int y = 1; y <= qMin(ew.height(), ns.height()); ++y)
        for (int x = 0; x < 44; ++x)
            differing += !qAlpha(ew.pixel(x, ew.height() - y)) != !qAlpha(ns.pixel(x, ns.height() - y));
    QVERIFY2(differing < opaquePixels(ew) / 50, qPrintable(QString::number(differing)));
}

void TestSampleData::partialHueTakesOnlyGreys()
{
    const int vase = SampleCatalogue::Vase;
    QVERIFY(m_tiles.staticInfo(vase).flags & TileFlags::PartialHue);
    QVector<quint16> red(32);
    std::copy_n(m_hues.colours(1), 32, red.begin());
    const QImage plain = m_art->staticImage(vase, nullptr, false);
    const QImage hued = m_art->staticImage(vase, red.constData(), true);
    int greys = 0, kept = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x) {
            const QRgb p = plain.pixel(x, y);
            if (!qAlpha(p))
                continue;
            const bool grey = qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
            const quint16 expected = grey ? red[qRed(p) >> 3] : MulWriter::colour(p);
            QCOMPARE(MulWriter::colour(hued.pixel(x, y)), expected == 0 ? quint16(0x0421) : expected);
            greys += grey;
            kept += !grey;
        }
    QVERIFY(greys > 50);
    QVERIFY(kept > 20);
}

void TestSampleData::tileDataDescribesEveryTile()
{
    for (const auto &t : SampleCatalogue::art()) {
        const TileInfo info = m_tiles.staticInfo(t.id);
        QCOMPARE(info.name, QString::fromLatin1(t.name.left(20)));
        QVERIFY(!info.name.isEmpty());
        QCOMPARE(info.flags, t.flags);
        QCOMPARE(info.height, t.height);
    }
    for (const auto &t : SampleCatalogue::land())
        QCOMPARE(m_tiles.landInfo(t.id).name, QString::fromLatin1(t.name));
    const TileInfo floor = m_tiles.staticInfo(SampleCatalogue::WoodFloor);
    QVERIFY(floor.flags & TileFlags::Background);
    QCOMPARE(floor.height, quint8(0));
    const TileInfo wall = m_tiles.staticInfo(SampleCatalogue::StoneWallEW);
    QVERIFY(!(wall.flags & TileFlags::Background));
    QCOMPARE(wall.height, quint8(20));
    QCOMPARE(m_tiles.staticInfo(999).name, QString());
}

void TestSampleData::huesAreSmoothRamps()
{
    QVERIFY(m_hues.count() >= 32);
    const QByteArray file = bytes(m_run->data("hues.mul"));
    QSet<QByteArray> names;
    const auto expected = SampleHues::all();
    for (int h = 1; h <= expected.size(); ++h) {
        const quint16 *c = m_hues.colours(h);
        QVERIFY(c);
        QCOMPARE(QVector<quint16>(c, c + 32), expected[h - 1].colours);
        auto sum = [](quint16 v) { return (v >> 10 & 31) + (v >> 5 & 31) + (v & 31); };
        for (int i = 1; i < 32; ++i) {
            QVERIFY2(sum(c[i]) >= sum(c[i - 1]), qPrintable(QString::number(h)));
            QVERIFY2(sum(c[i]) - sum(c[i - 1]) <= 9, qPrintable(QString::number(h)));
        }
        // The name follows the colours and the two table words of the entry.
        const int entry = (h - 1) / 8 * 708 + 4 + (h - 1) % 8 * 88;
        const QByteArray name = file.mid(entry + 68, 20);
        QVERIFY(name.at(0) != '\0');
        names.insert(name);
    }
    QCOMPARE(names.size(), expected.size());
    // Selected tiles are drawn in this hue: it must stand out.
    const quint16 *selection = m_hues.colours(SampleHues::SelectionHue);
    QVERIFY(selection && (selection[31] >> 10 & 31) > 25 && (selection[31] >> 5 & 31) > 25);
}

void TestSampleData::multisReadBackAroundTheOrigin()
{
    MultiFile pair(m_run->data("multi.idx"), m_run->data("multi.mul"));
    QVERIFY(pair.readIndex());
    QCOMPARE(pair.recordSize(), 12);
    const QByteArray mul = bytes(m_run->data("multi.mul"));
    for (const SampleMultis::Multi &m : SampleMultis::all()) {
        TileMap tiles;
        QVERIFY(pair.readEntry(m.index, m_tiles, tiles));
        int count = 0;
        QSet<QString> keys;
        for (auto it = tiles.cbegin(); it != tiles.cend(); ++it)
            for (const TileRecord &t : it.value()) {
                ++count;
                keys.insert(t.key());
                QCOMPARE(it.key(), locationKey(t.x, t.y));
                QVERIFY2(!m_art->staticImage(t.id, nullptr, false).isNull(), qPrintable(t.key()));
                QVERIFY2(!t.name.isEmpty(), qPrintable(t.key()));
                QVERIFY(qAbs(t.x) <= 8 && qAbs(t.y) <= 8);
            }
        QCOMPARE(count, m.tiles.size());
        QCOMPARE(keys.size(), count); // no tile twice
        // The entry starts with its tile at (0, 0, 0).
        const MultiFile::IndexRecord r = pair.records().at(m.index);
        QCOMPARE(mul.mid(r.offset + 2, 6), QByteArray(6, '\0'));
    }
    TileMap house;
    QVERIFY(pair.readEntry(0, m_tiles, house));
    int houseTiles = 0;
    bool door = false;
    for (const auto &list : house)
        for (const TileRecord &t : list) {
            ++houseTiles;
            door |= t.id == SampleCatalogue::WoodDoorEW;
        }
    QVERIFY(houseTiles >= 60 && houseTiles <= 150);
    QVERIFY(door);

    TileMap tower;
    QVERIFY(pair.readEntry(1, m_tiles, tower));
    QSet<int> levels;
    bool stairs = false;
    for (const auto &list : tower)
        for (const TileRecord &t : list) {
            levels.insert(t.z);
            stairs |= t.id == SampleCatalogue::StairsNorth;
        }
    QVERIFY(stairs && levels.contains(0) && levels.contains(20));

    TileMap boat;
    QVERIFY(pair.readEntry(2, m_tiles, boat));
    const auto marker = boat.value(locationKey(0, 2));
    QVERIFY(std::any_of(marker.cbegin(), marker.cend(), [](const TileRecord &t) {
        return t.id == SampleCatalogue::Marker && t.visible == 0;
    }));
}

void TestSampleData::indexHasAbsentAndEmptyRecords()
{
    MultiFile pair(m_run->data("multi.idx"), m_run->data("multi.mul"));
    QVERIFY(pair.readIndex());
    QCOMPARE(pair.entryCount(), SampleMultis::IndexRecords);
    const auto &r = pair.records();
    QCOMPARE(r.at(SampleMultis::AbsentEntry).offset, -1);
    QCOMPARE(r.at(SampleMultis::EmptyEntry).offset, 0);
    QCOMPARE(r.at(SampleMultis::EmptyEntry).length, 0);
    TileMap tiles;
    QVERIFY(!pair.readEntry(SampleMultis::AbsentEntry, m_tiles, tiles));
    QVERIFY(!pair.readEntry(SampleMultis::EmptyEntry, m_tiles, tiles));
    QVERIFY(tiles.isEmpty());
}

QTEST_GUILESS_MAIN(TestSampleData)
#include "test_sampledata.moc"
