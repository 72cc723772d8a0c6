#include "scene/ContactSheet.h"

#include <algorithm>

namespace {
constexpr int LabelHeight = 16;
constexpr int Gap = 4;
constexpr int DigitPixel = 2;
constexpr QRgb Paper = 0xFFFFFFFFu;
constexpr QRgb Ink = 0xFF000000u;

// 3 x 5 digit glyphs, one row per entry, bit 2 the leftmost pixel.
constexpr unsigned char Glyphs[11][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
    {0, 0, 7, 0, 0}}; // minus
constexpr int Minus = 10;

void fillBlock(QImage &target, int x, int y, int size, QRgb colour)
{
    for (int j = std::max(0, y); j < std::min(target.height(), y + size); ++j)
        for (int i = std::max(0, x); i < std::min(target.width(), x + size); ++i)
            target.setPixel(i, j, colour);
}
// Straight alpha over an opaque sheet.
void place(QImage &sheet, const QImage &image, const QPoint &at)
{
    for (int j = 0; j < image.height(); ++j) {
        const int y = at.y() + j;
        if (y < 0 || y >= sheet.height())
            continue;
        const auto *src = reinterpret_cast<const QRgb *>(image.constScanLine(j));
        auto *dst = reinterpret_cast<QRgb *>(sheet.scanLine(y));
        for (int i = 0; i < image.width(); ++i) {
            const int x = at.x() + i;
            const int a = qAlpha(src[i]);
            if (x < 0 || x >= sheet.width() || a == 0)
                continue;
            auto mix = [a](int s, int d) { return (s * a + d * (255 - a)) / 255; };
            dst[x] = qRgb(mix(qRed(src[i]), qRed(dst[x])), mix(qGreen(src[i]), qGreen(dst[x])),
                          mix(qBlue(src[i]), qBlue(dst[x])));
        }
    }
}
} // namespace

void ContactSheet::drawNumber(QImage &target, int number, const QPoint &at, int pixelSize,
                              QRgb colour)
{
    const QString digits = QString::number(number);
    int x = at.x();
    for (const QChar c : digits) {
        const int glyph = c == QLatin1Char('-') ? Minus : c.digitValue();
        if (glyph < 0)
            continue;
        for (int row = 0; row < 5; ++row)
            for (int col = 0; col < 3; ++col)
                if (Glyphs[glyph][row] & (4 >> col))
                    fillBlock(target, x + col * pixelSize, at.y() + row * pixelSize, pixelSize, colour);
        x += 4 * pixelSize;
    }
}

QImage ContactSheet::make(const QList<Item> &items)
{
    const QSize cell = cellSize();
    const int columns = std::max(1, std::min(Columns, int(items.size())));
    const int rows = std::max(1, int((items.size() + columns - 1) / columns));
    const int cellW = cell.width() + Gap, cellH = cell.height() + LabelHeight + Gap;
    QImage sheet(columns * cellW + Gap, rows * cellH + Gap, QImage::Format_ARGB32);
    sheet.fill(Paper);
    for (int n = 0; n < items.size(); ++n) {
        const int x = Gap + (n % columns) * cellW;
        const int y = Gap + (n / columns) * cellH;
        const QImage &t = items[n].thumbnail;
        if (!t.isNull()) {
            const QImage fitted = t.width() > cell.width() || t.height() > cell.height()
                                      ? t.scaled(cell, Qt::KeepAspectRatio)
                                      : t;
            place(sheet, fitted.convertToFormat(QImage::Format_ARGB32),
                  QPoint(x + (cell.width() - fitted.width()) / 2,
                         y + (cell.height() - fitted.height()) / 2));
        }
    }
    for (int n = 0; n < items.size(); ++n) {
        const int x = Gap + (n % columns) * cellW;
        const int y = Gap + (n / columns) * cellH + cell.height() + (LabelHeight - 5 * DigitPixel) / 2;
        drawNumber(sheet, items[n].number, QPoint(x, y), DigitPixel, Ink);
    }
    return sheet;
}
