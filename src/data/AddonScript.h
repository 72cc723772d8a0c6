#pragma once

#include "model/TileRecord.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

class TileInfoSource;

// The addon scripts of the C# game servers as a multi file (".cs"): a class
// deriving from BaseAddon whose constructor places AddonComponents at x, y, z
// offsets, with its deed. Reading takes what literal values say and lists the
// rest by line; writing makes a script the server compiles as it is.
class AddonScript
{
public:
    // A script larger than this is no addon, and reading it whole would only cost memory.
    static constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
    // Components must fit the editing area and the game's altitudes.
    static constexpr int MinOffset = -200;
    static constexpr int MaxOffset = 199;
    static constexpr int MinZ = -128;
    static constexpr int MaxZ = 127;
    static constexpr int MaxHue = 32767;
    static constexpr int MaxId = 0xFFFF;

    struct Component {
        quint16 id = 0;
        qint16 x = 0;
        qint16 y = 0;
        qint16 z = 0;
        qint16 hue = 0;
    };
    struct AddonClass {
        QString name;
        int line = 0;
        QVector<Component> components;
        // Lines whose components are not literal values (or run in a loop or
        // a condition), ascending, each once.
        QVector<int> unevaluated;
        // Components that had a light, a name or an amount, which a multi cannot hold.
        int leftOut = 0;
    };
    struct Parsed {
        bool ok = false;
        QString error; // "line N: ..." for bad input
        QVector<AddonClass> classes;
    };
    struct Loaded {
        bool ok = false;
        QString error;
        QString className;
        TileMap tiles;
        QStringList warnings;
    };

    // Reads and parses a whole file; errors name it.
    static Parsed readFile(const QString &path);
    // The class called `name`, the first when `name` is empty; -1 with *error when there is none.
    static int find(const Parsed &parsed, const QString &name, QString *error);
    static TileMap tilesOf(const AddonClass &addon, const TileInfoSource &data);
    // What the user is told about an import: the lines that could not be evaluated, what was left out.
    static QStringList warningsOf(const AddonClass &addon);
    // All of the above for one class.
    static Loaded read(const QString &path, const TileInfoSource &data, const QString &className = QString());

    struct WriteOptions {
        QString className; // a C# identifier
        QString deedName;
        QString source;    // the multi it came from, named in the header comment
    };
    // Class and deed names made from the file name; `source` is left empty.
    static WriteOptions optionsFor(const QString &path);
    // Through a safe write; *notes says which tiles a script cannot hold.
    static bool write(const QString &path, const QList<TileRecord> &tiles, const WriteOptions &options,
                      QString *error, QStringList *notes = nullptr);
};
