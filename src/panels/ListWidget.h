#pragma once

#include <QListWidget>

class QMimeData;

// The tile list of one palette tab; a drag carries the first selected tile
// as a one-tile clipboard payload of the list's kind.
class ListWidget : public QListWidget
{
    Q_OBJECT
public:
    // An item's tile id, and the whole brush key of an item that carries one
    // (the recent brushes); without them the item's text is the id.
    static constexpr int IdRole = Qt::UserRole + 1;
    static constexpr int KeyRole = Qt::UserRole + 2;

    explicit ListWidget(int kind, QWidget *parent = nullptr);

    int kind() const { return m_kind; }
    // The payload a drag of this item carries; the caller owns it.
    QMimeData *dragData(const QListWidgetItem *item) const;
    // The brush key of the item: its own key, else its id as a tile of this list's kind.
    QString key(const QListWidgetItem *item) const;
    // A one-tile payload of the given kind from a tile key (or a bare id).
    static QMimeData *payload(int kind, const QString &key);

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    bool dragWanted(QMouseEvent *e) const;

    qint32 m_pressX = 0;
    qint32 m_pressY = 0;
    int m_kind;
};
