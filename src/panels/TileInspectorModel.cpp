#include "panels/TileInspectorModel.h"

#include "data/ArtReader.h"
#include "data/HueTable.h"
#include "model/Altitude.h"
#include "model/Facet.h"
#include "model/TileInfo.h"
#include "model/UndoMgr.h"
#include "panels/TileLabel.h"
#include "scene/Document.h"
#include "scene/Placeholder.h"

#include <QItemSelectionModel>
#include <QPixmap>

#include <algorithm>
#include <utility>

namespace {
// Icons of a few screens of rows; others are decoded again when shown.
constexpr int CachedIcons = 500;
constexpr int LastId = 0xFFFF;
constexpr int LastTerrainId = 0x3FFF;
// Hues are stored as signed 16-bit numbers.
constexpr int LastHue = 0x7FFF;
constexpr int Hex = 16;
constexpr int HexDigits = 4;

qint32 &field(TileIdentity &t, int column)
{
    switch (column) {
    case TileInspectorModel::Id:
        return t.id;
    case TileInspectorModel::X:
        return t.x;
    case TileInspectorModel::Y:
        return t.y;
    case TileInspectorModel::Z:
        return t.z;
    case TileInspectorModel::Hue:
        return t.hue;
    default:
        return t.visible;
    }
}

TileRecord recordOf(const TileIdentity &t, const TileInfoSource &data)
{
    TileRecord r(quint16(t.id), qint16(t.hue), qint16(t.z), data, t.kind);
    r.x = t.x;
    r.y = t.y;
    r.visible = qint16(t.visible);
    return r;
}
} // namespace

qint32 TileInspectorModel::value(TileIdentity t, int column)
{
    return field(t, column);
}

TileInspectorModel::TileInspectorModel(ArtReader *art, const HueTable *hues, QObject *parent)
    : QAbstractTableModel(parent), m_art(art), m_hues(hues), m_icons(CachedIcons)
{
}

void TileInspectorModel::setDocument(Document *doc)
{
    m_doc = doc;
    clear();
}

Document *TileInspectorModel::document() const
{
    return m_doc;
}

void TileInspectorModel::setRowSelection(QItemSelectionModel *rows)
{
    m_rowSelection = rows;
}

// Rows go and come rather than the model being reset: a reset makes the
// table's headers measure, lay out and repaint themselves, a third of the
// cost of showing a new selection.
void TileInspectorModel::removeAllRows()
{
    if (m_rowCount == 0)
        return;
    beginRemoveRows({}, 0, m_rowCount - 1);
    m_walk = SelectionWalk();
    // The room of the rows shown so far is kept for the next ones.
    m_rows.clear();
    m_rowCount = 0;
    endRemoveRows();
}

void TileInspectorModel::reset(std::vector<TileIdentity> rows)
{
    removeAllRows();
    if (rows.empty())
        return;
    beginInsertRows({}, 0, int(rows.size()) - 1);
    m_rows = std::move(rows);
    m_rowCount = int(m_rows.size());
    endInsertRows();
}

void TileInspectorModel::clear()
{
    reset({});
}

void TileInspectorModel::showStack(int x, int y)
{
    std::vector<TileIdentity> rows;
    if (const Facet::TileSet *set = m_doc ? m_doc->model()->tilesAtPtr(x, y) : nullptr) {
        rows.reserve(set->size());
        for (const TileRecord &t : *set)
            rows.push_back(TileIdentity::of(t));
    }
    reset(std::move(rows));
}

void TileInspectorModel::showSelection()
{
    if (!m_doc) {
        clear();
        return;
    }
    const Selection &sel = m_doc->selection();
    removeAllRows();
    const int count = sel.count(Terrain) + sel.count(Art);
    if (count == 0)
        return;
    beginInsertRows({}, 0, count - 1);
    m_walk.start(sel);
    m_rowCount = count;
    endInsertRows();
}

const TileIdentity *TileInspectorModel::rowAt(int row) const
{
    if (row < 0 || row >= m_rowCount)
        return nullptr;
    if (size_t(row) >= m_rows.size() && !m_walk.done() && m_doc)
        // A screen of rows at a time: a view asks for them one field after another.
        m_walk.extend(m_doc->selection(), m_rows, size_t(row) + 64);
    return size_t(row) < m_rows.size() ? &m_rows[size_t(row)] : nullptr;
}

const TileIdentity &TileInspectorModel::tile(int row) const
{
    static const TileIdentity none;
    const TileIdentity *t = rowAt(row);
    return t ? *t : none;
}

void TileInspectorModel::settle()
{
    rowAt(m_rowCount - 1);
}

TileInspectorModel::Range TileInspectorModel::range(int column, int kind) const
{
    switch (column) {
    case Id: {
        // Without art files any 16-bit id may stand.
        const int count = !m_art ? 0 : kind == Art ? m_art->staticCount() : m_art->landCount();
        const int last = kind == Art ? LastId : LastTerrainId;
        return {0, count > 0 ? std::min(count - 1, last) : last};
    }
    case X:
    case Y: {
        const Facet *f = m_doc ? m_doc->model() : nullptr;
        if (!f)
            return {};
        const int origin = column == X ? f->originX : f->originY;
        const int cells = 8 * (column == X ? f->blocksWide : f->blocksHigh);
        return {origin, origin + cells - 1};
    }
    case Z:
        return {Altitude::Min, Altitude::Max};
    case Hue:
        // Hue numbers count from 1; 0 is no hue.
        return {0, m_hues && m_hues->count() > 0 ? m_hues->count() : LastHue};
    default:
        return {0, 1};
    }
}

QString TileInspectorModel::fieldName(int column) const
{
    switch (column) {
    case Id:
        return tr("Id");
    case X:
        return tr("X");
    case Y:
        return tr("Y");
    case Z:
        return tr("Altitude");
    case Hue:
        return tr("Hue");
    default:
        return tr("Visible");
    }
}

std::optional<int> TileInspectorModel::parse(const QString &text)
{
    QString word = text.trimmed().section(QLatin1Char(' '), 0, 0);
    bool ok = false;
    int value = 0;
    if (word.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = word.mid(2).toInt(&ok, Hex);
    else
        value = word.toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString TileInspectorModel::problem(int column, int kind, const QString &text) const
{
    const std::optional<int> value = parse(text);
    if (!value)
        return tr("%1 must be a number").arg(fieldName(column));
    const Range r = range(column, kind);
    if (*value >= r.min && *value <= r.max)
        return {};
    if (column == Id)
        return tr("Id must be between %1 and %2").arg(TileLabel::idText(r.min), TileLabel::idText(r.max));
    return tr("%1 must be between %2 and %3").arg(fieldName(column)).arg(r.min).arg(r.max);
}

bool TileInspectorModel::edit(const QList<int> &rows, int column, int value, QString *reason)
{
    if (!m_doc || column == Name || column < 0 || column >= ColumnCount)
        return false;
    settle();
    const Facet &model = *m_doc->model();
    QList<TileRecord> before, after;
    QList<int> changed;
    for (int row : rows) {
        if (row < 0 || size_t(row) >= m_rows.size())
            continue;
        const TileIdentity &old = m_rows[size_t(row)];
        const QString why = problem(column, old.kind, QString::number(value));
        if (!why.isEmpty()) {
            if (reason)
                *reason = why;
            emit refused(why);
            return false;
        }
        TileIdentity now = old;
        field(now, column) = value;
        const TileRecord was = recordOf(old, m_doc->tileData());
        // A row the model no longer holds (changed elsewhere) is left as it is.
        if (now == old || !model.holds(old.x, old.y, was))
            continue;
        before.append(was);
        after.append(recordOf(now, m_doc->tileData()));
        changed.append(row);
    }
    if (changed.isEmpty())
        return true;
    UndoMgr *undo = m_doc->undoMgr();
    m_editing = true;
    undo->beginGroup();
    // Every old tile leaves first, so tiles taking each other's place are not refused.
    for (const TileRecord &t : std::as_const(before))
        undo->removeTile(t);
    for (const TileRecord &t : std::as_const(after))
        undo->insertTile(t);
    undo->commitGroup();
    m_editing = false;
    Selection &sel = m_doc->selection();
    for (qsizetype i = 0; i < changed.size(); ++i) {
        const TileIdentity now = TileIdentity::of(after[i]);
        if (sel.remove(TileIdentity::of(before[i])))
            sel.add(now, false);
        m_rows[size_t(changed[i])] = now;
    }
    const auto [first, last] = std::minmax_element(changed.cbegin(), changed.cend());
    emit dataChanged(index(*first, 0), index(*last, ColumnCount - 1));
    emit edited();
    return true;
}

int TileInspectorModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rowCount;
}

int TileInspectorModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QIcon TileInspectorModel::icon(const TileIdentity &t) const
{
    const quint32 key = (quint32(t.kind) << Hex) | quint32(quint16(t.id));
    if (const QIcon *cached = m_icons.object(key))
        return *cached;
    QIcon icon;
    if (m_art) {
        QImage image = t.kind == Art ? m_art->staticImage(t.id, nullptr, false)
                                     : m_art->landImage(t.id, nullptr, false);
        if (image.isNull() && m_doc)
            image = Placeholder::image(
                Placeholder::pixels(m_doc->tileData().staticInfo(t.id).height, std::nullopt), nullptr, false);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    m_icons.insert(key, new QIcon(icon));
    return icon;
}

QVariant TileInspectorModel::data(const QModelIndex &index, int role) const
{
    const TileIdentity *row = index.isValid() ? rowAt(index.row()) : nullptr;
    if (!row)
        return {};
    const TileIdentity &t = *row;
    const int column = index.column();
    if (column == Visible)
        return role == Qt::CheckStateRole ? QVariant(t.visible ? Qt::Checked : Qt::Unchecked) : QVariant();
    // A view asks each field for many roles on every paint: the tile data only for the few that show it.
    const auto info = [&] {
        if (!m_doc)
            return TileInfo();
        return t.kind == Art ? m_doc->tileData().staticInfo(t.id) : m_doc->tileData().landInfo(t.id);
    };
    switch (role) {
    case Qt::DisplayRole:
        if (column == Id)
            return TileLabel::idText(t.id);
        if (column == Name)
            return info().name;
        return value(t, column);
    case Qt::EditRole:
        if (column == Id)
            return QStringLiteral("0x")
                   + QString::number(t.id, Hex).toUpper().rightJustified(HexDigits, QLatin1Char('0'));
        return column == Name ? QVariant(info().name) : QVariant(value(t, column));
    case Qt::DecorationRole:
        return column == Id ? QVariant(icon(t)) : QVariant();
    case Qt::ToolTipRole:
        return column == Id || column == Name ? QVariant(TileLabel::toolTip(t.id, info())) : QVariant();
    default:
        return {};
    }
}

QVariant TileInspectorModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Vertical || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *const names[ColumnCount] = {
        QT_TR_NOOP("Id"), QT_TR_NOOP("Name"), QT_TR_NOOP("X"),      QT_TR_NOOP("Y"),
        QT_TR_NOOP("Z"),  QT_TR_NOOP("Hue"),  QT_TR_NOOP("Visible")};
    return section >= 0 && section < ColumnCount ? tr(names[section]) : QVariant();
}

Qt::ItemFlags TileInspectorModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == Visible)
        f |= Qt::ItemIsUserCheckable;
    else if (index.column() != Name)
        f |= Qt::ItemIsEditable;
    return f;
}

bool TileInspectorModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || !rowAt(index.row()))
        return false;
    std::optional<int> number;
    if (index.column() == Visible && role == Qt::CheckStateRole)
        number = value.toInt() == Qt::Checked ? 1 : 0;
    else if (role == Qt::EditRole)
        number = parse(value.toString());
    else
        return false;
    if (!number) {
        emit refused(problem(index.column(), tile(index.row()).kind, value.toString()));
        return false;
    }
    // An edit of a selected row is an edit of every selected row.
    QList<int> rows{index.row()};
    if (m_rowSelection && m_rowSelection->isRowSelected(index.row(), QModelIndex())) {
        rows.clear();
        for (const QItemSelectionRange &r : m_rowSelection->selection())
            for (int row = r.top(); row <= r.bottom(); ++row)
                rows.append(row);
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    }
    return edit(rows, index.column(), *number, nullptr);
}
