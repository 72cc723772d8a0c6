#pragma once

#include <QImage>
#include <QString>

// What the multi chooser shows of one entry besides its name.
struct EntryPreview {
    QImage picture;     // null when there is nothing to draw
    int tileCount = 0;
    bool valid = false; // false when the entry could not be read
    int minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
    QString error;
};

// Makes previews of a store's entries. Called on a worker thread, one call at
// a time: an implementation keeps readers of its own.
class EntryPreviewer
{
public:
    virtual ~EntryPreviewer() = default;
    virtual EntryPreview preview(int number) = 0;
};
