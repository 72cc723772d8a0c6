#include "panels/InspectorTable.h"

#include "panels/InspectorDelegate.h"
#include "panels/RasterBand.h"

#include <QHeaderView>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <vector>

void InspectorTable::fillInPieces(QPainter &painter, const QRect &rect, const QBrush &brush)
{
    for (int y = rect.top(); y <= rect.bottom(); y += RasterBand)
        painter.fillRect(QRect(rect.left(), y, rect.width(), std::min(RasterBand, rect.bottom() + 1 - y)), brush);
}

void InspectorTable::paintEvent(QPaintEvent *event)
{
    const auto *fields = qobject_cast<const InspectorDelegate *>(itemDelegate());
    const QAbstractItemModel *rows = model();
    if (!fields || !rows || showGrid() || !selectionModel()) {
        QTableView::paintEvent(event);
        return;
    }
    const QRect area = event->rect();
    const int count = rows->rowCount(rootIndex());
    int first = rowAt(area.top());
    int last = rowAt(area.bottom());
    if (first < 0)
        return; // below the last row: the background is all there is
    if (last < 0)
        last = count - 1;
    struct Column {
        int column, x, width;
    };
    std::vector<Column> columns;
    const QHeaderView *header = horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        const int x = columnViewportPosition(column), width = columnWidth(column);
        if (!isColumnHidden(column) && width > 0 && x + width > area.left() && x <= area.right())
            columns.push_back({column, x, width});
    }
    if (columns.empty())
        return;
    const int left = columns.front().x, right = columns.back().x + columns.back().width;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const QStyle::State plain = option.state;
    const QColor grid = QColor::fromRgba(QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this)));
    const QBrush highlight = option.palette.brush(InspectorDelegate::colourGroup(plain), QPalette::Highlight);
    const QModelIndex current = currentIndex();
    const bool focused = hasFocus();
    QPainter painter(viewport());
    int top = -1, bottom = -1;
    for (int row = first; row <= last; ++row) {
        if (isRowHidden(row))
            continue;
        const int y = rowViewportPosition(row), height = rowHeight(row);
        if (top < 0)
            top = y;
        bottom = y + height;
        const bool selected = selectionModel()->isSelected(rows->index(row, 0, rootIndex()));
        if (selected)
            painter.fillRect(QRect(left, y, right - left, height - 1), highlight);
        painter.fillRect(QRect(left, y + height - 1, right - left, 1), grid);
        option.state = selected ? plain | QStyle::State_Selected : plain;
        for (const Column &c : columns) {
            const QModelIndex index = rows->index(row, c.column, rootIndex());
            option.rect = QRect(c.x, y, c.width - 1, height - 1);
            if (focused && index == current)
                option.state |= QStyle::State_HasFocus;
            fields->drawField(&painter, option, index);
            option.state &= ~QStyle::State_HasFocus;
        }
    }
    for (const Column &c : columns)
        fillInPieces(painter, QRect(c.x + c.width - 1, top, 1, bottom - top), grid);
}
