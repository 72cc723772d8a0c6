#pragma once

#include "model/TileRecord.h"

#include <QString>
#include <QStringList>

class Facet;
class TileInfoSource;

// Files that hold one multi, chosen by suffix: the editor's ".mlt", ".csv" and
// a server's addon script, ".cs" (its first addon class; AddonScript picks others).
// (The component list, ".txt", holds many and is a MultiCollection.)
class SingleMultiFile
{
public:
    enum class Format { Mlt, Csv, ComponentList, AddonScript, Unknown };
    static Format formatOf(const QString &path);
    // The name a save writes: a typed suffix of a known format picks that
    // format whatever filter is chosen; any other name gets the filter's suffix.
    static QString saveName(const QString &typed, const QString &filterSuffix);
    // How many of the tiles carry a hue that the file's format cannot keep,
    // and the sentence that tells it, asked before writing and printed by mltool.
    static int huesLost(const QString &path, const QList<TileRecord> &tiles);
    static QString hueLossText(int count);

    struct Loaded {
        bool ok = false;
        QString error;
        TileMap tiles;
        // What was read but could not be taken (an addon script's lines that
        // could not be evaluated, its lights and names).
        QStringList warnings;
    };
    static Loaded read(const QString &path, const TileInfoSource &data);
    // Every tile of the model, location by ascending key, each in draw order.
    // *notes: the tiles the format cannot hold (an addon script's invisible ones).
    static bool write(const QString &path, const Facet &model, QString *error, QStringList *notes = nullptr);
    static QList<TileRecord> tilesOf(const Facet &model);
    // What tilesOf() gives for a model loaded from `tiles`, without the model;
    // the map is emptied on the way, so each tile is held once.
    static QList<TileRecord> takeInDrawOrder(TileMap &tiles);
    static bool write(const QString &path, const QList<TileRecord> &tilesInDrawOrder, QString *error,
                      QStringList *notes = nullptr);
};
