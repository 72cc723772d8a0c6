#include "panels/TileListModel.h"

#include "data/ArtReader.h"
#include "data/TileData.h"
#include "model/TileRecord.h"
#include "panels/ListWidget.h"
#include "panels/TileLabel.h"
#include "scene/Placeholder.h"

#include <QMimeData>
#include <QPixmap>

namespace {
// Icons of a few screens of results; older ones are decoded again when shown.
constexpr int CachedIcons = 2000;
} // namespace

TileListModel::TileListModel(ArtReader *art, const TileData &data, QObject *parent)
    : QAbstractListModel(parent), m_art(art), m_data(data), m_icons(CachedIcons)
{
}

void TileListModel::setIds(const QVector<int> &ids)
{
    beginResetModel();
    m_ids = ids;
    endResetModel();
}

int TileListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_ids.size());
}

QVariant TileListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_ids.size())
        return QVariant();
    const int id = m_ids[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return TileLabel::text(id, m_data.staticInfo(id));
    case Qt::ToolTipRole:
        return TileLabel::toolTip(id, m_data.staticInfo(id));
    case Qt::DecorationRole:
        return icon(id);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case IdRole:
        return id;
    default:
        return QVariant();
    }
}

QIcon TileListModel::icon(int id) const
{
    if (const QIcon *cached = m_icons.object(id))
        return *cached;
    QIcon icon;
    if (m_art) {
        QImage image = m_art->staticImage(id, nullptr, false);
        // The box the view draws for an id without art.
        if (image.isNull())
            image = Placeholder::image(Placeholder::pixels(m_data.staticInfo(id).height, std::nullopt),
                                       nullptr, false);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    m_icons.insert(id, new QIcon(icon));
    return icon;
}

Qt::ItemFlags TileListModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled
                           : Qt::NoItemFlags;
}

QStringList TileListModel::mimeTypes() const
{
    return {QStringLiteral("bm/art")};
}

// A drag carries the first dragged tile, as the category lists do.
QMimeData *TileListModel::mimeData(const QModelIndexList &indexes) const
{
    if (indexes.isEmpty())
        return nullptr;
    return ListWidget::payload(Art, QString::number(indexes.first().data(IdRole).toInt()));
}
