#include "data/FileFormats.h"

#include "data/AddonScript.h"
#include "data/ComponentList.h"
#include "data/CsvFile.h"
#include "model/MltFile.h"
#include "model/SafeWrite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace {
QString tr(const char *text) { return QCoreApplication::translate("FileFormats", text); }

QString unknown(const QString &path)
{
    return tr("%1: not a file of one multi nor a list of them (%2)")
        .arg(QDir::toNativeSeparators(path), FileFormats::suffixList());
}
} // namespace

namespace {
using Loaded = FileFormat::Loaded;
using ReadOptions = FileFormat::ReadOptions;
using WriteOptions = FileFormat::WriteOptions;
using Written = FileFormat::Written;

FileFormat mlt()
{
    const auto read = [](const QString &path, const TileInfoSource &data, const ReadOptions &) {
        Loaded out;
        const MltReadResult r = MltFile::read(path, data);
        // A damaged file is refused too: whatever it is turned into would lack what was lost.
        out.error = MltFile::problem(path, r);
        out.ok = out.error.isEmpty();
        if (out.ok)
            out.tiles = r.tiles;
        return out;
    };
    const auto write = [](const QString &path, const QList<TileRecord> &tiles, const WriteOptions &, Written &out) {
        QString reason;
        if (SafeWrite::replaceFile(path, MltFile::toBytes(tiles), &reason))
            return true;
        out.error = tr("%1: cannot be written (%2)").arg(QDir::toNativeSeparators(path), reason);
        return false;
    };
    return {{FileFormat::Id::Mlt, QStringLiteral("mlt"), QStringLiteral("mlt"), {true, true, false}}, read, write};
}

// A component line has no field for a hue; its flags tell visibility, the rest of the line a name.
// Read and write without a number take the first template and the first free number.
FileFormat componentList()
{
    const auto read = [](const QString &path, const TileInfoSource &data, const ReadOptions &) {
        Loaded out;
        ComponentList list(path);
        if (!list.open()) {
            out.error = list.errorString();
        } else if (list.entries().isEmpty()) {
            out.error = tr("%1: holds no template").arg(QDir::toNativeSeparators(path));
        } else {
            out.ok = list.readEntry(list.entries().first().number, data, out.tiles);
            out.error = out.ok ? QString() : list.errorString();
        }
        return out;
    };
    const auto write = [](const QString &path, const QList<TileRecord> &tiles, const WriteOptions &, Written &out) {
        ComponentList list(path);
        if (QFileInfo::exists(path) && !list.open()) {
            out.error = list.errorString();
            return false;
        }
        out.entry = list.firstFreeEntry();
        if (list.exportEntry(out.entry, tiles))
            return true;
        out.error = list.errorString();
        return false;
    };
    const auto open = [](const QString &path) -> std::unique_ptr<MultiCollection> {
        return std::make_unique<ComponentList>(path);
    };
    return {{FileFormat::Id::ComponentList, QStringLiteral("txt"), QStringLiteral("Component list"), {false, true, true}},
            read, write, open};
}

FileFormat csv()
{
    const auto read = [](const QString &path, const TileInfoSource &data, const ReadOptions &) {
        CsvFile::ReadResult r = CsvFile::read(path, data);
        return Loaded{r.ok, r.error, std::move(r.tiles), {}};
    };
    const auto write = [](const QString &path, const QList<TileRecord> &tiles, const WriteOptions &, Written &out) {
        return CsvFile::write(path, tiles, &out.error);
    };
    return {{FileFormat::Id::Csv, QStringLiteral("csv"), QStringLiteral("CSV"), {true, true, false}}, read, write};
}

// Invisible tiles are no addon components; a component's light, name and amount are not read.
FileFormat addonScript()
{
    const auto read = [](const QString &path, const TileInfoSource &data, const ReadOptions &options) {
        AddonScript::Loaded r = AddonScript::read(path, data, options.part);
        return Loaded{r.ok, r.error, std::move(r.tiles), r.warnings};
    };
    const auto write = [](const QString &path, const QList<TileRecord> &tiles, const WriteOptions &options,
                          Written &out) {
        AddonScript::WriteOptions script = AddonScript::optionsFor(path);
        if (!options.deedName.isEmpty())
            script.deedName = options.deedName;
        script.source = options.source;
        return AddonScript::write(path, tiles, script, &out.error, &out.notes);
    };
    return {{FileFormat::Id::AddonScript, QStringLiteral("cs"), QStringLiteral("Addon script"), {true, false, false}},
            read, write};
}
} // namespace

const QVector<const FileFormat *> &FileFormats::all()
{
    // The order of the file dialogs' filters. A new format is one more line.
    static const FileFormat formats[] = {mlt(), componentList(), csv(), addonScript()};
    static const QVector<const FileFormat *> list = [] {
        QVector<const FileFormat *> out;
        for (const FileFormat &f : formats)
            out << &f;
        return out;
    }();
    return list;
}

const FileFormat &FileFormats::get(FileFormat::Id id)
{
    return **std::find_if(all().cbegin(), all().cend(), [id](const FileFormat *f) { return f->id() == id; });
}

const FileFormat *FileFormats::of(const QString &path)
{
    for (const FileFormat *format : all()) {
        if (format->isFormatOf(path))
            return format;
    }
    return nullptr;
}

QString FileFormats::dialogFilters()
{
    QStringList filters;
    for (const FileFormat *format : all())
        filters << format->filter();
    filters << tr("All files (*.*)");
    return filters.join(QStringLiteral(";;"));
}

QString FileFormats::filterSuffix(const QString &filter)
{
    const int star = int(filter.indexOf(QStringLiteral("*.")));
    const int close = int(filter.indexOf(QLatin1Char(')'), star));
    if (star < 0 || close < 0)
        return QString();
    const QString suffix = filter.mid(star + 2, close - star - 2);
    return suffix == QLatin1String("*") ? QString() : suffix;
}

QString FileFormats::saveName(const QString &typed, const QString &filter)
{
    const QString suffix = filterSuffix(filter);
    if (of(typed) || suffix.isEmpty())
        return typed;
    return typed + QLatin1Char('.') + suffix;
}

QString FileFormats::suffixList()
{
    QStringList suffixes;
    for (const FileFormat *format : all())
        suffixes << QLatin1Char('.') + format->suffix();
    const QString last = suffixes.takeLast();
    return tr("%1 or %2").arg(suffixes.join(QStringLiteral(", ")), last);
}

int FileFormats::huesLost(const QString &path, const QList<TileRecord> &tiles)
{
    const FileFormat *format = of(path);
    if (!format || format->keeps().hue)
        return 0;
    return int(std::count_if(tiles.cbegin(), tiles.cend(), [](const TileRecord &t) { return t.hue != 0; }));
}

QString FileFormats::hueLossText(const QString &path, int count)
{
    const FileFormat *format = of(path);
    const QString kind = format ? format->description().toLower() : QString();
    return count == 1 ? tr("1 tile carries a hue, which a %1 does not keep.").arg(kind)
                      : tr("%1 tiles carry a hue, which a %2 does not keep.").arg(count).arg(kind);
}

FileFormat::Loaded FileFormats::read(const QString &path, const TileInfoSource &data,
                                     const FileFormat::ReadOptions &options)
{
    if (const FileFormat *format = of(path))
        return format->read(path, data, options);
    FileFormat::Loaded out;
    out.error = unknown(path);
    return out;
}

bool FileFormats::write(const QString &path, const QList<TileRecord> &tiles, const FileFormat::WriteOptions &options,
                        FileFormat::Written &out)
{
    if (const FileFormat *format = of(path))
        return format->write(path, tiles, options, out);
    out.error = unknown(path);
    return false;
}
