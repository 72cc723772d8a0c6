#include "data/MultiImport.h"

#include "data/MultiFile.h"
#include "data/MultiRecordSize.h"

bool MultiImport::entryFromBytes(const QByteArray &index, const QByteArray &data, int number,
                                 const TileInfoSource &info, TileMap &tiles)
{
    tiles.clear();
    const QVector<MultiFile::IndexRecord> records = MultiFile::parseIndex(index);
    if (number < 0 || number >= records.size() || !records.at(number).exists())
        return false;
    const MultiFile::IndexRecord r = records.at(number);
    if (r.offset < 0 || r.offset >= data.size())
        return true;
    // Bytes that cannot tell their record size are not guessed at.
    const std::optional<int> decided = MultiRecordSize::decide(records, data).bytes();
    if (!decided)
        return false;
    const int size = *decided;
    const qint64 available = qBound<qint64>(0, data.size() - qint64(r.offset), qint64(r.length));
    const qint64 wanted = available / size * size;
    if (wanted > 0)
        MultiFile::decodeEntry(data.mid(r.offset, wanted), size, info, tiles);
    return true;
}
