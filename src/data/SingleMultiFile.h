#pragma once

#include "model/TileRecord.h"

#include <QString>

class Facet;
class TileInfoSource;

// Files that hold one multi, chosen by suffix: the editor's ".mlt" and ".csv".
// (The component list, ".txt", holds many and is a MultiCollection.)
class SingleMultiFile
{
public:
    enum class Format { Mlt, Csv, ComponentList, Unknown };
    static Format formatOf(const QString &path);

    struct Loaded {
        bool ok = false;
        QString error;
        TileMap tiles;
    };
    static Loaded read(const QString &path, const TileInfoSource &data);
    // Every tile of the model, location by ascending key, each in draw order.
    static bool write(const QString &path, const Facet &model, QString *error);
    static QList<TileRecord> tilesOf(const Facet &model);
    // What tilesOf() gives for a model loaded from `tiles`, without the model;
    // the map is emptied on the way, so each tile is held once.
    static QList<TileRecord> takeInDrawOrder(TileMap &tiles);
    static bool write(const QString &path, const QList<TileRecord> &tilesInDrawOrder, QString *error);
};
