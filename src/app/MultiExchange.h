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

// The window's one export flow over any MultiCollection, and its two stores
// of the client's files.
namespace MultiExchange {
// Picks the entry an export writes, among the store's entries and the free
// records up to `last`, starting on `firstFree`; nullopt when cancelled.
using TargetChooser =
    std::function<std::optional<int>(const MultiCollection &store, int firstFree, int last)>;

// What a store is called in the export's questions and warnings.
struct Words {
    QString errorTitle;
    QString numberTitle; // the plain number box, when there is no chooser
    QString numberLabel;
    QString replaceTitle;
    std::function<QString(int entry)> replaceText;
};

// On an opened (or new) store: picks the entry (the chooser, else a number box
// from the first free one to `last`), asks before an entry is replaced and
// stores the tiles under the wait cursor. A failure is shown in a warning box
// titled words.errorTitle. The number written; nullopt when nothing was.
std::optional<int> exportTo(QWidget *parent, MultiCollection &store, int last, const QList<TileRecord> &tiles,
                            const Words &words, const TargetChooser &choose = {});

// When the record size of the opened pair is undecided, asks the user for it
// (the reason shown); false when the user cancels.
bool settleRecordSize(QWidget *parent, MultiFile &file);
// Exports the model as an entry of the index/data pair (asking its record size
// when the files cannot tell it). Returns what was written, for the status
// bar; empty when nothing was. Without a chooser the number is asked in a plain number box.
QString exportMulti(QWidget *parent, const QString &idxPath, const QString &mulPath, const Facet &model,
                    const TileData &data, const TargetChooser &choose = {});
// The same on a packed container (MultiCollection.uop), whose entry numbers are multi ids.
void exportContainer(QWidget *parent, const QString &path, const Facet &model,
                     const TargetChooser &choose = {});
}
