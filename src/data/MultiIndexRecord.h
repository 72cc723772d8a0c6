#pragma once

#include <QtGlobal>

// One 12-byte record of multi.idx: where an entry lies in multi.mul, and a
// third field that is kept as the file has it.
struct MultiIndexRecord {
    qint32 offset = -1;
    qint32 length = 0;
    quint32 extra = 0;
    bool exists() const { return offset >= 0 && length > 0; }
};
