#pragma once

#include "geoMapPoint.h"
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

// Seconds of the time unit at `index` of the units menu: minutes, hours, days, weeks, years
// (365 days); hours for an index outside 0…4.
double timeUnitSeconds(int index);

// The short name of the time unit at `index` ("min", "h", "d", "wk", "yr").
QString timeUnitAbbreviation(int index);

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

// The cursor read-out at map point (x, y): "%7.2fE %6.2fN" (x beyond 180 is read west of
// Greenwich) and the Flinn–Engdahl geographic region there.
struct cursorReadout {
    QString position;
    QString region;
};
cursorReadout readoutAt(double x, double y);

} // namespace mapFeeding
