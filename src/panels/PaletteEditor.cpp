#include "panels/PaletteEditor.h"

#include "data/TileData.h"
#include "model/MimeMgr.h"
#include "panels/ListWidget.h"
#include "panels/Palette.h"
#include "panels/TListItem.h"
#include "ui/Dialogs.h"

#include <QDir>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QTreeWidget>

#include <algorithm>
#include <memory>
#include <set>

namespace {
const char *const PieceActions[PaletteXml::PieceCount] = {
    QT_TRANSLATE_NOOP("PaletteEditor", "Use as Corner"),
    QT_TRANSLATE_NOOP("PaletteEditor", "Use Along X"),
    QT_TRANSLATE_NOOP("PaletteEditor", "Use Along Y")};
const char *const PieceNames[PaletteXml::PieceCount] = {
    QT_TRANSLATE_NOOP("PaletteEditor", "corner"),
    QT_TRANSLATE_NOOP("PaletteEditor", "side along x"),
    QT_TRANSLATE_NOOP("PaletteEditor", "side along y")};

QList<PaletteXml::Category> categoriesOf(const QTreeWidgetItem *parent)
{
    QList<PaletteXml::Category> out;
    for (int i = 0; i < parent->childCount(); ++i) {
        const auto *item = static_cast<const TListItem *>(parent->child(i));
        PaletteXml::Category c;
        c.name = item->text(0);
        c.tiles = item->tiles;
        c.walls = item->walls;
        c.pieces = item->pieces;
        c.children = categoriesOf(item);
        out.append(c);
    }
    return out;
}

bool isDelete(const QEvent *event)
{
    return (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)
           && static_cast<const QKeyEvent *>(event)->key() == Qt::Key_Delete;
}
} // namespace

PaletteEditor::PaletteEditor(Palette *palette, const TileData &data, const UserPalette &store,
                             QObject *parent)
    : QObject(parent), m_palette(palette), m_store(store), m_mime(new MimeMgr(data, this))
{
    // The panel read the bundled palette; the user's own replaces it.
    if (m_store.hasUserFile()) {
        const UserPalette::Loaded loaded = m_store.load();
        m_palette->setCategories(loaded.palette);
        m_problem = loaded.problem;
    }
    watchTree(m_palette->treeArt());
    watchTree(m_palette->treeTerrain());
    watchList(m_palette->listArt());
    watchList(m_palette->listTerrain());
}

PaletteEditor::~PaletteEditor() = default;

void PaletteEditor::watchTree(QTreeWidget *tree)
{
    tree->setAcceptDrops(true);
    tree->viewport()->setAcceptDrops(true);
    tree->viewport()->installEventFilter(this);
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tree, &QWidget::customContextMenuRequested, this, [this, tree](const QPoint &pos) {
        const std::unique_ptr<QMenu> menu(treeMenu(tree, tree->itemAt(pos)));
        menu->exec(tree->viewport()->mapToGlobal(pos));
    });
}

void PaletteEditor::watchList(ListWidget *list)
{
    // Delete needs the keyboard; the tool keys still reach the window from here.
    list->setFocusPolicy(Qt::ClickFocus);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->installEventFilter(this);
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, [this, list](const QPoint &pos) {
        QListWidgetItem *item = list->itemAt(pos);
        if (item && !item->isSelected())
            list->setCurrentItem(item);
        const std::unique_ptr<QMenu> menu(listMenu(list, item));
        if (!menu->isEmpty())
            menu->exec(list->viewport()->mapToGlobal(pos));
    });
}

QMenu *PaletteEditor::treeMenu(QTreeWidget *tree, QTreeWidgetItem *item)
{
    auto *menu = new QMenu(tree);
    connect(menu->addAction(tr("New Tileset…")), &QAction::triggered, this,
            [this, tree] { addCategory(tree, nullptr, false); });
    if (!item)
        return menu;
    connect(menu->addAction(tr("New Group…")), &QAction::triggered, this,
            [this, tree, item] { addCategory(tree, item, true); });
    menu->addSeparator();
    connect(menu->addAction(tr("Rename…")), &QAction::triggered, this, [this, item] { rename(item); });
    connect(menu->addAction(tr("Remove")), &QAction::triggered, this,
            [this, tree, item] { remove(tree, item); });
    return menu;
}

QMenu *PaletteEditor::listMenu(ListWidget *list, QListWidgetItem *item)
{
    auto *menu = new QMenu(list);
    TListItem *group = shownGroup(treeOf(list));
    if (!group || !item)
        return menu;
    connect(menu->addAction(tr("Remove from Group")), &QAction::triggered, this,
            [this, list] { removeTiles(list); });
    if (list->kind() != Art)
        return menu;
    menu->addSeparator();
    const int id = item->data(ListWidget::IdRole).toInt();
    for (int p = 0; p < PaletteXml::PieceCount; ++p) {
        QAction *a = menu->addAction(tr(PieceActions[p]));
        a->setCheckable(true);
        a->setChecked(group->pieces[p] == id);
        connect(a, &QAction::triggered, this, [this, item, p] { markPiece(item, p); });
    }
    return menu;
}

QString PaletteEditor::askName(const QString &title, const QString &name) const
{
    bool ok = false;
    QString text = Dialogs::getText(m_palette, title, tr("Name:"), QLineEdit::Normal, name, &ok);
    // A name is one line of visible text.
    text.remove(QRegularExpression(QStringLiteral("[\\x00-\\x1f\\x7f]")));
    return ok ? text.trimmed() : QString();
}

void PaletteEditor::addCategory(QTreeWidget *tree, QTreeWidgetItem *parent, bool group)
{
    const QString name = askName(group ? tr("New Group") : tr("New Tileset"), QString());
    if (name.isEmpty())
        return;
    TListItem *item = parent ? new TListItem(parent) : new TListItem(tree);
    item->setText(0, name);
    if (parent)
        parent->setExpanded(true);
    tree->setCurrentItem(item);
    save(tr("Added \"%1\" to the palette.").arg(name));
}

void PaletteEditor::rename(QTreeWidgetItem *item)
{
    const QString name = askName(tr("Rename"), item->text(0));
    if (name.isEmpty() || name == item->text(0))
        return;
    item->setText(0, name);
    save(tr("Renamed to \"%1\".").arg(name));
}

void PaletteEditor::remove(QTreeWidget *tree, QTreeWidgetItem *item)
{
    const auto *category = static_cast<const TListItem *>(item);
    if ((!category->tiles.isEmpty() || item->childCount() > 0)
        && Dialogs::question(m_palette, tr("Remove"),
                             tr("Remove \"%1\" with its tiles and groups from the palette?").arg(item->text(0)),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
               != QMessageBox::Yes)
        return;
    // The list shows the removed category or one inside it.
    bool shown = false;
    for (const QTreeWidgetItem *i = shownGroup(tree); i && !shown; i = i->parent())
        shown = i == item;
    const QString name = item->text(0);
    delete item;
    // The tree may have chosen a neighbour in its place.
    if (shown && shownGroup(tree)) {
        m_palette->refillList(tree);
    } else if (shown) {
        listOf(tree)->clear();
        emit m_palette->wallSetChosen(std::nullopt);
    }
    save(tr("Removed \"%1\" from the palette.").arg(name));
}

bool PaletteEditor::drop(QTreeWidget *tree, QTreeWidgetItem *item, const QMimeData *data)
{
    // Top-level categories never show tiles: only a group takes them.
    if (!item || !item->parent())
        return false;
    const int kind = tree == m_palette->treeArt() ? Art : Terrain;
    int x = 0;
    int y = 0;
    qint16 z = 0;
    const TileMap tiles = m_mime->decode(kind, data, x, y, z);
    std::set<qint32> ids;
    for (const QList<TileRecord> &cell : tiles)
        for (const TileRecord &t : cell)
            ids.insert(t.id);
    auto *group = static_cast<TListItem *>(item);
    int added = 0;
    for (const qint32 id : ids)
        if (!group->tiles.contains(id)) {
            group->tiles.append(id);
            ++added;
        }
    if (ids.empty())
        return false;
    if (added == 0) {
        emit message(tr("\"%1\" has these tiles already.").arg(item->text(0)));
        return true;
    }
    if (group == shownGroup(tree))
        m_palette->refillList(tree);
    save(added == 1 ? tr("1 tile added to \"%1\".").arg(item->text(0))
                    : tr("%1 tiles added to \"%2\".").arg(added).arg(item->text(0)));
    return true;
}

void PaletteEditor::removeTiles(ListWidget *list)
{
    QTreeWidget *tree = treeOf(list);
    TListItem *group = shownGroup(tree);
    QList<int> rows;
    for (QListWidgetItem *item : list->selectedItems())
        rows.append(list->row(item));
    if (!group || rows.isEmpty())
        return;
    // The list shows the group's tiles in order: row n is tile n.
    std::sort(rows.rbegin(), rows.rend());
    for (const int row : rows)
        if (row < group->tiles.size())
            group->tiles.removeAt(row);
    m_palette->refillList(tree);
    save(rows.size() == 1 ? tr("1 tile removed from \"%1\".").arg(group->text(0))
                          : tr("%1 tiles removed from \"%2\".").arg(rows.size()).arg(group->text(0)));
}

void PaletteEditor::markPiece(QListWidgetItem *item, int piece)
{
    TListItem *group = shownGroup(m_palette->treeArt());
    if (!group)
        return;
    group->pieces[piece] = quint16(item->data(ListWidget::IdRole).toInt());
    group->walls = PaletteXml::wallSet(group->pieces);
    // The group is the chosen one: Hollow Rectangle takes the pieces now.
    emit m_palette->wallSetChosen(group->walls);
    save(group->walls
             ? tr("Hollow Rectangle walls with \"%1\".").arg(group->text(0))
             : tr("\"%1\": %2 is its %3; Hollow Rectangle needs a corner and both sides.")
                   .arg(group->text(0), item->data(ListWidget::IdRole).toString(), tr(PieceNames[piece])));
}

TListItem *PaletteEditor::shownGroup(QTreeWidget *tree) const
{
    const QList<QTreeWidgetItem *> selected = tree ? tree->selectedItems() : QList<QTreeWidgetItem *>();
    if (selected.isEmpty() || !selected.first()->parent())
        return nullptr;
    return static_cast<TListItem *>(selected.first());
}

QTreeWidget *PaletteEditor::treeOf(const QObject *listOrViewport) const
{
    for (QTreeWidget *tree : {m_palette->treeArt(), m_palette->treeTerrain()})
        if (listOrViewport == tree->viewport() || listOrViewport == listOf(tree))
            return tree;
    return nullptr;
}

ListWidget *PaletteEditor::listOf(const QTreeWidget *tree) const
{
    return tree == m_palette->treeArt() ? m_palette->listArt() : m_palette->listTerrain();
}

void PaletteEditor::save(const QString &done)
{
    QString notice;
    QString error;
    auto *art = m_palette->treeArt()->invisibleRootItem();
    auto *terrain = m_palette->treeTerrain()->invisibleRootItem();
    const bool saved = m_store.save(categoriesOf(art), categoriesOf(terrain), &notice, &error);
    if (!saved) {
        Dialogs::warning(m_palette, tr("Palette"),
                         tr("Your palette change could not be saved to %1: %2")
                             .arg(QDir::toNativeSeparators(m_store.userPath()), error));
        return;
    }
    // A damaged file moved aside is worth more than the change just made.
    emit message(notice.isEmpty() ? done : notice + QLatin1Char(' ') + done);
}

void PaletteEditor::resetPalette()
{
    if (!m_store.hasUserFile()) {
        emit message(tr("The palette is the bundled one already."));
        return;
    }
    if (Dialogs::question(m_palette, tr("Reset Palette"),
                          tr("Go back to the bundled palette? Every change made to the palette is lost."),
                          QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        != QMessageBox::Yes)
        return;
    QString notice;
    QString error;
    if (!m_store.reset(&notice, &error)) {
        Dialogs::warning(m_palette, tr("Reset Palette"),
                         tr("%1 cannot be removed: %2").arg(QDir::toNativeSeparators(m_store.userPath()), error));
        return;
    }
    m_palette->setCategories(m_store.load().palette);
    m_problem.clear();
    emit message(notice.isEmpty() ? tr("The bundled palette is back.") : notice);
}

bool PaletteEditor::eventFilter(QObject *watched, QEvent *event)
{
    QTreeWidget *tree = treeOf(watched);
    const bool isList = tree && watched != tree->viewport();
    if (isList && isDelete(event)) {
        // Taken before the window's Delete, which would delete in the view.
        event->accept();
        if (event->type() == QEvent::KeyPress)
            removeTiles(listOf(tree));
        return true;
    }
    if (!tree || isList)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *e = static_cast<QDropEvent *>(event);
        QTreeWidgetItem *item = tree->itemAt(e->position().toPoint());
        const int kind = tree == m_palette->treeArt() ? Art : Terrain;
        const bool takes = item && item->parent() && m_mime->canDecode(kind, e->mimeData());
        // Enter is accepted for a payload of the kind; each move says where it may land.
        if (m_mime->canDecode(kind, e->mimeData()) && (takes || event->type() == QEvent::DragEnter)) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else {
            e->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto *e = static_cast<QDropEvent *>(event);
        if (drop(tree, tree->itemAt(e->position().toPoint()), e->mimeData())) {
            e->setDropAction(Qt::CopyAction);
            e->accept();
        } else {
            e->ignore();
        }
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
