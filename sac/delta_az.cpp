#include "delta_az.h"

#include <cmath>
#include <numbers>

void delta_az(const float* latitude1, const float* longitude1, const float* latitude2,
              const float* longitude2, float* delta, float* azimuth) {
    if (!latitude1 || !longitude1 || !latitude2 || !longitude2)
        return;
    constexpr double radians = std::numbers::pi / 180.0;
    const double phi1 = double(*latitude1) * radians;
    const double phi2 = double(*latitude2) * radians;
    const double dLambda = (double(*longitude2) - double(*longitude1)) * radians;
    const double sinPhi1 = std::sin(phi1), cosPhi1 = std::cos(phi1);
    const double sinPhi2 = std::sin(phi2), cosPhi2 = std::cos(phi2);
    const double sinDl = std::sin(dLambda), cosDl = std::cos(dLambda);

    // Vincenty's form for the sphere: atan2 of sine and cosine keeps its precision at every
    // distance, where the arc cosine of the cosine alone loses it near 0° and 180°.
    const double y = cosPhi2 * sinDl;
    const double x = cosPhi1 * sinPhi2 - sinPhi1 * cosPhi2 * cosDl;
    const double distance =
        std::atan2(std::hypot(y, x), sinPhi1 * sinPhi2 + cosPhi1 * cosPhi2 * cosDl);
    double direction = std::atan2(y, x) / radians;
    if (direction < 0)
        direction += 360.0;
    if (direction >= 360.0)
        direction -= 360.0;
    if (delta)
        *delta = float(distance / radians);
    if (azimuth)
        *azimuth = float(direction);
}
