#include "mapFeeding.h"

#include "flinnEngdahl.h"

namespace mapFeeding {

double timeUnitSeconds(int index) {
    switch (index) {
    case 0:
        return 60;
    case 1:
        return 3600;
    case 2:
        return 86400;
    case 3:
        return 604800;
    case 4:
        return 31536000;
    default:
        return 3600;
    }
}

QRectF regionPreset(int tag) {
    struct preset {
        float south, north, west, east;
    };
    static constexpr preset presets[] = {
        {-90, 90, -180, 180}, // 1 the world
        {-90, 90, 0, 180},    // 2 eastern hemisphere
        {-90, 90, -180, 0},   // 3 western hemisphere
        {-75, 75, -180, -60}, // 4
        {-75, 75, 120, 200},  // 5 across the date line
        {30, 55, -130, -105}, // 6 western United States
        {10, 60, 60, 120},    // 7
        {-15, 20, 90, 140},   // 8
        {-75, 75, 90, 300},   // 9 the Pacific
        {20, 60, 120, 160},   // 10
        {-90, 90, 0, 360},    // 11 the world from Greenwich
        {30, 65, -15, 45},    // 12 Europe and the Mediterranean
    };
    const preset p = tag >= 1 && tag <= 12 ? presets[tag - 1] : presets[0];
    return QRectF(p.west, p.south, p.east - p.west, p.north - p.south);
}

std::shared_ptr<geoMapPoint> mapPointForOrigin(const seismicOrigin& origin, float symbolScale,
                                               const QDateTime& now, double unitSeconds,
                                               float recent, float older) {
    auto point = std::make_shared<geoMapPoint>();
    point->setLatLonDepth(origin.latitude(), origin.longitude(), origin.depth());
    const float m = origin.magnitude();
    point->setSymbolSize(m * m * m / symbolScale);
    point->setAlpha(0.5f);
    const double age = origin.ageSeconds(now) / unitSeconds;
    if (age > older)
        point->setColorIndex(2);
    else if (age > recent)
        point->setColorIndex(1);
    return point;
}

cursorReadout readoutAt(double x, double y) {
    const double lon = x > 180 ? x - 360 : x;
    int greg = 0, sreg = 0;
    fe_lookup(float(y), 32, float(lon), 32, &greg, &sreg);
    const char* geographic = nullptr;
    fe_region(&greg, &geographic, &sreg, nullptr);
    return {QString::asprintf("%7.2fE %6.2fN", lon, y), QString::fromLatin1(geographic)};
}

} // namespace mapFeeding
