#pragma once

#include "model/TileRecord.h"

#include <QString>

class Facet;
class MultiFile;
class QWidget;
class TileData;

// The two interactive multi.idx / multi.mul flows of the main window.
namespace MultiExchange {
// Runs the chooser (multi.xml beside the executable) and reads the chosen entry;
// asks for the record size when the files cannot tell it.
// True with the entry's tiles in `tiles` when an entry was read.
bool importMulti(QWidget *parent, const QString &idxPath, const QString &mulPath, const TileData &data, TileMap &tiles);
// Asks for the entry number (starting on the first free one), asks before an
// existing entry is replaced, and exports the model's tiles safely. Failures
// are shown in an "Export Error" warning box. Returns what was written, for
// the status bar; empty when nothing was.
QString exportMulti(QWidget *parent, const QString &idxPath, const QString &mulPath, const Facet &model,
                    const TileData &data);
// When the record size of the opened pair is undecided, asks the user for it
// (the reason shown); false when the user cancels.
bool settleRecordSize(QWidget *parent, MultiFile &file);
// Asks for the entry number and exports the model's tiles safely; failures are shown in an "Export Error" warning box.
void exportMulti(QWidget *parent, const QString &idxPath, const QString &mulPath, const Facet &model);

// The same two flows on a packed container (MultiCollection.uop), whose entry numbers are multi ids.
bool importContainer(QWidget *parent, const QString &path, const TileData &data, TileMap &tiles);
// Starts the prompt on the first free id and asks before replacing a multi.
void exportContainer(QWidget *parent, const QString &path, const Facet &model);
}
