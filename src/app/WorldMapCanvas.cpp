#include "app/WorldMapCanvas.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

WorldMapCanvas::WorldMapCanvas(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(320, 240);
    setFocusPolicy(Qt::WheelFocus);
}

void WorldMapCanvas::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void WorldMapCanvas::setArea(const QRect &cells)
{
    m_area = cells;
    update();
}

void WorldMapCanvas::centreOn(QPoint cell)
{
    m_t.centreOn(QPointF(cell) + QPointF(0.5, 0.5), size());
    update();
}

void WorldMapCanvas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!m_image.isNull()) {
        // Only the part on screen: a facet is millions of pixels.
        const QRectF world(m_t.worldAt(QPointF(0, 0)), m_t.worldAt(QPointF(width(), height())));
        const QRect source = world.toAlignedRect().adjusted(-1, -1, 1, 1) & m_image.rect();
        const QRectF target(m_t.pixelOf(source.topLeft()), QSizeF(source.size()) * m_t.scale);
        p.setRenderHint(QPainter::SmoothPixmapTransform, m_t.scale < 1);
        p.drawImage(target, m_image, source);
    }
    if (!m_area.isEmpty()) {
        const QRectF r(m_t.pixelOf(m_area.topLeft()), QSizeF(m_area.size()) * m_t.scale);
        p.setPen(QPen(Qt::yellow, 1, Qt::DashLine));
        p.setBrush(QColor(255, 255, 0, 40));
        p.drawRect(r);
    }
}

void WorldMapCanvas::wheelEvent(QWheelEvent *e)
{
    // Four notches double or halve, as in the document views.
    m_t.zoomAbout(e->position(), std::pow(2.0, e->angleDelta().y() / 480.0));
    update();
    e->accept();
}

void WorldMapCanvas::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton) {
        m_dragging = true;
        m_pressed = e->position();
        setArea(m_t.cellsBetween(m_pressed, m_pressed));
    } else if (e->button() == Qt::MiddleButton) {
        m_panning = true;
        m_panFrom = e->position();
    }
}

void WorldMapCanvas::mouseMoveEvent(QMouseEvent *e)
{
    emit hovered(m_t.cellAt(e->position()));
    if (m_panning) {
        m_t.origin -= (e->position() - m_panFrom) / m_t.scale;
        m_panFrom = e->position();
        update();
    } else if (m_dragging) {
        setArea(m_t.cellsBetween(m_pressed, e->position()));
    }
}

void WorldMapCanvas::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton && m_dragging) {
        m_dragging = false;
        setArea(m_t.cellsBetween(m_pressed, e->position()) & m_image.rect());
        emit areaChanged(m_area);
    } else if (e->button() == Qt::MiddleButton) {
        m_panning = false;
    }
}
