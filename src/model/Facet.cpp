#include "model/Facet.h"

#include "model/MltFile.h"

#include <QTextStream>

#include <algorithm>

Facet::Facet(const TileInfoSource &data, QObject *parent) : QObject(parent), m_data(data) {}

bool Facet::addTile(qint32 x, qint32 y, const TileRecord &tile)
{
    return putTile(x, y, tile, TileNode());
}

bool Facet::putTile(qint32 x, qint32 y, const TileRecord &tile, TileNode &&node)
{
    if (!editable(x, y)) {
        report("Add Tile outside bounds ", x, y, tile);
        return false;
    }
    TileSet &set = m_locations[locationKey(x, y)];
    const bool present = std::find(set.begin(), set.end(), tile) != set.end();
    if (present && !m_allowDuplicates)
        return false;
    // multiset::insert goes after the equivalent tiles already there.
    if (node.empty()) {
        set.insert(tile);
    } else {
        if (&node.value() != &tile)
            node.value() = tile;
        set.insert(std::move(node));
    }
    ++m_revision;
    if (!present)
        setModified(true);
    return true;
}

bool Facet::removeTile(qint32 x, qint32 y, const TileRecord &tile)
{
    return !takeTile(x, y, tile).empty();
}

Facet::TileNode Facet::takeTile(qint32 x, qint32 y, const TileRecord &tile)
{
    return take(x, y, tile, true);
}

Facet::TileNode Facet::takeTileIfPresent(qint32 x, qint32 y, const TileRecord &tile)
{
    return take(x, y, tile, false);
}

Facet::TileNode Facet::take(qint32 x, qint32 y, const TileRecord &tile, bool reportMissing)
{
    // Whatever is held can be removed, also a tile a file put outside the area.
    const auto entry = m_locations.find(locationKey(x, y));
    if (entry == m_locations.end()) {
        if (reportMissing)
            report("not in lookup ", x, y, tile);
        return {};
    }
    TileSet &set = entry.value();
    const auto found = std::find(set.begin(), set.end(), tile);
    if (found == set.end()) {
        if (reportMissing)
            report("Tile not found in multiset ", x, y, tile);
        return {};
    }
    TileNode node = set.extract(found);
    if (set.empty()) {
        if (m_bulk > 0)
            m_emptied.append(entry.key());
        else
            m_locations.erase(entry);
    }
    ++m_revision;
    setModified(true);
    return node;
}

Facet::TileSet Facet::tilesAt(qint32 x, qint32 y) const
{
    const TileSet *set = tilesAtPtr(x, y);
    return set ? *set : TileSet();
}

const Facet::TileSet *Facet::tilesAtPtr(qint32 x, qint32 y) const
{
    const auto entry = m_locations.constFind(locationKey(x, y));
    return entry == m_locations.constEnd() || entry->empty() ? nullptr : &entry.value();
}

bool Facet::holds(qint32 x, qint32 y, const TileRecord &tile) const
{
    const TileSet *set = tilesAtPtr(x, y);
    return set && std::find(set->cbegin(), set->cend(), tile) != set->cend();
}

void Facet::endBulk()
{
    if (m_bulk == 0 || --m_bulk > 0)
        return;
    // When many were emptied (a moved multi), one walk of the table beats a look-up each.
    constexpr qsizetype WalkShare = 8;
    if (m_emptied.size() > m_locations.size() / WalkShare) {
        m_locations.removeIf([](const LocationTable::iterator &entry) { return entry->empty(); });
    } else {
        for (const quint32 key : std::as_const(m_emptied)) {
            const auto entry = m_locations.find(key);
            if (entry != m_locations.end() && entry->empty())
                m_locations.erase(entry);
        }
    }
    m_emptied.clear();
}

bool Facet::placeAt(qint32 x, qint32 y, TileRecord &tile) const
{
    if (!inside(x, y))
        return false;
    tile.x = x;
    tile.y = y;
    tile.z = qint16(m_altitude);
    return true;
}

void Facet::load(const TileMap &map)
{
    m_locations.clear();
    m_loadedOutside.clear();
    ++m_revision;
    for (const QList<TileRecord> &list : map) {
        for (const TileRecord &tile : list) {
            // Keyed by the tile's own position so every key matches its tiles.
            const quint32 key = locationKey(tile.x, tile.y);
            m_locations[key].insert(tile);
            if (!inside(tile.x, tile.y))
                m_loadedOutside.insert(key);
        }
    }
}

bool Facet::save(const QString &fileName, QString *error)
{
    if (!MltFile::write(fileName, *this, error))
        return false;
    setModified(false);
    return true;
}

void Facet::setModified(bool modified)
{
    if (m_modified == modified)
        return;
    m_modified = modified;
    emit modifiedChanged(modified);
}

QList<quint32> Facet::sortedKeys() const
{
    QList<quint32> keys = m_locations.keys();
    std::sort(keys.begin(), keys.end());
    return keys;
}

int Facet::tileCount() const
{
    int count = 0;
    for (const TileSet &set : m_locations)
        count += int(set.size());
    return count;
}

int Facet::tilesOutside() const
{
    int count = 0;
    for (const quint32 key : m_loadedOutside) {
        const auto entry = m_locations.constFind(key);
        if (entry != m_locations.constEnd())
            count += int(entry.value().size());
    }
    return count;
}

void Facet::report(const char *what, qint32 x, qint32 y, const TileRecord &tile)
{
    // A line on standard output, flushed: the diagnostics users have always grepped for.
    QTextStream(stdout) << what << x << ',' << y << "  " << tile.key() << Qt::endl;
}
