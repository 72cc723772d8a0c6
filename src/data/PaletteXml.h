#pragma once

#include "model/WallSet.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// palette.xml read into plain values, without widgets: the named, nested
// categories of the art and terrain trees with their tile numbers.
class PaletteXml
{
public:
    // The wall pieces a group may name, in the order of `Category::pieces`.
    enum Piece { Corner, AlongX, AlongY, PieceCount };
    struct Category {
        QString name;
        QList<qint32> tiles;
        QList<Category> children;
        // The group's wall pieces, when it names all three ("corner",
        // "alongx", "alongy": decimal or 0x hex art ids).
        std::optional<WallSet> walls;
        // Each piece named so far: a group being marked keeps its first marks.
        std::array<std::optional<quint16>, PieceCount> pieces;
    };
    struct Result {
        QList<Category> art;
        QList<Category> terrain;
        // Empty when the file was read; otherwise why the trees stay empty.
        QString error;
    };

    static Result parse(const QByteArray &bytes);
    static Result read(const QString &path);
    // The XML parse() reads back to the same trees: names, tile numbers and
    // wall pieces. Characters XML cannot carry are left out of names.
    static QByteArray write(const QList<Category> &art, const QList<Category> &terrain);
    // The complete wall set of the pieces, when all three are named.
    static std::optional<WallSet> wallSet(const std::array<std::optional<quint16>, PieceCount> &pieces);
};
