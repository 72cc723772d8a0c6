#include "view/IsoGeometry.h"

#include <QtTest>

namespace {
DrawnQuad quad(int left, int top, int right, int bottom, int kind, int serial)
{
    DrawnQuad q;
    q.corners[0] = {left, top};
    q.corners[1] = {right, top};
    q.corners[2] = {right, bottom};
    q.corners[3] = {left, bottom};
    q.kind = kind;
    q.id = 100 + serial;
    q.x = serial;
    q.y = 0;
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
    void walkSize_data();
    void walkSize();
    void walkOrderRunsBackToFront();
    void walkCoversEveryWidgetPoint_data();
    void walkCoversEveryWidgetPoint();
    void diamondAndTileQuadPlacement();
    void unprojectFollowsScale();
    void pickBoxTruncatesTowardZero();
    void pickCellPrefersFrontCell();
    void topQuadRanksBySerialAcrossLists();
    void quadsInOrderedBySerial();
};

void TestIsoGeometry::walkSize_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::newRow("1.0") << 1.0 << 20 << 66;
    QTest::newRow("0.75") << 0.75 << 26 << 88;
    QTest::newRow("0.5") << 0.5 << 40 << 132;
}

void TestIsoGeometry::walkSize()
{
    QFETCH(double, scale);
    QFETCH(int, columns);
    QFETCH(int, rows);
    const auto w = IsoGeometry::walk(440, 330, scale, QPoint(5, -7));
    QCOMPARE(w.columns, columns);
    QCOMPARE(w.rows, rows);
    QCOMPARE(w.start, QPoint(5 - columns / 2 - (rows / 2) / 2, -7 + columns / 2 - (rows / 2) / 2));
}

void TestIsoGeometry::walkOrderRunsBackToFront()
{
    const auto w = IsoGeometry::walk(440, 330, 1.0, QPoint(0, 0));
    QCOMPARE(w.start, QPoint(-26, -6));
    QCOMPARE(IsoGeometry::cell(w, 0, 0), w.start);
    // Rows step y first, then x; cells run along +x, -y.
    QCOMPARE(IsoGeometry::cell(w, 1, 0), w.start + QPoint(0, 1));
    QCOMPARE(IsoGeometry::cell(w, 2, 0), w.start + QPoint(1, 1));
    QCOMPARE(IsoGeometry::cell(w, 3, 2), w.start + QPoint(1 + 2, 2 - 2));
    const QPoint c = QPoint(0, 0);
    for (int r = 0; r + 1 < w.rows; ++r) {
        const QPoint a = IsoGeometry::scenePoint(c, w.start.x() + r / 2, w.start.y() + r - r / 2);
        const QPoint b = IsoGeometry::scenePoint(c, IsoGeometry::cell(w, r + 1, 0).x(),
                                                 IsoGeometry::cell(w, r + 1, 0).y());
        QCOMPARE(b.y(), a.y() - 22); // each row in front of the last
        QCOMPARE(b.x(), a.x() + ((r % 2 == 0) ? -22 : 22));
        const QPoint next = IsoGeometry::cell(w, r, 1);
        QCOMPARE(IsoGeometry::scenePoint(c, next.x(), next.y()), a + QPoint(44, 0));
    }
}

void TestIsoGeometry::walkCoversEveryWidgetPoint_data()
{
    QTest::addColumn<double>("scale");
    QTest::addColumn<QSize>("size");
    QTest::newRow("small 1.0") << 1.0 << QSize(440, 330);
    QTest::newRow("wide 0.75") << 0.75 << QSize(1280, 800);
    QTest::newRow("wide 0.5") << 0.5 << QSize(1280, 800);
    QTest::newRow("odd 0.5") << 0.5 << QSize(333, 97);
}

// The walk must reach every visible point, and far enough below the widget
// that a tile raised 127 steps (508 units) still gets drawn.
void TestIsoGeometry::walkCoversEveryWidgetPoint()
{
    QFETCH(double, scale);
    QFETCH(QSize, size);
    const QPoint centre(3, -4);
    const auto w = IsoGeometry::walk(size.width(), size.height(), scale, centre);
    for (int px = 0; px <= size.width(); px += 13) {
        for (int py = 0; py <= size.height() + int(508 * scale); py += 17) {
            const QPointF s = IsoGeometry::unproject(QPointF(px, py), size.width(),
                                                     size.height(), scale);
            QPoint hit;
            QVERIFY2(IsoGeometry::pickCell(w, centre, IsoGeometry::pickBox(s), hit),
                     qPrintable(QStringLiteral("%1,%2").arg(px).arg(py)));
        }
    }
}

void TestIsoGeometry::diamondAndTileQuadPlacement()
{
    const QPoint c(0, 0);
    QCOMPARE(IsoGeometry::scenePoint(c, 1, 0), QPoint(22, -22));
    QCOMPARE(IsoGeometry::scenePoint(c, 0, 1), QPoint(-22, -22));
    QCOMPARE(IsoGeometry::scenePoint(QPoint(1, 0), 1, 0), QPoint(0, 0));
    QPoint d[4];
    IsoGeometry::diamond(c, 1, 0, 5, d);
    QCOMPARE(d[0], QPoint(22, -2)); // raised 20 units
    QCOMPARE(d[1], QPoint(0, -24));
    QCOMPARE(d[2], QPoint(22, -46));
    QCOMPARE(d[3], QPoint(44, -24));

    TexInfo tex{7, 64, 128, 44, 80};
    QPoint q[4];
    IsoGeometry::tileQuad(QPoint(0, 0), 0, tex, q);
    QCOMPARE(q[0], QPoint(-22, 36));
    QCOMPARE(q[1], QPoint(42, 36));
    QCOMPARE(q[2], QPoint(42, -92));
    QCOMPARE(q[3], QPoint(-22, -92));
    // The image bottom rests on the diamond's bottom corner, whatever the altitude.
    IsoGeometry::tileQuad(QPoint(22, -22), 3, tex, q);
    QCOMPARE(q[0].y() - int(tex.imageHeight), -22 + 12 - 44);
    // An odd image width is centred by truncation.
    IsoGeometry::tileQuad(QPoint(0, 0), 0, TexInfo{7, 32, 32, 21, 10}, q);
    QCOMPARE(q[0].x(), -10);
}

void TestIsoGeometry::unprojectFollowsScale()
{
    QCOMPARE(IsoGeometry::unproject(QPointF(220, 165), 440, 330, 1.0), QPointF(0, 0));
    QCOMPARE(IsoGeometry::unproject(QPointF(0, 0), 440, 330, 1.0), QPointF(-220, 165));
    QCOMPARE(IsoGeometry::unproject(QPointF(0, 0), 440, 330, 0.5), QPointF(-440, 330));
    QCOMPARE(IsoGeometry::unproject(QPointF(0, 0), 441, 331, 1.0), QPointF(-220.5, 165.5));
}

void TestIsoGeometry::pickBoxTruncatesTowardZero()
{
    auto b = IsoGeometry::pickBox(QPointF(0.5, -0.5));
    QCOMPARE(b.left, 0);
    QCOMPARE(b.right, 1);
    QCOMPARE(b.bottom, -1);
    QCOMPARE(b.top, 0);
    b = IsoGeometry::pickBox(QPointF(-3.0, 4.0));
    QCOMPARE(b.left, -4);
    QCOMPARE(b.right, -2);
    QCOMPARE(b.bottom, 3);
    QCOMPARE(b.top, 5);
}

void TestIsoGeometry::pickCellPrefersFrontCell()
{
    const QPoint c(0, 0);
    const auto w = IsoGeometry::walk(440, 330, 1.0, c);
    QPoint hit;
    // The middle of the (0, 0) diamond.
    QVERIFY(IsoGeometry::pickCell(w, c, IsoGeometry::pickBox(QPointF(0, -22)), hit));
    QCOMPARE(hit, QPoint(0, 0));
    // On the corner shared by four diamonds the front one, (0, 0), wins.
    QVERIFY(IsoGeometry::pickCell(w, c, IsoGeometry::pickBox(QPointF(0, 0)), hit));
    QCOMPARE(hit, QPoint(0, 0));
    // On the edge between (0, 0) and (1, 0): the one drawn later, (1, 0).
    QVERIFY(IsoGeometry::pickCell(w, c, IsoGeometry::pickBox(QPointF(11, -33)), hit));
    QCOMPARE(hit, QPoint(1, 0));
    // Nothing outside the walk.
    QVERIFY(!IsoGeometry::pickCell(w, c, IsoGeometry::pickBox(QPointF(5000, 5000)), hit));
}

void TestIsoGeometry::topQuadRanksBySerialAcrossLists()
{
    const QList<DrawnQuad> terrain = {quad(-50, 50, 50, -50, 0, 0), quad(-50, 50, 50, -50, 0, 3)};
    const QList<DrawnQuad> art = {quad(-10, 10, 10, -10, 1, 1), quad(0, 40, 40, 0, 1, 2)};
    const auto at = [](double x, double y) { return IsoGeometry::pickBox(QPointF(x, y)); };
    QCOMPARE(IsoGeometry::topQuad(terrain, art, 3, at(5, 5)).serial, 3);
    QCOMPARE(IsoGeometry::topQuad(terrain, art, 1, at(5, 5)).serial, 2);
    QCOMPARE(IsoGeometry::topQuad(terrain, art, 1, at(-5, -5)).serial, 1);
    QCOMPARE(IsoGeometry::topQuad(terrain, art, 0, at(-5, -5)).serial, 3);
    // Just past the edge of every quad: the no-tile value.
    const DrawnQuad none = IsoGeometry::topQuad(terrain, art, 3, at(52, 0));
    QCOMPARE(none.kind, -1);
    QCOMPARE(none.x, -1);
    QCOMPARE(none.y, -1);
    QVERIFY(!IsoGeometry::topQuad(terrain, art, 1, at(-20, -20)).isTile());
}

void TestIsoGeometry::quadsInOrderedBySerial()
{
    const QList<DrawnQuad> terrain = {quad(0, 10, 10, 0, 0, 1), quad(100, 110, 110, 100, 0, 4)};
    const QList<DrawnQuad> art = {quad(0, 10, 10, 0, 1, 0), quad(20, 30, 30, 20, 1, 2),
                                  quad(200, 210, 210, 200, 1, 3)};
    // Corners given bottom-right first, as a band dragged up and left stores them.
    auto box = IsoGeometry::bandBox(35, 0, 0, 35);
    QCOMPARE(serials(IsoGeometry::quadsIn(terrain, art, 3, box)), QList<int>({0, 1, 2}));
    QCOMPARE(serials(IsoGeometry::quadsIn(terrain, art, 1, box)), QList<int>({0, 2}));
    QCOMPARE(serials(IsoGeometry::quadsIn(terrain, art, 0, box)), QList<int>({1}));
    // A flat band (a drag straight down) still takes what it crosses.
    QCOMPARE(serials(IsoGeometry::quadsIn(terrain, art, 3, IsoGeometry::bandBox(5, 0, 5, 35))),
             QList<int>({0, 1}));
}

QTEST_GUILESS_MAIN(TestIsoGeometry)
#include "test_iso_geometry.moc"
