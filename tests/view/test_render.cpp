#include "ScriptedDialogs.h"
#include "TestArt.h"
#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "view/GLWidget.h"
#include "view/GridColours.h"
#include "view/TexMgr.h"
#include "view/TileEditor.h"

#include <QApplication>
#include <QHelpEvent>
#include <QImageWriter>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

#include <memory>
#include <set>

namespace {
constexpr int W = 440;
constexpr int H = 330;
const QRgb Grey = qRgb(192, 192, 192);
const QRgb RedPx = qRgb(248, 0, 0);
const QRgb GreenPx = qRgb(0, 248, 0);
const QRgb BluePx = qRgb(0, 0, 248);
const QRgb WhitePx = qRgb(248, 248, 248);

// Widget point of a scene point, at scale 1.
QPoint widgetAt(int sx, int sy) { return {W / 2 + sx, H / 2 - sy}; }

bool near(int a, int b) { return qAbs(a - b) <= 3; }
} // namespace

class TestRender : public QObject
{
    Q_OBJECT
public:
    static void initMain()
    {
        GLWidget::prepareApplication();
    }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void placesTheImageOnTheDiamond();
    void frontTileCoversBackTile();
    void hidingRules_data();
    void hidingRules();
    void selectedTileDrawsInSelectionHue();
    void gridCoversTheWidgetAtEveryScale();
    void paintPreviewIsTranslucentAndNotPickable();
    void repaintUploadsNothingAndCleanupRecreates();
    void cleanupWithoutViewThenNewView();
    void pickingAnswersFromTheLastPaint();
    void tooltipShowsStatusText();
    void selectAllTakesEveryTile();
    void queryReportsInOrder();
    void walkRecomputeAnnouncesCentre();
    void captureNamesTheFile_data();
    void captureNamesTheFile();

private:
    void add(int kind, int id, int x, int y, int z, int visible = 1);
    QRgb pixel(int sx, int sy);
    std::set<std::pair<int, int>> drawn(int kind) const;

    TileData m_data;
    ArtReader m_art;
    HueTable m_hues;
    std::unique_ptr<TexMgr> m_tex;
    std::unique_ptr<Facet> m_model;
    std::unique_ptr<GLWidget> m_view;
    QImage m_frame;
};

void TestRender::initTestCase()
{
    if (QGuiApplication::platformName() == QLatin1String("offscreen")
        || !QOpenGLContext::globalShareContext())
        QSKIP("needs an X display with GL (xvfb-run)");
    QMap<int, QByteArray> art;
    art.insert(100, TestArt::solid(44, 80, TestArt::Red));
    art.insert(101, TestArt::solid(44, 80, TestArt::Green));
    art.insert(1, TestArt::solid(44, 80, TestArt::Red));
    art.insert(2, TestArt::solid(44, 44, TestArt::White));
    art.insert(3, TestArt::solid(44, 44, TestArt::White));
    QByteArray idx, mul;
    TestArt::build(art, idx, mul);
    m_art.loadFromBytes(idx, mul);
    m_hues.loadFromBytes(TestArt::hues(TestArt::Blue));
}

void TestRender::init()
{
    m_tex = std::make_unique<TexMgr>(&m_art, &m_hues);
    m_model = std::make_unique<Facet>(m_data);
    m_view = std::make_unique<GLWidget>(&m_art, m_data, m_model.get(), m_tex.get());
    m_view->resize(W, H);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
}

void TestRender::cleanup()
{
    m_view.reset();
    m_model.reset();
    m_tex.reset();
}

void TestRender::add(int kind, int id, int x, int y, int z, int visible)
{
    TileRecord t(quint16(id), 0, qint16(z), m_data, kind);
    t.x = x;
    t.y = y;
    t.visible = qint16(visible);
    QVERIFY(m_model->addTile(x, y, t));
}

// Paints and reads the pixel under a scene point (scale 1).
QRgb TestRender::pixel(int sx, int sy)
{
    m_frame = m_view->grabFramebuffer();
    const QPoint p = widgetAt(sx, sy);
    return m_frame.pixel(p) | 0xFF000000u;
}

std::set<std::pair<int, int>> TestRender::drawn(int kind) const
{
    std::set<std::pair<int, int>> out;
    for (const DrawnQuad &q : m_view->drawnQuads(kind))
        out.insert({q.x, q.y});
    return out;
}

void TestRender::placesTheImageOnTheDiamond()
{
    add(Art, 100, 0, 0, 0);
    QCOMPARE(pixel(0, 0), RedPx);
    QCOMPARE(m_frame.pixel(widgetAt(-21, 35)) | 0xFF000000u, RedPx);   // image top-left
    QCOMPARE(m_frame.pixel(widgetAt(20, -43)) | 0xFF000000u, RedPx);   // rests on the bottom corner
    QCOMPARE(m_frame.pixel(widgetAt(0, -46)) | 0xFF000000u, Grey);     // below the image
    QCOMPARE(m_frame.pixel(widgetAt(30, 0)) | 0xFF000000u, Grey);      // transparent texture padding
    const auto &quads = m_view->drawnQuads(Art);
    QCOMPARE(quads.size(), 1);
    QCOMPARE(quads[0].corners[2], QPoint(42, -92));
    QCOMPARE(quads[0].serial, 0);
    QVERIFY(m_view->drawnQuads(Terrain).isEmpty());

    // Five steps up lift it 20 units.
    m_model->removeTile(0, 0, m_model->tilesAt(0, 0).begin().operator*());
    add(Art, 100, 0, 0, 5);
    QCOMPARE(pixel(0, -25), Grey);
    QCOMPARE(pixel(0, -23), RedPx);
    QCOMPARE(m_view->drawnQuads(Art)[0].z, 5);
}

void TestRender::frontTileCoversBackTile()
{
    add(Art, 101, 1, 1, 0); // in front, added first
    add(Art, 100, 0, 0, 0);
    add(Terrain, 3, 0, 0, 0);
    QCOMPARE(pixel(0, -20), GreenPx);
    QCOMPARE(pixel(0, 10), RedPx);
    const auto &art = m_view->drawnQuads(Art);
    QCOMPARE(art.size(), 2);
    QCOMPARE(art[0].id, 100);
    QCOMPARE(art[1].id, 101);
    // One serial counter for both lists, in drawing order.
    QCOMPARE(m_view->drawnQuads(Terrain).size(), 1);
    QVERIFY(m_view->drawnQuads(Terrain)[0].serial < art[0].serial);
    QCOMPARE(art[1].serial, 2);
}

void TestRender::hidingRules_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QList<int>>("artShown");     // k of the art tiles at (k, -k)
    QTest::addColumn<QList<int>>("terrainShown");
    QTest::newRow("defaults") << "" << QList<int>{0, 1, 2, 3, 5} << QList<int>{6};
    QTest::newRow("clip 0..10") << "clip" << QList<int>{0, 3, 5} << QList<int>{6};
    QTest::newRow("terrain off") << "noterrain" << QList<int>{0, 1, 2, 3, 4, 5} << QList<int>{};
    QTest::newRow("flat, terrain off") << "flat" << QList<int>{} << QList<int>{6, 7};
    QTest::newRow("invisible hidden") << "noinvisible" << QList<int>{0, 1, 2, 3} << QList<int>{6};
}

// Art 100 at altitudes 0, 11, -1, 10; the no-draw art id 1; an invisible
// tile; terrain 3 and the no-draw terrain id 2.
void TestRender::hidingRules()
{
    QFETCH(QString, setting);
    QFETCH(QList<int>, artShown);
    QFETCH(QList<int>, terrainShown);
    add(Art, 100, 0, 0, 0);
    add(Art, 100, 1, -1, 11);
    add(Art, 100, 2, -2, -1);
    add(Art, 100, 3, -3, 10);
    add(Art, 1, 4, -4, 0);
    add(Art, 100, 5, -5, 0, 0);
    add(Terrain, 3, 6, -6, 0);
    add(Terrain, 2, 7, -7, 0);
    if (setting == "clip") {
        m_view->setMinAlt(0);
        m_view->setMaxAlt(10);
        m_view->setAltCheck(true);
    } else if (setting == "noterrain") {
        m_view->setTerrain(false);
    } else if (setting == "flat") {
        m_view->setTerrain(false);
        m_view->setFlat(true);
    } else if (setting == "noinvisible") {
        m_view->viewInvisible(false);
    }
    m_view->grabFramebuffer();
    std::set<std::pair<int, int>> art, terrain;
    for (int k : artShown)
        art.insert({k, -k});
    for (int k : terrainShown)
        terrain.insert({k, -k});
    QCOMPARE(drawn(Art), art);
    QCOMPARE(drawn(Terrain), terrain);
    // What is not recorded is not painted either.
    QCOMPARE(pixel(0, 0), setting == "flat" ? Grey : RedPx);
}

void TestRender::selectedTileDrawsInSelectionHue()
{
    add(Art, 100, 0, 0, 0);
    add(Art, 100, 1, -1, 0);
    m_view->selection().add(TileIdentity::of(*m_model->tilesAt(0, 0).begin()), false);
    QCOMPARE(pixel(0, 0), BluePx);
    QCOMPARE(pixel(44, 0), RedPx);
    QCOMPARE(m_view->drawnQuads(Art)[0].hue, 0); // picking sees the tile's own hue

    // With terrain edited, a selected art tile keeps its own colours.
    m_view->setEditTerrain(true);
    m_view->setEditArt(false);
    QVERIFY(m_view->selection().isEmpty(Art));
    m_view->selection().add(TileIdentity::of(*m_model->tilesAt(0, 0).begin()), false);
    QCOMPARE(pixel(0, 0), RedPx);
}

void TestRender::gridCoversTheWidgetAtEveryScale()
{
    const QRgb savedFill = GridColours::gridFill;
    GridColours::gridFill = 0xFF0000F8;
    m_view->setGrid(true);
    QCOMPARE(pixel(-200, 150), BluePx);
    // Grid lines in black through the diamond edges, over the fill.
    bool line = false;
    for (int dx = -1; dx <= 1; ++dx)
        for (int dy = -1; dy <= 1; ++dy)
            line = line || (m_frame.pixel(widgetAt(11 + dx, -11 + dy)) | 0xFF000000u) == qRgb(0, 0, 0);
    QVERIFY(line);
    m_view->setScale(4);
    QCOMPARE(pixel(-200, 150), BluePx); // the widget's corner, not only its middle
    m_view->setGrid(false);
    QCOMPARE(pixel(-200, 150), Grey);
    GridColours::gridFill = savedFill;
}

void TestRender::paintPreviewIsTranslucentAndNotPickable()
{
    add(Terrain, 3, 0, 0, 0); // white ground under the preview
    m_view->startPaint(QStringLiteral("100:0:0:0:0:1:1"));
    QVERIFY(m_view->editor()->painting());
    QCOMPARE(m_view->editor()->cursorLocation(), QPoint(0, 0));
    // White ground, red preview at alpha 200, then the placing grid's fill.
    const QRgb fill = 0x80C0C0C0;
    auto blend = [](int src, int dst, int a) { return (src * a + dst * (255 - a)) / 255; };
    const int r = blend(qRed(fill), blend(248, 248, 200), qAlpha(fill));
    const int g = blend(qGreen(fill), blend(0, 248, 200), qAlpha(fill));
    const QRgb p = pixel(5, -15); // off the origin mark's lines
    QVERIFY2(near(qRed(p), r) && near(qGreen(p), g),
             qPrintable(QStringLiteral("%1 %2 vs %3 %4").arg(qRed(p)).arg(qGreen(p)).arg(r).arg(g)));
    QCOMPARE(m_view->drawnQuads(Art).size(), 0);
    QCOMPARE(m_view->drawnQuads(Terrain).size(), 1);

    // The placing altitude raises the preview, four units a step.
    m_view->setPlacingAlt(10);
    QCOMPARE(m_view->placingAltitude(), 10);
    m_view->stopPaint();
    QCOMPARE(pixel(5, -15), WhitePx);
}

void TestRender::repaintUploadsNothingAndCleanupRecreates()
{
    add(Art, 100, 0, 0, 0);
    add(Art, 101, 1, 1, 0);
    add(Terrain, 3, 2, 2, 0);
    m_view->grabFramebuffer();
    QCOMPARE(m_tex->uploads(), 3);
    m_view->grabFramebuffer();
    m_view->setScale(2);
    m_view->grabFramebuffer();
    QCOMPARE(m_tex->uploads(), 3);
    m_tex->cleanup();
    QCOMPARE(pixel(0, 10), RedPx);
    QCOMPARE(m_tex->uploads(), 6);
    QCOMPARE(m_tex->decodes(), 3);
}

void TestRender::cleanupWithoutViewThenNewView()
{
    add(Art, 100, 0, 0, 0);
    QCOMPARE(pixel(0, 0), RedPx);
    m_view.reset();
    m_tex->cleanup();
    QCOMPARE(m_tex->textureCount(false), 0);
    m_view = std::make_unique<GLWidget>(&m_art, m_data, m_model.get(), m_tex.get());
    m_view->resize(W, H);
    m_view->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
    QCOMPARE(pixel(0, 0), RedPx);
}

void TestRender::pickingAnswersFromTheLastPaint()
{
    add(Art, 100, 0, 0, 0);
    add(Art, 101, 1, 1, 0);
    add(Terrain, 3, 0, 0, 0);
    m_view->grabFramebuffer();
    QCOMPARE(m_view->tileAt(widgetAt(0, -20), 1).id, 101);
    QCOMPARE(m_view->tileAt(widgetAt(0, 10), 1).id, 100);
    // Transparent padding of the front texture still picks the front tile.
    QCOMPARE(m_view->tileAt(widgetAt(32, -30), 1).id, 101);
    QCOMPARE(m_view->tileAt(widgetAt(0, -20), 0).kind, int(Terrain));
    QCOMPARE(m_view->tileAt(widgetAt(0, 10), 3).id, 100);
    const DrawnQuad none = m_view->tileAt(widgetAt(150, 100), 3);
    QVERIFY(none.kind == -1 && none.x == -1 && none.y == -1);

    const QPointF tl = m_view->unproject(widgetAt(-30, 40));
    const QPointF br = m_view->unproject(widgetAt(30, -50));
    QCOMPARE(tl, QPointF(-30, 40));
    const QList<DrawnQuad> band = m_view->tilesIn(int(tl.x()), int(tl.y()), int(br.x()),
                                                  int(br.y()), 3);
    QCOMPARE(band.size(), 3);
    QVERIFY(band[0].serial < band[1].serial && band[1].serial < band[2].serial);
    QCOMPARE(band[2].id, 101);

    QCOMPARE(m_view->mapLocation(widgetAt(0, -22)), QPoint(0, 0));
    QCOMPARE(m_view->mapLocation(widgetAt(44, -22)), QPoint(1, -1));
    // Cells outside the model still answer; outside the walk, the no-location value.
    m_view->gotoPoint(QPoint(199, 0));
    QCOMPARE(m_view->mapLocation(widgetAt(44, -22)), QPoint(200, -1));
    m_view->gotoPoint(QPoint(0, 0));
    QCOMPARE(m_view->mapLocation(QPoint(-5000, -5000)), QPoint(-201, -201));

    // Picks see the last paint, not the model.
    m_model->removeTile(1, 1, *m_model->tilesAt(1, 1).begin());
    QCOMPARE(m_view->tileAt(widgetAt(0, -20), 1).id, 101);
    m_view->grabFramebuffer();
    QCOMPARE(m_view->tileAt(widgetAt(0, -20), 1).id, 100);
}

void TestRender::tooltipShowsStatusText()
{
    DrawnQuad q;
    q.kind = Art;
    q.id = 1234;
    q.x = 3;
    q.y = -2;
    q.z = 5;
    q.visible = 1;
    QCOMPARE(GLWidget::statusText(q), QStringLiteral("Art: 1234 Loc: 3,-2,5 Hue: 0 Visible"));
    DrawnQuad odd = q;
    odd.kind = 7;
    odd.visible = 0;
    QCOMPARE(GLWidget::statusText(odd), QStringLiteral("1234 Loc: 3,-2,5 Hue: 0 Invisible"));

    add(Art, 100, 0, 0, 0);
    m_view->grabFramebuffer();
    const QPoint at = widgetAt(0, 0);
    QHelpEvent help(QEvent::ToolTip, at, m_view->mapToGlobal(at));
    QVERIFY(QApplication::sendEvent(m_view.get(), &help));
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("Art: 100 Loc: 0,0,0 Hue: 0 Visible"));
    QToolTip::hideText();
    QHelpEvent empty(QEvent::ToolTip, QPoint(2, 2), m_view->mapToGlobal(QPoint(2, 2)));
    QVERIFY(QApplication::sendEvent(m_view.get(), &empty)); // handled even without a tile
}

void TestRender::selectAllTakesEveryTile()
{
    m_view->selectAll();
    QVERIFY(m_view->selection().isEmpty(Art) && m_view->selection().isEmpty(Terrain));
    add(Art, 100, 0, 0, 0);
    add(Art, 101, 0, 0, 3);
    add(Art, 100, 5, 5, 0);
    add(Terrain, 3, 0, 0, 0);
    m_view->selectAll();
    QCOMPARE(m_view->selection().count(Art), 3);
    QCOMPARE(m_view->selection().count(Terrain), 1);
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(pixel(0, 0), BluePx);
}

void TestRender::queryReportsInOrder()
{
    QStringList order;
    QList<QVariant> values;
    auto log = [&](const char *name) {
        return [&order, &values, name](auto v) {
            order << QLatin1String(name);
            values << QVariant::fromValue(v);
        };
    };
    GLWidget *v = m_view.get();
    connect(v, &GLWidget::flatMode, this, log("flat"));
    connect(v, &GLWidget::artMode, this, log("art"));
    connect(v, &GLWidget::terrainMode, this, log("terrain"));
    connect(v, &GLWidget::editArt, this, log("editArt"));
    connect(v, &GLWidget::editTerrain, this, log("editTerrain"));
    connect(v, &GLWidget::myScale, this, log("scale"));
    connect(v, &GLWidget::lowerAlt, this, log("lower"));
    connect(v, &GLWidget::higherAlt, this, log("higher"));
    connect(v, &GLWidget::clipEnable, this, log("clip"));
    connect(v, &GLWidget::myGrid, this, log("grid"));
    connect(v, &GLWidget::sigUndo, this, log("undo"));
    connect(v, &GLWidget::sigRedo, this, log("redo"));
    connect(v, &GLWidget::myInvisible, this, log("invisible"));
    connect(v, &GLWidget::myPlace, this, log("place"));
    m_view->setScale(3);
    m_view->setMinAlt(-5);
    m_view->setGrid(true);
    m_model->setPlacingAltitude(7);
    m_view->query();
    QCOMPARE(order, QStringList({"flat", "art", "terrain", "editArt", "editTerrain", "scale",
                                 "lower", "higher", "clip", "grid", "undo", "redo", "invisible",
                                 "place"}));
    QCOMPARE(values[5].toInt(), 4);
    QCOMPARE(values[6].toInt(), -5);
    QCOMPARE(values[7].toInt(), 127);
    QCOMPARE(values[9].toBool(), true);
    QCOMPARE(values[10].toBool(), false);
    QCOMPARE(values[13].toInt(), 7);
    order.clear();
    values.clear();
    m_view->setScale(2);
    m_view->query();
    QCOMPARE(values[5].toInt(), 2);
}

void TestRender::walkRecomputeAnnouncesCentre()
{
    QList<QPoint> seen;
    connect(m_view.get(), qOverload<int, int>(&GLWidget::mapLocation), this,
            [&seen](int x, int y) { seen << QPoint(x, y); });
    m_view->scrollHoriz(12);
    m_view->scrollVert(-3);
    m_view->gotoPoint(QPoint(4, 5));
    m_view->setScale(4);
    QCOMPARE(seen, QList<QPoint>({{12, 0}, {12, -3}, {4, 5}, {4, 5}}));
    m_view->setGrid(true); // display flags do not touch the walk
    QCOMPARE(seen.size(), 4);
    m_view->resize(W + 44, H);
    QTRY_COMPARE(seen.size(), 5);
    QCOMPARE(m_view->columns(), 42);
}

void TestRender::captureNamesTheFile_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "shot" << "shot.png";
    QTest::newRow("extension") << "shot.png" << "shot.png";
    QTest::newRow("case matters") << "shot.PNG" << "shot.PNG.png";
    QTest::newRow("ends in the letters") << "mypng" << "mypng";
}

void TestRender::captureNamesTheFile()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    add(Art, 100, 0, 0, 0);
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    dialogs.answer(dir.filePath(typed), QStringLiteral("png(*.png)"));
    m_view->capture();
    QCOMPARE(dialogs.count("save"), 1);
    const auto *call = dialogs.last("save");
    QCOMPARE(call->title, QStringLiteral("Image file to save to"));
    QString filter;
    for (const QByteArray &f : QImageWriter::supportedImageFormats())
        filter += QString::fromLatin1(f) + "(*." + QString::fromLatin1(f) + ");;";
    filter.chop(2);
    QCOMPARE(call->filter, filter);
    QVERIFY(!filter.endsWith(";;") && filter.contains("png(*.png)"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({written}));
    QImage shot(dir.filePath(written), "png");
    QCOMPARE(shot.size(), QSize(W, H));
    QCOMPARE(shot.pixel(widgetAt(0, 0)) | 0xFF000000u, RedPx);

    // Cancelled: nothing written.
    QTemporaryDir other;
    dialogs.cancel();
    m_view->capture();
    QVERIFY(QDir(other.path()).entryList(QDir::Files).isEmpty());
}

QTEST_MAIN(TestRender)
#include "test_render.moc"
