#pragma once

#include <QImage>
#include <QScrollBar>
#include <QStyle>

#include <array>

class QStyleOptionSlider;

// A scroll bar that looks like the style's own but paints in bands no taller
// than RasterBand, from a picture kept for each of its last looks at rest: a
// long dock's scroll bar changes with every selection.
class BandedScrollBar : public QScrollBar
{
    Q_OBJECT
public:
    explicit BandedScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct Look {
        QSize size;
        qreal ratio = 0;
        const QStyle *style = nullptr;
        qint64 palette = 0;
        int state = 0, active = 0, minimum = 0, maximum = 0, pageStep = 0, position = 0;
        bool upsideDown = false;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        bool operator==(const Look &o) const;
    };
    struct Drawn {
        Look look;
        QImage image;
    };

    QStyle::SubControl partAt(const QPoint &pos) const;
    QImage drawn(const QStyleOptionSlider &opt);

    // What Qt's own scroll bar keeps to itself: the part pressed (drawn
    // sunken while the pointer stays on it), where the pressed pointer is,
    // and where the last hover event put it.
    QStyle::SubControl m_pressed = QStyle::SC_None;
    QPoint m_pointer{-1, -1};
    QPoint m_hovered{-1, -1};
    std::array<Drawn, 4> m_drawn;
    int m_next = 0;
};
