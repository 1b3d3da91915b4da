#include "fdsnStationText.h"

#include <cstddef>
#include <cstdint>

// Station answers come from any data centre, or from an address the user typed. Every channel
// read is looked up again, and its units made readable, as a load does.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const fdsnStationText text = fdsnStationText::parse(bytes);
    for (const fdsnStationText::channel& c : text.channels()) {
        text.find(c.network, c.station, c.location, c.channelCode, c.start);
        text.find(c.network, c.station, c.location, c.channelCode, QDateTime());
        fdsnStationText::readableUnits(c.scaleUnits);
    }
    return 0;
}
