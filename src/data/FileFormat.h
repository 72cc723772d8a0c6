#pragma once

#include "model/TileRecord.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class MultiCollection;
class TileInfoSource;

// One kind of multi file, known by its suffix: what it is called, what it
// keeps of a tile, how it is read and written. FileFormats lists them all;
// the file dialogs, Open, Save As and mltool ask it, never a suffix.
class FileFormat
{
public:
    // The forms that need a question of their own in the window.
    enum class Id { Mlt, Csv, ComponentList, AddonScript };
    // What a file keeps of a tile besides its id and place.
    struct Keeps {
        bool hue = true;
        bool visibility = true;
        bool names = false; // a name per tile (a component's name)
    };
    struct ReadOptions {
        QString part; // the addon class to read; empty: the first
    };
    struct Loaded {
        bool ok = false;
        QString error;
        TileMap tiles;
        // What was read but could not be taken (an addon script's lines that
        // could not be evaluated, its lights and names).
        QStringList warnings;
    };
    struct WriteOptions {
        QString source;   // the multi it came from, where the format names it
        QString deedName; // an addon's deed; empty: from the file name
    };
    struct Written {
        QString error;
        QStringList notes; // the tiles the format cannot hold
        int entry = -1;    // where a format of many multis stored them
    };
    // One multi of the file (of many: the first).
    using Reader = std::function<Loaded(const QString &path, const TileInfoSource &data, const ReadOptions &options)>;
    // Tiles location by ascending key, each in draw order; false with out.error on failure.
    // A format of many multis stores them under its first free number, replacing none.
    using Writer = std::function<bool(const QString &path, const QList<TileRecord> &tiles,
                                      const WriteOptions &options, Written &out)>;
    // A format of many multis under numbers opens as a store.
    using Opener = std::function<std::unique_ptr<MultiCollection>(const QString &path)>;

    struct Description {
        Id id;
        QString suffix;
        QString name; // in file dialogs: "CSV"
        Keeps keeps;
    };
    FileFormat(Description description, Reader reader, Writer writer, Opener opener = {});

    Id id() const { return m_description.id; }
    const QString &suffix() const { return m_description.suffix; }
    const QString &description() const { return m_description.name; }
    Keeps keeps() const { return m_description.keeps; }
    // "CSV (*.csv)"
    QString filter() const;
    bool isFormatOf(const QString &path) const;

    Loaded read(const QString &path, const TileInfoSource &data, const ReadOptions &options = {}) const;
    bool write(const QString &path, const QList<TileRecord> &tiles, const WriteOptions &options, Written &out) const;
    // Null for a format of one multi a file.
    std::unique_ptr<MultiCollection> collection(const QString &path) const;

private:
    Description m_description;
    Reader m_reader;
    Writer m_writer;
    Opener m_opener;
};
