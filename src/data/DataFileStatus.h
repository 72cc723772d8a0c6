#pragma once

#include <QString>

// What a reader found of one of the game's data files: whether it is there,
// whether its size fits a layout the reader knows, and how much it holds.
struct DataFileStatus {
    enum class State { Found, Missing, Unreadable, Unrecognised };

    QString name;   // the file's usual name, e.g. "tiledata.mul"
    QString path;
    State state = State::Missing;
    QString layout; // e.g. "64-bit flags"; empty when there is none to tell
    QString counts; // e.g. "16384 terrain, 65536 art"
    // The editor works without it: missing is worth a line in the report, not a warning.
    bool optional = false;

    bool usable() const { return state == State::Found; }
    // One line: the name, the path and what was found.
    QString describe() const;
    // Missing, unreadable or unrecognised as a short word.
    QString problem() const;

    // The state of a file that could or could not be opened for reading.
    static DataFileStatus probe(const QString &name, const QString &path);
};
