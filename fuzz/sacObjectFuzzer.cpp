#include "SacObject.h"

#include <cstddef>
#include <cstdint>

// SAC bytes come from downloads and files: anything that is not a seismogram must be refused
// without reading past the buffer, and a seismogram must survive every processing step.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    SacObject seismogram;
    if (!seismogram.InitWithNSData(bytes))
        return 0;
    seismogram.kstnm();
    seismogram.pickLabelWithKey(10);
    seismogram.oTimeString();
    seismogram.flinnEngdahlGeographicRegion();
    if (seismogram.npts() <= 100000) {
        seismogram.RemoveMean();
        seismogram.defaultTaper();
        seismogram.HPBUfilter(0.1f, 2, 4);
        seismogram.LPBUfilter(1.0f, 1, 3);
    }
    seismogram.toData();
    return 0;
}
