// The world map. Capturing a 64 x 64 area should cost at most 3x reading its
// blocks' bytes; the overview of a 7168 x 4096 facet at most 3x a bare pass
// over the three files taking each cell's top colour, its peak memory at most
// 1.5x the picture plus 64 MiB (counter peak_mib against limit_mib).
#include "FacetWriter.h"
#include "data/TileData.h"
#include "data/WorldCapture.h"
#include "data/WorldFacet.h"
#include "data/WorldOverview.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <benchmark/benchmark.h>

namespace {

constexpr int Width = 7168, Height = 4096, Facet = 0;
const QRect Area(1003, 2005, 64, 64); // across block edges

// A big facet with about one static in four cells, written once.
QString world()
{
    static QTemporaryDir dir;
    static bool written = FacetWriter::write(
        dir.path(), Facet, Width, Height, [](int x, int y) { return FacetWriter::Cell{quint16(3 + (x ^ y) % 7), (x + y) % 30}; },
        [](int bx, int by) {
            QVector<FacetWriter::Static> s;
            for (int i = 0; i < 16; ++i)
                s.append({quint16(1000 + (bx * 31 + by * 17 + i) % 900), bx * 8 + (i * 5) % 8, by * 8 + (i * 3 + bx) % 8, i * 4 - 20, quint16(i)});
            return s;
        });
    if (!written)
        std::abort();
    return dir.path();
}

long statusKiB(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLong();
    return 0;
}

void BM_CaptureArea(benchmark::State &state)
{
    WorldFacet facet;
    if (!facet.open(world(), Facet))
        state.SkipWithError("open");
    const TileData data;
    WorldCapture::Request r;
    r.area = Area;
    for (auto _ : state)
        benchmark::DoNotOptimize(WorldCapture::capture(facet, r, data, nullptr));
}
BENCHMARK(BM_CaptureArea)->Unit(benchmark::kMicrosecond);

// The area's blocks: terrain, index records and statics, read and no more.
void BM_BareAreaRead(benchmark::State &state)
{
    QFile map(world() + "/map0.mul"), index(world() + "/staidx0.mul"), statics(world() + "/statics0.mul");
    map.open(QIODevice::ReadOnly), index.open(QIODevice::ReadOnly), statics.open(QIODevice::ReadOnly);
    char land[196], rec[12], bytes[1 << 16];
    for (auto _ : state) {
        for (int bx = Area.left() / 8; bx <= Area.right() / 8; ++bx)
            for (int by = Area.top() / 8; by <= Area.bottom() / 8; ++by) {
                const qint64 block = qint64(bx) * (Height / 8) + by;
                map.seek(block * 196), map.read(land, 196);
                index.seek(block * 12), index.read(rec, 12);
                statics.seek(qFromLittleEndian<qint32>(rec)), statics.read(bytes, qFromLittleEndian<qint32>(rec + 4));
                benchmark::DoNotOptimize(bytes[0] + land[0]);
            }
    }
}
BENCHMARK(BM_BareAreaRead)->Unit(benchmark::kMicrosecond);

void BM_Overview(benchmark::State &state)
{
    world();
    const QVector<QRgb> colours(WorldOverview::Colours, qRgb(1, 2, 3));
    const long before = statusKiB("VmRSS:");
    QFile reset(QStringLiteral("/proc/self/clear_refs"));
    for (auto _ : state) {
        // Peak memory from here: the kernel restarts its high-water mark.
        if (reset.open(QIODevice::WriteOnly))
            reset.write("5"), reset.close();
        WorldFacet facet;
        facet.open(world(), Facet);
        benchmark::DoNotOptimize(WorldOverview::build(facet, colours, {}, nullptr));
    }
    state.counters["peak_mib"] = double(statusKiB("VmHWM:") - before) / 1024;
    state.counters["limit_mib"] = 1.5 * Width * Height * 4 / (1 << 20) + 64;
}
BENCHMARK(BM_Overview)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same files read column by column, each cell's top static or terrain colour taken.
void BM_BareOverviewPass(benchmark::State &state)
{
    const QVector<QRgb> colours(WorldOverview::Colours, qRgb(1, 2, 3));
    for (auto _ : state) {
        QFile map(world() + "/map0.mul"), index(world() + "/staidx0.mul"), statics(world() + "/statics0.mul");
        map.open(QIODevice::ReadOnly), index.open(QIODevice::ReadOnly), statics.open(QIODevice::ReadOnly);
        QImage image(Width, Height, QImage::Format_RGB32);
        const int high = Height / 8;
        for (int bx = 0; bx < Width / 8; ++bx) {
            const QByteArray land = map.read(high * 196), recs = index.read(high * 12);
            for (int by = 0; by < high; ++by) {
                const qint32 at = qFromLittleEndian<qint32>(recs.constData() + by * 12);
                const qint32 len = qFromLittleEndian<qint32>(recs.constData() + by * 12 + 4);
                statics.seek(at);
                const QByteArray s = statics.read(len);
                int top[64];
                std::fill(top, top + 64, -1);
                for (int i = 0; i + 7 <= s.size(); i += 7)
                    top[(s[i + 3] & 7) * 8 + (s[i + 2] & 7)] = i;
                for (int c = 0; c < 64; ++c) {
                    const int id = top[c] >= 0 ? 0x4000 + qFromLittleEndian<quint16>(s.constData() + top[c])
                                               : qFromLittleEndian<quint16>(land.constData() + by * 196 + 4 + c * 3) & 0x3FFF;
                    reinterpret_cast<QRgb *>(image.scanLine(by * 8 + c / 8))[bx * 8 + c % 8] = colours[id & 0x7FFF];
                }
            }
        }
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_BareOverviewPass)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
