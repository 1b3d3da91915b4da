#pragma once

#include "SacObject.h"
#include "qvr_graphics_export.h"

#include <QList>

#include <memory>
#include <optional>
#include <vector>

// The plot limits the seismogram views take from their traces: time from the earliest begin
// to the latest end; amplitude from the smallest to the largest sample, or ±minYRange when
// that is larger than both, widened by 5 % of the whole-number amplitude range (so data
// spanning less than one unit get no margin). Equal limits, from one sample or flat traces,
// are widened by one either side, so that a scale never divides by zero.
struct seismogramLimits {
    float earliest, latest; // s
    float low, high;
};

// None when no seismogram is given; null entries are passed over. `shifts`, when not empty,
// moves each seismogram's times by its entry (s), as on a common clock.
QVR_GRAPHICS_EXPORT std::optional<seismogramLimits>
limitsOfSeismograms(const std::vector<const SacObject*>& seismograms, float minYRange,
                    const std::vector<double>& shifts = {});
// The same for the trace lists the views hold.
QVR_GRAPHICS_EXPORT std::optional<seismogramLimits>
limitsOfSeismograms(const QList<std::shared_ptr<const SacObject>>& seismograms, float minYRange,
                    const std::vector<double>& shifts = {});
