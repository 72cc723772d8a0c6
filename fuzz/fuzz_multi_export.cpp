// libFuzzer target: the multi pair's import, export plan and compaction as
// pure functions of hostile index and data bytes. Input: one byte choosing
// the record size, one byte the entry, two bytes the index length, then the
// index and the data.
#include "data/MultiFile.h"
#include "data/MultiRecordSize.h"
#include "model/NoTileInfo.h"

#include <cstddef>
#include <cstdint>

namespace {

void check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *bytes, size_t size)
{
    constexpr size_t Header = 4;
    if (size < Header)
        return 0;
    const int recordSize = bytes[0] & 1 ? MultiFile::ExtendedRecordSize : MultiFile::ClassicRecordSize;
    const int entry = bytes[1] % 8;
    const size_t indexLength = std::min<size_t>(size - Header, size_t(bytes[2] | bytes[3] << 8));
    const QByteArray index(reinterpret_cast<const char *>(bytes + Header), qsizetype(indexLength));
    const QByteArray data(reinterpret_cast<const char *>(bytes + Header + indexLength),
                          qsizetype(size - Header - indexLength));
    const QVector<MultiFile::IndexRecord> records = MultiFile::parseIndex(index);
    const MultiRecordSize decided = MultiRecordSize::decide(records, data);
    check(!decided.bytes() || MultiRecordSize::isValid(*decided.bytes()));

    // Import every entry, then export what came out of one.
    const NoTileInfo none;
    TileMap tiles;
    for (const MultiFile::IndexRecord &r : records) {
        if (r.exists() && r.offset < data.size())
            MultiFile::decodeEntry(data.mid(r.offset, r.length), recordSize, none, tiles);
    }
    const QList<TileRecord> list = tilesInKeyOrder(tiles);
    QString error;
    const auto plan = MultiFile::planExport(index, data, entry, list, recordSize, &error);
    if (plan) {
        check(plan->appended.size() % recordSize == 0);
        check(plan->unchanged || plan->index.size() >= qsizetype(records.size()) * MultiFile::IndexRecordSize);
        check(plan->unchanged || !plan->appended.isEmpty());
    }
    // Each entry keeps its own bytes: entries sharing a range get a copy each,
    // so the data may grow, but never beyond the entries' lengths together.
    qint64 entryBytes = 0;
    for (const MultiFile::IndexRecord &r : records) {
        if (r.exists())
            entryBytes += r.length;
    }
    const auto compacted = MultiFile::compacted(index, data, &error);
    if (compacted)
        check(compacted->data.size() <= entryBytes && compacted->index.size() == index.size());
    return 0;
}
