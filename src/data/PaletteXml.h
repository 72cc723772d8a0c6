#pragma once

#include "model/WallSet.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// palette.xml read into plain values, without widgets: the named, nested
// categories of the art and terrain trees with their tile numbers.
class PaletteXml
{
public:
    struct Category {
        QString name;
        QList<qint32> tiles;
        QList<Category> children;
        // The group's wall pieces, when it names all three ("corner",
        // "alongx", "alongy": decimal or 0x hex art ids).
        std::optional<WallSet> walls;
    };
    struct Result {
        QList<Category> art;
        QList<Category> terrain;
        // Empty when the file was read; otherwise why the trees stay empty.
        QString error;
    };

    static Result parse(const QByteArray &bytes);
    static Result read(const QString &path);
};
