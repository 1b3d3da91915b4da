#include "SacObject.h"
#include "miniSeedRecord.h"
#include "seismogramFile.h"

#include <cstddef>
#include <cstdint>

// miniSEED comes from files, data centres and streams: libmseed behind our reader must skip
// what it cannot decode without reading past the buffer, and every trace it gives must be a
// seismogram that writes as SAC.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)miniSeedRecord::decode(bytes);
    QVRResult<std::vector<SacObject>> read = seismogramFile::fromData(bytes);
    if (!read)
        return 0;
    for (SacObject& seismogram : read.value()) {
        seismogram.standardFileName();
        if (seismogram.npts() <= 100000) {
            seismogram.RemoveMean();
            seismogram.HPBUfilter(0.1f, 2, 4);
        }
        if (!SacObject::fromData(seismogram.toData()))
            __builtin_trap();
    }
    return 0;
}
