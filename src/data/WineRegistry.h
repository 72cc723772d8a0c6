#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <optional>

// One of Wine's registry files (system.reg for the machine's keys, user.reg
// for the user's), read as text: "WINE REGISTRY Version 2", then sections
// "[Key\\Sub] time" with "Name"="text" lines. Only string values are kept;
// dword, hex and other types are skipped. Keys and names match without case.
class WineRegistry
{
public:
    // Larger than any real registry file; a bigger one is not read.
    static constexpr qint64 MaxFileBytes = 64 << 20;

    // False when the text is not a Wine registry file.
    bool parse(const QByteArray &text);
    bool load(const QString &path);
    // `key` relative to the file's hive, with single backslashes.
    std::optional<QString> value(const QString &key, const QString &name) const;

    // $WINEPREFIX, else ~/.wine.
    static QString prefix();
    // The Linux path of a Windows path inside the prefix, each component matched
    // without case through dosdevices/<letter>:; empty when it does not exist.
    static QString toLinuxPath(const QString &prefix, const QString &windowsPath);
    // The game's folder named by the prefix's registry (the installers' keys),
    // else a folder under drive_c/Program Files*/ holding the game's data; empty if none.
    static QString gameDirectory(const QString &prefix);

private:
    QHash<QString, QHash<QString, QString>> m_keys;
};
