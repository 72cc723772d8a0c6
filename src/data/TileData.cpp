#include "data/TileData.h"

#include <QCoreApplication>
#include <QFile>

namespace {

// One tile data layout: record sizes and where the art section starts.
struct Layout {
    int flagBytes;   // 4 (classic) or 8 (64-bit flags)
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
    quint64 flags(qint64 pos, int bytes) const
    {
        return bytes == 8 ? quint64(u32(pos)) | quint64(u32(pos + 4)) << 32 : u32(pos);
    }
    // Up to 20 Latin-1 characters, ended by the first NUL.
    QString name(qint64 pos) const
    {
        char raw[20];
        for (int i = 0; i < 20; ++i)
            raw[i] = char(u8(pos + i));
        return QString::fromLatin1(raw, int(qstrnlen(raw, sizeof raw)));
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
    m_status = DataFileStatus::probe(QStringLiteral("tiledata.mul"), path);
    QFile f(path);
    if (!m_status.usable() || !f.open(QIODevice::ReadOnly)) {
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
    const bool known = holdsWholeArtBlocks(f.size(), l) && f.size() <= needed;
    if (!known)
        m_status.state = DataFileStatus::State::Unrecognised;
    m_status.layout = QCoreApplication::translate("TileData", l.flagBytes == Wide.flagBytes
                                                                  ? QT_TRANSLATE_NOOP("TileData", "64-bit flags")
                                                                  : QT_TRANSLATE_NOOP("TileData", "32-bit flags"));
    if (known)
        m_status.counts = QCoreApplication::translate("TileData", "%1 terrain, %2 art").arg(landCount()).arg(staticCount());
}

void TileData::loadFromBytes(const QByteArray &bytes)
{
    const Layout l = layoutFor(bytes.size());
    const Bytes in(bytes);
    m_land.fill(Entry(), LandEntries);
    for (int i = 0; i < LandEntries; ++i) {
        const qint64 pos = recordPos(i, l.landRecord, 0);
        Entry &e = m_land[i];
        e.flags = in.flags(pos, l.flagBytes);
        e.extra = in.u16(pos + l.flagBytes);
        e.name = in.name(pos + l.flagBytes + 2);
    }
    const int artCount = artEntriesFor(bytes.size(), l);
    m_static.fill(Entry(), artCount);
    for (int i = 0; i < artCount; ++i) {
        const qint64 pos = recordPos(i, l.artRecord, l.landSection());
        Entry &e = m_static[i];
        e.flags = in.flags(pos, l.flagBytes);
        e.extra = in.u8(pos + l.flagBytes + 12);
        e.name = in.name(pos + l.flagBytes + 13);
    }
}

TileInfo TileData::info(const Entry &e, bool art)
{
    TileInfo t;
    t.flags = e.flags;
    t.height = art ? quint8(e.extra) : 0;
    t.textureId = art ? 0 : e.extra;
    t.name = e.name;
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
// What the file could hold: 20 Latin-1 characters.
QString storableName(const QString &name)
{
    return QString::fromLatin1(name.toLatin1().left(20));
}
} // namespace

void TileData::setStaticInfo(int id, const TileInfo &info)
{
    store(m_static, id, MaxArtEntries, {info.flags, info.height, storableName(info.name)});
}

void TileData::setLandInfo(int id, const TileInfo &info)
{
    store(m_land, id, LandEntries, {info.flags, info.textureId, storableName(info.name)});
}

// Ids the file cannot hold are dropped; the table grows to take the others.
void TileData::store(QVector<Entry> &table, int id, int limit, const Entry &entry)
{
    if (id < 0 || id >= limit)
        return;
    if (id >= table.size())
        table.resize(id + 1);
    table[id] = entry;
}
