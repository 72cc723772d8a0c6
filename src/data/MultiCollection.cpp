#include "data/MultiCollection.h"

#include "data/FileFormats.h"
#include "data/MultiFile.h"
#include "model/Facet.h"
#include "data/UopMultiStore.h"

#include <algorithm>
#include <numeric>

bool MultiCollection::hasEntry(int number) const
{
    const QVector<Entry> all = entries();
    return std::any_of(all.cbegin(), all.cend(), [number](const Entry &e) { return e.number == number; });
}

std::unique_ptr<MultiCollection> MultiCollection::forPaths(const QStringList &paths)
{
    const FileFormat *format = paths.size() == 1 ? FileFormats::of(paths.at(0)) : nullptr;
    if (std::unique_ptr<MultiCollection> store = format ? format->collection(paths.at(0)) : nullptr)
        return store;
    if (paths.size() == 1 && paths.at(0).endsWith(QLatin1String(".uop"), Qt::CaseInsensitive))
        return std::make_unique<UopMultiStore>(paths.at(0));
    if (paths.size() == 2)
        return std::make_unique<MultiFile>(paths.at(0), paths.at(1));
    return nullptr;
}

QList<TileRecord> tilesInKeyOrder(const TileMap &map)
{
    QList<quint32> keys = map.keys();
    std::sort(keys.begin(), keys.end());
    QList<TileRecord> tiles;
    for (const quint32 key : keys)
        tiles.append(map.value(key));
    return tiles;
}

QList<TileRecord> tilesInDrawOrder(const Facet &model)
{
    QList<TileRecord> tiles;
    tiles.reserve(model.tileCount());
    const Facet::LocationTable &table = model.locations();
    for (const quint32 key : model.sortedKeys()) {
        for (const TileRecord &t : table.constFind(key).value())
            tiles.append(t);
    }
    return tiles;
}

QList<TileRecord> takeInDrawOrder(TileMap &tiles)
{
    QList<quint32> keys = tiles.keys();
    std::sort(keys.begin(), keys.end());
    QList<TileRecord> out;
    out.reserve(std::accumulate(tiles.cbegin(), tiles.cend(), qsizetype(0),
                                [](qsizetype n, const QList<TileRecord> &l) { return n + l.size(); }));
    for (const quint32 key : keys) {
        QList<TileRecord> here = tiles.take(key);
        // Stable, as a model's set keeps equal tiles in the order they came.
        std::stable_sort(here.begin(), here.end(), DrawOrder());
        out.append(here);
    }
    return out;
}
