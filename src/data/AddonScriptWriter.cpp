#include "data/AddonScriptWriter.h"

#include <QRegularExpression>

namespace {
const char *const TableName = "m_AddOnSimpleComponents";

QByteArray hexId(quint16 id)
{
    return "0x" + QByteArray::number(id, 16).toUpper().rightJustified(4, '0');
}

// A file name may hold line breaks; a comment line must not.
QByteArray oneLine(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (c.unicode() < 0x20 || c == QChar(0x85) || c == QChar(0x2028) || c == QChar(0x2029))
            c = QLatin1Char('?');
    }
    return out.toUtf8();
}

QByteArray serialisation(const QByteArray &indent)
{
    return indent + "public override void Serialize(GenericWriter writer)\n" + indent + "{\n" + indent
           + "\tbase.Serialize(writer);\n" + indent + "\twriter.Write(0); // version\n" + indent + "}\n\n"
           + indent + "public override void Deserialize(GenericReader reader)\n" + indent + "{\n" + indent
           + "\tbase.Deserialize(reader);\n" + indent + "\treader.ReadInt(); // version\n" + indent + "}\n";
}
} // namespace

QString AddonScriptWriter::className(const QString &baseName)
{
    // Accents go, so "Häuschen" keeps its letters as "Hauschen".
    const QString plain = baseName.normalized(QString::NormalizationForm_D);
    QString name;
    bool wordStart = true;
    for (const QChar c : plain) {
        const bool ascii = c.unicode() < 0x80 && c.isLetterOrNumber();
        if (!ascii) {
            wordStart = wordStart || !c.isMark();
            continue;
        }
        name += wordStart ? c.toUpper() : c;
        wordStart = false;
    }
    if (name.isEmpty() || name.at(0).isDigit())
        name.prepend(QStringLiteral("Multi"));
    if (name.endsWith(QLatin1String("addon"), Qt::CaseInsensitive))
        name.chop(5);
    // The server's own base class keeps its name.
    if (name == QLatin1String("Base"))
        name += QStringLiteral("Multi");
    return name + QStringLiteral("Addon");
}

QString AddonScriptWriter::deedName(const QString &className)
{
    QString base = className;
    if (base.endsWith(QLatin1String("Addon")) && base.size() > 5)
        base.chop(5);
    static const QRegularExpression wordBreak(QStringLiteral("(?<=[a-z0-9])(?=[A-Z])"));
    return base.replace(wordBreak, QStringLiteral(" "));
}

QByteArray AddonScriptWriter::quoted(const QString &text)
{
    QByteArray out = "\"";
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            out += '\\' + QByteArray(1, char(u));
        else if (u < 0x20 || u == 0x7F || u == 0x85 || u == 0x2028 || u == 0x2029)
            out += "\\u" + QByteArray::number(u, 16).rightJustified(4, '0');
        else
            out += QString(c).toUtf8();
    }
    return out + '"';
}

AddonScriptWriter::Result AddonScriptWriter::write(const QList<TileRecord> &tiles,
                                                   const AddonScript::WriteOptions &options)
{
    Result r;
    QByteArray table;
    QByteArray hued;
    table.reserve(tiles.size() * 24);
    int tableRows = 0;
    for (const TileRecord &t : tiles) {
        if (!t.visible) {
            ++r.invisible;
            continue;
        }
        if (t.kind != Art) {
            ++r.terrain;
            continue;
        }
        const QByteArray place = hexId(t.id) + ", " + QByteArray::number(t.x) + ", " + QByteArray::number(t.y)
                                 + ", " + QByteArray::number(t.z);
        if (t.hue == 0) {
            table += (tableRows++ ? ",\n\t\t\t{" : "\t\t\t{") + place + '}';
        } else {
            hued += "\t\t\tAddComplexComponent((BaseAddon)this, " + place + ", " + QByteArray::number(t.hue)
                    + ", -1);\n";
        }
        ++r.components;
    }
    const QByteArray name = options.className.toUtf8();
    const QByteArray deed = name + "Deed";
    QByteArray &out = r.bytes;
    out.reserve(table.size() + hued.size() + 4096);
    out += "// " + name + ": an addon written by Tilsen Multi Editor from "
           + (options.source.isEmpty() ? QByteArray("a multi without a file") : oneLine(options.source)) + ".\n"
           + "// " + QByteArray::number(r.components) + " components: " + QByteArray::number(tableRows)
           + " in the component table, " + QByteArray::number(r.components - tableRows) + " hued.\n"
           + "using System;\nusing Server;\nusing Server.Items;\n\nnamespace Server.Items\n{\n"
           + "\tpublic class " + name + " : BaseAddon\n\t{\n";
    if (tableRows > 0)
        out += "\t\tprivate static int[,] " + QByteArray(TableName) + " = new int[,] {\n" + table + "\n\t\t};\n\n";
    out += "\t\tpublic override BaseAddonDeed Deed { get { return new " + deed + "(); } }\n\n"
           + "\t\t[Constructable]\n\t\tpublic " + name + "()\n\t\t{\n";
    if (tableRows > 0) {
        const QByteArray t = TableName;
        out += "\t\t\tfor (int i = 0; i < " + t + ".Length / 4; i++)\n\t\t\t\tAddComponent(new AddonComponent(" + t
               + "[i, 0]), " + t + "[i, 1], " + t + "[i, 2], " + t + "[i, 3]);\n";
    }
    if (tableRows > 0 && !hued.isEmpty())
        out += '\n';
    out += hued + "\t\t}\n\n\t\tpublic " + name + "(Serial serial) : base(serial)\n\t\t{\n\t\t}\n\n";
    if (!hued.isEmpty()) {
        out += "\t\tprivate static void AddComplexComponent(BaseAddon addon, int item, int xoffset, int yoffset, "
               "int zoffset, int hue, int lightsource)\n\t\t{\n"
               "\t\t\tAddonComponent ac = new AddonComponent(item);\n"
               "\t\t\tif (hue != 0)\n\t\t\t\tac.Hue = hue;\n"
               "\t\t\tif (lightsource != -1)\n\t\t\t\tac.Light = (LightType)lightsource;\n"
               "\t\t\taddon.AddComponent(ac, xoffset, yoffset, zoffset);\n\t\t}\n\n";
    }
    out += serialisation("\t\t") + "\t}\n\n\tpublic class " + deed + " : BaseAddonDeed\n\t{\n"
           + "\t\tpublic override BaseAddon Addon { get { return new " + name + "(); } }\n\n"
           + "\t\t[Constructable]\n\t\tpublic " + deed + "()\n\t\t{\n\t\t\tName = " + quoted(options.deedName)
           + ";\n\t\t}\n\n\t\tpublic " + deed + "(Serial serial) : base(serial)\n\t\t{\n\t\t}\n\n"
           + serialisation("\t\t") + "\t}\n}\n";
    return r;
}
