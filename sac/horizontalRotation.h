#pragma once

#include "qvrsac_export.h"

#include <cstddef>
#include <vector>

// Radial and transverse ground motion from two horizontal components.
//
// Convention: the back-azimuth is the direction from the station towards the source, in
// degrees clockwise from north; the radial direction is the opposite one, so that radial motion
// is positive away from the source; the transverse direction is the radial one turned 90°
// clockwise. Each horizontal records motion along its own azimuth (degrees clockwise from
// north: 0 for N, 90 for E, or the header's cmpaz for 1/2 components); the two need not be
// north and east, only orthogonal for the result to be a true rotation.
struct radialTransverse {
    std::vector<float> radial;
    std::vector<float> transverse;
};

// The first `count` samples of both components rotated; components of different lengths are
// rotated over the shorter one by the caller choosing `count`.
QVRSAC_EXPORT radialTransverse rotateToRadialTransverse(const float* first, float firstAzimuth,
                                                        const float* second, float secondAzimuth,
                                                        std::size_t count, float backAzimuth);
