#include "panels/InspectorDelegate.h"

#include "panels/TileInspectorModel.h"

#include <QLineEdit>
#include <QToolTip>
#include <QValidator>

namespace {
// Out-of-range text is kept for correcting, but Enter does not take it.
class FieldValidator : public QValidator
{
public:
    FieldValidator(const TileInspectorModel *model, int column, int kind, QObject *parent)
        : QValidator(parent), m_model(model), m_column(column), m_kind(kind)
    {
    }
    State validate(QString &input, int & /*pos*/) const override
    {
        return m_model->problem(m_column, m_kind, input).isEmpty() ? Acceptable : Intermediate;
    }

private:
    const TileInspectorModel *m_model;
    int m_column;
    int m_kind;
};
} // namespace

InspectorDelegate::InspectorDelegate(const TileInspectorModel *model, QObject *parent)
    : QStyledItemDelegate(parent), m_model(model)
{
}

QWidget *InspectorDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem & /*option*/,
                                         const QModelIndex &index) const
{
    auto *line = new QLineEdit(parent);
    const int column = index.column();
    const int kind = m_model->tile(index.row()).kind;
    line->setValidator(new FieldValidator(m_model, column, kind, line));
    connect(line, &QLineEdit::textEdited, this, [this, line, column, kind](const QString &text) {
        const QString reason = m_model->problem(column, kind, text);
        line->setToolTip(reason);
        if (!reason.isEmpty() && line->isVisible())
            QToolTip::showText(line->mapToGlobal(QPoint(0, line->height())), reason, line);
        emit problem(reason);
    });
    return line;
}

void InspectorDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    const auto *line = qobject_cast<QLineEdit *>(editor);
    if (!line)
        return;
    // Leaving the field with a value out of range changes nothing; the model says why.
    model->setData(index, line->text(), Qt::EditRole);
}
