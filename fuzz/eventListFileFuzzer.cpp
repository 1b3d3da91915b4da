#include "eventListFile.h"

#include <cstddef>
#include <cstdint>

// Event-list files come from disk and may be anything: they must be refused, never crash.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto origins = eventListFile::originsFromData(bytes);
    if (origins) {
        for (const auto& o : *origins)
            o->setMagnitudeToMaximumValue();
    }
    return 0;
}
