// Free zoom and pan in a real main window: the wheel zooms about the pointer,
// the middle button and the bars move the picture, Ctrl+0 and the Scale
// entries, Fit Multi; and picking, bands and painting stay exact at scales the
// menu does not offer. Every expectation comes from the pixels of grabbed frames.
#include "PickingWindow.h"
#include "Sanitized.h"

#include <QLabel>
#include <QScrollBar>
#include <QWheelEvent>

#include <array>
#include <cmath>

namespace {
const QList<SceneTile> &Scene = ColouredScene;
const SceneTile &Brush = ColouredBrush;
// A quarter octave: one wheel notch.
const double Notch = std::exp2(0.25);

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

void wheel(GLWidget *v, const QPoint &at, int notches)
{
    QWheelEvent e(at, v->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(v, &e);
}

void middleDrag(GLWidget *v, const QPoint &from, const QPoint &to)
{
    QTest::mousePress(v, Qt::MiddleButton, {}, from);
    QTest::mouseMove(v, (from + to) / 2);
    QTest::mouseMove(v, to);
    QTest::mouseRelease(v, Qt::MiddleButton, {}, to);
}
} // namespace

Q_DECLARE_METATYPE(QList<SceneTile>)

class TestZoom : public GlTest
{
    Q_OBJECT
private:
    PickingWindow m_win;

    QAction *action(const QString &text) const { return m_win.action(text); }

    // The stored location, the view's centre, and the bars' values (horizontal, vertical).
    static QList<QPoint> state(GLScroll *doc)
    {
        return {doc->location(), doc->view()->centre(), QPoint(doc->horizontalBar()->value(), doc->verticalBar()->value())};
    }

    QList<bool> scaleChecks() const
    {
        return {action("1.0")->isChecked(), action("3/4")->isChecked(),
                action("1/2")->isChecked()};
    }

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        m_win.plant(sceneArt(Scene + QList<SceneTile>{Brush}));
    }
    void init()
    {
        m_win.start();
        m_win.main->resize(1100, 800);
    }
    void cleanup() { m_win.stop(); }

    void wheelZoomsAboutThePointer_data()
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
    void wheelZoomsAboutThePointer()
    {
        QFETCH(int, tile);
        QFETCH(QPointF, within);
        QFETCH(QList<int>, notches);
        GLScroll *doc = m_win.openMaximised(Scene);
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
            QCOMPARE(v->scale(), expectedScale);
            frame = v->grabFramebuffer();
            r = tileRects(frame).value(tile);
            const double s = v->scale();
            // Still on the tile, where it is more than the rounding inside.
            if (std::min({left, right, top, bottom}) * s > 1.5)
                QCOMPARE(idOfColour(frame.pixel(at)), std::optional<int>(tile));
            // Each visible edge (drawn, inside the frame) lies where the image's size at this scale puts it.
            const std::array<std::array<double, 3>, 4> edges = {{
                {double(r.left()), at.x() + 0.5 - left * s, double(r.left() > 0)},
                {r.right() + 1.0, at.x() + 0.5 + right * s, double(r.right() < frame.width() - 1)},
                {double(r.top()), at.y() + 0.5 - top * s, double(r.top() > 0)},
                {r.bottom() + 1.0, at.y() + 0.5 + bottom * s, double(r.bottom() < frame.height() - 1)}}};
            for (const auto &[drawn, expected, inside] : edges)
                QVERIFY2(!inside || std::abs(drawn - expected) <= 1.0, qPrintable(QString::number(s)));
        }
    }

    // The entry of the focused view's scale is checked, none between them; Ctrl+0 is 1.0.
    void scaleEntriesAndStatusFollowTheZoom()
    {
        GLScroll *doc = m_win.openMaximised(Scene);
        QVERIFY(doc);
        GLWidget *v = doc->view();
        const QPoint at(v->width() / 3, v->height() / 3);
        QCOMPARE(scaleChecks(), QList<bool>({true, false, false}));
        QCOMPARE(m_win.main->zoomLabel()->text(), QStringLiteral("Zoom: 100%"));
        wheel(v, at, -1);
        QCOMPARE(scaleChecks(), QList<bool>({false, false, false}));
        QCOMPARE(m_win.main->zoomLabel()->text(), QStringLiteral("Zoom: 84.09%"));
        wheel(v, at, -3);
        QCOMPARE(v->scale(), 0.5);
        QCOMPARE(scaleChecks(), QList<bool>({false, false, true}));
        QCOMPARE(m_win.main->zoomLabel()->text(), QStringLiteral("Zoom: 50%"));
        action("3/4")->trigger();
        QCOMPARE(v->scale(), 0.75);
        QCOMPARE(scaleChecks(), QList<bool>({false, true, false}));
        // Another document has its own scale; focus brings each one's entry back.
        GLScroll *second = m_win.openMaximised(Scene, QStringLiteral("second.mlt"));
        QVERIFY(second && second->view()->scale() == 1.0);
        QCOMPARE(scaleChecks(), QList<bool>({true, false, false}));
        m_win.activate(doc);
        QTRY_COMPARE(scaleChecks(), QList<bool>({false, true, false}));
        QCOMPARE(second->view()->scale(), 1.0);
        wheel(v, at, 7);
        QCOMPARE(scaleChecks(), QList<bool>({false, false, false}));
        QTest::keyClick(m_win.main.get(), Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(v->scale(), 1.0);
        QCOMPARE(scaleChecks(), QList<bool>({true, false, false}));
        QCOMPARE(m_win.main->zoomLabel()->text(), QStringLiteral("Zoom: 100%"));
        // The view repaints at the new scale: the middle tile is its own size again.
        QCOMPARE(tileRects(v->grabFramebuffer()).value(1001).size(), QSize(44, 44));
    }

    // The grabbed point stays under the pointer: the picture moves by exactly the
    // drag, and the scroll bars follow the centre.
    void middleDragPansWithThePointer()
    {
        GLScroll *doc = m_win.openMaximised(Scene);
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
        QCOMPARE(state(doc), QList<QPoint>(3, start + QPoint(5, 5)));
        // A bar moved by hand centres its location exactly again.
        doc->verticalBar()->setValue(doc->verticalBar()->value() - 5);
        QCOMPARE(v->centre(), start);
        QCOMPARE(v->pan(), QPoint());
        // The bars, over the whole area, pan along the screen's axes: right is (+d, -d).
        for (QScrollBar *bar : {doc->horizontalBar(), doc->verticalBar()})
            QCOMPARE(QList<int>({bar->minimum(), bar->maximum()}), QList<int>({-282, 282}));
        doc->horizontalBar()->setValue(start.x() + 5);
        QCOMPARE(state(doc), QList<QPoint>(3, start + QPoint(5, -5)));
        QVERIFY(doc->gotoLocation(0, 0));
        QCOMPARE(tileRects(v->grabFramebuffer()).value(1001),
                 QRect(v->width() / 2 - 22, v->height() - v->height() / 2, 44, 44));
    }

    void pickingHitsWhatIsDrawn_data()
    {
        QTest::addColumn<QString>("scale");  // a Scale menu entry, or a free zoom
        QTest::addColumn<QRect>("geometry"); // of the sub-window; empty: maximised
        QTest::addColumn<int>("scroll");     // horizontal bar steps
        QTest::addColumn<QPoint>("pan");     // a middle-button drag
        QTest::newRow("maximised 1.0") << "1.0" << QRect() << 0 << QPoint();
        QTest::newRow("small window 3/4, scrolled back") << "3/4" << QRect(211, 23, 433, 377) << -2 << QPoint();
        // Under ASan: a fractional scale and both clamps.
        for (const char *s : {"1.37", "4", "0.125"})
            QTest::newRow(s) << s << QRect() << 0 << QPoint(13, 7);
        if (Sanitized::Active)
            return;
        QTest::newRow("window at an offset, scrolled") << "1.0" << QRect(137, 61, 520, 430) << 3 << QPoint();
        QTest::newRow("small window 1/2") << "1/2" << QRect(5, 140, 300, 260) << 1 << QPoint();
        QTest::newRow("0.61") << "0.61" << QRect() << 0 << QPoint(13, 7);
    }

    // Clicks, Control-clicks, bands and tooltips inside and just outside every
    // tile's pixels select what the frame shows there, and nothing else: at the
    // menu's scales and others, in windows of any place and size, scrolled and panned.
    void pickingHitsWhatIsDrawn()
    {
        QFETCH(QString, scale);
        QFETCH(QRect, geometry);
        QFETCH(int, scroll);
        QFETCH(QPoint, pan);
        m_win.open(m_win.write("other.mlt", {Scene.first()})); // a document behind
        GLScroll *doc = m_win.open(m_win.write("scene.mlt", Scene));
        QVERIFY(doc);
        auto *sub = qobject_cast<QMdiSubWindow *>(doc->parentWidget());
        if (geometry.isEmpty()) {
            sub->showMaximized();
        } else {
            sub->showNormal();
            sub->setGeometry(geometry);
        }
        GLWidget *v = doc->view();
        if (QAction *entry = action(scale)) {
            entry->trigger();
        } else {
            wheel(v, QPoint(v->width() / 3, v->height() / 4), 1);
            v->setZoom(scale.toDouble());
            QCOMPARE(v->scale(), scale.toDouble());
        }
        doc->horizontalBar()->setValue(scroll);
        QCoreApplication::processEvents();
        if (!pan.isNull())
            middleDrag(v, QPoint(100, 100), QPoint(100, 100) + pan);
        if (scale == "1.0") {
            // Each image is drawn at its own size: no texture padding, no stray rows.
            const QImage frame = v->grabFramebuffer();
            const QMap<int, QRect> rects = tileRects(frame);
            for (const SceneTile &t : Scene) {
                const QRect r = rects.value(t.id);
                if (r.isValid() && frame.rect().adjusted(1, 1, -1, -1).contains(r))
                    QCOMPARE(r.size(), t.size);
            }
        }
        m_win.checkPicking(v);
    }

    void paintingLandsUnderThePointer_data()
    {
        QTest::addColumn<double>("scale");
        for (double s : {0.3, 1.37, 2.5, 0.125})
            QTest::newRow(qPrintable(QString::number(s))) << s;
    }

    // A painted 44 x 44 image covers its cell's diamond, so it shows under the
    // pointer that placed it, at any scale and pan.
    void paintingLandsUnderThePointer()
    {
        QFETCH(double, scale);
        GLScroll *doc = m_win.openMaximised({Scene.first()});
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

    void fitMultiShowsItWhole_data()
    {
        QTest::addColumn<QList<SceneTile>>("tiles");
        QTest::addColumn<QRect>("geometry"); // of the sub-window; empty: maximised
        // The fit's arithmetic for any box is the geometry's; here the box comes from the document.
        QTest::newRow("scene, small window") << Scene << QRect(40, 30, 333, 251);
        QTest::newRow("one tile, to the upper clamp") << QList<SceneTile>{Scene[3]} << QRect();
    }

    // Every tile shows at its full size for the scale, inside the view, and one
    // wheel notch more would no longer fit.
    void fitMultiShowsItWhole()
    {
        QFETCH(QList<SceneTile>, tiles);
        QFETCH(QRect, geometry);
        GLScroll *doc = m_win.openMaximised(tiles);
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
            QVERIFY2(r.isValid(), qPrintable(QStringLiteral("tile %1 at scale %2").arg(t.id).arg(s)));
            all |= r;
            QVERIFY(std::abs(r.width() - t.size.width() * s) <= 1.0);
            QVERIFY(std::abs(r.height() - t.size.height() * s) <= 1.0);
        }
        const QRect box = sceneBox(tiles);
        QVERIFY(std::abs(all.width() - box.width() * s) <= 2.0 && std::abs(all.height() - box.height() * s) <= 2.0);
        QVERIFY(frame.rect().contains(all));
        // Centred, to a pixel.
        QVERIFY(std::abs((all.left() - 0) - (frame.width() - 1 - all.right())) <= 2);
        QVERIFY(std::abs((all.top() - 0) - (frame.height() - 1 - all.bottom())) <= 2);
        if (s < 4.0)
            QVERIFY(box.width() * s * Notch > frame.width() || box.height() * s * Notch > frame.height());
    }
};

QTEST_MAIN(TestZoom)
#include "test_zoom.moc"
