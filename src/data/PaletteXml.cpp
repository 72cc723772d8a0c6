#include "data/PaletteXml.h"

#include "data/XmlTree.h"

#include <QCoreApplication>

namespace {

using Node = XmlTree::Node;

constexpr int HighestArtId = 0xFFFF;

// An art id attribute: decimal or 0x hex within the id range.
std::optional<quint16> artIdAttribute(const Node &e, const QString &name)
{
    if (!e.attributes.hasAttribute(name))
        return std::nullopt;
    bool ok = false;
    const int id = e.attributes.value(name).toString().trimmed().toInt(&ok, 0);
    if (!ok || id < 0 || id > HighestArtId)
        return std::nullopt;
    return quint16(id);
}

// All three pieces or none: half a wall set would mix pieces with the brush.
std::optional<WallSet> wallSetOf(const Node &e)
{
    const auto corner = artIdAttribute(e, QStringLiteral("corner"));
    const auto alongX = artIdAttribute(e, QStringLiteral("alongx"));
    const auto alongY = artIdAttribute(e, QStringLiteral("alongy"));
    if (!corner || !alongX || !alongY)
        return std::nullopt;
    return WallSet{*corner, *alongX, *alongY};
}

// Children of a category element: "tileset" and "group" nest, "tile" adds a
// number, anything else is skipped with its content. `into` is null at the
// top, where loose tiles have no category to go to.
void readCategory(const Node &parent, QList<PaletteXml::Category> &children,
                  PaletteXml::Category *into)
{
    for (const Node &e : parent.children) {
        if (e.kind != Node::Element)
            continue;
        if (e.name == QLatin1String("tileset") || e.name == QLatin1String("group")) {
            PaletteXml::Category child;
            const QString name = QStringLiteral("name");
            child.name = e.attributes.hasAttribute(name) ? e.attributes.value(name).toString()
                                                         : QCoreApplication::translate("PaletteXml", "No Name");
            child.walls = wallSetOf(e);
            readCategory(e, child.children, &child);
            children.append(child);
        } else if (e.name == QLatin1String("tile") && into) {
            into->tiles.append(e.firstChildValue().toInt());
        }
    }
}

void readTilesets(const Node &tilesets, PaletteXml::Result &result)
{
    // The scan ends at the first child that is not an element (a comment, say).
    for (const Node &e : tilesets.children) {
        if (e.kind != Node::Element)
            break;
        if (e.name == QLatin1String("statics"))
            readCategory(e, result.art, nullptr);
        else if (e.name == QLatin1String("land"))
            readCategory(e, result.terrain, nullptr);
    }
}

PaletteXml::Result fromTree(const std::optional<Node> &root, const QString &error)
{
    PaletteXml::Result result;
    if (!root) {
        result.error = QCoreApplication::translate("PaletteXml", "palette.xml cannot be read: %1")
                           .arg(error);
        return result;
    }
    // Descendants only: a document element that is itself "tilesets" is not read.
    XmlTree::forEachElement(*root, [&](const Node &e) {
        if (&e != &*root && e.name == QLatin1String("tilesets"))
            readTilesets(e, result);
    });
    return result;
}

} // namespace

PaletteXml::Result PaletteXml::parse(const QByteArray &bytes)
{
    QString error;
    const std::optional<Node> root = XmlTree::parse(bytes, &error);
    return fromTree(root, error);
}

PaletteXml::Result PaletteXml::read(const QString &path)
{
    QString error;
    const std::optional<Node> root = XmlTree::read(path, &error);
    return fromTree(root, error);
}
