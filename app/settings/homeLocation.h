#pragma once

#include <QPointF>

#include <optional>

// The home place that the alerts measure from and the map marks: the settings
// "alertHomeLatitude" and "alertHomeLongitude" as (longitude, latitude), when both are numbers
// on the globe.
std::optional<QPointF> homeLocation();
