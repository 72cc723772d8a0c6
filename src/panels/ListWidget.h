#pragma once

#include <QListWidget>

class QMimeData;

// The tile list of one palette tab; a drag carries the first selected tile
// as a one-tile clipboard payload of the list's kind.
class ListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit ListWidget(int kind, QWidget *parent = nullptr);

    int kind() const { return m_kind; }
    // The payload a drag of this item carries; the caller owns it.
    QMimeData *dragData(const QListWidgetItem *item) const;

protected:
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    bool dragWanted(QMouseEvent *e) const;

    qint32 m_pressX = 0;
    qint32 m_pressY = 0;
    int m_kind;
};
