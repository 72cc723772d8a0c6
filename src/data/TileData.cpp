#include "data/TileData.h"

#include <QFile>

#include <cstring>

namespace {

// One tile data layout: record sizes and where the art section starts.
struct Layout {
    int flagBytes;   // 4 (classic) or 8 (64-bit flags; the low 32 bits are kept)
    int landRecord;  // flags, texture number, 20 name bytes
    int artRecord;   // flags, 12 unused bytes, height, 20 name bytes (+ 4 more flag bytes)
    int landSection() const { return 512 * (4 + 32 * landRecord); }
    int artBlock() const { return 4 + 32 * artRecord; }
};

constexpr Layout Classic{4, 26, 37};
constexpr Layout Wide{8, 30, 41};
constexpr int LandEntries = 512 * 32;
constexpr int MinArtEntries = 16384;
constexpr int MaxArtEntries = 65536;

bool holdsWholeArtBlocks(qint64 size, const Layout &l)
{
    return size >= l.landSection() && (size - l.landSection()) % l.artBlock() == 0;
}

// The classic layout unless the size only fits the layout with 64-bit flags.
Layout layoutFor(qint64 size)
{
    if (!holdsWholeArtBlocks(size, Classic) && holdsWholeArtBlocks(size, Wide))
        return Wide;
    return Classic;
}

int artEntriesFor(qint64 size, const Layout &l)
{
    const qint64 blocks = size > l.landSection() ? (size - l.landSection()) / l.artBlock() : 0;
    return int(qBound(qint64(MinArtEntries), blocks * 32, qint64(MaxArtEntries)));
}

// Little-endian reads that give zeros past the end of the bytes.
class Bytes
{
public:
    explicit Bytes(const QByteArray &b) : m_b(b) {}
    quint8 u8(qint64 pos) const
    {
        return pos >= 0 && pos < m_b.size() ? quint8(m_b[int(pos)]) : 0;
    }
    quint16 u16(qint64 pos) const { return quint16(u8(pos) | u8(pos + 1) << 8); }
    quint32 u32(qint64 pos) const { return quint32(u16(pos)) | quint32(u16(pos + 2)) << 16; }
    void name(qint64 pos, char *out) const
    {
        for (int i = 0; i < 20; ++i)
            out[i] = char(u8(pos + i));
    }

private:
    const QByteArray &m_b;
};

qint64 recordPos(int index, int recordSize, qint64 sectionStart)
{
    return sectionStart + qint64(index / 32 + 1) * 4 + qint64(index) * recordSize;
}

} // namespace

void TileData::load(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        loadFromBytes(QByteArray());
        return;
    }
    // Never more than the largest table needs, whatever the file claims.
    const Layout l = layoutFor(f.size());
    const qint64 needed = l.landSection() + qint64(MaxArtEntries / 32) * l.artBlock();
    QByteArray bytes = f.read(qMin(f.size(), needed));
    // Keep the size-based layout choice even when the read was capped.
    if (f.size() > needed)
        bytes.resize(int(needed));
    loadFromBytes(bytes);
}

void TileData::loadFromBytes(const QByteArray &bytes)
{
    const Layout l = layoutFor(bytes.size());
    const Bytes in(bytes);
    m_land.fill(Entry(), LandEntries);
    for (int i = 0; i < LandEntries; ++i) {
        const qint64 pos = recordPos(i, l.landRecord, 0);
        Entry &e = m_land[i];
        e.flags = in.u32(pos);
        e.extra = in.u16(pos + l.flagBytes);
        in.name(pos + l.flagBytes + 2, e.name);
    }
    const int artCount = artEntriesFor(bytes.size(), l);
    m_static.fill(Entry(), artCount);
    for (int i = 0; i < artCount; ++i) {
        const qint64 pos = recordPos(i, l.artRecord, l.landSection());
        Entry &e = m_static[i];
        e.flags = in.u32(pos);
        e.extra = in.u8(pos + l.flagBytes + 12);
        in.name(pos + l.flagBytes + 13, e.name);
    }
}

TileInfo TileData::info(const Entry &e, bool art)
{
    TileInfo t;
    t.flags = e.flags;
    t.height = art ? quint8(e.extra) : 0;
    t.textureId = art ? 0 : e.extra;
    t.name = QString::fromLatin1(e.name, int(qstrnlen(e.name, sizeof e.name)));
    return t;
}

TileInfo TileData::landInfo(int id) const
{
    return id >= 0 && id < m_land.size() ? info(m_land[id], false) : TileInfo();
}

TileInfo TileData::staticInfo(int id) const
{
    return id >= 0 && id < m_static.size() ? info(m_static[id], true) : TileInfo();
}

namespace {
void storeName(const QString &name, char *out)
{
    const QByteArray latin = name.toLatin1().left(20);
    std::memset(out, 0, 20);
    std::memcpy(out, latin.constData(), size_t(latin.size()));
}
} // namespace

void TileData::setStaticInfo(int id, const TileInfo &info)
{
    if (id < 0 || id >= MaxArtEntries)
        return;
    if (id >= m_static.size())
        m_static.resize(id + 1);
    Entry &e = m_static[id];
    e.flags = info.flags;
    e.extra = info.height;
    storeName(info.name, e.name);
}

void TileData::setLandInfo(int id, const TileInfo &info)
{
    if (id < 0 || id >= LandEntries)
        return;
    if (id >= m_land.size())
        m_land.resize(id + 1);
    Entry &e = m_land[id];
    e.flags = info.flags;
    e.extra = info.textureId;
    storeName(info.name, e.name);
}
