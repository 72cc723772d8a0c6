#include "view/TileEditor.h"

#include "ui/Dialogs.h"
#include "data/ArtReader.h"
#include "data/TileData.h"
#include "model/MimeMgr.h"
#include "model/UndoMgr.h"
#include "scene/Selection.h"
#include "scene/IsoGeometry.h"
#include "view/tools/BrushTool.h"
#include "view/tools/EraseTool.h"
#include "view/tools/EyedropperTool.h"
#include "view/tools/FillTool.h"
#include "view/tools/HollowRectangleTool.h"
#include "view/tools/LineTool.h"
#include "view/tools/PasteTool.h"
#include "view/tools/RectangleTool.h"
#include "view/tools/SelectTool.h"
#include "view/tools/ToolView.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QSet>
#include <QWidget>
#include <QMimeData>
#include <QMouseEvent>

#include <algorithm>
#include <cmath>

namespace {

QPoint pointOf(const QPointF &p)
{
    return p.toPoint();
}

// Palette and insert keys describe a tile at (0, 0): the brush holds it at offset 0.
const quint32 OriginOffset = 0;

} // namespace

TileEditor::TileEditor(ToolView &view, QObject *parent)
    : QObject(parent), m_view(view)
{
    QWidget *widget = view.widget();
    m_launchDrag = [widget](QMimeData *payload, Qt::DropActions actions) {
        auto *drag = new QDrag(widget);
        drag->setMimeData(payload);
        drag->exec(actions);
    };
    m_tools[size_t(ToolKind::Select)] = std::make_unique<SelectTool>(*this);
    m_tools[size_t(ToolKind::Brush)] = std::make_unique<BrushTool>(*this);
    m_tools[size_t(ToolKind::Line)] = std::make_unique<LineTool>(*this);
    m_tools[size_t(ToolKind::Rectangle)] = std::make_unique<RectangleTool>(*this);
    m_tools[size_t(ToolKind::HollowRectangle)] = std::make_unique<HollowRectangleTool>(*this);
    m_tools[size_t(ToolKind::Fill)] = std::make_unique<FillTool>(*this);
    m_tools[size_t(ToolKind::Eyedropper)] = std::make_unique<EyedropperTool>(*this);
    m_tools[size_t(ToolKind::Erase)] = std::make_unique<EraseTool>(*this);
    m_tools[size_t(ToolKind::Paste)] = std::make_unique<PasteTool>(*this);
}

TileEditor::~TileEditor() = default;

// ---------------------------------------------------------------- tools

bool TileEditor::painting() const
{
    return m_painting || current()->preview() != nullptr;
}

const Brush &TileEditor::previewTiles() const
{
    if (const ToolPreview *p = current()->preview())
        return p->tiles;
    return m_brush;
}

QPoint TileEditor::previewAnchor() const
{
    if (const ToolPreview *p = current()->preview())
        return p->anchor;
    return current()->picksPlacingGrid() ? m_placingCursor : m_cursor;
}

void TileEditor::setTool(ToolKind tool)
{
    if (tool != m_current) {
        current()->leave();
        if (m_current == ToolKind::Paste)
            m_painting = false;
        m_current = tool;
    }
    m_bandShown = false;
    m_pressed = false;
    current()->enter();
    m_painting = restingPainting();
    setToolCursor();
    repaint();
}

QString TileEditor::hint() const
{
    const bool wallsWithoutBrush = m_current == ToolKind::HollowRectangle && m_wallSet;
    if (m_current == ToolKind::Brush || !current()->usesBrush() || !m_brush.isEmpty()
        || wallsWithoutBrush)
        return current()->hint();
    return tr("No brush yet: double-click a palette tile or pick one (I). %1").arg(current()->hint());
}

bool TileEditor::restingPainting() const
{
    return current()->usesBrush() && !m_brush.isEmpty();
}

void TileEditor::setToolCursor()
{
    Qt::CursorShape shape = Qt::CrossCursor;
    if (m_current == ToolKind::Select)
        shape = Qt::ArrowCursor;
    else if (m_current == ToolKind::Brush || m_current == ToolKind::Paste)
        shape = Qt::PointingHandCursor;
    m_view.widget()->setCursor(shape);
}

bool TileEditor::key(QKeyEvent *e)
{
    if (current()->key(e))
        return true;
    // Single keys, without modifiers: Shift+S and the like stay free.
    if (e->modifiers() & ~Qt::KeypadModifier)
        return false;
    const auto tool = toolForKey(e->key());
    if (!tool)
        return false;
    setTool(*tool);
    return true;
}

void TileEditor::leavePaste()
{
    m_current = m_beforePaste;
    current()->enter();
    setToolCursor();
}

// ---------------------------------------------------------------- helpers

int TileEditor::editedKind() const
{
    return m_view.isEditArt() ? Art : Terrain;
}

int TileEditor::editedClearIndex() const
{
    return m_view.isEditArt() ? Selection::ClearArt : Selection::ClearTerrain;
}

int TileEditor::editedPickList() const
{
    return m_view.isEditArt() ? IsoGeometry::PickArt : IsoGeometry::PickTerrain;
}

QPoint TileEditor::locationAt(const QPoint &widgetPoint) const
{
    return m_view.mapLocation(widgetPoint);
}

bool TileEditor::isNoLocation(const QPoint &loc) const
{
    const Facet *model = m_view.model();
    return loc.x() == model->originX - 1 || loc.y() == model->originY - 1;
}

void TileEditor::trackCursor(const QPoint &widgetPoint, Qt::KeyboardModifiers modifiers)
{
    const QPoint loc = locationAt(widgetPoint);
    if (isNoLocation(loc))
        return;
    m_cursor = loc;
    m_modifiers = modifiers;
    m_view.reportLocation(loc);
}

void TileEditor::repaint()
{
    m_view.repaint();
}

bool TileEditor::altHeld() const
{
    return m_modifiers.testFlag(Qt::AltModifier);
}

TileMap TileEditor::toTileMap(const Brush &brush)
{
    TileMap map;
    map.reserve(brush.size());
    for (auto it = brush.cbegin(); it != brush.cend(); ++it)
        map.insert(it.key(), QList<TileRecord>(it->cbegin(), it->cend()));
    return map;
}

TileEditor::Brush TileEditor::toBrush(const TileMap &map)
{
    Brush brush;
    brush.reserve(map.size());
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (it->isEmpty())
            continue;
        Facet::TileSet &set = brush[it.key()];
        for (const TileRecord &t : *it)
            set.insert(t);
    }
    return brush;
}

// ---------------------------------------------------------------- mouse

ToolEvent TileEditor::toolEvent(QMouseEvent *e) const
{
    return {pointOf(e->position()), e->buttons(), e->modifiers()};
}

void TileEditor::press(QMouseEvent *e)
{
    m_pressed = true;
    m_pressPoint = pointOf(e->position());
    m_pressModifiers = e->modifiers();
    current()->press(toolEvent(e));
}

void TileEditor::move(QMouseEvent *e)
{
    const QPoint point = pointOf(e->position());
    trackCursor(point, e->modifiers());
    if (current()->picksPlacingGrid()) {
        const QPoint loc = m_view.placingLocation(point);
        if (!isNoLocation(loc))
            m_placingCursor = loc;
    }
    current()->move(toolEvent(e));
}

void TileEditor::release(QMouseEvent *e)
{
    current()->release(toolEvent(e));
}

void TileEditor::finishPaste(Qt::KeyboardModifiers modifiers)
{
    leavePaste();
    m_painting = false;
    m_view.selection().clear(editedClearIndex());
    m_modifiers = modifiers;
    placeBrush(false);
    repaint();
}

bool TileEditor::applyShape(const QList<TileRecord> &removed, const Brush &added, const QPoint &anchor)
{
    // Tiles that would go and come back unchanged are left alone.
    QSet<QString> going;
    for (const TileRecord &t : removed)
        going.insert(t.key());
    const int raise = m_view.model()->placingAltitude();
    QList<TileRecord> coming;
    QSet<QString> staying;
    for (auto it = added.cbegin(); it != added.cend(); ++it) {
        for (TileRecord t : *it) {
            t.x = anchor.x() + keyX(it.key());
            t.y = anchor.y() + keyY(it.key());
            t.z = qint16(std::clamp(t.z + raise, -128, 127));
            t.sortZ = t.z;
            if (going.contains(t.key()))
                staying.insert(t.key());
            else
                coming.append(t);
        }
    }
    QList<TileRecord> leaving;
    for (const TileRecord &t : removed)
        if (!staying.contains(t.key()))
            leaving.append(t);
    if (leaving.isEmpty() && coming.isEmpty())
        return false;
    UndoMgr *undo = m_view.undoMgr();
    undo->beginGroup();
    for (const TileRecord &t : leaving)
        undo->removeTile(t);
    for (const TileRecord &t : coming)
        undo->insertTile(t);
    undo->commitGroup();
    return true;
}

void TileEditor::chooseBrush(const TileRecord &tile)
{
    TileRecord t = tile;
    t.x = 0;
    t.y = 0;
    m_brush.clear();
    m_brush[OriginOffset].insert(t);
    m_brushAltitude = 0;
    m_view.reportBrush(t.key());
    repaint();
}

void TileEditor::setBand(const QPoint &from, const QPoint &to)
{
    // Both corner pixels belong to the band, whichever way it was dragged
    // (QRect::normalized would drop a row and a column of an inverted one).
    const QPoint topLeft(std::min(from.x(), to.x()), std::min(from.y(), to.y()));
    m_bandPixels = QRect(topLeft, QPoint(std::max(from.x(), to.x()), std::max(from.y(), to.y())));
    // The band covers its last pixels as well: their far edges bound it.
    const QPoint pastBottomRight(std::max(from.x(), to.x()) + 1, std::max(from.y(), to.y()) + 1);
    const QPointF a = m_view.unproject(topLeft);
    const QPointF b = m_view.unproject(pastBottomRight);
    m_band.x1 = int(std::floor(a.x()));
    m_band.y1 = int(std::ceil(a.y()));
    m_band.x2 = int(std::ceil(b.x()));
    m_band.y2 = int(std::floor(b.y()));
}

// ---------------------------------------------------------------- drag and drop

// The grabbed tile's location anchors the brush, so the group stays under
// the pointer where it was taken.
void TileEditor::startDrag(const QPoint &grabbed)
{
    const int kind = editedKind();
    QMimeData *payload =
        m_view.mimeMgr()->encode(kind, toTileMap(collectBrush(kind, grabbed)), 0, 0, 0);
    const Qt::DropActions actions = m_view.isEditArt() ? Qt::MoveAction : Qt::CopyAction;
    m_draggingOut = true;
    m_launchDrag(payload, actions);
    m_draggingOut = false;
}

bool TileEditor::acceptsPayload(const QMimeData *mime) const
{
    return mime && m_view.mimeMgr()->canDecode(editedKind(), mime);
}

// The toolkit names the source only while its own drag loop runs; a drag this
// editor launched counts as its own as well.
bool TileEditor::isOwnDrag(const QDropEvent *e) const
{
    return e->proposedAction() == Qt::MoveAction && (m_draggingOut || e->source() == m_view.widget());
}

void TileEditor::dragEnter(QDragEnterEvent *e)
{
    const QPoint loc = locationAt(pointOf(e->position()));
    if (!acceptsPayload(e->mimeData())) {
        e->ignore();
        return;
    }
    e->accept();
    int x = 0, y = 0;
    qint16 z = 0;
    m_brush = toBrush(m_view.mimeMgr()->decode(editedKind(), e->mimeData(), x, y, z));
    m_painting = true;
    m_cursor = loc;
    m_brushAltitude = z;
}

void TileEditor::dragMove(QDragMoveEvent *e)
{
    const QPoint loc = locationAt(pointOf(e->position()));
    if (!m_view.model()->inside(loc.x(), loc.y()) || !acceptsPayload(e->mimeData())) {
        e->ignore();
        return;
    }
    if (isOwnDrag(e))
        e->setDropAction(Qt::MoveAction);
    e->accept();
    m_cursor = loc;
    m_modifiers = e->modifiers();
    m_view.reportLocation(loc);
    repaint();
}

void TileEditor::dragLeave(QDragLeaveEvent *e)
{
    m_painting = false;
    e->accept();
    repaint();
}

void TileEditor::drop(QDropEvent *e)
{
    const QPoint loc = locationAt(pointOf(e->position()));
    if (m_view.model()->inside(loc.x(), loc.y()) && acceptsPayload(e->mimeData())) {
        m_modifiers = e->modifiers();
        if (isOwnDrag(e)) {
            if (m_view.isEditArt()) {
                placeArt(true);
                e->setDropAction(Qt::MoveAction);
            } else {
                placeTerrain();
            }
        } else {
            placeBrush(false);
        }
        e->accept();
    } else {
        e->ignore();
    }
    m_painting = false;
    repaint();
}

// ---------------------------------------------------------------- paint entry points

void TileEditor::startPaint(const QString &key)
{
    TileRecord tile(key, m_view.tileData());
    const bool terrain = m_view.isEditTerrain() && tile.kind == Terrain;
    const bool art = m_view.isEditArt() && tile.kind == Art && !pasteArmed();
    if (!terrain && !art)
        return;
    tile.x = 0;
    tile.y = 0;
    m_brush.clear();
    m_brush[OriginOffset].insert(tile);
    m_view.reportBrush(tile.key());
    // A drawing tool keeps drawing with the new tile; otherwise painting starts.
    setTool(current()->usesBrush() ? m_current : ToolKind::Brush);
    m_painting = true;
}

void TileEditor::stopPaint()
{
    if (pasteArmed())
        return;
    if (paintMode()) {
        m_current = ToolKind::Select;
        setToolCursor();
    }
    m_painting = false;
    repaint();
}

void TileEditor::cancel()
{
    if (current()->cancel()) {
        // A gesture in progress goes; the tool stays.
    } else if (pasteArmed()) {
        leavePaste();
        m_painting = false;
    } else if (paintMode()) {
        m_current = ToolKind::Select;
        setToolCursor();
        m_painting = false;
    } else if (m_painting) {
        m_painting = false;
    } else {
        m_view.selection().clear(editedClearIndex());
    }
    repaint();
}

void TileEditor::setPlacingAlt(int alt)
{
    m_view.model()->setPlacingAltitude(alt);
    m_view.reportPlacing(alt);
    repaint();
}

// ---------------------------------------------------------------- commands

void TileEditor::moveSelection(int dx, int dy, int dz)
{
    if (m_view.isEditTerrain() && (dx != 0 || dy != 0))
        return;
    if (painting() && dz != 0) {
        setPlacingAlt(m_view.model()->placingAltitude() + dz);
        return;
    }
    const int kind = editedKind();
    Selection &sel = m_view.selection();
    // The model's records move by their keys: each is looked up once, as it is taken.
    const QList<TileRecord> tiles = sel.selectedKeys(kind);
    // A tile pushed over the edge would be removed but never re-added: keep the group whole.
    // A stale identity, naming no tile, holds nothing back.
    const Facet &model = *m_view.model();
    for (const TileRecord &t : tiles) {
        if (!model.inside(t.x + dx, t.y + dy) && model.holds(t.x, t.y, t))
            return;
    }
    UndoMgr *undo = m_view.undoMgr();
    undo->beginGroup();
    // Moved tiles may pass over equal ones on their way.
    undo->markDuplicate();
    sel.clear(editedClearIndex());
    sel.addAll(undo->moveTiles(tiles, dx, dy, dz));
    undo->commitGroup();
    repaint();
}

void TileEditor::setHueOrAltitude(int altitude, int hue, bool altitudeMode)
{
    if (m_view.isEditTerrain() && !altitudeMode)
        return;
    const int kind = editedKind();
    Selection &sel = m_view.selection();
    UndoMgr *undo = m_view.undoMgr();
    undo->beginGroup();
    const QList<TileRecord> tiles = sel.selectedTiles(*m_view.model(), kind);
    sel.clear(editedClearIndex());
    for (TileRecord t : tiles) {
        undo->removeTile(t);
        if (altitudeMode) {
            t.z = qint16(altitude);
            t.sortZ = t.z;
        } else {
            t.hue = qint16(hue);
        }
        undo->insertTile(t);
        sel.add(TileIdentity::of(t), false);
    }
    undo->commitGroup();
    repaint();
}

void TileEditor::setMyVisible(bool visible)
{
    const qint16 target = visible ? 1 : 0;
    Selection &sel = m_view.selection();
    UndoMgr *undo = m_view.undoMgr();
    undo->beginGroup();
    const QList<TileRecord> tiles = sel.selectedTiles(*m_view.model(), Art);
    sel.clear(Selection::ClearArt);
    for (TileRecord t : tiles) {
        if (t.visible != target) {
            undo->removeTile(t);
            t.visible = target;
            undo->insertTile(t);
        }
        sel.add(TileIdentity::of(t), false);
    }
    undo->commitGroup();
    repaint();
}

void TileEditor::del()
{
    Selection &sel = m_view.selection();
    if (sel.isEmpty(editedKind()) || !m_view.isEditArt())
        return;
    UndoMgr *undo = m_view.undoMgr();
    undo->beginGroup();
    for (const TileRecord &t : sel.selectedTiles(*m_view.model(), Art))
        undo->removeTile(t);
    undo->commitGroup();
    sel.clear(Selection::ClearArt);
    repaint();
}

void TileEditor::cut()
{
    Selection &sel = m_view.selection();
    if (sel.isEmpty(editedKind()) || !m_view.isEditArt())
        return;
    // Collected from the identities before they go: the brush needs no model records.
    const Brush brush = collectBrush(Art, selectionMiddle(Art));
    del();
    putOnClipboard(Art, brush);
}

void TileEditor::copy()
{
    const int kind = editedKind();
    if (m_view.selection().isEmpty(kind))
        return;
    putOnClipboard(kind, collectBrush(kind, selectionMiddle(kind)));
}

void TileEditor::paste()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!acceptsPayload(mime))
        return;
    int x = 0, y = 0;
    qint16 z = 0;
    m_brush = toBrush(m_view.mimeMgr()->decode(editedKind(), mime, x, y, z));
    m_brushAltitude = z;
    // Paint mode and paste placement exclude each other: the click places the group.
    if (!pasteArmed()) {
        current()->leave();
        m_beforePaste = paintMode() ? ToolKind::Select : m_current;
    }
    m_current = ToolKind::Paste;
    m_pressed = false;
    m_bandShown = false;
    m_painting = true;
    setToolCursor();
    // Hang the group under the pointer at once when it is over the view
    // (after a menu or a dialog the next move may be a while away).
    const QPoint pointer = m_view.widget()->mapFromGlobal(QCursor::pos());
    if (m_view.widget()->rect().contains(pointer))
        trackCursor(pointer, QGuiApplication::keyboardModifiers());
    repaint();
}

void TileEditor::insertItem()
{
    ArtReader *art = m_view.artReader();
    const int kind = editedKind();
    int count = 0;
    if (art)
        count = kind == Art ? art->staticCount() : art->landCount();
    bool ok = false;
    const int id = Dialogs::getInt(m_view.widget(), tr("Insert item"), tr("Item id"),
                                   0, 0, std::max(0, count - 1), 1, &ok);
    if (!ok)
        return;
    bool hasArt = false;
    if (art && id >= 0 && id < count) {
        if (kind == Art) {
            int w = 0, h = 0;
            hasArt = art->staticPixels(id, w, h) && w >= 1 && h >= 1;
        } else {
            hasArt = art->landPixels(id) != nullptr;
        }
    }
    if (!hasArt) {
        Dialogs::warning(m_view.widget(), tr("Invalid id"),
                         tr("ID %1 had no artwork").arg(id));
        return;
    }
    const QString key = QStringLiteral("%1:0:0:0:0:1:%2").arg(id).arg(kind);
    Brush brush;
    brush[OriginOffset].insert(TileRecord(key, m_view.tileData()));
    putOnClipboard(kind, brush);
    paste();
}

void TileEditor::undo()
{
    m_view.undoMgr()->undo();
    m_view.selection().clear(Selection::ClearBoth);
    repaint();
}

void TileEditor::redo()
{
    m_view.undoMgr()->redo();
    m_view.selection().clear(Selection::ClearBoth);
    repaint();
}

// ---------------------------------------------------------------- brush

// The middle cell of the selection's bounding box: a pasted group hangs
// centred on the pointer rather than by its back corner.
QPoint TileEditor::selectionMiddle(int kind) const
{
    const Selection::Set &set = m_view.selection().set(kind);
    if (set.isEmpty())
        return {};
    int minX = keyX(set.cbegin().key()), maxX = minX;
    int minY = keyY(set.cbegin().key()), maxY = minY;
    for (auto it = set.cbegin(); it != set.cend(); ++it) {
        minX = std::min(minX, int(keyX(it.key())));
        maxX = std::max(maxX, int(keyX(it.key())));
        minY = std::min(minY, int(keyY(it.key())));
        maxY = std::max(maxY, int(keyY(it.key())));
    }
    return {(minX + maxX) / 2, (minY + maxY) / 2};
}

TileEditor::Brush TileEditor::collectBrush(int kind, const QPoint &anchor) const
{
    const Selection::Set &set = m_view.selection().set(kind);
    // Offsets are relative to the placing altitude, which a paste adds back.
    const int base = m_view.model()->placingAltitude();

    Brush brush;
    for (const auto &entries : set) {
        for (const TileIdentity &t : entries) {
            TileRecord r(quint16(t.id), qint16(t.hue), qint16(t.z), m_view.tileData(), t.kind);
            r.x = t.x - anchor.x();
            r.y = t.y - anchor.y();
            r.z = qint16(t.z - base);
            r.sortZ = r.z;
            brush[locationKey(r.x, r.y)].insert(r);
        }
    }
    return brush;
}

void TileEditor::putOnClipboard(int kind, const Brush &brush)
{
    QMimeData *mime = m_view.mimeMgr()->encode(kind, toTileMap(brush), 0, 0, 0);
    QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
}

void TileEditor::placeBrush(bool move)
{
    if (m_view.isEditArt())
        placeArt(move);
    else
        placeTerrain();
}

void TileEditor::placeArt(bool move)
{
    Facet *model = m_view.model();
    Selection &sel = m_view.selection();
    // A move whose drop would push tiles over the edge would lose them: refuse it.
    if (move && !brushFits())
        return;
    UndoMgr *undo = m_view.undoMgr();
    undo->beginGroup();
    if (move) {
        for (const TileRecord &t : sel.selectedTiles(*model, Art))
            undo->removeTile(t);
    }
    sel.clear(Selection::ClearArt);
    const int raise = altHeld() ? m_brushAltitude : m_view.model()->placingAltitude();
    for (auto it = m_brush.cbegin(); it != m_brush.cend(); ++it) {
        const QPoint loc = brushLocation(it.key());
        const qint32 x = loc.x(), y = loc.y();
        if (!model->inside(x, y))
            continue;
        placeCell(*it, x, y, raise);
    }
    undo->commitGroup();
}

// The brush tiles of one offset, placed at (x, y) and raised, kept within the
// game's altitude range, and selected.
void TileEditor::placeCell(const Facet::TileSet &tiles, qint32 x, qint32 y, int raise)
{
    for (TileRecord t : tiles) {
        t.z = qint16(std::clamp(t.z + raise, -128, 127));
        t.x = x;
        t.y = y;
        t.sortZ = t.z;
        m_view.undoMgr()->insertTile(t);
        m_view.selection().add(TileIdentity::of(t), false);
    }
}

QPoint TileEditor::brushLocation(quint32 offset) const
{
    // Offsets and cursor add as 16-bit values, like location keys.
    return QPoint(qint16(m_cursor.x() + keyX(offset)), qint16(m_cursor.y() + keyY(offset)));
}

bool TileEditor::brushFits() const
{
    for (auto it = m_brush.cbegin(); it != m_brush.cend(); ++it) {
        const QPoint loc = brushLocation(it.key());
        if (!m_view.model()->inside(loc.x(), loc.y()))
            return false;
    }
    return true;
}

void TileEditor::placeTerrain()
{
    Facet *model = m_view.model();
    Selection &sel = m_view.selection();
    UndoMgr *undo = m_view.undoMgr();
    sel.clear(Selection::ClearTerrain);
    // Terrain is placed while edit art is off, so the paint offset is 0.
    const int raise = altHeld() ? m_brushAltitude : 0;
    undo->beginGroup();
    for (auto it = m_brush.cbegin(); it != m_brush.cend(); ++it) {
        const QPoint loc = brushLocation(it.key());
        const qint32 x = loc.x(), y = loc.y();
        if (!model->inside(x, y))
            continue;
        TileRecord ground(0, 0, 0, m_view.tileData(), Terrain);
        model->placeAt(x, y, ground);
        ground.sortZ = ground.z;
        undo->removeTile(ground);
        placeCell(*it, x, y, raise);
    }
    undo->commitGroup();
}
