#pragma once

#include <QString>

// Places on the globe as the program shows them, for every layer that needs a distance or a
// place name without the map.
namespace geography {

// One degree of great-circle arc, km.
constexpr double kilometresPerDegree = 111.19;

// The cursor read-out at map point (x, y): "%7.2fE %6.2fN" (x beyond 180 is read west of
// Greenwich) and the Flinn–Engdahl geographic region there.
struct cursorReadout {
    QString position;
    QString region;
};
cursorReadout readoutAt(double x, double y);

} // namespace geography
