#pragma once

#include "data/TileData.h"

#include <QStringList>
#include <QTextStream>

// The commands of the batch tool. Exit status: 0 done, 1 a file failed,
// 2 bad arguments.
class MlTool
{
public:
    MlTool(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {}

    // Arguments after the program name.
    int run(const QStringList &args);
    static QString usage();

private:
    int list(const QStringList &args);
    int importEntry(const QStringList &args);
    int exportEntry(const QStringList &args);
    int dump(const QStringList &args);
    int info(const QStringList &args);
    // The same commands on a packed container (MultiCollection.uop).
    int listContainer(const QString &path);
    int importFromContainer(const QStringList &args);
    int exportToContainer(const QStringList &args);
    void reportContainer(const QString &path);

    int failed(const QString &message);
    int badArguments(const QString &message);
    bool parseEntry(const QString &text, int &entry);

    // Names do not matter here: an empty table.
    TileData m_data;
    QTextStream &m_out;
    QTextStream &m_err;
};
