#pragma once

#include "data/PaletteXml.h"
#include "panels/RecentBrushes.h"
#include "panels/TileSearch.h"

#include <optional>

#include <QWidget>

class ArtReader;
class ListWidget;
class QAbstractItemView;
class QLabel;
class QLineEdit;
class QListView;
class QListWidgetItem;
class QModelIndex;
class QStackedWidget;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TileData;
class TileListModel;

// The tile palette: categories from palette.xml as trees, the tiles of the
// selected category as named icons, every tile of the tile data grouped by
// flag ("All tiles"), the last brushes ("Recent") and a search over all art
// tiles by name, id and flag. A double-click starts painting with a tile.
class Palette : public QWidget
{
    Q_OBJECT
public:
    Palette(const QString &fileName, ArtReader *art, const TileData &data, bool hideTerrain,
            QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    QTabWidget *tabWidget() const { return m_tabs; }
    QTreeWidget *treeArt() const { return m_treeArt; }
    QTreeWidget *treeTerrain() const { return m_treeTerrain; }
    QTreeWidget *treeAll() const { return m_treeAll; }
    ListWidget *listArt() const { return m_listArt; }
    ListWidget *listTerrain() const { return m_listTerrain; }
    ListWidget *listAll() const { return m_listAll; }
    ListWidget *listRecent() const { return m_listRecent; }
    QLineEdit *searchEdit() const { return m_search; }
    QListView *resultsView() const { return m_results; }
    // Why palette.xml gave no categories; empty when it was read.
    QString loadError() const { return m_loadError; }

    QSize sizeHint() const override;

    // Both trees rebuilt from these categories (an edited or reset palette);
    // the lists empty until a category is chosen again.
    void setCategories(const PaletteXml::Result &palette);
    // The list of the tree's chosen category shown anew (its tiles changed).
    void refillList(QTreeWidget *tree);

signals:
    void setPainting(QString);
    void stopPainting();
    // A tile was chosen, or Escape left the search field: the keyboard goes back to the view.
    void keyboardHandedBack();
    // An art category was chosen: its wall pieces, if it names them.
    void wallSetChosen(const std::optional<WallSet> &walls);

public slots:
    // A brush was started (here, or by another tool): it heads the recent list.
    void addRecent(const QString &key);
    // The tile data or the art was reloaded: rebuild the index and "All tiles".
    void reload();

protected slots:
    void treeSelectTerrain();
    void doubleClickTerrain(QListWidgetItem *item);
    void itemChangedTerrain(QListWidgetItem *current, QListWidgetItem *previous);
    void treeSelectArt();
    void doubleClickArt(QListWidgetItem *item);
    void itemChangedArt(QListWidgetItem *current, QListWidgetItem *previous);
    void searchChanged(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setupUi();
    QWidget *makeTab(const QString &name, const QString &splitterName, const QString &treeName,
                     QTreeWidget *&tree, ListWidget *&list, int kind);
    QWidget *makeRecentTab();
    QWidget *makeResults();
    void connectSlots();
    void connectExtraLists();
    void configureViews();
    void configureList(QAbstractItemView *view);
    void readFile(const QString &fileName);
    void addCategories(const QList<PaletteXml::Category> &categories, QTreeWidget *tree,
                       QTreeWidgetItem *parent);
    void buildAllTiles();
    void fillList(QTreeWidget *tree, ListWidget *list, bool terrain);
    QListWidgetItem *addTile(ListWidget *list, int id, bool terrain, QSize &largest);
    void refreshRecent();
    void doubleClick(QListWidgetItem *item, const QString &suffix);
    void doubleClickList(ListWidget *list, QListWidgetItem *item);
    void doubleClickResult(const QModelIndex &index);
    void chooseResult();
    void choose(const QString &key);
    void fitIcons(QAbstractItemView *view);

    QLineEdit *m_search = nullptr;
    QStackedWidget *m_stack = nullptr;
    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_treeTerrain = nullptr;
    QTreeWidget *m_treeArt = nullptr;
    QTreeWidget *m_treeAll = nullptr;
    ListWidget *m_listTerrain = nullptr;
    ListWidget *m_listArt = nullptr;
    ListWidget *m_listAll = nullptr;
    ListWidget *m_listRecent = nullptr;
    QListView *m_results = nullptr;
    TileListModel *m_resultsModel = nullptr;
    QLabel *m_resultsLabel = nullptr;
    ArtReader *m_art;
    const TileData &m_data;
    TileSearch m_index;
    RecentBrushes m_recent;
    QString m_loadError;
};
