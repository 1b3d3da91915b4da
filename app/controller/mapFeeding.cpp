#include "mapFeeding.h"

#include "mapColorLists.h"

namespace mapFeeding {

float symbolSizeFor(float m, float symbolScale) {
    return m * m * m / symbolScale;
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
    point->setSymbolSize(symbolSizeFor(m, symbolScale));
    point->setAlpha(0.5f);
    point->setColorIndex(
        displayUnits::ageClass(origin.ageSeconds(now) / unitSeconds, recent, older));
    return point;
}

mapLegend legendFor(const legendSettings& s) {
    mapLegend legend;
    if (s.byDepth) {
        const QList<QColor> colors = mapColorLists::depthColors();
        const QString shallow = QString::number(double(mapColorLists::intermediateDepth));
        const QString deep = QString::number(double(mapColorLists::deepDepth));
        legend.colorTitle = QStringLiteral("Depth");
        legend.colors = {{colors.at(0), QStringLiteral("0–%1 km").arg(shallow)},
                         {colors.at(1), QStringLiteral("%1–%2 km").arg(shallow, deep)},
                         {colors.at(2), QStringLiteral("> %1 km").arg(deep)}};
    } else {
        const QString unit = timeUnitAbbreviation(s.timeUnitIndex);
        legend.colorTitle = QStringLiteral("Age");
        legend.colors = {
            {s.ageColors[0], QStringLiteral("≤ %1 %2").arg(double(s.recentCutoff)).arg(unit)},
            {s.ageColors[1], QStringLiteral("≤ %1 %2").arg(double(s.olderCutoff)).arg(unit)},
            {s.ageColors[2], QStringLiteral("older")}};
    }
    for (const float m : {4.0f, 6.0f, 8.0f})
        legend.sizes.append(
            {QStringLiteral("M %1").arg(double(m)), symbolSizeFor(m, s.symbolScale)});
    return legend;
}

} // namespace mapFeeding
