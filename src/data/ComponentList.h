#pragma once

#include "data/MultiCollection.h"
#include "data/RecordMerge.h"
#include "model/LockedFile.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVector>

// The multi component list that shards keep as text: a version line
// ("6 version"), then per template the lines "<n> template id",
// "-1 item version", "<k> num components" and k component lines
// "<item id> <x> <y> <z> <flags> [name]" (decimal; flags 1 for an ordinary
// visible tile, 0 for a named or invisible part; the name is the rest of the
// line). Writing one template keeps every other line byte for byte, and the
// lines of the template's unchanged components with their names.
class ComponentList : public MultiCollection
{
public:
    static constexpr int Version = 6;
    // A real list of every house and boat is well under a megabyte.
    static constexpr qint64 MaxFileSize = qint64(256) * 1024 * 1024;

    explicit ComponentList(const QString &path);

    bool open() override;
    QVector<Entry> entries() const override;
    int firstFreeEntry() const override;
    bool readEntry(int number, const TileInfoSource &data, TileMap &tiles) override;
    // Replaces or appends template `number` under the file's lock; a missing
    // file is created, one that cannot be read whole is left as it is.
    bool exportEntry(int number, const QList<TileRecord> &tiles) override;
    QString errorString() const override { return m_error; }

    // Parses a whole file; false with a line-numbered errorString() on bad input.
    bool parse(const QByteArray &bytes);
    // The file's bytes with template `number` replaced or appended; empty with
    // errorString() set when the current bytes do not parse.
    QByteArray rewritten(const QByteArray &current, int number, const QList<TileRecord> &tiles);

private:
    struct Template {
        int number = 0;
        qsizetype countLineBegin = 0; // byte offsets into the file
        qsizetype countLineEnd = 0;
        qsizetype end = 0;            // after the last component line
        QVector<StoredRecord> components;
    };

    bool fail(int line, const QString &what);
    // False with errorString() naming why the file could not be read whole.
    bool readFailed(LockedFile::Read status, const QString &reason);
    QByteArray encode(const TileRecord &t) const;
    QByteArray newTemplate(int number, const QList<TileRecord> &tiles) const;

    QString m_path;
    QString m_error;
    QByteArray m_eol = "\n";
    QMap<int, Template> m_templates; // by number; the first of equal numbers
};
