#pragma once

#include "model/Facet.h"
#include "model/TileRecord.h"
#include "scene/Document.h"
#include "scene/DrawnQuad.h"
#include "scene/IsoGeometry.h"
#include "scene/Selection.h"
#include "scene/ViewState.h"
#include "model/WallSet.h"
#include "view/tools/ToolKind.h"

#include <QOpenGLWidget>
#include <QPoint>
#include <QRgb>
#include <QSize>

#include <memory>
#include <optional>

class ArtReader;
class Facet;
class MimeMgr;
class TexMgr;
class TileData;
class TileEditor;
class UndoMgr;
class ViewRenderer;
class QWheelEvent;
class QKeyEvent;

// The OpenGL view of one multi: isometric painter's-order rendering, picking
// over the quads of the last paint, and the editing gestures and commands.
class GLWidget : public QOpenGLWidget
{
    Q_OBJECT
public:
    // Draws the document; it outlives the view (the document window owns both).
    GLWidget(ArtReader *art, const TileData &data, Document *document, TexMgr *textures,
             QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    // A view with a document of its own over the caller's model.
    GLWidget(ArtReader *art, const TileData &data, Facet *model, TexMgr *textures,
             QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    TexMgr *textures() const { return m_textures; }
    ~GLWidget() override;

    // Before the application object exists: every view shares one texture set
    // through the global share context, in a GL 2.1 compatibility profile.
    static void prepareApplication();

    // Picking (widget points in logical pixels).
    QPoint mapLocation(const QPoint &widgetPoint) const;
    DrawnQuad tileAt(const QPoint &widgetPoint, int list) const;
    QList<DrawnQuad> tilesInPixels(const QRect &widgetRect, int list) const;
    QPointF unproject(const QPoint &widgetPoint) const;
    QPointF pixelCentre(const QPoint &widgetPoint) const;
    static QString statusText(const DrawnQuad &q);

    // Edit commands without a slot of their own.
    void moveSelection(int dx, int dy, int dz);
    void setHueOrAltitude(int altitude, int hue, bool altitudeMode);

    // State, for the document window, tests and the editor.
    Document *document() const { return m_doc; }
    Facet *model() const { return m_model; }
    Selection &selection() { return m_doc->selection(); }
    const Selection &selection() const { return m_doc->selection(); }
    UndoMgr *undoMgr() const { return m_doc->undoMgr(); }
    MimeMgr *mimeMgr() const { return m_mime; }
    ArtReader *artReader() const { return m_art; }
    const TileData &tileData() const { return m_data; }
    TileEditor *editor() const { return m_editor; }
    // What the view shows and how, with the document's clip range and storey.
    ViewState viewState() const;
    // The location at the middle of the view.
    QPoint centre() const { return m_state.centre; }
    double scale() const { return m_state.scale; }
    // Scene units are counted from the anchor location; the pan (whole pixels,
    // y up) moves the scene origin off the middle.
    QPoint anchor() const { return m_state.anchor; }
    QPoint pan() const { return m_state.pan; }
    int columns() const { return m_walk.columns; }
    int rows() const { return m_walk.rows; }
    QPoint start() const { return m_walk.start; }
    bool showArt() const { return m_state.showArt; }
    bool showTerrain() const { return m_state.showTerrain; }
    bool flat() const { return m_state.flat; }
    bool isEditArt() const { return m_state.editArt; }
    bool isEditTerrain() const { return m_state.editTerrain; }
    int editedKind() const { return m_state.editArt ? Art : Terrain; }
    bool clipEnabled() const { return m_doc->clipEnabled(); }
    int maxAlt() const { return m_doc->maxAlt(); }
    int minAlt() const { return m_doc->minAlt(); }
    bool grid() const { return m_state.grid; }
    bool showInvisible() const { return m_state.showInvisible; }
    int placingAltitude() const;
    const QList<DrawnQuad> &drawnQuads(int kind) const;

    // Batched drawing from the atlas with the tile layer kept between paints
    // (the default), or every tile bound and drawn on its own, blended in
    // painter's order, on every paint: the reference the batched pictures
    // are held to. Both sample the same atlas texels.
    void setBatched(bool on);
    bool batched() const;
    // Tile layers drawn so far, and the draw calls of the last batched one.
    int layerPaints() const;
    int layerDrawCalls() const;
    // Previews drawn over the kept layer without drawing every tile again.
    int previewPatches() const;
    // Builder's tools (GLWidgetTools.cpp).
    void setTool(ToolKind tool);
    ToolKind tool() const;
    // A key pressed while the document has the focus; true when a tool used it.
    bool toolKey(QKeyEvent *e);
    // The wall pieces of the palette group in use, for the hollow rectangle.
    void setWallSet(const std::optional<WallSet> &set);
    // One storey up (+1) or down (-1): the placing altitude and the clip range move together.
    void moveStorey(int storeys, int height);
    // Tiles below the placing altitude drawn darker.
    void setDimBelow(bool on);
    bool dimBelow() const { return m_state.dimBelow; }
    // The selection's tile count and bounds, for the status bar.
    QString selectionSummary() const;
    // Announces the current tool and the status line when they changed.
    void reportToolState();

signals:
    void flatMode(bool);
    void artMode(bool);
    void terrainMode(bool);
    void editArt(bool);
    void editTerrain(bool);
    void myScale(int);
    void lowerAlt(int);
    void higherAlt(int);
    void clipEnable(bool);
    void myGrid(bool);
    void sigUndo(bool);
    void sigRedo(bool);
    void myInvisible(bool);
    void myPlace(int);
    void mapLocation(int, int);
    // The scale changed (any scale, not only the menu's).
    void zoomChanged(double scale);
    // A zoom, a pan or a fit brought another location to the middle; the
    // document window follows with its scroll bars.
    void centreMoved(const QPoint &centre);
    // The current tool changed (a ToolKind).
    void toolChanged(int tool);
    // The tool's hint and the selection's summary.
    void toolStatus(const QString &text);
    // The brush became this tile key (palette double-click, eyedropper).
    void brushChosen(const QString &key);
    void captureRequested();

public slots:
    void scrollHoriz(int x);
    void scrollVert(int y);
    void gotoPoint(const QPoint &p);
    void setScale(int n);
    // Any scale within the zoom range, about the middle of the view.
    void setZoom(double scale);
    // The scale, keeping the scene point under the widget point where it is.
    void zoomAt(const QPoint &widgetPoint, double scale);
    // Moves the picture by whole pixels (x right, y down).
    void panBy(const QPoint &pixels);
    // Centres the multi's tiles and shows them whole at the largest scale that allows.
    void fitMulti();
    void setArt(bool on);
    void setTerrain(bool on);
    void setFlat(bool on);
    void setMaxAlt(int alt);
    void setMinAlt(int alt);
    void setAltCheck(bool on);
    void setGrid(bool on);
    void viewInvisible(bool on);
    void setEditArt(bool on);
    void setEditTerrain(bool on);
    void query();
    void selectAll();
    // Asks the window for File > Capture: the dialog and the file are its business.
    void capture();
    // Editing (mouse gestures and commands).
    void cancel();
    void undo();
    void redo();
    void copy();
    void cut();
    void paste();
    void del();
    void save();
    void setMyVisible(bool visible);
    void insertItem();
    void startPaint(const QString &key);
    void stopPaint();
    void setPlacingAlt(int alt);
    // Something the tiles' picture shows has changed: the next paint draws
    // every tile again instead of reusing the kept layer.
    void sceneChanged();

protected:
    void initializeGL() override;
    void resizeGL(int w, int h) override;
    void paintGL() override;
    bool event(QEvent *e) override;
    void wheelEvent(QWheelEvent *e) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void dragEnterEvent(QDragEnterEvent *e) override;
    void dragMoveEvent(QDragMoveEvent *e) override;
    void dragLeaveEvent(QDragLeaveEvent *e) override;
    void dropEvent(QDropEvent *e) override;

private:
    void recomputeWalk();
    // Takes a new placement: walk, reports and a repaint.
    void place(const QPoint &anchor, double scale, const QPoint &pan);
    // Widget point to pixels from the projection's origin, y up.
    QPointF projected(const QPointF &widgetPoint) const;
    bool middlePan(QMouseEvent *e);

    ArtReader *m_art;
    const TileData &m_data;
    Document *m_doc;
    Facet *m_model;
    TexMgr *m_textures;
    MimeMgr *m_mime = nullptr;
    TileEditor *m_editor = nullptr;
    // What the editor and its tools see of this view.
    class ToolPort;
    std::unique_ptr<ToolPort> m_port;
    std::optional<ToolKind> m_reportedTool;
    QString m_reportedStatus;

    ViewState m_state;
    IsoGeometry::Walk m_walk;
    std::optional<QPoint> m_panFrom;
    // Where the last wheel zoom held the scene (from location (0, 0)) and the
    // placement it left: the next wheel step at the same point starts from
    // there, so rounding does not creep.
    struct ZoomHold {
        QPoint widgetPoint;
        QPointF scene;
        QPoint anchor;
        double scale = 0.0;
        QPoint pan;
    };
    std::optional<ZoomHold> m_zoomHold;
    // The Scale menu's numbers and the scales they stand for; any other number is the smallest.
    struct ScaleStep {
        int number;
        double scale;
    };
    static constexpr double ScaleSmall = 0.5;
    static constexpr ScaleStep ScaleSteps[] = {{1, 1.0}, {2, 0.75}, {4, ScaleSmall}};

    QPoint noLocation() const;
    void dropLayer();
    std::unique_ptr<ViewRenderer> m_renderer;
};
