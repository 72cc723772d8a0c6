#pragma once

// Art, hues, tile data and textures held in memory, for views made without a
// main window.
#include "GlTest.h"
#include "MulWriter.h"
#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "data/TileData.h"
#include "model/TileRecord.h"
#include "view/TexMgr.h"

#include <memory>

struct ViewArt {
    TileData data;
    ArtReader art;
    HueTable hues;
    std::unique_ptr<TexMgr> textures;

    void load(const QMap<int, QImage> &statics, const QMap<int, QImage> &land = {})
    {
        const auto files = MulWriter::artFiles(land, statics);
        art.loadFromBytes(files.index, files.data);
    }
    // A texture manager that has made nothing yet.
    TexMgr *newTextures()
    {
        textures = std::make_unique<TexMgr>(&art, &hues);
        return textures.get();
    }
    TileRecord tile(int kind, int id, int x, int y, int z = 0, int hue = 0, int visible = 1) const
    {
        TileRecord t(quint16(id), qint16(hue), qint16(z), data, kind);
        t.x = x;
        t.y = y;
        t.visible = qint16(visible);
        return t;
    }
};
