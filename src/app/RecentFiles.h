#pragma once

#include <QStringList>

// The files opened or saved last, newest first, kept in the settings.
class RecentFiles
{
public:
    static constexpr int MaxFiles = 10;

    // The files that still exist; the ones gone are dropped from the settings too.
    static QStringList list();
    static void add(const QString &path);
};
