#pragma once

#include <QCache>
#include <QFont>
#include <QPixmap>
#include <QStyledItemDelegate>

#include <utility>

class TileInspectorModel;

// The inspector's fields: drawn plainly and quickly, and edited in a line
// that refuses a value out of the field's range, with the reason beside it,
// before anything is changed.
class InspectorDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    InspectorDelegate(const TileInspectorModel *model, QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    // What the field shows, inside its grid lines, on a background already drawn.
    void drawField(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;
    static QPalette::ColorGroup colourGroup(QStyle::State state);

signals:
    // Why the text in the editor cannot be taken; empty once it can.
    void problem(const QString &reason) const;

private:
    QRect checkRect(const QStyleOptionViewItem &option) const;
    QPixmap checkPicture(const QStyleOptionViewItem &option, qreal ratio) const;
    using TextKey = std::pair<quint64, QString>;
    // The kept picture of a field's text; none kept with a font or scale of before.
    const QPixmap *keptPicture(const TextKey &key, const QFont &font, qreal ratio) const;
    QPixmap picture(const TextKey &key, const QString &text, const QFont &font, const QColor &ink, qreal ratio) const;

    const TileInspectorModel *m_model;
    // Fields repeat the same few numbers and names: each is drawn once.
    mutable QCache<TextKey, QPixmap> m_texts;
    mutable QCache<quint64, QPixmap> m_checks;
    mutable qreal m_checkRatio = 1;
    mutable QFont m_textFont;
    mutable qreal m_textRatio = 1;
    mutable QSize m_checkField;
    mutable QRect m_checkPlace;
};
