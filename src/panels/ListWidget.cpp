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
    return payload(m_kind, key(item));
}

QString ListWidget::key(const QListWidgetItem *item) const
{
    QString own = item->data(KeyRole).toString();
    if (!own.isEmpty())
        return own;
    const QVariant id = item->data(IdRole);
    const QString number = id.isValid() ? QString::number(id.toInt()) : item->text();
    return number + QStringLiteral(":0:0:0:0:1:") + QString::number(m_kind);
}

QMimeData *ListWidget::payload(int kind, const QString &key)
{
    // The tile sits at the reference point with the key's altitude and hue.
    const auto fields = TileRecord::keyFields(key);
    TileRecord tile;
    tile.id = quint16(fields[0]);
    tile.z = qint16(fields[3]);
    tile.hue = qint16(fields[4]);
    tile.kind = kind;
    TileMap tiles;
    tiles[locationKey(0, 0)].append(tile);
    return MimeMgr::encode(kind, tiles, 0, 0, 0);
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
