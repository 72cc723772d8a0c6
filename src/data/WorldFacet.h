#pragma once

#include "data/DataFileStatus.h"

#include <QFile>
#include <QSize>
#include <QString>
#include <QVector>

#include <array>
#include <memory>
#include <optional>

class UopFile;

// The world map files of one facet N: terrain in mapN.mul (or the newer
// client's mapNLegacyMUL.uop, the same bytes cut into consecutive entries),
// statics in staidxN.mul and staticsN.mul. The facet is cut into blocks of
// 8 x 8 cells stored column by column (index = blockX * blocksHigh + blockY).
//
// Nothing read is trusted: every block and static record is checked against
// the files' sizes and the block's bounds, and a read that fails or comes up
// short is an error naming the block, never an empty block.
class WorldFacet
{
public:
    static constexpr int BlockCells = 8;
    static constexpr int LandBlockBytes = 4 + 64 * 3; // header, then id (u16) and z (s8) per cell
    static constexpr int IndexRecordBytes = 12;       // offset, length, unused
    static constexpr int StaticRecordBytes = 7;       // id, x, y, z, hue
    static constexpr int MaxFacet = 5;
    // Far more than any facet holds on one block; bounds a hostile length.
    static constexpr qint64 MaxStaticsPerBlock = 1 << 16;

    struct Cell {
        quint16 id = 0;
        qint16 z = 0; // -128..127
    };
    using LandBlock = std::array<Cell, BlockCells * BlockCells>; // index y * 8 + x
    // The index of the cell at x, y (0..7 each) of a block.
    static constexpr size_t cellIndex(int x, int y) { return size_t(y) * BlockCells + size_t(x); }
    struct Static {
        quint16 id = 0;
        quint8 x = 0; // 0..7 within the block
        quint8 y = 0;
        qint16 z = 0; // -128..127
        quint16 hue = 0;
    };

    WorldFacet();
    ~WorldFacet();
    WorldFacet(const WorldFacet &) = delete;
    WorldFacet &operator=(const WorldFacet &) = delete;

    // The size in cells of facet `facet` whose terrain has `bytes` bytes;
    // nothing when the length fits no known facet size.
    static std::optional<QSize> sizeForTerrainBytes(qint64 bytes, int facet);
    // Facet numbers whose files are in `dir` (names compared without case).
    static QVector<int> facetsIn(const QString &dir);
    // One line of the data file report for each facet in `dir`.
    static QVector<DataFileStatus> statuses(const QString &dir);
    // "map4.mul" or "map4LegacyMUL.uop", whichever is there; empty when neither.
    static QString terrainFile(const QString &dir, int facet);

    // Opens facet `facet` of `dir`. `size` (cells) overrides the size the
    // terrain's length gives; it is needed when the length fits no known facet.
    bool open(const QString &dir, int facet, QSize size = QSize());
    QString errorString() const { return m_error; }
    int facet() const { return m_facet; }
    QSize size() const { return QSize(m_blocksWide * BlockCells, m_blocksHigh * BlockCells); }
    int blocksWide() const { return m_blocksWide; }
    int blocksHigh() const { return m_blocksHigh; }

    bool readLand(int blockX, int blockY, LandBlock &out);
    // The statics of a block in file order; an empty vector for a block without any.
    bool readStatics(int blockX, int blockY, QVector<Static> &out);
    // A whole column of blocks' terrain in one read (blocksHigh blocks, in order).
    bool readLandColumn(int blockX, QVector<LandBlock> &out);
    // The index records of a whole column: (offset, length) per block.
    bool readIndexColumn(int blockX, QVector<std::pair<qint64, qint64>> &out);
    // The statics at one index record (as readIndexColumn gives it).
    bool readStaticsAt(int blockX, int blockY, std::pair<qint64, qint64> record,
                       QVector<Static> &out);

private:
    bool fail(const QString &reason);
    bool blockFail(int blockX, int blockY, const QString &reason);
    bool readTerrain(qint64 at, char *to, qint64 bytes);
    bool validBlock(int blockX, int blockY) const;

    struct TerrainChunk {
        qint64 start = 0; // offset in the terrain's bytes
        qint64 size = 0;
        int entry = 0;    // entry of the container
    };
    QFile m_terrain;
    std::unique_ptr<UopFile> m_container;
    QVector<TerrainChunk> m_chunks; // the container's entries in order
    QByteArray m_chunk;             // the last chunk unpacked
    int m_chunkIndex = -1;
    qint64 m_terrainBytes = 0;
    QFile m_index;
    QFile m_statics;
    int m_facet = -1;
    int m_blocksWide = 0;
    int m_blocksHigh = 0;
    QString m_error;
};
