#pragma once

#include "data/PaletteXml.h"

#include <QTreeWidgetItem>
#include <QVector>

#include <optional>

// One palette category: its name in column 0 and its tile numbers in file order.
class TListItem : public QTreeWidgetItem
{
public:
    explicit TListItem(QTreeWidget *tree) : QTreeWidgetItem(tree, 0) {}
    explicit TListItem(QTreeWidgetItem *parent) : QTreeWidgetItem(parent, 0) {}

    QVector<qint32> tiles;
    std::optional<WallSet> walls;
    // The pieces named so far; `walls` once all three are.
    std::array<std::optional<quint16>, PaletteXml::PieceCount> pieces;
};
