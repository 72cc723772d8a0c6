// The scene layer without a window: the isometric geometry, the selection
// and the picture files.
#include "FileSizeLimit.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "scene/ContactSheet.h"
#include "scene/IsoGeometry.h"
#include "scene/MultiPictures.h"
#include "scene/Placeholder.h"
#include "scene/Selection.h"
#include "scene/SelectionWalk.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <map>

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

using Reference = std::map<quint32, QList<TileIdentity>>;

// Every location as "key=x,y:id:z ..." in key order, entries in their order.
QStringList listing(const Reference &ref)
{
    QStringList out;
    for (const auto &[key, list] : ref) {
        QStringList entries;
        for (const TileIdentity &t : list)
            entries << QStringLiteral("%1,%2:%3:%4").arg(t.x).arg(t.y).arg(t.id).arg(t.z);
        out << QString::number(key) + QLatin1Char('=') + entries.join(QLatin1Char(' '));
    }
    return out;
}

// A location the set holds twice shows as an entry with id -1 between its lists.
QStringList listing(const Selection::Set &set)
{
    Reference ref;
    for (auto it = set.cbegin(); it != set.cend(); ++it) {
        QList<TileIdentity> &list = ref[it.key()];
        if (!list.isEmpty())
            list << TileIdentity{Art, -1, 0, 0, 0, 0, 1};
        for (const TileIdentity &t : *it)
            list << t;
    }
    return listing(ref);
}

// What a walk of the selection gives when asked for a few rows at a time.
std::vector<TileIdentity> walked(const Selection &s, QRandomGenerator &random)
{
    std::vector<TileIdentity> rows;
    SelectionWalk walk;
    walk.start(s);
    while (!walk.done())
        walk.extend(s, rows, rows.size() + 1 + random.bounded(40));
    return rows;
}

// The identities of the table in map order: by row, column, then kind, altitude, id.
std::vector<TileIdentity> inMapOrder(const Reference &ref)
{
    std::vector<TileIdentity> all;
    for (const auto &entry : ref)
        all.insert(all.end(), entry.second.cbegin(), entry.second.cend());
    std::sort(all.begin(), all.end(), [](const TileIdentity &a, const TileIdentity &b) {
        return QList<int>{a.y, a.x, a.kind, a.z, a.id} < QList<int>{b.y, b.x, b.kind, b.z, b.id};
    });
    return all;
}
} // namespace

class TestScene : public QObject
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

    void keysKindsAndStaleIdentities()
    {
        TileData data;
        Facet model(data);
        TileRecord a(100, 0, 5, data, Art), b(101, 7, 0, data, Art);
        a.x = b.x = 3;
        a.y = b.y = -4;
        QVERIFY(model.addTile(a.x, a.y, a));
        QVERIFY(model.addTile(b.x, b.y, b));

        Selection s;
        const TileIdentity ground{Terrain, 3, 3, -4, 0, 0, 1};
        s.add(ground, false);
        s.add({Art, 7, -4, 3, 0, 0, 1}, false);
        QVERIFY(!s.add(TileIdentity::of(a), true)); // exclusive within its kind only
        QVERIFY(s.add(TileIdentity::of(a), false)); // already there
        s.add({Art, 101, 3, -4, 0, 8, 1}, false);   // hue differs from the model's tile: stale
        s.add({Art, 100, 50, 50, 0, 0, 1}, false);  // nothing there
        const TileIdentity left{Art, 7, -1, 0, 0, 0, 1}, down{Art, 7, 0, -1, 0, 0, 1};
        s.add(left, false); // negative coordinates share no key with others
        s.add(down, false);
        QVERIFY(s.query(ground));
        QVERIFY(s.query(left));
        QVERIFY(s.query(down));
        QVERIFY(s.count(Art) == 5);
        QCOMPARE(s.selectedTiles(model, Art), QList<TileRecord>{a});
        QVERIFY(s.selectedTiles(model, Terrain).isEmpty());
        // Removal takes the one identity; a kind that is neither is refused.
        QVERIFY(s.remove(TileIdentity::of(a)));
        QVERIFY(!s.remove(TileIdentity::of(a)));
        QVERIFY(s.remove(left));
        QVERIFY(s.query(down));
        QVERIFY(s.count(Art) == 3);
        const TileIdentity odd{2, 5, 0, 0, 0, 0, 1};
        QVERIFY(!s.add(odd, false));
        QVERIFY(!s.query(odd));
        QVERIFY(!s.remove(odd));
        s.clear(2);
        QVERIFY(s.isEmpty(Art));
        QVERIFY(s.count(Terrain) == 1);
    }

    void manyEditsMatchAPlainTable_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("seed");
        // The editing area's square is -200..199 both ways.
        QTest::newRow("inside, crowded") << QRect(-3, -3, 6, 6) << 1;
        QTest::newRow("inside, spread") << QRect(-200, -200, 400, 400) << 2;
        QTest::newRow("across the edges") << QRect(-203, 196, 8, 8) << 3;
        QTest::newRow("far outside") << QRect(1000, -32000, 5, 5) << 4;
        QTest::newRow("negative wrap of the key") << QRect(-32768, 32765, 4, 4) << 5;
    }

    // Adds, removals and clears at random, checked after each against a plain
    // table kept by the test: every location once, with its identities in order.
    void manyEditsMatchAPlainTable()
    {
        QFETCH(QRect, area);
        QFETCH(int, seed);
        QRandomGenerator random{quint32(seed)};
        Selection s;
        Reference ref;
        constexpr int Steps = 3000;
        constexpr int ClearEvery = 997;
        for (int step = 1; step <= Steps; ++step) {
            const TileIdentity t{Art, 100 + int(random.bounded(3)), area.x() + int(random.bounded(area.width())),
                                 area.y() + int(random.bounded(area.height())), int(random.bounded(2)), 0, 1};
            QList<TileIdentity> &list = ref[locationKey(t.x, t.y)];
            const bool had = list.contains(t);
            if (step % ClearEvery == 0) {
                s.clear(Selection::ClearArt);
                ref.clear();
            } else if (random.bounded(3) == 0) {
                QCOMPARE(s.remove(t), had);
                list.removeOne(t);
            } else {
                QCOMPARE(s.add(t, false), had);
                if (!had)
                    list << t;
            }
            for (auto it = ref.begin(); it != ref.end();)
                it = it->second.isEmpty() ? ref.erase(it) : std::next(it);
            QCOMPARE(s.query(t), ref.count(locationKey(t.x, t.y)) > 0
                                     && ref[locationKey(t.x, t.y)].contains(t));
            if (step % 50 == 0 || step % ClearEvery < 2) {
                QCOMPARE(listing(s.set(Art)), listing(ref));
                QVERIFY(walked(s, random) == inMapOrder(ref));
                QCOMPARE(s.set(Art).size(), qsizetype(ref.size()));
                QCOMPARE(s.isEmpty(Art), ref.empty());
            }
        }
        QCOMPARE(listing(s.set(Art)), listing(ref));
        QVERIFY(s.isEmpty(Terrain));
        // Ground comes before art on its cell; a selection changed under a walk ends it.
        const TileIdentity ground{Terrain, 3, area.x(), area.y(), 9, 0, 1};
        s.add(ground, false);
        ref[locationKey(ground.x, ground.y)].prepend(ground);
        QVERIFY(walked(s, random) == inMapOrder(ref));
        SelectionWalk walk;
        walk.start(s);
        std::vector<TileIdentity> rows;
        s.remove(ground);
        walk.extend(s, rows, 1);
        QVERIFY(walk.done() && rows.empty());
    }

    void selectedKeysNameTheIdentities()
    {
        Selection s;
        s.add({Art, 7, 3, -4, -5, 2, 0}, false);
        s.add({Art, 70000, 1, 1, 0, 0, 1}, false); // no record holds such an id
        s.add({Terrain, 3, 0, 0, 0, 0, 1}, false);
        const QList<TileRecord> keys = s.selectedKeys(Art);
        QCOMPARE(keys.size(), 1);
        QCOMPARE(keys.first().key(), QStringLiteral("7:3:-4:-5:2:0:1"));
        QCOMPARE(keys.first().sortZ, -5);
        QVERIFY(s.selectedKeys(5).isEmpty());
    }

    void numbersAreDrawnDigitByDigit()
    {
        QImage image(15, 5, QImage::Format_ARGB32);
        image.fill(0);
        ContactSheet::drawNumber(image, -17, QPoint(0, 0), 1, 0xFF000000u);
        // Minus, one, seven: three columns each and one apart.
        const char *expected[] = {".....#..###....",
                                  "....##....#....",
                                  "###..#....#....",
                                  ".....#....#....",
                                  "....###...#...."};
        for (int y = 0; y < 5; ++y) {
            QString row;
            for (int x = 0; x < 15; ++x)
                row += qAlpha(image.pixel(x, y)) ? '#' : '.';
            QCOMPARE(row, QString(expected[y]));
        }
    }

    void storeyNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("named");
        QTest::newRow("png") << "/tmp/house.png" << "/tmp/house-storey2.png";
        QTest::newRow("two dots") << "a.b/tower.v1.jpg" << "a.b/tower.v1-storey2.jpg";
        QTest::newRow("no suffix") << "shot" << "shot-storey2";
    }

    void storeyNames()
    {
        QFETCH(QString, path);
        QTEST(MultiPictures::storeyPath(path, 2), "named");
    }

    void savesByNameAndReportsFailures()
    {
        QTemporaryDir dir;
        QImage image(300, 300, QImage::Format_ARGB32);
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x)
                image.setPixel(x, y, qRgba(x % 256, y % 256, (x * y) % 256, 255));
        QString error;
        // An unknown suffix is written as PNG; a known one in its own format.
        QVERIFY(MultiPictures::save(image, dir.filePath("a.weird"), &error));
        QFile a(dir.filePath("a.weird"));
        QVERIFY(a.open(QIODevice::ReadOnly));
        QCOMPARE(a.read(4), QByteArray("\x89PNG"));
        QVERIFY(MultiPictures::save(image, dir.filePath("b.bmp"), &error));
        QCOMPARE(QImage(dir.filePath("b.bmp")).convertToFormat(QImage::Format_ARGB32), image);

        // The file size limit makes the write fail for real; the old file stays.
        {
            const FileSizeLimit limit(4096);
            QVERIFY(!MultiPictures::save(image, dir.filePath("b.bmp"), &error));
        }
        QVERIFY2(error.contains("b.bmp: cannot be written ("), qPrintable(error));
        QCOMPARE(QImage(dir.filePath("b.bmp")).convertToFormat(QImage::Format_ARGB32), image);
    }

    // A box for missing art: its top in the given colour, the left side 3/4 of it, the right 1/2.
    void placeholderShadesItsSides()
    {
        const Placeholder::Pixels p = Placeholder::pixels(5, quint16(0x7FFF)); // white, 5 steps tall
        QCOMPARE(p.height, 44 + 5 * 4);
        const auto at = [&](int x, int y) { return p.colours[y * p.width + x] & 0x7FFF; };
        QCOMPARE(at(22, 10), 0x7FFF);
        QCOMPARE(at(5, 30), (23 << 10) | (23 << 5) | 23);
        QCOMPARE(at(38, 30), (15 << 10) | (15 << 5) | 15);
        QCOMPARE(at(0, 0), 0); // outside the diamond
    }

    void emptyMultiGivesEmptyPictures()
    {
        TileData data;
        Facet model(data);
        TileRecord noArt(5, 0, 0, data, Art);
        model.addTile(0, 0, noArt);
        SceneRenderer renderer(nullptr, nullptr);
        QVERIFY(renderer.bounds(model, {}).isEmpty());
        QVERIFY(renderer.thumbnail(model, QSize(100, 100)).isNull());
        const QImage image = renderer.render(model, {});
        QCOMPARE(image.size(), QSize(1, 1));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        MultiPictures::Settings storeys;
        storeys.storeyHeight = 5;
        QCOMPARE(MultiPictures::make(renderer, model, storeys).size(), 1);
        const QImage sheet = ContactSheet::make({});
        QVERIFY(!sheet.isNull());
    }
};

QTEST_GUILESS_MAIN(TestScene)
#include "test_scene.moc"
