#include "scene/ScenePreviewer.h"

#include "model/Facet.h"
#include "scene/SceneRenderer.h"

#include <QFileInfo>

#include <algorithm>

ScenePreviewer::ScenePreviewer(const Files &files, const QSize &size) : m_files(files), m_size(size) {}

ScenePreviewer::~ScenePreviewer() = default;

void ScenePreviewer::open()
{
    m_opened = true;
    m_art = std::make_unique<ArtReader>(m_files.artIdx, m_files.artMul, m_files.texIdx,
                                        m_files.texMaps);
    if (QFileInfo(m_files.hues).isFile())
        m_hues.load(m_files.hues);
    if (QFileInfo(m_files.tileData).isFile())
        m_data.load(m_files.tileData);
    m_store = MultiCollection::forPaths(m_files.store);
    if (m_store && !m_store->open())
        m_store.reset();
}

EntryPreview ScenePreviewer::preview(int number)
{
    if (!m_opened)
        open();
    EntryPreview p;
    TileMap tiles;
    if (!m_store || !m_store->readEntry(number, m_data, tiles)) {
        p.error = m_store ? m_store->errorString() : QString();
        return p;
    }
    return of(tiles, m_data, m_art.get(), &m_hues, m_size);
}

EntryPreview ScenePreviewer::of(const TileMap &tiles, const TileInfoSource &data, ArtReader *art,
                                HueTable *hues, const QSize &size)
{
    EntryPreview p;
    p.valid = true;
    Facet model(data);
    model.setAllowDuplicates(true);
    model.load(tiles);
    bool first = true;
    for (const QList<TileRecord> &list : tiles) {
        for (const TileRecord &t : list) {
            ++p.tileCount;
            if (first) {
                p.minX = p.maxX = t.x;
                p.minY = p.maxY = t.y;
                p.minZ = p.maxZ = t.z;
                first = false;
            }
            p.minX = std::min(p.minX, t.x);
            p.maxX = std::max(p.maxX, t.x);
            p.minY = std::min(p.minY, t.y);
            p.maxY = std::max(p.maxY, t.y);
            p.minZ = std::min(p.minZ, int(t.z));
            p.maxZ = std::max(p.maxZ, int(t.z));
        }
    }
    SceneRenderer renderer(art, hues);
    p.picture = renderer.thumbnail(model, size);
    return p;
}
