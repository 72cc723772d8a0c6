#include "scene/NoDrawList.h"

#include "model/TileRecord.h"

#include <algorithm>
#include <iterator>

// Sorted inclusive ranges, searched by their upper ends.
bool NoDrawList::contains(int kind, int id)
{
    static constexpr int terrainIds[][2] = {{0, 0}, {2, 2}, {431, 437}, {14824, 14856}};
    static constexpr int artIds[][2] = {
        {0, 1},         {7182, 7185},   {8273, 8274},   {8291, 8297},   {8600, 8612},
        {8636, 8636},   {9224, 9224},   {10269, 10287}, {12073, 12086}, {12112, 12117},
        {12219, 12220}, {12243, 12243}, {12366, 12367}, {12388, 12389}, {12578, 12582},
        {14768, 14768}, {14781, 14786}, {14855, 14856}, {14933, 15003}};
    auto inRanges = [id](const auto &ranges) {
        const auto *end = std::end(ranges);
        const auto *it = std::lower_bound(std::begin(ranges), end, id,
                                          [](const int(&r)[2], int v) { return r[1] < v; });
        return it != end && (*it)[0] <= id;
    };
    if (kind == Terrain)
        return inRanges(terrainIds);
    if (kind == Art)
        return inRanges(artIds);
    return false;
}
