#pragma once

#include "MulWriter.h"

#include <QString>
#include <QVector>

// The sample multis: a one-room house, a two-storey tower and a small boat,
// each centred on (0, 0) and starting with a tile at (0, 0, 0).
class SampleMultis
{
public:
    struct Multi {
        int index = 0;
        QString name;
        QVector<MulWriter::MultiTile> tiles;
    };

    static constexpr int AbsentEntry = 3; // index record with offset -1
    static constexpr int EmptyEntry = 4;  // index record with offset 0 and length 0
    static constexpr int IndexRecords = 5;

    static QVector<Multi> all();
    static Multi house();
    static Multi tower();
    static Multi boat();
    // multi.idx and multi.mul with 12-byte records.
    static MulWriter::IndexedFile files();
};
