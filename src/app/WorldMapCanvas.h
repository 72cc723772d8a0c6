#pragma once

#include "scene/MapTransform.h"

#include <QImage>
#include <QWidget>

// The facet's picture: wheel zoom about the pointer, middle-button pan, and a
// rectangle of cells dragged with the left button.
class WorldMapCanvas : public QWidget
{
    Q_OBJECT
public:
    explicit WorldMapCanvas(QWidget *parent = nullptr);

    void setImage(const QImage &image);
    const QImage &image() const { return m_image; }
    const MapTransform &transform() const { return m_t; }
    QRect area() const { return m_area; }
    void setArea(const QRect &cells);
    void centreOn(QPoint cell);

signals:
    void hovered(QPoint cell);
    void areaChanged(QRect cells);

protected:
    void paintEvent(QPaintEvent *) override;
    void wheelEvent(QWheelEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;

private:
    QImage m_image;
    MapTransform m_t;
    QRect m_area;
    QPointF m_pressed;
    QPointF m_panFrom;
    bool m_dragging = false;
    bool m_panning = false;
};
