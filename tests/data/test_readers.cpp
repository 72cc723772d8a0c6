#include "FacetWriter.h"
#include "FileBytes.h"
#include "FileSizeLimit.h"
#include "LeWords.h"
#include "MlToolRun.h"
#include "MulWriter.h"
#include "data/ArtReader.h"
#include "data/DataFiles.h"
#include "data/HueTable.h"
#include "data/MultiNames.h"
#include "data/PaletteXml.h"
#include "data/RadarColours.h"
#include "data/TileData.h"
#include "data/UserPalette.h"
#include "data/WorldCapture.h"
#include "data/WorldFacet.h"
#include "data/WorldOverview.h"
#include "data/XmlTree.h"
#include "model/Facet.h"
#include "model/MltFile.h"
#include "model/RecoveryFile.h"
#include "model/UndoMgr.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <array>

namespace {

// Art whose every row is one run of w colours c, built by hand: the writer
// refuses line tables past word 32767, which the reader must still follow.
QByteArray fullArt(int w, int h, int c)
{
    QVector<int> v{0, 0, w, h};
    for (int y = 0; y < h; ++y)
        v << y * (w + 4);
    for (int y = 0; y < h; ++y)
        v << 0 << w << QVector<int>(w, c) << 0 << 0;
    return words(v);
}

constexpr int ArtRecord = 0x4000; // index record of art id 0; terrain id n is record n

// Loads entries keyed by index record into a classic index.
void load(ArtReader &r, const QMap<int, QByteArray> &entries)
{
    const MulWriter::IndexedFile f = MulWriter::indexedFile(entries, 0x8000);
    r.loadFromBytes(f.index, f.data);
}

struct Texture {
    const quint32 *block = nullptr;
    int tw = 0, th = 0, w = 0, h = 0;
};

Texture texture(ArtReader &r, int id, const quint16 *hue = nullptr, bool partial = false, quint32 mask = 0xFF000000)
{
    Texture t;
    t.block = r.staticTexture(id, hue, partial, mask, t.tw, t.th, t.w, t.h);
    return t;
}

quint16 rgb(int r, int g, int b) { return quint16(r << 10 | g << 5 | b); }

QByteArray nested(int depth)
{
    return "<palette>" + QByteArray("<tilesets>").repeated(depth) + QByteArray("</tilesets>").repeated(depth)
           + "</palette>";
}

// A category as "name[tiles](children)" for compact comparison.
QString show(const QList<PaletteXml::Category> &list)
{
    QStringList out;
    for (const PaletteXml::Category &c : list) {
        QStringList tiles;
        for (qint32 t : c.tiles)
            tiles << QString::number(t);
        out << c.name + "[" + tiles.join(',') + "]"
                   + (c.walls ? QString("{%1 %2 %3}").arg(c.walls->corner).arg(c.walls->alongX).arg(c.walls->alongY) : QString())
                   + (c.children.isEmpty() ? QString() : "(" + show(c.children) + ")");
    }
    return out.join(' ');
}

// The user palette: every field, one line per category, indented by depth.
using Category = PaletteXml::Category;
using Pieces = std::array<std::optional<quint16>, 3>;

Category category(const QString &name, const QList<qint32> &tiles, Pieces pieces = {}, const QList<Category> &children = {})
{
    return {name, tiles, children, std::nullopt, pieces};
}

QStringList lines(const QList<Category> &categories, const QString &indent = QString())
{
    QStringList out;
    for (const Category &c : categories) {
        QStringList fields{indent + c.name};
        for (const qint32 t : c.tiles)
            fields << QString::number(t);
        for (const auto &p : c.pieces)
            fields << (p ? QString::number(*p) : "-");
        out << fields.join('|') << lines(c.children, indent + ' ');
    }
    return out;
}
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

using State = DataFileStatus::State;
Q_DECLARE_METATYPE(State)

// The readers of the game's files and of the editor's own, on hand-made and
// hostile bytes: they read quickly into a safe result, with a clear message
// where the user would otherwise wonder.
class TestReaders : public QObject
{
    Q_OBJECT
    TileData m_data;
    QTemporaryDir m_dir;

    QString write(const QString &sub, const FacetWriter::Statics &statics = blockStatics)
    {
        QString dir = m_dir.filePath(sub);
        if (!FacetWriter::write(dir, 1, W, H, land, statics))
            qFatal("cannot write the test facet");
        return dir;
    }

private slots:
    void textureBlocks()
    {
        // {w, h, block w, block h}: a large block first, so stale words would show in the smaller one;
        // rows of the 2048 wide art start past word 32767 of the run lists (the line table is unsigned).
        const QList<std::array<int, 4>> sizes{
            {600, 40, 1024, 64}, {20, 100, 32, 128}, {2049, 2, 0, 0}, {2, 2049, 0, 0}, {2048, 20, 2048, 32}};
        QMap<int, QByteArray> entries;
        for (int i = 0; i < sizes.size(); ++i)
            entries[ArtRecord + i] = fullArt(sizes[i][0], sizes[i][1], rgb(1, 2, 3));
        ArtReader r;
        load(r, entries);
        for (int i = 0; i < sizes.size(); ++i) {
            const auto [w, h, tw, th] = sizes[i];
            const Texture t = texture(r, i, nullptr, false, 0xC8000000);
            QCOMPARE(QList<int>({t.tw, t.th, t.w, t.h}), QList<int>({tw, th, tw ? w : 0, th ? h : 0}));
            QCOMPARE(t.block != nullptr, tw != 0);
            for (int p = 0; p < tw * th; ++p)
                QCOMPARE(t.block[p], p % tw < w && p / tw < h ? 0xC8000000 | 8 | 16 << 8 | 24 << 16 : 0u);
        }
        const auto *bytes = reinterpret_cast<const uchar *>(texture(r, 1).block); // red first in memory
        QCOMPARE(QList<int>({bytes[0], bytes[1], bytes[2], bytes[3]}), QList<int>({8, 16, 24, 255}));
        QCOMPARE(r.staticImage(1, nullptr, false).pixel(19, 99), qRgba(8, 16, 24, 255));
    }

    void hueRule()
    {
        ArtReader r;
        load(r, {{ArtRecord, MulWriter::staticEntry(3, 1, {rgb(10, 10, 10), rgb(10, 12, 10), 0})},
                 {0, words(QVector<int>(1012, rgb(2, 9, 9)))}});
        quint16 hue[32];
        for (int i = 0; i < 32; ++i)
            hue[i] = rgb(i, 31 - i, 0);
        const QImage partial = r.staticImage(0, hue, true);
        QCOMPARE(partial.pixel(0, 0), qRgba(80, 21 * 8, 0, 255)); // grey takes hue colour 10
        QCOMPARE(partial.pixel(1, 0), qRgba(80, 96, 80, 255));    // not grey: kept
        QCOMPARE(qAlpha(partial.pixel(2, 0)), 0);                 // transparent stays so
        QCOMPARE(r.staticImage(0, hue, false).pixel(1, 0), qRgba(80, 21 * 8, 0, 255));
        const Texture t = texture(r, 0, hue, false);
        QCOMPARE(std::pair(t.block[1], t.block[2]), std::pair(0xFF000000u | 80 | (21 * 8) << 8, 0u));
        QCOMPARE(r.landImage(0, hue, false).pixel(21, 0), qRgba(16, 29 * 8, 0, 255));
    }

    void entriesWithoutArt()
    {
        QTest::failOnWarning(QRegularExpression(".")); // damaged records are refused before any read
        MulWriter::IndexedFile f = MulWriter::indexedFile({{ArtRecord + 1, fullArt(4, 4, 1)},
                                                           {ArtRecord + 6, words({0, 0, 0, 5, 0, 0, 0, 0})},   // W = 0
                                                           {ArtRecord + 7, words({0, 0, 5, 0, 0, 0, 0, 0})},   // H = 0
                                                           {ArtRecord + 8, words({0, 0, 4, 100, 0, 0, 0, 0})}, // line table cut
                                                           {ArtRecord + 9, words({0, 0, 4})}},                 // header cut
                                                          0x8000);
        const QList<QPair<int, MulWriter::IndexRecord>> records{
            {2, {-1, 100, 0}}, {3, {0, 0, 0}}, {4, {0, 1 << 30, 0}}, {5, {qint32(f.data.size()) - 4, 40, 0}}, {10, {-5, 8, 0}}};
        for (const auto &[id, record] : records) // absent, empty, too long, past the end, before the start
            MulWriter::putIndexRecord(f.index, ArtRecord + id, record);
        ArtReader r;
        r.loadFromBytes(f.index, f.data);
        for (int id = 2; id <= 10; ++id) {
            const Texture t = texture(r, id);
            QVERIFY2(!t.block && !t.tw && !t.th && !t.w && !t.h, qPrintable(QString::number(id)));
            QVERIFY(r.staticImage(id, nullptr, false).isNull());
        }
        QVERIFY(texture(r, 1).block);
        QVERIFY(!texture(r, -1).block);
        QVERIFY(!texture(r, 0x4000).block); // past a classic index
        QVERIFY(!r.landPixels(0x4000));      // terrain ids stay in the terrain half
        QVERIFY(!r.landPixels(-1));
    }

    void damagedRuns()
    {
        // Row 0: a run of 6 from x 2 in a 4 wide image, then one of 4 from x -3.
        // Row 1: a line table value far past the entry. Row 2: a good run.
        const QVector<int> row0 = QVector<int>{2, 6} << QVector<int>(6, rgb(1, 1, 1)) << -11 << 4
                                                     << QVector<int>(4, rgb(2, 2, 2)) << 0 << 0;
        const QByteArray art = words(QVector<int>{0, 0, 4, 3, 0, 30000, int(row0.size())} << row0
                                     << QVector<int>{1, 1, rgb(3, 3, 3), 0, 0});
        // The last run claims more colours than the entry holds.
        const QByteArray cut = words({0, 0, 8, 1, 0, 0, 1000, rgb(4, 4, 4)});
        ArtReader r;
        load(r, {{ArtRecord + 1, art}, {ArtRecord + 2, cut}});
        const QImage img = r.staticImage(1, nullptr, false);
        QCOMPARE(img.size(), QSize(4, 3));
        const QList<QRgb> expected{qRgba(16, 16, 16, 255), 0, qRgba(8, 8, 8, 255), qRgba(8, 8, 8, 255), // clipped
                                   0, 0, 0, 0, 0, qRgba(24, 24, 24, 255), 0, 0};
        for (int i = 0; i < 12; ++i)
            QCOMPARE(img.pixel(i % 4, i / 4), expected[i]);
        const QImage partial = r.staticImage(2, nullptr, false);
        QCOMPARE(partial.pixel(0, 0), qRgba(32, 32, 32, 255));
        QCOMPARE(qAlpha(partial.pixel(1, 0)), 0);
    }

    void bigIndexAndReloads()
    {
        const MulWriter::IndexedFile f =
            MulWriter::indexedFile({{ArtRecord + 40000, fullArt(2, 2, rgb(7, 0, 0))}, {ArtRecord + 3, fullArt(2, 2, rgb(0, 7, 0))}}, ArtRecord + 40001);
        QTemporaryDir dir;
        const QString idx = dir.filePath("artidx.mul"), mul = dir.filePath("art.mul");
        QVERIFY(writeFileBytes(idx, f.index + QByteArray(7, '\0')));
        QVERIFY(writeFileBytes(mul, f.data)); // a partial record is none
        ArtReader r(idx, mul, QString(), QString());
        QCOMPARE(r.staticCount(), 40001);
        QCOMPARE(r.staticImage(40000, nullptr, false).pixel(0, 0), qRgba(56, 0, 0, 255));
        QCOMPARE(r.staticImage(3, nullptr, false).pixel(1, 1), qRgba(0, 56, 0, 255));
        QVERIFY(r.staticImage(40001, nullptr, false).isNull());

        // A reload forgets the art it decoded from the old files, also when the new ones are missing.
        const MulWriter::IndexedFile g = MulWriter::indexedFile({{ArtRecord + 3, fullArt(2, 2, rgb(0, 0, 7))}}, 0x8000);
        QVERIFY(writeFileBytes(idx, g.index));
        QVERIFY(writeFileBytes(mul, g.data));
        r.load(idx, mul, QString(), QString());
        QCOMPARE(r.staticCount(), 0x4000);
        QCOMPARE(r.staticImage(3, nullptr, false).pixel(1, 1), qRgba(0, 0, 56, 255));
        r.load("/nonexistent/artidx.mul", "/nonexistent/art.mul", "/nonexistent/texidx.mul", "/nonexistent/tex.mul");
        QCOMPARE(r.staticCount(), 0x4000);
        QVERIFY(r.staticImage(3, nullptr, false).isNull());
        QVERIFY(r.landImage(0, nullptr, false).isNull());
    }

    void tileDataArtCountFollowsTheFileSize()
    {
        for (const auto &[layout, artCount] : QList<QPair<MulWriter::TileDataLayout, int>>{
                 {MulWriter::TileDataLayout::Classic, 32768}, {MulWriter::TileDataLayout::Flags64, 65536}}) {
            QTemporaryDir dir; // 64-bit flags are kept whole; the classic layout holds the low half only
            const MulWriter::StaticInfo last{0xFFFFFFFF00010000ull, 7, "Last"};
            QVERIFY(writeFileBytes(dir.filePath("tiledata.mul"), MulWriter::tileData({}, {{artCount - 1, last}}, layout, artCount)));
            const TileData t(dir.filePath("tiledata.mul"));
            QCOMPARE(t.staticCount(), artCount);
            const TileInfo i = t.staticInfo(artCount - 1);
            QCOMPARE(QString("%1 %2 ").arg(i.flags, 0, 16).arg(i.height) + i.name,
                     QString(layout == MulWriter::TileDataLayout::Classic ? "10000 7 Last" : "ffffffff00010000 7 Last"));
        }
    }

    void tileDataShortAndMissing()
    {
        TileData t;
        t.load("/nonexistent/tiledata.mul");
        QCOMPARE(t.staticInfo(5).flags, 0u);
        for (int id : {-1, 16384, 65535, 1 << 20}) { // past the tables
            QVERIFY(t.staticInfo(id).name.isEmpty());
            QVERIFY(t.landInfo(id).name.isEmpty());
        }
        // Cut two bytes into art record 10's name: what is there is read, the rest is empty.
        const QByteArray full = MulWriter::tileData({{16383, {1, 0, "L16383"}}}, {{9, {9, 0, "S9"}}, {10, {10, 0, "S10"}}});
        t.loadFromBytes(full.left(428032 + 4 + 37 * 10 + 19));
        QCOMPARE(t.staticInfo(9).name, QStringLiteral("S9"));
        QCOMPARE(std::pair(t.staticInfo(10).flags, t.staticInfo(10).name), std::pair(quint64(10), QStringLiteral("S1")));
        QCOMPARE(t.landInfo(16383).name, QStringLiteral("L16383"));
        QCOMPARE(t.staticCount(), 16384);
    }

    void huesOutOfRangeAndShort()
    {
        QVector<MulWriter::Hue> list(16);
        for (int c = 0; c < 32; ++c)
            list[8].colours << quint16((9 << 5) + c);
        HueTable t;
        // One whole block, then a header and 3.5 colours: the short block still holds 8 entries.
        t.loadFromBytes(MulWriter::hues(list).left(708 + 4 + 7));
        QCOMPARE(t.count(), 16);
        QCOMPARE(std::pair(t.colours(9)[2], t.colours(9)[3]), std::pair(quint16((9 << 5) + 2), quint16(0)));
        QCOMPARE(t.colours(16)[0], quint16(0));
        for (int hue : {0, -4, 17})
            QVERIFY(!t.colours(hue));
        t.load("/nonexistent/hues.mul");
        QCOMPARE(t.count(), 0);
        QCOMPARE(t.status().state, DataFileStatus::State::Missing);
    }

    // Names as the file gives them, cut at 20 bytes or the first NUL; a short
    // last entry keeps what it has of its name.
    void hueNamesCountAndStatus()
    {
        QVector<MulWriter::Hue> list(9);
        list[0].name = "Red";
        list[7].name = "A name of twenty chr";
        list[8].name = "Last";
        const QByteArray bytes = MulWriter::hues(list);
        QTemporaryDir dir;
        QVERIFY(writeFileBytes(dir.filePath("hues.mul"), bytes));
        QVERIFY(writeFileBytes(dir.filePath("short.mul"), bytes.left(708 + 4 + 88 * 0 + 70)));
        const HueTable whole(dir.filePath("hues.mul"));
        QCOMPARE(QStringList({whole.name(1), whole.name(8), whole.name(9), whole.name(10), whole.name(0), whole.name(17)}),
                 QStringList({"Red", "A name of twenty chr", "Last", "", "", ""}));
        QCOMPARE(whole.count(), 16);
        QCOMPARE(whole.status().describe(), dir.filePath("hues.mul").prepend("hues.mul: ") + ": found, 16 hues");
        const HueTable cut(dir.filePath("short.mul"));
        QCOMPARE(cut.name(9), QString("La"));
        QCOMPARE(cut.status().state, DataFileStatus::State::Unrecognised);
    }

    void tileDataAndArtStatus()
    {
        QTemporaryDir dir;
        QVERIFY(writeFileBytes(dir.filePath("classic.mul"), MulWriter::tileData({}, {}))
                && writeFileBytes(dir.filePath("odd.mul"), MulWriter::tileData({}, {}) + "xyz"));
        QCOMPARE(TileData(dir.filePath("classic.mul")).status().describe(),
                 "tiledata.mul: " + dir.filePath("classic.mul") + ": found, 32-bit flags, 16384 terrain, 16384 art");
        QCOMPARE(TileData(dir.filePath("odd.mul")).status().state, DataFileStatus::State::Unrecognised);
        QCOMPARE(TileData(dir.filePath("none.mul")).status().state, DataFileStatus::State::Missing);
        const MulWriter::IndexedFile art = MulWriter::artFiles({}, {{1, QImage(4, 4, QImage::Format_ARGB32)}});
        QVERIFY(writeFileBytes(dir.filePath("artidx.mul"), art.index));
        QVERIFY(writeFileBytes(dir.filePath("art.mul"), art.data));
        const ArtReader reader(dir.filePath("artidx.mul"), dir.filePath("art.mul"), QString(), QString());
        QCOMPARE(reader.indexStatus().describe(), "artidx.mul: " + dir.filePath("artidx.mul") + ": found, 16384 terrain, 16384 art");
        QVERIFY(reader.artStatus().usable());
    }

    // radarcol.mul read bounded: a missing one is worth a line in the report but no warning.
    void radarColours_data()
    {
        QTest::addColumn<int>("bytes"); // -1: none, -2: a folder
        QTest::addColumn<State>("state");
        QTest::addColumn<int>("colours");
        QTest::newRow("classic") << 0x10000 << State::Found << 0x8000;
        QTest::newRow("newer, more art") << 0x28000 << State::Found << 0x14000;
        QTest::newRow("short") << 0x4002 << State::Unrecognised << 0x2001;
        QTest::newRow("odd size") << 0x10001 << State::Unrecognised << 0x8000;
        QTest::newRow("oversized") << 0x30000 << State::Unrecognised << 0x14000;
        QTest::newRow("missing") << -1 << State::Missing << 0;
        QTest::newRow("a folder") << -2 << State::Unreadable << 0;
    }

    void radarColours()
    {
        QFETCH(int, bytes);
        QFETCH(State, state);
        QFETCH(int, colours);
        QTemporaryDir dir;
        const QString path = dir.filePath("radarcol.mul");
        QByteArray data(qMax(bytes, 0), '\0');
        if (bytes > 0x8010) // terrain 0x4007 is the art id 7
            qToLittleEndian<quint16>(0x7C1F, data.data() + 2 * 0x4007);
        QVERIFY(bytes == -1 || (bytes == -2 ? QDir(dir.path()).mkdir("radarcol.mul") : writeFileBytes(path, data)));
        const RadarColours radar(path);
        QCOMPARE(radar.status().state, state);
        QCOMPARE(radar.size(), colours);
        QCOMPARE(radar.colour(true, 7), colours > 0x4007 ? std::optional<quint16>(0x7C1F) : std::nullopt);
        QVERIFY(!radar.colour(false, 0x4007) && !radar.colour(true, -1));
        // In the report; only a present but unusable file is a problem.
        QCOMPARE(DataFiles::problems({radar.status()}).size(), state == State::Found || state == State::Missing ? 0 : 1);
        DataPaths paths;
        paths.radarCol = path;
        const QVector<DataFileStatus> all = DataFiles::check(paths);
        QCOMPARE(all.last().state, state);
        // Missing multi files are reported as missing, not left out.
        QCOMPARE(std::count_if(all.cbegin(), all.cend(), [](const DataFileStatus &s) { return s.name.startsWith("multi."); }), 2);
    }

    void paletteShapes_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("art");
        QTest::addColumn<QString>("terrain");
        QTest::newRow("nested categories")
            << QByteArray("<p><tilesets><statics><tileset name='Walls'><group name='Stone'>"
                          "<tile>100</tile><tile>101</tile>\n  <tile>102</tile></group></tileset>"
                          "<tile>7</tile></statics></tilesets></p>")
            << "Walls[](Stone[100,101,102])" << "";
        QTest::newRow("a comment stops the scan")
            << QByteArray("<p><tilesets><statics><group name='A'><tile>1</tile></group></statics>"
                          "<!-- land follows --><land><group name='L'/></land></tilesets></p>")
            << "A[1]" << "";
        QTest::newRow("a root named tilesets is not read")
            << QByteArray("<tilesets><statics><group name='A'/></statics></tilesets>") << "" << "";
        QTest::newRow("no name, empty and junk tiles, unknown elements")
            << QByteArray("<p><x><tilesets><land><group><tile/><tile>zz</tile><tile>5</tile>"
                          "<odd><tile>9</tile></odd></group></land></tilesets></x></p>")
            << "" << "No Name[0,0,5]";
        QTest::newRow("names compared with case")
            << QByteArray("<p><tilesets><Statics><group name='A'/></Statics></tilesets></p>") << "" << "";
        // A group names its wall pieces for the hollow rectangle: all three ids or none.
        const auto walls = [](const char *attributes) {
            return "<p><tilesets><statics><tileset name='W'><group name='S' " + QByteArray(attributes)
                   + "><tile>1</tile></group></tileset></statics></tilesets></p>";
        };
        QTest::newRow("walls") << walls("corner='100' alongx='101' alongy='102'") << "W[](S[1]{100 101 102})" << "";
        QTest::newRow("walls in hex") << walls("corner='0x0064' alongx='0X65' alongy=' 0x66 '") << "W[](S[1]{100 101 102})" << "";
        QTest::newRow("largest ids") << walls("corner='65535' alongx='0' alongy='0xFFFF'") << "W[](S[1]{65535 0 65535})" << "";
        QTest::newRow("one piece missing") << walls("corner='100' alongx='101'") << "W[](S[1])" << "";
        QTest::newRow("not a number") << walls("corner='wall' alongx='101' alongy='102'") << "W[](S[1])" << "";
        QTest::newRow("beyond the ids") << walls("corner='65536' alongx='101' alongy='102'") << "W[](S[1])" << "";
        QTest::newRow("negative") << walls("corner='-1' alongx='101' alongy='102'") << "W[](S[1])" << "";
    }
    void paletteShapes()
    {
        QFETCH(QByteArray, xml);
        const PaletteXml::Result r = PaletteXml::parse(xml);
        QVERIFY2(r.error.isEmpty(), qPrintable(r.error));
        QTEST(show(r.art), "art");
        QTEST(show(r.terrain), "terrain");
    }

    // Each of these once stalled or would: they end with a message that says why.
    void xmlThatIsRefused_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("message");
        QTest::newRow("16,000 levels") << nested(16000) << "nested deeper than 256 levels";
        QTest::newRow("not well-formed") << QByteArray("<p><tilesets></p>") << "line 1";
        QTest::newRow("empty") << QByteArray() << "line";
        QTest::newRow("too large") << QByteArray(XmlTree::MaxBytes + 1, ' ') << "larger than 8 MiB";
        QTest::newRow("too many elements")
            << "<p>" + QByteArray("<a/>").repeated(XmlTree::MaxNodes + 2) + "</p>" << "more than";
    }
    void xmlThatIsRefused()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, message);
        const PaletteXml::Result palette = PaletteXml::parse(xml);
        QVERIFY(palette.art.isEmpty());
        QVERIFY(palette.terrain.isEmpty());
        QVERIFY2(palette.error.startsWith("palette.xml cannot be read: ") && palette.error.contains(message),
                 qPrintable(palette.error));
        const MultiNames::Result multis = MultiNames::parse(xml);
        QVERIFY(multis.names.isEmpty());
        QVERIFY(!multis.visible);
        QVERIFY(multis.error.contains(message));
        // 255 levels are still a palette.
        QVERIFY(PaletteXml::parse(nested(255)).error.isEmpty());
    }

    // The user palette written and read back as it was; a failed write keeps the old file.
    void readBackAsWritten()
    {
        const QList<Category> art = {
            category("Walls & <Gates> \"old\" 'n'", {}, {},
                     {category("  Häuser ☃ two\nlines\tand tab ", {0, 65535, -1, 1536}, {0x600, 0x601, 0x602}),
                      category("Half marked", {7}, {7, std::nullopt, 9}, {category("Deep", {})})}),
            category("No Name", {3, 3})};
        const QList<Category> terrain = {category("Sand", {}, {}, {category("Dunes", {22, 23})})};
        const PaletteXml::Result back = PaletteXml::parse(PaletteXml::write(art, terrain));
        QVERIFY2(back.error.isEmpty(), qPrintable(back.error));
        QCOMPARE(lines(back.art), lines(art));
        QCOMPARE(lines(back.terrain), lines(terrain));
        // Walls only where all three pieces are named.
        QVERIFY(back.art[0].children[0].walls == WallSet({0x600, 0x601, 0x602}) && !back.art[0].children[1].walls);
        // XML carries no control characters: they are left out, the file stays readable.
        QCOMPARE(PaletteXml::parse(PaletteXml::write({category("bell\x07 ring", {1})}, {})).art[0].name,
                 QString("bell ring"));
    }

    void failedWriteKeepsTheOldFile()
    {
        QTemporaryDir dir;
        UserPalette store(QString(), dir.filePath("user/palette.xml"));
        QString notice, error;
        QVERIFY(store.save({category("Mine", {1})}, {}, &notice, &error));
        const QByteArray before = fileBytes(store.userPath());
        const FileSizeLimit limit(before.size() + 100);
        QVERIFY(!store.save({category("Mine", QList<qint32>(2000, 1536))}, {}, &notice, &error));
        QCOMPARE(error, QString::fromLocal8Bit(strerror(EFBIG)));
        QCOMPARE(fileBytes(store.userPath()), before);
    }
    // Every row of a 4 MiB entry points at one run list that never ends: each
    // row shows the first w colours of it, and the decode stops at the row's end.
    void artRowsShareAnEndlessRun()
    {
        const int w = 44, h = 2048;
        QVector<int> v{0, 0, w, h};
        v << QVector<int>(h, 0);              // every row at word 0 of the runs
        const int pairs = (4 * 1024 * 1024) / 4;
        for (int i = 0; i < pairs; ++i)       // runs of one colour, never a terminator
            v << 0 << 1 << ((i % 31) | 0x20);
        ArtReader reader;
        const MulWriter::IndexedFile f = MulWriter::indexedFile({{0x4000, words(v)}}, 0x8000);
        reader.loadFromBytes(f.index, f.data);
        int rw = 0, rh = 0;
        const QByteArray *pixels = reader.staticPixels(0, rw, rh);
        QVERIFY(pixels && rw == w && rh == h);
        for (int y : {0, 1, h - 1}) {
            for (int x = 0; x < w; ++x) {
                const uchar *px = reinterpret_cast<const uchar *>(pixels->constData()) + 4 + 2 * (w * y + x);
                QCOMPARE(px[0] | (px[1] << 8), ((x % 31) | 0x20) | 0x8000);
            }
        }
    }

    // Recovery files written out by hand: a sound one reads back, a cut,
    // foreign or lying one gives nothing.
    void recoveryFiles()
    {
        auto le32 = [](quint32 v) { QByteArray b(4, '\0'); qToLittleEndian(v, b.data()); return b; };
        const QString name = QStringLiteral("/h/house.mlt");
        QByteArray utf16(reinterpret_cast<const char *>(name.utf16()), name.size() * 2);
        const QByteArray mlt = QByteArray(4, '\0') + words({3, 1, 2, 0, 1, 0});
        QByteArray msecs(8, '\0');
        qToLittleEndian<qint64>(1765000000000, msecs.data());
        const QByteArray sound = "TMERCVR1" + le32(quint32(utf16.size())) + utf16 + msecs + le32(1)
                                 + le32(quint32(mlt.size())) + mlt;
        const std::optional<RecoveryFile> r = RecoveryFile::fromBytes(sound);
        QVERIFY(r && r->fileName == name && r->tiles == 1 && r->mlt == mlt);
        QCOMPARE(r->written.toMSecsSinceEpoch(), 1765000000000);
        QCOMPARE(r->toBytes(), sound);
        QByteArray lying = sound;
        lying.replace(lying.size() - mlt.size() - 4, 4, le32(0x7FFFFFF0));
        QByteArray negative = sound;
        negative.replace(8 + 4 + utf16.size() + 8, 4, le32(0xFFFFFFFF));
        for (const QByteArray &bad : {sound.left(sound.size() - 1), QByteArray("TMERCVR2") + sound.mid(8),
                                      lying, negative, QByteArray()})
            QVERIFY(!RecoveryFile::fromBytes(bad));
        // A file shorter than its size says, as sysfs files are: a read error, not an endless read.
        const QString shorter = QStringLiteral("/sys/devices/system/cpu/online");
        if (QFileInfo(shorter).size() > 100)
            QVERIFY(!RecoveryFile::load(shorter).problem.isEmpty());
    }

    // A file may hold tiles outside the area: they load, are counted, and can be
    // removed where they lie, with undo (new tiles keep to the area: test_model;
    // the window's warning naming them: test_realuse).
    void tilesOutsideTheArea()
    {
        QByteArray bytes(4, '\0');
        bytes += words({5, 300, -300, 0, 1, 0}) + words({6, 300, -300, 2, 1, 0}) + words({7, 1, 1, 0, 1, 0});
        const MltReadResult r = MltFile::fromBytes(bytes, m_data);
        Facet model(m_data);
        model.load(r.tiles);
        QCOMPARE(model.tilesOutside(), 2);
        UndoMgr undo(m_data, &model, nullptr);
        undo.beginGroup();
        for (const TileRecord &t : model.tilesAt(300, -300))
            undo.removeTile(t);
        undo.commitGroup();
        QVERIFY(model.tilesAt(300, -300).empty() && model.tilesOutside() == 0);
        QCOMPARE(MltFile::toBytes(model), QByteArray(4, '\0') + words({7, 1, 1, 0, 1, 0}));
        undo.undo();
        QCOMPARE(model.tilesOutside(), 2);
    }

    // A world facet's map, statics and their index, written by hand.
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
            const QString map = dir + QStringLiteral("/map1.mul");
            QVERIFY(writeFileBytes(dir + QStringLiteral("/map1LegacyMUL.uop"), FacetWriter::terrainContainer(fileBytes(map), 1, 1000)));
            QVERIFY(QFile::remove(map));
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

    // Requests the capture refuses, before anything is read; each bound on its own.
    void badRequestsAreRefused_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QPoint>("centre");
        QTest::addColumn<int>("zMax");
        QTest::addColumn<QString>("message");
        QTest::newRow("area off the facet") << QRect(W + 5, 0, 4, 4) << QPoint(W + 6, 1) << 127 << "outside the facet";
        QTest::newRow("empty altitude range") << QRect(0, 0, 4, 4) << QPoint(1, 1) << -129 << "is empty";
        QTest::newRow("far above the centre") << QRect(0, 0, 4, 4) << QPoint(0, 300) << 127 << "editing area";
        QTest::newRow("far below the centre") << QRect(0, 0, 4, 4) << QPoint(0, -300) << 127 << "editing area";
        QTest::newRow("far left of the centre") << QRect(0, 0, 4, 4) << QPoint(300, 0) << 127 << "editing area";
        QTest::newRow("far right of the centre") << QRect(0, 0, 4, 4) << QPoint(-300, 0) << 127 << "editing area";
    }
    void badRequestsAreRefused()
    {
        QFETCH(QRect, area);
        QFETCH(QPoint, centre);
        QFETCH(int, zMax);
        QFETCH(QString, message);
        WorldFacet facet;
        QVERIFY(facet.open(write(QStringLiteral("refused")), 1, QSize(W, H)));
        QString error;
        QVERIFY(!WorldCapture::capture(facet, {area, -128, zMax, centre, 0, false}, m_data, &error));
        QVERIFY2(error.contains(message), qPrintable(error));
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
    }

    void mltoolCapturesToAFile()
    {
        const QString dir = write(QStringLiteral("tool"));
        const QString out = m_dir.filePath(QStringLiteral("area.csv"));
        MlToolRun r = MlToolRun::of(QStringLiteral("capture %1 1 20 20 10 10 %2 --size 64x48 --z -50:50 --base 3").arg(dir, out).split(' '));
        QVERIFY2(r.status == 0, qPrintable(r.err));
        int want = 0;
        for (int bx = 1; bx <= 2; ++bx)
            for (int by = 1; by <= 2; ++by)
                for (const FacetWriter::Static &s : blockStatics(bx, by))
                    want += s.x >= 10 && s.x <= 20 && s.y >= 10 && s.y <= 20 && s.z >= -50 && s.z <= 50;
        QCOMPARE(fileBytes(out).count('\n') - 1, want);
        r = MlToolRun::of(QStringLiteral("capture %1 1 0 0 9 9 %2").arg(dir, out).split(' '));
        QCOMPARE(r.status, 1); // 64 x 48 fits no facet size without --size
        QVERIFY2(r.err.contains(QLatin1String("give the size")), qPrintable(r.err));
    }
};

QTEST_GUILESS_MAIN(TestReaders)
#include "test_readers.moc"
