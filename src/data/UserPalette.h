#pragma once

#include "data/PaletteXml.h"

#include <QString>

// The palette the user edits: a palette.xml of their own in the per-user data
// folder, read instead of the bundled one when present. The bundled file is
// never written. A user file that cannot be read is reported and the bundled
// palette used; it is moved aside, never overwritten, before the next write.
class UserPalette
{
public:
    UserPalette(const QString &bundledPath, const QString &userPath);

    // palette.xml in the per-user data folder.
    static QString defaultPath();

    struct Loaded {
        PaletteXml::Result palette;
        // Why the user file was not used although it is there; empty otherwise.
        QString problem;
    };
    Loaded load();

    // Writes the trees as the user file. *notice tells of a damaged file moved
    // aside first; *error holds the system's reason of a failure, when the old
    // file is left as it was.
    bool save(const QList<PaletteXml::Category> &art, const QList<PaletteXml::Category> &terrain,
              QString *notice, QString *error);
    // Back to the bundled palette: the user file goes (a damaged one is moved aside).
    bool reset(QString *notice, QString *error);

    QString userPath() const { return m_userPath; }
    bool hasUserFile() const;

private:
    // A damaged user file moved aside, never replaced or removed.
    bool keepDamaged(QString *notice, QString *error);
    bool moveDamagedAside(QString *notice, QString *error);

    QString m_bundledPath;
    QString m_userPath;
    bool m_damaged = false;
};
