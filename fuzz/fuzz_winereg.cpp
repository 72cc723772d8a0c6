// Wine registry files from untrusted bytes: sections, quoting and escapes.
#include "data/WineRegistry.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    WineRegistry registry;
    if (registry.parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)))) {
        registry.value(QStringLiteral("Software\\EA GAMES\\Ultima Online AoS"), QStringLiteral("Install Dir"));
        registry.value(QStringLiteral("Software\\Wow6432Node\\Electronic Arts\\EA Games\\Ultima Online Classic"),
                       QStringLiteral("InstallDir"));
    }
    return 0;
}
