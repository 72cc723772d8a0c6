#include "view/tools/EraseTool.h"

#include "model/Facet.h"
#include "scene/Document.h"
#include "scene/Selection.h"
#include "view/TileEditor.h"

#include <QApplication>

void EraseTool::move(const ToolEvent &e)
{
    if (!(e.buttons & Qt::LeftButton))
        return;
    std::optional<QRect> &band = m_ed.band();
    ToolPress &press = m_ed.press();
    if (!band) {
        if (!press.pending || (e.point - press.point).manhattanLength() < QApplication::startDragDistance())
            return;
        press.pending = false;
    }
    band = bandBetween(press.point, e.point);
    m_ed.changed();
}

void EraseTool::release(const ToolEvent &)
{
    std::optional<QRect> &band = m_ed.band();
    ToolPress &press = m_ed.press();
    if (band) {
        const QRect pixels = *band;
        band.reset();
        erase(m_ed.tilesIn(pixels));
    } else if (press.pending) {
        press.pending = false;
        const DrawnQuad hit = m_ed.tileAt(press.point);
        if (hit.isTile())
            erase({hit});
    }
    m_ed.changed();
}

// What was drawn is within the clip range already; the test stays for tiles
// drawn before the range last changed.
void EraseTool::erase(const QList<DrawnQuad> &hits)
{
    Document &doc = m_ed.document();
    const Facet *model = doc.model();
    QList<TileRecord> removed;
    for (const DrawnQuad &q : hits) {
        if (doc.clipEnabled() && (q.z < doc.minAlt() || q.z > doc.maxAlt()))
            continue;
        const Facet::TileSet *set = model->tilesAtPtr(q.x, q.y);
        if (!set)
            continue;
        for (const TileRecord &t : *set) {
            if (q.identity().matches(t)) {
                removed.append(t);
                break;
            }
        }
    }
    if (!m_ed.apply(removed, {}, {}))
        return;
    for (const TileRecord &t : removed)
        doc.selection().remove(TileIdentity::of(t));
}

bool EraseTool::cancel()
{
    std::optional<QRect> &band = m_ed.band();
    if (!band)
        return false;
    band.reset();
    m_ed.press().pending = false;
    return true;
}

QString EraseTool::hint() const
{
    return TileEditor::tr("Erase: drag a band over the tiles to delete, or click one; "
                          "only tiles within the clip range go");
}

ToolInfo EraseTool::info()
{
    return {TileEditor::tr("Erase Area"), Qt::Key_E, QStringLiteral("draw-eraser"), true};
}
