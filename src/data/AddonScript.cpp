#include "data/AddonScript.h"

#include "data/AddonScriptReader.h"
#include "data/AddonScriptWriter.h"
#include "model/SafeWrite.h"
#include "model/TileInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <vector>

namespace {
QString tr(const char *text, int n = -1) { return QCoreApplication::translate("AddonScript", text, nullptr, n); }

QString lineList(const QVector<int> &lines)
{
    QStringList numbers;
    numbers.reserve(lines.size());
    for (const int l : lines)
        numbers << QString::number(l);
    return numbers.join(QStringLiteral(", "));
}
} // namespace

AddonScript::Parsed AddonScript::readFile(const QString &path)
{
    Parsed failed;
    const QString shown = QDir::toNativeSeparators(path);
    // A pipe or a device would block or never end.
    if (const QFileInfo info(path); info.exists() && !info.isFile()) {
        failed.error = tr("%1: not a regular file").arg(shown);
        return failed;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        failed.error = tr("%1: cannot be opened (%2)").arg(shown, file.errorString());
        return failed;
    }
    if (file.size() > MaxFileSize) {
        failed.error = tr("%1: is larger than 16 MiB, too large for an addon script").arg(shown);
        return failed;
    }
    // One byte past its size: a file that grows while it is read has no size to trust.
    const QByteArray bytes = file.read(file.size() + 1);
    if (file.error() != QFile::NoError || bytes.size() < file.size()) {
        failed.error = tr("%1: could not be read completely (%2)").arg(shown, file.errorString());
        return failed;
    }
    if (bytes.size() > MaxFileSize) {
        failed.error = tr("%1: is larger than 16 MiB, too large for an addon script").arg(shown);
        return failed;
    }
    Parsed parsed = AddonScriptReader::parse(bytes);
    if (!parsed.ok)
        parsed.error = shown + QStringLiteral(": ") + parsed.error;
    return parsed;
}

int AddonScript::find(const Parsed &parsed, const QString &name, QString *error)
{
    QStringList names;
    for (int i = 0; i < parsed.classes.size(); ++i) {
        if (name.isEmpty() || parsed.classes[i].name == name)
            return i;
        names << parsed.classes[i].name;
    }
    if (error)
        *error = tr("no addon class \"%1\" in the script (it has %2)").arg(name, names.join(QStringLiteral(", ")));
    return -1;
}

TileMap AddonScript::tilesOf(const AddonClass &addon, const TileInfoSource &data)
{
    TileMap tiles;
    const QVector<Component> &components = addon.components;
    if (components.isEmpty())
        return tiles;
    // Grouped by cell first (a counting sort over the components' extent, which
    // keeps their order within a cell): each cell's list is then made once at
    // its size and inserted once, instead of growing in the hash tile by tile.
    int left = components[0].x, right = left, top = components[0].y, bottom = top;
    for (const Component &c : components) {
        left = std::min<int>(left, c.x);
        right = std::max<int>(right, c.x);
        top = std::min<int>(top, c.y);
        bottom = std::max<int>(bottom, c.y);
    }
    const qint64 width = right - left + 1;
    const qint64 cells = width * (bottom - top + 1);
    auto make = [&](const Component &c) {
        TileRecord t(c.id, c.hue, c.z, data, Art);
        t.x = c.x;
        t.y = c.y;
        return t;
    };
    // Offsets past the editing area (no reader gives them) take the plain way.
    if (cells > qint64(MaxOffset - MinOffset + 1) * (MaxOffset - MinOffset + 1)) {
        for (const Component &c : components)
            tiles[locationKey(c.x, c.y)].append(make(c));
        return tiles;
    }
    std::vector<int> start(size_t(cells) + 1, 0);
    auto cellOf = [&](const Component &c) { return size_t((c.y - top) * width + (c.x - left)); };
    int distinct = 0;
    for (const Component &c : components)
        distinct += start[cellOf(c) + 1]++ == 0;
    for (size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
    // Filling moves each cell's start to its end, which is the next cell's start.
    std::vector<int> order(size_t(components.size()));
    for (int i = 0; i < int(components.size()); ++i)
        order[size_t(start[cellOf(components[i])]++)] = i;
    tiles.reserve(distinct);
    for (size_t cell = 0; cell + 1 < start.size(); ++cell) {
        const int from = cell > 0 ? start[cell - 1] : 0;
        const int to = start[cell];
        if (from == to)
            continue;
        QList<TileRecord> list;
        list.reserve(to - from);
        for (int k = from; k < to; ++k) {
            const Component &c = components[order[size_t(k)]];
            TileRecord &t = list.emplaceBack(c.id, c.hue, c.z, data, Art);
            t.x = c.x;
            t.y = c.y;
        }
        const Component &first = components[order[size_t(from)]];
        tiles.emplace(locationKey(first.x, first.y), std::move(list));
    }
    return tiles;
}

QStringList AddonScript::warningsOf(const AddonClass &addon)
{
    QStringList out;
    if (!addon.unevaluated.isEmpty()) {
        out << tr("%n line(s) of %1 add components whose values are not literals or that run in a loop or "
                  "a condition; they were not imported: %2",
                  int(addon.unevaluated.size()))
                   .arg(addon.name, lineList(addon.unevaluated));
    }
    if (addon.leftOut > 0) {
        out << tr("%n component(s) of %1 had a light, a name or an amount; a multi holds none of these, so "
                  "they were left out (the tiles were imported).",
                  addon.leftOut)
                   .arg(addon.name);
    }
    return out;
}

AddonScript::Loaded AddonScript::read(const QString &path, const TileInfoSource &data, const QString &className)
{
    Loaded out;
    const Parsed parsed = readFile(path);
    if (!parsed.ok) {
        out.error = parsed.error;
        return out;
    }
    const int index = find(parsed, className, &out.error);
    if (index < 0) {
        out.error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + out.error;
        return out;
    }
    const AddonClass &addon = parsed.classes[index];
    out.ok = true;
    out.className = addon.name;
    out.tiles = tilesOf(addon, data);
    out.warnings = warningsOf(addon);
    return out;
}

AddonScript::WriteOptions AddonScript::optionsFor(const QString &path)
{
    WriteOptions o;
    o.className = AddonScriptWriter::className(QFileInfo(path).completeBaseName());
    o.deedName = AddonScriptWriter::deedName(o.className);
    return o;
}

bool AddonScript::write(const QString &path, const QList<TileRecord> &tiles, const WriteOptions &options,
                        QString *error, QStringList *notes)
{
    const AddonScriptWriter::Result r = AddonScriptWriter::write(tiles, options);
    QString reason;
    if (!SafeWrite::replaceFile(path, r.bytes, &reason)) {
        if (error)
            *error = tr("%1: cannot be written (%2)").arg(QDir::toNativeSeparators(path), reason);
        return false;
    }
    if (notes && r.invisible > 0)
        *notes << tr("%n invisible tile(s) left out: no-draw anchors are not addon components.", r.invisible);
    if (notes && r.terrain > 0)
        *notes << tr("%n terrain tile(s) left out: an addon places items only.", r.terrain);
    return true;
}
