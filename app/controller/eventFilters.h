#pragma once

#include "geography.h"
#include "seismicOrigin.h"

#include <QDateTime>

#include <optional>

// The two click filters that narrow the visible origins, as plain functions of the full list.
// Each keeps the origins in the list's order and answers none when no origin passes (the
// caller then leaves its visible list as it was).
namespace eventFilters {

// The distance filter's radius is in km along great circles.
using geography::kilometresPerDegree;

// Origins whose age differs from `age` (seconds before `now`) by at most `window` seconds.
std::optional<originList> byTime(const originList& all, double age, double window,
                                 const QDateTime& now);

// Origins within `radiusKm` of (longitude, latitude), by great-circle distance.
std::optional<originList> byDistance(const originList& all, float longitude, float latitude,
                                     float radiusKm);

} // namespace eventFilters
