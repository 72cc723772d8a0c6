// Picking by drawn pixels where images overlap, floors without seams, and
// boxes in place of missing art, in a real main window; every expectation
// comes from frame pixels or from the placement rules.
#include "PickingWindow.h"
#include "data/RadarColours.h"
#include "scene/SceneRenderer.h"

#include <QPainter>

#include <cmath>

namespace {
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
} // namespace

class TestPixelPick : public GlTest
{
    Q_OBJECT
private:
    PickingWindow m_win;
    QList<SceneTile> m_floor;

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        // A floor of 5 x 5 diamonds with a post 8 pixels wide on it.
        QMap<int, QImage> art;
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

QTEST_MAIN(TestPixelPick)
#include "test_pixelpick.moc"
