#pragma once

#include "model/Facet.h"
#include "model/TileRecord.h"
#include "scene/DrawnQuad.h"
#include "scene/IsoGeometry.h"
#include "scene/Selection.h"
#include "view/TileBatch.h"
#include "model/WallSet.h"
#include "view/tools/ToolKind.h"

#include <QOpenGLWidget>
#include <QPoint>
#include <QRgb>
#include <QSize>

#include <memory>

#include <optional>

#include <memory>
#include <optional>

class ArtReader;
class Facet;
class QOpenGLFramebufferObject;
class MimeMgr;
class TexMgr;
class TileData;
class TileEditor;
class UndoMgr;
class QWheelEvent;
class QKeyEvent;

// The OpenGL view of one multi: isometric painter's-order rendering, picking
// over the quads of the last paint, and the editing gestures and commands.
class GLWidget : public QOpenGLWidget
{
    Q_OBJECT
public:
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
    // The capture dialog's filter entry of an image format, and the format a
    // typed name and the chosen filter give.
    static QString captureFilter(const QByteArray &format);
    static QString captureFormat(const QString &fileName, const QString &chosenFilter);

    // Edit commands without a slot of their own.
    void moveSelection(int dx, int dy, int dz);
    void setHueOrAltitude(int altitude, int hue, bool altitudeMode);

    // State, for the document window, tests and the editor.
    Facet *model() const { return m_model; }
    Selection &selection() { return m_selection; }
    UndoMgr *undoMgr() const { return m_undo; }
    MimeMgr *mimeMgr() const { return m_mime; }
    ArtReader *artReader() const { return m_art; }
    const TileData &tileData() const { return m_data; }
    TileEditor *editor() const { return m_editor; }
    // The location at the middle of the view.
    QPoint centre() const { return m_viewCentre; }
    double scale() const { return m_scale; }
    // Scene units are counted from the anchor location; the pan (whole pixels,
    // y up) moves the scene origin off the middle.
    QPoint anchor() const { return m_centre; }
    QPoint pan() const { return m_pan; }
    int columns() const { return m_columns; }
    int rows() const { return m_rows; }
    QPoint start() const { return m_start; }
    bool showArt() const { return m_showArt; }
    bool showTerrain() const { return m_showTerrain; }
    bool flat() const { return m_flat; }
    bool isEditArt() const { return m_editArt; }
    bool isEditTerrain() const { return m_editTerrain; }
    int editedKind() const { return m_editArt ? Art : Terrain; }
    bool clipEnabled() const { return m_clip; }
    int maxAlt() const { return m_maxAlt; }
    int minAlt() const { return m_minAlt; }
    bool grid() const { return m_grid; }
    bool showInvisible() const { return m_showInvisible; }
    int placingAltitude() const;
    const QList<DrawnQuad> &drawnQuads(int kind) const { return m_quads[kind == Art ? 1 : 0]; }

    // Batched drawing from the atlas with the tile layer kept between paints
    // (the default), or every tile bound and drawn on its own, blended in
    // painter's order, on every paint: the reference the batched pictures
    // are held to. Both sample the same atlas texels.
    void setBatched(bool on);
    bool batched() const { return m_batched; }
    // Tile layers drawn so far, and the draw calls of the last batched one.
    int layerPaints() const { return m_layerPaints; }
    int layerDrawCalls() const { return m_batch.drawCalls(); }
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
    bool dimBelow() const { return m_dimBelow; }
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
    // The file dialog starts in `folder` (empty: the last folder used).
    void capture(const QString &folder = QString());
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
    // Writes the captured image whole or not at all; a failure is shown with its reason.
    void writeImage(const QImage &image, const QString &fileName, const QString &format);
    void recomputeWalk();
    // Takes a new placement: walk, reports and a repaint.
    void place(const QPoint &anchor, double scale, const QPoint &pan);
    // Widget point to pixels from the projection's origin, y up.
    QPointF projected(const QPointF &widgetPoint) const;
    bool middlePan(QMouseEvent *e);

    ArtReader *m_art;
    const TileData &m_data;
    Facet *m_model;
    TexMgr *m_textures;
    UndoMgr *m_undo = nullptr;
    MimeMgr *m_mime = nullptr;
    TileEditor *m_editor = nullptr;
    Selection m_selection;
    // What the editor and its tools see of this view.
    class ToolPort;
    std::unique_ptr<ToolPort> m_port;
    bool m_dimBelow = false;
    std::optional<ToolKind> m_reportedTool;
    QString m_reportedStatus;

    QPoint m_centre{0, 0};
    QPoint m_pan{0, 0};
    QPoint m_viewCentre{0, 0};
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
    int m_columns = 0;
    int m_rows = 0;
    QPoint m_start{0, 0};
    double m_scale = 1.0;
    bool m_showArt = true;
    bool m_showTerrain = true;
    bool m_flat = false;
    bool m_editArt = true;
    bool m_editTerrain = false;
    bool m_clip = false;
    int m_maxAlt = 127;
    int m_minAlt = -128;
    bool m_grid = false;
    bool m_showInvisible = true;
    QList<DrawnQuad> m_quads[2];

    // The Scale menu's numbers and the scales they stand for; any other number is the smallest.
    struct ScaleStep {
        int number;
        double scale;
    };
    static constexpr double ScaleSmall = 0.5;
    static constexpr ScaleStep ScaleSteps[] = {{1, 1.0}, {2, 0.75}, {4, ScaleSmall}};

    // Rendering.
    static constexpr int SelectionHue = 53;
    IsoGeometry::Walk currentWalk() const;
    QPoint noLocation() const;
    void loadProjection();
    void loadSceneMatrix();
    void drawTiles(bool painting);
    void drawLocation(const QPoint &loc, const Facet::TileSet *brushTiles);
    bool hidden(const TileRecord &t, int z) const;
    static bool noDraw(int kind, int id);
    void drawTile(const TileRecord &t, const QPoint &loc, const QPoint &scene, int hue,
                  quint32 partialHue, bool translucent, int zOffset);
    void drawQuad(const AtlasEntry &entry, const QPoint corners[4], float light);
    void drawTileLayer();
    void drawOverlays();
    bool layerCurrent() const;
    bool prepareLayer();
    void showLayer();
    void dropLayer();
    void recordQuad(const TileRecord &t, const QPoint &loc, int z, const QPoint corners[4],
                    const std::shared_ptr<const PickMask> &mask);
    void drawGrid(QRgb line, QRgb fill, int z);
    void drawOrigin(QRgb line, int z);
    void drawBand();
    int m_serial = 0;
    int m_previewOffset = 0;

    // What the kept tile layer was drawn from: a paint whose state differs draws it again.
    struct LayerKey {
        QSize size;
        double scale = 0.0;
        QPoint centre, pan, start;
        int columns = 0, rows = 0;
        bool showArt = false, showTerrain = false, flat = false, editArt = false,
             editTerrain = false, clip = false, showInvisible = false;
        int maxAlt = 0, minAlt = 0;
        bool dimBelow = false;
        int placingAltitude = 0;
        const Facet *model = nullptr;
        const ArtReader *art = nullptr;
        const TexMgr *textures = nullptr;
        quint64 modelRevision = 0, selectionRevision = 0, textureGeneration = 0;
        bool operator==(const LayerKey &o) const;
    };
    LayerKey layerKey() const;
    bool m_batched = true;
    TileBatch m_batch;
    std::unique_ptr<QOpenGLFramebufferObject> m_layer;
    LayerKey m_layerKey;
    bool m_layerStale = true;
    int m_layerPaints = 0;
    // 1 for a tile as it is; less for one on a storey below the placing altitude.
    float brightnessAt(int z) const;
};
