// Packed container tables and payloads from untrusted bytes: the table parser,
// every entry's payload (zlib included) and the multi record decoder.
#include "data/UopFile.h"
#include "data/UopMultiStore.h"
#include "model/TileInfo.h"

#include <cstddef>
#include <cstdint>

namespace {
struct NoInfo : TileInfoSource {
    TileInfo landInfo(int) const override { return {}; }
    TileInfo staticInfo(int) const override { return {}; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    UopFile uop;
    if (uop.openBytes(bytes)) {
        NoInfo none;
        for (const UopFile::Entry &e : uop.entries()) {
            const std::optional<QByteArray> payload = uop.payload(e);
            if (!payload)
                continue;
            QVector<StoredRecord> records;
            UopMultiStore::decodePayload(*payload, none, records);
            UopMultiStore::countRecords(*payload);
        }
        uop.find(UopMultiStore::housingHash());
    }
    // The bytes as a multi payload of their own.
    QVector<StoredRecord> records;
    UopMultiStore::decodePayload(bytes, NoInfo(), records);
    return 0;
}
