#include "app/RecentFiles.h"

#include <QFileInfo>
#include <QSettings>

namespace {
const QString recentKey = QStringLiteral("RecentFiles");

QSettings recentSettings()
{
    return QSettings(QStringLiteral("Brightmoor"), QStringLiteral("MultiEditorWindow"));
}

void store(const QStringList &files)
{
    recentSettings().setValue(recentKey, files);
}
} // namespace

QStringList RecentFiles::list()
{
    const QStringList stored = recentSettings().value(recentKey).toStringList();
    QStringList files;
    for (const QString &f : stored)
        if (QFileInfo(f).isFile() && !files.contains(f) && files.size() < MaxFiles)
            files.append(f);
    if (files != stored)
        store(files);
    return files;
}

void RecentFiles::add(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = list();
    files.removeAll(absolute);
    files.prepend(absolute);
    store(files.mid(0, MaxFiles));
}
