#include "SampleDataSet.h"

#include "MulWriter.h"
#include "SampleCatalogue.h"
#include "SampleHues.h"
#include "SampleFacet.h"
#include "SampleMultis.h"
#include "SampleXml.h"
#include "model/SafeWrite.h"

#include "data/NameHash.h"
#include "data/UopFile.h"
#include "data/UopMultiStore.h"

#include <QDir>
#include <QMap>
#include <QtEndian>

#include <cstdio>

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

// Each existing record of an index/data pair, by record number.
QMap<int, QByteArray> pairEntries(const MulWriter::IndexedFile &pair)
{
    QMap<int, QByteArray> entries;
    const auto *p = reinterpret_cast<const uchar *>(pair.index.constData());
    for (int n = 0; n < pair.index.size() / 12; ++n) {
        const qint32 offset = qFromLittleEndian<qint32>(p + 12 * n);
        const qint32 length = qFromLittleEndian<qint32>(p + 12 * n + 4);
        if (offset >= 0 && length > 0 && qint64(offset) + length <= pair.data.size())
            entries.insert(n, pair.data.mid(offset, length));
    }
    return entries;
}

// The art records unchanged, one unpacked entry each.
QByteArray artContainer(const MulWriter::IndexedFile &art)
{
    QVector<UopFile::NewEntry> entries;
    const QMap<int, QByteArray> records = pairEntries(art);
    char name[40];
    for (auto it = records.constBegin(); it != records.constEnd(); ++it) {
        const int n = std::snprintf(name, sizeof name, "build/artlegacymul/%08u.tga", unsigned(it.key()));
        entries.append(UopFile::storedEntry(NameHash::hash(QByteArray(name, n)), it.value()));
    }
    return UopFile::build(UopFile::Header(), entries);
}

// The 12-byte multi records as the container's records: the visibility
// becomes the flags' low byte (0 visible), no extra words.
QByteArray multiPayload(int id, const QByteArray &records)
{
    QByteArray payload(UopMultiStore::PayloadHeaderBytes, '\0');
    const int count = int(records.size() / 12);
    qToLittleEndian<quint32>(quint32(id), payload.data());
    qToLittleEndian<quint32>(quint32(count), payload.data() + 4);
    for (int i = 0; i < count; ++i) {
        const QByteArray r = records.mid(12 * i, 12);
        const bool visible = qFromLittleEndian<quint16>(r.constData() + 8) != 0;
        uchar tail[6] = {}; // flags word, no extra words
        qToLittleEndian<quint16>(visible ? 0 : 1, tail);
        payload.append(r.left(8)).append(reinterpret_cast<const char *>(tail), sizeof tail);
    }
    return payload;
}

QByteArray multiContainer(const MulWriter::IndexedFile &multis)
{
    QVector<UopFile::NewEntry> entries;
    const QMap<int, QByteArray> records = pairEntries(multis);
    for (auto it = records.constBegin(); it != records.constEnd(); ++it) {
        if (auto e = UopFile::compressedEntry(UopMultiStore::entryHash(it.key()),
                                              multiPayload(it.key(), it.value())))
            entries.append(*e);
    }
    // The client's housing table rides along in the same file; the editor only keeps it.
    if (auto housing = UopFile::compressedEntry(UopMultiStore::housingHash(),
                                                QByteArray("sample housing table\n")))
        entries.append(*housing);
    return UopFile::build(UopFile::Header(), entries);
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
    // A newer client's folder: art and multis only in packed containers.
    const QString uopDir = QDir(dataDir).filePath(QStringLiteral("uop"));
    if (!QDir().mkpath(uopDir)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(uopDir);
        return false;
    }
    return save(uopDir, QStringLiteral("artLegacyMUL.uop"), artContainer(art), error)
           && save(uopDir, QStringLiteral("MultiCollection.uop"), multiContainer(multis), error)
           && save(uopDir, QStringLiteral("tiledata.mul"), tileData(), error)
           && save(uopDir, QStringLiteral("hues.mul"), MulWriter::hues(SampleHues::all()), error)
           && save(dataDir, QStringLiteral("artidx.mul"), art.index, error)
           && save(dataDir, QStringLiteral("art.mul"), art.data, error)
           && save(dataDir, QStringLiteral("tiledata.mul"), tileData(), error)
           && save(dataDir, QStringLiteral("hues.mul"), MulWriter::hues(SampleHues::all()), error)
           && save(dataDir, QStringLiteral("multi.idx"), multis.index, error)
           && save(dataDir, QStringLiteral("multi.mul"), multis.data, error)
           && save(dataDir, QStringLiteral("texidx.mul"), QByteArray(), error)
           && save(dataDir, QStringLiteral("texmaps.mul"), QByteArray(), error)
           && save(dataDir, QStringLiteral("radarcol.mul"), SampleFacet::radarColours(), error)
           && SampleFacet::write(dataDir, error)
           && save(xmlDir, QStringLiteral("palette.xml"), SampleXml::palette(), error)
           // The sample's own names, beside its multis: they win over the application's list.
           && save(dataDir, QStringLiteral("multi.xml"), SampleXml::multiNames(), error)
           && save(uopDir, QStringLiteral("multi.xml"), SampleXml::multiNames(), error);
}
