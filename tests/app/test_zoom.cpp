// Free zoom and pan in a real main window: the wheel zooms about the pointer,
// the middle button and the bars move the picture, Ctrl+0 and the Scale
// entries, Fit Multi; and picking, bands and painting stay exact at scales the
// menu does not offer: by drawn pixels where images overlap, on floors without
// seams, and on boxes in place of missing art. Every expectation comes from
// the pixels of grabbed frames or from the placement rules.
#include "PickingWindow.h"
#include "Sanitized.h"
#include "data/RadarColours.h"
#include "scene/SceneRenderer.h"

#include <QLabel>
#include <QPainter>
#include <QScrollBar>
#include <QWheelEvent>

#include <array>
#include <cmath>

namespace {
const QList<SceneTile> &Scene = ColouredScene;
const SceneTile &Brush = ColouredBrush;
// A quarter octave: one wheel notch.
const double Notch = std::exp2(0.25);
constexpr QRgb Background = 0xFFC0C0C0;
// Two ids without art: tile data gives the first a height, the radar colours both their colour.
constexpr int Tall = 2001, Flat = 2002;
constexpr QRgb TallColour = 0xFF30A050, FlatColour = 0xFFE04088;

// A floor tile: only its cell's diamond is drawn.
QImage diamondArt(QRgb c)
{
    QImage image(44, 44, QImage::Format_ARGB32);
    image.fill(0);
    for (int y = 0; y < 44; ++y)
        for (int x = y < 22 ? 21 - y : y - 22; x < (y < 22 ? 23 + y : 66 - y); ++x)
            image.setPixel(x, y, c);
    return image;
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
    QList<SceneTile> m_floor;

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
        QMap<int, QImage> art = sceneArt(Scene + QList<SceneTile>{Brush});
        // A floor of 5 x 5 diamonds with a post 8 pixels wide on it.
        for (int x = 0; x < 5; ++x)
            for (int y = 0; y < 5; ++y) {
                m_floor << SceneTile{1101 + 5 * x + y, x, y, 0, {44, 44}, qRgb(0x40 + 8 * x, 0x80 + 8 * y, 0x10)};
                art.insert(m_floor.last().id, diamondArt(m_floor.last().colour));
            }
        m_floor << SceneTile{1200, 2, 2, 0, {44, 100}, 0xFF8040F8};
        art.insert(1200, QImage(44, 100, QImage::Format_ARGB32));
        art[1200].fill(0);
        QPainter(&art[1200]).fillRect(18, 0, 8, 100, QColor(m_floor.last().colour));
        moreColouredTiles() = m_floor + QList<SceneTile>{{Tall, 0, 0, 0, {}, TallColour}, {Flat, 2, 0, 0, {}, FlatColour}};
        m_win.plant(art);
        QVERIFY(writeFileBytes(m_win.files.filePath("tiledata.mul"), MulWriter::tileData({}, {{Tall, {0, 5, {}}}})));
        QByteArray radar(0x10000, '\0');
        qToLittleEndian<quint16>(MulWriter::colour(TallColour), radar.data() + 2 * (0x4000 + Tall));
        qToLittleEndian<quint16>(MulWriter::colour(FlatColour), radar.data() + 2 * (0x4000 + Flat));
        QVERIFY(writeFileBytes(m_win.files.filePath("radarcol.mul"), radar));
        QSettings("Brightmoor", "MulSettings").setValue("RadarCol", m_win.files.filePath("radarcol.mul"));
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
    void floorPicksWithoutSeams_data()
    {
        QTest::addColumn<double>("scale");
        for (double s : {1.0, std::exp2(-0.25), 1.4})
            QTest::newRow(qPrintable(QString::number(s))) << s;
    }

    // Diamonds share their edges with no background between them, and picking
    // and bands go by drawn pixels, not by the images' transparent corners.
    void floorPicksWithoutSeams()
    {
        QFETCH(double, scale);
        GLScroll *doc = m_win.openMaximised(m_floor, QStringLiteral("floor.mlt"));
        QVERIFY(doc);
        GLWidget *v = doc->view();
        v->setZoom(scale);
        const QImage frame = v->grabFramebuffer();
        QRect floor;
        for (int y = 0; y < frame.height(); ++y) {
            QRect row;
            for (int x = 0; x < frame.width(); ++x)
                row |= idOfColour(frame.pixel(x, y)) ? QRect(x, y, 1, 1) : QRect();
            for (int x = row.left() + 1; x < row.right(); ++x)
                QVERIFY2(frame.pixel(x, y) != Background, qPrintable(QStringLiteral("seam at %1,%2").arg(x).arg(y)));
            floor |= row;
        }
        QVERIFY(floor.width() > 150 * scale);
        m_win.checkPicking(v, false);
        // Bands beside the post, where its image is transparent, and in one diamond's lower half.
        const QRect post = tileRects(frame).value(1200), cell = tileRects(frame).value(1107);
        for (const QRect &b : {QRect(post.right() + 4, post.bottom() - 14, 8, 6), QRect(cell.center() + QPoint(-6, 4), QSize(12, 8))}) {
            m_win.main->cancelAction()->trigger();
            band(v, b.topLeft(), b.bottomRight());
            QCOMPARE(selectedIds(v), idsIn(frame, b));
        }
    }

    // A box as tall as the tile data says, in its radar colour, on its cell.
    void placeholdersStandInForMissingArt()
    {
        GLScroll *doc = m_win.openMaximised({{Tall, 0, 0, 0, {}, 0}, {Flat, 2, 0, 0, {}, 0}}, QStringLiteral("boxes.mlt"));
        QVERIFY(doc && doc->gotoLocation(0, 0));
        GLWidget *v = doc->view();
        const QImage frame = v->grabFramebuffer();
        const QPoint top(v->width() / 2, v->height() - v->height() / 2); // diamond top of (0, 0)
        const QPoint tallFace = top + QPoint(0, 22 - 4 * 5), flatFace = top + QPoint(44, 44 + 22);
        QCOMPARE(idOfColour(frame.pixel(tallFace)), std::optional<int>(Tall));
        QCOMPARE(idOfColour(frame.pixel(flatFace)), std::optional<int>(Flat));
        QCOMPARE(frame.pixel(tallFace - QPoint(0, 24)), Background);
        for (const QPoint &p : {tallFace, flatFace, QPoint(5, 5)}) { // nothing selected: no selection hue
            m_win.click(v, p);
            QCOMPARE(selectedIds(v), idOfColour(frame.pixel(p)) ? QSet<int>{*idOfColour(frame.pixel(p))} : QSet<int>{});
        }
        // Fit Multi finds them; the exported picture holds them too.
        v->setZoom(0.2);
        QVERIFY(doc->gotoLocation(90, 90) && !idOfColour(v->grabFramebuffer().pixel(tallFace)));
        m_win.action("Fit Multi")->trigger();
        const QMap<int, QRect> fitted = tileRects(v->grabFramebuffer());
        QVERIFY(v->scale() > 1.0 && fitted.contains(Tall) && fitted.contains(Flat));
        const RadarColours radar(m_win.files.filePath("radarcol.mul"));
        SceneRenderer renderer(v->artReader(), nullptr);
        renderer.setRadarColours(&radar);
        const QImage exported = renderer.render(*doc->model(), {});
        // The boxes' union: the tall one 44 x 64 on (0, 0), the flat one 44 x 44 on (2, 0).
        QCOMPARE(exported.size(), QSize(88, 108));
        QCOMPARE(tileRects(exported).value(Tall), QRect(0, 0, 44, 44));
        QVERIFY(!idOfColour(exported.pixel(0, 0))); // the top face is a diamond, not a square
    }
};

QTEST_MAIN(TestZoom)
#include "test_zoom.moc"
