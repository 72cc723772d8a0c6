#include "panels/Palette.h"

#include "data/ArtReader.h"
#include "data/TileData.h"
#include "model/TileRecord.h"
#include "panels/ListWidget.h"
#include "panels/TListItem.h"
#include "panels/TileFlagNames.h"
#include "panels/TileLabel.h"
#include "panels/TileListModel.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
bool isEscape(const QEvent *event)
{
    return (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride)
           && static_cast<const QKeyEvent *>(event)->key() == Qt::Key_Escape;
}

// Shows the wait cursor for as long as it lives.
class WaitCursor
{
public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

constexpr int Spacing = 6;
constexpr int Margin = 8;
// Tiles per "All tiles" sub-category: one list fill decodes no more art than this.
constexpr int TilesPerRange = 256;
// The natural icon size of search results, whose art sizes are not known ahead:
// a wall piece's proportions.
constexpr QSize ResultIcon(64, 96);
// Room for a short name under each result.
constexpr int ResultWidth = 96;
// Icons never shrink below this, however small the dock.
constexpr int MinIcon = 24;
// Where a list keeps the size its largest image wants.
constexpr char NaturalIconSize[] = "naturalIconSize";
constexpr int UsableWidth = 640;
constexpr int TreeWidth = 150;
constexpr int UsableHeight = 300;

// The largest size up to `natural` (proportions kept) whose icon and one text
// line fit the view's visible area, so the icons follow the dock's size.
QSize fittedIcon(const QSize &natural, const QSize &viewport, int textHeight)
{
    if (natural.isEmpty())
        return natural;
    const QSize room(viewport.width() - 2 * Margin, viewport.height() - textHeight - 3 * Spacing);
    if (natural.width() <= room.width() && natural.height() <= room.height())
        return natural;
    const QSize fitted = natural.scaled(room.expandedTo(QSize(MinIcon, MinIcon)), Qt::KeepAspectRatio);
    return qMax(fitted.width(), fitted.height()) < MinIcon
               ? natural.scaled(MinIcon, MinIcon, Qt::KeepAspectRatio)
               : fitted;
}

QString hexId(int id)
{
    constexpr int Hex = 16;
    constexpr int Digits = 4;
    return QStringLiteral("0x") + QString::number(id, Hex).toUpper().rightJustified(Digits, QLatin1Char('0'));
}

QString rangeName(int first, int last)
{
    return QStringLiteral("%1 - %2").arg(hexId(first), hexId(last));
}

// A top-level category of "All tiles" with sub-categories of consecutive tiles.
void addGroup(QTreeWidget *tree, const QString &name, const QVector<int> &ids)
{
    if (ids.isEmpty())
        return;
    auto *group = new TListItem(tree);
    group->setText(0, QStringLiteral("%1 (%2)").arg(name).arg(ids.size()));
    for (int start = 0; start < ids.size(); start += TilesPerRange) {
        auto *range = new TListItem(group);
        range->tiles = ids.mid(start, TilesPerRange);
        range->setText(0, rangeName(range->tiles.first(), range->tiles.last()));
    }
}
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
    reload();
    m_recent.load();
    refreshRecent();
}

QSize Palette::sizeHint() const
{
    // Tall enough for a row of wall-sized icons with their names.
    return QWidget::sizeHint().expandedTo(QSize(UsableWidth, UsableHeight));
}

void Palette::setupUi()
{
    setObjectName(QStringLiteral("Palette"));
    setWindowTitle(tr("Palette"));
    resize(312, 260);
    setFocusPolicy(Qt::NoFocus);
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(Spacing);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("searchEdit"));
    m_search->setPlaceholderText(tr("Search by name, id or flag (wall, roof, door...)"));
    m_search->setClearButtonEnabled(true);
    // The one part of the panel that takes the keyboard: only when clicked.
    m_search->setFocusPolicy(Qt::ClickFocus);
    // Escape leaves the field for the view.
    m_search->installEventFilter(this);
    layout->addWidget(m_search);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabWidget"));
    m_tabs->setFocusPolicy(Qt::NoFocus);
    m_tabs->addTab(makeTab(QStringLiteral("tab0"), QStringLiteral("splitter"),
                           QStringLiteral("treeTerrain"), m_treeTerrain, m_listTerrain, Terrain),
                   tr("Terrain"));
    m_tabs->addTab(makeTab(QStringLiteral("tab1"), QStringLiteral("splitter_2"),
                           QStringLiteral("treeArt"), m_treeArt, m_listArt, Art),
                   tr("Art"));
    m_tabs->addTab(makeTab(QStringLiteral("tabAll"), QStringLiteral("splitterAll"),
                           QStringLiteral("treeAll"), m_treeAll, m_listAll, Art),
                   tr("All tiles"));
    m_tabs->addTab(makeRecentTab(), tr("Recent"));
    m_stack = new QStackedWidget(this);
    m_stack->addWidget(m_tabs);
    m_stack->addWidget(makeResults());
    layout->addWidget(m_stack);
}

QWidget *Palette::makeTab(const QString &name, const QString &splitterName,
                          const QString &treeName, QTreeWidget *&tree, ListWidget *&list, int kind)
{
    auto *tab = new QWidget;
    tab->setObjectName(name);
    tab->setFocusPolicy(Qt::NoFocus);
    auto *layout = new QHBoxLayout(tab);
    layout->setSpacing(Spacing);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    auto *splitter = new QSplitter(Qt::Horizontal, tab);
    splitter->setObjectName(splitterName);
    tree = new QTreeWidget(splitter);
    tree->setObjectName(treeName);
    tree->setFocusPolicy(Qt::NoFocus);
    list = new ListWidget(kind, splitter);
    list->setObjectName(treeName == QLatin1String("treeAll") ? QStringLiteral("listAll")
                        : kind == Art                        ? QStringLiteral("listArt")
                                                             : QStringLiteral("listTerrain"));
    list->setFocusPolicy(Qt::NoFocus);
    // The tiles get the room; the categories keep their width.
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({TreeWidth, TreeWidth * 3});
    layout->addWidget(splitter);
    return tab;
}

QWidget *Palette::makeRecentTab()
{
    auto *tab = new QWidget;
    tab->setObjectName(QStringLiteral("tabRecent"));
    tab->setFocusPolicy(Qt::NoFocus);
    auto *layout = new QHBoxLayout(tab);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    m_listRecent = new ListWidget(Art, tab);
    m_listRecent->setObjectName(QStringLiteral("listRecent"));
    m_listRecent->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_listRecent);
    return tab;
}

QWidget *Palette::makeResults()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("searchPage"));
    auto *layout = new QVBoxLayout(page);
    layout->setSpacing(Spacing);
    layout->setContentsMargins(0, 0, 0, 0);
    m_resultsLabel = new QLabel(page);
    m_resultsLabel->setObjectName(QStringLiteral("searchCount"));
    layout->addWidget(m_resultsLabel);
    m_results = new QListView(page);
    m_results->setObjectName(QStringLiteral("listSearch"));
    m_results->setFocusPolicy(Qt::NoFocus);
    m_resultsModel = new TileListModel(m_art, m_data, this);
    m_results->setModel(m_resultsModel);
    m_results->setUniformItemSizes(true);
    m_results->setSelectionMode(QAbstractItemView::SingleSelection);
    m_results->setDragEnabled(true);
    m_results->setDragDropMode(QAbstractItemView::DragOnly);
    m_results->setProperty(NaturalIconSize, ResultIcon);
    layout->addWidget(m_results);
    return page;
}

void Palette::connectSlots()
{
    connect(m_treeTerrain, &QTreeWidget::itemSelectionChanged, this, &Palette::treeSelectTerrain);
    connect(m_listTerrain, &QListWidget::itemDoubleClicked, this, &Palette::doubleClickTerrain);
    connect(m_listTerrain, &QListWidget::currentItemChanged, this, &Palette::itemChangedTerrain);
    connect(m_treeArt, &QTreeWidget::itemSelectionChanged, this, &Palette::treeSelectArt);
    connect(m_listArt, &QListWidget::itemDoubleClicked, this, &Palette::doubleClickArt);
    connect(m_listArt, &QListWidget::currentItemChanged, this, &Palette::itemChangedArt);
    connectExtraLists();
}

void Palette::connectExtraLists()
{
    connect(m_treeAll, &QTreeWidget::itemSelectionChanged, this,
            [this] { fillList(m_treeAll, m_listAll, false); });
    for (ListWidget *list : {m_listAll, m_listRecent}) {
        connect(list, &QListWidget::itemDoubleClicked, this,
                [this, list](QListWidgetItem *item) { doubleClickList(list, item); });
        connect(list, &QListWidget::currentItemChanged, this, &Palette::stopPainting);
    }
    connect(m_results, &QListView::doubleClicked, this, &Palette::doubleClickResult);
    connect(m_results->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                // A new search clears the current tile; that alone does not stop painting.
                if (current.isValid())
                    emit stopPainting();
            });
    connect(m_search, &QLineEdit::textChanged, this, &Palette::searchChanged);
    connect(m_search, &QLineEdit::returnPressed, this, &Palette::chooseResult);
    connect(this, &Palette::setPainting, this, &Palette::addRecent);
}

void Palette::configureViews()
{
    for (QTreeWidget *tree : {m_treeTerrain, m_treeArt, m_treeAll})
        tree->setHeaderLabels({tr("Categories")});
    for (ListWidget *list : {m_listTerrain, m_listArt, m_listAll, m_listRecent})
        configureList(list);
    configureList(m_results);
    m_listTerrain->setIconSize(QSize(44, 44));
}

void Palette::configureList(QAbstractItemView *view)
{
    auto *list = static_cast<QListView *>(view);
    list->setViewMode(QListView::IconMode);
    list->setMovement(QListView::Static);
    list->setResizeMode(QListView::Adjust);
    list->setWrapping(true);
    list->setTextElideMode(Qt::ElideRight);
    list->viewport()->installEventFilter(this);
}

void Palette::readFile(const QString &fileName)
{
    const PaletteXml::Result palette = PaletteXml::read(fileName);
    setCategories(palette);
    // A missing palette leaves the trees empty as it always did; a damaged
    // one says why where the categories would be.
    if (!m_loadError.isEmpty() && QFile::exists(fileName))
        qWarning("%s", qPrintable(m_loadError));
}

void Palette::setCategories(const PaletteXml::Result &palette)
{
    m_loadError = palette.error;
    for (QTreeWidget *tree : {m_treeArt, m_treeTerrain}) {
        const QSignalBlocker blocker(tree);
        tree->clear();
        tree->setToolTip(m_loadError);
    }
    m_listArt->clear();
    m_listTerrain->clear();
    addCategories(palette.art, m_treeArt, nullptr);
    addCategories(palette.terrain, m_treeTerrain, nullptr);
    // The group that gave the walls may be gone.
    emit wallSetChosen(std::nullopt);
}

void Palette::refillList(QTreeWidget *tree)
{
    fillList(tree, tree == m_treeArt ? m_listArt : m_listTerrain, tree == m_treeTerrain);
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
        item->pieces = category.pieces;
        addCategories(category.children, tree, item);
    }
}

void Palette::reload()
{
    m_index.build(m_data, m_art);
    m_resultsModel->clearIcons();
    buildAllTiles();
    searchChanged(m_search->text());
}

// Every indexed tile under each builder's flag it has; the rest under "Other".
void Palette::buildAllTiles()
{
    const QSignalBlocker blocker(m_treeAll);
    m_treeAll->clear();
    m_listAll->clear();
    quint64 grouped = 0;
    for (const TileFlagNames::Flag &flag : TileFlagNames::groups())
        grouped |= flag.bit;
    const QVector<int> &ids = m_index.ids();
    const QVector<quint64> &flags = m_index.flags();
    for (const TileFlagNames::Flag &flag : TileFlagNames::groups()) {
        QVector<int> members;
        for (int i = 0; i < ids.size(); ++i)
            if (flags[i] & flag.bit)
                members.append(ids[i]);
        addGroup(m_treeAll, QString::fromLatin1(flag.name), members);
    }
    QVector<int> other;
    for (int i = 0; i < ids.size(); ++i)
        if (!(flags[i] & grouped))
            other.append(ids[i]);
    addGroup(m_treeAll, tr("Other"), other);
}

QListWidgetItem *Palette::addTile(ListWidget *list, int id, bool terrain, QSize &largest)
{
    QImage image;
    if (m_art)
        image = terrain ? m_art->landImage(id, nullptr, false) : m_art->staticImage(id, nullptr, false);
    largest = largest.expandedTo(image.size());
    QIcon icon;
    if (!image.isNull())
        icon.addPixmap(QPixmap::fromImage(image), QIcon::Normal, QIcon::Off);
    const TileInfo info = terrain ? m_data.landInfo(id) : m_data.staticInfo(id);
    auto *entry = new QListWidgetItem(icon, TileLabel::text(id, info), list);
    entry->setData(ListWidget::IdRole, id);
    entry->setToolTip(TileLabel::toolTip(id, info));
    entry->setTextAlignment(Qt::AlignCenter);
    return entry;
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
    for (qint32 number : category->tiles)
        addTile(list, number, terrain, largest);
    list->setProperty(NaturalIconSize, largest);
    fitIcons(list);
    emit stopPainting();
}

void Palette::addRecent(const QString &key)
{
    m_recent.add(key);
    // Later: the brush may come from a double-click in the list being rebuilt.
    QMetaObject::invokeMethod(this, &Palette::refreshRecent, Qt::QueuedConnection);
}

void Palette::refreshRecent()
{
    // Rebuilding is no choice of the user's: painting goes on.
    const QSignalBlocker blocker(m_listRecent);
    m_listRecent->clear();
    QSize largest(0, 0);
    for (const QString &key : m_recent.keys()) {
        const auto fields = TileRecord::keyFields(key);
        QListWidgetItem *item = addTile(m_listRecent, fields[0], fields[6] == Terrain, largest);
        item->setData(ListWidget::KeyRole, key);
        if (fields[4] != 0)
            item->setToolTip(item->toolTip() + QLatin1Char('\n') + tr("Hue %1").arg(fields[4]));
    }
    m_listRecent->setProperty(NaturalIconSize, largest);
    fitIcons(m_listRecent);
}

void Palette::searchChanged(const QString &text)
{
    if (text.trimmed().isEmpty()) {
        m_stack->setCurrentIndex(0);
        m_resultsModel->setIds({});
        return;
    }
    m_resultsModel->setIds(m_index.filter(text));
    const int found = int(m_resultsModel->ids().size());
    m_resultsLabel->setText(found == 1 ? tr("1 tile found") : tr("%1 tiles found").arg(found));
    m_stack->setCurrentIndex(1);
}

bool Palette::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_search && isEscape(event)) {
        // Taken before the window's Escape shortcut, which would cancel the view's gesture.
        event->accept();
        if (event->type() == QEvent::KeyPress)
            emit keyboardHandedBack();
        return true;
    }
    if (event->type() == QEvent::Resize) {
        for (QAbstractItemView *view : std::initializer_list<QAbstractItemView *>{
                 m_listTerrain, m_listArt, m_listAll, m_listRecent, m_results})
            if (view && watched == view->viewport())
                fitIcons(view);
    }
    return QWidget::eventFilter(watched, event);
}

void Palette::fitIcons(QAbstractItemView *view)
{
    const QSize natural = view->property(NaturalIconSize).toSize();
    if (!natural.isValid())
        return;
    const QSize icon = fittedIcon(natural, view->viewport()->size(), view->fontMetrics().height());
    if (icon != view->iconSize())
        view->setIconSize(icon);
    if (view == m_results) {
        // One grid for all results keeps the layout of tens of thousands cheap.
        const int text = view->fontMetrics().height();
        m_results->setGridSize(QSize(qMax(icon.width(), ResultWidth) + 2 * Margin,
                                     icon.height() + text + 2 * Spacing));
    }
}

void Palette::doubleClick(QListWidgetItem *item, const QString &suffix)
{
    if (!item) {
        emit stopPainting();
        return;
    }
    const QVariant id = item->data(ListWidget::IdRole);
    choose((id.isValid() ? QString::number(id.toInt()) : item->text()) + suffix);
}

void Palette::doubleClickList(ListWidget *list, QListWidgetItem *item)
{
    if (item)
        choose(list->key(item));
    else
        emit stopPainting();
}

void Palette::doubleClickResult(const QModelIndex &index)
{
    if (!index.isValid()) {
        emit stopPainting();
        return;
    }
    choose(QString::number(index.data(TileListModel::IdRole).toInt()) + QStringLiteral(":0:0:0:0:1:1"));
}

// Enter in the search field: the current result, else the first.
void Palette::chooseResult()
{
    if (m_stack->currentIndex() != 1 || m_resultsModel->rowCount() == 0)
        return;
    const QModelIndex current = m_results->currentIndex();
    doubleClickResult(current.isValid() ? current : m_resultsModel->index(0, 0));
}

// A tile chosen ends the typing: the keys belong to the view again (tool keys).
void Palette::choose(const QString &key)
{
    emit setPainting(key);
    emit keyboardHandedBack();
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
