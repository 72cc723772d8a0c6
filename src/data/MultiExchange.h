#pragma once

#include "model/TileRecord.h"

#include <QString>

#include <functional>
#include <optional>

class Facet;
class MultiCollection;
class MultiFile;
class QWidget;
class TileData;

// The two interactive multi.idx / multi.mul flows of the main window.
namespace MultiExchange {
// Picks the entry an export writes, among the store's entries and the free
// records up to `last`, starting on `firstFree`; nullopt when cancelled.
using TargetChooser =
    std::function<std::optional<int>(const MultiCollection &store, int firstFree, int last)>;

// Runs the chooser (multi.xml beside the executable) and reads the chosen entry;
// asks for the record size when the files cannot tell it.
// True with the entry's tiles in `tiles` when an entry was read.
bool importMulti(QWidget *parent, const QString &idxPath, const QString &mulPath, const TileData &data, TileMap &tiles);
// Asks for the entry number (starting on the first free one), asks before an
// existing entry is replaced, and exports the model's tiles safely. Failures
// are shown in an "Export Error" warning box. Returns what was written, for
// the status bar; empty when nothing was.
// Without a chooser the number is asked in a plain number box.
QString exportMulti(QWidget *parent, const QString &idxPath, const QString &mulPath, const Facet &model,
                    const TileData &data, const TargetChooser &choose = {});
// When the record size of the opened pair is undecided, asks the user for it
// (the reason shown); false when the user cancels.
bool settleRecordSize(QWidget *parent, MultiFile &file);
// Asks for the entry number and exports the model's tiles safely; failures are shown in an "Export Error" warning box.
void exportMulti(QWidget *parent, const QString &idxPath, const QString &mulPath, const Facet &model);

// The same two flows on a packed container (MultiCollection.uop), whose entry numbers are multi ids.
bool importContainer(QWidget *parent, const QString &path, const TileData &data, TileMap &tiles);
// Starts the prompt on the first free id and asks before replacing a multi.
void exportContainer(QWidget *parent, const QString &path, const Facet &model,
                     const TargetChooser &choose = {});
}
