#include "panels/ListWidget.h"

#include "model/MimeMgr.h"
#include "model/TileRecord.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

ListWidget::ListWidget(int kind, QWidget *parent) : QListWidget(parent), m_kind(kind) {}

QMimeData *ListWidget::dragData(const QListWidgetItem *item) const
{
    // The item's text is the tile's id; the tile sits at the reference point.
    TileRecord tile;
    tile.id = quint16(TileRecord::keyFields(item->text())[0]);
    tile.kind = m_kind;
    TileMap tiles;
    tiles[locationKey(0, 0)].append(tile);
    return MimeMgr::encode(m_kind, tiles, 0, 0, 0);
}

void ListWidget::mousePressEvent(QMouseEvent *e)
{
    const QPoint p = e->position().toPoint();
    m_pressX = p.x();
    m_pressY = p.y();
    QListWidget::mousePressEvent(e);
}

bool ListWidget::dragWanted(QMouseEvent *e) const
{
    if (!(e->buttons() & Qt::LeftButton) || selectedItems().isEmpty())
        return false;
    const QPoint moved = e->position().toPoint() - QPoint(m_pressX, m_pressY);
    return moved.manhattanLength() >= QApplication::startDragDistance();
}

void ListWidget::mouseMoveEvent(QMouseEvent *e)
{
    if (!dragWanted(e)) {
        QListWidget::mouseMoveEvent(e);
        return;
    }
    QPointer<QDrag> drag = new QDrag(this);
    drag->setMimeData(dragData(selectedItems().first()));
    drag->exec(Qt::CopyAction);
    if (drag)
        drag->deleteLater();
}
