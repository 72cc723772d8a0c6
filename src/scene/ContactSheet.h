#pragma once

#include <QImage>
#include <QList>
#include <QSize>

// One picture of many multis: their thumbnails in a grid, each labelled with
// its entry number. Draws its own digits, so it needs no fonts and no window.
class ContactSheet
{
public:
    struct Item {
        int number = 0;
        QImage thumbnail; // at most cellSize(); may be null
    };

    static constexpr int Columns = 8;
    static QSize cellSize() { return {160, 160}; }
    static QImage make(const QList<Item> &items);
    // Writes the digits (and a minus sign) of `number` with their top-left at `at`.
    static void drawNumber(QImage &target, int number, const QPoint &at, int pixelSize, QRgb colour);
};
