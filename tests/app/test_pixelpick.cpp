// Picking by drawn pixels, floors without seams, and boxes in place of missing
// art, in a real main window; every expectation comes from frame pixels or
// from the placement rules, never from the picking code.
#include "EditorWindow.h"
#include "SceneFrames.h"
#include "data/RadarColours.h"
#include "scene/SceneRenderer.h"

#include <QPainter>

#include <cmath>

namespace {
constexpr QRgb Background = 0xFFC0C0C0;
constexpr int Post = 1200, Tall = 2001, Flat = 2002; // the last two have no art
constexpr QRgb TallColour = 0xFF30A050, FlatColour = 0xFFE04088;
QHash<QRgb, int> g_ids; // colour -> tile

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

std::optional<int> idAt(const QImage &frame, const QPoint &p)
{
    const auto it = g_ids.constFind(frame.pixel(p) | 0xFF000000u);
    return it == g_ids.constEnd() ? std::nullopt : std::optional<int>(*it);
}

// The tiles whose colour the frame shows in the rectangle, and where one shows.
QSet<int> idsShown(const QImage &frame, const QRect &r)
{
    QSet<int> ids;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (const auto id = idAt(frame, {x, y}))
                ids.insert(*id);
    return ids;
}

QRect rectOf(const QImage &frame, int id)
{
    QRect r;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (idAt(frame, {x, y}) == id)
                r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

class TestPixelPick : public GlTest
{
    Q_OBJECT
private:
    EditorWindow m_win;
    QTemporaryDir &m_files = m_win.files;
    QList<SceneTile> m_floor;

    GLScroll *open(const QList<SceneTile> &tiles)
    {
        m_win.start();
        m_win.main->resize(1100, 800);
        GLScroll *doc = m_win.open(m_win.write("scene.mlt", tiles));
        if (doc)
            qobject_cast<QMdiSubWindow *>(doc->parentWidget())->showMaximized();
        return doc;
    }

    // Each pick lands on the tile whose colour the frame shows there, or on none.
    static void clickAndCompare(GLWidget *v, const QImage &frame, const QPoint &p)
    {
        QTest::mouseClick(v, Qt::LeftButton, {}, p);
        const auto id = idAt(frame, p);
        QVERIFY2(selectedIds(v) == (id ? QSet<int>{*id} : QSet<int>{}),
                 qPrintable(QStringLiteral("at %1,%2 scale %3").arg(p.x()).arg(p.y()).arg(v->scale())));
    }

private slots:
    void initTestCase()
    {
        TILSEN_NEED_GL();
        QMap<int, QImage> art;
        for (int x = 0; x < 5; ++x)
            for (int y = 0; y < 5; ++y) {
                const SceneTile t{1101 + 5 * x + y, x, y, 0, {44, 44}, qRgb(0x40 + 8 * x, 0x80 + 8 * y, 0x10)};
                m_floor << t;
                art.insert(t.id, diamondArt(t.colour));
                g_ids.insert(t.colour, t.id);
            }
        QImage post = QImage(44, 100, QImage::Format_ARGB32); // a post 8 pixels wide
        post.fill(0);
        QPainter(&post).fillRect(18, 0, 8, 100, QColor(0xFFF80000));
        art.insert(Post, post);
        g_ids.insert(0xFFF80000, Post);
        m_floor << SceneTile{Post, 2, 2, 0, {44, 100}, 0xFFF80000};
        m_win.plant(art);
        // Tile data heights and radar colours for the ids without art.
        QVERIFY(writeFileBytes(m_files.filePath("tiledata.mul"),
                               MulWriter::tileData({}, {{Tall, {0, 5, {}}}})));
        QByteArray radar(0x10000, '\0');
        qToLittleEndian<quint16>(MulWriter::colour(TallColour), radar.data() + 2 * (0x4000 + Tall));
        qToLittleEndian<quint16>(MulWriter::colour(FlatColour), radar.data() + 2 * (0x4000 + Flat));
        QVERIFY(writeFileBytes(m_files.filePath("radarcol.mul"), radar));
        QSettings("Brightmoor", "MulSettings").setValue("RadarCol", m_files.filePath("radarcol.mul"));
    }

    void cleanup() { m_win.stop(); }

    void floorPicksAndSeams_data()
    {
        QTest::addColumn<double>("scale");
        for (double s : {1.0, std::exp2(-0.25), 1.4})
            QTest::newRow(qPrintable(QString::number(s))) << s;
    }

    void floorPicksAndSeams()
    {
        QFETCH(double, scale);
        GLScroll *doc = open(m_floor);
        QVERIFY(doc);
        GLWidget *v = doc->view();
        v->setZoom(scale);
        const QImage frame = v->grabFramebuffer();
        // No background between the floor's leftmost and rightmost pixels of a row.
        QRect floor;
        for (int y = 0; y < frame.height(); ++y) {
            QRect row;
            for (int x = 0; x < frame.width(); ++x)
                row |= idAt(frame, {x, y}) ? QRect(x, y, 1, 1) : QRect();
            for (int x = row.left() + 1; x < row.right(); ++x)
                QVERIFY2(frame.pixel(x, y) != Background, qPrintable(QStringLiteral("seam at %1,%2").arg(x).arg(y)));
            floor |= row;
        }
        QVERIFY(floor.width() > 150 * scale);
        // Clicks over the whole floor, then beside the post, where its image is transparent.
        const int step = int(12 * scale);
        for (int y = floor.top() - 3; y < floor.bottom() + 3; y += step)
            for (int x = floor.left() - 3; x < floor.right() + 3 && !QTest::currentTestFailed(); x += step)
                clickAndCompare(v, frame, {x, y});
        const QRect post = rectOf(frame, Post);
        for (int d : {5, 9, 13})
            for (const QPoint &p : {QPoint(post.left() - d, post.bottom() - 10), QPoint(post.right() + d, post.bottom() - 10)}) {
                QVERIFY(idAt(frame, p) && idAt(frame, p) != Post);
                clickAndCompare(v, frame, p);
            }
        // A band takes the tiles with a drawn pixel inside it.
        const QPoint cell = rectOf(frame, 1107).center(); // the lower half of cell (1, 1)
        for (const QRect &band : {QRect(post.right() + 4, post.bottom() - 14, 8, 6), QRect(cell + QPoint(-6, 4), QSize(12, 8))}) {
            clickAndCompare(v, frame, QPoint(5, 5)); // a press on a selected tile would start a drag
            QTest::mousePress(v, Qt::LeftButton, {}, band.topLeft());
            QTest::mouseMove(v, band.center());
            QTest::mouseMove(v, band.bottomRight());
            QTest::mouseRelease(v, Qt::LeftButton, {}, band.bottomRight());
            QCOMPARE(selectedIds(v), idsShown(frame, band));
        }
    }

    // A box as tall as the tile data says, in its radar colour, on its cell.
    void placeholdersStandInForMissingArt()
    {
        g_ids.insert(TallColour, Tall);
        g_ids.insert(FlatColour, Flat);
        GLScroll *doc = open({{Tall, 0, 0, 0, {}, 0}, {Flat, 2, 0, 0, {}, 0}});
        QVERIFY(doc && doc->gotoLocation(0, 0));
        GLWidget *v = doc->view();
        QImage frame = v->grabFramebuffer();
        const QPoint top(v->width() / 2, v->height() - v->height() / 2); // diamond top of (0, 0)
        const QPoint tallFace = top + QPoint(0, 22 - 4 * 5), flatFace = top + QPoint(44, 44 + 22);
        QCOMPARE(idAt(frame, tallFace), std::optional<int>(Tall));
        QCOMPARE(idAt(frame, flatFace), std::optional<int>(Flat));
        QCOMPARE(frame.pixel(tallFace - QPoint(0, 24)), Background);
        clickAndCompare(v, frame, tallFace);
        clickAndCompare(v, frame, flatFace);
        clickAndCompare(v, frame, QPoint(5, 5)); // nothing selected: no selection hue
        // Fit Multi finds them; the exported picture holds them too.
        v->setZoom(0.2);
        QVERIFY(doc->gotoLocation(90, 90) && !idAt(v->grabFramebuffer(), tallFace));
        m_win.action("Fit Multi")->trigger();
        frame = v->grabFramebuffer();
        QVERIFY(v->scale() > 1.0 && rectOf(frame, Tall).isValid() && rectOf(frame, Flat).isValid());
        const RadarColours radar(m_files.filePath("radarcol.mul"));
        SceneRenderer renderer(v->artReader(), nullptr);
        renderer.setRadarColours(&radar);
        const QImage exported = renderer.render(*doc->model(), {});
        // The boxes' union: the tall one 44 x 64 on (0, 0), the flat one 44 x 44 on (2, 0).
        QCOMPARE(exported.size(), QSize(88, 108));
        QCOMPARE(rectOf(exported, Tall), QRect(0, 0, 44, 44));
        QVERIFY(!idAt(exported, QPoint(0, 0))); // the top face is a diamond, not a square
    }
};

QTEST_MAIN(TestPixelPick)
#include "test_pixelpick.moc"
