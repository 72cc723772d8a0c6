// Speed goals of the CPU renderer (run by hand, briefly):
//  - a 5,000-tile multi rendered at scale 1 costs at most 3x decoding its art once,
//    one decode per tile (compare BM_RenderMulti with BM_DecodeArtOnce; the
//    renderer itself decodes each id and hue only once);
//  - a chooser thumbnail of a 1,000-tile entry takes at most 50 ms (BM_ChooserThumbnail).
//  - the file manager's thumbnail of a 5,000-tile .mlt file (read, drawn into
//    256 x 256, encoded and written safely: mltool thumbnail without its start)
//    costs at most BM_DecodeArtOnce, 1x (BM_FileThumbnail; measured 0.54x).
#include "MulWriter.h"
#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/TileData.h"
#include "model/Facet.h"
#include "model/MltFile.h"
#include "scene/MultiPictures.h"
#include "scene/ScenePreviewer.h"
#include "scene/SceneRenderer.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
constexpr int ArtIds = 40;
constexpr int FirstId = 1000;

struct Scene {
    TileData data;
    ArtReader art;
    HueTable hues;
    TileMap tiles5000;
    TileMap tiles1000;

    Scene()
    {
        QRandomGenerator rng(3);
        QMap<int, QImage> images;
        for (int i = 0; i < ArtIds; ++i) {
            QImage img(44, 40 + int(rng.bounded(80)), QImage::Format_ARGB32);
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    img.setPixel(x, y, (x + y) % 9 == 0 ? 0u : (0xFF000000u | rng.generate()));
            images.insert(FirstId + i, img);
        }
        const auto files = MulWriter::artFiles({}, images);
        art.loadFromBytes(files.index, files.data);
        tiles5000 = make(5000, 40, rng);
        tiles1000 = make(1000, 20, rng);
    }

    TileMap make(int count, int side, QRandomGenerator &rng)
    {
        TileMap map;
        for (int n = 0; n < count; ++n) {
            TileRecord t(quint16(FirstId + int(rng.bounded(ArtIds))), 0, qint16(rng.bounded(60)), data, Art);
            t.x = int(rng.bounded(side)) - side / 2;
            t.y = int(rng.bounded(side)) - side / 2;
            t.sortZ = t.z;
            map[locationKey(t.x, t.y)].append(t);
        }
        return map;
    }
};

Scene &scene()
{
    static Scene s;
    return s;
}

void BM_DecodeArtOnce(benchmark::State &state)
{
    Scene &s = scene();
    for (auto _ : state) {
        for (const QList<TileRecord> &list : s.tiles5000)
            for (const TileRecord &t : list)
                benchmark::DoNotOptimize(s.art.staticImage(t.id, nullptr, false));
    }
}
BENCHMARK(BM_DecodeArtOnce)->Unit(benchmark::kMillisecond);

void BM_RenderMulti(benchmark::State &state)
{
    Scene &s = scene();
    Facet model(s.data);
    model.setAllowDuplicates(true);
    model.load(s.tiles5000);
    for (auto _ : state) {
        SceneRenderer renderer(&s.art, &s.hues); // nothing cached: decodes its art once
        benchmark::DoNotOptimize(renderer.render(model, SceneRenderer::Options()));
    }
}
BENCHMARK(BM_RenderMulti)->Unit(benchmark::kMillisecond);

void BM_ChooserThumbnail(benchmark::State &state)
{
    Scene &s = scene();
    for (auto _ : state)
        benchmark::DoNotOptimize(ScenePreviewer::of(s.tiles1000, s.data, &s.art, &s.hues, QSize(240, 200)));
}
BENCHMARK(BM_ChooserThumbnail)->Unit(benchmark::kMillisecond);
void BM_FileThumbnail(benchmark::State &state)
{
    Scene &s = scene();
    QTemporaryDir dir;
    const QString mlt = dir.filePath("big.mlt"), png = dir.filePath("big.png");
    {
        Facet model(s.data);
        model.setAllowDuplicates(true);
        model.load(s.tiles5000);
        if (!MltFile::write(mlt, model))
            state.SkipWithError("the .mlt file cannot be written");
    }
    for (auto _ : state) {
        const MltReadResult read = MltFile::read(mlt, s.data);
        Facet model(s.data);
        model.setAllowDuplicates(true);
        model.load(read.tiles);
        SceneRenderer renderer(&s.art, &s.hues);
        if (!MultiPictures::save(MultiPictures::square(renderer, model, 256), png, nullptr))
            state.SkipWithError("the thumbnail cannot be written");
    }
}
BENCHMARK(BM_FileThumbnail)->Unit(benchmark::kMillisecond);
} // namespace

BENCHMARK_MAIN();
