#include "SacHeader.h"

#include <cstring>

SacHeader SacHeader::undefinedHeader() {
    // Built as raw bytes in the file layout, then copied into the struct.
    unsigned char bytes[sizeof(SacHeader)];
    for (int i = 0; i < 70; ++i)
        std::memcpy(bytes + 4 * i, &undefinedValue, 4);
    for (int i = 70; i < numericWords; ++i)
        std::memcpy(bytes + 4 * i, &undefinedInteger, 4);
    for (int i = 0; i < 24; ++i)
        std::memcpy(bytes + 4 * numericWords + 8 * i, "-12345  ", 8);
    SacHeader h;
    std::memcpy(&h, bytes, sizeof h);
    std::memcpy(h.kevnm + 8, "        ", 8); // kevnm fills two 8-byte slots
    h.nvhdr = currentVersion;
    h.iftype = timeSeriesType;
    h.leven = 1;
    return h;
}
