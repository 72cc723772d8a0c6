#pragma once

#include "data/PaletteXml.h"

#include <optional>

#include <QWidget>

class ArtReader;
class ListWidget;
class QListWidgetItem;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TileData;

// The tile palette: categories from palette.xml as trees, the tiles of the
// selected category as icons. A double-click starts painting with a tile.
class Palette : public QWidget
{
    Q_OBJECT
public:
    Palette(const QString &fileName, ArtReader *art, const TileData &data, bool hideTerrain,
            QWidget *parent = nullptr, Qt::WindowFlags flags = {});

    QTabWidget *tabWidget() const { return m_tabs; }
    QTreeWidget *treeArt() const { return m_treeArt; }
    QTreeWidget *treeTerrain() const { return m_treeTerrain; }
    ListWidget *listArt() const { return m_listArt; }
    ListWidget *listTerrain() const { return m_listTerrain; }
    // Why palette.xml gave no categories; empty when it was read.
    QString loadError() const { return m_loadError; }

signals:
    void setPainting(QString);
    void stopPainting();
    // An art category was chosen: its wall pieces, if it names them.
    void wallSetChosen(const std::optional<WallSet> &walls);

protected slots:
    void treeSelectTerrain();
    void doubleClickTerrain(QListWidgetItem *item);
    void itemChangedTerrain(QListWidgetItem *current, QListWidgetItem *previous);
    void treeSelectArt();
    void doubleClickArt(QListWidgetItem *item);
    void itemChangedArt(QListWidgetItem *current, QListWidgetItem *previous);

private:
    void setupUi();
    QWidget *makeTab(const QString &name, const QString &splitterName, const QString &treeName,
                     QTreeWidget *&tree, ListWidget *&list, int kind);
    void connectSlots();
    void configureViews();
    void readFile(const QString &fileName);
    void addCategories(const QList<PaletteXml::Category> &categories, QTreeWidget *tree,
                       QTreeWidgetItem *parent);
    void fillList(QTreeWidget *tree, ListWidget *list, bool terrain);
    void doubleClick(QListWidgetItem *item, const QString &suffix);

    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_treeTerrain = nullptr;
    QTreeWidget *m_treeArt = nullptr;
    ListWidget *m_listTerrain = nullptr;
    ListWidget *m_listArt = nullptr;
    ArtReader *m_art;
    const TileData &m_data;
    QString m_loadError;
};
