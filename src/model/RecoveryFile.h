#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// A recovery file: the unsaved tiles of one document with what the offer to
// recover them shows (its file name, when it was written, how many tiles).
// An 8-byte tag, then a little-endian data stream of the name, the time in
// ms since the epoch (UTC), the tile count and the document as .mlt bytes.
struct RecoveryFile {
    QString fileName; // the document's own file; empty for an untitled one
    QDateTime written;
    qint32 tiles = 0;
    QByteArray mlt;

    QByteArray toBytes() const;
    // Nothing for a damaged, foreign or oversized file.
    static std::optional<RecoveryFile> fromBytes(const QByteArray &bytes);
    static std::optional<RecoveryFile> read(const QString &path);
    // Regular files only, opened without waiting (a FIFO would block forever).
    static struct RecoveryLoad load(const QString &path);

    static constexpr int MaxNameLength = 4096;
};

// A recovery file read, or why it cannot be recovered: "damaged", "not a file", ...
struct RecoveryLoad {
    std::optional<RecoveryFile> file;
    QString problem;
};
