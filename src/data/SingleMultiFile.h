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
    };
    static Loaded read(const QString &path, const TileInfoSource &data);
    // Every tile of the model, location by ascending key, each in draw order.
    static bool write(const QString &path, const Facet &model, QString *error);
    static QList<TileRecord> tilesOf(const Facet &model);
};
