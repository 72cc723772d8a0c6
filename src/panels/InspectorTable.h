#pragma once

#include <QTableView>

// The inspector's table: each row's highlight and grid line are drawn once
// across the row, not once a field. A Select All repaints every row shown,
// and the fields' own backgrounds cost more than their text.
class InspectorTable : public QTableView
{
    Q_OBJECT
public:
    using QTableView::QTableView;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    static void fillInPieces(QPainter &painter, const QRect &rect, const QBrush &brush);
};
