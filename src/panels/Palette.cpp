#include "panels/Palette.h"

#include "data/ArtReader.h"
#include "model/TileRecord.h"
#include "panels/ListWidget.h"
#include "panels/TListItem.h"

#include <QApplication>
#include <QDomDocument>
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
    setWindowTitle(QStringLiteral("Palette"));
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
                   QStringLiteral("Terrain"));
    m_tabs->addTab(makeTab(QStringLiteral("tab1"), QStringLiteral("splitter_2"),
                           QStringLiteral("treeArt"), m_treeArt, m_listArt, Art),
                   QStringLiteral("Art"));
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
        tree->setHeaderLabels({QStringLiteral("Categories")});
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
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QDomDocument palette(QStringLiteral("palette"));
    if (!palette.setContent(&file))
        return;
    // Descendants only: a document element that is itself "tilesets" is not read.
    const QDomNodeList sets = palette.documentElement().elementsByTagName(QStringLiteral("tilesets"));
    for (int i = 0; i < sets.size(); ++i)
        readTilesets(sets.at(i).toElement());
}

void Palette::readTilesets(const QDomElement &tilesets)
{
    // The scan ends at the first child that is not an element (a comment, say).
    for (QDomNode n = tilesets.firstChild(); !n.isNull() && n.isElement(); n = n.nextSibling()) {
        const QDomElement e = n.toElement();
        if (e.tagName() == QLatin1String("statics"))
            readCategory(e, m_treeArt, nullptr);
        else if (e.tagName() == QLatin1String("land"))
            readCategory(e, m_treeTerrain, nullptr);
    }
}

// Reads the children of a category element; item is null at the top level,
// where loose tiles have no category to go to.
void Palette::readCategory(const QDomElement &parent, QTreeWidget *tree, QTreeWidgetItem *item)
{
    for (QDomElement e = parent.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
        const QString tag = e.tagName();
        if (tag == QLatin1String("tileset") || tag == QLatin1String("group")) {
            TListItem *child = item ? new TListItem(item) : new TListItem(tree);
            child->setText(0, e.hasAttribute(QStringLiteral("name"))
                                  ? e.attribute(QStringLiteral("name"))
                                  : QStringLiteral("No Name"));
            readCategory(e, tree, child);
        } else if (tag == QLatin1String("tile")) {
            const qint32 number = e.firstChild().nodeValue().toInt();
            if (item)
                static_cast<TListItem *>(item)->tiles.append(number);
        }
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
