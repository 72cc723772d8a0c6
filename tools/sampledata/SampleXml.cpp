#include "SampleXml.h"

#include "SampleCatalogue.h"
#include "SampleMultis.h"
#include "data/PaletteXml.h"

#include <QXmlStreamWriter>

#include <algorithm>

namespace {

// Categories and groups in order of first appearance, each with its tiles;
// the wall groups name their pieces.
QList<PaletteXml::Category> tree(const QVector<SampleCatalogue::Tile> &tiles)
{
    QList<PaletteXml::Category> categories;
    for (const auto &t : tiles) {
        auto top = std::find_if(categories.begin(), categories.end(),
                                [&](const PaletteXml::Category &c) { return c.name == t.category.at(0); });
        if (top == categories.end())
            top = categories.insert(categories.end(), {t.category.at(0), {}, {}, std::nullopt, {}});
        auto group = std::find_if(top->children.begin(), top->children.end(),
                                  [&](const PaletteXml::Category &c) { return c.name == t.category.at(1); });
        if (group == top->children.end()) {
            group = top->children.insert(top->children.end(), {t.category.at(1), {}, {}, std::nullopt, {}});
            for (const SampleCatalogue::Walls &walls : SampleCatalogue::wallGroups())
                if (top->name == QLatin1String("Walls") && walls.group == group->name)
                    group->pieces = {walls.pieces.corner, walls.pieces.alongX, walls.pieces.alongY};
        }
        group->tiles.append(t.id);
    }
    return categories;
}

} // namespace

QByteArray SampleXml::palette()
{
    return PaletteXml::write(tree(SampleCatalogue::art()), tree(SampleCatalogue::land()));
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
