#include "data/WorldOverview.h"

#include "data/RadarColours.h"
#include "data/WorldFacet.h"


QRgb WorldOverview::fromRadar(quint16 c)
{
    auto eight = [](int five) { return (five << 3) | (five >> 2); };
    return qRgb(eight((c >> 10) & 31), eight((c >> 5) & 31), eight(c & 31));
}

std::optional<QVector<QRgb>> WorldOverview::readColours(const QString &path, QString *error)
{
    const RadarColours radar(path);
    if (!radar.status().usable() || radar.size() == 0) {
        if (error)
            *error = radar.status().describe();
        return std::nullopt;
    }
    QVector<QRgb> colours(std::max(int(Colours), radar.size()), qRgb(0, 0, 0));
    for (int i = 0; i < radar.size(); ++i)
        colours[i] = fromRadar(radar.colour(i >= ArtBase, i >= ArtBase ? i - ArtBase : i).value_or(0));
    return colours;
}

QImage WorldOverview::build(WorldFacet &facet, const QVector<QRgb> &colours, const Progress &progress,
                            QString *error)
{
    const int b = WorldFacet::BlockCells;
    QImage image(facet.size(), QImage::Format_RGB32);
    if (image.isNull() || colours.size() < Colours) {
        if (error)
            *error = QStringLiteral("no memory for a picture of %1 x %2 cells")
                         .arg(facet.size().width())
                         .arg(facet.size().height());
        return QImage();
    }
    QVector<WorldFacet::LandBlock> land;
    QVector<std::pair<qint64, qint64>> index;
    QVector<WorldFacet::Static> statics;
    std::array<int, 64> top{};
    for (int bx = 0; bx < facet.blocksWide(); ++bx) {
        if (!facet.readLandColumn(bx, land) || !facet.readIndexColumn(bx, index)) {
            if (error)
                *error = facet.errorString();
            return QImage();
        }
        for (int by = 0; by < facet.blocksHigh(); ++by) {
            if (!facet.readStaticsAt(bx, by, index[by], statics)) {
                if (error)
                    *error = facet.errorString();
                return QImage();
            }
            const WorldFacet::LandBlock &cells = land[by];
            top.fill(-1);
            // The highest static wins; of equal ones the later, drawn last.
            for (int i = 0; i < statics.size(); ++i) {
                const WorldFacet::Static &s = statics[i];
                int &t = top[WorldFacet::cellIndex(s.x, s.y)];
                if (t < 0 || s.z >= statics[t].z)
                    t = i;
            }
            for (int cy = 0; cy < b; ++cy) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(by * b + cy)) + bx * b;
                for (int cx = 0; cx < b; ++cx) {
                    const int t = top[WorldFacet::cellIndex(cx, cy)];
                    const int c = t >= 0 ? ArtBase + statics[t].id
                                         : cells[WorldFacet::cellIndex(cx, cy)].id & (ArtBase - 1);
                    line[cx] = c < colours.size() ? colours[c] : qRgb(0, 0, 0);
                }
            }
        }
        if (progress && !progress(bx + 1, facet.blocksWide()))
            return QImage();
    }
    return image;
}
