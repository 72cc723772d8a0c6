#include "data/DataFiles.h"

#include "data/ArtReader.h"
#include "data/DataLocations.h"
#include "data/HueTable.h"
#include "data/MultiFile.h"
#include "data/RadarColours.h"
#include "data/TileData.h"
#include "data/UopFile.h"
#include "data/WorldFacet.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("DataFiles", text);
}
} // namespace

QVector<DataFileStatus> DataFiles::multiStatus(const QString &idx, const QString &mul,
                                               std::optional<int> recordSize, int artIds)
{
    DataFileStatus index = DataFileStatus::probe(QStringLiteral("multi.idx"), idx);
    DataFileStatus data = DataFileStatus::probe(QStringLiteral("multi.mul"), mul);
    if (!index.usable() || !data.usable())
        return {index, data};
    MultiFile file(idx, mul);
    file.setTileDataHint(artIds);
    if (recordSize)
        file.setRecordSize(*recordSize);
    if (!file.open()) {
        data.state = DataFileStatus::State::Unreadable;
        return {index, data};
    }
    if (QFileInfo(idx).size() % MultiFile::IndexRecordSize != 0)
        index.state = DataFileStatus::State::Unrecognised;
    index.counts = tr("%1 entries in %2 records").arg(file.entries().size()).arg(file.entryCount());
    const MultiRecordSize size = file.recordSizeDecision();
    data.layout = size.bytes() ? tr("%1-byte records (%2)").arg(*size.bytes()).arg(size.reason())
                               : tr("record size undecided (%1)").arg(size.reason());
    return {index, data};
}

QVector<DataFileStatus> DataFiles::statuses(const ArtReader &art, const TileData &tileData,
                                            const HueTable &hues, const DataPaths &paths,
                                            std::optional<int> recordSize)
{
    // A client that ships its art or multis only in containers lacks the pairs
    // on purpose: report the container that is read instead.
    QVector<DataFileStatus> out;
    const QString artUop = DataLocations::artContainer(paths.artIdx, paths.artMul, paths.artUop);
    if (artUop.isEmpty())
        out << art.indexStatus() << art.artStatus();
    else
        out << containerStatus(QStringLiteral("artLegacyMUL.uop"), artUop);
    out << tileData.status() << hues.status();
    const QStringList store = DataLocations::multiStore(paths.multiIdx, paths.multiMul, paths.multiUop);
    if (store.size() == 1)
        out << containerStatus(QStringLiteral("MultiCollection.uop"), store.first());
    else
        out += multiStatus(paths.multiIdx, paths.multiMul, recordSize, tileData.staticCount());
    out << DataFileStatus::probe(QStringLiteral("texidx.mul"), paths.texIdx)
        << DataFileStatus::probe(QStringLiteral("texmaps.mul"), paths.texMaps);
    out << RadarColours(paths.radarCol).status();
    // The world map files, where the map folder says or beside the tile data.
    const QString mapDir = !paths.mapDir.isEmpty()     ? paths.mapDir
                           : !paths.tileData.isEmpty() ? QFileInfo(paths.tileData).absolutePath()
                                                       : QString();
    if (!mapDir.isEmpty())
        out += WorldFacet::statuses(mapDir);
    return out;
}

DataFileStatus DataFiles::containerStatus(const QString &name, const QString &path)
{
    DataFileStatus status = DataFileStatus::probe(name, path);
    if (!status.usable())
        return status;
    UopFile uop;
    if (!uop.open(path)) {
        status.state = DataFileStatus::State::Unrecognised;
        status.layout = uop.errorString();
        return status;
    }
    status.layout = tr("packed container");
    status.counts = tr("%1 entries").arg(uop.entries().size());
    return status;
}

QVector<DataFileStatus> DataFiles::check(const DataPaths &paths, std::optional<int> recordSize)
{
    ArtReader art;
    const QString artUop = DataLocations::artContainer(paths.artIdx, paths.artMul, paths.artUop);
    if (artUop.isEmpty())
        art.load(paths.artIdx, paths.artMul, paths.texIdx, paths.texMaps);
    else
        art.loadContainer(artUop, paths.texIdx, paths.texMaps);
    const TileData tileData(paths.tileData);
    const HueTable hues(paths.hues);
    return statuses(art, tileData, hues, paths, recordSize);
}

DataPaths DataFiles::inFolder(const QString &dir)
{
    const auto in = [&dir](const char *name) { return DataLocations::fileIn(dir, QString::fromLatin1(name)); };
    return {in("artidx.mul"), in("art.mul"),    in("tiledata.mul"), in("hues.mul"),     in("multi.idx"),
            in("multi.mul"),  in("texidx.mul"), in("texmaps.mul"),  in("radarcol.mul"), dir,
            in("artLegacyMUL.uop"), in("MultiCollection.uop")};
}

QVector<DataFileStatus> DataFiles::inFolder(const QString &dir, std::optional<int> recordSize)
{
    return check(inFolder(dir), recordSize);
}

QStringList DataFiles::problems(const QVector<DataFileStatus> &statuses)
{
    QStringList lines;
    for (const DataFileStatus &s : statuses) {
        if (!s.usable() && !(s.optional && s.state == DataFileStatus::State::Missing))
            lines << s.describe();
    }
    return lines;
}
