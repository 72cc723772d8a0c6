#pragma once

#include <QStyleOptionSlider>
#include <QWidget>

// A slider with two handles, lower and upper, over one range, drawn by the
// style as slider parts. The person can never drag one handle past the
// other; values set from outside are shown as given. Arrow keys, Page Up/Down,
// Home and End move the current handle; Tab goes from the lower handle to the
// upper one before it leaves the slider.
class RangeSlider : public QWidget
{
    Q_OBJECT
public:
    enum Handle { Lower, Upper };

    explicit RangeSlider(Qt::Orientation orientation, QWidget *parent = nullptr);

    void setRange(int minimum, int maximum);
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }
    int lower() const { return m_values[Lower]; }
    int upper() const { return m_values[Upper]; }
    Handle currentHandle() const { return m_current; }
    // The handle's rectangle, in widget pixels.
    QRect handleRect(Handle h) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

public slots:
    void setLower(int value);
    void setUpper(int value);

signals:
    // Once per change, set from outside or by the person.
    void lowerChanged(int value);
    void upperChanged(int value);

protected:
    void paintEvent(QPaintEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool event(QEvent *e) override;
    bool focusNextPrevChild(bool next) override;

private:
    QStyleOptionSlider option(Handle h) const;
    // Sets one handle; true when it changed.
    bool set(Handle h, int value);
    // A move by the person: held between the range's end and the other handle.
    void moveBy(Handle h, int value);
    int valueAt(const QPoint &pos) const;
    int stepFor(int key) const;

    Qt::Orientation m_orientation;
    int m_min = 0;
    int m_max = 99;
    int m_values[2] = {0, 99};
    Handle m_current = Lower;
    bool m_dragging = false;
    // Where in the handle the press caught it, so the handle does not jump.
    int m_grabOffset = 0;
};
