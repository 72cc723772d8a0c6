#include "model/TileRecord.h"

#include "model/TileInfo.h"

#include <charconv>

TileRecord::TileRecord(quint16 id_, qint16 hue_, qint16 z_, const TileInfoSource &data, qint32 kind_)
    : kind(kind_), id(id_), z(z_), hue(hue_), visible(1), sortZ(z_)
{
    lookUp(data);
}

std::array<qint32, TileRecord::KeyFields> TileRecord::keyFields(QStringView text)
{
    std::array<qint32, KeyFields> f = {};
    for (qint32 &field : f) {
        const qsizetype sep = text.indexOf(QLatin1Char(':'));
        field = (sep < 0 ? text : text.left(sep)).toInt();
        if (sep < 0)
            break;
        text = text.mid(sep + 1);
    }
    return f;
}

TileRecord::TileRecord(const QString &key, const TileInfoSource &data)
{
    const std::array<qint32, KeyFields> f = keyFields(key);
    id = quint16(f[0]);
    x = f[1];
    y = f[2];
    z = qint16(f[3]);
    hue = qint16(f[4]);
    visible = qint16(f[5]);
    kind = f[6];
    sortZ = z;
    lookUp(data);
}

void TileRecord::lookUp(const TileInfoSource &data)
{
    const TileInfo info = kind == Art ? data.staticInfo(id) : data.landInfo(id);
    flags = quint32(info.flags); // the draw flags all sit in the low half
    height = kind == Art ? info.height : 0;
    name = info.name;
    textureId = kind == Art ? 0 : info.textureId;
}

QString TileRecord::key() const
{
    // Called for every tile of a save, a copy or an undo record: no formatting machinery.
    const long long fields[7] = {id, x, y, z, hue, visible, kind};
    char text[7 * 12];
    char *end = text;
    for (int i = 0; i < 7; ++i) {
        if (i > 0)
            *end++ = ':';
        end = std::to_chars(end, text + sizeof text, fields[i]).ptr;
    }
    return QString::fromLatin1(text, int(end - text));
}

int TileRecord::bias() const
{
    if (kind != Art)
        return 0;
    return ((flags & TileFlags::Background) ? 0 : 1) + (height != 0 ? 1 : 0);
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
