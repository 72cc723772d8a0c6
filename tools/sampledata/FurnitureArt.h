#pragma once

#include <QImage>

// Furniture of the sample set, each standing inside its cell.
class FurnitureArt
{
public:
    static QImage table();
    static QImage chair(bool facingEast);
    static QImage chest();
    static QImage bed();
    static QImage bookshelf();
    static QImage barrel();
    static QImage crate();
};
