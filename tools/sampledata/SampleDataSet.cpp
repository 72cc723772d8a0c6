#include "SampleDataSet.h"

#include "MulWriter.h"
#include "SampleCatalogue.h"
#include "SampleHues.h"
#include "SampleMultis.h"
#include "SampleXml.h"
#include "model/SafeWrite.h"

#include <QDir>
#include <QMap>

namespace {

bool save(const QString &dir, const QString &name, const QByteArray &bytes, QString *error)
{
    const QString path = QDir(dir).filePath(name);
    QString reason;
    if (SafeWrite::replaceFile(path, bytes, &reason))
        return true;
    if (error)
        *error = QStringLiteral("cannot write %1: %2").arg(path, reason);
    return false;
}

MulWriter::IndexedFile artFiles()
{
    QMap<int, QImage> land, statics;
    for (const auto &t : SampleCatalogue::land())
        land.insert(t.id, t.draw());
    for (const auto &t : SampleCatalogue::art())
        statics.insert(t.id, t.draw());
    return MulWriter::artFiles(land, statics);
}

QByteArray tileData()
{
    QMap<int, MulWriter::LandInfo> land;
    QMap<int, MulWriter::StaticInfo> statics;
    for (const auto &t : SampleCatalogue::land())
        land.insert(t.id, {t.flags, 0, t.name});
    for (const auto &t : SampleCatalogue::art())
        statics.insert(t.id, {t.flags, t.height, t.name});
    return MulWriter::tileData(land, statics);
}

} // namespace

bool SampleDataSet::write(const QString &dataDir, const QString &xmlDir, QString *error)
{
    for (const QString &dir : {dataDir, xmlDir}) {
        if (!QDir().mkpath(dir)) {
            if (error)
                *error = QStringLiteral("cannot create %1").arg(dir);
            return false;
        }
    }
    const MulWriter::IndexedFile art = artFiles();
    const MulWriter::IndexedFile multis = SampleMultis::files();
    return save(dataDir, QStringLiteral("artidx.mul"), art.index, error)
           && save(dataDir, QStringLiteral("art.mul"), art.data, error)
           && save(dataDir, QStringLiteral("tiledata.mul"), tileData(), error)
           && save(dataDir, QStringLiteral("hues.mul"), MulWriter::hues(SampleHues::all()), error)
           && save(dataDir, QStringLiteral("multi.idx"), multis.index, error)
           && save(dataDir, QStringLiteral("multi.mul"), multis.data, error)
           && save(dataDir, QStringLiteral("texidx.mul"), QByteArray(), error)
           && save(dataDir, QStringLiteral("texmaps.mul"), QByteArray(), error)
           && save(xmlDir, QStringLiteral("palette.xml"), SampleXml::palette(), error)
           && save(xmlDir, QStringLiteral("multi.xml"), SampleXml::multiNames(), error);
}
