#include "MulWriter.h"
#include "SampleCatalogue.h"
#include "SampleHues.h"
#include "SampleMultis.h"
#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/MultiFile.h"
#include "data/PaletteXml.h"
#include "data/TileData.h"
#include "panels/ListWidget.h"
#include "panels/Palette.h"
#include "panels/TListItem.h"
#include "scene/ToolShapes.h"

#include <QProcess>
#include <QTest>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <algorithm>
#include <memory>

// The generator run as the build runs it, its files read back by the editor's own readers.
class TestSampleData : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::unique_ptr<ArtReader> m_art;
    TileData m_tiles;
    HueTable m_hues;

    QByteArray m_err; // what the last run of the generator wrote to its error output

    int generate(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(TILSEN_SAMPLEDATA_EXE), args);
        const bool done = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit;
        m_err = p.readAllStandardError();
        return done ? p.exitCode() : -1;
    }
    QByteArray bytes(const QString &name) const
    {
        QFile f(m_dir.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString data(const char *name) const { return m_dir.filePath(QStringLiteral("data/") + name); }
    // Opaque pixels read back, or -1 when one differs from the drawing in the game colour
    // it stores. Terrain holds only its diamond: what it lacks is not compared.
    static int matching(const QImage &read, const QImage &drawn, bool diamondOnly)
    {
        if (read.size() != drawn.size())
            return -1;
        int opaque = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                opaque += qAlpha(read.pixel(x, y)) == 255;
                if ((!diamondOnly || qAlpha(read.pixel(x, y)))
                    && MulWriter::colour(read.pixel(x, y)) != MulWriter::colour(drawn.pixel(x, y)))
                    return -1;
            }
        return opaque;
    }


    static QString bin(const QString &name) { return QStringLiteral(TILSEN_BINARY_DIR "/bin/") + name; }

    // Every tile once, in the "category/group" its catalogue entry names; categories hold none.
    static void checkTree(QTreeWidget *tree, const QVector<SampleCatalogue::Tile> &tiles)
    {
        QMap<QString, QVector<qint32>> found, expected;
        for (QTreeWidgetItemIterator it(tree); *it; ++it)
            found.insert(((*it)->parent() ? (*it)->parent()->text(0) + '/' : QString()) + (*it)->text(0),
                         static_cast<TListItem *>(*it)->tiles);
        for (const auto &t : tiles) {
            expected[t.category.at(0)];
            expected[t.category.join('/')].append(t.id);
        }
        QCOMPARE(found, expected);
    }

private slots:
    void initTestCase()
    {
        QCOMPARE(generate({m_dir.filePath("data"), m_dir.filePath("xml")}), 0);
        m_art = std::make_unique<ArtReader>(data("artidx.mul"), data("art.mul"), data("texidx.mul"),
                                            data("texmaps.mul"));
        m_tiles.load(data("tiledata.mul"));
        m_hues.load(data("hues.mul"));
    }

    void generatorIsDeterministicAndReportsFailures()
    {
        QCOMPARE(generate({m_dir.filePath("again/data"), m_dir.filePath("again/xml")}), 0);
        for (const QString sub : {"data/", "xml/"})
            for (const QString &name : QDir(m_dir.filePath(sub)).entryList(QDir::Files))
                QVERIFY2(bytes(sub + name) == bytes("again/" + sub + name), qPrintable(name));
        // No folder below a plain file: status 1 naming it. Wrong arguments: 2, and nothing made.
        QCOMPARE(generate({m_dir.filePath("data/art.mul/data"), m_dir.filePath("x")}), 1);
        QVERIFY(m_err.contains("art.mul/data"));
        QCOMPARE(generate({m_dir.filePath("only-one")}), 2);
        QVERIFY(!QFileInfo::exists(m_dir.filePath("only-one")));
    }

    // Pictures, names, flags and heights; no tile in the view's no-draw ranges but the marker.
    void everyTileReadsBackAsDrawn()
    {
        QVERIFY(SampleCatalogue::art().size() >= 40 && SampleCatalogue::land().size() >= 8);
        for (const auto &t : SampleCatalogue::art()) {
            QVERIFY2(matching(m_art->staticImage(t.id, nullptr, false), t.draw(), false) > 0, t.name);
            const TileInfo info = m_tiles.staticInfo(t.id);
            QCOMPARE(info.name, QString::fromLatin1(t.name.left(20)));
            QVERIFY(!info.name.isEmpty() && info.flags == t.flags && info.height == t.height);
            QVERIFY2((t.id >= 2 && t.id < 7182) != (t.id == SampleCatalogue::Marker), t.name);
        }
        for (const auto &t : SampleCatalogue::land()) {
            QVERIFY2(matching(m_art->landImage(t.id, nullptr, false), t.draw(), true) == 1012, t.name);
            QCOMPARE(m_tiles.landInfo(t.id).name, QString::fromLatin1(t.name));
            QVERIFY2(t.id == 1 || (t.id > 2 && t.id < 431), t.name);
        }
        // Chosen pixels: grass is green, water blue, a wall stands on its bottom corner.
        const QRgb grass = m_art->landImage(3, nullptr, false).pixel(22, 22);
        QVERIFY(qGreen(grass) > qRed(grass));
        QVERIFY(qBlue(m_art->landImage(7, nullptr, false).pixel(22, 30)) > 100);
        const QImage wall = m_art->staticImage(SampleCatalogue::StoneWallEW, nullptr, false);
        QVERIFY(wall.height() >= 80);
        QVERIFY(qAlpha(wall.pixel(22, wall.height() - 1)));
    }

    void huesReadBackAsMade()
    {
        const auto expected = SampleHues::all();
        QCOMPARE(m_hues.count(), (expected.size() + 7) / 8 * 8);
        for (int h = 1; h <= expected.size(); ++h)
            QCOMPARE(QVector<quint16>(m_hues.colours(h), m_hues.colours(h) + 32), expected[h - 1].colours);
        // Selected tiles are drawn in this hue: it must stand out.
        const quint16 *selection = m_hues.colours(SampleHues::SelectionHue);
        QVERIFY(selection && (selection[31] >> 10 & 31) > 25 && (selection[31] >> 5 & 31) > 25);
    }

    // Every entry holds exactly its multi's tiles, each once, each with art and a name.
    void everyMultiEntryReadsBack()
    {
        MultiFile pair(data("multi.idx"), data("multi.mul"));
        QVERIFY(pair.readIndex());
        const QByteArray mul = bytes("data/multi.mul");
        for (const SampleMultis::Multi &m : SampleMultis::all()) {
            TileMap tiles;
            QVERIFY(pair.readEntry(m.index, m_tiles, tiles));
            QStringList read, written;
            for (const auto &list : tiles)
                for (const TileRecord &t : list) {
                    read << t.key();
                    QVERIFY2(!m_art->staticImage(t.id, nullptr, false).isNull(), qPrintable(t.key()));
                    QVERIFY2(!t.name.isEmpty(), qPrintable(t.key()));
                }
            for (const auto &t : m.tiles)
                written << QString("%1:%2:%3:%4:0:%5:1").arg(t.id).arg(t.x).arg(t.y).arg(t.z).arg(qint16(t.flags));
            read.sort();
            written.sort();
            QCOMPARE(read, written);
            QCOMPARE(read.removeDuplicates(), 0);
            // The entry starts with its tile at (0, 0, 0).
            QCOMPARE(mul.mid(pair.records().at(m.index).offset + 2, 6), QByteArray(6, '\0'));
        }
        const auto &r = pair.records();
        QCOMPARE(pair.entryCount(), SampleMultis::IndexRecords);
        QCOMPARE(r.at(SampleMultis::AbsentEntry).offset, -1);
        QCOMPARE(r.at(SampleMultis::EmptyEntry).offset, 0);
        QCOMPARE(r.at(SampleMultis::EmptyEntry).length, 0);
        TileMap none;
        QVERIFY(!pair.readEntry(SampleMultis::AbsentEntry, m_tiles, none));
        QVERIFY(!pair.readEntry(SampleMultis::EmptyEntry, m_tiles, none));
        QVERIFY(none.isEmpty());
    }

    // The bundled palette's wall groups, as Hollow Rectangle uses them: a closed
    // ring of corners and side pieces, each piece drawn in the bundled art.
    void everyWallGroupClosesARing()
    {
        const PaletteXml::Result palette = PaletteXml::read(bin("palette.xml"));
        const auto walls = std::find_if(palette.art.cbegin(), palette.art.cend(),
                                        [](const PaletteXml::Category &c) { return c.name == "Walls"; });
        QVERIFY(walls != palette.art.cend() && !walls->children.isEmpty());
        for (const PaletteXml::Category &group : walls->children) {
            QVERIFY2(group.walls, qPrintable(group.name));
            const WallSet set = *group.walls;
            for (const quint16 id : {set.corner, set.alongX, set.alongY}) {
                int w = 0, h = 0;
                QVERIFY2(m_art->staticPixels(id, w, h) && w > 0 && h > 0, qPrintable(group.name));
                QVERIFY(group.tiles.contains(id));
            }
            TileRecord like(0, 0, 7, m_tiles, Art);
            // Dragged from the bottom right to the top left: 6 by 4 cells.
            const Brush ring = ToolShapes::walls({2, 1}, {-3, -2}, set, like, m_tiles);
            for (int y = -2; y <= 1; ++y) {
                for (int x = -3; x <= 2; ++x) {
                    const bool column = x == -3 || x == 2, row = y == -2 || y == 1;
                    const auto cell = ring.constFind(locationKey(x - 2, y - 1));
                    if (!column && !row) {
                        QVERIFY(cell == ring.cend() || cell->empty());
                        continue;
                    }
                    QVERIFY(cell != ring.cend() && cell->size() == 1);
                    const quint16 expected = column && row ? set.corner : row ? set.alongX : set.alongY;
                    QCOMPARE(cell->begin()->id, expected);
                    QCOMPARE(cell->begin()->z, qint16(7));
                }
            }
        }
    }

    // What the sample set does not reach: the colour conversion's edges and the
    // wide tile data layout (16-byte multi records: test_mltool's dumps).
    void coloursAndNames()
    {
        // Drawn black must not become 0, which is transparent; a mostly transparent pixel does.
        QCOMPARE(MulWriter::colour(qRgb(8, 16, 24)), quint16(1 << 10 | 2 << 5 | 3));
        QCOMPARE(MulWriter::colour(qRgb(0, 0, 0)), quint16(0x0421));
        QCOMPARE(MulWriter::colour(qRgba(255, 0, 0, 100)), quint16(0));
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

    // The palette.xml and the sample multi.xml the build ships, as the editor's panels read them.
    void paletteSortsEveryTile()
    {
        Palette palette(bin("palette.xml"), m_art.get(), m_tiles, false);
        checkTree(palette.treeArt(), SampleCatalogue::art());
        checkTree(palette.treeTerrain(), SampleCatalogue::land());

        // A nested group fills the list with icons drawn from the art.
        QTreeWidgetItem *stone = palette.treeArt()->findItems("Walls", Qt::MatchExactly).value(0)->child(0);
        palette.treeArt()->setCurrentItem(stone);
        const QListWidgetItem *first = palette.listArt()->item(0);
        QCOMPARE(palette.listArt()->count(), static_cast<TListItem *>(stone)->tiles.size());
        QVERIFY(first);
        QCOMPARE(first->data(ListWidget::IdRole).toInt(), int(SampleCatalogue::StoneWallEW));
        QCOMPARE(first->text(), m_tiles.staticInfo(SampleCatalogue::StoneWallEW).name);
        QVERIFY(!first->icon().isNull());
    }
};

QTEST_MAIN(TestSampleData)
#include "test_sampledata.moc"
