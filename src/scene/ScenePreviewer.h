#pragma once

#include "data/ArtReader.h"
#include "data/EntryPreview.h"
#include "data/HueTable.h"
#include "data/MultiCollection.h"
#include "data/TileData.h"

#include <QSize>
#include <QStringList>

#include <memory>

// Chooser previews drawn by the CPU renderer from readers of its own (made
// on first use, on the thread that calls), so that it can work beside the
// window's readers.
class ScenePreviewer : public EntryPreviewer
{
public:
    struct Files {
        QStringList store; // the paths MultiCollection::forPaths takes
        QString artIdx, artMul, hues, tileData;
        QString texIdx, texMaps; // opened by the art reader, not drawn
    };

    ScenePreviewer(const Files &files, const QSize &size);
    ~ScenePreviewer() override;
    EntryPreview preview(int number) override;

    // The preview of tiles already read.
    static EntryPreview of(const TileMap &tiles, const TileInfoSource &data, ArtReader *art,
                           HueTable *hues, const QSize &size);

private:
    void open();

    Files m_files;
    QSize m_size;
    bool m_opened = false;
    std::unique_ptr<ArtReader> m_art;
    HueTable m_hues;
    TileData m_data;
    std::unique_ptr<MultiCollection> m_store;
};
