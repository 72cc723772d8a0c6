#include "SampleCatalogue.h"
#include "SampleMultis.h"

#include "data/ArtReader.h"
#include "ui/MultiDialog.h"
#include "data/TileData.h"
#include "panels/ListWidget.h"
#include "panels/Palette.h"
#include "panels/TListItem.h"

#include <QComboBox>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QTest>

// The palette.xml and the sample multi.xml the build ships, as the editor's panels read them.
class TestSampleDataPanels : public QObject
{
    Q_OBJECT

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
    void paletteSortsEveryTile()
    {
        const QString dir = bin("sample-data/");
        ArtReader art(dir + "artidx.mul", dir + "art.mul", dir + "texidx.mul", dir + "texmaps.mul");
        const TileData tiles(dir + "tiledata.mul");
        Palette palette(bin("palette.xml"), &art, tiles, false);
        checkTree(palette.treeArt(), SampleCatalogue::art());
        checkTree(palette.treeTerrain(), SampleCatalogue::land());

        // A nested group fills the list with icons drawn from the art.
        QTreeWidgetItem *stone = palette.treeArt()->findItems("Walls", Qt::MatchExactly).value(0)->child(0);
        palette.treeArt()->setCurrentItem(stone);
        const QListWidgetItem *first = palette.listArt()->item(0);
        QCOMPARE(palette.listArt()->count(), static_cast<TListItem *>(stone)->tiles.size());
        QVERIFY(first);
        QCOMPARE(first->data(ListWidget::IdRole).toInt(), int(SampleCatalogue::StoneWallEW));
        // Named as the sample tile data names it.
        for (const auto &t : SampleCatalogue::art())
            if (t.id == SampleCatalogue::StoneWallEW)
                QCOMPARE(first->text(), QString::fromLatin1(t.name));
        QVERIFY(!first->icon().isNull());
    }

    // Indexes written in hexadecimal and decimal alike; the absent entry is not listed.
    void chooserNamesTheEntries()
    {
        MultiDialog d(bin("sample-data/multi.idx"), bin("sample-data/multi.xml"));
        auto *combo = d.findChild<QComboBox *>("comboBox");
        QVERIFY(combo);
        QStringList items, expected;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        for (const auto &m : SampleMultis::all())
            expected << m.name;
        QCOMPARE(items, expected << QStringLiteral("Empty entry"));
        combo->setCurrentIndex(3);
        QCOMPARE(d.multiIndex(), SampleMultis::EmptyEntry);
    }
};

QTEST_MAIN(TestSampleDataPanels)
#include "test_sampledata_panels.moc"
