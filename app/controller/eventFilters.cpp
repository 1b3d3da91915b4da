#include "eventFilters.h"

#include "delta_az.h"

#include <cmath>

namespace eventFilters {
namespace {

std::optional<originList> nonEmpty(originList kept) {
    return kept.isEmpty() ? std::nullopt : std::optional<originList>(std::move(kept));
}

} // namespace

std::optional<originList> byTime(const originList& all, double age, double window,
                                 const QDateTime& now) {
    originList kept;
    for (const auto& o : all) {
        if (std::fabs(o->ageSeconds(now) - age) <= window)
            kept.append(o);
    }
    return nonEmpty(std::move(kept));
}

std::optional<originList> byDistance(const originList& all, float longitude, float latitude,
                                     float radiusKm) {
    const float radius = float(radiusKm / kilometresPerDegree);
    originList kept;
    for (const auto& o : all) {
        float lat = o->latitude(), lon = o->longitude(), distance = 0, azimuth = 0;
        delta_az(&lat, &lon, &latitude, &longitude, &distance, &azimuth);
        if (distance <= radius)
            kept.append(o);
    }
    return nonEmpty(std::move(kept));
}

} // namespace eventFilters
