#pragma once

#include "model/TileRecord.h"

#include <QByteArray>

class TileInfoSource;

// Reading one multi out of the index/data pair as a pure function of their
// bytes: what an import sees, without files (fuzzing, previews of bytes).
namespace MultiImport {

// The tiles of entry `number`; false when the index has no such entry or
// the record size cannot be told from the bytes.
// A length past the data's end is cut to it; a partial record is dropped.
bool entryFromBytes(const QByteArray &index, const QByteArray &data, int number,
                    const TileInfoSource &info, TileMap &tiles);

} // namespace MultiImport
