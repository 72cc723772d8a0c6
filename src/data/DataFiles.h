#pragma once

#include "data/DataFileStatus.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

class ArtReader;
class HueTable;
class TileData;

// The locations of the client's data files that the editor reads.
struct DataPaths {
    QString artIdx, artMul, tileData, hues, multiIdx, multiMul, texIdx, texMaps, radarCol, mapDir;
    // The packed containers that stand in for the art and multi pairs where they are used.
    QString artUop, multiUop;
};

// Says, file by file, what the editor found of the client's data: for the
// start-up notice and for mltool info.
class DataFiles
{
public:
    // From readers that already loaded the files; the rest is probed.
    static QVector<DataFileStatus> statuses(const ArtReader &art, const TileData &tileData,
                                            const HueTable &hues, const DataPaths &paths,
                                            std::optional<int> recordSize = std::nullopt);
    // A packed container: found, readable as one, and how many entries it holds.
    static DataFileStatus containerStatus(const QString &name, const QString &path);
    // Loads the files itself.
    static QVector<DataFileStatus> check(const DataPaths &paths, std::optional<int> recordSize = std::nullopt);
    // The usual file names inside a client folder, whatever their case.
    static DataPaths inFolder(const QString &dir);
    static QVector<DataFileStatus> inFolder(const QString &dir, std::optional<int> recordSize);
    // The pair's index and data, with the record size and how it was decided.
    static QVector<DataFileStatus> multiStatus(const QString &idx, const QString &mul,
                                               std::optional<int> recordSize, int artIds);
    // One line per file that is missing, unreadable or not recognised; an
    // optional file that is missing is no problem.
    static QStringList problems(const QVector<DataFileStatus> &statuses);
};
