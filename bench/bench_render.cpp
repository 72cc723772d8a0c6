// Repaint of a multi of 1,000, 5,000 and 20,000 tiles (batched, per tile, a
// brush preview and a band drag over the kept layer) against a bare bind-and-draw loop of the
// same quads, and picking over the recorded quads. Run under xvfb-run.
#include "TestArt.h"
#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "view/GLWidget.h"
#include "view/TexMgr.h"

#include <QApplication>
#include <QOpenGLContext>
#include <QSurfaceFormat>
#include <QTest>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <QMouseEvent>

#include <map>
#include <memory>
#include <vector>

namespace {
constexpr int ArtIds = 40;
constexpr int TileCounts[] = {1000, 5000, 20000};
constexpr int BandTiles = 20000;

class BenchView : public GLWidget
{
public:
    using GLWidget::GLWidget;
    void paintNow()
    {
        makeCurrent();
        paintGL();
        glFinish();
        doneCurrent();
    }
    void mouse(QEvent::Type type, const QPoint &at, Qt::MouseButtons buttons)
    {
        QMouseEvent e(type, QPointF(at), mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
        if (type == QEvent::MouseButtonPress)
            mousePressEvent(&e);
        else if (type == QEvent::MouseMove)
            mouseMoveEvent(&e);
        else
            mouseReleaseEvent(&e);
    }
};

// Everything the benchmarks share, built once.
class Scene
{
public:
    // hollow: each image opaque only in its two middle columns, like a post.
    explicit Scene(int tileCount, bool hollow = false)
    {
        QMap<int, QImage> art;
        for (int i = 0; i < ArtIds; ++i) {
            QImage image = TestArt::solid(44, 60 + i, qRgb(255, (i * 4) % 256, 0));
            for (int y = 0; hollow && y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (x != 21 && x != 22)
                        image.setPixel(x, y, 0);
            art.insert(1000 + i, image);
        }
        const MulWriter::IndexedFile files = MulWriter::artFiles({}, art);
        reader.loadFromBytes(files.index, files.data);
        hues.loadFromBytes(TestArt::hues(qRgb(0, 0, 255)));
        tex = std::make_unique<TexMgr>(&reader, &hues);
        model = std::make_unique<Facet>(data);
        // Up to 2,000 locations of 10 tiles, all inside the walk at 1280 x 800, scale 0.5.
        int n = 0;
        for (int x = -20; x < 20 && n < tileCount; ++x) {
            for (int y = -25; y < 25 && n < tileCount; ++y) {
                for (int k = 0; k < 10; ++k, ++n) {
                    TileRecord t(quint16(1000 + (n % ArtIds)), 0, qint16(k * 5), data, Art);
                    t.x = x;
                    t.y = y;
                    model->addTile(x, y, t);
                }
            }
        }
        view = std::make_unique<BenchView>(&reader, data, model.get(), tex.get());
        view->resize(1280, 800);
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get()))
            qFatal("The view never showed: run under xvfb-run");
        view->setScale(4);
        view->paintNow();
    }

    TileData data;
    ArtReader reader;
    HueTable hues;
    std::unique_ptr<TexMgr> tex;
    std::unique_ptr<Facet> model;
    std::unique_ptr<BenchView> view;
};

std::map<int, std::unique_ptr<Scene>> *scenes = nullptr;

void tileCounts(benchmark::internal::Benchmark *b)
{
    for (int n : TileCounts)
        b->Arg(n);
}

Scene &sceneOf(int tileCount)
{
    std::unique_ptr<Scene> &s = (*scenes)[tileCount];
    if (!s)
        s = std::make_unique<Scene>(tileCount);
    return *s;
}

// The editor's repaint of a changed scene: every tile drawn again.
void repaint(benchmark::State &state, bool batched)
{
    Scene &s = sceneOf(int(state.range(0)));
    s.view->setBatched(batched);
    s.view->paintNow();
    const int before = s.tex->uploads();
    for (auto _ : state) {
        s.view->sceneChanged();
        s.view->paintNow();
    }
    state.counters["quads"] = double(s.view->drawnQuads(Art).size());
    state.counters["uploads"] = double(s.tex->uploads() - before);
    state.counters["calls"] = double(s.view->layerDrawCalls());
    s.view->setBatched(true);
}

void BM_Repaint(benchmark::State &state) { repaint(state, true); }
BENCHMARK(BM_Repaint)->Unit(benchmark::kMillisecond)->Apply(tileCounts);

// A brush moving over the scene: each move redraws only the pixels its preview
// touches on the kept layer, not every tile.
void BM_PreviewRepaint(benchmark::State &state)
{
    Scene &s = sceneOf(BandTiles);
    BenchView *v = s.view.get();
    v->startPaint(QStringLiteral("1005:0:0:0:0:1:1"));
    v->sceneChanged();
    v->paintNow();
    const int layers = v->layerPaints();
    const int patches = v->previewPatches();
    int step = 0;
    for (auto _ : state) {
        v->mouse(QEvent::MouseMove, QPoint(100 + step % 500, 100 + step % 300), Qt::NoButton);
        ++step;
        v->paintNow();
    }
    state.counters["layers"] = double(v->layerPaints() - layers);
    state.counters["patches"] = double(v->previewPatches() - patches);
    v->stopPaint();
}
BENCHMARK(BM_PreviewRepaint)->Unit(benchmark::kMillisecond);

// The per-tile reference drawing.
void BM_RepaintPerTile(benchmark::State &state) { repaint(state, false); }
BENCHMARK(BM_RepaintPerTile)->Unit(benchmark::kMillisecond)->Apply(tileCounts);

// A band dragged over the scene: each move repaints only the band on the kept layer.
void BM_BandRepaint(benchmark::State &state)
{
    Scene &s = sceneOf(BandTiles);
    BenchView *v = s.view.get();
    v->sceneChanged();
    v->paintNow();
    const int layers = v->layerPaints();
    v->mouse(QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        v->mouse(QEvent::MouseMove, QPoint(100 + step % 500, 100 + step % 300), Qt::LeftButton);
        ++step;
        v->paintNow();
    }
    v->mouse(QEvent::MouseButtonRelease, QPoint(3, 3), Qt::NoButton);
    state.counters["layers"] = double(v->layerPaints() - layers);
}
BENCHMARK(BM_BandRepaint)->Unit(benchmark::kMillisecond);

// The floor: bind each recorded quad's texture and draw it, nothing else.
void BM_BareLoop(benchmark::State &state)
{
    Scene &s = sceneOf(int(state.range(0)));
    Scene *scene = &s;
    GLWidget *v = scene->view.get();
    struct Item {
        GLuint texture;
        QPoint c[4];
    };
    std::vector<Item> items;
    v->makeCurrent(); // binds the view's framebuffer
    for (const DrawnQuad &q : v->drawnQuads(Art)) {
        const TexInfo t = scene->tex->texture(quint16(q.id), quint16(q.hue), 0, false);
        items.push_back({t.texture, {q.corners[0], q.corners[1], q.corners[2], q.corners[3]}});
    }
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glScaled(0.5, 0.5, 0.5);
        for (const Item &it : items) {
            glBindTexture(GL_TEXTURE_2D, it.texture);
            glBegin(GL_QUADS);
            glTexCoord2i(0, 0);
            glVertex2i(it.c[0].x(), it.c[0].y());
            glTexCoord2i(1, 0);
            glVertex2i(it.c[1].x(), it.c[1].y());
            glTexCoord2i(1, 1);
            glVertex2i(it.c[2].x(), it.c[2].y());
            glTexCoord2i(0, 1);
            glVertex2i(it.c[3].x(), it.c[3].y());
            glEnd();
        }
        glFinish();
    }
    v->doneCurrent();
    state.counters["quads"] = double(items.size());
}
BENCHMARK(BM_BareLoop)->Unit(benchmark::kMillisecond)->Apply(tileCounts);

void BM_TileAtMiss(benchmark::State &state)
{
    // A corner of the widget where no tile lies: every quad is tested.
    Scene *scene = &sceneOf(BandTiles);
    for (auto _ : state)
        benchmark::DoNotOptimize(scene->view->tileAt(QPoint(2, 2), 3));
}
BENCHMARK(BM_TileAtMiss)->Unit(benchmark::kMicrosecond);

void BM_TileAtHit(benchmark::State &state)
{
    Scene *scene = &sceneOf(BandTiles);
    for (auto _ : state)
        benchmark::DoNotOptimize(scene->view->tileAt(QPoint(640, 400), 3));
}
BENCHMARK(BM_TileAtHit)->Unit(benchmark::kMicrosecond);

// A pick by drawn pixels over 20,000 drawn tiles of post-like art: the point
// lies inside many images' rectangles but on none of their drawn pixels, so
// every rectangle hit is tested against its mask before the pick falls through.
void BM_PixelPick(benchmark::State &state)
{
    std::unique_ptr<Scene> &hollow = (*scenes)[-BandTiles]; // freed with the others, before the application
    if (!hollow)
        hollow = std::make_unique<Scene>(BandTiles, true);
    GLWidget *v = hollow->view.get();
    const QPoint at(631, 400);
    const QPointF p = v->pixelCentre(at);
    int rectHits = 0;
    for (const DrawnQuad &q : v->drawnQuads(Art))
        rectHits += IsoGeometry::quadContains(q, p, v->scale()) ? 1 : 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(v->tileAt(at, 3));
    state.counters["quads"] = double(v->drawnQuads(Art).size());
    state.counters["rectHits"] = rectHits;
    state.counters["hit"] = v->tileAt(at, 3).isTile() ? 1 : 0;
}
BENCHMARK(BM_PixelPick)->Unit(benchmark::kMicrosecond);

void BM_MapLocation(benchmark::State &state)
{
    Scene *scene = &sceneOf(BandTiles);
    for (auto _ : state)
        benchmark::DoNotOptimize(scene->view->mapLocation(QPoint(640, 400)));
}
BENCHMARK(BM_MapLocation)->Unit(benchmark::kMicrosecond);
} // namespace

int main(int argc, char **argv)
{
    GLWidget::prepareApplication();
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    std::map<int, std::unique_ptr<Scene>> made;
    scenes = &made;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    scenes = nullptr;
    return 0;
}
