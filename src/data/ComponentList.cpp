#include "data/ComponentList.h"

#include "model/SafeWrite.h"
#include "model/TileInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <limits>
#include <optional>

namespace {

struct Line {
    qsizetype begin = 0;
    qsizetype end = 0; // after the line ending
    QByteArray text;   // without the line ending
};

QVector<Line> splitLines(const QByteArray &bytes)
{
    QVector<Line> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype nl = bytes.indexOf('\n', pos);
        const qsizetype end = nl < 0 ? bytes.size() : nl + 1;
        QByteArray text = bytes.mid(pos, (nl < 0 ? bytes.size() : nl) - pos);
        if (text.endsWith('\r'))
            text.chop(1);
        lines.append({pos, end, text});
        pos = end;
    }
    return lines;
}

QList<QByteArray> words(const QByteArray &text)
{
    return text.simplified().split(' ');
}

bool blank(const QByteArray &text) { return text.trimmed().isEmpty(); }

std::optional<qint64> number(const QByteArray &word, qint64 low, qint64 high)
{
    bool ok = false;
    const qint64 v = word.toLongLong(&ok, 10);
    if (!ok || v < low || v > high)
        return std::nullopt;
    return v;
}

QString tr(const char *text) { return QCoreApplication::translate("ComponentList", text); }

constexpr qint64 IntLow = std::numeric_limits<int>::min();
constexpr qint64 IntHigh = std::numeric_limits<int>::max();

} // namespace

ComponentList::ComponentList(const QString &path) : m_path(path) {}

bool ComponentList::fail(int line, const QString &what)
{
    m_error = tr("%1: line %2: %3").arg(QDir::toNativeSeparators(m_path)).arg(line).arg(what);
    return false;
}

bool ComponentList::readFailed(LockedFile::Read status, const QString &reason)
{
    const QString shown = QDir::toNativeSeparators(m_path);
    switch (status) {
    case LockedFile::Read::Ok:
        return true;
    case LockedFile::Read::CannotOpen:
        m_error = tr("%1: cannot be opened (%2)").arg(shown, reason);
        break;
    case LockedFile::Read::Failed:
        m_error = tr("%1: cannot be read (%2); nothing was written").arg(shown, reason);
        break;
    case LockedFile::Read::TooLarge:
        m_error = tr("%1 is larger than %2 MiB: it is not a component list").arg(shown).arg(MaxFileSize >> 20);
        break;
    }
    return false;
}

bool ComponentList::open()
{
    QByteArray bytes;
    QString reason;
    const LockedFile::Read status = LockedFile::readFile(m_path, bytes, MaxFileSize, &reason);
    if (status != LockedFile::Read::Ok)
        return readFailed(status, reason);
    return parse(bytes);
}

bool ComponentList::parse(const QByteArray &bytes)
{
    m_templates.clear();
    m_error.clear();
    const QVector<Line> lines = splitLines(bytes);
    m_eol = (!lines.isEmpty() && bytes.mid(lines[0].end - 2, 2) == "\r\n") ? "\r\n" : "\n";
    int i = 0;
    auto nextFilled = [&]() {
        while (i < lines.size() && blank(lines[i].text))
            ++i;
        return i < lines.size();
    };
    if (!nextFilled() || !number(words(lines[i].text).value(0), IntLow, IntHigh))
        return fail(i + 1, tr("expected the version line (\"6 version\")"));
    ++i;
    while (nextFilled()) {
        Template t;
        const auto id = number(words(lines[i].text).value(0), IntLow, IntHigh);
        if (!id)
            return fail(i + 1, tr("expected a template number, found \"%1\"")
                                   .arg(QString::fromLatin1(lines[i].text.left(40))));
        t.number = int(*id);
        ++i;
        if (i >= lines.size() || !number(words(lines[i].text).value(0), IntLow, IntHigh))
            return fail(i + 1, tr("expected the item version line of template %1").arg(t.number));
        ++i;
        const auto count = i < lines.size() ? number(words(lines[i].text).value(0), 0, IntHigh)
                                            : std::nullopt;
        if (!count)
            return fail(i + 1, tr("expected the component count of template %1").arg(t.number));
        // A count larger than the lines that follow is damage, not a reason to allocate.
        if (*count > lines.size() - i - 1)
            return fail(i + 1, tr("template %1 announces %2 components, but only %3 lines follow")
                                   .arg(t.number).arg(*count).arg(lines.size() - i - 1));
        t.countLineBegin = lines[i].begin;
        t.countLineEnd = lines[i].end;
        ++i;
        t.components.reserve(int(*count));
        for (qint64 c = 0; c < *count; ++c, ++i) {
            const QList<QByteArray> w = words(lines[i].text);
            const auto itemId = number(w.value(0), 0, 0xFFFF);
            const auto x = number(w.value(1), -32768, 32767);
            const auto y = number(w.value(2), -32768, 32767);
            const auto z = number(w.value(3), -32768, 32767);
            const auto flags = number(w.value(4), IntLow, IntHigh);
            if (!itemId || !x || !y || !z || !flags)
                return fail(i + 1, tr("expected \"<item id> <x> <y> <z> <flags> [name]\" with "
                                      "an item id from 0 to 65535 and coordinates from -32768 "
                                      "to 32767, found \"%1\"")
                                       .arg(QString::fromLatin1(lines[i].text.left(60))));
            StoredRecord r;
            r.tile.kind = Art;
            r.tile.id = quint16(*itemId);
            r.tile.x = int(*x);
            r.tile.y = int(*y);
            r.tile.z = qint16(*z);
            r.tile.sortZ = r.tile.z;
            r.tile.visible = *flags != 0 ? 1 : 0;
            r.bytes = bytes.mid(lines[i].begin, lines[i].end - lines[i].begin);
            // The file's last line may lack an ending; moved lines need one.
            if (!r.bytes.endsWith('\n'))
                r.bytes += m_eol;
            t.components.append(r);
        }
        t.end = i > 0 ? lines[i - 1].end : 0;
        if (!m_templates.contains(t.number))
            m_templates.insert(t.number, t);
    }
    return true;
}

QVector<MultiCollection::Entry> ComponentList::entries() const
{
    QVector<Entry> out;
    for (const Template &t : m_templates)
        out.append({t.number, int(t.components.size())});
    return out;
}

int ComponentList::firstFreeEntry() const
{
    int n = 0;
    while (m_templates.contains(n))
        ++n;
    return n;
}

bool ComponentList::readEntry(int number, const TileInfoSource &data, TileMap &tiles)
{
    tiles.clear();
    const auto found = m_templates.constFind(number);
    if (found == m_templates.constEnd()) {
        m_error = tr("%1: holds no template %2").arg(QDir::toNativeSeparators(m_path)).arg(number);
        return false;
    }
    for (const StoredRecord &r : found->components) {
        TileRecord t(r.tile.id, 0, r.tile.z, data, Art);
        t.x = r.tile.x;
        t.y = r.tile.y;
        t.sortZ = t.z;
        t.visible = r.tile.visible;
        tiles[locationKey(t.x, t.y)].append(t);
    }
    return true;
}

QByteArray ComponentList::encode(const TileRecord &t) const
{
    return QByteArray::number(t.id) + ' ' + QByteArray::number(t.x) + ' ' + QByteArray::number(t.y)
           + ' ' + QByteArray::number(t.z) + ' ' + QByteArray(t.visible ? "1" : "0") + m_eol;
}

QByteArray ComponentList::newTemplate(int number, const QList<TileRecord> &tiles) const
{
    QByteArray out = QByteArray::number(number) + " template id" + m_eol + "-1 item version" + m_eol
                     + QByteArray::number(tiles.size()) + " num components" + m_eol;
    for (const TileRecord &t : tiles)
        out += encode(t);
    return out;
}

QByteArray ComponentList::rewritten(const QByteArray &current, int number,
                                    const QList<TileRecord> &tiles)
{
    if (current.isEmpty()) {
        m_eol = "\n";
        return QByteArray::number(Version) + " version\n" + newTemplate(number, tiles);
    }
    if (!parse(current)) {
        m_error = tr("%1 (the file was not changed)").arg(m_error);
        return QByteArray();
    }
    const auto found = m_templates.constFind(number);
    if (found == m_templates.constEnd()) {
        QByteArray out = current;
        if (!out.endsWith('\n'))
            out += m_eol;
        return out + newTemplate(number, tiles);
    }
    const Template &t = *found;
    const QByteArray merged = RecordMerge::merge(t.components, tiles,
                                                 [this](const TileRecord &r) { return encode(r); });
    const int count = int(merged.count('\n'));
    QByteArray countLine = current.mid(t.countLineBegin, t.countLineEnd - t.countLineBegin);
    if (count != t.components.size()) {
        // Only the number changes; the words after it stay.
        const QByteArray trimmed = countLine.trimmed();
        const qsizetype digits = trimmed.indexOf(' ') < 0 ? trimmed.size() : trimmed.indexOf(' ');
        QByteArray rest = trimmed.mid(digits);
        countLine = QByteArray::number(count) + rest + m_eol;
    } else if (!countLine.endsWith('\n')) {
        countLine += m_eol;
    }
    return current.left(t.countLineBegin) + countLine + merged + current.mid(t.end);
}

bool ComponentList::exportEntry(int number, const QList<TileRecord> &tiles)
{
    // Locked from the read to the rename: a second export waits and then
    // changes what this one wrote. A missing file is made, empty, to be locked.
    LockedFile file(m_path);
    QString reason;
    if (!file.lock(true, &reason)) {
        m_error = (QFileInfo::exists(m_path) ? tr("%1: cannot be opened (%2)") : tr("%1: cannot be created (%2)"))
                      .arg(QDir::toNativeSeparators(m_path), reason);
        return false;
    }
    QByteArray current;
    const LockedFile::Read status = file.readAll(current, MaxFileSize, &reason);
    if (status != LockedFile::Read::Ok) {
        file.discardCreated();
        return readFailed(status, reason);
    }
    // Only a file read completely is empty: then it is a new list.
    const QByteArray bytes = rewritten(current, number, tiles);
    if (bytes.isEmpty())
        return false;
    if (!SafeWrite::replaceFile(m_path, bytes, &reason)) {
        file.discardCreated();
        m_error = tr("%1: cannot be written (%2)").arg(QDir::toNativeSeparators(m_path), reason);
        return false;
    }
    return parse(bytes);
}
