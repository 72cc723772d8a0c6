#pragma once

#include "scene/TileIdentity.h"

#include <QHash>
#include <QVarLengthArray>

#include <optional>
#include <vector>

// The selected identities of one kind, by location key. Locations of the
// editing area find their entry through a dense index, one int each, and the
// entries lie packed in one list: selecting or moving a whole multi hashes
// nothing and allocates nothing per location, and clearing keeps the room.
// Locations outside the area (kept from loaded files) go through a hash.
class SelectionSet
{
public:
    // Nearly every location holds one selected tile: kept inline.
    using Entries = QVarLengthArray<TileIdentity, 1>;

    // Walks the occupied locations in no particular order, as a hash would.
    class const_iterator
    {
    public:
        const_iterator(const SelectionSet *set, size_t slot) : m_set(set), m_slot(slot) {}
        quint32 key() const { return m_set->m_keys[m_slot]; }
        const Entries &value() const { return m_set->m_entries[m_slot]; }
        const Entries &operator*() const { return value(); }
        const Entries *operator->() const { return &value(); }
        const_iterator &operator++()
        {
            ++m_slot;
            return *this;
        }
        bool operator==(const const_iterator &o) const { return m_slot == o.m_slot; }
        bool operator!=(const const_iterator &o) const { return m_slot != o.m_slot; }

    private:
        const SelectionSet *m_set;
        size_t m_slot;
    };

    const Entries *find(quint32 key) const;
    Entries *find(quint32 key);
    // The entries of the location, added empty when it has none.
    Entries &operator[](quint32 key);
    void erase(quint32 key);
    void clear();
    // Room for this many locations in all.
    void reserve(qsizetype locations);
    bool isEmpty() const { return m_keys.empty(); }
    // Occupied locations.
    qsizetype size() const { return qsizetype(m_keys.size()); }

    // The corners of the occupied locations of the editing area; none when
    // there are none. Found by one pass over the keys: the adds stay as cheap.
    struct Area {
        qint32 left = 0;
        qint32 top = 0;
        qint32 right = -1;
        qint32 bottom = -1;
    };
    std::optional<Area> gridArea() const;
    // The locations outside the editing area.
    QList<quint32> farKeys() const { return m_far.keys(); }

    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, m_keys.size()}; }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }

private:
    // The editing area's square of locations, corner and side.
    static constexpr qint32 GridOrigin = -200;
    static constexpr qint32 GridSide = 400;
    static constexpr qint32 NoSlot = -1;

    // The location's place in the dense index; none outside the area.
    static std::optional<size_t> cellOf(quint32 key);
    std::optional<size_t> slotOf(quint32 key) const;
    void setSlot(quint32 key, qint32 slot);

    std::vector<qint32> m_grid;
    QHash<quint32, qint32> m_far;
    std::vector<quint32> m_keys;
    std::vector<Entries> m_entries;
};
