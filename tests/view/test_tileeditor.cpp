#include "ScriptedDialogs.h"
#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "model/MimeMgr.h"
#include "model/UndoMgr.h"
#include "view/GLWidget.h"
#include "view/TexMgr.h"
#include "view/TileEditor.h"

#include "MulWriter.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QSurfaceFormat>
#include <QtTest>

#include <memory>

namespace {

const int ArtA = 100;
const int ArtB = 200;
const int Ground = 3;

QImage block(int w, int h, QRgb colour)
{
    QImage img(w, h, QImage::Format_ARGB32);
    img.fill(colour);
    return img;
}

QString artKey(int id)
{
    return QStringLiteral("%1:0:0:0:0:1:1").arg(id);
}

// Every tile of a model as sorted keys, duplicates included.
QStringList snapshot(const Facet &model)
{
    QStringList keys;
    for (const Facet::TileSet &set : model.locations())
        for (const TileRecord &t : set)
            keys.append(t.key());
    keys.sort();
    return keys;
}

} // namespace

// One document: model and view sharing the test's art.
struct Doc {
    Doc(ArtReader *art, const TileData &data, TexMgr *textures)
        : model(data), view(art, data, &model, textures)
    {
        view.resize(440, 330);
        view.show();
    }
    Facet model;
    GLWidget view;
    TileEditor &ed() { return *view.editor(); }
};

class TestTileEditor : public QObject
{
    Q_OBJECT
public:
    static void initMain()
    {
        GLWidget::prepareApplication();
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void paintClickAndStrokeSpacing();
    void clickSelectionAndBand();
    void dragStartCarriesSelectionInsteadOfBand();
    void moveWithinViewIsOneUndoStep();
    void copyIntoSecondViewAndAlt();
    void refusesTerrainWhileEditingArt();
    void copyOffsetsVisibilityAndPasteClamp();
    void keyboardMovesAndTerrainRules();
    void hueAltitudeVisibilityAndDelete();
    void insertItemChecksArtwork();
    void cancelCases();
    void undoRedoRestoreExactContents();

private:
    QPoint pointOf(GLWidget &v, int x, int y, int z = 0) const;
    TileRecord put(Doc &d, int kind, int id, int x, int y, int z = 0, int hue = 0);
    void paint(Doc &d) { d.view.grabFramebuffer(); }
    void click(Doc &d, const QPoint &p, Qt::KeyboardModifiers mods = {});
    void sendDrag(GLWidget &target, const QMimeData *mime, const QPoint &p, Qt::DropActions actions,
                  Qt::KeyboardModifiers mods = {});

    TileData m_data;
    HueTable m_hues;
    ArtReader m_art;
    std::unique_ptr<TexMgr> m_textures;
    std::unique_ptr<Doc> m_doc;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
};

void TestTileEditor::initTestCase()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        QSKIP("OpenGL views need a display (run under xvfb-run)");
    QMap<int, QImage> land{{Ground, block(44, 44, 0xFF408040)}};
    QMap<int, QImage> statics{{ArtA, block(44, 44, 0xFF804020)}, {ArtB, block(20, 30, 0xFF2040A0)}};
    const MulWriter::IndexedFile files = MulWriter::artFiles(land, statics);
    m_art.loadFromBytes(files.index, files.data);
    m_textures = std::make_unique<TexMgr>(&m_art, &m_hues);
}

void TestTileEditor::init()
{
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_doc = std::make_unique<Doc>(&m_art, m_data, m_textures.get());
    QVERIFY(QTest::qWaitForWindowExposed(&m_doc->view));
    QGuiApplication::clipboard()->clear();
}

void TestTileEditor::cleanup()
{
    m_doc.reset();
    m_dialogs.reset();
}

// Middle of the diamond of (x, y) at altitude z, in widget pixels (centre 0, 0, scale 1).
QPoint TestTileEditor::pointOf(GLWidget &v, int x, int y, int z) const
{
    const int sx = (x - y) * 22;
    const int sy = -(x + y) * 22 + 4 * z - 22;
    return {v.width() / 2 + sx, v.height() / 2 - sy};
}

TileRecord TestTileEditor::put(Doc &d, int kind, int id, int x, int y, int z, int hue)
{
    TileRecord t(quint16(id), qint16(hue), qint16(z), m_data, kind);
    t.x = x;
    t.y = y;
    d.model.addTile(x, y, t);
    return t;
}

void TestTileEditor::click(Doc &d, const QPoint &p, Qt::KeyboardModifiers mods)
{
    QTest::mousePress(&d.view, Qt::LeftButton, mods, p);
    QTest::mouseRelease(&d.view, Qt::LeftButton, mods, p);
}

void TestTileEditor::sendDrag(GLWidget &target, const QMimeData *mime, const QPoint &p,
                              Qt::DropActions actions, Qt::KeyboardModifiers mods)
{
    QDragEnterEvent enter(p, actions, mime, Qt::LeftButton, mods);
    QCoreApplication::sendEvent(&target, &enter);
    if (!enter.isAccepted())
        return;
    QDragMoveEvent move(p, actions, mime, Qt::LeftButton, mods);
    QCoreApplication::sendEvent(&target, &move);
    QDropEvent drop(p, actions, mime, Qt::LeftButton, mods);
    QCoreApplication::sendEvent(&target, &drop);
}

void TestTileEditor::paintClickAndStrokeSpacing()
{
    Doc &d = *m_doc;
    d.view.setPlacingAlt(4);
    d.ed().startPaint(artKey(ArtA));
    QVERIFY(d.ed().paintMode() && d.ed().painting());
    QCOMPARE(d.view.cursor().shape(), Qt::PointingHandCursor);

    // A click without movement places one tile at the pressed location, at the placing altitude.
    click(d, pointOf(d.view, 2, 1));
    QCOMPARE(snapshot(d.model), QStringList{QStringLiteral("100:2:1:4:0:1:1")});
    QVERIFY(d.view.selection().isEmpty(Art));

    // A stroke: one tile per new location, each at least the drag distance from the previous one.
    const int dist = QApplication::startDragDistance();
    // Above the diamond's middle line, clear of its side corners.
    const QPoint a = pointOf(d.view, -3, -3) - QPoint(0, 5);
    int boundary = a.x();
    while (d.view.mapLocation(QPoint(boundary, a.y())) == QPoint(-3, -3))
        ++boundary;
    const QPoint next = d.view.mapLocation(QPoint(boundary, a.y()));
    const QPoint p1(boundary - 4, a.y());
    QTest::mousePress(&d.view, Qt::LeftButton, {}, p1);
    QTest::mouseMove(&d.view, p1 + QPoint(0, 1));            // first placement
    QTest::mouseMove(&d.view, QPoint(boundary + 3, a.y()));  // new cell, too close
    QCOMPARE(d.model.tilesAt(next.x(), next.y()).size(), size_t(0));
    QTest::mouseMove(&d.view, QPoint(p1.x() + dist, a.y())); // far enough
    QTest::mouseRelease(&d.view, Qt::LeftButton, {}, QPoint(p1.x() + dist, a.y()));
    QCOMPARE(d.model.tilesAt(-3, -3).size(), size_t(1));
    QCOMPARE(d.model.tilesAt(next.x(), next.y()).size(), size_t(1));
    QCOMPARE(d.model.tileCount(), 3); // the release placed nothing

    // Each placement is its own undo step.
    d.view.undo();
    QCOMPARE(d.model.tileCount(), 2);

    // Terrain keys are ignored while only art is edited.
    d.view.stopPaint();
    QVERIFY(!d.ed().painting() && !d.ed().paintMode());
    d.ed().startPaint(QStringLiteral("3:0:0:0:0:1:0"));
    QVERIFY(!d.ed().paintMode());
}

void TestTileEditor::clickSelectionAndBand()
{
    Doc &d = *m_doc;
    const TileRecord t1 = put(d, Art, ArtA, 0, 0);
    const TileRecord t2 = put(d, Art, ArtA, 3, 0);
    const TileRecord t3 = put(d, Art, ArtA, 0, 3);
    const TileRecord ground = put(d, Terrain, Ground, -5, -5);
    d.view.selection().add(TileIdentity::of(ground), false);
    paint(d);
    Selection &sel = d.view.selection();

    click(d, pointOf(d.view, 0, 0));
    QVERIFY(sel.query(TileIdentity::of(t1)) && sel.count(Art) == 1);
    click(d, pointOf(d.view, 3, 0), Qt::ControlModifier);
    QCOMPARE(sel.count(Art), 2);
    click(d, pointOf(d.view, 0, 0), Qt::ControlModifier); // toggles off
    QVERIFY(!sel.query(TileIdentity::of(t1)) && sel.query(TileIdentity::of(t2)));
    click(d, pointOf(d.view, 3, 0)); // plain click keeps it as the only one
    QCOMPARE(sel.count(Art), 1);

    // Empty space clears the art selection only.
    click(d, pointOf(d.view, 8, -8));
    QVERIFY(sel.isEmpty(Art));
    QVERIFY(sel.query(TileIdentity::of(ground)));

    // A band over the three art tiles, from empty space.
    sel.add(TileIdentity::of(put(d, Art, ArtB, -6, 6)), false);
    paint(d);
    const QPoint from = pointOf(d.view, 0, 3) + QPoint(-40, -70);
    const QPoint to = pointOf(d.view, 3, 0) + QPoint(40, 40);
    QTest::mousePress(&d.view, Qt::LeftButton, {}, from);
    QTest::mouseMove(&d.view, to, -1);
    QVERIFY(d.ed().bandShown());
    QTest::mouseRelease(&d.view, Qt::LeftButton, {}, to);
    QVERIFY(!d.ed().bandShown());
    QCOMPARE(sel.count(Art), 3);
    for (const TileRecord &t : {t1, t2, t3})
        QVERIFY(sel.query(TileIdentity::of(t)));
    QVERIFY(sel.query(TileIdentity::of(ground))); // the other kind is untouched
}

void TestTileEditor::dragStartCarriesSelectionInsteadOfBand()
{
    Doc &d = *m_doc;
    const TileRecord t1 = put(d, Art, ArtA, 0, 0, 2);
    put(d, Art, ArtA, 3, 0);
    d.view.selection().add(TileIdentity::of(t1), false);
    paint(d);
    std::unique_ptr<QMimeData> carried;
    Qt::DropActions allowed;
    int launches = 0;
    d.ed().setDragLauncher([&](QMimeData *m, Qt::DropActions a) {
        carried.reset(m);
        allowed = a;
        ++launches;
    });
    const int dist = QApplication::startDragDistance();

    // From an unselected tile: a band, no drag.
    const QPoint p = pointOf(d.view, 3, 0);
    QTest::mousePress(&d.view, Qt::LeftButton, {}, p);
    QTest::mouseMove(&d.view, p + QPoint(dist - 1, 0)); // below the distance: nothing
    QVERIFY(!d.ed().bandShown() && d.ed().pressed());
    QTest::mouseMove(&d.view, p + QPoint(dist, 0));
    QVERIFY(d.ed().bandShown());
    QCOMPARE(launches, 0);
    QTest::mouseRelease(&d.view, Qt::LeftButton, {}, p + QPoint(dist, 0));

    // From a selected tile: a drag of the art selection, Move only, and no band.
    d.view.selection().clear(0);
    d.view.selection().add(TileIdentity::of(t1), false);
    const QPoint q = pointOf(d.view, 0, 0, 2);
    QTest::mousePress(&d.view, Qt::LeftButton, {}, q);
    QTest::mouseMove(&d.view, q + QPoint(0, dist));
    QCOMPARE(launches, 1);
    QVERIFY(!d.ed().bandShown());
    QCOMPARE(allowed, Qt::DropActions(Qt::MoveAction));
    int x = 1, y = 1;
    qint16 z = 1;
    const TileMap tiles = d.view.mimeMgr()->decode(Art, carried.get(), x, y, z);
    QCOMPARE(QList<int>({x, y, int(z)}), QList<int>({0, 0, 0}));
    QCOMPARE(tiles.value(0).size(), 1);
    QCOMPARE(tiles.value(0).first().key(), QStringLiteral("100:0:0:2:0:1:1"));
    // The button still held after the drag must not start another one.
    QTest::mouseMove(&d.view, q + QPoint(0, 2 * dist));
    QCOMPARE(launches, 1);
    QTest::mouseRelease(&d.view, Qt::LeftButton, {}, q + QPoint(0, 2 * dist));
}

void TestTileEditor::moveWithinViewIsOneUndoStep()
{
    Doc &d = *m_doc;
    const TileRecord t1 = put(d, Art, ArtA, 0, 0, 5);
    const TileRecord t2 = put(d, Art, ArtB, 1, 0, 7);
    const QStringList before = snapshot(d.model);
    d.view.selection().add(TileIdentity::of(t1), false);
    d.view.selection().add(TileIdentity::of(t2), false);
    d.view.setPlacingAlt(3); // offsets and placement cancel out
    paint(d);
    d.ed().setDragLauncher([&](QMimeData *m, Qt::DropActions a) {
        std::unique_ptr<QMimeData> own(m);
        sendDrag(d.view, m, pointOf(d.view, 4, 4), a);
    });
    QTest::mousePress(&d.view, Qt::LeftButton, {}, pointOf(d.view, 0, 0, 5));
    QTest::mouseMove(&d.view, pointOf(d.view, 0, 0, 5) + QPoint(0, 30));
    QTest::mouseRelease(&d.view, Qt::LeftButton, {}, pointOf(d.view, 0, 0, 5) + QPoint(0, 30));

    const QStringList moved{QStringLiteral("100:4:4:5:0:1:1"), QStringLiteral("200:5:4:7:0:1:1")};
    QCOMPARE(snapshot(d.model), moved);
    QCOMPARE(d.view.selection().count(Art), 2);
    QVERIFY(!d.ed().painting());
    d.view.undo();
    QCOMPARE(snapshot(d.model), before);
    QVERIFY(!d.view.undoMgr()->hasSteps(0));
    d.view.redo();
    QCOMPARE(snapshot(d.model), moved);
}

void TestTileEditor::copyIntoSecondViewAndAlt()
{
    Doc &d = *m_doc;
    Doc other(&m_art, m_data, m_textures.get());
    QVERIFY(QTest::qWaitForWindowExposed(&other.view));
    const TileRecord t1 = put(d, Art, ArtA, 0, 0, 5);
    d.view.selection().add(TileIdentity::of(t1), false);
    const QStringList source = snapshot(d.model);
    other.view.setPlacingAlt(10);

    std::unique_ptr<QMimeData> payload;
    d.ed().setDragLauncher([&](QMimeData *m, Qt::DropActions) { payload.reset(m); });
    paint(d);
    QTest::mousePress(&d.view, Qt::LeftButton, {}, pointOf(d.view, 0, 0, 5));
    QTest::mouseMove(&d.view, pointOf(d.view, 0, 0, 5) + QPoint(30, 0));
    QTest::mouseRelease(&d.view, Qt::LeftButton, {}, pointOf(d.view, 0, 0, 5) + QPoint(30, 0));
    QVERIFY(payload);

    // Into another view: a copy raised by that view's placing altitude.
    sendDrag(other.view, payload.get(), pointOf(other.view, 2, 2), Qt::MoveAction);
    QCOMPARE(snapshot(other.model), QStringList{QStringLiteral("100:2:2:15:0:1:1")});
    QCOMPARE(snapshot(d.model), source);
    // With Alt the payload altitude stays.
    sendDrag(other.view, payload.get(), pointOf(other.view, -2, 2), Qt::MoveAction, Qt::AltModifier);
    QCOMPARE(other.model.tilesAt(-2, 2).begin()->z, qint16(5));
    QCOMPARE(other.view.selection().count(Art), 1);
}

void TestTileEditor::refusesTerrainWhileEditingArt()
{
    Doc &d = *m_doc;
    TileMap tiles;
    TileRecord g(Ground, 0, 0, m_data, Terrain);
    tiles[0].append(g);
    std::unique_ptr<QMimeData> terrain(d.view.mimeMgr()->encode(Terrain, tiles, 0, 0, 0));
    const QPoint p = pointOf(d.view, 1, 1);
    QDragEnterEvent enter(p, Qt::CopyAction, terrain.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(&d.view, &enter);
    QVERIFY(!enter.isAccepted());
    QDropEvent drop(p, Qt::CopyAction, terrain.get(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(&d.view, &drop);
    QVERIFY(!drop.isAccepted());
    QCOMPARE(d.model.tileCount(), 0);
    QVERIFY(!d.ed().painting());

    // The same payload goes in while terrain is edited, replacing the default ground.
    d.view.setEditArt(false);
    d.view.setEditTerrain(true);
    put(d, Terrain, 0, 1, 1);
    sendDrag(d.view, terrain.get(), p, Qt::CopyAction);
    QCOMPARE(snapshot(d.model), QStringList{QStringLiteral("3:1:1:0:0:1:0")});
}

void TestTileEditor::copyOffsetsVisibilityAndPasteClamp()
{
    Doc &d = *m_doc;
    const TileRecord t1 = put(d, Art, ArtA, 10, 5, 7);
    TileRecord hidden(ArtB, 0, 7, m_data, Art);
    hidden.x = 12;
    hidden.y = 6;
    hidden.visible = 0;
    d.model.addTile(12, 6, hidden);
    d.view.selection().add(TileIdentity::of(t1), false);
    d.view.selection().add(TileIdentity::of(hidden), false);
    const QStringList before = snapshot(d.model);
    d.view.copy();
    QCOMPARE(snapshot(d.model), before);
    QCOMPARE(d.view.selection().count(Art), 2);

    const QMimeData *clip = QGuiApplication::clipboard()->mimeData();
    QVERIFY(clip && clip->hasFormat(QStringLiteral("bm/art")));
    int x = 9, y = 9;
    qint16 z = 9;
    TileMap tiles = d.view.mimeMgr()->decode(Art, clip, x, y, z);
    QCOMPARE(QList<int>({x, y, int(z)}), QList<int>({0, 0, 0}));
    QStringList keys;
    for (const auto &list : tiles)
        for (const TileRecord &t : list)
            keys << t.key();
    keys.sort();
    QCOMPARE(keys, QStringList({QStringLiteral("100:0:0:7:0:1:1"), QStringLiteral("200:2:1:7:0:1:1")}));

    // Paste: raised by the placing altitude, clamped to 127, placed at the release location.
    TileMap high;
    TileRecord tall(ArtA, 0, 120, m_data, Art);
    high[0].append(tall);
    QGuiApplication::clipboard()->setMimeData(d.view.mimeMgr()->encode(Art, high, 0, 0, 0));
    d.view.setPlacingAlt(20);
    d.view.paste();
    QVERIFY(d.ed().pasteArmed() && d.ed().painting());
    QTest::mouseMove(&d.view, pointOf(d.view, -4, 2));
    click(d, pointOf(d.view, -4, 2));
    QVERIFY(!d.ed().pasteArmed() && !d.ed().painting());
    QCOMPARE(d.model.tilesAt(-4, 2).begin()->z, qint16(127));
    QCOMPARE(d.view.selection().count(Art), 1);

    // A terrain payload does not paste while art is edited.
    QGuiApplication::clipboard()->setMimeData(d.view.mimeMgr()->encode(Terrain, high, 0, 0, 0));
    d.view.paste();
    QVERIFY(!d.ed().pasteArmed());
}

void TestTileEditor::keyboardMovesAndTerrainRules()
{
    Doc &d = *m_doc;
    const TileRecord g = put(d, Terrain, Ground, 2, 2, 0);
    const TileRecord a = put(d, Art, ArtA, 2, 2, 0);
    d.view.setEditArt(false);
    d.view.setEditTerrain(true);
    d.view.selection().add(TileIdentity::of(g), false);
    d.view.selection().add(TileIdentity::of(a), false);

    d.view.moveSelection(-1, -1, 0); // terrain only goes up and down
    QCOMPARE(d.model.tileCount(), 2);
    QVERIFY(!d.view.undoMgr()->hasSteps(0));
    d.view.moveSelection(0, 0, 1);
    QCOMPARE(snapshot(d.model),
             QStringList({QStringLiteral("100:2:2:0:0:1:1"), QStringLiteral("3:2:2:1:0:1:0")}));
    QCOMPARE(d.view.selection().count(Terrain), 1);

    // Art moves sideways and may land on an equal tile.
    d.view.setEditTerrain(false);
    d.view.setEditArt(true);
    put(d, Art, ArtA, 3, 2, 0);
    d.view.selection().add(TileIdentity::of(a), false);
    d.view.moveSelection(1, 0, 0);
    QCOMPARE(d.model.tilesAt(3, 2).size(), size_t(2));
    QVERIFY(d.view.selection().query({Art, ArtA, 3, 2, 0, 0, 1}));

    // A move that would push a tile over the edge is refused whole, not half done.
    const TileRecord edge = put(d, Art, ArtB, 199, 0);
    d.view.selection().add(TileIdentity::of(edge), false);
    const QStringList atEdge = snapshot(d.model);
    d.view.moveSelection(1, 0, 0);
    QCOMPARE(snapshot(d.model), atEdge);

    // While a tile hangs at the cursor, altitude steps move the placing altitude instead.
    QSignalSpy place(&d.view, &GLWidget::myPlace);
    d.view.startPaint(artKey(ArtB));
    const QStringList before = snapshot(d.model);
    d.view.moveSelection(0, 0, 1);
    QCOMPARE(d.view.placingAltitude(), 1);
    QCOMPARE(place.size(), 1);
    QCOMPARE(place.first().first().toInt(), 1);
    QCOMPARE(snapshot(d.model), before);
}

void TestTileEditor::hueAltitudeVisibilityAndDelete()
{
    Doc &d = *m_doc;
    const TileRecord a = put(d, Art, ArtA, 0, 0);
    const TileRecord b = put(d, Art, ArtB, 1, 0);
    const TileRecord g = put(d, Terrain, Ground, 0, 0);
    Selection &sel = d.view.selection();
    sel.add(TileIdentity::of(a), false);
    sel.add(TileIdentity::of(b), false);

    d.view.setHueOrAltitude(0, 33, false);
    QCOMPARE(snapshot(d.model), QStringList({QStringLiteral("100:0:0:0:33:1:1"),
                                             QStringLiteral("200:1:0:0:33:1:1"),
                                             QStringLiteral("3:0:0:0:0:1:0")}));
    QVERIFY(sel.query({Art, ArtA, 0, 0, 0, 33, 1}));
    d.view.setHueOrAltitude(-9, 0, true);
    QCOMPARE(d.model.tilesAt(1, 0).begin()->z, qint16(-9));
    d.view.undo();
    d.view.undo();
    QCOMPARE(d.model.tilesAt(1, 0).begin()->key(), b.key());

    // Visibility acts on the art selection whatever the edited kind; del does not.
    d.view.setEditArt(false);
    d.view.setEditTerrain(true);
    sel.add(TileIdentity::of(a), false);
    sel.add(TileIdentity::of(g), false);
    d.view.setMyVisible(false);
    QCOMPARE(d.model.tilesAt(0, 0).rbegin()->visible, qint16(0));
    QVERIFY(sel.query({Art, ArtA, 0, 0, 0, 0, 0}));
    d.view.setHueOrAltitude(0, 5, false); // no hue for terrain
    d.view.del();
    d.view.cut();
    QCOMPARE(d.model.tileCount(), 3);

    // Cut with art edited: removed as one step and put on the clipboard.
    d.view.setEditTerrain(false);
    d.view.setEditArt(true);
    sel.add({Art, ArtA, 0, 0, 0, 0, 0}, false);
    d.view.cut();
    QCOMPARE(d.model.tileCount(), 2);
    QVERIFY(sel.isEmpty(Art));
    int x, y;
    qint16 z;
    const TileMap clip =
        d.view.mimeMgr()->decode(Art, QGuiApplication::clipboard()->mimeData(), x, y, z);
    QCOMPARE(clip.value(0).size(), 1);
    QCOMPARE(clip.value(0).first().visible, qint16(1));
    d.view.undo();
    QCOMPARE(d.model.tileCount(), 3);
}

void TestTileEditor::insertItemChecksArtwork()
{
    Doc &d = *m_doc;
    m_dialogs->answer(ArtA + 1);
    d.view.insertItem();
    const ScriptedDialogs::Call *ask = m_dialogs->last(QStringLiteral("int"));
    QVERIFY(ask);
    QCOMPARE(ask->title, QStringLiteral("Insert item"));
    QCOMPARE(ask->max, m_art.staticCount() - 1);
    const ScriptedDialogs::Call *warn = m_dialogs->last(QStringLiteral("warning"));
    QVERIFY(warn);
    QCOMPARE(warn->title, QStringLiteral("Invalid id"));
    QCOMPARE(warn->text, QStringLiteral("ID 101 had no artwork"));
    QVERIFY(!d.ed().pasteArmed());

    m_dialogs->answer(ArtB);
    d.view.insertItem();
    QCOMPARE(m_dialogs->count(QStringLiteral("warning")), 1);
    QVERIFY(d.ed().pasteArmed());
    QCOMPARE(d.ed().brush().value(0).begin()->key(), QStringLiteral("200:0:0:0:0:1:1"));
}

void TestTileEditor::cancelCases()
{
    Doc &d = *m_doc;
    const TileRecord a = put(d, Art, ArtA, 0, 0);
    const TileRecord g = put(d, Terrain, Ground, 0, 0);
    Selection &sel = d.view.selection();
    sel.add(TileIdentity::of(a), false);
    sel.add(TileIdentity::of(g), false);

    d.view.startPaint(artKey(ArtA));
    d.view.cancel();
    QVERIFY(!d.ed().paintMode() && !d.ed().painting());
    QCOMPARE(d.view.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(sel.count(Art), 1); // only the paint mode ended

    QGuiApplication::clipboard()->setMimeData(
        d.view.mimeMgr()->encode(Art, TileEditor::toTileMap(d.ed().brush()), 0, 0, 0));
    d.view.paste();
    d.view.startPaint(artKey(ArtB)); // ignored while a paste hangs
    d.view.stopPaint();              // does not end the paste either
    QVERIFY(d.ed().pasteArmed() && !d.ed().paintMode());
    d.view.cancel();
    QVERIFY(!d.ed().pasteArmed() && !d.ed().painting());
    QCOMPARE(sel.count(Art), 1);

    d.view.cancel();
    QVERIFY(sel.isEmpty(Art));
    QCOMPARE(sel.count(Terrain), 1);
}

void TestTileEditor::undoRedoRestoreExactContents()
{
    Doc &d = *m_doc;
    Selection &sel = d.view.selection();
    QList<QStringList> states{snapshot(d.model)};
    auto step = [&] { states.append(snapshot(d.model)); };

    d.view.startPaint(artKey(ArtA));
    for (int i = 0; i < 4; ++i) {
        click(d, pointOf(d.view, i, -i));
        step();
    }
    d.view.stopPaint();
    for (int i = 0; i < 4; ++i)
        sel.add({Art, ArtA, i, -i, 0, 0, 1}, false);
    d.view.moveSelection(1, 0, 0);
    step();
    d.view.moveSelection(0, 0, -2);
    step();
    d.view.setHueOrAltitude(0, 12, false);
    step();
    d.view.setMyVisible(false);
    step();
    d.view.copy();
    d.view.setPlacingAlt(6);
    d.view.paste();
    QTest::mouseMove(&d.view, pointOf(d.view, -5, 0));
    click(d, pointOf(d.view, -5, 0));
    step();
    d.view.moveSelection(-1, 1, 0); // the pasted group
    step();
    sel.clear(0);
    sel.add({Art, ArtA, 1, 0, -2, 12, 0}, false);
    d.view.del();
    step();
    QCOMPARE(d.model.tileCount(), 7);

    for (int i = states.size() - 2; i >= 0; --i) {
        d.view.undo();
        QCOMPARE(snapshot(d.model), states[i]);
        QVERIFY(sel.isEmpty(Art));
    }
    for (int i = 1; i < states.size(); ++i) {
        d.view.redo();
        QCOMPARE(snapshot(d.model), states[i]);
    }
    d.view.save();
    QVERIFY(!d.view.undoMgr()->hasSteps(0) && !d.view.undoMgr()->hasSteps(1));
}

QTEST_MAIN(TestTileEditor)
#include "test_tileeditor.moc"
