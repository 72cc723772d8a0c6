#include "data/WorldFacet.h"

#include "data/NameHash.h"
#include "data/UopFile.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

namespace {

struct KnownSize {
    int width;
    int height;
    int onlyFacet; // -1: any facet
};

constexpr KnownSize KnownSizes[] = {
    {7168, 4096, -1}, {6144, 4096, -1}, {2304, 1600, -1},
    {2560, 2048, 3},  {1280, 4096, 5},  {1448, 1448, -1},
};

constexpr qint64 blockCount(int width, int height)
{
    return qint64(width / WorldFacet::BlockCells) * (height / WorldFacet::BlockCells);
}

QString entryName(const QString &dir, const QString &name)
{
    const QStringList found = QDir(dir).entryList({name}, QDir::Files | QDir::CaseSensitive);
    if (!found.isEmpty())
        return QDir(dir).filePath(found.first());
    for (const QString &entry : QDir(dir).entryList(QDir::Files))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return QDir(dir).filePath(entry);
    return QString();
}

// A stored altitude: one byte, two's complement.
qint16 altitude(char byte)
{
    const int u = quint8(byte);
    return qint16(u < 128 ? u : u - 256);
}

// Reads exactly `bytes` at `at`; a failure or a short read is false.
bool readExactly(QFile &file, qint64 at, char *to, qint64 bytes)
{
    return file.seek(at) && file.read(to, bytes) == bytes;
}

} // namespace

WorldFacet::WorldFacet() = default;
WorldFacet::~WorldFacet() = default;

std::optional<QSize> WorldFacet::sizeForTerrainBytes(qint64 bytes, int facet)
{
    for (const KnownSize &k : KnownSizes) {
        // Facet 5 has as many blocks as facet 3, in another shape.
        if ((k.onlyFacet == 5) != (facet == 5) && k.onlyFacet >= 0)
            continue;
        if (blockCount(k.width, k.height) * LandBlockBytes == bytes)
            return QSize(k.width, k.height);
    }
    return std::nullopt;
}

QString WorldFacet::terrainFile(const QString &dir, int facet)
{
    const QString mul = entryName(dir, QStringLiteral("map%1.mul").arg(facet));
    return mul.isEmpty() ? entryName(dir, QStringLiteral("map%1LegacyMUL.uop").arg(facet)) : mul;
}

QVector<int> WorldFacet::facetsIn(const QString &dir)
{
    QVector<int> found;
    for (int facet = 0; facet <= MaxFacet; ++facet)
        if (!terrainFile(dir, facet).isEmpty()
            && !entryName(dir, QStringLiteral("staidx%1.mul").arg(facet)).isEmpty()
            && !entryName(dir, QStringLiteral("statics%1.mul").arg(facet)).isEmpty())
            found.append(facet);
    return found;
}

QVector<DataFileStatus> WorldFacet::statuses(const QString &dir)
{
    QVector<DataFileStatus> out;
    for (int number : facetsIn(dir)) {
        const QString terrain = terrainFile(dir, number);
        DataFileStatus s = DataFileStatus::probe(QFileInfo(terrain).fileName(), terrain);
        WorldFacet facet;
        if (!facet.open(dir, number)) {
            s.state = DataFileStatus::State::Unrecognised;
            s.layout = facet.errorString();
        } else {
            s.layout = QStringLiteral("facet %1, %2 x %3 cells").arg(number).arg(facet.size().width()).arg(facet.size().height());
            s.counts = QStringLiteral("%1 statics").arg(facet.m_statics.size() / StaticRecordBytes);
        }
        out << s;
    }
    return out;
}

bool WorldFacet::fail(const QString &reason)
{
    m_error = reason;
    return false;
}

bool WorldFacet::blockFail(int blockX, int blockY, const QString &reason)
{
    return fail(QStringLiteral("facet %1, block %2,%3 (cells %4,%5): %6")
                    .arg(m_facet)
                    .arg(blockX)
                    .arg(blockY)
                    .arg(blockX * BlockCells)
                    .arg(blockY * BlockCells)
                    .arg(reason));
}

bool WorldFacet::open(const QString &dir, int facet, QSize size)
{
    m_facet = facet;
    m_blocksWide = m_blocksHigh = 0;
    m_terrain.close();
    m_index.close();
    m_statics.close();
    m_container.reset();
    m_chunks.clear();
    m_chunkIndex = -1;
    const QString terrain = terrainFile(dir, facet);
    if (terrain.isEmpty())
        return fail(QStringLiteral("no map%1.mul or map%1LegacyMUL.uop in %2").arg(facet).arg(dir));
    const QString index = entryName(dir, QStringLiteral("staidx%1.mul").arg(facet));
    const QString statics = entryName(dir, QStringLiteral("statics%1.mul").arg(facet));
    if (index.isEmpty() || statics.isEmpty())
        return fail(QStringLiteral("no staidx%1.mul and statics%1.mul in %2").arg(facet).arg(dir));

    if (terrain.endsWith(QLatin1String(".uop"), Qt::CaseInsensitive)) {
        m_container = std::make_unique<UopFile>();
        if (!m_container->open(terrain))
            return fail(QStringLiteral("%1: %2").arg(terrain, m_container->errorString()));
        // Consecutive entries, each the next part of the terrain's bytes.
        const QString pattern = QStringLiteral("build/map%1legacymul/%2.dat");
        m_terrainBytes = 0;
        for (int part = 0;; ++part) {
            const UopFile::Entry *e = m_container->find(
                NameHash::ofName(pattern.arg(facet).arg(part, 8, 10, QLatin1Char('0'))));
            if (!e)
                break;
            m_chunks.append({m_terrainBytes, e->unpackedSize,
                             int(e - m_container->entries().constData())});
            m_terrainBytes += e->unpackedSize;
        }
    } else {
        m_terrain.setFileName(terrain);
        if (!m_terrain.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            return fail(QStringLiteral("%1: %2").arg(terrain, m_terrain.errorString()));
        m_terrainBytes = m_terrain.size();
    }
    // Reads are of whole blocks or columns, at a new place each: Qt's read-ahead buffer would only copy more.
    m_index.setFileName(index);
    m_statics.setFileName(statics);
    if (!m_index.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(QStringLiteral("%1: %2").arg(index, m_index.errorString()));
    if (!m_statics.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return fail(QStringLiteral("%1: %2").arg(statics, m_statics.errorString()));

    if (!size.isValid()) {
        const std::optional<QSize> known = sizeForTerrainBytes(m_terrainBytes, facet);
        if (!known)
            return fail(QStringLiteral("%1: %2 bytes fit no known facet size; give the size "
                                       "(width x height in cells)")
                            .arg(terrain)
                            .arg(m_terrainBytes));
        size = *known;
    }
    if (size.width() <= 0 || size.height() <= 0 || size.width() % BlockCells
        || size.height() % BlockCells || size.width() > 0x10000 || size.height() > 0x10000)
        return fail(QStringLiteral("%1 x %2 is no facet size (multiples of 8 cells up to 65536)")
                        .arg(size.width())
                        .arg(size.height()));
    const qint64 blocks = blockCount(size.width(), size.height());
    if (m_terrainBytes < blocks * LandBlockBytes)
        return fail(QStringLiteral("%1 holds %2 bytes; a facet of %3 x %4 cells needs %5")
                        .arg(terrain)
                        .arg(m_terrainBytes)
                        .arg(size.width())
                        .arg(size.height())
                        .arg(blocks * LandBlockBytes));
    if (m_index.size() < blocks * IndexRecordBytes)
        return fail(QStringLiteral("%1 holds %2 bytes; a facet of %3 x %4 cells needs %5")
                        .arg(index)
                        .arg(m_index.size())
                        .arg(size.width())
                        .arg(size.height())
                        .arg(blocks * IndexRecordBytes));
    m_blocksWide = size.width() / BlockCells;
    m_blocksHigh = size.height() / BlockCells;
    return true;
}

bool WorldFacet::validBlock(int blockX, int blockY) const
{
    return blockX >= 0 && blockY >= 0 && blockX < m_blocksWide && blockY < m_blocksHigh;
}

bool WorldFacet::readTerrain(qint64 at, char *to, qint64 bytes)
{
    if (!m_container)
        return readExactly(m_terrain, at, to, bytes);
    // The container's parts need not end on block edges: copy across them.
    while (bytes > 0) {
        int i = m_chunkIndex;
        if (i < 0 || at < m_chunks[i].start || at >= m_chunks[i].start + m_chunks[i].size) {
            i = int(std::upper_bound(m_chunks.begin(), m_chunks.end(), at,
                                     [](qint64 v, const TerrainChunk &c) { return v < c.start; })
                    - m_chunks.begin())
                - 1;
            if (i < 0)
                return false;
            const std::optional<QByteArray> bytesOf =
                m_container->payload(m_container->entries().at(m_chunks[i].entry));
            if (!bytesOf || bytesOf->size() != m_chunks[i].size)
                return false;
            m_chunk = *bytesOf;
            m_chunkIndex = i;
        }
        const qint64 from = at - m_chunks[i].start;
        const qint64 n = std::min(bytes, m_chunks[i].size - from);
        std::memcpy(to, m_chunk.constData() + from, size_t(n));
        to += n;
        at += n;
        bytes -= n;
    }
    return true;
}

namespace {
WorldFacet::LandBlock decodeLand(const char *b)
{
    WorldFacet::LandBlock out;
    for (int i = 0; i < int(out.size()); ++i) {
        const char *cell = b + 4 + 3 * i;
        out[size_t(i)] = {qFromLittleEndian<quint16>(cell), altitude(cell[2])};
    }
    return out;
}
} // namespace

bool WorldFacet::readLand(int blockX, int blockY, LandBlock &out)
{
    if (!validBlock(blockX, blockY))
        return blockFail(blockX, blockY, QStringLiteral("outside the facet"));
    char bytes[LandBlockBytes];
    const qint64 at = (qint64(blockX) * m_blocksHigh + blockY) * LandBlockBytes;
    if (!readTerrain(at, bytes, LandBlockBytes))
        return blockFail(blockX, blockY, QStringLiteral("the terrain cannot be read"));
    out = decodeLand(bytes);
    return true;
}

bool WorldFacet::readLandColumn(int blockX, QVector<LandBlock> &out)
{
    if (!validBlock(blockX, 0))
        return blockFail(blockX, 0, QStringLiteral("outside the facet"));
    QByteArray bytes(qsizetype(m_blocksHigh) * LandBlockBytes, Qt::Uninitialized);
    if (!readTerrain(qint64(blockX) * m_blocksHigh * LandBlockBytes, bytes.data(), bytes.size()))
        return blockFail(blockX, 0, QStringLiteral("the terrain of this column cannot be read"));
    out.resize(m_blocksHigh);
    for (int y = 0; y < m_blocksHigh; ++y)
        out[y] = decodeLand(bytes.constData() + qsizetype(y) * LandBlockBytes);
    return true;
}

bool WorldFacet::readIndexColumn(int blockX, QVector<std::pair<qint64, qint64>> &out)
{
    if (!validBlock(blockX, 0))
        return blockFail(blockX, 0, QStringLiteral("outside the facet"));
    QByteArray bytes(qsizetype(m_blocksHigh) * IndexRecordBytes, Qt::Uninitialized);
    if (!readExactly(m_index, qint64(blockX) * m_blocksHigh * IndexRecordBytes, bytes.data(),
                     bytes.size()))
        return blockFail(blockX, 0, QStringLiteral("the statics index cannot be read"));
    out.resize(m_blocksHigh);
    for (int y = 0; y < m_blocksHigh; ++y) {
        const char *r = bytes.constData() + qsizetype(y) * IndexRecordBytes;
        const quint32 offset = qFromLittleEndian<quint32>(r);
        const qint64 length = qFromLittleEndian<qint32>(r + 4);
        out[y] = offset == 0xFFFFFFFFu || length == 0 ? std::pair<qint64, qint64>(-1, 0)
                                                      : std::pair<qint64, qint64>(offset, length);
    }
    return true;
}

bool WorldFacet::readStaticsAt(int blockX, int blockY, std::pair<qint64, qint64> record,
                               QVector<Static> &out)
{
    out.clear();
    const auto [offset, length] = record;
    if (offset < 0)
        return true;
    // A hostile length must neither allocate nor read past the file.
    if (length < 0 || length % StaticRecordBytes)
        return blockFail(blockX, blockY,
                         QStringLiteral("statics length %1 is not a multiple of 7").arg(length));
    if (length / StaticRecordBytes > MaxStaticsPerBlock)
        return blockFail(blockX, blockY, QStringLiteral("%1 statics on one block is more than "
                                                        "a facet holds")
                                             .arg(length / StaticRecordBytes));
    if (offset + length > m_statics.size())
        return blockFail(blockX, blockY, QStringLiteral("statics at %1 + %2 lie past the end of "
                                                        "the file (%3 bytes)")
                                             .arg(offset)
                                             .arg(length)
                                             .arg(m_statics.size()));
    QByteArray bytes(qsizetype(length), Qt::Uninitialized);
    if (!readExactly(m_statics, offset, bytes.data(), length))
        return blockFail(blockX, blockY, QStringLiteral("the statics cannot be read"));
    const int count = int(length / StaticRecordBytes);
    out.resize(count);
    for (int i = 0; i < count; ++i) {
        const char *r = bytes.constData() + qsizetype(i) * StaticRecordBytes;
        Static &s = out[i];
        s.id = qFromLittleEndian<quint16>(r);
        s.x = quint8(r[2]);
        s.y = quint8(r[3]);
        s.z = altitude(r[4]);
        s.hue = qFromLittleEndian<quint16>(r + 5);
        if (s.x >= BlockCells || s.y >= BlockCells)
            return blockFail(blockX, blockY, QStringLiteral("static %1 lies at %2,%3, outside "
                                                            "its block")
                                                 .arg(i)
                                                 .arg(s.x)
                                                 .arg(s.y));
    }
    return true;
}

bool WorldFacet::readStatics(int blockX, int blockY, QVector<Static> &out)
{
    out.clear();
    if (!validBlock(blockX, blockY))
        return blockFail(blockX, blockY, QStringLiteral("outside the facet"));
    char r[IndexRecordBytes];
    if (!readExactly(m_index, (qint64(blockX) * m_blocksHigh + blockY) * IndexRecordBytes, r,
                     IndexRecordBytes))
        return blockFail(blockX, blockY, QStringLiteral("the statics index cannot be read"));
    const quint32 offset = qFromLittleEndian<quint32>(r);
    const qint64 length = qFromLittleEndian<qint32>(r + 4);
    if (offset == 0xFFFFFFFFu || length == 0)
        return true;
    return readStaticsAt(blockX, blockY, {offset, length}, out);
}
