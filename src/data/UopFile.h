#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QString>
#include <QVector>

#include <optional>

// The packed container of newer clients ("MYP" files): a header, a chain of
// blocks of 34-byte entry records, and the entries' data. Names are stored only
// as hashes (NameHash). All integers are little-endian.
//
// The reader trusts nothing: every block and entry is checked against the
// file's size and a sane cap before anything is allocated, a block chain that
// loops is refused, and entries whose data lies outside the file are left out
// of the table and counted (damagedEntries()).
class UopFile
{
public:
    static constexpr quint32 Magic = 0x0050594D; // "MYP\0"
    static constexpr quint32 Signature = 0xFD23EC43;
    static constexpr quint32 DefaultVersion = 5;
    static constexpr quint32 DefaultBlockCapacity = 1000;
    static constexpr qint64 FirstBlockOffset = 0x200;
    static constexpr int HeaderBytes = 28;      // up to the total file count
    static constexpr int HeaderExtraBytes = 12; // the three unknown words after it
    static constexpr int BlockHeaderBytes = 12;
    static constexpr int EntryBytes = 34;
    // No client ships more than a few hundred thousand entries in one file.
    static constexpr qint64 MaxEntries = 1 << 20;
    static constexpr quint32 MaxBlockCapacity = 1 << 16;
    // Larger than any single art image or multi; bounds hostile sizes.
    static constexpr quint32 MaxPayloadBytes = 64u << 20;

    enum Compression : quint16 { Stored = 0, Zlib = 1 };

    struct Header {
        quint32 version = DefaultVersion;
        quint32 blockCapacity = DefaultBlockCapacity;
        QByteArray extra = defaultExtra(); // HeaderExtraBytes, kept on rewrite
    };

    struct Entry {
        qint64 offset = 0;
        quint32 headerLength = 0;
        quint32 storedSize = 0;
        quint32 unpackedSize = 0;
        quint64 hash = 0;
        quint32 checksum = 0;
        quint16 compression = Stored;
        qint64 payloadOffset() const { return offset + headerLength; }
    };

    // One entry to write: `dataHeader` precedes the stored bytes in the file.
    struct NewEntry {
        quint64 hash = 0;
        QByteArray dataHeader;
        QByteArray stored;
        quint32 unpackedSize = 0;
        quint32 checksum = 0;
        quint16 compression = Stored;
    };

    UopFile() = default;
    UopFile(const UopFile &) = delete;
    UopFile &operator=(const UopFile &) = delete;

    // Opens the file and reads its tables; the file stays open for payload reads.
    bool open(const QString &path);
    // The same over bytes in memory (export and fuzzing).
    bool openBytes(const QByteArray &bytes);
    QString errorString() const { return m_error; }

    const Header &header() const { return m_header; }
    quint32 declaredFileCount() const { return m_declaredCount; }
    int blockCount() const { return m_blocks; }
    const QVector<Entry> &entries() const { return m_entries; }
    int damagedEntries() const { return m_damaged; }
    qint64 fileSize() const { return m_size; }
    // First entry with this hash, or nullptr.
    const Entry *find(quint64 hash) const;

    // The entry's unpacked payload; nothing (and errorString()) when it cannot be read.
    std::optional<QByteArray> payload(const Entry &e);
    // Data header and stored bytes exactly as the file holds them.
    std::optional<QByteArray> rawBytes(const Entry &e);
    // The entry again, ready to be written unchanged. Opened from bytes, the
    // copy shares them instead of copying: use it while this object is open.
    std::optional<NewEntry> copyOf(const Entry &e);

    static QByteArray defaultExtra();
    static NewEntry storedEntry(quint64 hash, const QByteArray &payload);
    static std::optional<NewEntry> compressedEntry(quint64 hash, const QByteArray &payload);
    // A whole container: header padded to FirstBlockOffset, then each block
    // followed by its entries' data.
    static QByteArray build(const Header &header, const QVector<NewEntry> &entries);

    static std::optional<QByteArray> inflate(const QByteArray &stored, quint32 unpackedSize,
                                             QString *error);

private:
    static NewEntry newEntry(quint64 hash, const QByteArray &stored, qsizetype unpackedSize,
                             Compression compression);
    bool read();
    bool readBlock(qint64 at, qint64 &next);
    bool fail(const QString &reason);
    void reset();

    QFile m_file;
    QBuffer m_buffer;
    QByteArray m_bytes; // what openBytes() was given
    QIODevice *m_device = nullptr;
    Header m_header;
    quint32 m_declaredCount = 0;
    qint64 m_size = 0;
    int m_blocks = 0;
    int m_damaged = 0;
    QVector<Entry> m_entries;
    QString m_error;
    // Built on demand: a few lookups scan, many use the index.
    mutable QHash<quint64, int> m_index;
    mutable int m_scans = 0;
};
