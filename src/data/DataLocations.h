#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Where the game's data files are: the ten locations kept under "Brightmoor" /
// "MulSettings", and the defaults derived from the game's installation.
class DataLocations
{
public:
    // Keys in the order they are read at start-up.
    static QStringList readOrder();
    // Keys in the order a save writes them.
    static QStringList writeOrder();

    // The installation directory from the game's registry entries, else the
    // bundled "sample-data" folder beside the executable, else empty.
    static QString gameDirectory();
    // What a key falls back to when its stored value is empty or missing.
    static QString defaultFor(const QString &key, const QString &installDir);
    // installDir + "/" + name; when that does not exist, an entry of
    // installDir whose name differs only in case.
    static QString fileIn(const QString &installDir, const QString &name);
    // A stored path as it is when it exists, else the entry of its folder whose
    // name differs only in case ("tiledata.mul" finds "TILEDATA.MUL").
    static QString withCaseFallback(const QString &path);

    // Stored values with defaults applied, one per key of readOrder().
    static QStringList load();
    // Writes the (key, value) pairs in the given order, empty values included.
    // False when the store could not be written.
    static bool save(const QList<QPair<QString, QString>> &values);
};
