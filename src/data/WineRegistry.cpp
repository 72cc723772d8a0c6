#include "data/WineRegistry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <QRegularExpression>
#include <QStringList>

namespace {

const char Header[] = "WINE REGISTRY Version 2";
constexpr int MaxScanDepth = 3;
constexpr int MaxScannedFolders = 4096;

// The installers' keys below Software, each with the value naming the folder.
const QPair<const char *, const char *> GameKeys[] = {
    {"EA GAMES\\Ultima Online Samurai Empire", "Install Dir"},
    {"EA GAMES\\Ultima Online AoS", "Install Dir"},
    {"Origin Worlds Online\\Ultima Online Third Dawn\\1.0", "ExePath"},
    {"Origin Worlds Online\\Ultima Online\\1.0", "ExePath"},
    {"Electronic Arts\\EA Games\\Ultima Online Classic", "InstallDir"},
};
const char *const Roots[] = {"Software\\", "Software\\Wow6432Node\\"};

int hexDigit(QChar c)
{
    const int v = c.isDigit() ? c.unicode() - '0' : (c.toLower().unicode() - 'a' + 10);
    return c.isDigit() || (v >= 10 && v < 16) ? v : -1;
}

// A quoted string starting at `pos` (on its opening quote), escapes undone.
// The position after the closing quote, or -1 when it does not close.
qsizetype readQuoted(const QString &line, qsizetype pos, QString &out)
{
    out.clear();
    for (qsizetype i = pos + 1; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == QLatin1Char('"'))
            return i + 1;
        if (c != QLatin1Char('\\') || i + 1 >= line.size()) {
            out += c;
            continue;
        }
        const QChar e = line.at(++i);
        if (e == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else if (e == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (e == QLatin1Char('r'))
            out += QLatin1Char('\r');
        else if (e == QLatin1Char('0'))
            out += QChar(0);
        else if (e == QLatin1Char('x')) {
            int code = 0, digits = 0;
            while (digits < 4 && i + 1 < line.size() && hexDigit(line.at(i + 1)) >= 0) {
                code = code * 16 + hexDigit(line.at(++i));
                ++digits;
            }
            out += QChar(code);
        } else
            out += e; // \\ and \" and anything else: the character itself
    }
    return -1;
}

// "[Software\\Key\\Sub] 1234": the key with single backslashes, lower case.
QString sectionKey(const QString &line)
{
    const qsizetype close = line.lastIndexOf(QLatin1Char(']'));
    if (close < 1)
        return QString();
    QString key = line.mid(1, close - 1);
    key.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    return key.toLower();
}

QString entryNamed(const QDir &dir, const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return QString();
    if (QFileInfo::exists(dir.filePath(name)))
        return dir.filePath(name);
    const QStringList entries = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.filePath(entry);
    }
    return QString();
}

bool holdsGameData(const QDir &dir)
{
    return !entryNamed(dir, QStringLiteral("tiledata.mul")).isEmpty()
           && (!entryNamed(dir, QStringLiteral("art.mul")).isEmpty()
               || !entryNamed(dir, QStringLiteral("artLegacyMUL.uop")).isEmpty());
}

// Breadth first, shallow folders first, names in order: the same answer every time.
QString scanProgramFiles(const QString &prefix)
{
    const QDir driveC(prefix + QStringLiteral("/drive_c"));
    QList<QPair<QString, int>> queue;
    // Name filters match without case: "Program Files", "Program Files (x86)", "program files".
    for (const QString &name : driveC.entryList({QStringLiteral("Program Files*")},
                                                QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        queue.append({driveC.filePath(name), 0});
    for (int visited = 0; !queue.isEmpty() && visited < MaxScannedFolders; ++visited) {
        const auto [path, depth] = queue.takeFirst();
        const QDir dir(path);
        if (depth > 0 && holdsGameData(dir))
            return QFileInfo(path).canonicalFilePath();
        if (depth >= MaxScanDepth)
            continue;
        for (const QString &name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            queue.append({dir.filePath(name), depth + 1});
    }
    return QString();
}

} // namespace

bool WineRegistry::parse(const QByteArray &text)
{
    m_keys.clear();
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty() || !lines.first().trimmed().startsWith(Header))
        return false;
    QHash<QString, QString> *current = nullptr;
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QString line = QString::fromUtf8(lines.at(n)).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            const QString key = sectionKey(line);
            current = key.isEmpty() ? nullptr : &m_keys[key];
            continue;
        }
        if (!current || line.isEmpty())
            continue;
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(QLatin1Char('"')))
            pos = readQuoted(line, 0, name);
        else if (line.startsWith(QLatin1String("@=")))
            pos = 1; // the key's default value
        else
            continue; // comments, continuation lines of hex values
        if (pos < 0 || pos + 1 >= line.size() || line.at(pos) != QLatin1Char('=') || line.at(pos + 1) != QLatin1Char('"'))
            continue; // not a plain string value
        QString data;
        if (readQuoted(line, pos + 1, data) >= 0)
            current->insert(name.toLower(), data);
    }
    return true;
}

bool WineRegistry::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxFileBytes) {
        m_keys.clear();
        return false;
    }
    return parse(file.readAll());
}

std::optional<QString> WineRegistry::value(const QString &key, const QString &name) const
{
    const auto k = m_keys.constFind(key.toLower());
    if (k == m_keys.constEnd())
        return std::nullopt;
    const auto v = k->constFind(name.toLower());
    if (v == k->constEnd())
        return std::nullopt;
    return *v;
}

QString WineRegistry::prefix()
{
    const QString set = qEnvironmentVariable("WINEPREFIX");
    return set.isEmpty() ? QDir::homePath() + QStringLiteral("/.wine") : set;
}

QString WineRegistry::toLinuxPath(const QString &prefix, const QString &windowsPath)
{
    const QString path = windowsPath.trimmed();
    if (path.size() < 2 || !path.at(0).isLetter() || path.at(1) != QLatin1Char(':'))
        return QString();
    const QString drive = path.left(2).toLower();
    QString base = entryNamed(QDir(prefix + QStringLiteral("/dosdevices")), drive);
    if (base.isEmpty() && drive == QLatin1String("c:"))
        base = prefix + QStringLiteral("/drive_c");
    if (base.isEmpty() || !QFileInfo(base).isDir())
        return QString();
    const QStringList parts = path.mid(2).split(QRegularExpression(QStringLiteral("[\\\\/]")), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        base = entryNamed(QDir(base), part);
        if (base.isEmpty())
            return QString();
    }
    return QFileInfo(base).canonicalFilePath();
}

QString WineRegistry::gameDirectory(const QString &prefix)
{
    WineRegistry user, machine;
    user.load(prefix + QStringLiteral("/user.reg"));
    machine.load(prefix + QStringLiteral("/system.reg"));
    for (const auto &[key, name] : GameKeys) {
        for (const WineRegistry *hive : {&user, &machine}) {
            for (const char *root : Roots) {
                const std::optional<QString> text =
                    hive->value(QLatin1String(root) + QLatin1String(key), QLatin1String(name));
                if (!text || text->isEmpty())
                    continue;
                const QFileInfo found(toLinuxPath(prefix, *text));
                // ExePath may name the client program rather than its folder.
                if (found.isDir())
                    return found.absoluteFilePath();
                if (found.isFile())
                    return found.absolutePath();
            }
        }
    }
    return scanProgramFiles(prefix);
}
