#include "panels/RecentBrushes.h"

#include "model/TileRecord.h"

#include <QSettings>

namespace {
QSettings store()
{
    return QSettings(QStringLiteral("Brightmoor"), QStringLiteral("Palette"));
}
constexpr char RecentKey[] = "Recent";
constexpr int MaxId = 0xFFFF;
// Seven numbers and their colons; anything longer is not a key.
constexpr int MaxKeyLength = 80;
} // namespace

// A stored key the palette can paint with: a tile id and kind a key can hold.
bool RecentBrushes::usable(const QString &key)
{
    if (key.size() > MaxKeyLength)
        return false;
    const QStringList parts = key.split(QLatin1Char(':'));
    if (parts.size() != TileRecord::KeyFields)
        return false;
    for (const QString &part : parts) {
        bool number = false;
        part.toInt(&number);
        if (!number)
            return false;
    }
    const auto fields = TileRecord::keyFields(key);
    return fields[0] >= 0 && fields[0] <= MaxId && (fields[6] == Terrain || fields[6] == Art);
}

// The settings file may have been edited or damaged: keep only keys that can paint.
void RecentBrushes::load()
{
    m_keys.clear();
    for (const QString &key : store().value(QLatin1String(RecentKey)).toStringList())
        if (m_keys.size() < Limit && usable(key) && !m_keys.contains(key))
            m_keys << key;
}

void RecentBrushes::add(const QString &key)
{
    if (!usable(key))
        return;
    m_keys.removeAll(key);
    m_keys.prepend(key);
    while (m_keys.size() > Limit)
        m_keys.removeLast();
    save();
}

void RecentBrushes::save() const
{
    QSettings s = store();
    s.setValue(QLatin1String(RecentKey), m_keys);
}
