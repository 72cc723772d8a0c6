#pragma once

#include "model/TileRecord.h"

#include <QString>

class Facet;
class QWidget;
class TileData;

// The two interactive multi.idx / multi.mul flows of the main window.
namespace MultiExchange {
// Runs the chooser (multi.xml beside the executable) and reads the chosen entry.
// True with the entry's tiles in `tiles` when an entry was read.
bool importMulti(QWidget *parent, const QString &idxPath, const QString &mulPath, const TileData &data, TileMap &tiles);
// Asks for the entry number and exports the model's tiles safely; failures are shown in an "Export Error" warning box.
void exportMulti(QWidget *parent, const QString &idxPath, const QString &mulPath, const Facet &model);

// The same two flows on a packed container (MultiCollection.uop), whose entry numbers are multi ids.
bool importContainer(QWidget *parent, const QString &path, const TileData &data, TileMap &tiles);
// Starts the prompt on the first free id and asks before replacing a multi.
void exportContainer(QWidget *parent, const QString &path, const Facet &model);
}
