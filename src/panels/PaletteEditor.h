#pragma once

#include "data/UserPalette.h"

#include <QObject>

class ListWidget;
class MimeMgr;
class Palette;
class QListWidgetItem;
class QMenu;
class QMimeData;
class QTreeWidget;
class QTreeWidgetItem;
class TileData;
class TListItem;

// Makes the palette the user's own: groups and tilesets added, renamed and
// removed from the trees' context menus, tiles dropped on a group (from the
// search results, a group's list or the view) or removed from it, and a
// group's corner and side pieces marked for Hollow Rectangle. Every change is
// written at once to the user palette, which is read instead of the bundled one.
class PaletteEditor : public QObject
{
    Q_OBJECT
public:
    PaletteEditor(Palette *palette, const TileData &data, const UserPalette &store,
                  QObject *parent = nullptr);
    ~PaletteEditor() override;

    // Why the user palette was not used although it is there; empty when it was.
    QString problem() const { return m_problem; }
    // The context menu of a tree at an item (or at no item); the caller owns it.
    QMenu *treeMenu(QTreeWidget *tree, QTreeWidgetItem *item);
    // The context menu of a group's tile list at an item; the caller owns it.
    QMenu *listMenu(ListWidget *list, QListWidgetItem *item);

public slots:
    // Asks, then goes back to the bundled palette.
    void resetPalette();

signals:
    // A change done, or what became of a damaged palette: for the status bar.
    void message(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void watchTree(QTreeWidget *tree);
    void watchList(ListWidget *list);
    void addCategory(QTreeWidget *tree, QTreeWidgetItem *parent, bool group);
    void rename(QTreeWidgetItem *item);
    void remove(QTreeWidget *tree, QTreeWidgetItem *item);
    bool drop(QTreeWidget *tree, QTreeWidgetItem *item, const QMimeData *data);
    void removeTiles(ListWidget *list);
    void markPiece(QListWidgetItem *item, int piece);
    QString askName(const QString &title, const QString &name) const;
    // The group whose tiles the list shows: the tree's chosen nested category.
    TListItem *shownGroup(QTreeWidget *tree) const;
    QTreeWidget *treeOf(const QObject *listOrViewport) const;
    ListWidget *listOf(const QTreeWidget *tree) const;
    // Writes the user palette, then tells `done` (or why the write failed).
    void save(const QString &done);

    Palette *m_palette;
    UserPalette m_store;
    MimeMgr *m_mime;
    QString m_problem;
};
