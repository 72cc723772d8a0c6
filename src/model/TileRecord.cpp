#include "model/TileRecord.h"

#include "data/TileData.h"

#include <QStringList>

TileRecord::TileRecord(quint16 id_, qint16 hue_, qint16 z_, const TileData &data, qint32 kind_)
    : kind(kind_), id(id_), z(z_), hue(hue_), visible(1), sortZ(z_)
{
    lookUp(data);
}

TileRecord::TileRecord(const QString &key, const TileData &data)
{
    const QStringList f = key.split(QLatin1Char(':'));
    auto field = [&f](int i) { return i < f.size() ? f[i].toInt() : 0; };
    id = quint16(field(0));
    x = field(1);
    y = field(2);
    z = qint16(field(3));
    hue = qint16(field(4));
    visible = qint16(field(5));
    kind = field(6);
    sortZ = z;
    lookUp(data);
}

void TileRecord::lookUp(const TileData &data)
{
    const TileInfo info = kind == Art ? data.staticInfo(id) : data.landInfo(id);
    flags = info.flags;
    height = kind == Art ? info.height : 0;
    name = info.name;
    textureId = kind == Art ? 0 : info.textureId;
}

QString TileRecord::key() const
{
    return QStringLiteral("%1:%2:%3:%4:%5:%6:%7")
        .arg(uint(id)).arg(x).arg(y).arg(int(z)).arg(int(hue)).arg(int(visible)).arg(kind);
}

int TileRecord::bias() const
{
    if (kind != Art)
        return 0;
    return ((flags & 0x1) ? 0 : 1) + (height != 0 ? 1 : 0);
}

bool TileRecord::drawsBefore(const TileRecord &o) const
{
    const int b1 = bias(), b2 = o.bias();
    const int l1 = sortZ + b1, l2 = o.sortZ + b2;
    if (l1 != l2)
        return l1 < l2;
    const bool art1 = kind == Art, art2 = o.kind == Art;
    if (art1 != art2)
        return !art1;
    if (b1 != b2)
        return b1 < b2;
    return id < o.id;
}
