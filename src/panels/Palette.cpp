#include "panels/Palette.h"

#include "data/ArtReader.h"
#include "model/TileRecord.h"
#include "panels/ListWidget.h"
#include "panels/TListItem.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QSplitter>
#include <QTabWidget>
#include <QTreeWidget>

namespace {
// Shows the wait cursor for as long as it lives.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};
} // namespace

Palette::Palette(const QString &fileName, ArtReader *art, const TileData &data, bool hideTerrain,
                 QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags), m_art(art), m_data(data)
{
    setupUi();
    if (hideTerrain)
        m_tabs->removeTab(0);
    connectSlots();
    configureViews();
    readFile(fileName);
}

void Palette::setupUi()
{
    setObjectName(QStringLiteral("Palette"));
    setWindowTitle(tr("Palette"));
    resize(312, 260);
    setFocusPolicy(Qt::NoFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(6);
    layout->setContentsMargins(8, 8, 8, 8);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabWidget"));
    m_tabs->setFocusPolicy(Qt::NoFocus);
    m_tabs->addTab(makeTab(QStringLiteral("tab0"), QStringLiteral("splitter"),
                           QStringLiteral("treeTerrain"), m_treeTerrain, m_listTerrain, Terrain),
                   tr("Terrain"));
    m_tabs->addTab(makeTab(QStringLiteral("tab1"), QStringLiteral("splitter_2"),
                           QStringLiteral("treeArt"), m_treeArt, m_listArt, Art),
                   tr("Art"));
    layout->addWidget(m_tabs);
}

QWidget *Palette::makeTab(const QString &name, const QString &splitterName,
                          const QString &treeName, QTreeWidget *&tree, ListWidget *&list, int kind)
{
    auto *tab = new QWidget;
    tab->setObjectName(name);
    tab->setFocusPolicy(Qt::NoFocus);
    auto *layout = new QHBoxLayout(tab);
    layout->setSpacing(6);
    layout->setContentsMargins(8, 8, 8, 8);
    auto *splitter = new QSplitter(Qt::Horizontal, tab);
    splitter->setObjectName(splitterName);
    tree = new QTreeWidget(splitter);
    tree->setObjectName(treeName);
    tree->setFocusPolicy(Qt::NoFocus);
    list = new ListWidget(kind, splitter);
    list->setObjectName(kind == Art ? QStringLiteral("listArt") : QStringLiteral("listTerrain"));
    list->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(splitter);
    return tab;
}

void Palette::connectSlots()
{
    connect(m_treeTerrain, &QTreeWidget::itemSelectionChanged, this, &Palette::treeSelectTerrain);
    connect(m_listTerrain, &QListWidget::itemDoubleClicked, this, &Palette::doubleClickTerrain);
    connect(m_listTerrain, &QListWidget::currentItemChanged, this, &Palette::itemChangedTerrain);
    connect(m_treeArt, &QTreeWidget::itemSelectionChanged, this, &Palette::treeSelectArt);
    connect(m_listArt, &QListWidget::itemDoubleClicked, this, &Palette::doubleClickArt);
    connect(m_listArt, &QListWidget::currentItemChanged, this, &Palette::itemChangedArt);
}

void Palette::configureViews()
{
    for (QTreeWidget *tree : {m_treeTerrain, m_treeArt})
        tree->setHeaderLabels({tr("Categories")});
    for (ListWidget *list : {m_listTerrain, m_listArt}) {
        list->setViewMode(QListView::IconMode);
        list->setMovement(QListView::Static);
        list->setResizeMode(QListView::Adjust);
        list->setWrapping(true);
    }
    m_listTerrain->setIconSize(QSize(44, 44));
}

void Palette::readFile(const QString &fileName)
{
    const PaletteXml::Result palette = PaletteXml::read(fileName);
    m_loadError = palette.error;
    // A missing palette leaves the trees empty as it always did; a damaged
    // one says why where the categories would be.
    if (!m_loadError.isEmpty() && QFile::exists(fileName)) {
        qWarning("%s", qPrintable(m_loadError));
        for (QTreeWidget *tree : {m_treeArt, m_treeTerrain})
            tree->setToolTip(m_loadError);
    }
    addCategories(palette.art, m_treeArt, nullptr);
    addCategories(palette.terrain, m_treeTerrain, nullptr);
}

// Top-level categories go to the tree, nested ones under their parent item.
void Palette::addCategories(const QList<PaletteXml::Category> &categories, QTreeWidget *tree,
                            QTreeWidgetItem *parent)
{
    for (const PaletteXml::Category &category : categories) {
        TListItem *item = parent ? new TListItem(parent) : new TListItem(tree);
        item->setText(0, category.name);
        item->tiles = category.tiles;
        item->walls = category.walls;
        addCategories(category.children, tree, item);
    }
}

void Palette::fillList(QTreeWidget *tree, ListWidget *list, bool terrain)
{
    const QList<QTreeWidgetItem *> selected = tree->selectedItems();
    if (selected.isEmpty())
        return;
    WaitCursor wait;
    // Top-level categories never fill the list.
    if (!selected.first()->parent())
        return;
    const auto *category = static_cast<const TListItem *>(selected.first());
    if (!terrain)
        emit wallSetChosen(category->walls);
    list->clear();
    QSize largest(0, 0);
    for (qint32 number : category->tiles) {
        QImage image;
        if (m_art)
            image = terrain ? m_art->landImage(number, nullptr, false)
                            : m_art->staticImage(number, nullptr, false);
        largest = largest.expandedTo(image.size());
        QIcon icon;
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image), QIcon::Normal, QIcon::Off);
        auto *entry = new QListWidgetItem(icon, QString::number(number), list);
        entry->setTextAlignment(Qt::AlignCenter);
    }
    list->setIconSize(largest);
    emit stopPainting();
}

void Palette::doubleClick(QListWidgetItem *item, const QString &suffix)
{
    if (item)
        emit setPainting(item->text() + suffix);
    else
        emit stopPainting();
}

void Palette::treeSelectTerrain()
{
    fillList(m_treeTerrain, m_listTerrain, true);
}

void Palette::doubleClickTerrain(QListWidgetItem *item)
{
    doubleClick(item, QStringLiteral(":0:0:0:0:1:0"));
}

void Palette::itemChangedTerrain(QListWidgetItem *, QListWidgetItem *)
{
    emit stopPainting();
}

void Palette::treeSelectArt()
{
    fillList(m_treeArt, m_listArt, false);
}

void Palette::doubleClickArt(QListWidgetItem *item)
{
    doubleClick(item, QStringLiteral(":0:0:0:0:1:1"));
}

void Palette::itemChangedArt(QListWidgetItem *, QListWidgetItem *)
{
    emit stopPainting();
}
