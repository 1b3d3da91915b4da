#pragma once

#include "qvrsac_export.h"

// Flinn–Engdahl regions (1995 revision), from the published tables compiled into the library.
//
// A point belongs to the one-degree cell found by truncating its absolute latitude and
// longitude: a point on a whole-degree line belongs to the cell on the side away from the
// equator or the Greenwich meridian. The equator counts as north and the Greenwich meridian as
// east. Longitudes wrap into −180…180 (with −180 itself taken as 180, the eastern side of the
// date line, as the published test points have it). A latitude outside ±90, or a coordinate that is
// not a number, gives region 0, named "UNKNOWN REGION" (seismic region "Unknown Region").

extern "C" {

// Fills the geographic (1…757) and seismic (1…50) region numbers of a point given in degrees.
// The two 32s that callers pass are the widths in bits of the coordinates; only 32-bit floats
// exist, so they are not consulted. Either output may be null.
QVRSAC_EXPORT void fe_lookup(float latitude, int latitudeWidth, float longitude, int longitudeWidth,
                             int* geographicRegion, int* seismicRegion);

// Points the two name pointers at the names of the given region numbers. The names are
// static, immutable text: they stay valid for the life of the program, and the function may
// be called from any thread. Unknown numbers get the unknown names. Any pointer may be null.
QVRSAC_EXPORT void fe_region(const int* geographicRegion, const char** geographicName,
                             const int* seismicRegion, const char** seismicName);
}
