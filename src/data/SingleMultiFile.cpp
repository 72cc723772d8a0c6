#include "data/SingleMultiFile.h"

#include "data/CsvFile.h"
#include "model/Facet.h"
#include "model/MltFile.h"
#include "model/SafeWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <numeric>

namespace {
QString tr(const char *text) { return QCoreApplication::translate("SingleMultiFile", text); }

bool replace(const QString &path, const QByteArray &bytes, QString *error)
{
    QString reason;
    if (SafeWrite::replaceFile(path, bytes, &reason))
        return true;
    if (error)
        *error = tr("%1: cannot be written (%2)").arg(QDir::toNativeSeparators(path), reason);
    return false;
}
} // namespace

SingleMultiFile::Format SingleMultiFile::formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mlt"))
        return Format::Mlt;
    if (suffix == QLatin1String("csv"))
        return Format::Csv;
    if (suffix == QLatin1String("txt"))
        return Format::ComponentList;
    return Format::Unknown;
}

SingleMultiFile::Loaded SingleMultiFile::read(const QString &path, const TileInfoSource &data)
{
    Loaded out;
    const QString shown = QDir::toNativeSeparators(path);
    switch (formatOf(path)) {
    case Format::Mlt: {
        const MltReadResult r = MltFile::read(path, data);
        // A damaged file is refused too: whatever it is turned into would lack what was lost.
        out.error = MltFile::problem(path, r);
        out.ok = out.error.isEmpty();
        if (out.ok)
            out.tiles = r.tiles;
        return out;
    }
    case Format::Csv: {
        const CsvFile::ReadResult r = CsvFile::read(path, data);
        out.ok = r.ok;
        out.error = r.error;
        out.tiles = r.tiles;
        return out;
    }
    case Format::ComponentList:
    case Format::Unknown:
        break;
    }
    out.error = tr("%1: not a file of one multi (.mlt or .csv)").arg(shown);
    return out;
}

QList<TileRecord> SingleMultiFile::tilesOf(const Facet &model)
{
    QList<TileRecord> tiles;
    for (const quint32 key : model.sortedKeys()) {
        for (const TileRecord &t : model.locations().value(key))
            tiles.append(t);
    }
    return tiles;
}

QList<TileRecord> SingleMultiFile::takeInDrawOrder(TileMap &tiles)
{
    QList<quint32> keys = tiles.keys();
    std::sort(keys.begin(), keys.end());
    QList<TileRecord> out;
    out.reserve(std::accumulate(tiles.cbegin(), tiles.cend(), qsizetype(0),
                                [](qsizetype n, const QList<TileRecord> &l) { return n + l.size(); }));
    for (const quint32 key : keys) {
        QList<TileRecord> here = tiles.take(key);
        // Stable, as a model's set keeps equal tiles in the order they came.
        std::stable_sort(here.begin(), here.end(), DrawOrder());
        out.append(here);
    }
    return out;
}

bool SingleMultiFile::write(const QString &path, const Facet &model, QString *error)
{
    const Format format = formatOf(path);
    if (format == Format::Mlt)
        return replace(path, MltFile::toBytes(model), error);
    return write(path, format == Format::Csv ? tilesOf(model) : QList<TileRecord>(), error);
}

bool SingleMultiFile::write(const QString &path, const QList<TileRecord> &tilesInDrawOrder, QString *error)
{
    switch (formatOf(path)) {
    case Format::Csv:
        return CsvFile::write(path, tilesInDrawOrder, error);
    case Format::Mlt:
        return replace(path, MltFile::toBytes(tilesInDrawOrder), error);
    case Format::ComponentList:
    case Format::Unknown:
        break;
    }
    if (error)
        *error = tr("%1: not a file of one multi (.mlt or .csv)").arg(QDir::toNativeSeparators(path));
    return false;
}
