#include "data/PaletteXml.h"

#include "data/XmlTree.h"

#include <QCoreApplication>
#include <QXmlStreamWriter>

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

// The attribute of each piece, in the order of PaletteXml::Piece.
const std::array<QLatin1String, PaletteXml::PieceCount> PieceNames = {
    QLatin1String("corner"), QLatin1String("alongx"), QLatin1String("alongy")};

// XML 1.0 carries no control characters but tab, line feed and return.
QString xmlSafe(const QString &text)
{
    QString out;
    for (const QChar c : text)
        if (c.unicode() >= 0x20 || c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            out.append(c);
    return out;
}

void writeCategories(QXmlStreamWriter &w, const QList<PaletteXml::Category> &categories, bool top)
{
    for (const PaletteXml::Category &c : categories) {
        w.writeStartElement(top ? QStringLiteral("tileset") : QStringLiteral("group"));
        w.writeAttribute(QStringLiteral("name"), xmlSafe(c.name));
        for (int p = 0; p < PaletteXml::PieceCount; ++p)
            if (c.pieces[p])
                w.writeAttribute(PieceNames[p], QString::number(*c.pieces[p]));
        for (const qint32 tile : c.tiles)
            w.writeTextElement(QStringLiteral("tile"), QString::number(tile));
        writeCategories(w, c.children, false);
        w.writeEndElement();
    }
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
            for (int p = 0; p < PaletteXml::PieceCount; ++p)
                child.pieces[p] = artIdAttribute(e, PieceNames[p]);
            // All three pieces or none: half a wall set would mix pieces with the brush.
            child.walls = PaletteXml::wallSet(child.pieces);
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

std::optional<WallSet> PaletteXml::wallSet(const std::array<std::optional<quint16>, PieceCount> &pieces)
{
    if (!pieces[Corner] || !pieces[AlongX] || !pieces[AlongY])
        return std::nullopt;
    return WallSet{*pieces[Corner], *pieces[AlongX], *pieces[AlongY]};
}

QByteArray PaletteXml::write(const QList<Category> &art, const QList<Category> &terrain)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("palette"));
    // No comment may go inside "tilesets": the reader stops at the first child that is not an element.
    w.writeStartElement(QStringLiteral("tilesets"));
    w.writeStartElement(QStringLiteral("statics"));
    writeCategories(w, art, true);
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("land"));
    writeCategories(w, terrain, true);
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}
