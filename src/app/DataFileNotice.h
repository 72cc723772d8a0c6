#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Tells the user, without stopping the editor, which of the game's data files
// are missing, unreadable or not recognised: one non-modal message that
// replaces any earlier one, and a line for the status bar.
class DataFileNotice
{
public:
    static constexpr const char *ObjectName = "dataFileNotice";

    // Shows the message for `problems` (one line per file) beside `parent`;
    // nothing when the list is empty. Returns the status-bar line ("" when
    // every file was found).
    static QString show(QWidget *parent, const QStringList &problems);
};
