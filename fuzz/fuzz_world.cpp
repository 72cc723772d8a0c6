// A facet's world map files: terrain, statics index and statics, captured and
// pictured whole. The first byte gives the facet's size in blocks.
#include "FuzzInput.h"
#include "data/TileData.h"
#include "data/WorldCapture.h"
#include "data/WorldFacet.h"
#include "data/WorldOverview.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {
void put(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TileData info;
    static const QTemporaryDir dir;
    static const QVector<QRgb> colours(WorldOverview::Colours);
    if (size < 1)
        return 0;
    const int wide = 1 + (data[0] & 3), high = 1 + ((data[0] >> 2) & 3);
    const QByteArray rest = FuzzInput::bytes(data + 1, size - 1);
    // The terrain comes out whole or short; the index and statics split the rest.
    const qsizetype land = std::min<qsizetype>(rest.size(), wide * high * WorldFacet::LandBlockBytes);
    const qsizetype index = std::min<qsizetype>(rest.size() - land, wide * high * WorldFacet::IndexRecordBytes);
    put(dir.filePath(QStringLiteral("map1.mul")), rest.left(land));
    put(dir.filePath(QStringLiteral("staidx1.mul")), rest.mid(land, index));
    put(dir.filePath(QStringLiteral("statics1.mul")), rest.mid(land + index));
    WorldFacet facet;
    if (!facet.open(dir.path(), 1, QSize(wide * 8, high * 8)))
        return 0;
    WorldCapture::Request r;
    r.area = QRect(0, 0, wide * 8, high * 8);
    r.terrain = data[0] & 16;
    QString error;
    WorldCapture::capture(facet, r, info, &error);
    WorldOverview::build(facet, colours, {}, &error);
    return 0;
}
