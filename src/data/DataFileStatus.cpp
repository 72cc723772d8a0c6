#include "data/DataFileStatus.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("DataFileStatus", text);
}
} // namespace

QString DataFileStatus::problem() const
{
    switch (state) {
    case State::Found:
        return QString();
    case State::Missing:
        return tr("missing");
    case State::Unreadable:
        return tr("unreadable");
    case State::Unrecognised:
        return tr("not recognised");
    }
    return QString();
}

QString DataFileStatus::describe() const
{
    QString line = QStringLiteral("%1: %2").arg(name, path.isEmpty() ? tr("(no location)")
                                                                     : QDir::toNativeSeparators(path));
    if (state != State::Found)
        line += QStringLiteral(": ") + problem();
    else
        line += QStringLiteral(": ") + tr("found");
    if (!layout.isEmpty())
        line += QStringLiteral(", ") + layout;
    if (!counts.isEmpty())
        line += QStringLiteral(", ") + counts;
    return line;
}

DataFileStatus DataFileStatus::probe(const QString &name, const QString &path)
{
    DataFileStatus s;
    s.name = name;
    s.path = path;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        s.state = State::Missing;
        return s;
    }
    QFile file(path);
    s.state = info.isFile() && file.open(QIODevice::ReadOnly) ? State::Found : State::Unreadable;
    return s;
}
