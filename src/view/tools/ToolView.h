#pragma once

#include "scene/DrawnQuad.h"

#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>

class ArtReader;
class Document;
class MimeMgr;
class QWidget;

// What the editor may ask of the view it works in: picking, locations, the
// document shown, and a repaint. Nothing of the view's rendering internals.
class ToolView
{
public:
    virtual ~ToolView() = default;

    // The widget itself: parent of dialogs, owner of the cursor, drag source.
    virtual QWidget *widget() = 0;

    // Picking (widget points in logical pixels).
    virtual QPoint mapLocation(const QPoint &widgetPoint) const = 0;
    // The cell of the placing grid (drawn at the placing altitude) under the point.
    virtual QPoint placingLocation(const QPoint &widgetPoint) const = 0;
    virtual DrawnQuad tileAt(const QPoint &widgetPoint, int list) const = 0;
    virtual QList<DrawnQuad> tilesInPixels(const QRect &widgetRect, int list) const = 0;
    virtual QPointF unproject(const QPoint &widgetPoint) const = 0;

    // The model, its history, selection, clip range and tile data.
    virtual Document &document() const = 0;
    virtual MimeMgr *mimeMgr() const = 0;
    virtual ArtReader *artReader() const = 0;

    virtual bool isEditArt() const = 0;
    virtual bool isEditTerrain() const = 0;

    // Something the view shows changed: repaint, and tell the window.
    virtual void repaint() = 0;
    virtual void reportLocation(const QPoint &location) = 0;
    virtual void reportPlacing(int altitude) = 0;
    // The brush became this tile key (palette, eyedropper).
    virtual void reportBrush(const QString &key) = 0;
    // A gesture was refused; the reason, for the person at the view.
    virtual void reportRefusal(const QString &title, const QString &reason) = 0;
};
