#pragma once

#include "seismicOrigin.h"

#include <QPointF>

#include <optional>

// Which origins deserve an alert: those of at least the minimum magnitude anywhere, and near
// home (within the radius, edge included) those of at least the lower home minimum. Without a
// home place only the global minimum applies.
class alertRule {
public:
    bool enabled = false;
    float minimumMagnitude = 6.0f;
    std::optional<QPointF> home; // x longitude, y latitude, degrees
    float homeRadiusKm = 500.0f;
    float homeMinimumMagnitude = 4.0f;

    // The rule of the settings "alertsEnabled", "alertMinimumMagnitude", "alertHomeLatitude",
    // "alertHomeLongitude", "alertHomeRadiusKm" and "alertHomeMinimumMagnitude". Numbers are
    // read as the preference fields are (their leading number; none is 0); the home place is
    // the one the map marks.
    static alertRule fromDefaults();

    bool passes(const seismicOrigin& origin) const;
    // Great-circle distance from home; none without a home place.
    std::optional<double> distanceFromHomeKm(const seismicOrigin& origin) const;
};
