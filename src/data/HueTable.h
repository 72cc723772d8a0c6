#pragma once

#include "data/DataFileStatus.h"

#include <QByteArray>
#include <QString>
#include <QVector>

// The game's hues.mul: 32 colours per hue, hue numbers counted from 1.
class HueTable
{
public:
    HueTable() = default;
    explicit HueTable(const QString &path) { load(path); }

    void load(const QString &path);
    void loadFromBytes(const QByteArray &bytes);

    // The 32 colours of hue h, or nullptr for h <= 0 or past the last entry.
    // The returned table is overwritten by the next call.
    const quint16 *colours(int hue);
    int count() const { return int(m_colours.size() / 32); }
    // The name the file gives hue h (up to 20 Latin-1 characters); empty past the table.
    QString name(int hue) const;
    // What load() found: the file, whether its size fits whole blocks, the hue count.
    DataFileStatus status() const { return m_status; }

private:
    QVector<quint16> m_colours;
    QVector<QString> m_names;
    DataFileStatus m_status;
    quint16 m_result[32] = {};
};
