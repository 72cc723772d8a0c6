#include "panels/TileInspector.h"

#include "model/Facet.h"
#include "panels/BandedScrollBar.h"
#include "panels/InspectorDelegate.h"
#include "panels/InspectorTable.h"
#include "panels/TileInspectorModel.h"
#include "scene/Document.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QScopedValueRollback>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int RowHeight = 26;
constexpr int IconSide = 22;
// Room for an icon and "0x0000 (00000)", a tile name, and the numbers.
constexpr int IdWidth = 132;
constexpr int NameWidth = 110;
constexpr int NumberWidth = 46;
constexpr int HintHeight = 520;
// How long the pointer stays on a cell before its stack is shown.
constexpr int RestMs = 300;
} // namespace

TileInspector::TileInspector(ArtReader *art, const HueTable *hues, QWidget *parent)
    : QWidget(parent),
      m_model(new TileInspectorModel(art, hues, this)),
      m_delegate(new InspectorDelegate(m_model, this)),
      m_table(new InspectorTable(this)),
      m_caption(new QLabel(this)),
      m_reason(new QLabel(this)),
      m_rest(new QTimer(this))
{
    m_rest->setSingleShot(true);
    m_rest->setInterval(RestMs);
    connect(m_rest, &QTimer::timeout, this, &TileInspector::rested);
    m_table->setObjectName(QStringLiteral("inspectorTable"));
    m_reason->setObjectName(QStringLiteral("inspectorReason"));
    m_table->setModel(m_model);
    m_table->setItemDelegate(m_delegate);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setIconSize(QSize(IconSide, IconSide));
    // Fixed row heights: a table of many thousand rows measures none of them.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(RowHeight);
    m_table->verticalHeader()->hide();
    // One line a field: wrapping lays every text out on each paint.
    m_table->setWordWrap(false);
    // The table fills its own grid lines: a stroked grid costs as much as the text.
    m_table->setShowGrid(false);
    // Columns that stay where they are whether the rows fill the view or not.
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_table->setVerticalScrollBar(new BandedScrollBar(Qt::Vertical, m_table));
    m_table->horizontalHeader()->setDefaultSectionSize(NumberWidth);
    m_table->horizontalHeader()->resizeSection(TileInspectorModel::Id, IdWidth);
    m_table->horizontalHeader()->resizeSection(TileInspectorModel::Name, NameWidth);
    m_table->horizontalHeader()->setStretchLastSection(true);
    // A header asks of every row whether its column is selected, on every
    // paint: it gets a selection of its own that stays empty.
    m_table->horizontalHeader()->setHighlightSections(false);
    m_table->horizontalHeader()->setSelectionModel(new QItemSelectionModel(m_model, m_table));
    m_reason->setWordWrap(true);
    // A caption's width never moves the dock: the window would lay itself out
    // again at each selection change.
    m_caption->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_model->setRowSelection(m_table->selectionModel());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(m_caption);
    layout->addWidget(m_table);
    layout->addWidget(m_reason);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TileInspector::rowsSelected);
    connect(m_model, &TileInspectorModel::refused, this, &TileInspector::showReason);
    connect(m_delegate, &InspectorDelegate::problem, this, &TileInspector::showReason);
    connect(m_model, &TileInspectorModel::edited, this, &TileInspector::afterEdit);
}

void TileInspector::follow(Document *doc)
{
    if (doc == m_doc && doc)
        return;
    for (const QMetaObject::Connection &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_doc = doc;
    m_current = false;
    m_hasCell = false;
    m_rest->stop();
    {
        const QScopedValueRollback setting(m_settingRows, true);
        m_model->setDocument(doc);
    }
    if (!doc) {
        m_caption->clear();
        return;
    }
    m_connections = {
        connect(doc, &Document::edited, this, &TileInspector::sync),
        connect(doc, &QObject::destroyed, this, [this] { follow(nullptr); }),
    };
    sync();
}

QSize TileInspector::sizeHint() const
{
    // Every column in view beside the document.
    return {IdWidth + NameWidth + 5 * NumberWidth + 2 * IconSide, HintHeight};
}

void TileInspector::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    m_current = false;
    sync();
}

void TileInspector::sync()
{
    // A hidden panel catches up when shown; its own edit is settled after it.
    if (!m_doc || !isVisible() || m_model->editing())
        return;
    const Document *doc = m_doc;
    const Selection &sel = doc->selection();
    if (m_current && sel.revision() == m_selectionRevision && doc->model()->revision() == m_modelRevision)
        return;
    m_current = true;
    m_selectionRevision = sel.revision();
    m_modelRevision = doc->model()->revision();
    if (sel.isEmpty(Terrain) && sel.isEmpty(Art)) {
        showStack();
        return;
    }
    // Rows taken away take their row selection with them: not the user's pick.
    const QScopedValueRollback setting(m_settingRows, true);
    m_model->showSelection();
    const int rows = m_model->rowCount();
    m_caption->setText(rows == 1 ? tr("1 selected tile") : tr("%1 selected tiles").arg(rows));
    // The selected tiles are the rows, every one of them selected.
    if (rows == 0)
        return;
    m_table->selectionModel()->select(
        QItemSelection(m_model->index(0, 0), m_model->index(rows - 1, TileInspectorModel::ColumnCount - 1)),
        QItemSelectionModel::ClearAndSelect);
}

// A cell the pointer rests on: the pointer crossing cells on its way to this
// panel leaves the stack it came from in view.
void TileInspector::hovered(int x, int y)
{
    m_pointed = QPoint(x, y);
    m_rest->start();
}

void TileInspector::enterEvent(QEnterEvent *e)
{
    m_rest->stop();
    QWidget::enterEvent(e);
}

void TileInspector::rested()
{
    m_cell = m_pointed;
    m_hasCell = true;
    // With a selection the rows are the selected tiles, wherever the pointer goes.
    if (!m_doc || !isVisible() || !m_current)
        return;
    const Selection &sel = m_doc->selection();
    if (sel.isEmpty(Terrain) && sel.isEmpty(Art))
        showStack();
}

void TileInspector::showStack()
{
    const QScopedValueRollback setting(m_settingRows, true);
    if (!m_hasCell) {
        m_model->clear();
        m_caption->setText(tr("No cell under the pointer"));
        return;
    }
    m_model->showStack(m_cell.x(), m_cell.y());
    const int rows = m_model->rowCount();
    const QString cell = QStringLiteral("%1,%2").arg(m_cell.x()).arg(m_cell.y());
    m_caption->setText(rows == 1 ? tr("Cell %1: 1 tile").arg(cell) : tr("Cell %1: %2 tiles").arg(cell).arg(rows));
}

// Rows chosen here become the view's selection; the rows stay as they are.
void TileInspector::rowsSelected()
{
    if (m_settingRows || !m_doc)
        return;
    // The rows stay as they are: every one is put in order before the selection changes.
    m_model->settle();
    Selection &sel = m_doc->selection();
    sel.clear(Selection::ClearBoth);
    const QModelIndexList rows = m_table->selectionModel()->selectedRows();
    for (const QModelIndex &row : rows)
        sel.add(m_model->tile(row.row()), false);
    m_caption->setText(tr("%1 of %2 rows selected").arg(rows.size()).arg(m_model->rowCount()));
    m_selectionRevision = sel.revision();
    emit changedDocument();
}

void TileInspector::afterEdit()
{
    m_reason->clear();
    if (!m_doc)
        return;
    m_selectionRevision = m_doc->selection().revision();
    m_modelRevision = m_doc->model()->revision();
    emit changedDocument();
}

void TileInspector::showReason(const QString &reason)
{
    m_reason->setText(reason);
}
