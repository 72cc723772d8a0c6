#pragma once

#include "model/TileRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

class TileInfoSource;

// One multi as CSV for spreadsheets: the header "kind,id,x,y,z,hue,visible",
// then one tile per line (kind "art" or "terrain", numbers in decimal).
class CsvFile
{
public:
    static const char *const Header;
    // Far more than the longest line for each of the most tiles a .mlt file may hold.
    static constexpr qint64 MaxFileSize = qint64(256) * 1024 * 1024;

    struct ReadResult {
        bool ok = false;
        QString error; // "line N: ..." when the input is bad
        TileMap tiles;
    };

    static ReadResult read(const QString &path, const TileInfoSource &data);
    static ReadResult fromBytes(const QByteArray &bytes, const TileInfoSource &data);
    static QByteArray toBytes(const QList<TileRecord> &tiles);
    // Through a safe write; false with *error set on failure.
    static bool write(const QString &path, const QList<TileRecord> &tiles, QString *error);
};
