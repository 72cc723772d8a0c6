// Packed container tables and payloads from untrusted bytes: the table parser,
// every entry's payload (zlib included) and the multi record decoder.
#include "data/UopFile.h"
#include "data/UopMultiStore.h"
#include "model/NoTileInfo.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    UopFile uop;
    if (uop.openBytes(bytes)) {
        NoTileInfo none;
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
    UopMultiStore::decodePayload(bytes, NoTileInfo(), records);
    return 0;
}
