#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

#include <functional>

// Writes a facet's world map files (mapN.mul, staidxN.mul, staticsN.mul) for
// the sample data, tests and benchmarks: 8 x 8 blocks stored column by column.
class FacetWriter
{
public:
    struct Cell {
        quint16 id = 0;
        int z = 0; // -128..127
    };
    struct Static {
        quint16 id = 0;
        int x = 0; // world cells
        int y = 0;
        int z = 0; // -128..127
        quint16 hue = 0;
    };
    // The terrain of a world cell.
    using Terrain = std::function<Cell(int x, int y)>;
    // The statics of a block (world coordinates inside it), in file order.
    using Statics = std::function<QVector<Static>(int blockX, int blockY)>;

    // Writes the three files of facet `facet` into `dir` (width and height in
    // cells, multiples of 8). Blocks without statics get offset -1. False with
    // *error when a file cannot be written.
    static bool write(const QString &dir, int facet, int width, int height, const Terrain &terrain,
                      const Statics &statics, QString *error = nullptr);
    // mapN.mul's bytes as the newer client's mapNLegacyMUL.uop: consecutive
    // entries of `chunkBytes` each.
    static QByteArray terrainContainer(const QByteArray &terrain, int facet, int chunkBytes);
};
