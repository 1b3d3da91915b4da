#pragma once

#include "qvrsac_export.h"

// Great-circle distance and azimuth on a spherical Earth, all in degrees. `delta` receives the
// distance from the first point to the second (0…180), `azimuth` the direction of the second
// point seen from the first, clockwise from north (0…360). Accurate near 0° and near 180°.
// Callers compare the distance with kilometres divided by 111.19.
extern "C" QVRSAC_EXPORT void delta_az(const float* latitude1, const float* longitude1,
                                       const float* latitude2, const float* longitude2,
                                       float* delta, float* azimuth);
