#pragma once

#include "model/TileGeometry.h"
#include "ui/Dialogs.h"
#include "view/GLWidget.h"
#include "view/tools/ToolView.h"

// The view as its editor and tools see it: picking, locations, the model and
// its history, the selection, and reports to the window.
class GLWidget::ToolPort : public ToolView
{
public:
    explicit ToolPort(GLWidget &view) : m_view(view) {}

    QWidget *widget() override { return &m_view; }
    QPoint mapLocation(const QPoint &p) const override { return m_view.mapLocation(p); }
    QPoint placingLocation(const QPoint &p) const override
    {
        // The placing grid is raised by its altitude.
        const int raise = qRound(TileGeometry::PixelsPerZ * m_view.placingAltitude() * m_view.scale());
        return m_view.mapLocation(p + QPoint(0, raise));
    }
    DrawnQuad tileAt(const QPoint &p, int list) const override { return m_view.tileAt(p, list); }
    QList<DrawnQuad> tilesInPixels(const QRect &r, int list) const override
    {
        return m_view.tilesInPixels(r, list);
    }
    QPointF unproject(const QPoint &p) const override { return m_view.unproject(p); }
    Document &document() const override { return *m_view.document(); }
    MimeMgr *mimeMgr() const override { return m_view.mimeMgr(); }
    ArtReader *artReader() const override { return m_view.artReader(); }
    bool isEditArt() const override { return m_view.isEditArt(); }
    bool isEditTerrain() const override { return m_view.isEditTerrain(); }

    void repaint() override
    {
        m_view.update();
        m_view.reportToolState();
    }
    void reportLocation(const QPoint &loc) override { emit m_view.mapLocation(loc.x(), loc.y()); }
    void reportPlacing(int altitude) override { emit m_view.myPlace(altitude); }
    void reportBrush(const QString &key) override { emit m_view.brushChosen(key); }
    void reportRefusal(const QString &title, const QString &reason) override
    {
        Dialogs::warning(&m_view, title, reason);
    }

private:
    GLWidget &m_view;
};
