// The tile editor inside a bare view: picking, bands, drags between views,
// the edit rules and undo, judged by the model's tiles.
#include "ScriptedDialogs.h"
#include "SolidImage.h"
#include "TileKeys.h"
#include "ViewArt.h"
#include "model/MimeMgr.h"
#include "model/UndoMgr.h"
#include "view/TileEditor.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>

namespace {
const int ArtA = 100;
const int ArtB = 200;
const int Ground = 3;
const QString KeyA = QStringLiteral("100:0:0:0:0:1:1");

QStringList snapshot(const Facet &model) { return tileKeys(model.locations()); }

// Middle of the diamond of (x, y) at altitude z, in widget pixels (centre 0, 0, scale 1).
QPoint pointOf(int x, int y, int z = 0)
{
    return {220 + (x - y) * 22, 165 + (x + y) * 22 - 4 * z + 22};
}

void click(GLWidget &view, const QPoint &p, Qt::KeyboardModifiers mods = {})
{
    QTest::mousePress(&view, Qt::LeftButton, mods, p);
    QTest::mouseRelease(&view, Qt::LeftButton, mods, p);
}

// A press, a move past the drag distance and a release, after a paint for picking.
void drag(GLWidget &view, const QPoint &from, const QPoint &to)
{
    view.grabFramebuffer();
    QTest::mousePress(&view, Qt::LeftButton, {}, from);
    QTest::mouseMove(&view, to);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, to);
}

void sendDrag(GLWidget &target, const QMimeData *mime, const QPoint &p, Qt::KeyboardModifiers mods = {})
{
    QDragEnterEvent enter(p, Qt::MoveAction, mime, Qt::LeftButton, mods);
    QCoreApplication::sendEvent(&target, &enter);
    QDragMoveEvent move(p, Qt::MoveAction, mime, Qt::LeftButton, mods);
    QCoreApplication::sendEvent(&target, &move);
    QDropEvent drop(p, Qt::MoveAction, mime, Qt::LeftButton, mods);
    QCoreApplication::sendEvent(&target, &drop);
    QCOMPARE(drop.isAccepted(), enter.isAccepted());
}
} // namespace

// One document: model and view sharing the test's art.
struct Doc {
    Doc(ArtReader *art, const TileData &data, TexMgr *textures)
        : model(data), view(art, data, &model, textures)
    { view.resize(440, 330); view.show(); }
    Facet model;
    GLWidget view;
    TileEditor &ed() { return *view.editor(); }
};

class TestTileEditor : public GlTest
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        m_view.load({{ArtA, solidImage(44, 44, 0xFF804020)}, {ArtB, solidImage(20, 30, 0xFF2040A0)}},
                    {{Ground, solidImage(44, 44, 0xFF408040)}});
        m_view.newTextures();
    }
    void init()
    {
        m_doc = std::make_unique<Doc>(&m_view.art, m_data, m_view.textures.get());
        QVERIFY(QTest::qWaitForWindowExposed(&m_doc->view));
    }
    void cleanup() { m_doc.reset(); }
    // Clicks and bands change the art selection only; a drag from a selected
    // tile starts one Move drag (the picking itself is the window test's).
    void clickBandAndDragStart()
    {
        Doc &d = *m_doc;
        Selection &sel = d.view.selection();
        const TileIdentity t1 = TileIdentity::of(put(d, Art, ArtA, 0, 0, 2));
        const TileIdentity t2 = TileIdentity::of(put(d, Art, ArtA, 3, 0));
        const TileIdentity ground = TileIdentity::of(put(d, Terrain, Ground, -5, -5));
        sel.add(ground, false);
        int launches = 0;
        Qt::DropActions allowed;
        d.ed().setDragLauncher([&](QMimeData *m, Qt::DropActions a) { delete m; allowed = a; ++launches; });
        drag(d.view, pointOf(0, 3) + QPoint(-40, -70), pointOf(3, 0) + QPoint(40, 40));
        QVERIFY(sel.query(t1) && sel.query(t2) && sel.query(ground) && launches == 0 && !d.ed().bandShown());
        click(d.view, pointOf(8, -8)); // empty space clears the art selection only
        QVERIFY(sel.isEmpty(Art) && sel.query(ground));

        // From a selected tile, past the drag distance: a Move drag of the selection.
        sel.add(t1, false);
        const QPoint q = pointOf(0, 0, 2);
        QTest::mousePress(&d.view, Qt::LeftButton, {}, q);
        QTest::mouseMove(&d.view, q + QPoint(0, 20));
        QVERIFY(launches == 1 && !d.ed().bandShown());
        QCOMPARE(allowed, Qt::DropActions(Qt::MoveAction));
        // The button still held after the drag must not start another one, nor a band.
        QTest::mouseMove(&d.view, q + QPoint(0, 40));
        QVERIFY(launches == 1 && !d.ed().bandShown());
        QTest::mouseRelease(&d.view, Qt::LeftButton, {}, q + QPoint(0, 40));
    }
    void dropIntoAnotherViewAndKinds()
    {
        Doc &d = *m_doc;
        Doc other(&m_view.art, m_data, m_view.textures.get());
        QVERIFY(QTest::qWaitForWindowExposed(&other.view));
        d.view.selection().add(TileIdentity::of(put(d, Art, ArtA, 0, 0, 5)), false);
        const QStringList source = snapshot(d.model);
        std::unique_ptr<QMimeData> payload;
        d.ed().setDragLauncher([&](QMimeData *m, Qt::DropActions) { payload.reset(m); });
        drag(d.view, pointOf(0, 0, 5), pointOf(0, 0, 5) + QPoint(30, 0));

        // A copy raised by the target's placing altitude, clamped to 127; with Alt the altitude stays.
        other.view.setPlacingAlt(125);
        sendDrag(other.view, payload.get(), pointOf(2, 2));
        sendDrag(other.view, payload.get(), pointOf(-2, 2), Qt::AltModifier);
        QCOMPARE(snapshot(other.model), QStringList({"100:-2:2:5:0:1:1", "100:2:2:127:0:1:1"}));
        QCOMPARE(snapshot(d.model), source);

        // Terrain is refused while art is edited, and replaces the default ground while terrain is.
        TileMap ground;
        ground[0].append(TileRecord(Ground, 0, 0, m_data, Terrain));
        const std::unique_ptr<QMimeData> terrain(d.view.mimeMgr()->encode(Terrain, ground, 0, 0, 0));
        sendDrag(other.view, terrain.get(), pointOf(1, 1));
        QCOMPARE(other.model.tileCount(), 2);
        other.view.setPlacingAlt(0);
        other.view.setEditArt(false);
        other.view.setEditTerrain(true);
        put(other, Terrain, 0, 1, 1);
        sendDrag(other.view, terrain.get(), pointOf(1, 1));
        QCOMPARE(other.model.tilesAt(1, 1).begin()->key(), QStringLiteral("3:1:1:0:0:1:0"));
        QCOMPARE(other.model.tileCount(), 3);
        // Terrain stays within the game's altitude range too.
        ground[0].first().z = 20;
        const std::unique_ptr<QMimeData> high(d.view.mimeMgr()->encode(Terrain, ground, 0, 0, 120));
        sendDrag(other.view, high.get(), pointOf(3, 3), Qt::AltModifier);
        QCOMPARE(other.model.tilesAt(3, 3).begin()->key(), QStringLiteral("3:3:3:127:0:1:0"));
    }
    void editRulesRefuseWholly()
    {
        Doc &d = *m_doc;
        Selection &sel = d.view.selection();
        const TileIdentity g = TileIdentity::of(put(d, Terrain, Ground, 2, 2));
        const TileIdentity a = TileIdentity::of(put(d, Art, ArtA, 2, 2));
        QStringList before = snapshot(d.model);
        // Terrain only goes up and down, takes no hue, and is not deleted or cut.
        d.view.setEditArt(false);
        d.view.setEditTerrain(true);
        sel.add(g, false);
        sel.add(a, false);
        d.view.moveSelection(-1, -1, 0);
        d.view.setHueOrAltitude(0, 5, false);
        d.view.del();
        d.view.cut();
        QCOMPARE(snapshot(d.model), before);
        QVERIFY(!d.view.undoMgr()->hasSteps(0));

        // A move that would push one tile over the edge is refused whole, not half done.
        d.view.setEditTerrain(false);
        d.view.setEditArt(true);
        sel.add(a, false);
        sel.add(TileIdentity::of(put(d, Art, ArtB, 199, 0)), false);
        before = snapshot(d.model);
        d.view.moveSelection(1, 0, 0);
        QCOMPARE(snapshot(d.model), before);
        // While a tile hangs at the cursor, altitude steps move the placing altitude instead.
        d.view.startPaint(KeyA);
        d.view.moveSelection(0, 0, 1);
        QCOMPARE(d.view.placingAltitude(), 1);
        QCOMPARE(snapshot(d.model), before);
    }
    void cancelAndInsert()
    {
        Doc &d = *m_doc;
        Selection &sel = d.view.selection();
        sel.add(TileIdentity::of(put(d, Art, ArtA, 0, 0)), false);
        sel.add(TileIdentity::of(put(d, Terrain, Ground, 0, 0)), false);
        // Insert: an id without art is refused with a warning; one with art arms a paste.
        ScriptedDialogs dialogs;
        dialogs.answer(ArtA + 1);
        d.view.insertItem();
        QCOMPARE(dialogs.last("warning")->text, QStringLiteral("ID 101 had no artwork"));
        QVERIFY(!d.ed().pasteArmed());
        dialogs.answer(ArtB);
        d.view.insertItem();
        d.view.startPaint(KeyA); // ignored while a paste hangs
        QVERIFY(d.ed().pasteArmed() && !d.ed().paintMode());
        QCOMPARE(d.ed().brush().value(0).begin()->key(), QStringLiteral("200:0:0:0:0:1:1"));
        d.view.cancel();
        QVERIFY(!d.ed().pasteArmed() && !d.ed().painting() && sel.count(Art) == 1);
        d.view.cancel(); // nothing pending: clears the edited kind's selection
        QVERIFY(sel.isEmpty(Art));
        QVERIFY(sel.count(Terrain) == 1);
    }
    // Every edit is one undo step: undo walks back through each state exactly, redo forward.
    void undoRedoRestoreExactContents()
    {
        Doc &d = *m_doc;
        Selection &sel = d.view.selection();
        QList<QStringList> states{snapshot(d.model)};
        auto step = [&] {
            states.append(snapshot(d.model));
            QVERIFY(states.last() != states[states.size() - 2]);
        };
        // Painting at the placing altitude: a click, then a stroke from the pressed cell on.
        d.view.setPlacingAlt(1);
        d.view.startPaint(KeyA);
        click(d.view, pointOf(0, 0));
        step();
        QTest::mousePress(&d.view, Qt::LeftButton, {}, pointOf(2, 0));
        QTest::mouseMove(&d.view, pointOf(2, 0) + QPoint(3, 0));
        QTest::mouseMove(&d.view, pointOf(3, 0));
        QTest::mouseRelease(&d.view, Qt::LeftButton, {}, pointOf(3, 0));
        step();
        d.view.stopPaint();
        QCOMPARE(snapshot(d.model), QStringList({"100:0:0:1:0:1:1", "100:2:0:1:0:1:1", "100:3:0:1:0:1:1"}));
        for (int x : {0, 2, 3})
            sel.add({Art, ArtA, x, 0, 1, 0, 1}, false);
        d.ed().setDragLauncher(
            [&](QMimeData *m, Qt::DropActions) { sendDrag(d.view, m, pointOf(4, 4)); delete m; });
        const QList<std::function<void()>> edits = {
            [&] { d.view.moveSelection(1, 0, 0); },
            [&] { d.view.moveSelection(0, 0, -3); },
            [&] { d.view.setHueOrAltitude(0, 12, false); },
            [&] { d.view.setMyVisible(false); },
            [&] {
                d.view.copy();
                d.view.setPlacingAlt(6);
                d.view.paste();
                QTest::mouseMove(&d.view, pointOf(-5, 0));
                d.view.grabFramebuffer(); // what the user sees before the click
                click(d.view, pointOf(-5, 0));
            },
            [&] { d.view.moveSelection(-1, 1, 0); }, // the pasted group
            // and by drag: the grabbed tile lands where the drop is
            [&] { drag(d.view, pointOf(-4, 1, 3), pointOf(-4, 1, 3) + QPoint(0, 30)); },
        };
        for (const auto &edit : edits) {
            // Picking answers from the last frame: a busy machine may not have painted one yet.
            d.view.grabFramebuffer();
            edit();
            step();
        }
        QVERIFY(d.model.tilesAt(4, 4).size() == 1 && d.model.tilesAt(1, 4).size() == 1);
        QCOMPARE(d.model.tilesAt(4, 4).begin()->key(), QStringLiteral("100:4:4:3:12:1:1"));
        d.view.cut();
        step();
        QCOMPARE(d.model.tileCount(), 3);

        for (int i = states.size() - 2; i >= 0; --i) {
            d.view.undo();
            QCOMPARE(snapshot(d.model), states[i]);
        }
        for (int i = 1; i < states.size(); ++i) {
            d.view.redo();
            QCOMPARE(snapshot(d.model), states[i]);
        }
    }

private:
    TileRecord put(Doc &d, int kind, int id, int x, int y, int z = 0)
    {
        TileRecord t = m_view.tile(kind, id, x, y, z);
        d.model.addTile(x, y, t);
        return t;
    }

    ViewArt m_view;
    const TileData &m_data = m_view.data;
    std::unique_ptr<Doc> m_doc;
};

QTEST_MAIN(TestTileEditor)
#include "test_tileeditor.moc"
