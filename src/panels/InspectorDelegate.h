#pragma once

#include <QStyledItemDelegate>

class TileInspectorModel;

// The inspector's field editor: a line that refuses a value out of the
// field's range, with the reason beside it, before anything is changed.
class InspectorDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    InspectorDelegate(const TileInspectorModel *model, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

signals:
    // Why the text in the editor cannot be taken; empty once it can.
    void problem(const QString &reason) const;

private:
    const TileInspectorModel *m_model;
};
