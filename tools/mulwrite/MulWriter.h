#pragma once

#include <QByteArray>
#include <QImage>
#include <QMap>
#include <QVector>
#include <QtGlobal>

// Writers of the game's data formats, for the sample data generator and for
// tests that need realistic files. Every function returns the bytes of one
// entry or of one whole file (little-endian); nothing touches the disk.
class MulWriter
{
public:
    // Record numbers in artidx.mul: terrain id n is record n, art id n is 0x4000 + n.
    static constexpr int ArtIndexOffset = 0x4000;
    static constexpr int ClassicArtRecords = 0x8000;
    static constexpr int LandDiamond = 44;
    static constexpr qint64 MaxStaticPixels = 4096 * 4096;
    static constexpr int MaxIndexRecords = 0x1000000;

    // 16-bit game colour (5 bits per channel) of an ARGB pixel. Drawn pixels
    // never come out as 0, which art entries treat as transparent: black
    // becomes 0x0421. A pixel with alpha below 128 gives 0.
    static quint16 colour(QRgb pixel);
    static quint16 opaqueColour(QRgb pixel);

    // A terrain entry (1012 colours, 2024 bytes): the 44 x 44 diamond of the
    // image, row by row; pixels outside the diamond are not stored.
    static QByteArray landEntry(const QImage &image);
    // A run-length art entry of the image; transparent pixels become skips.
    static QByteArray staticEntry(const QImage &image);
    // The same from raw game colours, row by row (0 = transparent). Empty when
    // the size is out of range or the runs outgrow the signed 16-bit line table.
    static QByteArray staticEntry(int width, int height, const QVector<quint16> &colours);

    // One 12-byte index record: offset (-1 = absent), length, an unused field.
    struct IndexRecord {
        qint32 offset = -1;
        qint32 length = -1;
        quint32 extra = 0;
    };
    struct IndexedFile {
        QByteArray index;
        QByteArray data;
    };
    // An index of recordCount records and its data file; entries are keyed by
    // record number and laid out in that order. Records without an entry are
    // absent (offset -1); keys outside [0, recordCount) are dropped.
    static IndexedFile indexedFile(const QMap<int, QByteArray> &entries, int recordCount);
    // Overwrites (or appends, growing the index) record n; n outside
    // [0, MaxIndexRecords) is ignored.
    static void putIndexRecord(QByteArray &index, int n, const IndexRecord &record);

    // Art files from terrain images (44 x 44) and art images keyed by id.
    static IndexedFile artFiles(const QMap<int, QImage> &land, const QMap<int, QImage> &statics,
                                int recordCount = ClassicArtRecords);

    struct LandInfo {
        quint64 flags = 0;
        quint16 textureId = 0;
        QByteArray name; // Latin-1, at most 20 bytes are kept
    };
    struct StaticInfo {
        quint64 flags = 0;
        quint8 height = 0;
        QByteArray name;
    };
    enum class TileDataLayout {
        Classic, // 32-bit flags: 26-byte terrain and 37-byte art records
        Flags64  // 64-bit flags: 30-byte terrain and 41-byte art records
    };
    // tiledata.mul: 16384 terrain records, then staticCount art records (a
    // multiple of 32; 16384 in the classic file).
    static QByteArray tileData(const QMap<int, LandInfo> &land, const QMap<int, StaticInfo> &statics,
                               TileDataLayout layout = TileDataLayout::Classic,
                               int staticCount = 16384);
    static constexpr int TileDataLandSection = 428032;

    struct Hue {
        QVector<quint16> colours; // 32 colours; missing ones are written as 0
        quint16 tableStart = 0;
        quint16 tableEnd = 0;
        QByteArray name;          // at most 20 bytes are kept
    };
    // hues.mul: blocks of a 4-byte header and 8 entries; the last block is
    // filled up with empty entries.
    static QByteArray hues(const QVector<Hue> &hues);

    struct MultiTile {
        quint16 id = 0;
        qint16 x = 0;
        qint16 y = 0;
        qint16 z = 0;
        quint32 flags = 1; // low half: visible
    };
    // One multi.mul entry: 12-byte records, or 16-byte records (a 4-byte zero
    // field after the flags) as newer clients write them.
    static QByteArray multiEntry(const QVector<MultiTile> &tiles, int recordSize = 12);
    // multi.idx and multi.mul from entries keyed by entry number; entry
    // numbers without an entry are absent (offset -1).
    static IndexedFile multiFiles(const QMap<int, QVector<MultiTile>> &entries, int recordCount,
                                  int recordSize = 12);
};
