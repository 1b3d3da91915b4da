#include "seismogramLimits.h"

#include <algorithm>
#include <cmath>

std::optional<seismogramLimits>
limitsOfSeismograms(const std::vector<const SacObject*>& seismograms, float minYRange,
                    const std::vector<double>& shifts) {
    float earliest = 1e25f, latest = -1e25f, lowest = 1e25f, highest = -1e25f;
    bool any = false;
    for (std::size_t i = 0; i < seismograms.size(); ++i) {
        const SacObject* seismogram = seismograms[i];
        if (!seismogram)
            continue;
        any = true;
        const double shift = i < shifts.size() ? shifts[i] : 0.0;
        earliest = std::min(earliest, float(shift + seismogram->b()));
        latest = std::max(latest, float(shift + seismogram->e()));
        lowest = std::min(lowest, seismogram->smin());
        highest = std::max(highest, seismogram->smax());
    }
    if (!any)
        return std::nullopt;
    const float range = std::trunc(highest - lowest);
    float low = lowest, high = highest;
    if (minYRange > std::fabs(lowest) && minYRange > std::fabs(highest)) {
        low = -minYRange;
        high = minYRange;
    }
    low -= 0.05f * range;
    high += 0.05f * range;
    if (!(latest > earliest)) {
        earliest -= 1;
        latest += 1;
    }
    if (!(high > low)) {
        low -= 1;
        high += 1;
    }
    return seismogramLimits{earliest, latest, low, high};
}

std::optional<seismogramLimits>
limitsOfSeismograms(const QList<std::shared_ptr<const SacObject>>& seismograms, float minYRange,
                    const std::vector<double>& shifts) {
    std::vector<const SacObject*> traces;
    traces.reserve(std::size_t(seismograms.size()));
    for (const auto& seismogram : seismograms)
        traces.push_back(seismogram.get());
    return limitsOfSeismograms(traces, minYRange, shifts);
}
