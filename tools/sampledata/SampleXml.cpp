#include "SampleXml.h"

#include "SampleCatalogue.h"
#include "SampleMultis.h"

#include <QXmlStreamWriter>

namespace {

// Categories and groups in order of first appearance, each with its tiles.
void writeTree(QXmlStreamWriter &w, const QVector<SampleCatalogue::Tile> &tiles)
{
    QStringList categories;
    for (const auto &t : tiles)
        if (!categories.contains(t.category.at(0)))
            categories.append(t.category.at(0));
    for (const QString &category : categories) {
        w.writeStartElement(QStringLiteral("tileset"));
        w.writeAttribute(QStringLiteral("name"), category);
        QStringList groups;
        for (const auto &t : tiles)
            if (t.category.at(0) == category && !groups.contains(t.category.at(1)))
                groups.append(t.category.at(1));
        for (const QString &group : groups) {
            w.writeStartElement(QStringLiteral("group"));
            w.writeAttribute(QStringLiteral("name"), group);
            for (const SampleCatalogue::Walls &walls : SampleCatalogue::wallGroups()) {
                if (category != QLatin1String("Walls") || walls.group != group)
                    continue;
                w.writeAttribute(QStringLiteral("corner"), QString::number(walls.pieces.corner));
                w.writeAttribute(QStringLiteral("alongx"), QString::number(walls.pieces.alongX));
                w.writeAttribute(QStringLiteral("alongy"), QString::number(walls.pieces.alongY));
            }
            for (const auto &t : tiles)
                if (t.category.at(0) == category && t.category.at(1) == group)
                    w.writeTextElement(QStringLiteral("tile"), QString::number(t.id));
            w.writeEndElement();
        }
        w.writeEndElement();
    }
}

} // namespace

QByteArray SampleXml::palette()
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("palette"));
    // No comments inside "tilesets": the reader stops at the first child that is not an element.
    w.writeStartElement(QStringLiteral("tilesets"));
    w.writeStartElement(QStringLiteral("statics"));
    writeTree(w, SampleCatalogue::art());
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("land"));
    writeTree(w, SampleCatalogue::land());
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}

QByteArray SampleXml::multiNames()
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("multis"));
    w.writeStartElement(QStringLiteral("multiset"));
    w.writeAttribute(QStringLiteral("name"), QStringLiteral("Sample multis"));
    bool hex = false;
    auto name = [&w, &hex](int index, const QString &text) {
        // Both number forms the chooser accepts, alternately.
        w.writeStartElement(QStringLiteral("Multi"));
        w.writeAttribute(QStringLiteral("Index"),
                         hex ? QStringLiteral("0x%1").arg(index, 0, 16) : QString::number(index));
        w.writeCharacters(text);
        w.writeEndElement();
        hex = !hex;
    };
    for (const SampleMultis::Multi &m : SampleMultis::all())
        name(m.index, m.name);
    name(SampleMultis::EmptyEntry, QStringLiteral("Empty entry"));
    w.writeEndElement();
    w.writeTextElement(QStringLiteral("MultiVisible"), QStringLiteral("1"));
    w.writeEndElement();
    w.writeEndDocument();
    return out;
}
