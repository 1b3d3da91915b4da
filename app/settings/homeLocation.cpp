#include "homeLocation.h"

#include "userDefaults.h"

#include <cmath>

std::optional<QPointF> homeLocation() {
    const userDefaults& defaults = userDefaults::standardUserDefaults();
    auto number = [&defaults](const QString& key) -> std::optional<double> {
        bool ok = false;
        const double value = defaults.objectForKey(key).toString().trimmed().toDouble(&ok);
        return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
    };
    const auto lat = number(QStringLiteral("alertHomeLatitude"));
    const auto lon = number(QStringLiteral("alertHomeLongitude"));
    if (!lat || !lon || std::fabs(*lat) > 90 || *lon < -180 || *lon > 360)
        return std::nullopt;
    return QPointF(*lon, *lat);
}
