#include "data/ArtReader.h"
#include "data/TileData.h"
#include "model/MimeMgr.h"
#include "panels/ListWidget.h"
#include "panels/Palette.h"
#include "panels/TListItem.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

class TestPalette : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void readsNestedCategories();
    void scanRules_data();
    void scanRules();
    void unreadableFileLeavesTreesEmpty();
    void topLevelCategoryKeepsList();
    void doubleClickSendsTileKey();
    void dragCarriesOneTileKey();

private:
    QString write(const QByteArray &xml);
    static QStringList names(const QTreeWidgetItem *item);

    QTemporaryDir m_dir;
    ArtReader m_art;
    TileData m_data;
};

void TestPalette::init()
{
    QVERIFY(m_dir.isValid());
}

QString TestPalette::write(const QByteArray &xml)
{
    const QString path = m_dir.filePath("palette.xml");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    f.write(xml);
    return path;
}

QStringList TestPalette::names(const QTreeWidgetItem *item)
{
    QStringList list;
    for (int i = 0; i < item->childCount(); ++i)
        list << item->child(i)->text(0);
    return list;
}

static const QByteArray nested = R"(<palette><tilesets>
  <statics>
    <tile>7</tile>
    <tileset name="Walls">
      <group name="Stone"><tile>100</tile><tile>101</tile><tile>102</tile></group>
      <group><tile></tile><tile>x</tile><other><tile>5</tile></other></group>
      <Tileset name="Wrong case"/>
    </tileset>
  </statics>
  <land><tileset name="Grass"><group name="Light"><tile>3</tile></group></tileset></land>
</tilesets></palette>)";

void TestPalette::readsNestedCategories()
{
    Palette palette(write(nested), &m_art, m_data, false);
    QTreeWidget *art = palette.treeArt();
    QCOMPARE(art->topLevelItemCount(), 1);
    const QTreeWidgetItem *walls = art->topLevelItem(0);
    QCOMPARE(walls->text(0), QString("Walls"));
    QCOMPARE(names(walls), QStringList({"Stone", "No Name"}));
    // Loose tiles outside any category are dropped.
    QVERIFY(static_cast<const TListItem *>(walls)->tiles.isEmpty());
    QCOMPARE(static_cast<const TListItem *>(walls->child(0))->tiles, QVector<qint32>({100, 101, 102}));
    // Empty or non-numeric text reads as 0; unknown elements are skipped with their content.
    QCOMPARE(static_cast<const TListItem *>(walls->child(1))->tiles, QVector<qint32>({0, 0}));
    QCOMPARE(palette.treeTerrain()->topLevelItemCount(), 1);
    QCOMPARE(names(palette.treeTerrain()->topLevelItem(0)), QStringList({"Light"}));
    QCOMPARE(palette.tabWidget()->count(), 2);
}

void TestPalette::scanRules_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<int>("artItems");
    QTest::addColumn<int>("terrainItems");
    QTest::newRow("comment stops the scan")
        << QByteArray("<p><tilesets><statics><tileset name='a'/></statics><!-- x -->"
                      "<land><tileset name='b'/></land></tilesets></p>")
        << 1 << 0;
    QTest::newRow("document element is not read")
        << QByteArray("<tilesets><statics><tileset name='a'/></statics></tilesets>") << 0 << 0;
    QTest::newRow("tilesets at any depth")
        << QByteArray("<p><x><tilesets><land><tileset name='b'/></land></tilesets></x>"
                      "<tilesets><statics><group name='a'/><group name='c'/></statics></tilesets></p>")
        << 2 << 1;
    QTest::newRow("other children skipped")
        << QByteArray("<p><tilesets><misc/><statics><tileset/></statics></tilesets></p>") << 1 << 0;
}

void TestPalette::scanRules()
{
    QFETCH(QByteArray, xml);
    QFETCH(int, artItems);
    QFETCH(int, terrainItems);
    Palette palette(write(xml), &m_art, m_data, false);
    QCOMPARE(palette.treeArt()->topLevelItemCount(), artItems);
    QCOMPARE(palette.treeTerrain()->topLevelItemCount(), terrainItems);
}

void TestPalette::unreadableFileLeavesTreesEmpty()
{
    for (const QString &path : {m_dir.filePath("missing.xml"), write("<p><tilesets><statics>")}) {
        Palette palette(path, &m_art, m_data, true);
        QCOMPARE(palette.treeArt()->topLevelItemCount(), 0);
        QCOMPARE(palette.treeTerrain()->topLevelItemCount(), 0);
        // Only the art tab is left.
        QCOMPARE(palette.tabWidget()->count(), 1);
        QCOMPARE(palette.tabWidget()->tabText(0), QString("Art"));
    }
}

void TestPalette::topLevelCategoryKeepsList()
{
    Palette palette(write(nested), &m_art, m_data, true);
    QTreeWidgetItem *walls = palette.treeArt()->topLevelItem(0);
    palette.listArt()->addItem("keep");
    QSignalSpy stop(&palette, &Palette::stopPainting);
    walls->setSelected(true);
    QCOMPARE(palette.listArt()->count(), 1);
    QCOMPARE(stop.count(), 0);

    walls->setSelected(false);
    walls->child(0)->setSelected(true);
    QCOMPARE(palette.listArt()->count(), 3);
    QCOMPARE(palette.listArt()->item(0)->text(), QString("100"));
    QCOMPARE(palette.listArt()->item(2)->text(), QString("102"));
    QCOMPARE(palette.listArt()->item(0)->textAlignment(), int(Qt::AlignCenter));
    QVERIFY(stop.count() >= 1);
    // No art loaded: empty icons, and a 0 x 0 icon size.
    QCOMPARE(palette.listArt()->iconSize(), QSize(0, 0));
}

void TestPalette::doubleClickSendsTileKey()
{
    Palette palette(write(nested), &m_art, m_data, false);
    QSignalSpy paint(&palette, &Palette::setPainting);
    QSignalSpy stop(&palette, &Palette::stopPainting);
    QListWidgetItem art("1234", palette.listArt());
    QListWidgetItem land("3", palette.listTerrain());
    emit palette.listArt()->itemDoubleClicked(&art);
    emit palette.listTerrain()->itemDoubleClicked(&land);
    QCOMPARE(paint.count(), 2);
    QCOMPARE(paint.at(0).at(0).toString(), QString("1234:0:0:0:0:1:1"));
    QCOMPARE(paint.at(1).at(0).toString(), QString("3:0:0:0:0:1:0"));
    const int stops = stop.count();
    emit palette.listArt()->itemDoubleClicked(nullptr);
    QCOMPARE(stop.count(), stops + 1);
    palette.listArt()->setCurrentItem(&art);
    QCOMPARE(stop.count(), stops + 2);
}

void TestPalette::dragCarriesOneTileKey()
{
    ListWidget artList(Art);
    ListWidget landList(Terrain);
    QListWidgetItem item("1234");
    std::unique_ptr<QMimeData> artData(artList.dragData(&item));
    std::unique_ptr<QMimeData> landData(landList.dragData(&item));
    QCOMPARE(artData->formats(), QStringList({"bm/art"}));
    QCOMPARE(landData->formats(), QStringList({"bm/terrain"}));
    MimeMgr mime(m_data);
    int x = 9, y = 9;
    qint16 z = 9;
    const TileMap tiles = mime.decode(Art, artData.get(), x, y, z);
    QCOMPARE(QPoint(x, y), QPoint(0, 0));
    QCOMPARE(z, qint16(0));
    QCOMPARE(tiles.size(), 1);
    const TileRecord tile = tiles.value(0).value(0);
    QCOMPARE(tile.key(), QString("1234:0:0:0:0:1:1"));
    const TileMap land = mime.decode(Terrain, landData.get(), x, y, z);
    QCOMPARE(land.value(0).value(0).key(), QString("1234:0:0:0:0:1:0"));
}

QTEST_MAIN(TestPalette)
#include "test_palette.moc"
