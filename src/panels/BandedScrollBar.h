#pragma once

#include <QScrollBar>
#include <QStyle>

// A scroll bar that looks like the style's own but paints in bands no taller
// than RasterBand: a long dock's scroll bar changes with every selection.
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
    QStyle::SubControl partAt(const QPoint &pos) const;

    // What Qt's own scroll bar keeps to itself: the part pressed (drawn
    // sunken while the pointer stays on it), where the pressed pointer is,
    // and where the last hover event put it.
    QStyle::SubControl m_pressed = QStyle::SC_None;
    QPoint m_pointer{-1, -1};
    QPoint m_hovered{-1, -1};
};
