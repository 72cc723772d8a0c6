// The builder's tools as a user meets them: a real main window with a real
// document, tools chosen by their keys and the tool bar, shapes drawn by
// mouse drags on the view, judged by the model's tiles (expected cells
// written out here), the frames shown, undo and redo.
#include "EditorWindow.h"
#include "TileKeys.h"
#include "model/UndoMgr.h"
#include "panels/Clip.h"
#include "panels/Palette.h"
#include "view/GLWidget.h"
#include "view/TileEditor.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>

namespace {
const int Floor = 500;
const int Corner = 601;
const int AlongX = 602;
const int AlongY = 603;
const int Stone = 700;
const int Tall = 710;
const QString StoneKey = QStringLiteral("700:0:0:0:0:1:1");
const QString FloorKey = QStringLiteral("500:0:0:0:0:1:1");

// Art keys of one id at the cells, at altitude z.
QStringList keysAt(int id, const QList<QPoint> &cells, int z = 0, int hue = 0)
{
    QStringList keys;
    for (const QPoint &c : cells)
        keys.append(QStringLiteral("%1:%2:%3:%4:%5:1:1").arg(id).arg(c.x()).arg(c.y()).arg(z).arg(hue));
    return keys;
}

QStringList sorted(QStringList keys)
{
    keys.sort();
    return keys;
}

using Cells = QList<QPoint>;
} // namespace

class TestTools : public GlTest
{
    Q_OBJECT
private:
    EditorWindow m_win;
    GLScroll *m_doc = nullptr;

    GLWidget *view() const { return m_doc->view(); }
    Facet &model() const { return *m_doc->model(); }

    QAction *action(const QString &text) const { return m_win.action(text); }

    // Middle of the diamond of (x, y) at altitude z, in view pixels (centre 0, 0, scale 1).
    QPoint pointOf(int x, int y, int z = 0) const
    {
        return {view()->width() / 2 + (x - y) * 22,
                view()->height() / 2 + (x + y) * 22 - 4 * z + 22};
    }
    QPoint pointOf(const QPoint &cell, int z = 0) const { return pointOf(cell.x(), cell.y(), z); }

    void key(int k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(m_doc, Qt::Key(k), mods); }
    void shortcut(int k, Qt::KeyboardModifiers mods = {}) { QTest::keyClick(m_win.main.get(), Qt::Key(k), mods); }
    void press(const QPoint &cell, int z = 0)
    {
        view()->grabFramebuffer(); // picking answers from the last frame
        QTest::mouseMove(view(), pointOf(cell, z));
        QTest::mousePress(view(), Qt::LeftButton, {}, pointOf(cell, z));
    }
    // Moves with the button held, through the middle, to the cell.
    void dragTo(const QPoint &from, const QPoint &to, int z = 0)
    {
        QMouseEvent mid(QEvent::MouseMove, (pointOf(from, z) + pointOf(to, z)) / 2,
                        view()->mapToGlobal((pointOf(from, z) + pointOf(to, z)) / 2), Qt::NoButton,
                        Qt::LeftButton, {});
        QCoreApplication::sendEvent(view(), &mid);
        QMouseEvent end(QEvent::MouseMove, pointOf(to, z), view()->mapToGlobal(pointOf(to, z)),
                        Qt::NoButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view(), &end);
    }
    void release(const QPoint &cell, int z = 0) { QTest::mouseRelease(view(), Qt::LeftButton, {}, pointOf(cell, z)); }
    void drag(const QPoint &from, const QPoint &to, int z = 0)
    {
        press(from, z);
        dragTo(from, to, z);
        release(to, z);
    }
    void click(const QPoint &cell, int z = 0)
    {
        press(cell, z);
        release(cell, z);
    }
    void put(int id, int x, int y, int z = 0, int hue = 0)
    {
        TileRecord t(quint16(id), qint16(hue), qint16(z), view()->tileData(), Art);
        t.x = x;
        t.y = y;
        QVERIFY(model().addTile(x, y, t));
        view()->update();
    }

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        m_win.plant(sceneArt({{Floor, 0, 0, 0, {44, 44}, 0xFF806040}, {Corner, 0, 0, 0, {44, 44}, 0xFF404040},
                              {AlongX, 0, 0, 0, {44, 44}, 0xFF606060}, {AlongY, 0, 0, 0, {44, 44}, 0xFF707070},
                              {Stone, 0, 0, 0, {44, 44}, 0xFFF80000}, {Tall, 0, 0, 0, {20, 100}, 0xFF00F800}}));
    }

    void init()
    {
        m_win.start();
        m_doc = m_win.open();
        QVERIFY(m_doc);
        QVERIFY(QTest::qWaitForWindowExposed(view()));
        QCOMPARE(view()->mapLocation(pointOf(3, -2)), QPoint(3, -2)); // the helper's geometry
    }

    void cleanup() { m_win.stop(); }

    void shapesPlaceTheCellsDragged_data()
    {
        QTest::addColumn<int>("toolKey");
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<int>("placing");
        QTest::addColumn<Cells>("cells");
        QTest::newRow("line along x") << int(Qt::Key_L) << QPoint(0, 0) << QPoint(4, 1) << 0
                                      << Cells{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}};
        QTest::newRow("line along y, backwards") << int(Qt::Key_L) << QPoint(0, 0) << QPoint(1, -3) << 0
                                                 << Cells{{0, 0}, {0, -1}, {0, -2}, {0, -3}};
        QTest::newRow("line on the diagonal") << int(Qt::Key_L) << QPoint(0, 0) << QPoint(3, 2) << 5
                                              << Cells{{0, 0}, {1, 1}, {2, 2}, {3, 3}};
        QTest::newRow("rectangle") << int(Qt::Key_R) << QPoint(1, 2) << QPoint(-1, -1) << 0
                                   << Cells{{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {0, 0}, {1, 0},
                                            {-1, 1},  {0, 1},  {1, 1},  {-1, 2}, {0, 2}, {1, 2}};
        QTest::newRow("hollow rectangle") << int(Qt::Key_H) << QPoint(0, 0) << QPoint(3, 2) << 0
                                          << Cells{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 1},
                                                   {3, 1}, {0, 2}, {1, 2}, {2, 2}, {3, 2}};
        QTest::newRow("one cell") << int(Qt::Key_R) << QPoint(2, 2) << QPoint(2, 2) << 0
                                  << Cells{{2, 2}};
    }

    // The preview shows the shape before the release and changes nothing; the
    // release places it as one undo step; undo and redo restore each state.
    void shapesPlaceTheCellsDragged()
    {
        QFETCH(int, toolKey);
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(int, placing);
        QFETCH(Cells, cells);
        put(Floor, 8, -8); // something that stays
        const QStringList before = tileKeys(model().locations());
        view()->setPlacingAlt(placing);
        m_win.main->startPaint(StoneKey);
        key(toolKey);
        QVERIFY(view()->tool() != ToolKind::Brush);

        press(from, placing);
        dragTo(from, to, placing);
        QCOMPARE(tileKeys(model().locations()), before);
        // Translucent red over every cell of the shape; a cell outside shows none.
        const QImage frame = view()->grabFramebuffer();
        const auto reddish = [&](const QPoint &cell) {
            const QRgb c = frame.pixel(pointOf(cell, placing) - QPoint(0, 2));
            return qRed(c) > qGreen(c) + 60 && qRed(c) > qBlue(c) + 60;
        };
        for (const QPoint &c : cells)
            QVERIFY2(reddish(c), qPrintable(QStringLiteral("preview at %1,%2").arg(c.x()).arg(c.y())));
        QVERIFY(!reddish(QPoint(-3, 4)));
        release(to, placing);

        const QStringList after = sorted(before + keysAt(Stone, cells, placing));
        QCOMPARE(tileKeys(model().locations()), after);
        QCOMPARE(view()->tool() == ToolKind::Select, false); // the tool stays for the next shape
        view()->undo();
        QCOMPARE(tileKeys(model().locations()), before);
        QVERIFY(!view()->undoMgr()->hasSteps(0));
        view()->redo();
        QCOMPARE(tileKeys(model().locations()), after);
    }

    void escapeDropsTheGesture_data()
    {
        QTest::addColumn<int>("toolKey");
        QTest::newRow("line") << int(Qt::Key_L);
        QTest::newRow("rectangle") << int(Qt::Key_R);
        QTest::newRow("hollow rectangle") << int(Qt::Key_H);
        QTest::newRow("fill") << int(Qt::Key_F);
        QTest::newRow("erase") << int(Qt::Key_E);
    }

    // Escape while the button is held: the release afterwards changes nothing.
    void escapeDropsTheGesture()
    {
        QFETCH(int, toolKey);
        for (int x = -2; x <= 2; ++x)
            put(Floor, x, 3);
        // A closed room for the fill.
        for (const QPoint &c : Cells{{5, 5}, {6, 5}, {7, 5}, {5, 6}, {7, 6}, {5, 7}, {6, 7}, {7, 7}})
            put(Corner, c.x(), c.y());
        const QStringList before = tileKeys(model().locations());
        m_win.main->startPaint(StoneKey);
        key(toolKey);
        const QPoint from = toolKey == Qt::Key_F ? QPoint(6, 6) : QPoint(-3, 3);
        const QPoint to = toolKey == Qt::Key_F ? QPoint(6, 6) : QPoint(3, 3);
        press(from);
        dragTo(from, to);
        if (toolKey == Qt::Key_E)
            QVERIFY(view()->editor()->bandShown());
        else
            QVERIFY(view()->editor()->painting());
        shortcut(Qt::Key_Escape);
        QVERIFY(!view()->editor()->bandShown());
        release(to);
        QCOMPARE(tileKeys(model().locations()), before);
        QVERIFY(!view()->undoMgr()->hasSteps(0));
        // The tool stays, and the next gesture works.
        QCOMPARE(int(view()->tool()), int(*toolForKey(toolKey)));
    }

    void wallsUseTheGroupsPieces()
    {
        // As the palette announces the group chosen in its tree.
        emit m_win.main->palette()->wallSetChosen(WallSet{quint16(Corner), quint16(AlongX), quint16(AlongY)});
        m_win.main->startPaint(StoneKey);
        view()->setPlacingAlt(7);
        key(Qt::Key_H);
        drag({3, 2}, {0, 0}, 7);
        const QStringList expected = sorted(keysAt(Corner, {{0, 0}, {3, 0}, {0, 2}, {3, 2}}, 7)
                                            + keysAt(AlongX, {{1, 0}, {2, 0}, {1, 2}, {2, 2}}, 7)
                                            + keysAt(AlongY, {{0, 1}, {3, 1}}, 7));
        QCOMPARE(tileKeys(model().locations()), expected);
        view()->undo();
        QVERIFY(tileKeys(model().locations()).isEmpty());
        // A group without them: the brush on every side cell.
        emit m_win.main->palette()->wallSetChosen(std::nullopt);
        drag({1, 1}, {0, 0}, 7);
        QCOMPARE(tileKeys(model().locations()), sorted(keysAt(Stone, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}, 7)));
    }

    // A copied group is the brush: the line repeats it at its own width.
    void lineRepeatsACopiedGroup()
    {
        put(Stone, 0, 0);
        put(Floor, 1, 0);
        shortcut(Qt::Key_A, Qt::ControlModifier);
        shortcut(Qt::Key_C, Qt::ControlModifier);
        shortcut(Qt::Key_V, Qt::ControlModifier);
        QVERIFY(view()->editor()->pasteArmed());
        shortcut(Qt::Key_Escape); // not placed; the group stays the brush
        const QStringList before = tileKeys(model().locations());
        key(Qt::Key_L);
        drag({-10, 5}, {-5, 5});
        QCOMPARE(tileKeys(model().locations()),
                 sorted(before + keysAt(Stone, {{-10, 5}, {-8, 5}, {-6, 5}})
                        + keysAt(Floor, {{-9, 5}, {-7, 5}, {-5, 5}})));
    }

    void fillFillsTheEnclosedRegion()
    {
        // Walls around a 3 x 2 room at the placing altitude, and one at another altitude inside.
        const Cells walls = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {0, 1}, {4, 1},
                             {0, 2}, {4, 2}, {0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 3}};
        for (const QPoint &c : walls)
            put(Corner, c.x(), c.y());
        put(Tall, 2, 2, 20);
        const QStringList walled = tileKeys(model().locations());
        const Cells room = {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}};

        m_win.main->startPaint(FloorKey);
        key(Qt::Key_F);
        click({2, 1});
        const QStringList floored = sorted(walled + keysAt(Floor, room));
        QCOMPARE(tileKeys(model().locations()), floored);

        // The same tiles again: the floor is replaced, the walls stay.
        m_win.main->startPaint(StoneKey);
        click({3, 2});
        const QStringList stoned = sorted(walled + keysAt(Stone, room));
        QCOMPARE(tileKeys(model().locations()), stoned);

        // Outside the walls the region is open: refused with a message, nothing placed.
        click({-5, -5});
        QCOMPARE(m_win.dialogs->count("warning"), 1);
        QVERIFY(m_win.dialogs->last("warning")->text.contains(QStringLiteral("10000")));
        QCOMPARE(tileKeys(model().locations()), stoned);
        // The refusal leaves nothing pending: Escape puts the brush away, as when nothing was begun.
        shortcut(Qt::Key_Escape);
        QVERIFY(!view()->editor()->painting());

        view()->undo();
        QCOMPARE(tileKeys(model().locations()), floored);
        view()->undo();
        QCOMPARE(tileKeys(model().locations()), walled);
        view()->redo();
        view()->redo();
        QCOMPARE(tileKeys(model().locations()), stoned);
    }

    void eyedropperTakesTheTile()
    {
        put(Stone, 2, 2, 7, 5);
        view()->setPlacingAlt(2);
        QSignalSpy chosen(view(), &GLWidget::brushChosen);
        key(Qt::Key_I);
        click({2, 2}, 7);
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.last().at(0).toString(), QStringLiteral("700:0:0:5:5:1:1"));
        QVERIFY(m_win.main->toolLabel()->text().contains(QStringLiteral("hue 5")));
        // The picked tile heads the palette's recent brushes.
        QCOMPARE(m_win.main->palette()->recentKeys().value(0), QStringLiteral("700:0:0:5:5:1:1"));
        // Painted elsewhere it keeps its hue and its height above the placing altitude.
        key(Qt::Key_B);
        view()->setPlacingAlt(10);
        click({-3, -3}); // painting places where the ground grid is pointed at
        QCOMPARE(tileKeys(model().locations()),
                 QStringList({"700:-3:-3:15:5:1:1", "700:2:2:7:5:1:1"}));
        // Empty space picks nothing.
        key(Qt::Key_I);
        click({-9, 9});
        QCOMPARE(chosen.count(), 1);
    }

    void eraseKeepsToTheClipRange()
    {
        put(Floor, 0, 0);
        put(Floor, 1, 0);
        put(Stone, 1, 0, 4);
        put(Floor, 2, 0, 30); // above the clip range
        put(Floor, 6, 6);     // outside the band
        view()->setAltCheck(true);
        view()->setMaxAlt(19);
        const QStringList before = tileKeys(model().locations());
        key(Qt::Key_E);
        view()->update();
        QTest::qWait(0);
        press({-1, -1});
        dragTo({-1, -1}, {3, 1});
        release({3, 1});
        QCOMPARE(tileKeys(model().locations()), QStringList({"500:2:0:30:0:1:1", "500:6:6:0:0:1:1"}));
        // A click erases the one tile under the pointer.
        click({6, 6});
        QCOMPARE(tileKeys(model().locations()), QStringList({"500:2:0:30:0:1:1"}));
        view()->undo();
        view()->undo();
        QCOMPARE(tileKeys(model().locations()), before);
    }

    // A band takes both of its corner pixels, whichever way it is dragged: one
    // pixel of a tile's image in the band's last corner is enough to erase it.
    void eraseBandTakesItsCorners_data()
    {
        QTest::addColumn<QPoint>("corner"); // the band's end, from the tile's last image pixel
        QTest::addColumn<bool>("erased");
        QTest::newRow("on the last pixel") << QPoint(0, 0) << true;
        QTest::newRow("one pixel right") << QPoint(1, 0) << false;
        QTest::newRow("one pixel below") << QPoint(0, 1) << false;
    }

    void eraseBandTakesItsCorners()
    {
        QFETCH(QPoint, corner);
        QFETCH(bool, erased);
        put(Floor, 0, 0);
        key(Qt::Key_E);
        // The 44 x 44 image of (0, 0) stands on its diamond: its last pixel is
        // 21 right of the middle column and 43 below the diamond's top.
        const QImage frame = view()->grabFramebuffer();
        const QPoint last(view()->width() / 2 + 21, view()->height() / 2 + 43);
        QCOMPARE(frame.pixel(last), frame.pixel(last - QPoint(10, 10)));
        QVERIFY(frame.pixel(last + QPoint(1, 1)) != frame.pixel(last));
        const QPoint start = last + QPoint(60, 80);
        QTest::mousePress(view(), Qt::LeftButton, {}, start);
        QMouseEvent move(QEvent::MouseMove, last + corner, view()->mapToGlobal(last + corner),
                         Qt::NoButton, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view(), &move);
        QTest::mouseRelease(view(), Qt::LeftButton, {}, last + corner);
        QCOMPARE(model().tileCount(), erased ? 0 : 1);
    }

    // A tool key in a text field is typed, and with a modifier it is no tool key either.
    void keysSwitchToolsOnlyInTheView()
    {
        const int toolKey = Qt::Key_R, tool = int(ToolKind::Rectangle);
        const QString button = QStringLiteral("Rectangle");
        // Away from Select first, through the tool bar (which hands the focus back).
        action("Fill")->trigger();
        QVERIFY(m_doc->hasFocus());
        const int start = int(view()->tool());
        QVERIFY(start != tool);

        // A text field of the window: the key is typed, the tool stays.
        QLineEdit field(m_win.main.get());
        field.show();
        field.setFocus();
        QTRY_VERIFY(field.hasFocus());
        QTest::keyClick(&field, Qt::Key(toolKey));
        QCOMPARE(int(view()->tool()), start);
        QCOMPARE(field.text().size(), 1);
        // With a modifier it is no tool key either.
        m_doc->setFocus();
        QTRY_VERIFY(m_doc->hasFocus());
        key(toolKey, Qt::ShiftModifier);
        QCOMPARE(int(view()->tool()), start);

        key(toolKey);
        QCOMPARE(int(view()->tool()), tool);
        QVERIFY(action(button)->isChecked());
        QVERIFY(m_win.main->toolBar()->actions().contains(action(button)));
    }

    void storeysMoveClipAndPlacing()
    {
        put(Floor, 0, 0);
        view()->selection().add(TileIdentity::of(*model().tilesAt(0, 0).begin()), false);
        // Plain Page Up still moves the selection.
        shortcut(Qt::Key_PageUp);
        QCOMPARE(tileKeys(model().locations()), QStringList({"500:0:-1:0:0:1:1"}));
        QCOMPARE(view()->placingAltitude(), 0);

        shortcut(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(view()->placingAltitude(), 20);
        QVERIFY(view()->clipEnabled());
        QCOMPARE(view()->maxAlt(), 39);
        QCOMPARE(view()->minAlt(), -128);
        QCOMPARE(m_win.main->clip()->findChild<QSlider *>("horizontalSlider")->value(), 39);
        QCOMPARE(m_win.main->placingLabel()->text(), QStringLiteral("Placing Alt: 20"));
        QCOMPARE(tileKeys(model().locations()), QStringList({"500:0:-1:0:0:1:1"}));

        shortcut(Qt::Key_PageDown, Qt::ControlModifier);
        shortcut(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(view()->placingAltitude(), -20);
        QCOMPARE(view()->maxAlt(), -1);

        // The height is asked for and kept.
        m_win.dialogs->answer(30);
        action("Storey Height")->trigger();
        QCOMPARE(QSettings("Brightmoor", "MultiEditorWindow").value("StoreyHeight").toInt(), 30);
        QCOMPARE(m_win.dialogs->last("int")->value.toInt(), 20);
        shortcut(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(view()->placingAltitude(), 10);
        QCOMPARE(view()->maxAlt(), 39);
        // The altitude range ends at 127.
        for (int i = 0; i < 6; ++i)
            shortcut(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(view()->placingAltitude(), 127);
        QCOMPARE(view()->maxAlt(), 127);
    }

    // A floor below the storey being worked on is drawn darker with the toggle on.
    // End moves the selection one step along y. A selected identity that names no
    // tile neither moves nor holds the move back at the edge; a real tile does.
    void movesTakeOnlySelectedTiles()
    {
        put(Floor, 0, 0);
        put(Stone, 0, 0, 5);
        put(Floor, 3, 198);
        Selection &sel = view()->selection();
        for (const TileRecord &t : model().tilesAt(0, 0))
            sel.add(TileIdentity::of(t), false);
        const TileIdentity staleAtEdge{Art, Stone, 4, 199, 0, 0, 1};
        const TileIdentity staleWhereFloorGoes{Art, Floor, 0, 1, 0, 0, 1};
        sel.add(staleAtEdge, false);
        sel.add(staleWhereFloorGoes, false);
        const QStringList before = tileKeys(model().locations());
        const QStringList after = sorted(keysAt(Floor, {{0, 1}, {3, 198}}) + keysAt(Stone, {{0, 1}}, 5));

        shortcut(Qt::Key_End);
        QCOMPARE(tileKeys(model().locations()), after);
        QCOMPARE(sel.count(Art), 2);
        QVERIFY(sel.query({Art, Floor, 0, 1, 0, 0, 1}));
        QVERIFY(sel.query({Art, Stone, 0, 1, 5, 0, 1}));
        shortcut(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(tileKeys(model().locations()), before);
        shortcut(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(tileKeys(model().locations()), after);

        // The floor at y 198 may go one step, not two.
        sel.clear(Selection::ClearBoth);
        sel.add({Art, Floor, 3, 198, 0, 0, 1}, false);
        sel.add({Art, Floor, 0, 1, 0, 0, 1}, false);
        shortcut(Qt::Key_End);
        const QStringList atEdge = sorted(keysAt(Floor, {{0, 2}, {3, 199}}) + keysAt(Stone, {{0, 1}}, 5));
        QCOMPARE(tileKeys(model().locations()), atEdge);
        shortcut(Qt::Key_End);
        QCOMPARE(tileKeys(model().locations()), atEdge);
        QCOMPARE(sel.count(Art), 2);
        QVERIFY(sel.query({Art, Floor, 3, 199, 0, 0, 1}));
        shortcut(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(tileKeys(model().locations()), after);
    }

    void lowerStoreysDim()
    {
        put(Stone, 0, 0);
        const auto redAt = [&] { return qRed(view()->grabFramebuffer().pixel(pointOf(0, 0) - QPoint(0, 2))); };
        const int bright = redAt();
        QVERIFY(bright > 200);
        shortcut(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(redAt(), bright);
        action("Dim Lower Storeys")->trigger();
        QVERIFY(redAt() < bright * 3 / 4);
        shortcut(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(redAt(), bright);
    }

    void statusShowsSelectionAndHint()
    {
        QLabel *label = m_win.main->toolLabel();
        // A long hint does not hold the window wide: it is cut, whole in the tooltip.
        QVERIFY(m_win.main->statusBar()->minimumSizeHint().width() < 300);
        QCOMPARE(label->toolTip(), label->text());
        QVERIFY(label->text().contains(QStringLiteral("Nothing selected")));
        put(Floor, 0, 0);
        put(Stone, 3, -1, 5);
        shortcut(Qt::Key_A, Qt::ControlModifier);
        QVERIFY2(label->text().contains(QStringLiteral("Selected: 2 tiles, x 0..3, y -1..0, z 0..5")),
                 qPrintable(label->text()));
        key(Qt::Key_L);
        QVERIFY(label->text().contains(QStringLiteral("|  No brush yet")));
        m_win.main->startPaint(StoneKey);
        QVERIFY(label->text().contains(QStringLiteral("|  Line:")));
        // The last document gone, the line is empty.
        m_win.dialogs->answer(int(QMessageBox::No));
        action("Close")->trigger();
        QTRY_VERIFY(m_win.main->documents().isEmpty());
        QVERIFY(label->text().isEmpty());
    }
};

QTEST_MAIN(TestTools)
#include "test_tools.moc"
