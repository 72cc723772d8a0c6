#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Where the game's data files are: the data file locations kept under "Brightmoor" /
// "MulSettings", and the defaults derived from the game's installation.
class DataLocations
{
public:
    // Keys in the order they are read at start-up.
    static QStringList readOrder();
    // Keys in the order a save writes them.
    static QStringList writeOrder();

    // The installation directory from the game's registry entries, else from
    // Wine's registry files (or a Program Files scan) under the Wine prefix,
    // else the bundled "sample-data" folder of programDataDirectory(), else empty.
    static QString gameDirectory();
    // The editor's own files (palette.xml, multi.xml, sample-data/): ../share/tilsen
    // from the executable once installed, beside it in the build tree.
    static QString programDataDirectory();
    // What a key falls back to when its stored value is empty or missing.
    static QString defaultFor(const QString &key, const QString &installDir);
    // installDir + "/" + name; when that does not exist, an entry of
    // installDir whose name differs only in case.
    static QString fileIn(const QString &installDir, const QString &name);
    // A stored path as it is when it exists, else the entry of its folder whose
    // name differs only in case ("tiledata.mul" finds "TILEDATA.MUL").
    static QString withCaseFallback(const QString &path);

    // The art container to read instead of the index/data pair: the art
    // location when it names a .uop file, else `artUop` when the pair is
    // missing and the container exists; empty when the pair is to be read.
    static QString artContainer(const QString &artIdx, const QString &artMul, const QString &artUop);
    // The paths of the multi store to use (MultiCollection::forPaths): the
    // container alone when a multi location names one or `multiUop` exists,
    // else the index/data pair.
    static QStringList multiStore(const QString &multiIdx, const QString &multiMul,
                                  const QString &multiUop);

    // Stored values with defaults applied, one per key of readOrder().
    static QStringList load();
    // Writes the (key, value) pairs in the given order, empty values included.
    // False when the store could not be written.
    static bool save(const QList<QPair<QString, QString>> &values);
};
