#pragma once

#include "model/RecordCodec.h"
#include "model/TileRecord.h"

#include <QByteArray>
#include <QString>

class Facet;
class TileInfoSource;

struct MltReadResult {
    // Unreadable: a read error, or a header cut short; `error` says which.
    enum Status { Ok, CannotOpen, BadVersion, TooLarge, Unreadable } status = Ok;
    quint32 version = 0;
    QString error;
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
    // The same from tiles location by location, each location in draw order;
    // equal tiles at one location are written once, as from a model.
    static QByteArray toBytes(const QList<TileRecord> &tiles);
    // Through a temporary file: a failed write leaves any existing file untouched
    // and puts the system's reason in *error.
    static bool write(const QString &path, const Facet &model, QString *error = nullptr);

    static constexpr int HeaderSize = 4;
    static constexpr int EntrySize = RecordCodec::Size;
    // 48 MiB, four million tiles, ten times a full area one tile deep: anything
    // larger is not a multi, and reading it whole would only exhaust memory.
    static constexpr qint64 MaxFileSize = qint64(48) * 1024 * 1024;
    static QString tooLargeMessage(const QString &path);
    // Why `result` cannot be used as the whole of the file at `path`, naming
    // it; empty when it can. A damaged file counts: its lost bytes would be lost again.
    static QString problem(const QString &path, const MltReadResult &result);

private:
    static void appendEntry(QByteArray &out, const TileRecord &tile);
};
