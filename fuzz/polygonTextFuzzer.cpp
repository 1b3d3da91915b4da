#include "QVRPolygon.h"
#include "plateBoundaryController.h"

#include <cstddef>
#include <cstdint>

// NXY polygon text and both plate-boundary line formats; the first byte picks the reader.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    plateBoundaryController::polygonList segments;
    switch (data[0] % 3) {
    case 0: {
        QVRPolygon polygon;
        if (polygon.scanFromNXYString(QString::fromLatin1(bytes))) {
            polygon.computeBoundingRect();
            polygon.pointInPolygon(0.5f, 0.5f);
        }
        return 0;
    }
    case 1:
        segments = plateBoundaryController::parseBirdPlateBoundaries(bytes);
        break;
    default:
        segments = plateBoundaryController::parseUTPlateBoundaries(bytes);
        break;
    }
    for (const auto& s : segments)
        s->pointInPolygon(1, 1);
    return 0;
}
