#include "data/MultiNames.h"

#include "data/DataLocations.h"
#include "data/XmlTree.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

using Node = XmlTree::Node;

// Every "Multi" at any depth under a "multiset"; the first name of a number stays.
void collectNames(const Node &root, MultiNames::Result &result)
{
    XmlTree::forEachElement(root, [&](const Node &group) {
        if (group.name != QLatin1String("multiset"))
            return;
        XmlTree::forEachElement(group, [&](const Node &e) {
            if (e.name != QLatin1String("Multi") || &e == &group)
                return;
            if (e.children.empty() || e.children.front().kind != Node::Text)
                return;
            const QString index = QStringLiteral("Index");
            const qint32 number = MultiNames::parseIndex(
                e.attributes.hasAttribute(index) ? e.attributes.value(index).toString()
                                                 : QStringLiteral("0"));
            if (!result.names.contains(number))
                result.names.insert(number, e.children.front().value);
        });
    });
}

// The first "MultiVisible" anywhere; its text 1 sets the flag.
void readVisible(const Node &root, MultiNames::Result &result)
{
    bool seen = false;
    XmlTree::forEachElement(root, [&](const Node &e) {
        if (seen || e.name != QLatin1String("MultiVisible"))
            return;
        seen = true;
        bool ok = false;
        const int value = e.firstChildValue().trimmed().toInt(&ok, 10);
        result.visible = ok && value == 1;
    });
}

MultiNames::Result fromTree(const std::optional<Node> &root, const QString &error)
{
    MultiNames::Result result;
    if (!root) {
        result.error = QCoreApplication::translate("MultiNames", "multi.xml cannot be read: %1")
                           .arg(error);
        return result;
    }
    collectNames(*root, result);
    readVisible(*root, result);
    return result;
}

} // namespace

QString MultiNames::applicationList()
{
    // A list put with the program's data replaces the built-in one.
    const QString beside = DataLocations::programDataDirectory() + QStringLiteral("/multi.xml");
    return QFileInfo::exists(beside) ? beside : QStringLiteral(":/multi.xml");
}

QString MultiNames::listFor(const QStringList &storePaths, const QString &fallback)
{
    if (storePaths.isEmpty() || storePaths.first().isEmpty())
        return fallback;
    const QString own = DataLocations::fileIn(QFileInfo(storePaths.first()).absolutePath(),
                                              QStringLiteral("multi.xml"));
    return QFileInfo(own).isFile() ? own : fallback;
}

QString MultiNames::nameOf(const QHash<qint32, QString> &names, qint32 number)
{
    const QString name = names.value(number).simplified();
    return name.isEmpty() ? QStringLiteral("-") : name;
}

qint32 MultiNames::parseIndex(const QString &text)
{
    bool ok = false;
    const qint32 value = text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)
                             ? text.mid(2).toInt(&ok, 16)
                             : text.toInt(&ok, 10);
    return ok ? value : 0;
}

MultiNames::Result MultiNames::parse(const QByteArray &bytes)
{
    QString error;
    const std::optional<Node> root = XmlTree::parse(bytes, &error);
    return fromTree(root, error);
}

MultiNames::Result MultiNames::read(const QString &path)
{
    QString error;
    const std::optional<Node> root = XmlTree::read(path, &error);
    return fromTree(root, error);
}
