#include "panels/RecentBrushes.h"

#include <QSettings>

namespace {
QSettings store()
{
    return QSettings(QStringLiteral("Brightmoor"), QStringLiteral("Palette"));
}
constexpr char RecentKey[] = "Recent";
} // namespace

void RecentBrushes::load()
{
    m_keys = store().value(QLatin1String(RecentKey)).toStringList();
    m_keys.removeDuplicates();
    m_keys.removeAll(QString());
    while (m_keys.size() > Limit)
        m_keys.removeLast();
}

void RecentBrushes::add(const QString &key)
{
    if (key.isEmpty())
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
