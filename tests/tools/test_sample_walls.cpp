// The bundled palette's wall groups, as Hollow Rectangle uses them: a closed
// ring of corners and side pieces, each piece drawn in the bundled art.
#include "data/ArtReader.h"
#include "data/PaletteXml.h"
#include "data/TileData.h"
#include "scene/ToolShapes.h"

#include <QTest>

#include <algorithm>

class TestSampleWalls : public QObject
{
    Q_OBJECT

private slots:
    void everyWallGroupClosesARing()
    {
        const QString dir = QStringLiteral(TILSEN_BINARY_DIR "/bin/");
        const PaletteXml::Result palette = PaletteXml::read(dir + "palette.xml");
        ArtReader art(dir + "sample-data/artidx.mul", dir + "sample-data/art.mul", dir + "sample-data/texidx.mul",
                      dir + "sample-data/texmaps.mul");
        const TileData data(dir + "sample-data/tiledata.mul");
        const auto walls = std::find_if(palette.art.cbegin(), palette.art.cend(),
                                        [](const PaletteXml::Category &c) { return c.name == "Walls"; });
        QVERIFY(walls != palette.art.cend() && !walls->children.isEmpty());
        for (const PaletteXml::Category &group : walls->children) {
            QVERIFY2(group.walls, qPrintable(group.name));
            const WallSet set = *group.walls;
            for (const quint16 id : {set.corner, set.alongX, set.alongY}) {
                int w = 0, h = 0;
                QVERIFY2(art.staticPixels(id, w, h) && w > 0 && h > 0, qPrintable(group.name));
                QVERIFY(group.tiles.contains(id));
            }
            TileRecord like(0, 0, 7, data, Art);
            // Dragged from the bottom right to the top left: 6 by 4 cells.
            const Brush ring = ToolShapes::walls({2, 1}, {-3, -2}, set, like, data);
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
};

QTEST_GUILESS_MAIN(TestSampleWalls)
#include "test_sample_walls.moc"
