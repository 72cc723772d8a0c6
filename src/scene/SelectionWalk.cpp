#include "scene/SelectionWalk.h"

#include "scene/Selection.h"

#include <algorithm>
#include <tuple>

bool SelectionWalk::before(const TileIdentity &a, const TileIdentity &b)
{
    return std::tie(a.y, a.x, a.kind, a.z, a.id) < std::tie(b.y, b.x, b.kind, b.z, b.id);
}

void SelectionWalk::start(const Selection &sel)
{
    m_far.clear();
    m_farNext = 0;
    std::optional<SelectionSet::Area> area;
    for (int kind : {Terrain, Art}) {
        const SelectionSet &set = sel.set(kind);
        for (const quint32 key : set.farKeys())
            if (const SelectionSet::Entries *entries = set.find(key))
                m_far.insert(m_far.end(), entries->cbegin(), entries->cend());
        if (const auto a = set.gridArea())
            area = !area ? *a
                         : SelectionSet::Area{std::min(area->left, a->left), std::min(area->top, a->top),
                                              std::max(area->right, a->right), std::max(area->bottom, a->bottom)};
    }
    std::sort(m_far.begin(), m_far.end(), before);
    const SelectionSet::Area cells = area.value_or(SelectionSet::Area{});
    m_left = cells.left;
    m_right = cells.right;
    m_bottom = cells.bottom;
    m_x = cells.left;
    m_y = cells.top;
    m_revision = sel.revision();
    m_done = false;
}

void SelectionWalk::extend(const Selection &sel, std::vector<TileIdentity> &rows, size_t count)
{
    if (sel.revision() != m_revision)
        m_done = true;
    while (!m_done && rows.size() < count) {
        if (m_y > m_bottom) {
            rows.insert(rows.end(), m_far.cbegin() + qsizetype(m_farNext), m_far.cend());
            m_done = true;
            break;
        }
        // Locations outside the area that come before this cell come first.
        for (; m_farNext < m_far.size(); ++m_farNext) {
            const TileIdentity &f = m_far[m_farNext];
            if (std::tie(f.y, f.x) > std::tie(m_y, m_x))
                break;
            rows.push_back(f);
        }
        const quint32 key = locationKey(m_x, m_y);
        const size_t from = rows.size();
        for (int kind : {Terrain, Art})
            if (const SelectionSet::Entries *entries = sel.set(kind).find(key))
                rows.insert(rows.end(), entries->cbegin(), entries->cend());
        if (rows.size() - from > 1)
            std::sort(rows.begin() + qsizetype(from), rows.end(), before);
        if (++m_x > m_right) {
            m_x = m_left;
            ++m_y;
        }
    }
}
