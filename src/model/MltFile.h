#pragma once

#include "model/RecordCodec.h"
#include "model/TileRecord.h"

#include <QByteArray>
#include <QString>

class Facet;
class TileInfoSource;

struct MltReadResult {
    enum Status { Ok, CannotOpen, BadVersion, TooLarge } status = Ok;
    quint32 version = 0;
    TileMap tiles;
    // A header cut short or a partial last entry: the bytes that were left out.
    bool damaged = false;
    qsizetype ignoredBytes = 0;
};

// The editor's own ".mlt" file: a 32-bit version word (0), then one 12-byte
// little-endian entry per art tile: id, x, y, z, visible, hue.
class MltFile
{
public:
    static MltReadResult read(const QString &path, const TileInfoSource &data);
    static MltReadResult fromBytes(const QByteArray &bytes, const TileInfoSource &data);
    static QByteArray toBytes(const Facet &model);
    // Through a temporary file: a failed write leaves any existing file untouched
    // and puts the system's reason in *error.
    static bool write(const QString &path, const Facet &model, QString *error = nullptr);

    static constexpr int HeaderSize = 4;
    static constexpr int EntrySize = RecordCodec::Size;
    // Four million tiles, ten times a full area one tile deep: anything larger
    // is not a multi, and reading it whole would only exhaust memory.
    static constexpr qint64 MaxFileSize = HeaderSize + qint64(EntrySize) * 4 * 1024 * 1024;
    static QString tooLargeMessage(const QString &path);

private:
    static void appendEntry(QByteArray &out, const TileRecord &tile);
};
