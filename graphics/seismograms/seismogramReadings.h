#pragma once

#include "SacObject.h"
#include "qvr_graphics_export.h"
#include "seismogramCursor.h"

#include <QDateTime>

#include <optional>

// What the seismogram views report under the mouse, made the same way by each.
namespace seismogramReadings {

// The sample nearest to `seconds` after the seismogram's reference time; none outside its
// samples.
QVR_GRAPHICS_EXPORT std::optional<float> sampleAt(const SacObject& seismogram, double seconds);

// Trace `index` of a view, `seconds` after its reference time: the absolute time where the
// reference is known, the time after the origin where the header has one, the sample there
// and its units.
QVR_GRAPHICS_EXPORT seismogramReading readingOf(const SacObject& seismogram, int index,
                                                double seconds);

// The status line's text: "2026-12-08 10:37:15.250 UTC · origin +123.45 s · 1234.5 Counts",
// each part only where it is known.
QVR_GRAPHICS_EXPORT QString text(const seismogramReading& reading);

} // namespace seismogramReadings
