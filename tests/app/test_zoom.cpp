// Free zoom and pan in a real main window: the wheel zooms about the pointer,
// the middle button drags the picture, Ctrl+0 and the Scale entries, Fit
// Multi; and picking, bands and painting stay exact at scales the menu does
// not offer. Every expectation comes from the pixels of grabbed frames.
#include "app/GLScroll.h"
#include "app/MainWindow.h"
#include "model/Facet.h"
#include "TestClient.h"
#include "ScriptedDialogs.h"
#include "Sanitized.h"
#include "view/GLWidget.h"

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtEndian>
#include <QTest>

#include <cmath>
#include <optional>

namespace {
const QList<SceneTile> Scene = {
    {1001, 0, 0, 0, {44, 44}, 0xFFF80000},   {1002, 3, 0, 0, {44, 44}, 0xFF00F800},
    {1003, 0, 3, 0, {44, 44}, 0xFFF8F800},   {1004, 3, 3, 5, {20, 106}, 0xFFF800F8},
    {1005, -3, -3, 0, {60, 30}, 0xFF00F8F8}, {1006, 6, 3, 2, {44, 70}, 0xFFF88000},
    {1007, -3, 3, 0, {44, 44}, 0xFF8000F8},
};
// A tile only the paint tests place.
const SceneTile Brush = {1008, 0, 0, 0, {44, 44}, 0xFF0080F8};

// A quarter octave: one wheel notch.
const double Notch = std::exp2(0.25);

std::optional<int> idOfColour(QRgb c)
{
    static const QList<SceneTile> tiles = Scene + QList<SceneTile>{Brush};
    for (const SceneTile &t : tiles)
        if ((c | 0xFF000000u) == t.colour)
            return t.id;
    return std::nullopt;
}

// Each tile's bounding box in the frame, found a run of equal pixels at a time.
QMap<int, QRect> tileRects(const QImage &frame)
{
    const QImage image = frame.convertToFormat(QImage::Format_ARGB32);
    QMap<int, QRect> rects;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            int end = x + 1;
            while (end < image.width() && line[end] == line[x])
                ++end;
            if (const auto id = idOfColour(line[x]))
                rects[*id] |= QRect(x, y, end - x, 1);
            x = end;
        }
    }
    return rects;
}

QSet<int> idsIn(const QImage &frame, const QRect &r)
{
    QSet<int> ids;
    const QRect clipped = r & frame.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (const auto id = idOfColour(frame.pixel(x, y)))
                ids.insert(*id);
    return ids;
}

QSet<int> selectedIds(GLWidget *v)
{
    QSet<int> ids;
    for (const auto &list : v->selection().set(Art))
        for (const TileIdentity &t : list)
            ids.insert(t.id);
    return ids;
}

// The scene's box in pixels at scale 1, from the tiles' own placement rules:
// an image rests centred on the bottom corner of its cell's diamond.
QRect sceneBox(const QList<SceneTile> &tiles)
{
    QRect box;
    for (const SceneTile &t : tiles) {
        const int bottomX = (t.x - t.y) * 22;
        const int bottomY = (t.x + t.y) * 22 + 44 - 4 * t.z; // y down
        box |= QRect(bottomX - t.size.width() / 2, bottomY - t.size.height(), t.size.width(),
                     t.size.height());
    }
    return box;
}
} // namespace

Q_DECLARE_METATYPE(QList<SceneTile>)

class TestZoom : public QObject
{
    Q_OBJECT
public:
    static void initMain() { GLWidget::prepareApplication(); }

private:
    QTemporaryDir m_settingsDir;
    QTemporaryDir m_files;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<MainWindow> m_main;

    QAction *action(const QString &text) const { return actionNamed(m_main.get(), text); }

    GLScroll *open(const QList<SceneTile> &tiles, const QString &name = QStringLiteral("scene.mlt"))
    {
        const QString path = m_files.filePath(name);
        if (!writeFileBytes(path, mltBytes(tiles)))
            return nullptr;
        m_dialogs->answer(path);
        action("Open")->trigger();
        m_main->activateWindow();
        if (!QTest::qWaitForWindowActive(m_main.get()))
            return nullptr;
        GLScroll *doc = m_main->activeDocument();
        if (doc) {
            qobject_cast<QMdiSubWindow *>(doc->parentWidget())->showMaximized();
            doc->setFocus();
            QCoreApplication::processEvents();
        }
        return doc;
    }

    static void wheel(GLWidget *v, const QPoint &at, int notches)
    {
        QWheelEvent e(at, v->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(v, &e);
    }

    static void middleDrag(GLWidget *v, const QPoint &from, const QPoint &to)
    {
        QTest::mousePress(v, Qt::MiddleButton, {}, from);
        QTest::mouseMove(v, (from + to) / 2);
        QTest::mouseMove(v, to);
        QTest::mouseRelease(v, Qt::MiddleButton, {}, to);
    }

    QList<bool> scaleChecks() const
    {
        return {action("1.0")->isChecked(), action("3/4")->isChecked(),
                action("1/2")->isChecked()};
    }

    void checkPicking(GLWidget *v);

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void wheelZoomsAboutThePointer_data();
    void wheelZoomsAboutThePointer();
    void scaleEntriesAndStatusFollowTheZoom();
    void middleDragPansWithThePointer();
    void pickingAtFreeScales_data();
    void pickingAtFreeScales();
    void paintingLandsUnderThePointer_data();
    void paintingLandsUnderThePointer();
    void fitMultiShowsItWhole_data();
    void fitMultiShowsItWhole();
};

void TestZoom::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X display for OpenGL (run under xvfb-run)");
    QVERIFY(m_settingsDir.isValid());
    QVERIFY(m_files.isValid());
    redirectSettings(m_settingsDir.path());
    QVERIFY(plantClient(m_files.path(), sceneArt(Scene + QList<SceneTile>{Brush})));
}

void TestZoom::init()
{
    QSettings("Brightmoor", "MultiEditorWindow").clear();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_main = std::make_unique<MainWindow>();
    m_main->resize(1100, 800);
    m_main->show();
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
}

void TestZoom::cleanup()
{
    for (GLScroll *doc : m_main->documents())
        doc->model()->save(m_files.filePath("discard.mlt"));
    m_main.reset();
    m_dialogs.reset();
}

void TestZoom::wheelZoomsAboutThePointer_data()
{
    QTest::addColumn<int>("tile");      // the tile under the pointer
    QTest::addColumn<QPointF>("within"); // where in its image, as fractions
    QTest::addColumn<QList<int>>("notches");
    const QList<int> inAndOut = {1, 1, 3, 2, -1, -4, -6, -3, -2, 13};
    QTest::newRow("middle tile, its middle") << 1001 << QPointF(0.5, 0.5) << inAndOut;
    QTest::newRow("right tile, near a corner") << 1002 << QPointF(0.8, 0.2) << inAndOut;
    QTest::newRow("tall tile, low") << 1004 << QPointF(0.3, 0.9) << QList<int>{2, -3, -8, 9, 4};
    QTest::newRow("wide tile, to the clamp") << 1005 << QPointF(0.1, 0.6)
                                             << QList<int>{-20, 6, 12, 20, -5};
}

// After every wheel step the tile under the pointer is still there, with the
// pointer at the same place of its image (to the pixel).
void TestZoom::wheelZoomsAboutThePointer()
{
    QFETCH(int, tile);
    QFETCH(QPointF, within);
    QFETCH(QList<int>, notches);
    GLScroll *doc = open(Scene);
    QVERIFY(doc);
    GLWidget *v = doc->view();
    QImage frame = v->grabFramebuffer();
    QRect r = tileRects(frame).value(tile);
    QVERIFY(r.isValid());
    const QPoint at(r.left() + int(within.x() * r.width()), r.top() + int(within.y() * r.height()));
    // Distances from the pointer to the image's edges, in scene units.
    const double left = (at.x() + 0.5 - r.left()) / v->scale();
    const double right = (r.right() + 1 - at.x() - 0.5) / v->scale();
    const double top = (at.y() + 0.5 - r.top()) / v->scale();
    const double bottom = (r.bottom() + 1 - at.y() - 0.5) / v->scale();
    double expectedScale = 1.0;
    for (int n : notches) {
        wheel(v, at, n);
        expectedScale = std::clamp(expectedScale * std::pow(Notch, n), 0.125, 4.0);
        QVERIFY2(std::abs(v->scale() - expectedScale) < 1e-9,
                 qPrintable(QStringLiteral("scale %1 for %2").arg(v->scale()).arg(expectedScale)));
        frame = v->grabFramebuffer();
        r = tileRects(frame).value(tile);
        const double s = v->scale();
        // Still on the tile, where it is more than the rounding inside.
        if (std::min({left, right, top, bottom}) * s > 1.5)
            QCOMPARE(idOfColour(frame.pixel(at)), std::optional<int>(tile));
        // Each visible edge lies where the image's size at this scale puts it.
        const double slack = 1.0;
        if (r.left() > 0)
            QVERIFY2(std::abs(at.x() + 0.5 - left * s - r.left()) <= slack,
                     qPrintable(QStringLiteral("left edge %1 at scale %2").arg(r.left()).arg(s)));
        if (r.right() < frame.width() - 1)
            QVERIFY2(std::abs(at.x() + 0.5 + right * s - (r.right() + 1)) <= slack,
                     qPrintable(QStringLiteral("right edge %1 at scale %2").arg(r.right()).arg(s)));
        if (r.top() > 0)
            QVERIFY2(std::abs(at.y() + 0.5 - top * s - r.top()) <= slack,
                     qPrintable(QStringLiteral("top edge %1 at scale %2").arg(r.top()).arg(s)));
        if (r.bottom() < frame.height() - 1)
            QVERIFY2(std::abs(at.y() + 0.5 + bottom * s - (r.bottom() + 1)) <= slack,
                     qPrintable(QStringLiteral("bottom edge %1 at scale %2").arg(r.bottom()).arg(s)));
    }
}

// The entry of the scale in use is checked, none between them; Ctrl+0 is 1.0.
void TestZoom::scaleEntriesAndStatusFollowTheZoom()
{
    GLScroll *doc = open(Scene);
    QVERIFY(doc);
    GLWidget *v = doc->view();
    const QPoint at(v->width() / 3, v->height() / 3);
    QCOMPARE(scaleChecks(), QList<bool>({true, false, false}));
    QCOMPARE(m_main->zoomLabel()->text(), QStringLiteral("Zoom: 100%"));
    wheel(v, at, -1);
    QCOMPARE(scaleChecks(), QList<bool>({false, false, false}));
    QCOMPARE(m_main->zoomLabel()->text(), QStringLiteral("Zoom: 84.09%"));
    wheel(v, at, -3);
    QCOMPARE(v->scale(), 0.5);
    QCOMPARE(scaleChecks(), QList<bool>({false, false, true}));
    QCOMPARE(m_main->zoomLabel()->text(), QStringLiteral("Zoom: 50%"));
    action("3/4")->trigger();
    QCOMPARE(v->scale(), 0.75);
    QCOMPARE(scaleChecks(), QList<bool>({false, true, false}));
    wheel(v, at, 7);
    QCOMPARE(scaleChecks(), QList<bool>({false, false, false}));
    QTest::keyClick(m_main.get(), Qt::Key_0, Qt::ControlModifier);
    QCOMPARE(v->scale(), 1.0);
    QCOMPARE(scaleChecks(), QList<bool>({true, false, false}));
    QCOMPARE(m_main->zoomLabel()->text(), QStringLiteral("Zoom: 100%"));
    // The view repaints at the new scale: the middle tile is its own size again.
    QCOMPARE(tileRects(v->grabFramebuffer()).value(1001).size(), QSize(44, 44));
}

// The grabbed point stays under the pointer: the picture moves by exactly the
// drag, and the scroll bars follow the centre.
void TestZoom::middleDragPansWithThePointer()
{
    GLScroll *doc = open(Scene);
    QVERIFY(doc);
    GLWidget *v = doc->view();
    for (double scale : {1.0, 0.6, 2.3}) {
        v->setZoom(scale);
        const QImage before = v->grabFramebuffer();
        const QMap<int, QRect> was = tileRects(before);
        const QPoint drag(37, -23);
        const QPoint from(v->width() / 2, v->height() / 2);
        middleDrag(v, from, from + drag);
        const QImage after = v->grabFramebuffer();
        const QMap<int, QRect> now = tileRects(after);
        int compared = 0;
        for (auto it = was.cbegin(); it != was.cend(); ++it) {
            const QRect inner = before.rect().adjusted(50, 50, -50, -50);
            if (!inner.contains(it.value()))
                continue;
            QCOMPARE(now.value(it.key()), it.value().translated(drag));
            ++compared;
        }
        QVERIFY(compared >= 2);
        // Nothing was selected or placed by the middle button.
        QVERIFY(selectedIds(v).isEmpty());
        QCOMPARE(doc->model()->tileCount(), Scene.size());
    }
    // A long drag up the screen by whole cells moves the bars to the new centre.
    v->setZoom(1.0);
    const QPoint start = doc->location();
    const QPoint from(v->width() / 2, v->height() - 20);
    middleDrag(v, from, from - QPoint(0, 5 * 44));
    QCOMPARE(doc->location(), start + QPoint(5, 5));
    QCOMPARE(doc->verticalBar()->value(), start.y() + 5);
    QCOMPARE(doc->horizontalBar()->value(), start.x() + 5);
    QCOMPARE(v->centre(), start + QPoint(5, 5));
    // A bar moved by hand centres its location exactly again.
    doc->verticalBar()->setValue(doc->verticalBar()->value() - 5);
    QCOMPARE(v->centre(), start);
    QCOMPARE(v->pan(), QPoint());
    QVERIFY(doc->gotoLocation(0, 0));
    QCOMPARE(tileRects(v->grabFramebuffer()).value(1001),
             QRect(v->width() / 2 - 22, v->height() - v->height() / 2, 44, 44));
}

void TestZoom::pickingAtFreeScales_data()
{
    QTest::addColumn<double>("scale");
    // Under ASan: a fractional scale and both clamps.
    const QList<double> scales = Sanitized::Active ? QList<double>{1.37, 4.0, 0.125}
                                                   : QList<double>{0.3, 1.37, 2.5, 4.0, 0.125, 0.61};
    for (double s : scales)
        QTest::newRow(qPrintable(QString::number(s))) << s;
}

// Clicks inside and just outside every tile, tooltips and bands pick what the
// frame shows at scales off the menu, with the picture panned by odd pixels.
void TestZoom::pickingAtFreeScales()
{
    QFETCH(double, scale);
    GLScroll *doc = open(Scene);
    QVERIFY(doc);
    GLWidget *v = doc->view();
    wheel(v, QPoint(v->width() / 3, v->height() / 4), 1);
    v->setZoom(scale);
    QCOMPARE(v->scale(), scale);
    middleDrag(v, QPoint(100, 100), QPoint(113, 107));
    checkPicking(v);
}

void TestZoom::checkPicking(GLWidget *v)
{
    const QImage frame = v->grabFramebuffer();
    const QMap<int, QRect> rects = tileRects(frame);
    QVERIFY2(rects.size() >= 2, "the scene shows");
    QList<QPoint> points;
    for (const QRect &r : rects) {
        const QPoint c = r.center();
        points << r.topLeft() << r.bottomRight() << c << QPoint(r.left() - 1, c.y())
               << QPoint(r.right() + 1, c.y()) << QPoint(c.x(), r.top() - 1)
               << QPoint(c.x(), r.bottom() + 1) << QPoint(r.right() + 1, r.bottom() + 1)
               << QPoint(r.left() - 1, r.top() - 1);
    }
    for (const QPoint &p : points) {
        if (!frame.rect().contains(p))
            continue;
        QTest::mouseMove(v, p);
        QTest::mouseClick(v, Qt::LeftButton, {}, p);
        const auto id = idOfColour(frame.pixel(p));
        const QSet<int> expected = id ? QSet<int>{*id} : QSet<int>{};
        QVERIFY2(selectedIds(v) == expected,
                 qPrintable(QStringLiteral("at %1,%2 scale %3: %4 selected, pixel %5")
                                .arg(p.x()).arg(p.y()).arg(v->scale())
                                .arg(selectedIds(v).size())
                                .arg(QString::number(frame.pixel(p), 16))));
    }
    for (const QRect &r : rects) {
        const QList<QRect> bands = {
            QRect(QPoint(r.left() - 6, r.bottom() + 1), QSize(r.width() + 12, 30)),
            QRect(QPoint(r.left() + 1, r.bottom() - 1), QSize(std::max(1, r.width() - 2), 12)),
            QRect(QPoint(r.right() + 1, r.top()), QSize(9, r.height()))};
        for (const QRect &b : bands) {
            if (!frame.rect().contains(b))
                continue;
            m_main->cancelAction()->trigger();
            QVERIFY(selectedIds(v).isEmpty());
            QTest::mousePress(v, Qt::LeftButton, {}, b.topLeft());
            QTest::mouseMove(v, b.center());
            QTest::mouseMove(v, b.bottomRight());
            QTest::mouseRelease(v, Qt::LeftButton, {}, b.bottomRight());
            QCOMPARE(selectedIds(v), idsIn(frame, b));
        }
    }
}

void TestZoom::paintingLandsUnderThePointer_data()
{
    QTest::addColumn<double>("scale");
    for (double s : {0.3, 1.37, 2.5, 0.125})
        QTest::newRow(qPrintable(QString::number(s))) << s;
}

// A painted 44 x 44 image covers its cell's diamond, so it shows under the
// pointer that placed it, at any scale and pan.
void TestZoom::paintingLandsUnderThePointer()
{
    QFETCH(double, scale);
    GLScroll *doc = open({Scene.first()});
    QVERIFY(doc);
    GLWidget *v = doc->view();
    v->setZoom(scale);
    middleDrag(v, QPoint(200, 200), QPoint(171, 219));
    doc->startPaint(QStringLiteral("%1:0:0:0:0:1:1").arg(Brush.id));
    const QList<QPoint> targets = {QPoint(v->width() / 3, v->height() / 3),
                                   QPoint(v->width() * 2 / 3 + 7, v->height() / 2 + 3),
                                   QPoint(v->width() / 2 - 11, v->height() * 3 / 4)};
    for (const QPoint &p : targets) {
        QTest::mouseMove(v, p);
        QTest::mouseClick(v, Qt::LeftButton, {}, p);
        doc->stopPaint();
        QCOMPARE(idOfColour(v->grabFramebuffer().pixel(p)), std::optional<int>(Brush.id));
        doc->startPaint(QStringLiteral("%1:0:0:0:0:1:1").arg(Brush.id));
    }
    doc->stopPaint();
}

void TestZoom::fitMultiShowsItWhole_data()
{
    QTest::addColumn<QList<SceneTile>>("tiles");
    QTest::addColumn<QRect>("geometry"); // of the sub-window; empty: maximised
    QTest::newRow("scene, maximised") << Scene << QRect();
    QTest::newRow("scene, small window") << Scene << QRect(40, 30, 333, 251);
    QTest::newRow("one tile, to the upper clamp") << QList<SceneTile>{Scene[3]} << QRect();
    QList<SceneTile> far = {Scene[0], Scene[1], Scene[2]};
    far[0].x = far[0].y = -40;
    far[1].x = far[1].y = 40;
    far[2].x = 38;
    far[2].y = -39;
    QTest::newRow("far apart") << far
                               << QRect(10, 10, 900, 700);
}

// Every tile shows at its full size for the scale, inside the view, and one
// wheel notch more would no longer fit.
void TestZoom::fitMultiShowsItWhole()
{
    QFETCH(QList<SceneTile>, tiles);
    QFETCH(QRect, geometry);
    GLScroll *doc = open(tiles);
    QVERIFY(doc);
    if (!geometry.isEmpty()) {
        auto *sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget());
        sub->showNormal();
        sub->setGeometry(geometry);
        QCoreApplication::processEvents();
    }
    GLWidget *v = doc->view();
    v->setZoom(1.7);
    action("Fit Multi")->trigger();
    const double s = v->scale();
    const QImage frame = v->grabFramebuffer();
    const QMap<int, QRect> rects = tileRects(frame);
    QRect all;
    for (const SceneTile &t : tiles) {
        const QRect r = rects.value(t.id);
        QVERIFY2(r.isValid(), qPrintable(QStringLiteral("tile %1 shows at %2 in %3x%4 centre %5,%6 pan %7,%8")
                                             .arg(t.id).arg(s).arg(frame.width()).arg(frame.height())
                                             .arg(v->centre().x()).arg(v->centre().y())
                                             .arg(v->pan().x()).arg(v->pan().y())));
        all |= r;
        QVERIFY(std::abs(r.width() - t.size.width() * s) <= 1.0);
        QVERIFY(std::abs(r.height() - t.size.height() * s) <= 1.0);
    }
    const QRect box = sceneBox(tiles);
    QVERIFY2(std::abs(all.width() - box.width() * s) <= 2.0 && std::abs(all.height() - box.height() * s) <= 2.0,
             qPrintable(QStringLiteral("%1x%2 shown of %3x%4 at %5").arg(all.width()).arg(all.height())
                            .arg(box.width()).arg(box.height()).arg(s)));
    QVERIFY(frame.rect().contains(all));
    // Centred, to a pixel.
    QVERIFY(std::abs((all.left() - 0) - (frame.width() - 1 - all.right())) <= 2);
    QVERIFY(std::abs((all.top() - 0) - (frame.height() - 1 - all.bottom())) <= 2);
    if (s < 4.0)
        QVERIFY(box.width() * s * Notch > frame.width() || box.height() * s * Notch > frame.height());
}

QTEST_MAIN(TestZoom)
#include "test_zoom.moc"
