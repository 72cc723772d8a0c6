#include "data/CsvFile.h"

#include "model/LockedFile.h"
#include "model/SafeWrite.h"
#include "model/TileInfo.h"

#include <QCoreApplication>
#include <QDir>

#include <optional>

const char *const CsvFile::Header = "kind,id,x,y,z,hue,visible";

namespace {
constexpr int Columns = 7;

QString tr(const char *text) { return QCoreApplication::translate("CsvFile", text); }

// A field without surrounding spaces and the quotes spreadsheets may add.
QByteArray field(QByteArray f)
{
    f = f.trimmed();
    if (f.size() >= 2 && f.startsWith('"') && f.endsWith('"'))
        f = f.mid(1, f.size() - 2).trimmed();
    return f;
}

std::optional<int> number(const QByteArray &text, int low, int high)
{
    bool ok = false;
    const qlonglong v = text.toLongLong(&ok, 10);
    if (!ok || v < low || v > high)
        return std::nullopt;
    return int(v);
}

std::optional<int> kindOf(const QByteArray &text)
{
    const QByteArray k = text.toLower();
    if (k == "art" || k == "1")
        return int(Art);
    if (k == "terrain" || k == "0")
        return int(Terrain);
    return std::nullopt;
}
} // namespace

CsvFile::ReadResult CsvFile::read(const QString &path, const TileInfoSource &data)
{
    QByteArray bytes;
    QString reason;
    ReadResult r;
    const QString shown = QDir::toNativeSeparators(path);
    // A read error is never taken for a file without the header, nor for an empty one.
    switch (LockedFile::readFile(path, bytes, MaxFileSize, &reason)) {
    case LockedFile::Read::Ok:
        break;
    case LockedFile::Read::CannotOpen:
        r.error = tr("%1: cannot be opened (%2)").arg(shown, reason);
        return r;
    case LockedFile::Read::Failed:
        r.error = tr("%1: cannot be read (%2)").arg(shown, reason);
        return r;
    case LockedFile::Read::TooLarge:
        r.error = tr("%1 is larger than %2 MiB: it is not a multi file.").arg(shown).arg(MaxFileSize >> 20);
        return r;
    }
    r = fromBytes(bytes, data);
    if (!r.ok)
        r.error = shown + QStringLiteral(": ") + r.error;
    return r;
}

CsvFile::ReadResult CsvFile::fromBytes(const QByteArray &bytes, const TileInfoSource &data)
{
    ReadResult r;
    const QList<QByteArray> lines = bytes.split('\n');
    bool headerSeen = false;
    for (int n = 0; n < lines.size(); ++n) {
        const QByteArray line = lines[n].trimmed();
        const int lineNo = n + 1;
        if (line.isEmpty())
            continue;
        QList<QByteArray> f = line.split(',');
        for (QByteArray &x : f)
            x = field(x);
        if (!headerSeen) {
            if (f.join(',').toLower() != Header) {
                r.error = tr("line %1: expected the header \"%2\"").arg(lineNo).arg(QLatin1String(Header));
                return r;
            }
            headerSeen = true;
            continue;
        }
        if (f.size() != Columns) {
            r.error = tr("line %1: expected %2 fields, found %3").arg(lineNo).arg(Columns).arg(f.size());
            return r;
        }
        const auto kind = kindOf(f[0]);
        const auto id = number(f[1], 0, 0xFFFF);
        const auto x = number(f[2], -32768, 32767);
        const auto y = number(f[3], -32768, 32767);
        const auto z = number(f[4], -32768, 32767);
        const auto hue = number(f[5], 0, 32767);
        const auto visible = number(f[6], 0, 1);
        const char *bad = !kind ? QT_TRANSLATE_NOOP("CsvFile", "kind (art or terrain)")
                          : !id ? QT_TRANSLATE_NOOP("CsvFile", "id (0 to 65535)")
                          : !x  ? QT_TRANSLATE_NOOP("CsvFile", "x (-32768 to 32767)")
                          : !y  ? QT_TRANSLATE_NOOP("CsvFile", "y (-32768 to 32767)")
                          : !z  ? QT_TRANSLATE_NOOP("CsvFile", "z (-32768 to 32767)")
                          : !hue ? QT_TRANSLATE_NOOP("CsvFile", "hue (0 to 32767)")
                          : !visible ? QT_TRANSLATE_NOOP("CsvFile", "visible (0 or 1)")
                                     : nullptr;
        if (bad) {
            r.error = tr("line %1: bad %2").arg(lineNo).arg(tr(bad));
            return r;
        }
        TileRecord t(quint16(*id), qint16(*hue), qint16(*z), data, *kind);
        t.x = *x;
        t.y = *y;
        t.sortZ = t.z;
        t.visible = qint16(*visible);
        r.tiles[locationKey(t.x, t.y)].append(t);
    }
    if (!headerSeen) {
        r.error = tr("line 1: expected the header \"%1\"").arg(QLatin1String(Header));
        return r;
    }
    r.ok = true;
    return r;
}

QByteArray CsvFile::toBytes(const QList<TileRecord> &tiles)
{
    QByteArray out = QByteArray(Header) + '\n';
    for (const TileRecord &t : tiles) {
        out += (t.kind == Terrain ? "terrain," : "art,") + QByteArray::number(t.id) + ','
               + QByteArray::number(t.x) + ',' + QByteArray::number(t.y) + ','
               + QByteArray::number(t.z) + ',' + QByteArray::number(t.hue) + ','
               + QByteArray::number(t.visible ? 1 : 0) + '\n';
    }
    return out;
}

bool CsvFile::write(const QString &path, const QList<TileRecord> &tiles, QString *error)
{
    QString reason;
    if (SafeWrite::replaceFile(path, toBytes(tiles), &reason))
        return true;
    if (error)
        *error = tr("%1: cannot be written (%2)").arg(QDir::toNativeSeparators(path), reason);
    return false;
}
