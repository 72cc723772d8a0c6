#pragma once

#include "data/DataFileStatus.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <optional>

// The client's radar colours (radarcol.mul): one game colour (5-5-5 RGB) per
// terrain id, then one per art id from 0x4000. Read whole and bounded; a
// short, oversized or unreadable file is reported by status(), and a short
// one still gives the colours it holds.
class RadarColours
{
public:
    static constexpr int LandEntries = 0x4000;
    static constexpr int ClassicEntries = 0x8000;
    // Terrain ids and up to 65536 art ids: the largest file a client writes.
    static constexpr int MaxEntries = LandEntries + 0x10000;

    RadarColours() = default;
    explicit RadarColours(const QString &path) { load(path); }

    void load(const QString &path);
    // Where the data file locations (or their defaults) put radarcol.mul.
    static QString storedPath();
    // The same from bytes in memory (tests and fuzzing).
    void loadFromBytes(const QByteArray &bytes);

    // The colour of a terrain (art false) or art id; none past the file's end.
    std::optional<quint16> colour(bool art, int id) const;
    int size() const { return int(m_colours.size()); }
    DataFileStatus status() const { return m_status; }

private:
    void take(const QByteArray &bytes, qint64 fileSize);

    QVector<quint16> m_colours;
    DataFileStatus m_status;
};
