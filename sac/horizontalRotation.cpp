#include "horizontalRotation.h"

#include <cmath>

namespace {

constexpr double degrees = 3.14159265358979323846 / 180.0;

} // namespace

radialTransverse rotateToRadialTransverse(const float* first, float firstAzimuth,
                                          const float* second, float secondAzimuth,
                                          std::size_t count, float backAzimuth) {
    // Motion u along azimuth a contributes u·cos(φ − a) to the direction φ.
    const double radialAzimuth = double(backAzimuth) + 180.0;
    const double transverseAzimuth = radialAzimuth + 90.0;
    const double r1 = std::cos((radialAzimuth - double(firstAzimuth)) * degrees);
    const double r2 = std::cos((radialAzimuth - double(secondAzimuth)) * degrees);
    const double t1 = std::cos((transverseAzimuth - double(firstAzimuth)) * degrees);
    const double t2 = std::cos((transverseAzimuth - double(secondAzimuth)) * degrees);
    radialTransverse result;
    result.radial.resize(count);
    result.transverse.resize(count);
    for (std::size_t i = 0; i < count; ++i) {
        result.radial[i] = float(r1 * double(first[i]) + r2 * double(second[i]));
        result.transverse[i] = float(t1 * double(first[i]) + t2 * double(second[i]));
    }
    return result;
}
