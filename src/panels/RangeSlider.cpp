#include "panels/RangeSlider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int PageStep = 10;

int along(Qt::Orientation o, const QPoint &p)
{
    return o == Qt::Horizontal ? p.x() : p.y();
}

RangeSlider::Handle other(RangeSlider::Handle h)
{
    return h == RangeSlider::Lower ? RangeSlider::Upper : RangeSlider::Lower;
}
} // namespace

RangeSlider::RangeSlider(Qt::Orientation orientation, QWidget *parent)
    : QWidget(parent), m_orientation(orientation)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(orientation == Qt::Vertical ? QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding)
                                              : QSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed));
}

void RangeSlider::setRange(int minimum, int maximum)
{
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    set(Lower, m_values[Lower]);
    set(Upper, m_values[Upper]);
    update();
}

void RangeSlider::setLower(int value) { set(Lower, value); }
void RangeSlider::setUpper(int value) { set(Upper, value); }

bool RangeSlider::set(Handle h, int value)
{
    value = std::clamp(value, m_min, m_max);
    if (value == m_values[h])
        return false;
    m_values[h] = value;
    update();
    if (h == Lower)
        emit lowerChanged(value);
    else
        emit upperChanged(value);
    return true;
}

void RangeSlider::moveBy(Handle h, int value)
{
    // The handles never cross under the person's hand.
    set(h, h == Lower ? std::min(value, m_values[Upper]) : std::max(value, m_values[Lower]));
}

QStyleOptionSlider RangeSlider::option(Handle h) const
{
    QStyleOptionSlider opt;
    opt.initFrom(this);
    opt.orientation = m_orientation;
    opt.minimum = m_min;
    opt.maximum = m_max;
    opt.sliderPosition = m_values[h];
    opt.sliderValue = m_values[h];
    opt.singleStep = 1;
    opt.pageStep = PageStep;
    // Higher values upwards, as altitudes go.
    opt.upsideDown = m_orientation == Qt::Vertical;
    opt.tickPosition = QSlider::NoTicks;
    opt.subControls = QStyle::SC_SliderHandle;
    if (!hasFocus() || h != m_current)
        opt.state &= ~QStyle::State_HasFocus;
    if (m_dragging && h == m_current) {
        opt.activeSubControls = QStyle::SC_SliderHandle;
        opt.state |= QStyle::State_Sunken;
    }
    return opt;
}

QRect RangeSlider::handleRect(Handle h) const
{
    const QStyleOptionSlider opt = option(h);
    return style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
}

QSize RangeSlider::sizeHint() const
{
    QStyleOptionSlider opt = option(Lower);
    const int thick = style()->pixelMetric(QStyle::PM_SliderThickness, &opt, this);
    const QSize size = m_orientation == Qt::Vertical ? QSize(thick, 84) : QSize(84, thick);
    return style()->sizeFromContents(QStyle::CT_Slider, &opt, size, this);
}

QSize RangeSlider::minimumSizeHint() const
{
    QSize size = sizeHint();
    const int length = style()->pixelMetric(QStyle::PM_SliderLength, nullptr, this) * 2;
    (m_orientation == Qt::Vertical ? size.rheight() : size.rwidth()) = length;
    return size;
}

void RangeSlider::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QStyleOptionSlider groove = option(Lower);
    groove.subControls = QStyle::SC_SliderGroove;
    // The style fills the groove up to sliderPosition: nothing, as the range is drawn below.
    groove.sliderPosition = groove.sliderValue = m_min;
    style()->drawComplexControl(QStyle::CC_Slider, &groove, &p, this);

    const QRect g = style()->subControlRect(QStyle::CC_Slider, &groove, QStyle::SC_SliderGroove, this);
    const QPoint a = handleRect(Lower).center();
    const QPoint b = handleRect(Upper).center();
    QRect span = m_orientation == Qt::Vertical
                     ? QRect(QPoint(g.left(), std::min(a.y(), b.y())), QPoint(g.right(), std::max(a.y(), b.y())))
                     : QRect(QPoint(std::min(a.x(), b.x()), g.top()), QPoint(std::max(a.x(), b.x()), g.bottom()));
    p.fillRect(span.adjusted(1, 1, -1, -1), palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                                            QPalette::Highlight));
    // The current handle on top, where the person's next move goes.
    for (Handle h : {other(m_current), m_current}) {
        const QStyleOptionSlider opt = option(h);
        style()->drawComplexControl(QStyle::CC_Slider, &opt, &p, this);
    }
}

int RangeSlider::valueAt(const QPoint &pos) const
{
    const QStyleOptionSlider opt = option(m_current);
    const QRect g = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
    const QRect h = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
    const bool horizontal = m_orientation == Qt::Horizontal;
    const int length = horizontal ? h.width() : h.height();
    const int start = horizontal ? g.x() : g.y();
    const int end = (horizontal ? g.right() : g.bottom()) - length + 1;
    return QStyle::sliderValueFromPosition(m_min, m_max, along(m_orientation, pos) - m_grabOffset - start,
                                           end - start, opt.upsideDown);
}

void RangeSlider::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    const QPoint pos = e->position().toPoint();
    const Handle handles[] = {m_current, other(m_current)};
    const auto hit = std::find_if(std::begin(handles), std::end(handles),
                                  [&](Handle h) { return handleRect(h).contains(pos); });
    m_dragging = true;
    if (hit != std::end(handles)) {
        m_current = *hit;
        m_grabOffset = along(m_orientation, pos - handleRect(m_current).topLeft());
    } else {
        // A press on the groove brings the nearer handle there.
        const QRect r = handleRect(m_current);
        m_grabOffset = (m_orientation == Qt::Horizontal ? r.width() : r.height()) / 2;
        const int value = valueAt(pos);
        const int toLower = std::abs(value - m_values[Lower]);
        const int toUpper = std::abs(value - m_values[Upper]);
        m_current = toLower < toUpper || (toLower == toUpper && value < m_values[Lower]) ? Lower : Upper;
        moveBy(m_current, value);
    }
    update();
}

void RangeSlider::mouseMoveEvent(QMouseEvent *e)
{
    if (!m_dragging)
        return;
    const int value = valueAt(e->position().toPoint());
    // Handles on one value: the direction of the drag says which one was meant.
    if (m_values[Lower] == m_values[Upper] && value != m_values[Lower])
        m_current = value > m_values[Lower] ? Upper : Lower;
    moveBy(m_current, value);
}

void RangeSlider::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
    update();
}

int RangeSlider::stepFor(int key) const
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Right:
        return 1;
    case Qt::Key_Down:
    case Qt::Key_Left:
        return -1;
    case Qt::Key_PageUp:
        return PageStep;
    case Qt::Key_PageDown:
        return -PageStep;
    case Qt::Key_Home:
        return m_min - m_max;
    case Qt::Key_End:
        return m_max - m_min;
    default:
        return 0;
    }
}

bool RangeSlider::event(QEvent *e)
{
    // The window's arrow and page keys move tiles: here they move the handle.
    if (e->type() == QEvent::ShortcutOverride) {
        auto *k = static_cast<QKeyEvent *>(e);
        if ((k->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && stepFor(k->key()) != 0) {
            e->accept();
            return true;
        }
    }
    if (e->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(e)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason)
            m_current = reason == Qt::TabFocusReason ? Lower : Upper;
    }
    return QWidget::event(e);
}

void RangeSlider::keyPressEvent(QKeyEvent *e)
{
    const int step = stepFor(e->key());
    if (step == 0 || (e->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        QWidget::keyPressEvent(e);
        return;
    }
    const long long target = static_cast<long long>(m_values[m_current]) + step;
    moveBy(m_current, int(std::clamp<long long>(target, m_min, m_max)));
}

bool RangeSlider::focusNextPrevChild(bool next)
{
    if (hasFocus() && m_current == (next ? Lower : Upper)) {
        m_current = next ? Upper : Lower;
        update();
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}
