#include "panels/InspectorDelegate.h"

#include "panels/TileInspectorModel.h"

#include <QApplication>
#include <QLineEdit>
#include <QPainter>
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

// Pictures of field texts kept, in bytes: a few screens of rows.
constexpr qint64 KeptTextBytes = 4 << 20;
// A kept picture's key: the ink, the column, and a number's value (or the text).
constexpr int ColumnShift = 24;
constexpr quint32 ValueMask = (1U << ColumnShift) - 1;

// Room between a field's edge and what it shows, as the style keeps it.
int marginOf(const QStyle *style, const QWidget *widget)
{
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
}
} // namespace

InspectorDelegate::InspectorDelegate(const TileInspectorModel *model, QObject *parent)
    : QStyledItemDelegate(parent), m_model(model), m_texts(KeptTextBytes)
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

// Every field is one short line. The table draws many of them on each
// change of a large selection, so each text is drawn once into a picture
// that is then only copied, and the grid is filled rather than stroked.
void InspectorDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    // The grid line on the right and bottom edge, where the table draws its own.
    const QColor grid = QColor::fromRgba(QRgb(style->styleHint(QStyle::SH_Table_GridLineColor, &option, widget)));
    const QRect cell = option.rect;
    painter->fillRect(QRect(cell.right(), cell.top(), 1, cell.height()), grid);
    painter->fillRect(QRect(cell.left(), cell.bottom(), cell.width() - 1, 1), grid);
    QStyleOptionViewItem opt = option;
    opt.rect = cell.adjusted(0, 0, -1, -1);
    // A selected field is highlighted whole, as in any table.
    if (opt.state & QStyle::State_Selected)
        painter->fillRect(opt.rect, opt.palette.brush(colourGroup(opt.state), QPalette::Highlight));
    else if (opt.backgroundBrush.style() != Qt::NoBrush)
        painter->fillRect(opt.rect, opt.backgroundBrush);
    drawField(painter, opt, index);
}

QPalette::ColorGroup InspectorDelegate::colourGroup(QStyle::State state)
{
    if (!(state & QStyle::State_Enabled))
        return QPalette::Disabled;
    return state & QStyle::State_Active ? QPalette::Active : QPalette::Inactive;
}

void InspectorDelegate::drawField(QPainter *painter, const QStyleOptionViewItem &option,
                                  const QModelIndex &index) const
{
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    const QStyleOptionViewItem &opt = option;
    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = colourGroup(opt.state);
    if (index.column() == TileInspectorModel::Visible) {
        QStyleOptionViewItem check = option;
        check.index = index;
        check.features = QStyleOptionViewItem::HasCheckIndicator;
        check.checkState = index.data(Qt::CheckStateRole).value<Qt::CheckState>();
        check.state |= check.checkState == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
        check.rect = checkRect(check);
        painter->drawPixmap(check.rect.topLeft(), checkPicture(check, painter->device()->devicePixelRatio()));
        return;
    }
    const int margin = marginOf(style, widget);
    QRect text = opt.rect.adjusted(margin, 0, -margin, 0);
    if (index.column() == TileInspectorModel::Id) {
        const QIcon icon = qvariant_cast<QIcon>(index.data(Qt::DecorationRole));
        const QRect place(text.left(), opt.rect.top() + (opt.rect.height() - opt.decorationSize.height()) / 2,
                          opt.decorationSize.width(), opt.decorationSize.height());
        icon.paint(painter, place);
        text.setLeft(place.right() + 1 + 2 * margin);
    }
    const QColor ink = opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    const qreal deviceRatio = painter->device()->devicePixelRatio();
    // A number's picture is found by the number: its text is made only to draw it.
    const int column = index.column();
    const bool number = column != TileInspectorModel::Name;
    TextKey key{quint64(ink.rgba()) << 32 | quint64(column) << ColumnShift, QString()};
    if (number)
        key.first |= quint32(TileInspectorModel::value(m_model->tile(index.row()), column)) & ValueMask;
    else
        key.second = index.data().toString();
    const QPixmap *kept = keptPicture(key, opt.font, deviceRatio);
    QPixmap shown = kept ? *kept : picture(key, number ? index.data().toString() : key.second, opt.font, ink, deviceRatio);
    // A text longer than its field ends in an ellipsis; the rare one is measured again.
    if (shown.deviceIndependentSize().width() > text.width()) {
        const QString full = number ? index.data().toString() : key.second;
        const TextKey cut{key.first & ~quint64(ValueMask),
                          QFontMetrics(opt.font).elidedText(full, Qt::ElideRight, text.width())};
        const QPixmap *keptCut = keptPicture(cut, opt.font, deviceRatio);
        shown = keptCut ? *keptCut : picture(cut, cut.second, opt.font, ink, deviceRatio);
    }
    const QSize size = shown.deviceIndependentSize().toSize();
    const qreal ratio = shown.devicePixelRatio();
    const int width = std::min(size.width(), text.width());
    // Whole pixels: a text between two would be blurred.
    const int top = text.top() + (text.height() - size.height()) / 2;
    if (width > 0)
        painter->drawPixmap(QRectF(text.left(), top, width, size.height()), shown,
                            QRectF(0, 0, width * ratio, size.height() * ratio));
    if (opt.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(opt);
        focus.backgroundColor = opt.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
    }
}

QSize InspectorDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    // One pixel of grid beside the fields.
    return QStyledItemDelegate::sizeHint(option, index) + QSize(1, 1);
}

// Where the check box of a field of this size stands: where the style's click
// handling looks for it. Measured once for each size of field.
QRect InspectorDelegate::checkRect(const QStyleOptionViewItem &option) const
{
    if (option.rect.size() != m_checkField) {
        const QWidget *widget = option.widget;
        const QStyle *style = widget ? widget->style() : QApplication::style();
        QStyleOptionViewItem placed = option;
        placed.rect.moveTo(0, 0);
        m_checkPlace = style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &placed, widget);
        m_checkField = option.rect.size();
    }
    return m_checkPlace.translated(option.rect.topLeft());
}

const QPixmap *InspectorDelegate::keptPicture(const TextKey &key, const QFont &font, qreal ratio) const
{
    if (font != m_textFont || ratio != m_textRatio) {
        m_texts.clear();
        m_textFont = font;
        m_textRatio = ratio;
    }
    return m_texts.object(key);
}

QPixmap InspectorDelegate::picture(const TextKey &key, const QString &text, const QFont &font, const QColor &ink,
                                   qreal ratio) const
{
    const QFontMetrics metrics(font);
    const QSize size(std::max(1, metrics.horizontalAdvance(text)), metrics.height());
    QPixmap drawn(size * ratio);
    drawn.setDevicePixelRatio(ratio);
    drawn.fill(Qt::transparent);
    QPainter p(&drawn);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QPoint(0, metrics.ascent()), text);
    p.end();
    m_texts.insert(key, new QPixmap(drawn), qsizetype(drawn.width()) * drawn.height() * 4);
    return drawn;
}

// The style draws a check box with gradients: each look is drawn once.
QPixmap InspectorDelegate::checkPicture(const QStyleOptionViewItem &option, qreal ratio) const
{
    constexpr QStyle::State Looks = QStyle::State_Enabled | QStyle::State_Active | QStyle::State_Selected
                                    | QStyle::State_MouseOver | QStyle::State_On | QStyle::State_Off;
    if (ratio != m_checkRatio) {
        m_checks.clear();
        m_checkRatio = ratio;
    }
    const quint64 key = quint64(quint32(option.state & Looks)) | quint64(quint16(option.rect.width())) << 32
                        | quint64(quint16(option.rect.height())) << 48;
    if (const QPixmap *kept = m_checks.object(key))
        return *kept;
    const QWidget *widget = option.widget;
    const QStyle *style = widget ? widget->style() : QApplication::style();
    QStyleOptionViewItem placed = option;
    placed.rect.moveTo(0, 0);
    QPixmap drawn(option.rect.size() * ratio);
    drawn.setDevicePixelRatio(ratio);
    drawn.fill(Qt::transparent);
    QPainter p(&drawn);
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &placed, &p, widget);
    p.end();
    m_checks.insert(key, new QPixmap(drawn));
    return drawn;
}
