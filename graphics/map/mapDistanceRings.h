#pragma once

#include "qvr_graphics_export.h"

#include <QList>
#include <QPointF>

// Circles of equal great-circle distance around a point of the map, such as the reach of a
// map click filter.
struct mapDistanceRings {
    QPointF centre;       // longitude, latitude (degrees)
    QList<float> radiiKm; // one ring each; none draws nothing
};

namespace greatCircles {

// The Earth as a sphere of this radius, km: one degree of arc is 111.19 km, as the
// distance filters count it.
constexpr double earthRadiusKm = 6371.0;

// The points `distanceKm` away from `centre` (longitude, latitude; degrees) along `steps`
// equally spaced azimuths from north, clockwise, the first repeated at the end so that the
// ring closes. Longitudes come out in −180…180.
QVR_GRAPHICS_EXPORT QList<QPointF> ring(QPointF centre, double distanceKm, int steps = 180);

} // namespace greatCircles
