#pragma once

// Frames read back as tiles: each scene tile has a colour of its own, so a
// pixel names the tile drawn there.
#include "TestClient.h"
#include "view/GLWidget.h"

#include <QSet>
#include <QTest>

#include <optional>

// Spread out so no image covers another; sizes that are not powers of two
// give padded textures.
const QList<SceneTile> ColouredScene = {
    {1001, 0, 0, 0, {44, 44}, 0xFFF80000},   {1002, 3, 0, 0, {44, 44}, 0xFF00F800},
    {1003, 0, 3, 0, {44, 44}, 0xFFF8F800},   {1004, 3, 3, 5, {20, 106}, 0xFFF800F8},
    {1005, -3, -3, 0, {60, 30}, 0xFF00F8F8}, {1006, 6, 3, 2, {44, 70}, 0xFFF88000},
    {1007, -3, 3, 0, {44, 44}, 0xFF8000F8},
};
// A tile only painting places.
const SceneTile ColouredBrush = {1008, 0, 0, 0, {44, 44}, 0xFF0080F8};

// Tiles of a test's other scenes, named by their colours as well.
inline QList<SceneTile> &moreColouredTiles()
{
    static QList<SceneTile> tiles;
    return tiles;
}

inline std::optional<int> idOfColour(QRgb c)
{
    static const QList<SceneTile> tiles = ColouredScene + QList<SceneTile>{ColouredBrush};
    for (const SceneTile &t : tiles + moreColouredTiles())
        if ((c | 0xFF000000u) == t.colour)
            return t.id;
    return std::nullopt;
}

// Each tile's bounding box in the frame, found a run of equal pixels at a time.
inline QMap<int, QRect> tileRects(const QImage &frame)
{
    const QImage image = frame.convertToFormat(QImage::Format_ARGB32);
    QMap<int, QRect> rects;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width();) {
            int end = x + 1;
            while (end < image.width() && line[end] == line[x])
                ++end;
            if (const auto id = idOfColour(line[x]))
                rects[*id] |= QRect(x, y, end - x, 1);
            x = end;
        }
    }
    return rects;
}

// Every tile whose colour shows inside the rectangle.
inline QSet<int> idsIn(const QImage &frame, const QRect &r)
{
    QSet<int> ids;
    const QRect clipped = r & frame.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (const auto id = idOfColour(frame.pixel(x, y)))
                ids.insert(*id);
    return ids;
}

// The pixels that differ between two frames of one view.
inline QRect changed(const QImage &before, const QImage &after)
{
    QRect r;
    for (int y = 0; y < before.height(); ++y)
        for (int x = 0; x < before.width(); ++x)
            if (before.pixel(x, y) != after.pixel(x, y))
                r |= QRect(x, y, 1, 1);
    return r;
}

inline QSet<int> selectedIds(GLWidget *v)
{
    QSet<int> ids;
    for (const auto &list : v->selection().set(Art))
        for (const TileIdentity &t : list)
            ids.insert(t.id);
    return ids;
}

// A press, a move through the middle and a release with the left button.
inline void band(GLWidget *v, const QPoint &from, const QPoint &to)
{
    QTest::mousePress(v, Qt::LeftButton, {}, from);
    QTest::mouseMove(v, (from + to) / 2);
    QTest::mouseMove(v, to);
    QTest::mouseRelease(v, Qt::LeftButton, {}, to);
}
