#pragma once

#include "SacObject.h"
#include "qvr_graphics_export.h"

#include <QDateTime>

#include <vector>

// Where seismograms of different files sit on one time axis. Each file counts its time from
// its own reference; on a common clock every trace is moved by the seconds between its
// reference and the earliest first sample of them all, so that one moment lands on one x
// and the axis starts at 0.
namespace seismogramClock {

// The earliest first sample of the seismograms with a reference time; invalid without one.
QVR_GRAPHICS_EXPORT QDateTime earliestStart(const std::vector<const SacObject*>& seismograms);

// Seconds to add to each seismogram's own times (b, e, picks) to place it on the common
// clock that starts at `start`; 0 for a seismogram without a reference time, or when `start`
// is invalid.
QVR_GRAPHICS_EXPORT std::vector<double> shifts(const std::vector<const SacObject*>& seismograms,
                                               const QDateTime& start);

// Whether the seismograms' spans, laid on absolute time, join into one without a gap: then a
// common clock shows them side by side rather than far apart. False with fewer than two
// seismograms with a reference time, or with any without one.
QVR_GRAPHICS_EXPORT bool overlapInTime(const std::vector<const SacObject*>& seismograms);

} // namespace seismogramClock
