#pragma once

#include "SacObject.h"
#include "qvr_graphics_export.h"

#include <QString>

// The text a view writes beside time pick `key` (0–9): the pick's own label, or "T<key>" when
// the header leaves it undefined.
QVR_GRAPHICS_EXPORT QString timePickLabel(const SacObject& seismogram, int key);

// A pick the user sets: "P" goes to t2, "S" to t3, each labelled with its phase, `seconds`
// after the seismogram's reference time. False, changing nothing, for another phase or an
// empty seismogram.
QVR_GRAPHICS_EXPORT bool setUserPick(SacObject& seismogram, const QString& phase, float seconds);
