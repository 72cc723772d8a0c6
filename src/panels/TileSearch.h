#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>
#include <QtGlobal>

class ArtReader;
class TileData;

// The palette's search over every art tile: built once from the tile data
// (lower-case names and flags), then filtered per keystroke without touching
// the readers again.
class TileSearch
{
public:
    // Indexes the art ids that have art, and those without that the tile
    // data names or flags.
    void build(const TileData &data, ArtReader *art);

    // Ids whose entry matches every word of the query, in id order. A word
    // matches a tile whose name contains it, whose flags include the flag it
    // names (wall, roof, door, ...) or whose id it is (decimal or 0x hex).
    // An empty query gives every indexed id.
    QVector<int> filter(const QString &query) const;

    const QVector<int> &ids() const { return m_ids; }
    // The flags of ids()[i].
    const QVector<quint64> &flags() const { return m_flags; }
    int size() const { return int(m_ids.size()); }

private:
    struct Word;
    static QVector<Word> parse(const QString &query);

    QVector<int> m_ids;
    QVector<quint64> m_flags;
    QVector<QByteArray> m_names; // lower case, Latin-1 as the file holds them
};
