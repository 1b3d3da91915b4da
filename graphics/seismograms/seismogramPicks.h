#pragma once

#include "SacObject.h"
#include "qvr_graphics_export.h"

#include <QString>

// The text a view writes beside time pick `key` (0–9): the pick's own label, or "T<key>" when
// the header leaves it undefined.
QVR_GRAPHICS_EXPORT QString timePickLabel(const SacObject& seismogram, int key);
