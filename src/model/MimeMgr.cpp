#include "model/MimeMgr.h"

#include <QMimeData>
#include <QtEndian>

#include <algorithm>

namespace {
constexpr QLatin1String Version("1.0");
} // namespace

MimeMgr::MimeMgr(const TileInfoSource &data, QObject *parent) : QObject(parent), m_data(data) {}

QString MimeMgr::formatName(int kind)
{
    return kind == Art ? QStringLiteral("bm/art") : QStringLiteral("bm/terrain");
}

QMimeData *MimeMgr::encode(int kind, const TileMap &tiles, int x, int y, qint16 z)
{
    auto *mime = new QMimeData;
    mime->setData(formatName(kind), encodeBytes(tiles, x, y, z));
    return mime;
}

TileMap MimeMgr::decode(int kind, const QMimeData *data, int &x, int &y, qint16 &z) const
{
    if (!data)
        return TileMap();
    return decodeBytes(data->data(formatName(kind)), x, y, z);
}

bool MimeMgr::canDecode(int kind, const QMimeData *data) const
{
    return data && data->formats().contains(formatName(kind));
}

QByteArray MimeMgr::encodeBytes(const TileMap &tiles, int x, int y, qint16 z)
{
    QByteArray bytes;
    appendString(bytes, QString(Version));
    appendString(bytes, QStringLiteral("%1:%2:%3").arg(x).arg(y).arg(int(z)));
    // Ascending location keys: the same tiles always give the same bytes.
    QList<quint32> keys = tiles.keys();
    std::sort(keys.begin(), keys.end());
    for (const quint32 key : keys) {
        for (const TileRecord &tile : tiles.constFind(key).value())
            appendString(bytes, tile.key());
    }
    return bytes;
}

TileMap MimeMgr::decodeBytes(const QByteArray &bytes, int &x, int &y, qint16 &z) const
{
    TileMap result;
    qsizetype pos = 0;
    QString text;
    if (!readString(bytes, pos, text) || text != Version)
        return result;
    if (!readString(bytes, pos, text))
        return result;
    readReferencePoint(text, x, y, z);
    // A truncated or malformed string ends the payload; the tiles before it stay.
    while (pos < bytes.size() && readString(bytes, pos, text)) {
        TileRecord tile(text, m_data);
        if (tile.visible != 0 || m_includeInvisible)
            result[locationKey(tile.x, tile.y)].append(tile);
    }
    sortLocations(result);
    return result;
}

// The little-endian data stream form of a string.
void MimeMgr::appendString(QByteArray &out, const QString &text)
{
    const qsizetype at = out.size();
    out.resize(at + 4 + 2 * text.size());
    uchar *p = reinterpret_cast<uchar *>(out.data()) + at;
    qToLittleEndian<quint32>(text.isNull() ? 0xFFFFFFFFu : quint32(2 * text.size()), p);
    qToLittleEndian<char16_t>(text.utf16(), text.size(), p + 4);
}

// One serialised string: a 32-bit byte count (all ones for a null string), then UTF-16.
bool MimeMgr::readString(const QByteArray &bytes, qsizetype &pos, QString &text)
{
    if (bytes.size() - pos < 4)
        return false;
    const uchar *p = reinterpret_cast<const uchar *>(bytes.constData()) + pos;
    const quint32 length = qFromLittleEndian<quint32>(p);
    if (length == 0xFFFFFFFFu) {
        text = QString();
        pos += 4;
        return true;
    }
    if ((length & 1) != 0 || length > quint64(bytes.size() - pos - 4))
        return false;
    text.resize(qsizetype(length / 2));
    qFromLittleEndian<char16_t>(p + 4, qsizetype(length / 2), text.data());
    pos += 4 + qsizetype(length);
    return true;
}

// "x:y:z", read as the leading fields of a tile key.
void MimeMgr::readReferencePoint(const QString &text, int &x, int &y, qint16 &z)
{
    const auto f = TileRecord::keyFields(text);
    x = f[0];
    y = f[1];
    z = qint16(f[2]);
}

// Draw order per location; stable, so equal tiles keep their payload order.
void MimeMgr::sortLocations(TileMap &tiles)
{
    for (QList<TileRecord> &list : tiles)
        std::stable_sort(list.begin(), list.end(), DrawOrder());
}
