#include "data/SingleMultiFile.h"

#include "data/AddonScript.h"
#include "data/CsvFile.h"
#include "model/Facet.h"
#include "model/MltFile.h"
#include "model/SafeWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString tr(const char *text) { return QCoreApplication::translate("SingleMultiFile", text); }
}

SingleMultiFile::Format SingleMultiFile::formatOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("mlt"))
        return Format::Mlt;
    if (suffix == QLatin1String("csv"))
        return Format::Csv;
    if (suffix == QLatin1String("txt"))
        return Format::ComponentList;
    if (suffix == QLatin1String("cs"))
        return Format::AddonScript;
    return Format::Unknown;
}

SingleMultiFile::Loaded SingleMultiFile::read(const QString &path, const TileInfoSource &data)
{
    Loaded out;
    const QString shown = QDir::toNativeSeparators(path);
    switch (formatOf(path)) {
    case Format::Mlt: {
        const MltReadResult r = MltFile::read(path, data);
        if (r.status == MltReadResult::CannotOpen)
            out.error = tr("%1: cannot be opened").arg(shown);
        else if (r.status == MltReadResult::BadVersion)
            out.error = tr("%1: is mlt version %2; only version 0 is supported").arg(shown).arg(r.version);
        out.ok = r.status == MltReadResult::Ok;
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

bool SingleMultiFile::write(const QString &path, const Facet &model, QString *error, QStringList *notes)
{
    QString reason;
    switch (formatOf(path)) {
    case Format::Csv:
        return CsvFile::write(path, tilesOf(model), error);
    case Format::Mlt:
        if (SafeWrite::replaceFile(path, MltFile::toBytes(model), &reason))
            return true;
        if (error)
            *error = tr("%1: cannot be written (%2)").arg(QDir::toNativeSeparators(path), reason);
        return false;
    case Format::AddonScript: {
        return AddonScript::write(path, tilesOf(model), AddonScript::optionsFor(path), error, notes);
    }
    case Format::ComponentList:
    case Format::Unknown:
        break;
    }
    if (error)
        *error = tr("%1: not a file of one multi (.mlt, .csv or .cs)").arg(QDir::toNativeSeparators(path));
    return false;
}
