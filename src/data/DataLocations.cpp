#include "data/DataLocations.h"

#include "data/WineRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPair>
#include <QSettings>

namespace {

const char *const Organisation = "Brightmoor";
const char *const Application = "MulSettings";

struct Location {
    const char *key;
    const char *file; // nullptr: the installation directory itself
};

// Read order; each key's default file name inside the installation directory.
constexpr Location Locations[] = {
    {"ArtIdx", "artidx.mul"},   {"ArtMul", "art.mul"},         {"MultiIdx", "multi.idx"},
    {"MultiMul", "multi.mul"},  {"TexIdx", "texidx.mul"},      {"TexMapsMul", "texmaps.mul"},
    {"HuesMul", "hues.mul"},    {"TileDataMul", "tiledata.mul"}, {"RadarCol", "radarcol.mul"},
    {"MapDir", nullptr},        {"ArtUop", "artLegacyMUL.uop"}, {"MultiUop", "MultiCollection.uop"},
};

bool namesContainer(const QString &path)
{
    return path.endsWith(QLatin1String(".uop"), Qt::CaseInsensitive);
}

QString storedText(const char *organisation, const char *application, const char *key)
{
    return QSettings(QString::fromLatin1(organisation), QString::fromLatin1(application))
        .value(QString::fromLatin1(key))
        .toString();
}

// The older installers keep the client's path: normalised, with a trailing backslash.
QString exePathDirectory(const char *application)
{
    const QString text = storedText("Origin Worlds Online", application, "1.0/ExePath");
    return text.isEmpty() ? QString() : QDir(text).path() + QLatin1Char('\\');
}

QString bundledDirectory()
{
    const QString program = DataLocations::programDataDirectory();
    const QString dir = program + QStringLiteral("/sample-data");
    return !program.isEmpty() && QFileInfo(dir).isDir() ? dir : QString();
}

} // namespace

QStringList DataLocations::readOrder()
{
    QStringList keys;
    for (const Location &l : Locations)
        keys << QString::fromLatin1(l.key);
    return keys;
}

QStringList DataLocations::writeOrder()
{
    return {"ArtIdx",  "ArtMul",      "MultiIdx", "MultiMul", "HuesMul",
            "TileDataMul", "RadarCol", "MapDir",   "TexIdx",   "TexMapsMul",
            "ArtUop",  "MultiUop"};
}

QString DataLocations::gameDirectory()
{
    QString dir = storedText("EA GAMES", "Ultima Online Samurai Empire", "Install Dir");
    if (dir.isEmpty())
        dir = storedText("EA GAMES", "Ultima Online AoS", "Install Dir");
    if (dir.isEmpty())
        dir = exePathDirectory("Ultima Online Third Dawn");
    if (dir.isEmpty())
        dir = exePathDirectory("Ultima Online");
    // A client installed under Wine.
    if (dir.isEmpty())
        dir = WineRegistry::gameDirectory(WineRegistry::prefix());
    if (dir.isEmpty())
        dir = bundledDirectory();
    return dir;
}

QString DataLocations::programDataDirectory()
{
    if (!QCoreApplication::instance())
        return QString();
    const QString bin = QCoreApplication::applicationDirPath();
    const QString installed = QDir::cleanPath(bin + QStringLiteral("/../share/tilsen"));
    return QFileInfo(installed).isDir() ? installed : bin;
}

QString DataLocations::fileIn(const QString &installDir, const QString &name)
{
    QString exact = installDir + QLatin1Char('/') + name;
    if (installDir.isEmpty() || QFileInfo::exists(exact))
        return exact;
    const QStringList entries = QDir(installDir).entryList(QDir::Files | QDir::Hidden);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return installDir + QLatin1Char('/') + entry;
    }
    return exact;
}

QString DataLocations::withCaseFallback(const QString &path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || info.exists())
        return path;
    const QString found = fileIn(info.path(), info.fileName());
    return QFileInfo::exists(found) ? found : path;
}

QString DataLocations::defaultFor(const QString &key, const QString &installDir)
{
    for (const Location &l : Locations) {
        if (key == QLatin1String(l.key))
            return l.file ? fileIn(installDir, QString::fromLatin1(l.file)) : installDir;
    }
    return QString();
}

QStringList DataLocations::load()
{
    const QString installDir = gameDirectory();
    const QSettings settings(QString::fromLatin1(Organisation), QString::fromLatin1(Application));
    QStringList values;
    for (const QString &key : readOrder()) {
        const QString stored = settings.value(key).toString();
        values << (stored.isEmpty() ? defaultFor(key, installDir) : withCaseFallback(stored));
    }
    return values;
}

bool DataLocations::save(const QList<QPair<QString, QString>> &values)
{
    QSettings settings(QString::fromLatin1(Organisation), QString::fromLatin1(Application));
    for (const auto &kv : values)
        settings.setValue(kv.first, kv.second);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

QString DataLocations::artContainer(const QString &artIdx, const QString &artMul, const QString &artUop)
{
    if (namesContainer(artMul))
        return artMul;
    if (namesContainer(artIdx))
        return artIdx;
    const bool pairPresent = QFileInfo(artIdx).isFile() && QFileInfo(artMul).isFile();
    return !pairPresent && QFileInfo(artUop).isFile() ? artUop : QString();
}

QStringList DataLocations::multiStore(const QString &multiIdx, const QString &multiMul,
                                      const QString &multiUop)
{
    if (namesContainer(multiIdx))
        return {multiIdx};
    if (namesContainer(multiMul))
        return {multiMul};
    // Where both exist the pair is stale: newer multis are only in the container.
    if (QFileInfo(multiUop).isFile())
        return {multiUop};
    return {multiIdx, multiMul};
}
