// The editor as a user meets it: a real main window with real document
// sub-windows over art files on disk, driven by mouse and keyboard events sent
// to the widgets, judged by the pixels of the frames and the files written.
#include "EditorWindow.h"
#include "SceneFrames.h"
#include "panels/Palette.h"
#include "view/TileEditor.h"

#include <QDockWidget>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>

namespace {
constexpr QRgb Background = 0xFFC0C0C0;

const QList<SceneTile> &Scene = ColouredScene;
} // namespace

class TestRealUse : public GlTest
{
    Q_OBJECT
private:
    EditorWindow m_win;
    std::unique_ptr<QLineEdit> m_focusTaker;

    QAction *action(const QString &text) const { return m_win.action(text); }
    MainWindow *main() const { return m_win.main.get(); }
    GLScroll *open(const QString &path) { return m_win.open(path); }
    QList<bool> undoRedo() const { return {action("Undo")->isEnabled(), action("Redo")->isEnabled()}; }
    QString sceneFile(const QString &name, const QList<SceneTile> &tiles = Scene) { return m_win.write(name, tiles); }

    // What a dialog does to the keyboard focus: another window takes it.
    void takeFocusAway()
    {
        m_focusTaker = std::make_unique<QLineEdit>();
        m_focusTaker->show();
        m_focusTaker->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_focusTaker.get()));
        m_focusTaker->setFocus();
        QTRY_VERIFY(m_focusTaker->hasFocus());
    }

    static void click(GLWidget *v, const QPoint &p)
    {
        QTest::mouseMove(v, p);
        QTest::mouseClick(v, Qt::LeftButton, {}, p);
    }

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        m_win.plant(sceneArt(Scene));
    }
    void init() { m_win.start(); }
    void cleanup()
    {
        m_focusTaker.reset();
        m_win.stop();
    }
    // A copied or dragged group lands where the pointer is, not beside it.
    void groupsLandUnderThePointer()
    {
        const QList<SceneTile> block = {{1001, 0, 0, 0, {44, 44}, 0}, {1002, 1, 0, 0, {44, 44}, 0},
                                        {1003, 0, 1, 0, {44, 44}, 0}, {1007, 1, 1, 0, {44, 44}, 0},
                                        {1005, 2, 2, 0, {44, 44}, 0}};
        const QRgb middleColour = Scene[6].colour; // 1007, the block's middle cell
        GLScroll *doc = open(sceneFile("block.mlt", block));
        GLWidget *v = doc->view();
        QImage before = v->grabFramebuffer();
        const QMap<int, QRect> rects = tileRects(before);
        QRect all;
        for (const QRect &r : rects)
            all |= r;
        // Copy the block and paste it with the pointer on a cell's middle four cells lower.
        band(v, all.topLeft() - QPoint(3, 3), all.bottomRight() + QPoint(3, 3));
        QCOMPARE(selectedIds(v).size(), block.size());
        QTest::keyClick(main(), Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(main(), Qt::Key_V, Qt::ControlModifier);
        const QPoint target = rects[1007].center() + QPoint(0, 4 * 44);
        click(v, target);
        main()->cancelAction()->trigger(); // drop the highlight of the placed group
        QImage after = v->grabFramebuffer();
        const QRect placed = changed(before, after);
        QVERIFY((placed.center() - target).manhattanLength() <= 2);
        QCOMPARE(after.pixel(target - QPoint(3, 3)) | 0xFF000000u, middleColour);

        // Drag the pasted group by its middle tile: that tile lands under the pointer.
        band(v, placed.topLeft() - QPoint(3, 3), placed.bottomRight() + QPoint(3, 3));
        QCOMPARE(selectedIds(v).size(), block.size());
        const QPoint drop = target + QPoint(-3 * 44, -2 * 44); // another cell's middle
        v->editor()->setDragLauncher([&](QMimeData *payload, Qt::DropActions) {
            QDragEnterEvent enter(drop, Qt::MoveAction, payload, Qt::LeftButton, {});
            QCoreApplication::sendEvent(v, &enter);
            QDragMoveEvent move(drop, Qt::MoveAction, payload, Qt::LeftButton, {});
            QCoreApplication::sendEvent(v, &move);
            QDropEvent dropped(drop, Qt::MoveAction, payload, Qt::LeftButton, {});
            QCoreApplication::sendEvent(v, &dropped);
            delete payload;
        });
        QTest::mousePress(v, Qt::LeftButton, {}, target);
        QTest::mouseMove(v, target + QPoint(0, 20));
        QTest::mouseRelease(v, Qt::LeftButton, {}, target + QPoint(0, 20));
        main()->cancelAction()->trigger();
        before = after;
        after = v->grabFramebuffer();
        QCOMPARE(after.pixel(drop - QPoint(3, 3)) | 0xFF000000u, middleColour);
        QCOMPARE(after.pixel(target) | 0xFF000000u, Background); // moved, not copied
        QCOMPARE(doc->model()->tileCount(), 2 * block.size());
    }
    // Ctrl+Z in one document leaves the other's tiles and its saved file alone,
    // and Undo and Redo show the active document's state.
    void undoStaysInItsDocument()
    {
        const QString pathA = sceneFile("a.mlt");
        GLScroll *a = open(pathA);
        GLWidget *va = a->view();
        const QMap<int, QRect> rects = tileRects(va->grabFramebuffer());
        click(va, rects.first().center());
        QTest::keyClick(main(), Qt::Key_Right); // one edit in A
        QTest::keyClick(main(), Qt::Key_S, Qt::ControlModifier);
        const QByteArray savedA = fileBytes(pathA);
        QVERIFY(!a->model()->isModified() && savedA != mltBytes(Scene) && savedA.size() == mltBytes(Scene).size());
        const QImage frameA = va->grabFramebuffer();

        GLScroll *b = open(sceneFile("b.mlt"));
        GLWidget *vb = b->view();
        const QImage openedB = vb->grabFramebuffer();
        click(vb, tileRects(openedB).last().center());
        QTest::keyClick(main(), Qt::Key_Down);
        QTest::keyClick(main(), Qt::Key_Down);
        QVERIFY(action("Undo")->isEnabled());
        QTest::keyClick(main(), Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(main(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(vb->grabFramebuffer(), openedB);
        QCOMPARE(undoRedo(), QList<bool>({false, true}));
        QTest::keyClick(main(), Qt::Key_Z, Qt::ControlModifier); // nothing left in B

        m_win.activate(a);
        QCOMPARE(undoRedo(), QList<bool>({true, false}));
        QCOMPARE(va->grabFramebuffer(), frameA);
        QVERIFY(!a->model()->isModified());
        m_win.dialogs->answer(m_win.files.filePath("a-copy.mlt"), "mlt (*.mlt)");
        QTest::keyClick(main(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(m_win.dialogs->count("save"), 1);
        QCOMPARE(fileBytes(m_win.files.filePath("a-copy.mlt")), savedA);
        QCOMPARE(fileBytes(pathA), savedA);
        m_win.activate(b);
        QCOMPARE(undoRedo(), QList<bool>({false, true}));
    }
    // With the keyboard focus away from the document (in the palette, or taken by
    // a dialog), menu commands and their dialogs still act on the active document.
    void dialogCommandsReachTheActiveDocument()
    {
        open(sceneFile("behind.mlt"));
        GLScroll *doc = open(sceneFile("front.mlt"));
        GLWidget *v = doc->view();
        const QMap<int, QRect> rects = tileRects(v->grabFramebuffer());
        click(v, rects.first().center());
        takeFocusAway();
        QVERIFY(!doc->hasFocus());

        // Edit > Visible, False: with invisible tiles hidden the tile is gone.
        action("Invisible")->trigger();
        m_win.dialogs->answer("False");
        action("Visible")->trigger();
        main()->cancelAction()->trigger();
        QImage frame = v->grabFramebuffer();
        QVERIFY(!tileRects(frame).contains(rects.firstKey()));
        QCOMPARE(tileRects(frame).size(), rects.size() - 1);

        // Options > Goto with a negative location.
        m_win.reactivate();
        m_win.dialogs->answer("-1,-1");
        QTest::keyClick(main(), Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(m_win.dialogs->count("warning"), 0);
        QCOMPARE(main()->statusBar()->currentMessage(), "Location: -1,-1");
        QCOMPARE(doc->view()->centre(), QPoint(-1, -1));
        QCOMPARE(main()->documents().first()->view()->centre(), QPoint(0, 0)); // the one behind stays
        m_win.dialogs->answer("0,0");
        QTest::keyClick(main(), Qt::Key_G, Qt::ControlModifier);

        // Insert > MLT File: the group hangs at the pointer and the click places it.
        const QString inserted = sceneFile("insert.mlt", {{1002, 0, 0, 0, {44, 44}, 0}});
        const QImage before = v->grabFramebuffer();
        takeFocusAway();
        m_win.dialogs->answer(inserted);
        action("MLT File")->trigger();
        QCOMPARE(m_win.dialogs->count("open"), 3);
        const QPoint target = v->rect().center() + QPoint(-180, 120);
        click(v, target);
        main()->cancelAction()->trigger();
        const QImage after = v->grabFramebuffer();
        QCOMPARE(after.pixel(target) | 0xFF000000u, Scene[1].colour);
        QVERIFY(changed(before, after).contains(target));
        QCOMPARE(main()->documents().first()->model()->tileCount(), Scene.size());
    }
    // A damaged file opens with a warning naming what was left out, when opened
    // and when inserted; the file rules themselves are the model's.
    void damagedFilesWarn()
    {
        const QString path = m_win.files.filePath("damaged.mlt");
        QVERIFY(writeFileBytes(path, mltBytes(Scene.mid(0, 2)) + QByteArray(7, '\1')));
        GLScroll *doc = open(path);
        QVERIFY(doc);
        QCOMPARE(doc->model()->tileCount(), 2);
        const auto *w = m_win.dialogs->last("warning");
        QVERIFY2(w && w->text.contains(path) && w->text.contains(" 7 byte"), w ? qPrintable(w->text) : "none");
        open(sceneFile("host.mlt"));
        m_win.dialogs->answer(path);
        action("MLT File")->trigger();
        QCOMPARE(m_win.dialogs->count("warning"), 2);
        // Without its header a file is damaged, not empty: no document.
        QVERIFY(writeFileBytes(path, QByteArray(2, '\0')));
        const qsizetype before = main()->documents().size();
        m_win.dialogs->answer(path);
        action("Open")->trigger();
        QCOMPARE(main()->documents().size(), before);
        QVERIFY(m_win.dialogs->last("warning")->text.contains(QStringLiteral("(2 of 4 bytes)")));
        // Tiles outside the editing area open, and are named.
        const QString outside = sceneFile("outside.mlt", {{1001, 300, -300, 0, {}, 0}, {1002, -32768, 32767, 0, {}, 0}, {1003, 1, 1, 0, {}, 0}});
        QCOMPARE(open(outside)->model()->tileCount(), 3);
        QVERIFY(m_win.dialogs->last("warning")->text.startsWith("2 tile(s) of " + outside + " lie outside the editing area."));
    }
    void windowConventions()
    {
        // The empty workspace says how to begin.
        QImage empty = main()->workspace()->viewport()->grab().toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < empty.height(); y += 2)
            for (int x = 0; x < empty.width(); x += 2)
                colours.insert(empty.pixel(x, y));
        QVERIFY(colours.size() > 2);

        // New makes a usable window: the whole workspace while it is the only one.
        QTest::keyClick(main(), Qt::Key_N, Qt::ControlModifier);
        m_win.reactivate();
        GLScroll *doc = main()->activeDocument();
        QVERIFY(doc);
        auto *sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget());
        QVERIFY(sub->isMaximized());
        QCOMPARE(sub->size(), main()->workspace()->viewport()->size());

        // Insert asks for the id and hangs the tile at the pointer; the modified mark is the desktop test's.
        m_win.dialogs->answer(1001);
        QTest::keyClick(main(), Qt::Key_Insert);
        click(doc->view(), doc->view()->rect().center());
        QCOMPARE(doc->model()->tileCount(), 1);

        // The View toggles: flat mode and show art hide the art, show terrain leaves it.
        GLWidget *v = doc->view();
        main()->cancelAction()->trigger(); // the placed tile's highlight
        const auto artShown = [&] { return !tileRects(v->grabFramebuffer()).isEmpty(); };
        QVERIFY(artShown());
        for (const char *toggle : {"Flat mode", "Show art"}) {
            action(toggle)->trigger();
            QVERIFY2(!artShown(), toggle);
            action(toggle)->trigger();
            QVERIFY(artShown());
        }
        action("Show terrain")->trigger();
        QVERIFY(artShown() && !action("Show terrain")->isChecked());

        // Ctrl+W closes the active document (its change discarded); the hint comes back.
        m_win.dialogs->answer(int(QMessageBox::No));
        QTest::keyClick(main(), Qt::Key_W, Qt::ControlModifier);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(main()->documents().isEmpty() && !action("Undo")->isEnabled());
    }
    void layoutIsRemembered()
    {
        // The first start: docks hidden.
        QVERIFY(main()->paletteDock()->isHidden() && main()->clipDock()->isHidden());
        main()->resize(900, 640);
        main()->clipDock()->show();
        QVERIFY(main()->close());
        m_win.main = std::make_unique<MainWindow>();
        main()->show();
        QVERIFY(QTest::qWaitForWindowExposed(main()));
        QCOMPARE(main()->size(), QSize(900, 640));
        QVERIFY(main()->clipDock()->isVisible() && main()->paletteDock()->isHidden());
        // The palette opens tall enough for a row of wall-sized tiles.
        main()->paletteDock()->show();
        QTRY_VERIFY(main()->paletteDock()->isVisible());
        QVERIFY(main()->paletteDock()->height() >= 300 && main()->palette()->height() >= 280);
    }
};

QTEST_MAIN(TestRealUse)
#include "test_realuse.moc"
