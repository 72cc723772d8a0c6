// The editor as a user meets it: a real main window with real document
// sub-windows over art files on disk, driven by mouse and keyboard events sent
// to the widgets, judged by the pixels of the frames and the files written.
#include "FileBytes.h"
#include "app/GLScroll.h"
#include "app/MainWindow.h"
#include "app/Workspace.h"
#include "model/Facet.h"
#include "SceneFrames.h"
#include "TestClient.h"
#include "ScriptedDialogs.h"
#include "Sanitized.h"
#include "view/GLWidget.h"
#include "view/TileEditor.h"

#include <QDockWidget>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtEndian>
#include <QTest>

#include <optional>

namespace {
constexpr QRgb Background = 0xFFC0C0C0;

const QList<SceneTile> &Scene = ColouredScene;
} // namespace

class TestRealUse : public QObject
{
    Q_OBJECT
public:
    static void initMain() { GLWidget::prepareApplication(); }

private:
    QTemporaryDir m_settingsDir;
    QTemporaryDir m_files;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_main;
    std::unique_ptr<QLineEdit> m_focusTaker;

    QAction *action(const QString &text) const { return actionNamed(m_main.get(), text); }

    GLScroll *open(const QString &path)
    {
        m_dialogs->answer(path);
        action("Open")->trigger();
        reactivate();
        return m_main->activeDocument();
    }

    QString sceneFile(const QString &name, const QList<SceneTile> &tiles = Scene)
    {
        const QString path = m_files.filePath(name);
        return writeFileBytes(path, mltBytes(tiles)) ? path : QString();
    }

    // Keyboard shortcuts need the main window active.
    void reactivate()
    {
        m_main->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
    }

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

    void activate(GLScroll *doc)
    {
        m_main->workspace()->setActiveSubWindow(qobject_cast<QMdiSubWindow *>(doc->parentWidget()));
    }

    // The widget a user reaches at a point of the view, through the main
    // window: the view itself, unless something covers it there.
    QWidget *reached(GLWidget *v, const QPoint &p) const
    {
        const QPoint inMain = v->mapTo(m_main.get(), p);
        QWidget *w = m_main->childAt(inMain);
        return (w && w->mapFrom(m_main.get(), inMain) == p) ? w : nullptr;
    }

    void click(GLWidget *v, const QPoint &p, Qt::KeyboardModifiers mods = {})
    {
        QCOMPARE(reached(v, p), v);
        QTest::mouseMove(v, p);
        QTest::mouseClick(v, Qt::LeftButton, mods, p);
    }

    void band(GLWidget *v, const QPoint &from, const QPoint &to)
    {
        QTest::mousePress(v, Qt::LeftButton, {}, from);
        QTest::mouseMove(v, (from + to) / 2);
        QTest::mouseMove(v, to);
        QTest::mouseRelease(v, Qt::LeftButton, {}, to);
    }

    void checkPicking(GLScroll *doc);

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void pickingHitsWhatIsDrawn_data();
    void pickingHitsWhatIsDrawn();
    void groupsLandUnderThePointer();
    void undoStaysInItsDocument();
    void newEditClearsRedo();
    void dialogCommandsReachTheActiveDocument();
    void damagedFilesWarn_data();
    void damagedFilesWarn();
    void windowConventions();
    void layoutIsRemembered();
};

void TestRealUse::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X display for OpenGL (run under xvfb-run)");
    QVERIFY(m_settingsDir.isValid());
    QVERIFY(m_files.isValid());
    redirectSettings(m_settingsDir.path());
    QVERIFY(plantClient(m_files.path(), sceneArt(Scene)));
}

void TestRealUse::init()
{
    QSettings("Brightmoor", "MultiEditorWindow").clear();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_main = std::make_unique<MainWindow>();
    m_main->show();
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
}

void TestRealUse::cleanup()
{
    m_focusTaker.reset();
    // Nothing may ask anything while the window goes.
    for (GLScroll *doc : m_main->documents())
        doc->model()->save(m_files.filePath("discard.mlt"));
    m_main.reset();
    m_dialogs.reset();
}

void TestRealUse::pickingHitsWhatIsDrawn_data()
{
    QTest::addColumn<QString>("scale");  // the Options > Scale entry
    QTest::addColumn<QRect>("geometry"); // of the sub-window; empty: maximised
    QTest::addColumn<int>("scroll");     // horizontal bar steps
    QTest::newRow("maximised 1.0") << "1.0" << QRect() << 0;
    QTest::newRow("small window 3/4, scrolled back") << "3/4" << QRect(211, 23, 433, 377) << -2;
    if (Sanitized::Active)
        return;
    QTest::newRow("maximised 3/4") << "3/4" << QRect() << 0;
    QTest::newRow("maximised 1/2") << "1/2" << QRect() << 0;
    QTest::newRow("window at an offset, scrolled") << "1.0" << QRect(137, 61, 520, 430) << 3;
    QTest::newRow("small window 1/2") << "1/2" << QRect(5, 140, 300, 260) << 1;
}

// Clicks, Control-clicks, bands and tooltips inside and just outside every
// tile's pixels select what the frame shows there, and nothing else.
void TestRealUse::pickingHitsWhatIsDrawn()
{
    QFETCH(QString, scale);
    QFETCH(QRect, geometry);
    QFETCH(int, scroll);
    open(sceneFile("other.mlt", {Scene.first()})); // a document behind
    GLScroll *doc = open(sceneFile("scene.mlt"));
    QVERIFY(doc);
    auto *sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget());
    if (geometry.isEmpty()) {
        sub->showMaximized();
    } else {
        sub->showNormal();
        sub->setGeometry(geometry);
    }
    action(scale)->trigger();
    doc->horizontalBar()->setValue(scroll);
    QCoreApplication::processEvents();
    if (scale == "1.0") {
        // Each image is drawn at its own size: no texture padding, no stray rows.
        const QImage frame = doc->view()->grabFramebuffer();
        const QMap<int, QRect> rects = tileRects(frame);
        for (const SceneTile &t : Scene) {
            const QRect r = rects.value(t.id);
            if (r.isValid() && frame.rect().adjusted(1, 1, -1, -1).contains(r))
                QCOMPARE(r.size(), t.size);
        }
    }
    checkPicking(doc);
}

void TestRealUse::checkPicking(GLScroll *doc)
{
    GLWidget *v = doc->view();
    const QImage frame = v->grabFramebuffer();
    const QMap<int, QRect> rects = tileRects(frame);
    QVERIFY2(rects.size() >= 3, "the scene shows");
    const auto expected = [&](const QPoint &p) {
        const auto id = idOfColour(frame.pixel(p));
        return id ? QSet<int>{*id} : QSet<int>{};
    };
    QList<QPoint> points;
    for (const QRect &r : rects) {
        const QPoint c = r.center();
        points << r.topLeft() << r.bottomRight() << c << QPoint(r.left() - 1, c.y())
               << QPoint(r.right() + 1, c.y()) << QPoint(c.x(), r.top() - 1)
               << QPoint(c.x(), r.bottom() + 1) << QPoint(c.x(), r.bottom() + 8)
               << QPoint(c.x(), r.bottom() + 20) << QPoint(r.right() + 10, r.bottom() + 10);
    }
    for (const QPoint &p : points) {
        if (!frame.rect().contains(p))
            continue;
        click(v, p);
        QVERIFY2(selectedIds(v) == expected(p),
                 qPrintable(QStringLiteral("at %1,%2 picked %3 of %4")
                                .arg(p.x()).arg(p.y())
                                .arg(selectedIds(v).isEmpty() ? 0 : *selectedIds(v).cbegin())
                                .arg(QString::number(frame.pixel(p), 16))));
        QHelpEvent help(QEvent::ToolTip, p, v->mapToGlobal(p));
        QCoreApplication::sendEvent(v, &help);
        if (const auto id = idOfColour(frame.pixel(p)))
            QVERIFY2(QToolTip::text().startsWith(QStringLiteral("Art: %1 ").arg(*id)),
                     qPrintable(QToolTip::text()));
    }
    // Control-click adds a tile and takes it away again.
    const QList<int> ids = rects.keys();
    click(v, rects[ids[0]].center());
    click(v, rects[ids[1]].center(), Qt::ControlModifier);
    QCOMPARE(selectedIds(v), QSet<int>({ids[0], ids[1]}));
    click(v, rects[ids[1]].center(), Qt::ControlModifier);
    QCOMPARE(selectedIds(v), QSet<int>({ids[0]}));

    // Bands: just below a tile, over its bottom edge, and around the scene.
    for (const QRect &r : rects) {
        const QList<QRect> bands = {QRect(QPoint(r.left() - 6, r.bottom() + 1), QSize(r.width() + 12, 30)),
                                    QRect(QPoint(r.left() + 2, r.bottom() - 2), QSize(r.width() - 4, 12))};
        for (const QRect &b : bands) {
            if (!frame.rect().contains(b))
                continue;
            m_main->cancelAction()->trigger();
            QVERIFY(selectedIds(v).isEmpty());
            band(v, b.topLeft(), b.bottomRight());
            QCOMPARE(selectedIds(v), idsIn(frame, b));
        }
    }
}

// A copied or dragged group lands where the pointer is, not beside it.
void TestRealUse::groupsLandUnderThePointer()
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
    QTest::keyClick(m_main.get(), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(m_main.get(), Qt::Key_V, Qt::ControlModifier);
    const QPoint target = rects[1007].center() + QPoint(0, 4 * 44);
    QTest::mouseMove(v, target);
    QTest::mouseClick(v, Qt::LeftButton, {}, target);
    m_main->cancelAction()->trigger(); // drop the highlight of the placed group
    QImage after = v->grabFramebuffer();
    const QRect placed = changed(before, after);
    QVERIFY2((placed.center() - target).manhattanLength() <= 2,
             qPrintable(QStringLiteral("placed around %1,%2 for %3,%4")
                            .arg(placed.center().x()).arg(placed.center().y())
                            .arg(target.x()).arg(target.y())));
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
    m_main->cancelAction()->trigger();
    before = after;
    after = v->grabFramebuffer();
    QCOMPARE(after.pixel(drop - QPoint(3, 3)) | 0xFF000000u, middleColour);
    QCOMPARE(after.pixel(target) | 0xFF000000u, Background); // moved, not copied
    QCOMPARE(doc->model()->tileCount(), 2 * block.size());
}

// Ctrl+Z in one document leaves the other's tiles and its saved file alone,
// and Undo and Redo show the active document's state.
void TestRealUse::undoStaysInItsDocument()
{
    const QString pathA = sceneFile("a.mlt");
    GLScroll *a = open(pathA);
    GLWidget *va = a->view();
    const QMap<int, QRect> rects = tileRects(va->grabFramebuffer());
    click(va, rects.first().center());
    QTest::keyClick(m_main.get(), Qt::Key_Right); // one edit in A
    QTest::keyClick(m_main.get(), Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!a->model()->isModified());
    const QByteArray savedA = fileBytes(pathA);
    QVERIFY(savedA != mltBytes(Scene));
    QVERIFY(savedA.size() == mltBytes(Scene).size());
    const QImage frameA = va->grabFramebuffer();

    GLScroll *b = open(sceneFile("b.mlt"));
    GLWidget *vb = b->view();
    const QImage openedB = vb->grabFramebuffer();
    click(vb, tileRects(openedB).last().center());
    QTest::keyClick(m_main.get(), Qt::Key_Down);
    QTest::keyClick(m_main.get(), Qt::Key_Down);
    QVERIFY(action("Undo")->isEnabled());
    QTest::keyClick(m_main.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(m_main.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(vb->grabFramebuffer(), openedB);
    QVERIFY(!action("Undo")->isEnabled());
    QVERIFY(action("Redo")->isEnabled());
    QTest::keyClick(m_main.get(), Qt::Key_Z, Qt::ControlModifier); // nothing left in B

    activate(a);
    QVERIFY(action("Undo")->isEnabled());
    QVERIFY(!action("Redo")->isEnabled());
    QCOMPARE(va->grabFramebuffer(), frameA);
    QVERIFY(!a->model()->isModified());
    m_dialogs->answer(m_files.filePath("a-copy.mlt"), "mlt (*.mlt)");
    QTest::keyClick(m_main.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(m_dialogs->count("save"), 1);
    QCOMPARE(fileBytes(m_files.filePath("a-copy.mlt")), savedA);
    QCOMPARE(fileBytes(pathA), savedA);
    activate(b);
    QVERIFY(!action("Undo")->isEnabled());
    QVERIFY(action("Redo")->isEnabled());
}

// Move, undo, another move, redo: the undone move never comes back.
void TestRealUse::newEditClearsRedo()
{
    const QString path = sceneFile("walls.mlt");
    GLScroll *doc = open(path);
    GLWidget *v = doc->view();
    const QImage start = v->grabFramebuffer();
    const QMap<int, QRect> rects = tileRects(start);
    const auto snapshot = [&] {
        m_main->cancelAction()->trigger();
        return v->grabFramebuffer();
    };
    click(v, rects.first().center());
    QTest::keyClick(m_main.get(), Qt::Key_Right);
    QTest::keyClick(m_main.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(snapshot(), start);
    click(v, rects.last().center());
    QTest::keyClick(m_main.get(), Qt::Key_Down);
    const QImage afterB = snapshot();
    QVERIFY(afterB != start);
    QVERIFY(!action("Redo")->isEnabled());
    QTest::keyClick(m_main.get(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(snapshot(), afterB);
    QTest::keyClick(m_main.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(snapshot(), start);
    QTest::keyClick(m_main.get(), Qt::Key_Z, Qt::ControlModifier); // nothing older
    QCOMPARE(snapshot(), start);
    QVERIFY(!action("Undo")->isEnabled());
}

// With the keyboard focus away from the document (in the palette, or taken by
// a dialog), menu commands and their dialogs still act on the active document.
void TestRealUse::dialogCommandsReachTheActiveDocument()
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
    m_dialogs->answer("False");
    action("Visible")->trigger();
    m_main->cancelAction()->trigger();
    QImage frame = v->grabFramebuffer();
    QVERIFY(!tileRects(frame).contains(rects.firstKey()));
    QCOMPARE(tileRects(frame).size(), rects.size() - 1);

    // Options > Goto with a negative location.
    reactivate();
    m_dialogs->answer("-1,-1");
    QTest::keyClick(m_main.get(), Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(m_dialogs->count("warning"), 0);
    QCOMPARE(m_main->statusBar()->currentMessage(), "Location: -1,-1");
    m_dialogs->answer("0,0");
    QTest::keyClick(m_main.get(), Qt::Key_G, Qt::ControlModifier);

    // Insert > MLT File: the group hangs at the pointer and the click places it.
    const QString inserted = sceneFile("insert.mlt", {{1002, 0, 0, 0, {44, 44}, 0}});
    const QImage before = v->grabFramebuffer();
    takeFocusAway();
    m_dialogs->answer(inserted);
    action("MLT File")->trigger();
    QCOMPARE(m_dialogs->count("open"), 3);
    const QPoint target = v->rect().center() + QPoint(-180, 120);
    QTest::mouseMove(v, target);
    QTest::mouseClick(v, Qt::LeftButton, {}, target);
    m_main->cancelAction()->trigger();
    const QImage after = v->grabFramebuffer();
    QCOMPARE(after.pixel(target) | 0xFF000000u, Scene[1].colour);
    QVERIFY(changed(before, after).contains(target));
    QCOMPARE(m_main->documents().first()->model()->tileCount(), Scene.size());
}

void TestRealUse::damagedFilesWarn_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("tiles"); // -1: refused, no document
    QTest::addColumn<int>("leftOut"); // -1: whole, no warning
    const QByteArray whole = mltBytes(Scene.mid(0, 2));
    QTest::newRow("whole") << whole << 2 << -1;
    QTest::newRow("empty") << QByteArray() << -1 << 0;
    QTest::newRow("short header") << QByteArray(2, '\0') << -1 << 2;
    QTest::newRow("partial last entry") << whole + QByteArray(7, '\1') << 2 << 7;
    QTest::newRow("one byte over") << whole + QByteArray(1, '\1') << 2 << 1;
}

void TestRealUse::damagedFilesWarn()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, tiles);
    QFETCH(int, leftOut);
    const QString path = m_files.filePath("damaged.mlt");
    QVERIFY(writeFileBytes(path, bytes));
    const qsizetype before = m_main->documents().size();
    GLScroll *doc = open(path);
    if (tiles < 0) { // without its header a file is damaged, not empty
        QCOMPARE(m_main->documents().size(), before);
        QVERIFY(m_dialogs->last("warning")->text.contains(QStringLiteral("(%1 of 4 bytes)").arg(leftOut)));
        return;
    }
    QVERIFY(doc);
    QCOMPARE(doc->model()->tileCount(), tiles);
    QCOMPARE(m_dialogs->count("warning"), leftOut < 0 ? 0 : 1);
    if (leftOut >= 0) {
        const auto *w = m_dialogs->last("warning");
        QVERIFY2(w->text.contains(path) && w->text.contains(QStringLiteral(" %1 byte").arg(leftOut)),
                 qPrintable(w->text));
    }
    // Inserting it into another document warns the same way.
    open(sceneFile("host.mlt"));
    m_dialogs->answer(path);
    action("MLT File")->trigger();
    QCOMPARE(m_dialogs->count("warning"), leftOut < 0 ? 0 : 2);
}

void TestRealUse::windowConventions()
{
    // The empty workspace says how to begin.
    QImage empty = m_main->workspace()->viewport()->grab().toImage();
    QVERIFY(!Workspace::hintText().isEmpty());
    QSet<QRgb> colours;
    for (int y = 0; y < empty.height(); y += 2)
        for (int x = 0; x < empty.width(); x += 2)
            colours.insert(empty.pixel(x, y));
    QVERIFY(colours.size() > 2);

    // New makes a usable window: the whole workspace while it is the only one.
    QTest::keyClick(m_main.get(), Qt::Key_N, Qt::ControlModifier);
    reactivate();
    GLScroll *doc = m_main->activeDocument();
    QVERIFY(doc);
    auto *sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget());
    QVERIFY(sub->isMaximized());
    QCOMPARE(sub->size(), m_main->workspace()->viewport()->size());
    QCOMPARE(m_main->windowTitle(), "Tilsen Multi Editor - [Untitled[*]]");
    QVERIFY(!m_main->isWindowModified());
    QVERIFY(!doc->isWindowModified());

    // An edit sets the modified mark; saving clears it and names the file.
    m_dialogs->answer(1001);
    QTest::keyClick(m_main.get(), Qt::Key_Insert);
    const QPoint p = doc->view()->rect().center();
    QTest::mouseMove(doc->view(), p);
    QTest::mouseClick(doc->view(), Qt::LeftButton, {}, p);
    QVERIFY(doc->isWindowModified());
    QVERIFY(m_main->isWindowModified());
    const QString path = m_files.filePath("conventions.mlt");
    m_dialogs->answer(path, "mlt (*.mlt)");
    QTest::keyClick(m_main.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!doc->isWindowModified());
    QVERIFY(!m_main->isWindowModified());
    QCOMPARE(m_main->windowTitle(), "Tilsen Multi Editor - [" + path + "[*]]");
    QCOMPARE(fileBytes(path).size(), 16);

    // The View toggles: flat mode and show art hide the art, show terrain leaves it.
    GLWidget *v = doc->view();
    m_main->cancelAction()->trigger(); // the placed tile's highlight
    const auto artShown = [&] { return !tileRects(v->grabFramebuffer()).isEmpty(); };
    QVERIFY(artShown());
    for (const char *toggle : {"Flat mode", "Show art"}) {
        action(toggle)->trigger();
        QVERIFY2(!artShown(), toggle);
        action(toggle)->trigger();
        QVERIFY(artShown());
    }
    action("Show terrain")->trigger();
    QVERIFY(artShown());
    QVERIFY(!action("Show terrain")->isChecked());

    // Ctrl+W closes the active document; the hint comes back.
    QTest::keyClick(m_main.get(), Qt::Key_W, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_main->documents().isEmpty());
    QCOMPARE(m_main->windowTitle(), "Tilsen Multi Editor");
    QVERIFY(!action("Undo")->isEnabled());
}

void TestRealUse::layoutIsRemembered()
{
    // The first start: the built-in size, docks hidden.
    QCOMPARE(m_main->size(), QSize(1100, 750));
    QVERIFY(m_main->paletteDock()->isHidden());
    QVERIFY(m_main->clipDock()->isHidden());
    m_main->resize(900, 640);
    m_main->clipDock()->show();
    QVERIFY(m_main->close());
    m_main = std::make_unique<MainWindow>();
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    QCOMPARE(m_main->size(), QSize(900, 640));
    QVERIFY(m_main->clipDock()->isVisible());
    QVERIFY(m_main->paletteDock()->isHidden());
}

QTEST_MAIN(TestRealUse)
#include "test_realuse.moc"
