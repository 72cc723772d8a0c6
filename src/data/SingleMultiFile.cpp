#include "data/SingleMultiFile.h"

#include "data/AddonScript.h"
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

// The one place a suffix names a file format and what it keeps; a new
// format is one row.
struct SuffixFormat {
    QLatin1String suffix;
    SingleMultiFile::Format format;
    bool keepsHue;
};
const SuffixFormat SuffixFormats[] = {
    {QLatin1String("mlt"), SingleMultiFile::Format::Mlt, true},
    {QLatin1String("csv"), SingleMultiFile::Format::Csv, true},
    // A component line has no field for a hue.
    {QLatin1String("txt"), SingleMultiFile::Format::ComponentList, false},
    {QLatin1String("cs"), SingleMultiFile::Format::AddonScript, true},
};

const SuffixFormat *rowOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    for (const SuffixFormat &row : SuffixFormats) {
        if (suffix.compare(row.suffix, Qt::CaseInsensitive) == 0)
            return &row;
    }
    return nullptr;
}

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
    const SuffixFormat *row = rowOf(path);
    return row ? row->format : Format::Unknown;
}

int SingleMultiFile::huesLost(const QString &path, const QList<TileRecord> &tiles)
{
    const SuffixFormat *row = rowOf(path);
    if (!row || row->keepsHue)
        return 0;
    return int(std::count_if(tiles.cbegin(), tiles.cend(), [](const TileRecord &t) { return t.hue != 0; }));
}

QString SingleMultiFile::hueLossText(int count)
{
    return count == 1 ? tr("1 tile carries a hue, which a component list does not keep.")
                      : tr("%1 tiles carry a hue, which a component list does not keep.").arg(count);
}

QString SingleMultiFile::saveName(const QString &typed, const QString &filterSuffix)
{
    if (formatOf(typed) != Format::Unknown || filterSuffix.isEmpty())
        return typed;
    return typed + QLatin1Char('.') + filterSuffix;
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
    case Format::AddonScript: {
        const AddonScript::Loaded r = AddonScript::read(path, data);
        out.ok = r.ok;
        out.error = r.error;
        out.tiles = r.tiles;
        out.warnings = r.warnings;
        return out;
    }
    case Format::ComponentList:
    case Format::Unknown:
        break;
    }
    out.error = tr("%1: not a file of one multi (.mlt, .csv or .cs)").arg(shown);
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

bool SingleMultiFile::write(const QString &path, const Facet &model, QString *error, QStringList *notes)
{
    const Format format = formatOf(path);
    if (format == Format::Mlt)
        return replace(path, MltFile::toBytes(model), error);
    return write(path, format == Format::Unknown ? QList<TileRecord>() : tilesOf(model), error, notes);
}

bool SingleMultiFile::write(const QString &path, const QList<TileRecord> &tilesInDrawOrder, QString *error,
                            QStringList *notes)
{
    switch (formatOf(path)) {
    case Format::Csv:
        return CsvFile::write(path, tilesInDrawOrder, error);
    case Format::Mlt:
        return replace(path, MltFile::toBytes(tilesInDrawOrder), error);
    case Format::AddonScript:
        return AddonScript::write(path, tilesInDrawOrder, AddonScript::optionsFor(path), error, notes);
    case Format::ComponentList:
    case Format::Unknown:
        break;
    }
    if (error)
        *error = tr("%1: not a file of one multi (.mlt, .csv or .cs)").arg(QDir::toNativeSeparators(path));
    return false;
}
