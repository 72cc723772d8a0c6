#include "data/AddonScript.h"

#include "data/AddonScriptReader.h"
#include "data/AddonScriptWriter.h"
#include "model/SafeWrite.h"
#include "model/TileInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    if (QFileInfo::exists(path) && !QFileInfo(path).isFile()) {
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
    tiles.reserve(addon.components.size());
    for (const Component &c : addon.components) {
        TileRecord t(c.id, c.hue, c.z, data, Art);
        t.x = c.x;
        t.y = c.y;
        t.sortZ = c.z;
        tiles[locationKey(t.x, t.y)].append(t);
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
