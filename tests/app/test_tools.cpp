// The builder's tools as a user meets them: a real main window with a real
// document, tools chosen by their keys and the tool bar, shapes drawn by
// mouse drags on the view, judged by the model's tiles (expected cells
// written out here), the frames shown, undo and redo.
#include "EditorWindow.h"
#include "MlToolRun.h"
#include "TileKeys.h"
#include "model/UndoMgr.h"
#include "panels/Clip.h"
#include "panels/ListWidget.h"
#include "panels/Palette.h"
#include "view/TileEditor.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QSignalSpy>
#include <QSlider>
#include <QStatusBar>

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
    MainWindow *main() const { return m_win.main.get(); }
    QStringList snapshot(const Facet &f) const { return tileKeys(f.locations()); }
    // Placing altitude, clip on, clip top and bottom.
    QList<int> storey() const
    {
        return {view()->placingAltitude(), view()->clipEnabled(), view()->maxAlt(), view()->minAlt()};
    }

    // Middle of the diamond of (x, y) at altitude z, in view pixels (centre 0, 0, scale 1).
    QPoint pointOf(int x, int y, int z = 0) const
    {
        return {view()->width() / 2 + (x - y) * 22,
                view()->height() / 2 + (x + y) * 22 - 4 * z + 22};
    }
    QPoint pointOf(const QPoint &cell, int z = 0) const { return pointOf(cell.x(), cell.y(), z); }

    void key(int k, Qt::KeyboardModifiers mods = {})
    {
        QTest::keyClick(m_doc, Qt::Key(k), mods);
    }
    void shortcut(int k, Qt::KeyboardModifiers mods = {})
    {
        QTest::keyClick(main(), Qt::Key(k), mods);
    }
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
    void release(const QPoint &cell, int z = 0)
    {
        QTest::mouseRelease(view(), Qt::LeftButton, {}, pointOf(cell, z));
    }
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
        QMap<int, QImage> art;
        const QList<QPair<int, QRgb>> colours = {{Floor, 0xFF806040}, {Corner, 0xFF404040},
                                                 {AlongX, 0xFF606060}, {AlongY, 0xFF707070},
                                                 {Stone, 0xFFF80000}};
        for (const auto &c : colours) {
            QImage image(44, 44, QImage::Format_ARGB32);
            image.fill(c.second);
            art.insert(c.first, image);
        }
        QImage tall(20, 100, QImage::Format_ARGB32);
        tall.fill(0xFF00F800);
        art.insert(Tall, tall);
        m_win.plant(art);
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
        const QStringList before = snapshot(model());
        view()->setPlacingAlt(placing);
        main()->startPaint(StoneKey);
        key(toolKey);
        QVERIFY(view()->tool() != ToolKind::Brush);

        press(from, placing);
        dragTo(from, to, placing);
        QCOMPARE(snapshot(model()), before);
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
        QCOMPARE(snapshot(model()), after);
        QCOMPARE(view()->tool() == ToolKind::Select, false); // the tool stays for the next shape
        view()->undo();
        QVERIFY(snapshot(model()) == before && !view()->undoMgr()->hasSteps(0));
        view()->redo();
        QCOMPARE(snapshot(model()), after);
    }
    void escapeDropsTheGesture_data()
    {
        QTest::addColumn<int>("toolKey");
        QTest::newRow("line") << int(Qt::Key_L);
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
        const QStringList before = snapshot(model());
        main()->startPaint(StoneKey);
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
        QCOMPARE(snapshot(model()), before);
        QVERIFY(!view()->undoMgr()->hasSteps(0));
        // The tool stays, and the next gesture works.
        QCOMPARE(int(view()->tool()), int(*toolForKey(toolKey)));
    }
    void wallsUseTheGroupsPieces()
    {
        // As the palette announces the group chosen in its tree.
        emit main()->palette()->wallSetChosen(WallSet{quint16(Corner), quint16(AlongX), quint16(AlongY)});
        main()->startPaint(StoneKey);
        view()->setPlacingAlt(7);
        key(Qt::Key_H);
        drag({3, 2}, {0, 0}, 7);
        const QStringList expected = sorted(keysAt(Corner, {{0, 0}, {3, 0}, {0, 2}, {3, 2}}, 7)
                                            + keysAt(AlongX, {{1, 0}, {2, 0}, {1, 2}, {2, 2}}, 7)
                                            + keysAt(AlongY, {{0, 1}, {3, 1}}, 7));
        QCOMPARE(snapshot(model()), expected);
        view()->undo();
        QVERIFY(snapshot(model()).isEmpty());
        // A group without them: the brush on every side cell.
        emit main()->palette()->wallSetChosen(std::nullopt);
        drag({1, 1}, {0, 0}, 7);
        QCOMPARE(snapshot(model()), sorted(keysAt(Stone, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}, 7)));
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
        const QStringList before = snapshot(model());
        key(Qt::Key_L);
        drag({-10, 5}, {-5, 5});
        QCOMPARE(snapshot(model()),
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
        const QStringList walled = snapshot(model());
        const Cells room = {{1, 1}, {2, 1}, {3, 1}, {1, 2}, {2, 2}, {3, 2}};

        main()->startPaint(FloorKey);
        key(Qt::Key_F);
        click({2, 1});
        const QStringList floored = sorted(walled + keysAt(Floor, room));
        QCOMPARE(snapshot(model()), floored);

        // A floor tile clicked (walls stand in front of (3, 2)): the floor is replaced, the walls stay.
        main()->startPaint(StoneKey);
        click({2, 1});
        const QStringList stoned = sorted(walled + keysAt(Stone, room));
        QCOMPARE(snapshot(model()), stoned);

        // Outside the walls the region is open: refused with a message, nothing placed.
        click({-5, -5});
        QCOMPARE(m_win.dialogs->count("warning"), 1);
        QVERIFY(m_win.dialogs->last("warning")->text.contains(QStringLiteral("10000")));
        QCOMPARE(snapshot(model()), stoned);
        // The refusal leaves nothing pending: Escape puts the brush away, as when nothing was begun.
        shortcut(Qt::Key_Escape);
        QVERIFY(!view()->editor()->painting());

        view()->undo();
        QCOMPARE(snapshot(model()), floored);
        view()->undo();
        QCOMPARE(snapshot(model()), walled);
        view()->redo();
        view()->redo();
        QCOMPARE(snapshot(model()), stoned);
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
        QVERIFY(main()->toolLabel()->text().contains(QStringLiteral("hue 5")));
        // The picked tile heads the palette's recent brushes.
        QCoreApplication::processEvents(); // the list is rebuilt after the pick
        QCOMPARE(main()->palette()->listRecent()->item(0)->data(ListWidget::KeyRole).toString(),
                 QStringLiteral("700:0:0:5:5:1:1"));
        // Painted elsewhere it keeps its hue and its height above the placing altitude.
        key(Qt::Key_B);
        view()->setPlacingAlt(10);
        click({-3, -3}); // painting places where the ground grid is pointed at
        QCOMPARE(snapshot(model()),
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
        const QStringList before = snapshot(model());
        key(Qt::Key_E);
        view()->update();
        QTest::qWait(0);
        press({-1, -1});
        dragTo({-1, -1}, {3, 1});
        release({3, 1});
        QCOMPARE(snapshot(model()), QStringList({"500:2:0:30:0:1:1", "500:6:6:0:0:1:1"}));
        // A click erases the one tile under the pointer.
        click({6, 6});
        QCOMPARE(snapshot(model()), QStringList({"500:2:0:30:0:1:1"}));
        view()->undo();
        view()->undo();
        QCOMPARE(snapshot(model()), before);
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
    // A tool key switches the tool only in the view, and only without modifiers.
    void keysSwitchToolsOnlyInTheView()
    {
        action("Fill")->trigger(); // the tool bar hands the focus back
        QVERIFY(m_doc->hasFocus());
        QLineEdit field(main());
        field.show();
        field.setFocus();
        QTRY_VERIFY(field.hasFocus());
        QTest::keyClick(&field, Qt::Key_H);
        QCOMPARE(field.text(), QStringLiteral("h"));
        m_doc->setFocus();
        QTRY_VERIFY(m_doc->hasFocus());
        key(Qt::Key_H, Qt::ShiftModifier);
        QCOMPARE(view()->tool(), ToolKind::Fill);
        key(Qt::Key_H);
        QCOMPARE(view()->tool(), ToolKind::HollowRectangle);
        QVERIFY(action("Hollow Rectangle")->isChecked());
    }
    void storeysMoveClipAndPlacing()
    {
        put(Floor, 0, 0);
        view()->selection().add(TileIdentity::of(*model().tilesAt(0, 0).begin()), false);
        // Plain Page Up still moves the selection.
        shortcut(Qt::Key_PageUp);
        QCOMPARE(snapshot(model()), QStringList({"500:0:-1:0:0:1:1"}));
        QCOMPARE(view()->placingAltitude(), 0);

        shortcut(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(storey(), QList<int>({20, 1, 39, -128}));
        QCOMPARE(main()->clip()->findChild<QSlider *>("horizontalSlider")->value(), 39);
        QCOMPARE(main()->placingLabel()->text(), QStringLiteral("Placing Alt: 20"));
        QCOMPARE(snapshot(model()), QStringList({"500:0:-1:0:0:1:1"}));

        shortcut(Qt::Key_PageDown, Qt::ControlModifier);
        shortcut(Qt::Key_PageDown, Qt::ControlModifier);
        QCOMPARE(storey(), QList<int>({-20, 1, -1, -128}));

        // The height is asked for and kept.
        m_win.dialogs->answer(30);
        action("Storey Height")->trigger();
        QCOMPARE(QSettings("Brightmoor", "MultiEditorWindow").value("StoreyHeight").toInt(), 30);
        QCOMPARE(m_win.dialogs->last("int")->value.toInt(), 20);
        shortcut(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(storey(), QList<int>({10, 1, 39, -128}));
        // The altitude range ends at 127.
        for (int i = 0; i < 6; ++i)
            shortcut(Qt::Key_PageUp, Qt::ControlModifier);
        QCOMPARE(storey(), QList<int>({127, 1, 127, -128}));
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
        const QStringList before = snapshot(model());
        const QStringList after = sorted(keysAt(Floor, {{0, 1}, {3, 198}}) + keysAt(Stone, {{0, 1}}, 5));

        shortcut(Qt::Key_End);
        QCOMPARE(snapshot(model()), after);
        QVERIFY(sel.count(Art) == 2 && sel.query({Art, Floor, 0, 1, 0, 0, 1}) && sel.query({Art, Stone, 0, 1, 5, 0, 1}));
        shortcut(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(snapshot(model()), before);
        shortcut(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(snapshot(model()), after);

        // The floor at y 198 may go one step, not two.
        sel.clear(Selection::ClearBoth);
        sel.add({Art, Floor, 3, 198, 0, 0, 1}, false);
        sel.add({Art, Floor, 0, 1, 0, 0, 1}, false);
        shortcut(Qt::Key_End);
        const QStringList atEdge = sorted(keysAt(Floor, {{0, 2}, {3, 199}}) + keysAt(Stone, {{0, 1}}, 5));
        QCOMPARE(snapshot(model()), atEdge);
        shortcut(Qt::Key_End);
        QCOMPARE(snapshot(model()), atEdge);
        QVERIFY(sel.count(Art) == 2 && sel.query({Art, Floor, 3, 199, 0, 0, 1}));
        shortcut(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(snapshot(model()), after);
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
        QLabel *label = main()->toolLabel();
        // A long hint does not hold the window wide: it is cut, whole in the tooltip.
        QVERIFY(main()->statusBar()->minimumSizeHint().width() < 300);
        QCOMPARE(label->toolTip(), label->text());
        QVERIFY(label->text().contains(QStringLiteral("Nothing selected")));
        put(Floor, 0, 0);
        put(Stone, 3, -1, 5);
        shortcut(Qt::Key_A, Qt::ControlModifier);
        QVERIFY2(label->text().contains(QStringLiteral("Selected: 2 tiles, x 0..3, y -1..0, z 0..5")),
                 qPrintable(label->text()));
        key(Qt::Key_L);
        QVERIFY(label->text().contains(QStringLiteral("|  No brush yet")));
        main()->startPaint(StoneKey);
        QVERIFY(label->text().contains(QStringLiteral("|  Line:")));
        // The last document gone, the line is empty.
        m_win.dialogs->answer(int(QMessageBox::No));
        action("Close")->trigger();
        QTRY_VERIFY(main()->documents().isEmpty());
        QVERIFY(label->text().isEmpty());
    }
    // A stroke whose first move skips a cell still paints every cell on its way.
    void brushStrokeIsOneStepFromThePressedCell()
    {
        main()->startPaint(StoneKey);
        press({0, 0});
        dragTo({1, 0}, {3, 0}); // the first move is two cells on
        release({3, 0});
        QCOMPARE(snapshot(model()), keysAt(Stone, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
        shortcut(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(snapshot(model()).isEmpty());
    }
    void fillReplacesTheClickedTileUnderWalls()
    {
        const Cells floor = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
        for (const QPoint &c : floor)
            put(Floor, c.x(), c.y());
        put(Corner, 1, 1);
        const QStringList before = snapshot(model());
        main()->startPaint(StoneKey);
        key(Qt::Key_F);
        click({0, 0});
        QCOMPARE(snapshot(model()), sorted(keysAt(Corner, {{1, 1}}) + keysAt(Stone, floor)));
        shortcut(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(snapshot(model()), before);
    }
    // Tool keys after a tile is chosen in the palette's search are the view's again.
    void choosingATileHandsTheKeysBack()
    {
        action("Palette")->trigger();
        QLineEdit *search = main()->palette()->searchEdit();
        QTest::mouseClick(search, Qt::LeftButton);
        QTest::keyClicks(search, "700");
        QListView *results = main()->palette()->resultsView();
        const QPoint first = results->visualRect(results->model()->index(0, 0)).center();
        for (int how : {0, int(Qt::Key_Return), int(Qt::Key_Escape)}) { // 0: a double-click on the result
            QTest::mouseClick(search, Qt::LeftButton);
            QTRY_VERIFY(search->hasFocus());
            if (how == 0) {
                QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, first);
                QTest::mouseDClick(results->viewport(), Qt::LeftButton, {}, first);
            } else {
                QTest::keyClick(search, Qt::Key(how));
            }
            QTRY_VERIFY2(m_doc->hasFocus(), qPrintable(QString::number(how)));
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_H);
            QCOMPARE(search->text(), QStringLiteral("700"));
            QCOMPARE(int(view()->tool()), int(ToolKind::HollowRectangle));
        }
    }
    void savedFilesKeepTheTypedFormatAndTellOfLostHues()
    {
        put(Stone, 0, 0, 0, 5);
        put(Stone, 1, 0);
        put(Stone, 2, 0, 0, 9);
        // A typed known suffix picks the format whatever the filter; another gets the filter's.
        m_win.dialogs->answer(m_win.files.filePath("a.csv"), "mlt (*.mlt)");
        main()->slotSaveAs();
        m_win.dialogs->answer(m_win.files.filePath("b.foo"), "CSV (*.csv)");
        main()->slotSaveAs();
        QCOMPARE(QDir(m_win.files.path()).entryList({"a.*", "b.*"}), QStringList({"a.csv", "b.foo.csv"}));
        QVERIFY(fileBytes(m_win.files.filePath("a.csv")).startsWith("kind,"));
        // A component list keeps no hue: asked first; Cancel writes nothing, OK writes.
        const QString list = m_win.files.filePath("list.txt");
        for (const auto button : {QMessageBox::Cancel, QMessageBox::Ok}) {
            m_win.dialogs->answer(list, "Component list (*.txt)");
            m_win.dialogs->answer(int(button));
            if (button == QMessageBox::Ok)
                m_win.dialogs->answer(0); // the template number
            main()->slotSaveAs();
            QCOMPARE(QFile::exists(list), button == QMessageBox::Ok);
        }
        const ScriptedDialogs::Call *asked = m_win.dialogs->last("question");
        QVERIFY(asked && asked->text.contains("2 tiles carry a hue"));
        const MlToolRun run = MlToolRun::of({"export", m_win.files.filePath("a.csv"), m_win.files.filePath("c.txt"), "0"});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.contains(asked->text.section('\n', 0, 0)), qPrintable(run.err));
    }
};

QTEST_MAIN(TestTools)
#include "test_tools.moc"
