#pragma once

#include "model/Facet.h"

#include <QObject>
#include <QPoint>
#include <QRect>

#include <functional>

class GLWidget;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class QMouseEvent;

// The editing side of a view: the mouse gestures (paint, paste placement,
// band, drag out, drop) and the edit commands, each change one undo group.
class TileEditor : public QObject
{
    Q_OBJECT
public:
    // Brush: tiles by cell offset (location key of the offset) from the cursor location.
    using Brush = QHash<quint32, Facet::TileSet>;
    struct Band {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // scene units
    };

    // Runs a drag out of the view with the payload (owned by the launcher from
    // then on) and the allowed actions; returns when the drag has ended.
    using DragLauncher = std::function<void(QMimeData *payload, Qt::DropActions actions)>;

    explicit TileEditor(GLWidget *view);

    // What the renderer reads.
    bool painting() const { return m_painting; }
    bool paintMode() const { return m_paintMode; }
    bool pasteArmed() const { return m_pasteArmed; }
    QPoint cursorLocation() const { return m_cursor; }
    Qt::KeyboardModifiers modifiers() const { return m_modifiers; }
    const Brush &brush() const { return m_brush; }
    qint16 brushAltitude() const { return m_brushAltitude; }
    bool bandShown() const { return m_bandShown; }
    Band band() const { return m_band; }

    // Event handlers, forwarded by the view.
    void press(QMouseEvent *e);
    void move(QMouseEvent *e);
    void release(QMouseEvent *e);
    void dragEnter(QDragEnterEvent *e);
    void dragMove(QDragMoveEvent *e);
    void dragLeave(QDragLeaveEvent *e);
    void drop(QDropEvent *e);

    // Commands, forwarded by the view's slots.
    void cancel();
    void undo();
    void redo();
    void copy();
    void cut();
    void paste();
    void del();
    void setMyVisible(bool visible);
    void insertItem();
    void startPaint(const QString &key);
    void stopPaint();
    void setPlacingAlt(int alt);
    void moveSelection(int dx, int dy, int dz);
    void setHueOrAltitude(int altitude, int hue, bool altitudeMode);

    // Replaces the QDrag loop (tests drive the drop handlers from inside the launcher).
    void setDragLauncher(DragLauncher launcher) { m_launchDrag = std::move(launcher); }
    bool pressed() const { return m_pressed; }

    static TileMap toTileMap(const Brush &brush);
    static Brush toBrush(const TileMap &map);

private:
    int editedKind() const;
    int editedClearIndex() const;
    int editedPickList() const;
    QPoint locationAt(const QPoint &widgetPoint) const;
    bool isNoLocation(const QPoint &loc) const;
    void trackCursor(const QPoint &widgetPoint, Qt::KeyboardModifiers modifiers);
    void setHandCursor(bool hand);
    void repaint();
    bool altHeld() const;

    void paintStroke(const QPoint &widgetPoint);
    void placePaintTile(const QPoint &loc);
    void startDrag(const QPoint &grabbed);
    void setBand(const QPoint &from, const QPoint &to);
    void finishBand(Qt::KeyboardModifiers modifiers);
    void clickSelect();

    // Offsets from anchor, a map location.
    Brush collectBrush(int kind, const QPoint &anchor) const;
    QPoint selectionMiddle(int kind) const;
    void putOnClipboard(int kind, const Brush &brush);
    void placeBrush(bool move);
    void placeArt(bool move);
    void placeTerrain();
    void placeCell(const Facet::TileSet &tiles, qint32 x, qint32 y, int raise);
    QPoint brushLocation(quint32 offset) const;
    bool brushFits() const;
    bool acceptsPayload(const QMimeData *mime) const;
    bool isOwnDrag(const QDropEvent *e) const;


    GLWidget *m_view;
    bool m_painting = false;
    bool m_paintMode = false;
    bool m_pasteArmed = false;
    QPoint m_cursor{0, 0};
    Qt::KeyboardModifiers m_modifiers;
    Brush m_brush;
    qint16 m_brushAltitude = 0;
    bool m_bandShown = false;
    Band m_band;
    // The band's widget pixels, inclusive: what selecting by band asks about.
    QRect m_bandPixels;
    bool m_pressed = false;
    QPoint m_pressPoint{0, 0};
    Qt::KeyboardModifiers m_pressModifiers;
    QPoint m_lastPainted{-1, -1};
    QPoint m_lastPaintPoint{-1, -1};
    bool m_draggingOut = false;
    DragLauncher m_launchDrag;
};
