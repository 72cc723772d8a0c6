#pragma once

#include <QStringList>

// The last brushes (tile keys) the user painted with, most recent first,
// each once, kept in the settings store between runs.
class RecentBrushes
{
public:
    static constexpr int Limit = 30;

    // Reads the stored list.
    void load();
    // Moves or puts the key first, drops what passes the limit, stores the list.
    void add(const QString &key);
    const QStringList &keys() const { return m_keys; }

private:
    static bool usable(const QString &key);
    void save() const;

    QStringList m_keys;
};
