#include "alertRule.h"

#include "delta_az.h"
#include "geography.h"
#include "homeLocation.h"
#include "userDefaults.h"

#include <cmath>

alertRule alertRule::fromDefaults() {
    const userDefaults& defaults = userDefaults::standardUserDefaults();
    alertRule rule;
    rule.enabled = defaults.boolForKey(QStringLiteral("alertsEnabled"));
    rule.minimumMagnitude = defaults.floatForKey(QStringLiteral("alertMinimumMagnitude"));
    rule.home = homeLocation();
    rule.homeRadiusKm = defaults.floatForKey(QStringLiteral("alertHomeRadiusKm"));
    rule.homeMinimumMagnitude = defaults.floatForKey(QStringLiteral("alertHomeMinimumMagnitude"));
    return rule;
}

std::optional<double> alertRule::distanceFromHomeKm(const seismicOrigin& origin) const {
    if (!home)
        return std::nullopt;
    float homeLat = float(home->y()), homeLon = float(home->x());
    float lat = origin.latitude(), lon = origin.longitude(), delta = 0, azimuth = 0;
    delta_az(&homeLat, &homeLon, &lat, &lon, &delta, &azimuth);
    return double(delta) * geography::kilometresPerDegree;
}

bool alertRule::passes(const seismicOrigin& origin) const {
    const float magnitude = origin.magnitude();
    if (magnitude >= minimumMagnitude)
        return true;
    if (magnitude < homeMinimumMagnitude)
        return false;
    // Compared in whole kilometres, as the alert states the distance: an origin said to be
    // "500 km from home" is inside a 500 km radius.
    const auto distance = distanceFromHomeKm(origin);
    return distance && std::round(*distance) <= double(homeRadiusKm);
}
