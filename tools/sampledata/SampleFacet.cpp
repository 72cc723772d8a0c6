#include "SampleFacet.h"

#include "FacetWriter.h"
#include "MulWriter.h"
#include "SampleCatalogue.h"
#include "SampleMultis.h"

#include <QHash>
#include <QPoint>
#include <QtEndian>

#include <cmath>

namespace {

enum Land { Grass = 3, Dirt = 4, Cobbles = 5, Sand = 6, Water = 7, Rock = 11, Furrows = 12 };

// Village centres; roads run between neighbours in this order.
const QPoint Villages[] = {{300, 320}, {620, 410}, {900, 300}, {1100, 700}, {760, 900}, {420, 1050}};

int distanceToRoad(int x, int y)
{
    int best = 1 << 30;
    for (size_t i = 0; i + 1 < std::size(Villages); ++i) {
        const QPoint a = Villages[i], b = Villages[i + 1];
        const double dx = b.x() - a.x(), dy = b.y() - a.y();
        const double t = std::clamp(((x - a.x()) * dx + (y - a.y()) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
        best = std::min(best, int(std::hypot(x - a.x() - t * dx, y - a.y() - t * dy)));
    }
    return best;
}

FacetWriter::Cell ground(int x, int y)
{
    // A lake in the south-east, a rocky ridge in the north, fields around villages.
    const double lake = std::hypot(x - 1150.0, y - 1150.0);
    if (lake < 180)
        return {Water, -5};
    if (lake < 195)
        return {Sand, 0};
    if (y < 120 + 40 * std::sin(x / 90.0))
        return {Rock, 10 + (x * 7 + y * 3) % 6};
    if (distanceToRoad(x, y) <= 1)
        return {Dirt, 0};
    for (const QPoint &v : Villages) {
        const int d = std::abs(x - v.x()) + std::abs(y - v.y());
        if (d <= 12)
            return {Cobbles, 0};
        if (d > 30 && d < 44 && (x + y) % 5 != 0)
            return {Furrows, 0};
    }
    return {Grass, 0};
}

// The sample multis' tiles as world statics around each village.
QHash<int, QVector<FacetWriter::Static>> villageStatics()
{
    QHash<int, QVector<FacetWriter::Static>> byBlock;
    const QVector<SampleMultis::Multi> multis = {SampleMultis::house(), SampleMultis::tower(), SampleMultis::house()};
    const QPoint offsets[] = {{-6, -6}, {6, -5}, {-5, 7}};
    for (const QPoint &v : Villages) {
        for (int m = 0; m < multis.size(); ++m) {
            for (const MulWriter::MultiTile &t : multis[m].tiles) {
                if (!(t.flags & 1))
                    continue;
                const int x = v.x() + offsets[m].x() + t.x, y = v.y() + offsets[m].y() + t.y;
                byBlock[(x / 8) * (SampleFacet::Size / 8) + y / 8].append({t.id, x, y, t.z, 0});
            }
        }
        const int x = v.x() + 1, y = v.y() + 1;
        byBlock[(x / 8) * (SampleFacet::Size / 8) + y / 8].append({SampleCatalogue::LampPost, x, y, 0, 0});
    }
    return byBlock;
}

} // namespace

bool SampleFacet::write(const QString &dir, QString *error)
{
    const QHash<int, QVector<FacetWriter::Static>> statics = villageStatics();
    return FacetWriter::write(dir, Facet, Size, Size, ground,
                              [&](int bx, int by) { return statics.value(bx * (Size / 8) + by); }, error);
}

QByteArray SampleFacet::radarColours()
{
    QByteArray out(2 * 0x8000, '\0');
    auto put = [&](int index, const QImage &image) {
        qint64 r = 0, g = 0, b = 0, n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QRgb p = image.pixel(x, y);
                if (qAlpha(p) < 128)
                    continue;
                r += qRed(p), g += qGreen(p), b += qBlue(p), ++n;
            }
        if (n)
            qToLittleEndian(MulWriter::opaqueColour(qRgb(int(r / n), int(g / n), int(b / n))), out.data() + 2 * index);
    };
    for (const SampleCatalogue::Tile &t : SampleCatalogue::land())
        put(t.id, t.draw());
    for (const SampleCatalogue::Tile &t : SampleCatalogue::art())
        put(MulWriter::ArtIndexOffset + t.id, t.draw());
    return out;
}
