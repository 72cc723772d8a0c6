#pragma once

#include "model/TileRecord.h"
#include "model/WallSet.h"
#include "scene/Brush.h"
#include "scene/DrawnQuad.h"

#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>

#include <algorithm>
#include <optional>

class Document;

// The press a gesture started with; a tool that acts on it clears `pending`,
// so later moves of the same gesture start nothing more.
struct ToolPress {
    bool pending = false;
    QPoint point;
    Qt::KeyboardModifiers modifiers;
};

// What a tool works with: the brush, the wall pieces of the palette group in
// use (none: the brush everywhere) and the kind of tile being edited.
struct ToolMaterial {
    const Brush &brush;
    const std::optional<WallSet> &walls;
    int kind;
};

// What a gesture hands back to the editor when it ends in something other
// than a change of tiles.
struct ToolHandOff {
    enum Kind { DragSelection, PlacePaste, TakeBrush, Refuse };
    Kind kind;
    QPoint at;                       // DragSelection: the grabbed tile's location
    Qt::KeyboardModifiers modifiers; // PlacePaste
    TileRecord tile;                 // TakeBrush
    QString title, reason;           // Refuse: said to the person at the view

    static ToolHandOff dragSelection(const QPoint &grabbed) { return {DragSelection, grabbed, {}, {}, {}, {}}; }
    static ToolHandOff placePaste(Qt::KeyboardModifiers m) { return {PlacePaste, {}, m, {}, {}, {}}; }
    static ToolHandOff takeBrush(const TileRecord &t) { return {TakeBrush, {}, {}, t, {}, {}}; }
    static ToolHandOff refuse(const QString &title, const QString &reason)
    {
        return {Refuse, {}, {}, {}, title, reason};
    }
};

// The editor as its tools reach it; nothing more. Widget points are logical pixels.
class ToolContext
{
public:
    virtual ~ToolContext() = default;

    virtual ToolPress &press() = 0;
    // The ground cell under the point, or the placing grid's (drawn at the
    // placing altitude); none off the walked area.
    virtual std::optional<QPoint> cellAt(const QPoint &widgetPoint, bool placingGrid) const = 0;
    // The top tile of the edited kind drawn under the point, and those whose
    // pixels meet the rectangle (inclusive).
    virtual DrawnQuad tileAt(const QPoint &widgetPoint) const = 0;
    virtual QList<DrawnQuad> tilesIn(const QRect &widgetPixels) const = 0;
    // The model, its selection, clip range and tile data.
    virtual Document &document() const = 0;
    virtual ToolMaterial material() const = 0;
    // The rubber band in widget pixels (inclusive), shown while set.
    virtual std::optional<QRect> &band() = 0;
    // One undo group: the tiles removed, then the tiles (by offset from the
    // anchor, above the placing altitude) added; false when nothing changed.
    virtual bool apply(const QList<TileRecord> &removed, const Brush &added, const QPoint &anchor) = 0;
    virtual void handOff(const ToolHandOff &request) = 0;
    // Something the view shows changed: repaint and report.
    virtual void changed() = 0;
};

// The band's pixels between two corners, both included, whichever way it was
// dragged (QRect::normalized would drop a row and a column of an inverted one).
inline QRect bandBetween(const QPoint &from, const QPoint &to)
{
    return {QPoint(std::min(from.x(), to.x()), std::min(from.y(), to.y())),
            QPoint(std::max(from.x(), to.x()), std::max(from.y(), to.y()))};
}
