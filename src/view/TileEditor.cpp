#include "view/TileEditor.h"

#include "data/TileData.h"
#include "model/Altitude.h"
#include "model/MimeMgr.h"
#include "model/UndoMgr.h"
#include "scene/Document.h"
#include "scene/Selection.h"
#include "scene/IsoGeometry.h"
#include "view/tools/ToolRegistry.h"
#include "view/tools/ToolView.h"

#include <QApplication>
#include <QClipboard>
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
    for (const ToolEntry &entry : ToolRegistry::tools())
        m_tools.push_back(entry.make(*this));
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
    if (size_t(tool) >= m_tools.size())
        return;
    if (tool != m_current) {
        current()->leave();
        if (m_current == ToolKind::Paste)
            m_painting = false;
        m_current = tool;
    }
    m_band.reset();
    m_press.pending = false;
    current()->enter();
    m_painting = restingPainting();
    setToolCursor();
    changed();
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
    const Facet *model = document().model();
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

void TileEditor::changed()
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
    m_press = {true, pointOf(e->position()), e->modifiers()};
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
    document().selection().clear(editedClearIndex());
    m_modifiers = modifiers;
    placeBrush(false);
    changed();
}

bool TileEditor::apply(const QList<TileRecord> &removed, const Brush &added, const QPoint &anchor)
{
    // Tiles that would go and come back unchanged are left alone.
    QSet<QString> going;
    for (const TileRecord &t : removed)
        going.insert(t.key());
    const int raise = document().model()->placingAltitude();
    QList<TileRecord> coming;
    QSet<QString> staying;
    for (auto it = added.cbegin(); it != added.cend(); ++it) {
        for (TileRecord t : *it) {
            t.x = anchor.x() + keyX(it.key());
            t.y = anchor.y() + keyY(it.key());
            t.z = qint16(Altitude::clamp(t.z + raise));
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
    UndoMgr *undo = document().undoMgr();
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
    changed();
}

TileEditor::Band TileEditor::sceneBand() const
{
    if (!m_band)
        return {};
    // The band covers its last pixels as well: their far edges bound it.
    const QPointF a = m_view.unproject(m_band->topLeft());
    const QPointF b = m_view.unproject(m_band->bottomRight() + QPoint(1, 1));
    return {int(std::floor(a.x())), int(std::ceil(a.y())), int(std::ceil(b.x())), int(std::floor(b.y()))};
}

std::optional<QPoint> TileEditor::cellAt(const QPoint &widgetPoint, bool placingGrid) const
{
    const QPoint loc = placingGrid ? m_view.placingLocation(widgetPoint) : locationAt(widgetPoint);
    return isNoLocation(loc) ? std::nullopt : std::optional<QPoint>(loc);
}

DrawnQuad TileEditor::tileAt(const QPoint &widgetPoint) const
{
    return m_view.tileAt(widgetPoint, editedPickList());
}

QList<DrawnQuad> TileEditor::tilesIn(const QRect &widgetPixels) const
{
    return m_view.tilesInPixels(widgetPixels, editedPickList());
}

Document &TileEditor::document() const
{
    return m_view.document();
}

void TileEditor::handOff(const ToolHandOff &request)
{
    switch (request.kind) {
    case ToolHandOff::DragSelection:
        startDrag(request.at);
        break;
    case ToolHandOff::PlacePaste:
        finishPaste(request.modifiers);
        break;
    case ToolHandOff::TakeBrush:
        chooseBrush(request.tile);
        break;
    case ToolHandOff::Refuse:
        m_view.reportRefusal(request.title, request.reason);
        break;
    }
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
    if (!document().model()->inside(loc.x(), loc.y()) || !acceptsPayload(e->mimeData())) {
        e->ignore();
        return;
    }
    if (isOwnDrag(e))
        e->setDropAction(Qt::MoveAction);
    e->accept();
    m_cursor = loc;
    m_modifiers = e->modifiers();
    m_view.reportLocation(loc);
    changed();
}

void TileEditor::dragLeave(QDragLeaveEvent *e)
{
    m_painting = false;
    e->accept();
    changed();
}

void TileEditor::drop(QDropEvent *e)
{
    const QPoint loc = locationAt(pointOf(e->position()));
    if (document().model()->inside(loc.x(), loc.y()) && acceptsPayload(e->mimeData())) {
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
    changed();
}

// ---------------------------------------------------------------- paint entry points

void TileEditor::startPaint(const QString &key)
{
    TileRecord tile(key, document().tileData());
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
    changed();
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
        document().selection().clear(editedClearIndex());
    }
    changed();
}

void TileEditor::setPlacingAlt(int alt)
{
    document().model()->setPlacingAltitude(alt);
    m_view.reportPlacing(alt);
    changed();
}

// ---------------------------------------------------------------- brush

// The middle cell of the selection's bounding box: a pasted group hangs
// centred on the pointer rather than by its back corner.
QPoint TileEditor::selectionMiddle(int kind) const
{
    const Selection::Set &set = document().selection().set(kind);
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
    const Selection::Set &set = document().selection().set(kind);
    // Offsets are relative to the placing altitude, which a paste adds back.
    const int base = document().model()->placingAltitude();

    Brush brush;
    for (const auto &entries : set) {
        for (const TileIdentity &t : entries) {
            TileRecord r(quint16(t.id), qint16(t.hue), qint16(t.z), document().tileData(), t.kind);
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
    Facet *model = document().model();
    Selection &sel = document().selection();
    // A move whose drop would push tiles over the edge would lose them: refuse it.
    if (move && !brushFits())
        return;
    UndoMgr *undo = document().undoMgr();
    undo->beginGroup();
    if (move) {
        for (const TileRecord &t : sel.selectedTiles(*model, Art))
            undo->removeTile(t);
    }
    sel.clear(Selection::ClearArt);
    const int raise = altHeld() ? m_brushAltitude : document().model()->placingAltitude();
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
        t.z = qint16(Altitude::clamp(t.z + raise));
        t.x = x;
        t.y = y;
        t.sortZ = t.z;
        document().undoMgr()->insertTile(t);
        document().selection().add(TileIdentity::of(t), false);
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
        if (!document().model()->inside(loc.x(), loc.y()))
            return false;
    }
    return true;
}

void TileEditor::placeTerrain()
{
    Facet *model = document().model();
    Selection &sel = document().selection();
    UndoMgr *undo = document().undoMgr();
    sel.clear(Selection::ClearTerrain);
    // Terrain is placed while edit art is off, so the paint offset is 0.
    const int raise = altHeld() ? m_brushAltitude : 0;
    undo->beginGroup();
    for (auto it = m_brush.cbegin(); it != m_brush.cend(); ++it) {
        const QPoint loc = brushLocation(it.key());
        const qint32 x = loc.x(), y = loc.y();
        if (!model->inside(x, y))
            continue;
        TileRecord ground(0, 0, 0, document().tileData(), Terrain);
        model->placeAt(x, y, ground);
        ground.sortZ = ground.z;
        undo->removeTile(ground);
        placeCell(*it, x, y, raise);
    }
    undo->commitGroup();
}
