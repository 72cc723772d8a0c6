#pragma once

#include "data/HueTable.h"
#include "data/RadarColours.h"
#include "data/TileData.h"
#include "model/MltFile.h"
#include "model/TileRecord.h"
#include "model/WallSet.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>

class ArtReader;
class EntryPreviewer;
class Clip;
class GLScroll;
class MimeMgr;
class MultiCollection;
class MulSetting;
class Palette;
class PaletteEditor;
class QAction;
class QActionGroup;
class QDockWidget;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QSignalMapper;
class QToolBar;
class RecoveryMgr;
class TexMgr;
class TileInspector;
class WorldMapWindow;

// The editor's one main window: owns the readers, the texture cache, the
// panels and the actions shared by every open document.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    QMdiArea *workspace() const { return m_workspace; }
    // The document commands go to; nullptr when none is open.
    GLScroll *activeDocument() const;
    QList<GLScroll *> documents() const;
    Palette *palette() const { return m_palette; }
    PaletteEditor *paletteEditor() const { return m_paletteEditor; }
    Clip *clip() const { return m_clip; }
    QLabel *placingLabel() const { return m_placing; }
    QLabel *zoomLabel() const { return m_zoom; }
    // The current tool's hint and the selection's summary.
    QLabel *toolLabel() const { return m_toolStatus; }
    QToolBar *toolBar() const { return m_toolBar; }
    // Altitude units between two floors (settable, kept in the settings).
    int storeyHeight() const;
    QMenu *windowMenu() const { return m_windowMenu; }
    QDockWidget *clipDock() const { return m_clipDock; }
    QDockWidget *paletteDock() const { return m_paletteDock; }
    QDockWidget *tilesDock() const { return m_tilesDock; }
    TileInspector *inspector() const { return m_inspector; }
    QAction *cancelAction() const { return m_cancel; }
    // Save As for one document; true when it was written.
    bool saveDocumentAs(GLScroll *document);
    GLScroll *addDocument(const QString &fileName, const TileMap &tiles);
    RecoveryMgr *recovery() const { return m_recovery; }
    // Opens a multi file of any known format, as File > Open does.
    void openFile(const QString &name);
    QMenu *recentMenu() const { return m_recentMenu; }
    WorldMapWindow *worldMap() const { return m_worldMap; }

public slots:
    // Offers the work of an editor that ended without saving it.
    void offerRecovery();
    void about();
    void popupMenuWindow();
    void windowSetCheck();
    void setMulDir();
    void mapLocation(int x, int y);
    void slotFileNew();
    void slotFileOpen();
    void setScale(int n);
    // The Scale entries and the status bar follow the view's scale.
    void showZoom(double scale);
    void selectColor();
    void startPaint(const QString &key);
    void setClip(bool on);
    void setMaxClip(int alt);
    void setMinClip(int alt);
    void setPlacingAlt();
    void statusPlacing(int n);
    void slotSave();
    void slotSaveAs();
    void myClose();
    void importMulti();
    void importMLT();
    // Edit > Insert > From Script: one addon class of a server script.
    void importScript();
    void setMyVisible();
    void exportMulti();
    void documentActivated();
    void updateTitle();
    void exportImage();
    void storeyUp();
    void storeyDown();
    void setStoreyHeight();
    void setDimLowerStoreys(bool on);
    void fillRecentMenu();
    void cascadeWindows();
    void tileWindows();
    // View > World Map (MainWindowWorld.cpp).
    void showWorldMap();
    // Edit > Replace Tiles (MainWindowReplace.cpp).
    void replaceTiles();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void loadColours();
    void loadReaders();
    // Says which data files could not be used (after start-up and Mul Locations).
    void reportDataFiles();
    QVector<DataFileStatus> dataFileStatuses() const;
    void createMenus();
    void createFileMenu();
    void createEditMenu();
    void createInsertAndAdjust(QMenu *edit);
    void createViewMenu();
    void createOptionsMenu();
    void createDisplayToggles(QMenu *view);
    void restoreWindowLayout();
    void saveWindowLayout();
    void warnIfDamaged(const QString &name, const MltReadResult &result);
    static QString titleOf(const QMdiSubWindow *sub);
    void createDocks();
    void connectPanels();
    // The shared actions and the current document (MainWindowRouting.cpp):
    // each action is connected once and goes to the current document.
    void connectActions();
    void route(QAction *action, void (GLScroll::*command)());
    void routeToggle(QAction *action, void (GLScroll::*command)(bool));
    // The shared controls show the reports of this document's view only.
    void followDocument(GLScroll *d);
    // What every document tells the window, current or not.
    void watchDocument(GLScroll *d);
    // Builder's tools (MainWindowTools.cpp).
    void createToolBar();
    void createStoreyEntries(QMenu *view, QMenu *options);
    void showTool(int tool);
    void showToolStatus(const QString &text);
    void storeyStep(int storeys);
    void pasteTiles(GLScroll *d, const TileMap &tiles);
    // Pictures and the text formats (MainWindowShare.cpp).
    bool openOtherFormat(const QString &name);
    // A document opened from another format: titled by its file, unsaved.
    void showOpened(GLScroll *d, const QString &title);
    // Saves a copy in the format the name or filter asks for: whether it was
    // written; none for an .mlt, which the document saves itself.
    std::optional<bool> saveOtherFormat(GLScroll *document, QString &name, const QString &filter);
    bool chooseEntry(MultiCollection &store, const QStringList &paths, int &number, bool &ownPosition);
    std::optional<int> chooseTarget(const MultiCollection &store, const QStringList &paths, int firstFree,
                                    int last);
    std::unique_ptr<EntryPreviewer> previewerFor(const QStringList &paths) const;
    // Server scripts (MainWindowScript.cpp): the user picks a class among several.
    bool readScript(const QString &name, TileMap &tiles, QString &className, QStringList &warnings);
    void warnAboutScript(const QStringList &warnings);
    void openScript(const QString &name);
    bool saveScript(GLScroll *document, const QString &name);
    void importFromStore(const QStringList &paths);
    void insertAtOwnPosition(GLScroll *d, const TileMap &tiles);
    void warnTilesOutside(GLScroll *d);
    // File dialogs, recent files and leaving (MainWindowFiles.cpp).
    QString documentFolder() const;
    void rememberFile(const QString &name);
    // The title a new document shows: unlike every other open document's.
    QString uniqueTitle(const QString &title) const;
    void keepUsableSizes();
    // Several unsaved documents are asked about once; false keeps the window open.
    bool settleUnsaved();
    QAction *makeAction(QMenu *menu, const QString &text, const QKeySequence &shortcut = {},
                        const QString &icon = {});

    // Readers first: the texture cache that borrows them goes before them.
    std::unique_ptr<ArtReader> m_art;
    TileData m_tileData;
    HueTable m_hues;
    RadarColours m_radar;
    std::unique_ptr<TexMgr> m_textures;
    MimeMgr *m_mime = nullptr;
    RecoveryMgr *m_recovery = nullptr;
    MulSetting *m_settings = nullptr;
    QMdiArea *m_workspace = nullptr;
    QMenu *m_windowMenu = nullptr;
    QMenu *m_recentMenu = nullptr;
    QSignalMapper *m_scaleMapper = nullptr;
    QActionGroup *m_scaleGroup = nullptr;
    Clip *m_clip = nullptr;
    Palette *m_palette = nullptr;
    PaletteEditor *m_paletteEditor = nullptr;
    QLabel *m_placing = nullptr;
    QLabel *m_zoom = nullptr;
    QDockWidget *m_clipDock = nullptr;
    QDockWidget *m_paletteDock = nullptr;
    QDockWidget *m_tilesDock = nullptr;
    TileInspector *m_inspector = nullptr;

    QAction *m_new = nullptr, *m_open = nullptr, *m_close = nullptr, *m_save = nullptr;
    QAction *m_saveAs = nullptr, *m_export = nullptr, *m_capture = nullptr, *m_exit = nullptr;
    QAction *m_selectAll = nullptr, *m_undo = nullptr, *m_redo = nullptr, *m_cut = nullptr;
    QAction *m_copy = nullptr, *m_paste = nullptr, *m_delete = nullptr, *m_item = nullptr;
    QAction *m_insertMlt = nullptr, *m_insertMulti = nullptr;
    QAction *m_insertScript = nullptr;
    QAction *m_left = nullptr, *m_right = nullptr, *m_up = nullptr, *m_down = nullptr;
    QAction *m_home = nullptr, *m_pgUp = nullptr, *m_end = nullptr, *m_pgDn = nullptr;
    QAction *m_altUp = nullptr, *m_altDown = nullptr;
    QAction *m_altitude = nullptr, *m_hue = nullptr, *m_visible = nullptr;
    QAction *m_invisible = nullptr, *m_grid = nullptr;
    QAction *m_goto = nullptr, *m_placingAlt = nullptr;
    QAction *m_scale10 = nullptr, *m_scale34 = nullptr, *m_scale12 = nullptr;
    QAction *m_fitMulti = nullptr;
    QAction *m_gridColour = nullptr, *m_mulLocations = nullptr, *m_about = nullptr;
    QAction *m_cancel = nullptr;
    QAction *m_flat = nullptr, *m_showArt = nullptr, *m_showTerrain = nullptr;
    QToolBar *m_toolBar = nullptr;
    QActionGroup *m_toolGroup = nullptr;
    QLabel *m_toolStatus = nullptr;
    QAction *m_storeyUp = nullptr, *m_storeyDown = nullptr, *m_storeyHeight = nullptr;
    QAction *m_dimLower = nullptr;
    QAction *m_replaceTiles = nullptr;
    std::optional<WallSet> m_wallSet;
    QPointer<GLScroll> m_followed;
    QList<QMetaObject::Connection> m_followConnections;
    WorldMapWindow *m_worldMap = nullptr;
};
