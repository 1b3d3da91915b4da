#include "NEIC_QueryController.h"

#include <cstddef>
#include <cstdint>

// The USGS readers take whatever the network delivers: the GeoJSON feed and detail document,
// the weekly CSV list and the older quoted-date CSV. The first byte picks the reader.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    static NEIC_QueryController* controller = [] {
        auto* c = new NEIC_QueryController;
        c->setMinMagnitude(-100);
        return c;
    }();
    switch (data[0] % 4) {
    case 0:
        controller->parseUSGSGeoJSONFeed(bytes, false);
        break;
    case 1: {
        seismicOrigin origin;
        NEIC_QueryController::parseGeoJSONDetails(bytes, origin);
        break;
    }
    case 2:
        controller->parseNEIC_TextList(bytes);
        break;
    default:
        controller->parseNEIC_CSVvalues(bytes);
        break;
    }
    return 0;
}
