#pragma once

#include "model/Facet.h"

#include <QObject>
#include <QPoint>

class GLWidget;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
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
    void save();
    void setMyVisible(bool visible);
    void insertItem();
    void startPaint(const QString &key);
    void stopPaint();
    void setPlacingAlt(int alt);
    void moveSelection(int dx, int dy, int dz);
    void setHueOrAltitude(int altitude, int hue, bool altitudeMode);

private:
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
    // Further state of the gestures goes below.
};
