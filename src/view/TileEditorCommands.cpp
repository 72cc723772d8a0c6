// The edit commands of the editor: moves, hue and altitude, visibility,
// delete, cut, copy, paste, insert, undo and redo; each change one undo group.
#include "view/TileEditor.h"

#include "data/ArtReader.h"
#include "model/MimeMgr.h"
#include "model/UndoMgr.h"
#include "scene/Document.h"
#include "scene/Selection.h"
#include "ui/Dialogs.h"
#include "view/tools/ToolView.h"

#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QMimeData>
#include <QWidget>

#include <algorithm>

namespace {
// Insert keys describe a tile at (0, 0): the brush holds it at offset 0.
const quint32 OriginOffset = 0;
} // namespace

void TileEditor::moveSelection(int dx, int dy, int dz)
{
    if (m_view.isEditTerrain() && (dx != 0 || dy != 0))
        return;
    if (painting() && dz != 0) {
        setPlacingAlt(document().model()->placingAltitude() + dz);
        return;
    }
    const int kind = editedKind();
    Selection &sel = document().selection();
    // The model's records move by their keys: each is looked up once, as it is taken.
    const QList<TileRecord> tiles = sel.selectedKeys(kind);
    // A tile pushed over the edge would be removed but never re-added: keep the group whole.
    // A stale identity, naming no tile, holds nothing back.
    const Facet &model = *document().model();
    for (const TileRecord &t : tiles) {
        if (!model.inside(t.x + dx, t.y + dy) && model.holds(t.x, t.y, t))
            return;
    }
    UndoMgr *undo = document().undoMgr();
    undo->beginGroup();
    // Moved tiles may pass over equal ones on their way.
    undo->markDuplicate();
    sel.clear(editedClearIndex());
    sel.addAll(undo->moveTiles(tiles, dx, dy, dz));
    undo->commitGroup();
    changed();
}

void TileEditor::setHueOrAltitude(int altitude, int hue, bool altitudeMode)
{
    if (m_view.isEditTerrain() && !altitudeMode)
        return;
    const int kind = editedKind();
    Selection &sel = document().selection();
    UndoMgr *undo = document().undoMgr();
    undo->beginGroup();
    const QList<TileRecord> tiles = sel.selectedTiles(*document().model(), kind);
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
    changed();
}

void TileEditor::setMyVisible(bool visible)
{
    const qint16 target = visible ? 1 : 0;
    Selection &sel = document().selection();
    UndoMgr *undo = document().undoMgr();
    undo->beginGroup();
    const QList<TileRecord> tiles = sel.selectedTiles(*document().model(), Art);
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
    changed();
}

void TileEditor::del()
{
    Selection &sel = document().selection();
    if (sel.isEmpty(editedKind()) || !m_view.isEditArt())
        return;
    UndoMgr *undo = document().undoMgr();
    undo->beginGroup();
    for (const TileRecord &t : sel.selectedTiles(*document().model(), Art))
        undo->removeTile(t);
    undo->commitGroup();
    sel.clear(Selection::ClearArt);
    changed();
}

void TileEditor::cut()
{
    Selection &sel = document().selection();
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
    if (document().selection().isEmpty(kind))
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
    m_press.pending = false;
    m_band.reset();
    m_painting = true;
    setToolCursor();
    // Hang the group under the pointer at once when it is over the view
    // (after a menu or a dialog the next move may be a while away).
    const QPoint pointer = m_view.widget()->mapFromGlobal(QCursor::pos());
    if (m_view.widget()->rect().contains(pointer))
        trackCursor(pointer, QGuiApplication::keyboardModifiers());
    changed();
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
    brush[OriginOffset].insert(TileRecord(key, document().tileData()));
    putOnClipboard(kind, brush);
    paste();
}

void TileEditor::undo()
{
    document().undoMgr()->undo();
    document().selection().clear(Selection::ClearBoth);
    changed();
}

void TileEditor::redo()
{
    document().undoMgr()->redo();
    document().selection().clear(Selection::ClearBoth);
    changed();
}
