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
    const QImage look = drawn(opt);
    const qreal ratio = look.devicePixelRatio();
    QPainter painter(this);
    const QRect area = event->rect();
    for (int top = area.top(); top <= area.bottom(); top += RasterBand) {
        const QRect band(area.left(), top, area.width(), std::min(RasterBand, area.bottom() + 1 - top));
        painter.drawImage(band, look, QRectF(band.topLeft() * ratio, band.size() * ratio));
    }
}

bool BandedScrollBar::Look::operator==(const Look &o) const
{
    return size == o.size && ratio == o.ratio && style == o.style && palette == o.palette && state == o.state &&
           active == o.active && minimum == o.minimum && maximum == o.maximum && pageStep == o.pageStep &&
           position == o.position && upsideDown == o.upsideDown && direction == o.direction;
}

// The scroll bar as the style draws it, kept for the last few looks at rest:
// a selection and its clearing come and go with the same two. Under the
// pointer or pressed it is drawn afresh, as a style may animate it then.
QImage BandedScrollBar::drawn(const QStyleOptionSlider &opt)
{
    const qreal ratio = devicePixelRatio();
    const Look look{opt.rect.size(), ratio, style(), opt.palette.cacheKey(), int(opt.state), int(opt.activeSubControls),
                    opt.minimum, opt.maximum, opt.pageStep, opt.sliderPosition, opt.upsideDown, opt.direction};
    const bool atRest = !(opt.state & QStyle::State_MouseOver) && m_pressed == QStyle::SC_None;
    if (atRest)
        for (const Drawn &d : m_drawn)
            if (!d.image.isNull() && d.look == look)
                return d.image;
    QImage image(opt.rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    // Each band is drawn on its own small image: the style sets clips of its
    // own, and only the device's edge bounds every fill it makes.
    const int bandHeight = std::min(RasterBand, opt.rect.height());
    QImage band(QSize(opt.rect.width(), bandHeight) * ratio, QImage::Format_ARGB32_Premultiplied);
    band.setDevicePixelRatio(ratio);
    QPainter whole(&image);
    whole.setCompositionMode(QPainter::CompositionMode_Source);
    for (int top = 0; top < opt.rect.height(); top += bandHeight) {
        band.fill(Qt::transparent);
        QPainter onBand(&band);
        onBand.translate(0, -top);
        style()->drawComplexControl(QStyle::CC_ScrollBar, &opt, &onBand, this);
        onBand.end();
        whole.drawImage(QPoint(0, top), band);
    }
    whole.end();
    if (atRest) {
        m_drawn[size_t(m_next)] = {look, image};
        m_next = (m_next + 1) % int(m_drawn.size());
    }
    return image;
}
