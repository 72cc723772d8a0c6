#include "panels/ListWidget.h"

#include "model/TileRecord.h"

#include <QApplication>
#include <QBuffer>
#include <QDataStream>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

ListWidget::ListWidget(int kind, QWidget *parent) : QListWidget(parent), m_kind(kind) {}

QMimeData *ListWidget::dragData(const QListWidgetItem *item) const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QDataStream out(&buffer);
    out.setByteOrder(QDataStream::LittleEndian);
    out << QStringLiteral("1.0") << QStringLiteral("0:0:0")
        << item->text() + QStringLiteral(":0:0:0:0:1:") + QString::number(m_kind);
    buffer.close();

    auto *data = new QMimeData;
    data->setData(m_kind == Art ? QStringLiteral("bm/art") : QStringLiteral("bm/terrain"), bytes);
    return data;
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
