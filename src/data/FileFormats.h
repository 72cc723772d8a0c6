#pragma once

#include "data/FileFormat.h"

#include <QVector>

// The registry of multi file formats. A new format is a function in
// FileFormats.cpp that describes it (suffix, name, what it keeps, its reader
// and writer) and one line in all(): the file dialogs, Open, Save As, mltool's
// convert and its help text then know it.
class FileFormats
{
public:
    // In the order the file dialogs offer them.
    static const QVector<const FileFormat *> &all();
    // The format a path's suffix names (any case); null when none does.
    static const FileFormat *of(const QString &path);
    static const FileFormat &get(FileFormat::Id id);

    // "mlt (*.mlt);;...;;All files (*.*)" for Open and Save As.
    static QString dialogFilters();
    // The suffix of a filter such as "CSV (*.csv)"; empty for "*" or none.
    static QString filterSuffix(const QString &filter);
    // The name a save writes: a typed suffix of a known format picks that
    // format whatever filter is chosen; any other name gets the filter's suffix.
    static QString saveName(const QString &typed, const QString &filter);
    // ".mlt, .txt, .csv or .cs"
    static QString suffixList();

    // How many of the tiles carry a hue that the format of `path` cannot keep,
    // and the sentence that tells it, asked before writing and printed by mltool.
    static int huesLost(const QString &path, const QList<TileRecord> &tiles);
    static QString hueLossText(const QString &path, int count);

    // Through the format of the path's suffix; an unknown suffix is an error naming the known ones.
    static FileFormat::Loaded read(const QString &path, const TileInfoSource &data,
                                   const FileFormat::ReadOptions &options = {});
    static bool write(const QString &path, const QList<TileRecord> &tiles, const FileFormat::WriteOptions &options,
                      FileFormat::Written &out);
};
