#include "FileBytes.h"
#include "data/TileData.h"
#include "model/MimeMgr.h"
#include "panels/Clip.h"
#include "panels/ListWidget.h"
#include "panels/Palette.h"
#include "panels/TListItem.h"

#include <QDataStream>
#include <QMimeData>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTest>

class TestPanels : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    TileData m_data;

    QString write(const QByteArray &xml)
    {
        return writeFileBytes(m_dir.filePath("palette.xml"), xml) ? m_dir.filePath("palette.xml") : QString();
    }

    // "name(tiles children)" for a category, "(top-level categories)" for the tree's root.
    static QString dump(const QTreeWidgetItem *item)
    {
        QStringList parts;
        if (const auto *category = dynamic_cast<const TListItem *>(item))
            for (qint32 tile : category->tiles)
                parts << QString::number(tile);
        for (int i = 0; i < item->childCount(); ++i)
            parts << dump(item->child(i));
        return item->text(0) + '(' + parts.join(' ') + ')';
    }

    const QByteArray nested = "<palette><tilesets><statics><tile>7</tile><tileset name='Walls'>"
        "<group name='Stone'><tile>100</tile><tile>101</tile><tile>102</tile></group>"
        "<group><tile></tile><tile>x</tile><other><tile>5</tile></other></group>"
        "<Tileset name='Wrong case'/></tileset></statics>"
        "<land><tileset name='Grass'><group name='Light'><tile>3</tile></group></tileset></land>"
        "</tilesets></palette>";

private slots:
    void readsCategories_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("art");
        QTest::addColumn<QString>("terrain");
        // The tree shows what the palette file holds (its reading rules are the data layer's).
        QTest::newRow("nested") << nested << "(Walls(Stone(100 101 102) No Name(0 0)))"
                                << "(Grass(Light(3)))";
        QTest::newRow("missing") << QByteArray() << "()" << "()";
    }

    void readsCategories()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, art);
        QFETCH(QString, terrain);
        Palette palette(xml.isEmpty() ? m_dir.filePath("missing.xml") : write(xml), nullptr, m_data, false);
        QCOMPARE(dump(palette.treeArt()->invisibleRootItem()), art);
        QCOMPARE(dump(palette.treeTerrain()->invisibleRootItem()), terrain);
    }

    void listsAndTileKeys()
    {
        Palette palette(write(nested), nullptr, m_data, false);
        QSignalSpy paint(&palette, &Palette::setPainting);
        QSignalSpy stop(&palette, &Palette::stopPainting);
        QTreeWidgetItem *walls = palette.treeArt()->topLevelItem(0);
        palette.listArt()->addItem("keep");
        walls->setSelected(true); // a top-level category never fills the list
        QCOMPARE(palette.listArt()->count(), 1);
        QCOMPARE(stop.count(), 0);
        walls->setSelected(false);
        walls->child(0)->setSelected(true);
        QCOMPARE(palette.listArt()->count(), 3);
        QCOMPARE(palette.listArt()->item(2)->text(), QString("102"));
        QVERIFY(stop.count() >= 1);

        // Painting and dragging carry the tile's key with the list's kind.
        MimeMgr mime(m_data);
        for (ListWidget *list : {palette.listArt(), palette.listTerrain()}) {
            const QString key = "1234:0:0:0:0:1:" + QString::number(list->kind());
            auto *item = new QListWidgetItem("1234", list);
            emit list->itemDoubleClicked(item);
            QCOMPARE(paint.takeFirst().at(0).toString(), key);
            std::unique_ptr<QMimeData> data(list->dragData(item));
            QCOMPARE(data->formats(), QStringList(list->kind() == Art ? "bm/art" : "bm/terrain"));
            // Byte for byte what a little-endian data stream makes of the three strings.
            QByteArray expected;
            QDataStream out(&expected, QIODevice::WriteOnly);
            out.setByteOrder(QDataStream::LittleEndian);
            out << QString("1.0") << QString("0:0:0") << key;
            QCOMPARE(data->data(data->formats().value(0)), expected);
            int x = 9, y = 9;
            qint16 z = 9;
            const TileMap tiles = mime.decode(list->kind(), data.get(), x, y, z);
            QCOMPARE(QList<int>({int(tiles.size()), x, y, z}), QList<int>({1, 0, 0, 0}));
            QCOMPARE(tiles.value(0).value(0).key(), key);
        }
        // No tile, or another tile chosen: painting stops.
        const int stops = stop.count();
        emit palette.listArt()->itemDoubleClicked(nullptr);
        palette.listArt()->setCurrentRow(palette.listArt()->currentRow() + 1);
        QCOMPARE(stop.count(), stops + 2);
    }

    // The lower bound may pass the upper one: the view gets what it is given.
    void clipLowerBound()
    {
        Clip clip;
        QSignalSpy min(&clip, &Clip::minChanged);
        clip.glLower(50);
        QCOMPARE(min.value(0).value(0).toInt(), 50);
        QCOMPARE(clip.findChild<QSlider *>("horizontalSlider")->value(), 127);
    }
};

QTEST_MAIN(TestPanels)
#include "test_panels.moc"
