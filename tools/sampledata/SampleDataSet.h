#pragma once

#include <QString>

// Writes the whole sample set: the game files with their own multi.xml into
// one folder, the editor's palette.xml into another. Its "uop" sub-folder holds a
// newer client's set: art and multis in packed containers, no index/data pairs. The output is the same, byte for
// byte, on every run.
class SampleDataSet
{
public:
    // Creates both folders when needed. On failure returns false and says why.
    static bool write(const QString &dataDir, const QString &xmlDir, QString *error = nullptr);
};
