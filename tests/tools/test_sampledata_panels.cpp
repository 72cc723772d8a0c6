#include "SampleRun.h"

#include "SampleCatalogue.h"
#include "SampleMultis.h"

#include "data/ArtReader.h"
#include "data/MultiDialog.h"
#include "data/TileData.h"
#include "panels/ListWidget.h"
#include "panels/Palette.h"
#include "panels/TListItem.h"

#include <QComboBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

// The generated palette.xml and multi.xml as the editor's panels read them.
class TestSampleDataPanels : public QObject
{
    Q_OBJECT

    SampleRun m_run;

    // Tile numbers per "category/group" of one tree; top-level items hold none.
    static QMap<QString, QVector<qint32>> groups(QTreeWidget *tree)
    {
        QMap<QString, QVector<qint32>> out;
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            QTreeWidgetItem *top = tree->topLevelItem(i);
            out.insert(top->text(0), static_cast<TListItem *>(top)->tiles);
            for (int j = 0; j < top->childCount(); ++j)
                out.insert(top->text(0) + '/' + top->child(j)->text(0),
                           static_cast<TListItem *>(top->child(j))->tiles);
        }
        return out;
    }
    // Every tile once, each in the group its catalogue entry names.
    static void checkTree(QTreeWidget *tree, const QVector<SampleCatalogue::Tile> &tiles)
    {
        const auto found = groups(tree);
        QMap<QString, QVector<qint32>> expected;
        for (const auto &t : tiles) {
            expected[t.category.at(0)];
            expected[t.category.join('/')].append(t.id);
        }
        QCOMPARE(found, expected);
    }

private slots:
    void initTestCase() { QVERIFY(m_run.ok); }

    void paletteSortsEveryTile()
    {
        ArtReader art(m_run.data("artidx.mul"), m_run.data("art.mul"), m_run.data("texidx.mul"),
                      m_run.data("texmaps.mul"));
        TileData tiles(m_run.data("tiledata.mul"));
        Palette palette(m_run.xml("palette.xml"), &art, tiles, false);
        checkTree(palette.treeArt(), SampleCatalogue::art());
        checkTree(palette.treeTerrain(), SampleCatalogue::land());
        QStringList tops;
        for (int i = 0; i < palette.treeArt()->topLevelItemCount(); ++i)
            tops << palette.treeArt()->topLevelItem(i)->text(0);
        for (const char *name : {"Floors", "Walls", "Roofs", "Doors and windows", "Furniture", "Decoration"})
            QVERIFY2(tops.contains(name), name);

        // A nested group fills the list with icons drawn from the art.
        QTreeWidgetItem *stone = palette.treeArt()->findItems("Walls", Qt::MatchExactly).value(0)->child(0);
        QCOMPARE(stone->text(0), QStringLiteral("Stone"));
        palette.treeArt()->setCurrentItem(stone);
        ListWidget *list = palette.listArt();
        QCOMPARE(list->count(), static_cast<TListItem *>(stone)->tiles.size());
        QCOMPARE(list->item(0)->text(), QString::number(SampleCatalogue::StoneWallEW));
        QVERIFY(!list->item(0)->icon().isNull());
        QVERIFY(list->iconSize().height() >= 80);
    }

    void chooserNamesTheEntries()
    {
        MultiDialog d(m_run.data("multi.idx"), m_run.xml("multi.xml"));
        auto *combo = d.findChild<QComboBox *>("comboBox");
        QVERIFY(combo);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        QStringList expected;
        for (const auto &m : SampleMultis::all())
            expected << m.name;
        expected << QStringLiteral("Empty entry"); // the absent entry is not listed
        QCOMPARE(items, expected);
        QVERIFY(d.multiVisible());
        combo->setCurrentIndex(3);
        QCOMPARE(d.multiIndex(), SampleMultis::EmptyEntry);

        // Both number forms appear in the list.
        QFile f(m_run.xml("multi.xml"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        QVERIFY(text.contains("Index=\"0x1\""));
        QVERIFY(text.contains("Index=\"2\""));
    }
};

QTEST_MAIN(TestSampleDataPanels)
#include "test_sampledata_panels.moc"
