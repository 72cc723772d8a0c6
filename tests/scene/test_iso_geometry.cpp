#include "scene/IsoGeometry.h"

#include <QTest>

namespace {
DrawnQuad quad(int left, int top, int right, int bottom, int kind, int serial)
{
    DrawnQuad q;
    const QPoint corners[4] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
    std::copy(corners, corners + 4, q.corners);
    q.kind = kind;
    q.serial = serial;
    return q;
}

QList<int> serials(const QList<DrawnQuad> &quads)
{
    QList<int> out;
    for (const DrawnQuad &q : quads)
        out.append(q.serial);
    return out;
}
} // namespace

class TestIsoGeometry : public QObject
{
    Q_OBJECT
private slots:
    // Wherever a pan put the anchor, the walk round the view's centre reaches every visible
    // point, and far enough below that a tile raised 127 steps (508 units) is drawn.
    void walkCoversEveryWidgetPoint()
    {
        const QPoint anchor(3, -4);
        const struct { double scale; QSize size; QPoint pan; } cases[] = {
            {1.0, QSize(440, 330), {}}, {0.75, QSize(1280, 800), {}}, {0.5, QSize(333, 97), {}},
            {0.125, QSize(1280, 800), QPoint(-301, 77)}, {1.37, QSize(441, 331), QPoint(5, -1000)},
            {4.0, QSize(900, 700), QPoint(2300, 1700)},  {0.3, QSize(97, 333), QPoint(-40, 41)}};
        for (const auto &c : cases) {
            const int w = c.size.width(), h = c.size.height();
            const QPoint centre = IsoGeometry::viewCentre(
                anchor, IsoGeometry::unproject(QPointF(QPoint(w / 2, h / 2)), w, h, c.scale, c.pan));
            const auto walk = IsoGeometry::walk(w, h, c.scale, centre);
            const int sparse = c.scale < 0.5 ? 4 : 1; // small scales: many cells, each a few pixels
            for (int px = 0; px <= w; px += 13 * sparse) {
                for (int py = 0; py <= h + int(508 * c.scale); py += 17 * sparse) {
                    const QPointF s = IsoGeometry::unproject(QPointF(px, py), w, h, c.scale, c.pan);
                    QVERIFY2(IsoGeometry::cellAt(walk, anchor, s),
                             qPrintable(QStringLiteral("%1 at %2,%3").arg(c.scale).arg(px).arg(py)));
                }
            }
        }
    }

    void fitShowsTheBoxWhole_data()
    {
        QTest::addColumn<QRect>("box"); // scene units from location (0, 0), y down
        QTest::addColumn<QSize>("view");
        QTest::newRow("one tile") << QRect(-22, 0, 44, 44) << QSize(640, 480);
        QTest::newRow("wide, odd view") << QRect(-1500, -300, 3000, 500) << QSize(641, 479);
        QTest::newRow("tall, off the origin") << QRect(800, 2000, 90, 1700) << QSize(1000, 333);
        QTest::newRow("the whole area") << QRect(-8800, -8800, 17600, 17600) << QSize(1280, 800);
        QTest::newRow("square in a square") << QRect(-37, -501, 1000, 1000) << QSize(500, 500);
    }

    // The box's pixels lie inside the view, centred, at the largest scale that
    // allows it; a box too large even at 1/8 is centred at 1/8.
    void fitShowsTheBoxWhole()
    {
        QFETCH(QRect, box);
        QFETCH(QSize, view);
        const auto fit = IsoGeometry::fit(box, view.width(), view.height());
        QVERIFY(fit);
        const double s = fit->scale;
        QVERIFY(s >= IsoGeometry::MinZoom && s <= IsoGeometry::MaxZoom);
        // The box's edges in widget pixels (y down), as the view draws them.
        const QPoint a = IsoGeometry::scenePoint(QPoint(0, 0), fit->anchor.x(), fit->anchor.y());
        const IsoGeometry::Projection p = IsoGeometry::projection(view.width(), view.height());
        const auto column = [&](int sceneX) { return IsoGeometry::snap(sceneX - a.x(), s) + fit->pan.x() - p.left; };
        const auto row = [&](int sceneYDown) {
            return view.height() - (IsoGeometry::snap(-sceneYDown - a.y(), s) + fit->pan.y() - p.bottom);
        };
        const double left = column(box.left()), right = column(box.left() + box.width());
        const double top = row(box.top()), bottom = row(box.top() + box.height());
        if (s > IsoGeometry::MinZoom) {
            QVERIFY2(left >= 0 && right <= view.width() && top >= 0 && bottom <= view.height(),
                     qPrintable(QStringLiteral("%1..%2 x %3..%4 at %5").arg(left).arg(right).arg(top).arg(bottom).arg(s)));
        }
        QVERIFY(std::abs(left - (view.width() - right)) <= 1.0);
        QVERIFY(std::abs(top - (view.height() - bottom)) <= 1.0);
        if (s < IsoGeometry::MaxZoom && s > IsoGeometry::MinZoom) {
            const double grown = s * 1.01;
            QVERIFY(box.width() * grown > view.width() || box.height() * grown > view.height());
        }
    }

    void placementAndProjection()
    {
        // The image bottom rests on the diamond's bottom corner; an odd width centres by truncation.
        QPoint q[4];
        IsoGeometry::tileQuad(QPoint(22, -22), 3, TexInfo{7, 32, 128, 21, 80}, q);
        QCOMPARE(q[0], QPoint(12, -22 + 12 - 44 + 80));
        QCOMPARE(q[2], QPoint(12 + 21, q[0].y() - 80)); // the image's size, not the texture's

        QCOMPARE(IsoGeometry::unproject(QPointF(0, 0), 440, 330, 0.5), QPointF(-440, 330));
    }

    // Picking by pixel centres: the origin on a pixel corner for odd sizes too,
    // edges on whole pixels at every scale, and a pixel is hit only when inside.
    void pixelPicking()
    {
        const auto p = IsoGeometry::projection(441, 331);
        QCOMPARE(QList<int>({p.left, p.right, p.bottom, p.top}), QList<int>({-220, 221, -165, 166}));
        QCOMPARE(IsoGeometry::pixelCentre(QPoint(0, 0), 441, 331, 1.0), QPointF(-219.5, 165.5));
        QCOMPARE(IsoGeometry::pixelCentre(QPoint(220, 165), 440, 330, 0.5), QPointF(1.0, -1.0));

        // At 3/4 an edge at -110 would cut a pixel centre (-82.5): it goes to -82.
        const DrawnQuad q = quad(44, -66, 88, -110, 1, 0);
        QCOMPARE(IsoGeometry::pixelRect(q, 0.75), QRectF(QPointF(33, -82), QPointF(66, -49)));
        const struct { QPointF pixel; bool in; } probes[] = {
            {{33.5, -49.5}, true}, {{33.5, -48.5}, false}, {{32.5, -60.5}, false},
            {{65.5, -81.5}, true}, {{66.5, -81.5}, false}, {{40.5, -82.5}, false}};
        for (const auto &probe : probes)
            QCOMPARE(IsoGeometry::quadContains(q, probe.pixel / 0.75, 0.75), probe.in);
        QCOMPARE(IsoGeometry::topQuadAt({}, {q}, 1, QPointF(40.5, -60.5) / 0.75, 0.75).serial, 0);
        QVERIFY(!IsoGeometry::topQuadAt({q}, {}, 1, QPointF(40.5, -60.5) / 0.75, 0.75).isTile());
        // Across both lists the top-most is the one drawn last.
        QCOMPARE(IsoGeometry::topQuadAt({quad(0, 0, 100, -200, 0, 5)}, {q}, 3, QPointF(40.5, -60.5) / 0.75, 0.75).serial, 5);

        // The cell under a point; a point on a shared edge belongs to the cell in front.
        const auto w = IsoGeometry::walk(440, 330, 1.0, QPoint(0, 0));
        QCOMPARE(IsoGeometry::cellAt(w, {0, 0}, {0.5, -21.5}), std::optional<QPoint>(QPoint(0, 0)));
        QCOMPARE(IsoGeometry::cellAt(w, {0, 0}, {11, -33}), std::optional<QPoint>(QPoint(1, 0)));
        QCOMPARE(IsoGeometry::cellAt(w, {0, 0}, {-5000, 0}), std::nullopt);

        // A band of one pixel column takes a quad only when that column is inside it.
        const QList<DrawnQuad> art = {quad(0, 10, 10, 0, 1, 0), quad(10, 10, 20, 0, 1, 1)};
        QCOMPARE(serials(IsoGeometry::quadsMeeting({}, art, 1, QRectF(9, 0, 1, 1), 1.0)), QList<int>({0}));
        QCOMPARE(serials(IsoGeometry::quadsMeeting({}, art, 1, QRectF(10, 0, 1, 1), 1.0)), QList<int>({1}));
        QVERIFY(IsoGeometry::quadsMeeting({}, art, 1, QRectF(0, 10, 20, 5), 1.0).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestIsoGeometry)
#include "test_iso_geometry.moc"
