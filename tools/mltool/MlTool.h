#pragma once

#include "data/FileFormat.h"
#include "data/TileData.h"
#include "model/TileRecord.h"

#include <memory>

#include <QSize>
#include <QStringList>
#include <QTextStream>

#include <optional>

class Facet;
class MultiFile;
class WorldFacet;

// The commands of the batch tool, one function each. Exit status: 0 done,
// 1 a file failed, 2 bad arguments or a question only the user can answer
// (such as the record size of a pair whose content cannot tell).
class MlTool
{
public:
    MlTool(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {}

    // Arguments after the program name.
    int run(const QStringList &args);
    static QString usage();

private:
    int list(const QStringList &args);
    int importEntry(const QStringList &args);
    int exportEntry(const QStringList &args);
    int dump(const QStringList &args);
    int compact(const QStringList &args);
    int info(const QStringList &args);
    // Pictures, text formats and conversions (MlToolRender.cpp, MlToolText.cpp).
    int render(const QStringList &args);
    int thumbnail(const QStringList &args);
    int convert(const QStringList &args);
    int listTemplates(const QString &path);
    int importTemplate(const QStringList &args);
    int exportTemplate(const QStringList &args);
    static bool isTemplateList(const QString &path);
    // Writes tiles in draw order through the format of `out`, telling what it could not keep.
    int writeTiles(const QString &out, const QList<TileRecord> &tiles, const FileFormat::WriteOptions &options);
    // Tells on stderr how many tiles lose their hue in the format of `out`.
    void warnHuesLost(const QString &out, const QList<TileRecord> &tiles);
    // The world map (MlToolWorld.cpp).
    int capture(const QStringList &args);
    int renderMap(const QStringList &args);
    // Takes "--size WxH" out of the arguments; on failure the status to exit with.
    bool takeFacetSize(QStringList &args, QSize &size, int &status);
    bool openFacet(const QString &dir, const QString &facetText, QSize size, WorldFacet &facet, int &status);
    // The same commands on a packed container (MultiCollection.uop).
    int listContainer(const QString &path);
    int importFromContainer(const QStringList &args);
    int exportToContainer(const QStringList &args);
    void reportContainer(const QString &path);
    // Server scripts (MlToolScript.cpp).
    static bool isScript(const QString &path);
    int listScript(const QString &path);
    // Ids replaced throughout a multi (MlToolReplace.cpp).
    int replace(const QStringList &args);
    // Takes "--class NAME" and "--deed-name TEXT" out of the arguments; a message when one lacks its value.
    QString takeScriptOptions(QStringList &args);
    void warn(const QStringList &warnings);

    int failed(const QString &message);
    int badArguments(const QString &message);
    bool parseEntry(const QString &text, int &entry);
    // Takes "--record-size N" out of the arguments; false when N is not 12 or 16.
    bool takeRecordSize(QStringList &args);
    // Applies the given size or the tile data hint; a status when the size stays open.
    std::optional<int> prepare(MultiFile &file);

    // Names do not matter here: an empty table.
    TileData m_data;
    std::optional<int> m_recordSize;
    QString m_className;
    QString m_deedName;
    QTextStream &m_out;
    QTextStream &m_err;
};
