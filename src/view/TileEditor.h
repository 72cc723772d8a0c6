#pragma once

#include "model/Facet.h"
#include "model/WallSet.h"
#include "scene/Brush.h"
#include "scene/DrawnQuad.h"
#include "view/tools/Tool.h"
#include "view/tools/ToolContext.h"
#include "view/tools/ToolKind.h"

#include <QObject>
#include <QPoint>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class ToolView;
class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QKeyEvent;
class QMimeData;
class QMouseEvent;

// The editing side of a view: routes the mouse and the keys to the current
// tool, keeps what the tools share (brush, cursor location, band, preview),
// handles drag and drop, and runs the edit commands, each change one undo
// group. Talks to the view only through ToolView; the tools reach it only
// as their ToolContext.
class TileEditor : public QObject, public ToolContext
{
    Q_OBJECT
public:
    using Brush = ::Brush;
    struct Band {
        int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // scene units
    };

    // Runs a drag out of the view with the payload (owned by the launcher from
    // then on) and the allowed actions; returns when the drag has ended.
    using DragLauncher = std::function<void(QMimeData *payload, Qt::DropActions actions)>;

    explicit TileEditor(ToolView &view, QObject *parent);
    ~TileEditor() override;

    // What the renderer reads.
    bool painting() const;
    bool paintMode() const { return m_current == ToolKind::Brush; }
    bool pasteArmed() const { return m_current == ToolKind::Paste; }
    QPoint cursorLocation() const { return m_cursor; }
    Qt::KeyboardModifiers modifiers() const { return m_modifiers; }
    const Brush &brush() const { return m_brush; }
    qint16 brushAltitude() const { return m_brushAltitude; }
    bool bandShown() const { return m_band.has_value(); }
    // The band in scene units, for drawing.
    Band sceneBand() const;
    // The tiles shown translucent and the location their offsets start from:
    // the current tool's gesture, else the brush at the cursor.
    const Brush &previewTiles() const;
    QPoint previewAnchor() const;

    // Tools.
    ToolKind currentTool() const { return m_current; }
    void setTool(ToolKind tool);
    QString hint() const;
    // The wall pieces the hollow rectangle uses; none: the brush everywhere.
    void setWallSet(const std::optional<WallSet> &set) { m_wallSet = set; }
    const std::optional<WallSet> &wallSet() const { return m_wallSet; }

    // Event handlers, forwarded by the view.
    void press(QMouseEvent *e);
    void move(QMouseEvent *e);
    void release(QMouseEvent *e);
    // A key pressed while the document has the focus; true when it was used.
    bool key(QKeyEvent *e);
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
    bool pressed() const { return m_press.pending; }

    static TileMap toTileMap(const Brush &brush);
    static Brush toBrush(const TileMap &map);

    // ---- ToolContext: what the tools reach ----
    ToolPress &press() override { return m_press; }
    std::optional<QPoint> cellAt(const QPoint &widgetPoint, bool placingGrid) const override;
    DrawnQuad tileAt(const QPoint &widgetPoint) const override;
    QList<DrawnQuad> tilesIn(const QRect &widgetPixels) const override;
    Document &document() const override;
    ToolMaterial material() const override { return {m_brush, m_wallSet, editedKind()}; }
    std::optional<QRect> &band() override { return m_band; }
    bool apply(const QList<TileRecord> &removed, const Brush &added, const QPoint &anchor) override;
    void handOff(const ToolHandOff &request) override;
    void changed() override;

private:
    int editedKind() const;
    int editedClearIndex() const;
    int editedPickList() const;
    QPoint locationAt(const QPoint &widgetPoint) const;
    bool isNoLocation(const QPoint &loc) const;
    void startDrag(const QPoint &grabbed);
    // Places the armed group at the cursor location and returns to the tool before it.
    void finishPaste(Qt::KeyboardModifiers modifiers);
    // The tile becomes the brush (eyedropper): offset (0, 0), its altitude above the placing altitude.
    void chooseBrush(const TileRecord &tile);
    Tool *current() const { return m_tools[size_t(m_current)].get(); }
    ToolEvent toolEvent(QMouseEvent *e) const;
    void trackCursor(const QPoint &widgetPoint, Qt::KeyboardModifiers modifiers);
    void setToolCursor();
    bool altHeld() const;
    // After a paste or a palette change: whether the brush hangs at the cursor.
    bool restingPainting() const;
    void leavePaste();

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

    ToolView &m_view;
    std::vector<std::unique_ptr<Tool>> m_tools;
    ToolKind m_current = ToolKind::Select;
    ToolKind m_beforePaste = ToolKind::Select;
    std::optional<WallSet> m_wallSet;
    bool m_painting = false;
    QPoint m_cursor{0, 0};
    // The placing grid's cell under the pointer, for the tools that draw on it.
    QPoint m_placingCursor{0, 0};
    Qt::KeyboardModifiers m_modifiers;
    Brush m_brush;
    qint16 m_brushAltitude = 0;
    // The band's widget pixels, inclusive: what selecting by band asks about.
    std::optional<QRect> m_band;
    ToolPress m_press;
    bool m_draggingOut = false;
    DragLauncher m_launchDrag;
};
