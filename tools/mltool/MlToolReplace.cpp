// mltool replace: ids swapped for others throughout a multi, as Replace Tiles
// does in the window, from any single-multi format into any.
#include "MlTool.h"

#include "data/FileFormats.h"
#include "data/MultiCollection.h"
#include "model/Facet.h"
#include "model/TileReplace.h"
#include "model/UndoMgr.h"

#include <QFileInfo>

namespace {
enum Status { Done = 0, FileFailed = 1, BadArguments = 2 };

// "A=B", each id decimal or 0x hex, 0 to 65535.
bool parsePair(const QString &text, quint16 &from, quint16 &to)
{
    const QStringList sides = text.split(QLatin1Char('='));
    if (sides.size() != 2)
        return false;
    quint16 *ids[] = {&from, &to};
    for (int i = 0; i < 2; ++i) {
        const QString side = sides[i].trimmed();
        const bool hex = side.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
        bool ok = false;
        const uint id = (hex ? side.mid(2) : side).toUInt(&ok, hex ? 16 : 10);
        // toUInt takes a sign; an id never has one.
        if (!ok || id > 0xFFFF || side.contains(QLatin1Char('+')) || side.contains(QLatin1Char('-')))
            return false;
        *ids[i] = quint16(id);
    }
    return true;
}
} // namespace

int MlTool::replace(const QStringList &args)
{
    if (args.size() < 3)
        return badArguments(QStringLiteral("replace takes IN OUT and one or more A=B"));
    TileReplace::IdMap map;
    for (const QString &pair : args.mid(2)) {
        quint16 from = 0;
        quint16 to = 0;
        if (!parsePair(pair, from, to))
            return badArguments(QStringLiteral("\"%1\" is no replacement: give A=B, ids from 0 to 65535 "
                                               "in decimal or 0x hex")
                                    .arg(pair));
        if (map.contains(from) && map.value(from) != to)
            return badArguments(QStringLiteral("%1 is given two replacements").arg(from));
        map.insert(from, to);
    }
    // Whatever the file holds stays, duplicates included: nothing merges.
    FileFormat::Loaded in = FileFormats::read(args[0], m_data, {m_className});
    if (!in.ok)
        return failed(in.error);
    warn(in.warnings);
    Facet model(m_data);
    model.setAllowDuplicates(true);
    model.load(in.tiles);
    UndoMgr undo(m_data, &model, nullptr);
    const TileReplace::Plan plan = TileReplace::plan(tilesInDrawOrder(model), map, m_data);
    TileReplace::apply(plan, undo, model);
    if (const int status = writeTiles(args[1], tilesInDrawOrder(model), {QFileInfo(args[0]).fileName(), m_deedName}))
        return status;
    m_out << plan.replaced() << (plan.replaced() == 1 ? " tile" : " tiles") << " replaced\n";
    m_out.flush();
    return Done;
}
