#include "data/UopFile.h"

#include <QCoreApplication>
#include <QSet>
#include <QtEndian>

#include <zlib.h>

namespace {

constexpr int LinearScans = 8;
constexpr int MaxBlocks = UopFile::MaxEntries; // every block holds at least one slot in practice

QString tr(const char *text)
{
    return QCoreApplication::translate("UopFile", text);
}

QString hex(quint64 value)
{
    return QStringLiteral("0x%1").arg(value, 16, 16, QLatin1Char('0'));
}

template <typename T> T le(const uchar *p) { return qFromLittleEndian<T>(p); }

template <typename T> void put(QByteArray &out, T value)
{
    uchar b[sizeof(T)];
    qToLittleEndian<T>(value, b);
    out.append(reinterpret_cast<const char *>(b), sizeof(T));
}

template <typename T> void putAt(QByteArray &out, qsizetype at, T value)
{
    qToLittleEndian<T>(value, reinterpret_cast<uchar *>(out.data()) + at);
}

quint32 adler(const QByteArray &bytes)
{
    return quint32(adler32(adler32(0L, Z_NULL, 0), reinterpret_cast<const Bytef *>(bytes.constData()),
                           uInt(bytes.size())));
}

} // namespace

QByteArray UopFile::defaultExtra()
{
    QByteArray extra;
    put<quint32>(extra, 1);
    put<quint32>(extra, 1);
    put<quint32>(extra, 0);
    return extra;
}

void UopFile::reset()
{
    m_file.close();
    m_buffer.close();
    m_bytes.clear();
    m_device = nullptr;
    m_header = Header();
    m_declaredCount = 0;
    m_size = 0;
    m_blocks = 0;
    m_damaged = 0;
    m_entries.clear();
    m_index.clear();
    m_scans = 0;
    m_error.clear();
}

bool UopFile::fail(const QString &reason)
{
    m_error = reason;
    return false;
}

bool UopFile::open(const QString &path)
{
    reset();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return fail(tr("%1: cannot be opened (%2)").arg(path, m_file.errorString()));
    m_device = &m_file;
    if (read())
        return true;
    m_error = QStringLiteral("%1: %2").arg(path, m_error);
    return false;
}

bool UopFile::openBytes(const QByteArray &bytes)
{
    reset();
    m_bytes = bytes;
    m_buffer.setData(bytes);
    m_buffer.open(QIODevice::ReadOnly);
    m_device = &m_buffer;
    return read();
}

bool UopFile::read()
{
    m_size = m_device->size();
    if (m_size < HeaderBytes)
        return fail(tr("is too short to be a packed container"));
    const QByteArray head = m_device->read(HeaderBytes + HeaderExtraBytes);
    if (head.size() < HeaderBytes)
        return fail(tr("its header cannot be read"));
    const auto *p = reinterpret_cast<const uchar *>(head.constData());
    if (le<quint32>(p) != Magic)
        return fail(tr("is not a packed container (no MYP header)"));
    m_header.version = le<quint32>(p + 4);
    const quint64 first = le<quint64>(p + 12);
    m_header.blockCapacity = le<quint32>(p + 20);
    m_declaredCount = le<quint32>(p + 24);
    if (head.size() == HeaderBytes + HeaderExtraBytes)
        m_header.extra = head.mid(HeaderBytes);

    if (first > quint64(m_size))
        return fail(tr("its first block lies past the end of the file"));
    QSet<qint64> visited;
    qint64 next = qint64(first);
    while (next != 0) {
        if (visited.contains(next))
            return fail(tr("its block chain loops back to offset %1").arg(next));
        if (visited.size() >= MaxBlocks)
            return fail(tr("it has too many blocks"));
        visited.insert(next);
        if (!readBlock(next, next))
            return false;
        ++m_blocks;
    }
    return true;
}

bool UopFile::readBlock(qint64 at, qint64 &next)
{
    if (at < HeaderBytes || at > m_size - BlockHeaderBytes)
        return fail(tr("a block at offset %1 lies outside the file").arg(at));
    m_device->seek(at);
    const QByteArray head = m_device->read(BlockHeaderBytes);
    if (head.size() != BlockHeaderBytes)
        return fail(tr("the block at offset %1 cannot be read").arg(at));
    const auto *h = reinterpret_cast<const uchar *>(head.constData());
    const quint32 count = le<quint32>(h);
    const quint64 following = le<quint64>(h + 4);
    if (qint64(count) > MaxEntries - m_entries.size())
        return fail(tr("the block at offset %1 claims %2 entries, more than a container holds")
                        .arg(at).arg(count));
    const qint64 tableBytes = qint64(count) * EntryBytes;
    if (tableBytes > m_size - at - BlockHeaderBytes)
        return fail(tr("the block at offset %1 claims %2 entries, which reach past the end of the file")
                        .arg(at).arg(count));
    const QByteArray table = m_device->read(tableBytes);
    if (table.size() != tableBytes)
        return fail(tr("the block at offset %1 cannot be read").arg(at));
    const auto *p = reinterpret_cast<const uchar *>(table.constData());
    for (quint32 i = 0; i < count; ++i, p += EntryBytes) {
        const quint64 offset = le<quint64>(p);
        if (offset == 0)
            continue; // an empty slot, also in the middle of a block
        Entry e;
        e.headerLength = le<quint32>(p + 8);
        e.storedSize = le<quint32>(p + 12);
        e.unpackedSize = le<quint32>(p + 16);
        e.hash = le<quint64>(p + 20);
        e.checksum = le<quint32>(p + 28);
        e.compression = le<quint16>(p + 32);
        const quint64 end = offset + e.headerLength + quint64(e.storedSize);
        if (offset >= quint64(m_size) || end > quint64(m_size) || e.storedSize > MaxPayloadBytes
            || e.unpackedSize > MaxPayloadBytes) {
            ++m_damaged;
            continue;
        }
        e.offset = qint64(offset);
        m_entries.append(e);
    }
    if (following > quint64(m_size))
        return fail(tr("the block at offset %1 points past the end of the file").arg(at));
    next = qint64(following);
    return true;
}

const UopFile::Entry *UopFile::find(quint64 hash) const
{
    if (m_index.isEmpty() && m_scans < LinearScans) {
        ++m_scans;
        for (const Entry &e : m_entries) {
            if (e.hash == hash)
                return &e;
        }
        return nullptr;
    }
    if (m_index.isEmpty()) {
        m_index.reserve(m_entries.size());
        for (int i = m_entries.size() - 1; i >= 0; --i)
            m_index.insert(m_entries.at(i).hash, i); // the first of equal hashes wins
    }
    const auto it = m_index.constFind(hash);
    return it == m_index.constEnd() ? nullptr : &m_entries.at(*it);
}

std::optional<QByteArray> UopFile::rawBytes(const Entry &e)
{
    const qint64 length = qint64(e.headerLength) + e.storedSize;
    if (!m_device || e.offset <= 0 || e.offset > m_size - length || !m_device->seek(e.offset)) {
        fail(tr("entry %1 lies outside the file").arg(hex(e.hash)));
        return std::nullopt;
    }
    QByteArray bytes = m_device->read(length);
    if (bytes.size() != length) {
        fail(tr("entry %1 cannot be read").arg(hex(e.hash)));
        return std::nullopt;
    }
    return bytes;
}

std::optional<QByteArray> UopFile::payload(const Entry &e)
{
    if (e.compression != Stored && e.compression != Zlib) {
        fail(tr("entry %1 uses compression method %2, which is not supported")
                 .arg(hex(e.hash))
                 .arg(e.compression));
        return std::nullopt;
    }
    std::optional<QByteArray> raw = rawBytes(e);
    if (!raw)
        return std::nullopt;
    const QByteArray stored = raw->mid(e.headerLength);
    if (e.compression == Stored)
        return stored;
    QString reason;
    std::optional<QByteArray> unpacked = inflate(stored, e.unpackedSize, &reason);
    if (!unpacked)
        fail(tr("entry %1: %2").arg(hex(e.hash), reason));
    return unpacked;
}

std::optional<UopFile::NewEntry> UopFile::copyOf(const Entry &e)
{
    NewEntry n;
    const qint64 length = qint64(e.headerLength) + e.storedSize;
    if (!m_bytes.isEmpty() && e.offset > 0 && e.offset <= m_size - length) {
        // Rewriting a container copies megabytes: share them rather than copy twice.
        const char *at = m_bytes.constData() + e.offset;
        n.dataHeader = QByteArray::fromRawData(at, e.headerLength);
        n.stored = QByteArray::fromRawData(at + e.headerLength, e.storedSize);
    } else {
        const std::optional<QByteArray> raw = rawBytes(e);
        if (!raw)
            return std::nullopt;
        n.dataHeader = raw->left(e.headerLength);
        n.stored = raw->mid(e.headerLength);
    }
    n.hash = e.hash;
    n.unpackedSize = e.unpackedSize;
    n.checksum = e.checksum;
    n.compression = e.compression;
    return n;
}

std::optional<QByteArray> UopFile::inflate(const QByteArray &stored, quint32 unpackedSize,
                                           QString *error)
{
    if (unpackedSize > MaxPayloadBytes) {
        if (error)
            *error = tr("its unpacked size is over the limit");
        return std::nullopt;
    }
    QByteArray out(qsizetype(unpackedSize), '\0');
    uLongf length = unpackedSize;
    // A zero-length buffer pointer is fine for zlib, but it must not be null.
    Bytef dummy = 0;
    Bytef *dest = unpackedSize ? reinterpret_cast<Bytef *>(out.data()) : &dummy;
    const int rc = uncompress(dest, &length, reinterpret_cast<const Bytef *>(stored.constData()),
                              uLong(stored.size()));
    if (rc != Z_OK || length != unpackedSize) {
        if (error)
            *error = rc == Z_OK ? tr("its zlib stream unpacks to %1 bytes, not %2").arg(length).arg(unpackedSize)
                                : tr("its zlib stream is damaged");
        return std::nullopt;
    }
    return out;
}

UopFile::NewEntry UopFile::newEntry(quint64 hash, const QByteArray &stored, qsizetype unpackedSize,
                                    Compression compression)
{
    NewEntry n;
    n.hash = hash;
    n.stored = stored;
    n.unpackedSize = quint32(unpackedSize);
    n.checksum = adler(stored);
    n.compression = compression;
    return n;
}

UopFile::NewEntry UopFile::storedEntry(quint64 hash, const QByteArray &payload)
{
    return newEntry(hash, payload, payload.size(), Stored);
}

std::optional<UopFile::NewEntry> UopFile::compressedEntry(quint64 hash, const QByteArray &payload)
{
    if (quint64(payload.size()) > MaxPayloadBytes)
        return std::nullopt;
    uLongf length = compressBound(uLong(payload.size()));
    QByteArray stored(qsizetype(length), '\0');
    if (compress2(reinterpret_cast<Bytef *>(stored.data()), &length,
                  reinterpret_cast<const Bytef *>(payload.constData()), uLong(payload.size()),
                  Z_DEFAULT_COMPRESSION)
        != Z_OK)
        return std::nullopt;
    stored.truncate(qsizetype(length));
    return newEntry(hash, stored, payload.size(), Zlib);
}

QByteArray UopFile::build(const Header &header, const QVector<NewEntry> &entries)
{
    const quint32 capacity = header.blockCapacity > 0 && header.blockCapacity <= MaxBlockCapacity
                                 ? header.blockCapacity
                                 : DefaultBlockCapacity;
    qint64 total = FirstBlockOffset + (entries.size() / capacity + 1) * BlockHeaderBytes
                   + qint64(entries.size()) * EntryBytes;
    for (const NewEntry &e : entries)
        total += e.dataHeader.size() + e.stored.size();
    QByteArray out;
    out.reserve(total);
    put<quint32>(out, Magic);
    put<quint32>(out, header.version);
    put<quint32>(out, Signature);
    put<quint64>(out, quint64(FirstBlockOffset));
    put<quint32>(out, capacity);
    put<quint32>(out, quint32(entries.size()));
    out.append(header.extra.size() == HeaderExtraBytes ? header.extra : defaultExtra());
    out.append(FirstBlockOffset - out.size(), '\0');

    qsizetype i = 0;
    do {
        const qsizetype count = qMin<qsizetype>(capacity, entries.size() - i);
        const qsizetype block = out.size();
        put<quint32>(out, quint32(count));
        put<quint64>(out, 0); // the next block, patched below
        const qsizetype table = out.size();
        out.append(count * EntryBytes, '\0');
        for (qsizetype k = 0; k < count; ++k) {
            const NewEntry &e = entries.at(i + k);
            const qsizetype slot = table + k * EntryBytes;
            putAt<quint64>(out, slot, quint64(out.size()));
            putAt<quint32>(out, slot + 8, quint32(e.dataHeader.size()));
            putAt<quint32>(out, slot + 12, quint32(e.stored.size()));
            putAt<quint32>(out, slot + 16, e.unpackedSize);
            putAt<quint64>(out, slot + 20, e.hash);
            putAt<quint32>(out, slot + 28, e.checksum);
            putAt<quint16>(out, slot + 32, e.compression);
            out.append(e.dataHeader);
            out.append(e.stored);
        }
        i += count;
        if (i < entries.size())
            putAt<quint64>(out, block + 4, quint64(out.size()));
    } while (i < entries.size());
    return out;
}
