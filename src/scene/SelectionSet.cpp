#include "scene/SelectionSet.h"

#include <algorithm>

std::optional<size_t> SelectionSet::cellOf(quint32 key)
{
    const qint32 col = keyX(key) - GridOrigin;
    const qint32 row = keyY(key) - GridOrigin;
    if (col < 0 || col >= GridSide || row < 0 || row >= GridSide)
        return std::nullopt;
    return size_t(row) * GridSide + size_t(col);
}

std::optional<size_t> SelectionSet::slotOf(quint32 key) const
{
    qint32 slot = NoSlot;
    if (const auto cell = cellOf(key)) {
        if (!m_grid.empty())
            slot = m_grid[*cell];
    } else {
        slot = m_far.value(key, NoSlot);
    }
    if (slot == NoSlot)
        return std::nullopt;
    return size_t(slot);
}

void SelectionSet::setSlot(quint32 key, qint32 slot)
{
    if (const auto cell = cellOf(key)) {
        // The index is made on the first location of the area, not for every empty set.
        if (m_grid.empty())
            m_grid.assign(size_t(GridSide) * GridSide, NoSlot);
        m_grid[*cell] = slot;
    } else if (slot == NoSlot) {
        m_far.remove(key);
    } else {
        m_far.insert(key, slot);
    }
}

const SelectionSet::Entries *SelectionSet::find(quint32 key) const
{
    const auto slot = slotOf(key);
    return slot ? &m_entries[*slot] : nullptr;
}

SelectionSet::Entries *SelectionSet::find(quint32 key)
{
    const auto slot = slotOf(key);
    return slot ? &m_entries[*slot] : nullptr;
}

SelectionSet::Entries &SelectionSet::operator[](quint32 key)
{
    if (const auto slot = slotOf(key))
        return m_entries[*slot];
    setSlot(key, qint32(m_keys.size()));
    m_keys.push_back(key);
    m_entries.emplace_back();
    return m_entries.back();
}

// The last location takes the place of the erased one: the list stays packed.
void SelectionSet::erase(quint32 key)
{
    const auto slot = slotOf(key);
    if (!slot)
        return;
    const size_t last = m_keys.size() - 1;
    if (*slot != last) {
        m_keys[*slot] = m_keys[last];
        // A copy, not a move: Qt 6.4's QVarLengthArray move assignment leaks
        // the storage the target had on the heap.
        m_entries[*slot] = m_entries[last];
        setSlot(m_keys[*slot], qint32(*slot));
    }
    m_keys.pop_back();
    m_entries.pop_back();
    setSlot(key, NoSlot);
}

void SelectionSet::clear()
{
    // Resetting a few cells one by one is cheaper than the whole index; many, the reverse.
    constexpr size_t FewCells = 4096;
    if (m_keys.size() < FewCells) {
        for (const quint32 key : m_keys) {
            if (const auto cell = cellOf(key))
                m_grid[*cell] = NoSlot;
        }
    } else {
        std::fill(m_grid.begin(), m_grid.end(), NoSlot);
    }
    m_far.clear();
    m_keys.clear();
    m_entries.clear();
}

std::optional<SelectionSet::Area> SelectionSet::gridArea() const
{
    qint32 left = GridOrigin + GridSide, top = left, right = GridOrigin - 1, bottom = right;
    for (const quint32 key : m_keys) {
        if (!cellOf(key))
            continue;
        const qint32 x = keyX(key), y = keyY(key);
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    if (left > right)
        return std::nullopt;
    return Area{left, top, right, bottom};
}

void SelectionSet::reserve(qsizetype locations)
{
    if (locations <= 0)
        return;
    m_keys.reserve(size_t(locations));
    m_entries.reserve(size_t(locations));
}
