#include "mapDistanceRings.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace greatCircles {

QList<QPointF> ring(QPointF centre, double distanceKm, int steps) {
    constexpr double radians = std::numbers::pi / 180.0;
    const double lat1 = centre.y() * radians, lon1 = centre.x() * radians;
    const double arc = distanceKm / earthRadiusKm;
    QList<QPointF> points;
    if (steps < 3)
        return points;
    points.reserve(steps + 1);
    for (int i = 0; i <= steps; ++i) {
        const double azimuth = 2 * std::numbers::pi * (i % steps) / steps;
        // The direct problem on the sphere.
        const double sinLat2 =
            std::sin(lat1) * std::cos(arc) + std::cos(lat1) * std::sin(arc) * std::cos(azimuth);
        const double lat2 = std::asin(std::clamp(sinLat2, -1.0, 1.0));
        const double lon2 = lon1 + std::atan2(std::sin(azimuth) * std::sin(arc) * std::cos(lat1),
                                              std::cos(arc) - std::sin(lat1) * sinLat2);
        const double lon = std::remainder(lon2 / radians, 360.0);
        points.append(QPointF(lon, lat2 / radians));
    }
    return points;
}

} // namespace greatCircles
