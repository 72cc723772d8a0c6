#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <utility>

// The fuzzer's bytes as Qt bytes, and two files out of one input: the first
// two bytes say where the first file ends.
namespace FuzzInput {

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

inline std::pair<QByteArray, QByteArray> split(const uint8_t *data, size_t size)
{
    if (size < 2)
        return {};
    const size_t cut = qMin<size_t>(size - 2, size_t(data[0] | (data[1] << 8)) * 12);
    return {bytes(data + 2, cut), bytes(data + 2 + cut, size - 2 - cut)};
}

} // namespace FuzzInput
