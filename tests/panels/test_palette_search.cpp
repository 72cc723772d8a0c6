// The palette over a tile data of 65,536 art tiles written to disk: names and
// tooltips, the search by name, id and flag, "All tiles", "Recent" across a
// restart, and icons that follow the panel's size; the category tree, the
// lists' tile keys, the clip panel, and the scroll bar that paints in bands.
#include "FileBytes.h"
#include "MulWriter.h"
#include "data/ArtReader.h"
#include "data/TileData.h"
#include "model/MimeMgr.h"
#include "model/TileRecord.h"
#include "panels/BandedScrollBar.h"
#include "panels/Clip.h"
#include "panels/ListWidget.h"
#include "panels/Palette.h"
#include "panels/TListItem.h"
#include "panels/TileListModel.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSettings>
#include <QMimeData>
#include <QSignalSpy>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTest>

#include <memory>

namespace {
constexpr int Tiles = 65536;
constexpr int TallTile = 100; // 40 x 200 art: taller than a small panel
constexpr int Wall = 0x10, Surface = 0x200, Foliage = 0x20000, Roof = 0x10000000, Door = 0x20000000;

bool hasArt(int id) { return id % 97 != 5; }
// Eight kinds of tile, by id modulo 8.
const char *nameOf(int id)
{
    static const char *names[] = {"stone wall", "wooden door", "roof tile", "bush",
                                  "stone wall", "wooden door", "roof tile", ""};
    return names[id % 8];
}
quint64 flagsOf(int id)
{
    static const quint64 flags[] = {Wall, Door, Roof | Surface, Foliage, Wall, Door, Roof | Surface, 0};
    return flags[id % 8];
}
quint8 heightOf(int id) { return quint8(id % 50); }

// Ids offered (with art, or named) whose kind (id modulo 8) is among the residues.
QList<int> idsOfKinds(const QList<int> &residues)
{
    QList<int> out;
    for (int id = 0; id < Tiles; ++id)
        if ((hasArt(id) || id % 8 != 7) && residues.contains(id % 8)) // no art: offered when named
            out << id;
    return out;
}
QList<int> allWithArt() { return idsOfKinds({0, 1, 2, 3, 4, 5, 6, 7}); }
QString key(int id) { return QString::number(id) + ":0:0:0:0:1:1"; }
} // namespace

class TestPaletteSearch : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    TileData m_data;
    std::unique_ptr<ArtReader> m_art;
    QString m_paletteXml;
    TileData m_none;

    std::unique_ptr<Palette> palette() const
    {
        return std::make_unique<Palette>(m_paletteXml, m_art.get(), m_data, true);
    }
    static QList<int> resultIds(const Palette &p)
    {
        QList<int> ids;
        const QAbstractItemModel *model = p.resultsView()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            ids << model->index(row, 0).data(TileListModel::IdRole).toInt();
        return ids;
    }
    // The brush keys the recent list shows, once its queued rebuild has run.
    static QStringList recentKeys(const Palette &p)
    {
        QCoreApplication::processEvents();
        QStringList keys;
        for (int row = 0; row < p.listRecent()->count(); ++row)
            keys << p.listRecent()->item(row)->data(ListWidget::KeyRole).toString();
        return keys;
    }
    static QList<int> listIds(const QListWidget *list)
    {
        QList<int> ids;
        for (int i = 0; i < list->count(); ++i)
            ids << list->item(i)->data(ListWidget::IdRole).toInt();
        return ids;
    }

    // A palette of the xml, without art or tile data.
    std::unique_ptr<Palette> bare(const QByteArray &xml)
    {
        const QString path = m_dir.filePath(xml.isEmpty() ? "missing.xml" : "nested.xml");
        if (!xml.isEmpty())
            writeFileBytes(path, xml);
        return std::make_unique<Palette>(path, nullptr, m_none, false);
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
    void initTestCase()
    {
        for (auto format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, m_dir.filePath("settings"));
        QMap<int, MulWriter::StaticInfo> statics;
        QMap<int, QImage> images;
        QImage dot(1, 1, QImage::Format_ARGB32);
        dot.fill(qRgb(200, 40, 40));
        for (int id = 0; id < Tiles; ++id) {
            statics.insert(id, {flagsOf(id), heightOf(id), nameOf(id)});
            if (hasArt(id))
                images.insert(id, dot);
        }
        QImage tall(40, 200, QImage::Format_ARGB32);
        tall.fill(qRgb(40, 40, 200));
        images.insert(TallTile, tall);
        QVERIFY(writeFileBytes(m_dir.filePath("tiledata.mul"),
                               MulWriter::tileData({}, statics, MulWriter::TileDataLayout::Classic, Tiles)));
        const MulWriter::IndexedFile art =
            MulWriter::artFiles({}, images, MulWriter::ArtIndexOffset + Tiles);
        QVERIFY(writeFileBytes(m_dir.filePath("artidx.mul"), art.index) && writeFileBytes(m_dir.filePath("art.mul"), art.data));
        m_data.load(m_dir.filePath("tiledata.mul"));
        m_art = std::make_unique<ArtReader>(m_dir.filePath("artidx.mul"), m_dir.filePath("art.mul"),
                                            QString(), QString());
        m_paletteXml = m_dir.filePath("palette.xml");
        QVERIFY(writeFileBytes(m_paletteXml, "<p><tilesets><statics><tileset name='Mixed'><group name='Some'>"
                                             "<tile>4660</tile><tile>100</tile><tile>4663</tile>"
                                             "<tile>4662</tile></group></tileset></statics></tilesets></p>"));
        QCOMPARE(m_data.staticCount(), Tiles);
    }

    void search_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("name in any case, two words") << "STONE Wall" << idsOfKinds({0, 4});
        QTest::newRow("flag word only") << "surface" << idsOfKinds({2, 6});
        QTest::newRow("flag word, other name") << "foliage" << idsOfKinds({3});
        QTest::newRow("two words") << "tile roof" << idsOfKinds({2, 6});
        QTest::newRow("decimal id") << "4660" << QList<int>{4660};
        QTest::newRow("hex id") << "0x1234" << QList<int>{4660};
        QTest::newRow("id and flag") << "wall 0x1234" << QList<int>{4660};
        QTest::newRow("id and other flag") << "door 0x1234" << QList<int>{};
        QTest::newRow("id without art, named") << QString::number(5) << QList<int>{5};
        QTest::newRow("id without art or name") << QString::number(199) << QList<int>{};
    }

    // Results as one types, shown instead of the tabs; an empty field shows the tabs again.
    void search()
    {
        QFETCH(QString, query);
        QFETCH(QList<int>, expected);
        auto p = palette();
        QStackedWidget *stack = p->findChild<QStackedWidget *>();
        QVERIFY(stack && stack->currentWidget() == p->tabWidget());
        for (int typed = 1; typed <= query.size(); ++typed)
            p->searchEdit()->setText(query.left(typed));
        QCOMPARE(resultIds(*p), expected);
        QCOMPARE(stack->currentWidget(), p->resultsView()->parentWidget());
        QVERIFY(p->findChild<QLabel *>("searchCount")->text().startsWith(QString::number(expected.size()) + " tile"));
        p->searchEdit()->clear();
        QVERIFY(stack->currentWidget() == p->tabWidget() && p->resultsView()->model()->rowCount() == 0);
    }

    // Double-clicking a result paints with it; dragging it carries it.
    void resultPaintsAndDrags()
    {
        auto p = palette();
        QSignalSpy paint(p.get(), &Palette::setPainting);
        p->searchEdit()->setText("0x1234");
        const QModelIndex first = p->resultsView()->model()->index(0, 0);
        emit p->resultsView()->doubleClicked(first);
        QCOMPARE(paint.value(0).value(0).toString(), key(4660));
        std::unique_ptr<QMimeData> drag(p->resultsView()->model()->mimeData({first}));
        std::unique_ptr<QMimeData> expected(ListWidget::payload(Art, key(4660)));
        QCOMPARE(drag->data("bm/art"), expected->data("bm/art"));
    }

    void namesAndTooltips_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("tip");
        QTest::newRow("unnamed") << 4663 << "4663" << "Id 0x1237 (4663)\nHeight 13\nFlags: none";
        QTest::newRow("two flags") << 4662 << "roof tile" << "roof tile\nId 0x1236 (4662)\nHeight 12\nFlags: Surface, Roof";
    }

    // The same name and tooltip in a palette.xml category, in the results and in "All tiles".
    void namesAndTooltips()
    {
        QFETCH(int, id);
        QFETCH(QString, text);
        QFETCH(QString, tip);
        auto p = palette();
        p->treeArt()->topLevelItem(0)->child(0)->setSelected(true);
        const int row = listIds(p->listArt()).indexOf(id);
        QVERIFY(row >= 0);
        QCOMPARE(QStringList({p->listArt()->item(row)->text(), p->listArt()->item(row)->toolTip()}), QStringList({text, tip}));
        p->searchEdit()->setText(QString::number(id));
        const QModelIndex first = p->resultsView()->model()->index(0, 0);
        QCOMPARE(QStringList({first.data(Qt::DisplayRole).toString(), first.data(Qt::ToolTipRole).toString()}), QStringList({text, tip}));
    }

    // Every tile with art, under each builder's flag it has, the rest under "Other".
    void allTilesTab()
    {
        auto p = palette();
        QTreeWidget *tree = p->treeAll();
        const QList<QPair<QString, QList<int>>> groups{
            {"Wall", idsOfKinds({0, 4})}, {"Door", idsOfKinds({1, 5})}, {"Roof", idsOfKinds({2, 6})},
            {"Surface", idsOfKinds({2, 6})}, {"Foliage", idsOfKinds({3})}, {"Other", idsOfKinds({7})}};
        QCOMPARE(tree->topLevelItemCount(), groups.size());
        QSet<int> listed;
        for (int g = 0; g < groups.size(); ++g) {
            const QTreeWidgetItem *group = tree->topLevelItem(g);
            QCOMPARE(group->text(0), QString("%1 (%2)").arg(groups[g].first).arg(groups[g].second.size()));
            QList<int> ids;
            for (int c = 0; c < group->childCount(); ++c)
                ids << static_cast<const TListItem *>(group->child(c))->tiles;
            QCOMPARE(ids, groups[g].second);
            listed.unite(QSet<int>(ids.begin(), ids.end()));
        }
        const QList<int> withArt = allWithArt();
        QCOMPARE(listed, QSet<int>(withArt.begin(), withArt.end()));

        // A range fills the list with its named tiles; double-clicking one paints with it.
        QSignalSpy paint(p.get(), &Palette::setPainting);
        tree->topLevelItem(1)->child(1)->setSelected(true);
        QCOMPARE(listIds(p->listAll()), groups[1].second.mid(256, 256));
        QCOMPARE(p->listAll()->item(0)->text(), QString("wooden door"));
        emit p->listAll()->itemDoubleClicked(p->listAll()->item(3));
        QCOMPARE(paint.value(0).value(0).toString(), key(groups[1].second[259]));
    }

    // The last 30 brushes, most recent first, each once, kept across a restart.
    void recentBrushes()
    {
        QSettings("Brightmoor", "Palette").clear();
        QStringList expected{key(10)};
        for (int id = 34; id >= 5; --id)
            if (id != 10)
                expected << key(id);
        {
            auto p = palette();
            for (int id = 0; id < 35; ++id)
                p->addRecent(key(id));
            p->addRecent(key(10));
            QCOMPARE(recentKeys(*p), expected);
            QCOMPARE(p->listRecent()->item(0)->text(), QString("roof tile"));
        }
        auto p = palette(); // after a restart
        QCOMPARE(recentKeys(*p), expected);

        // Painting from a palette list puts the tile first; a brush with a hue keeps it.
        QSignalSpy paint(p.get(), &Palette::setPainting);
        QSignalSpy stop(p.get(), &Palette::stopPainting);
        p->treeArt()->topLevelItem(0)->child(0)->setSelected(true);
        emit p->listArt()->itemDoubleClicked(p->listArt()->item(0));
        QCOMPARE(recentKeys(*p).first(), key(4660));
        p->addRecent("100:0:0:5:33:1:1");
        QCoreApplication::processEvents();
        QCOMPARE(recentKeys(*p).mid(0, 2), QStringList({"100:0:0:5:33:1:1", key(4660)}));
        QVERIFY(p->listRecent()->item(0)->toolTip().endsWith("\nHue 33"));
        emit p->listRecent()->itemDoubleClicked(p->listRecent()->item(0)); // paints with its hue and altitude
        QCOMPARE(paint.last().value(0).toString(), QString("100:0:0:5:33:1:1"));

        // Painting from the recent list keeps painting while the list is rebuilt.
        paint.clear();
        const int stops = stop.count();
        emit p->listRecent()->itemDoubleClicked(p->listRecent()->item(1));
        QCoreApplication::processEvents();
        QCOMPARE(paint.value(0).value(0).toString(), key(4660));
        QCOMPARE(stop.count(), stops);
        QCOMPARE(recentKeys(*p).first(), key(4660));
    }

    // A damaged or edited settings file: only keys that can paint are kept, each once, 30 at most.
    void recentFromDamagedSettings()
    {
        QStringList stored{"", "junk", "1:2:3", "70000:0:0:0:0:1:1", "5:0:0:0:0:1:7", key(1), key(1),
                           QString(200, '1'), "-3:0:0:0:0:1:1"};
        for (int id = 2; id < 40; ++id)
            stored << key(id);
        QSettings("Brightmoor", "Palette").setValue("Recent", stored);
        auto p = palette();
        QStringList expected{key(1)};
        for (int id = 2; expected.size() < 30; ++id)
            expected << key(id);
        QCOMPARE(recentKeys(*p), expected);
    }

    // A small panel shrinks tall icons so a whole one shows; a large one shows them whole.
    void iconsFollowThePanel()
    {
        auto p = palette();
        p->resize(400, 220);
        p->show();
        QVERIFY(QTest::qWaitForWindowExposed(p.get()));
        p->tabWidget()->setCurrentIndex(0);
        p->treeArt()->topLevelItem(0)->child(0)->setSelected(true);
        ListWidget *list = p->listArt();
        QCoreApplication::processEvents();
        const int tall = listIds(list).indexOf(TallTile);
        QVERIFY(list->iconSize().height() < 200 && list->iconSize().height() >= 24);
        list->doItemsLayout();
        // Scrolled to, the tall tile shows whole.
        const QRect item = list->visualItemRect(list->item(tall));
        QVERIFY(item.height() <= list->viewport()->height() && item.width() <= list->viewport()->width());
        QVERIFY(list->viewport()->width() > p->treeArt()->width());
        p->resize(900, 700);
        QCoreApplication::processEvents();
        QCOMPARE(list->iconSize(), QSize(40, 200));
    }

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
        const auto palette = bare(xml);
        QCOMPARE(dump(palette->treeArt()->invisibleRootItem()), art);
        QCOMPARE(dump(palette->treeTerrain()->invisibleRootItem()), terrain);
    }

    void listsAndTileKeys()
    {
        const auto owned = bare(nested);
        Palette &palette = *owned;
        QSignalSpy paint(&palette, &Palette::setPainting);
        QSignalSpy stop(&palette, &Palette::stopPainting);
        QTreeWidgetItem *walls = palette.treeArt()->topLevelItem(0);
        palette.listArt()->addItem("keep");
        walls->setSelected(true); // a top-level category never fills the list
        QVERIFY(palette.listArt()->count() == 1 && stop.count() == 0);
        walls->setSelected(false);
        walls->child(0)->setSelected(true);
        QCOMPARE(palette.listArt()->count(), 3);
        QCOMPARE(palette.listArt()->item(2)->text(), QString("102"));
        QVERIFY(stop.count() >= 1);

        // Painting and dragging carry the tile's key with the list's kind.
        MimeMgr mime(m_none);
        for (ListWidget *list : {palette.listArt(), palette.listTerrain()}) {
            const QString key = "1234:0:0:0:0:1:" + QString::number(list->kind());
            auto *item = new QListWidgetItem("1234", list);
            emit list->itemDoubleClicked(item);
            QCOMPARE(paint.takeFirst().at(0).toString(), key);
            std::unique_ptr<QMimeData> data(list->dragData(item));
            QCOMPARE(data->formats(), QStringList(list->kind() == Art ? "bm/art" : "bm/terrain"));
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

    // The dock's scroll bar paints in bands from kept pictures: it must still
    // look like Qt's own, at rest, with a range, pressed on its slider and on
    // an arrow, moved and resized.
    void bandedScrollBarLooksLikeQts()
    {
        for (const Qt::Orientation way : {Qt::Vertical, Qt::Horizontal}) {
            BandedScrollBar banded(way);
            QScrollBar plain(way);
            const QSize size = way == Qt::Vertical ? QSize(17, 300) : QSize(300, 17);
            const QPoint slider = way == Qt::Vertical ? QPoint(8, 120) : QPoint(120, 8);
            const QPoint arrow = way == Qt::Vertical ? QPoint(8, 293) : QPoint(293, 8);
            for (QScrollBar *bar : {static_cast<QScrollBar *>(&banded), &plain})
                bar->resize(size);
            const auto same = [&](const char *state) {
                if (banded.grab().toImage() != plain.grab().toImage())
                    QFAIL(qPrintable(QStringLiteral("%1 differs at %2").arg(state).arg(way)));
            };
            same("empty");
            for (QScrollBar *bar : {static_cast<QScrollBar *>(&banded), &plain}) {
                bar->setRange(0, 1000);
                bar->setPageStep(400);
                bar->setValue(370);
            }
            same("with a range");
            for (const QPoint at : {slider, arrow}) {
                QTest::mousePress(&banded, Qt::LeftButton, {}, at);
                QTest::mousePress(&plain, Qt::LeftButton, {}, at);
                QVERIFY(banded.value() == plain.value());
                same(at == slider ? "slider pressed" : "arrow pressed");
                QTest::mouseRelease(&banded, Qt::LeftButton, {}, at);
                QTest::mouseRelease(&plain, Qt::LeftButton, {}, at);
                same("released");
            }
            // Each look is kept: a moved or resized bar must not show an old one.
            for (QScrollBar *bar : {static_cast<QScrollBar *>(&banded), &plain})
                bar->setValue(600);
            same("moved");
            for (QScrollBar *bar : {static_cast<QScrollBar *>(&banded), &plain})
                bar->resize(size + QSize(1, 1));
            same("resized");
        }
    }
};

QTEST_MAIN(TestPaletteSearch)
#include "test_palette_search.moc"
