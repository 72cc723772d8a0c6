// Addon scripts: whatever reads stays inside the area, and what is written
// from it reads back as the same components.
#include "FuzzInput.h"
#include "data/AddonScriptReader.h"
#include "data/AddonScriptWriter.h"
#include "data/TileData.h"
#include "model/Facet.h"

#include <algorithm>

namespace {
QList<QList<int>> sorted(const QVector<AddonScript::Component> &components)
{
    QList<QList<int>> out;
    for (const AddonScript::Component &c : components)
        out.append({c.id, c.x, c.y, c.z, c.hue});
    std::sort(out.begin(), out.end());
    return out;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const TileData info;
    const AddonScript::Parsed parsed = AddonScriptReader::parse(FuzzInput::bytes(data, size));
    if (parsed.ok == parsed.classes.isEmpty() || parsed.ok == !parsed.error.isEmpty())
        __builtin_trap();
    for (const AddonScript::AddonClass &c : parsed.classes) {
        const Facet probe(info);
        for (const AddonScript::Component &k : c.components) {
            if (!probe.inside(k.x, k.y) || k.z < AddonScript::MinZ || k.z > AddonScript::MaxZ || k.hue < 0)
                __builtin_trap();
        }
        if (!std::is_sorted(c.unevaluated.cbegin(), c.unevaluated.cend()))
            __builtin_trap();
    }
    if (!parsed.ok)
        return 0;
    const AddonScript::AddonClass &first = parsed.classes.first();
    QList<TileRecord> tiles;
    for (const QList<TileRecord> &list : AddonScript::tilesOf(first, info))
        tiles.append(list);
    AddonScript::WriteOptions options{QStringLiteral("FuzzAddon"), QStringLiteral("Fuzz \"deed\""), QString()};
    const AddonScript::Parsed again = AddonScriptReader::parse(AddonScriptWriter::write(tiles, options).bytes);
    if (!again.ok || again.classes.size() != 1 || !again.classes.first().unevaluated.isEmpty()
        || sorted(again.classes.first().components) != sorted(first.components))
        __builtin_trap();
    return 0;
}
