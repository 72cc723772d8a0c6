#pragma once

#include <QAbstractListModel>
#include <QCache>
#include <QIcon>
#include <QVector>

class ArtReader;
class TileData;

// A list of art tiles for a list view: names as text, the tile tooltip,
// icons decoded only when a row is shown. Setting new ids costs one reset,
// so a search can show tens of thousands of results per keystroke.
class TileListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    static constexpr int IdRole = Qt::UserRole + 1;

    TileListModel(ArtReader *art, const TileData &data, QObject *parent = nullptr);

    void setIds(const QVector<int> &ids);
    const QVector<int> &ids() const { return m_ids; }
    // The art files were reloaded.
    void clearIcons() { m_icons.clear(); }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;

private:
    // An icon, not a pixmap: the view scales icons to its icon size, pixmaps not.
    QIcon icon(int id) const;

    ArtReader *m_art;
    const TileData &m_data;
    QVector<int> m_ids;
    mutable QCache<int, QIcon> m_icons;
};
