#pragma once

#include "geoMapPoint.h"
#include "seismicOrigin.h"

#include <QDateTime>
#include <QRectF>
#include <QString>

#include <memory>

// What the application turns its visible origins and display settings into for the map and
// the time line: symbols sized by magnitude and coloured by age class, the region presets,
// the time units of the age fields and the cursor read-out.
namespace mapFeeding {

// Seconds of the time unit at `index` of the units menu: minutes, hours, days, weeks, years
// (365 days); hours for an index outside 0…4.
double timeUnitSeconds(int index);

// The map limits (x west…east, y south…north) of the region preset `tag`; the whole world
// from −180 to 180 for an unknown tag.
QRectF regionPreset(int tag);

// One symbol: size m³ / `symbolScale`, alpha 0.5, colour index 0 for ages up to `recent`,
// 1 up to `older`, 2 beyond (ages in the unit of `unitSeconds`).
std::shared_ptr<geoMapPoint> mapPointForOrigin(const seismicOrigin& origin, float symbolScale,
                                               const QDateTime& now, double unitSeconds,
                                               float recent, float older);

// The cursor read-out at map point (x, y): "%7.2fE %6.2fN" (x beyond 180 is read west of
// Greenwich) and the Flinn–Engdahl geographic region there.
struct cursorReadout {
    QString position;
    QString region;
};
cursorReadout readoutAt(double x, double y);

} // namespace mapFeeding
