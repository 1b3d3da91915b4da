#include "geography.h"

#include "flinnEngdahl.h"

namespace geography {

cursorReadout readoutAt(double x, double y) {
    const double lon = x > 180 ? x - 360 : x;
    int greg = 0, sreg = 0;
    fe_lookup(float(y), 32, float(lon), 32, &greg, &sreg);
    const char* geographic = nullptr;
    fe_region(&greg, &geographic, &sreg, nullptr);
    return {QString::asprintf("%7.2fE %6.2fN", lon, y), QString::fromLatin1(geographic)};
}

} // namespace geography
