#pragma once

#include "displayUnits.h"
#include "geoMapPoint.h"
#include "geography.h"
#include "mapLegend.h"
#include "seismicOrigin.h"

#include <QDateTime>
#include <QRectF>
#include <QString>

#include <array>
#include <memory>

// What the application turns its visible origins and display settings into for the map and
// the time line: symbols sized by magnitude and coloured by age or depth class, the map's
// legend, the region presets, the time units of the age fields and the cursor read-out.
namespace mapFeeding {

// The time units and the cursor read-out, which the exports and the alerts use without a map.
using displayUnits::timeUnitAbbreviation;
using displayUnits::timeUnitSeconds;
using geography::cursorReadout;
using geography::readoutAt;

// A map symbol's size for magnitude `m`: m³ / `symbolScale`.
float symbolSizeFor(float m, float symbolScale);

// The map limits (x west…east, y south…north) of the region preset `tag`; the whole world
// from −180 to 180 for an unknown tag.
QRectF regionPreset(int tag);

// One symbol: size m³ / `symbolScale`, alpha 0.5, colour index 0 for ages up to `recent`,
// 1 up to `older`, 2 beyond (ages in the unit of `unitSeconds`).
std::shared_ptr<geoMapPoint> mapPointForOrigin(const seismicOrigin& origin, float symbolScale,
                                               const QDateTime& now, double unitSeconds,
                                               float recent, float older);

// What the legend explains: the three colours with their limits ("≤ 12 h", "≤ 24 h",
// "older"; or the depth classes) and the symbols of magnitudes 4, 6 and 8.
struct legendSettings {
    bool byDepth = false;
    std::array<QColor, 3> ageColors;         // recent, older, oldest
    float recentCutoff = 0, olderCutoff = 0; // in the time unit
    int timeUnitIndex = 1;
    float symbolScale = 128;
};
mapLegend legendFor(const legendSettings& s);

} // namespace mapFeeding
