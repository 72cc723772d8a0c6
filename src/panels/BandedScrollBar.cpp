#include "panels/BandedScrollBar.h"

#include "panels/RasterBand.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QStyleOptionSlider>

#include <algorithm>

BandedScrollBar::BandedScrollBar(Qt::Orientation orientation, QWidget *parent) : QScrollBar(orientation, parent) {}

QStyle::SubControl BandedScrollBar::partAt(const QPoint &pos) const
{
    if (!rect().contains(pos))
        return QStyle::SC_None;
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    return style()->hitTestComplexControl(QStyle::CC_ScrollBar, &opt, pos, this);
}

bool BandedScrollBar::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
        m_hovered = static_cast<QHoverEvent *>(event)->position().toPoint();
        break;
    case QEvent::HoverLeave:
        m_hovered = {-1, -1};
        break;
    default:
        break;
    }
    return QScrollBar::event(event);
}

void BandedScrollBar::mousePressEvent(QMouseEvent *event)
{
    m_pointer = event->position().toPoint();
    m_pressed = partAt(m_pointer);
    QScrollBar::mousePressEvent(event);
}

void BandedScrollBar::mouseMoveEvent(QMouseEvent *event)
{
    m_pointer = event->position().toPoint();
    QScrollBar::mouseMoveEvent(event);
}

void BandedScrollBar::mouseReleaseEvent(QMouseEvent *event)
{
    m_pressed = QStyle::SC_None;
    QScrollBar::mouseReleaseEvent(event);
    update();
}

void BandedScrollBar::paintEvent(QPaintEvent *event)
{
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    opt.subControls = QStyle::SC_All;
    if (m_pressed != QStyle::SC_None) {
        opt.activeSubControls = m_pressed;
        // A dragged slider stays sunken wherever the pointer goes.
        if (m_pressed == QStyle::SC_ScrollBarSlider || partAt(m_pointer) == m_pressed)
            opt.state |= QStyle::State_Sunken;
    } else {
        opt.activeSubControls = partAt(m_hovered);
    }
    // Each band is drawn on its own small image: the style sets clips of its
    // own, and only the device's edge bounds every fill it makes.
    const qreal ratio = devicePixelRatio();
    const int bandHeight = std::min(RasterBand, height());
    QImage band(QSize(width(), bandHeight) * ratio, QImage::Format_ARGB32_Premultiplied);
    band.setDevicePixelRatio(ratio);
    QPainter painter(this);
    const QRect area = event->rect();
    for (int top = area.top(); top <= area.bottom(); top += bandHeight) {
        band.fill(Qt::transparent);
        QPainter onBand(&band);
        onBand.translate(0, -top);
        style()->drawComplexControl(QStyle::CC_ScrollBar, &opt, &onBand, this);
        onBand.end();
        const int rows = std::min(bandHeight, area.bottom() + 1 - top);
        painter.drawImage(QRectF(0, top, width(), rows), band, QRectF(0, 0, band.width(), rows * ratio));
    }
}
