#include "stationSelection.h"

#include "delta_az.h"

#include <QMap>

#include <algorithm>

#include <cmath>
#include <limits>
#include <numbers>

namespace stationSelection {

namespace {

bool operatesAt(const fdsnStationText::channel& c, const QDateTime& when) {
    return c.start <= when && (!c.end.isValid() || when < c.end);
}

// The station's place on the azimuthal equidistant map about the epicentre, in degrees.
std::pair<double, double> mapPoint(const station& s) {
    const double azimuth = double(s.azimuth) * std::numbers::pi / 180.0;
    return {double(s.distance) * std::sin(azimuth), double(s.distance) * std::cos(azimuth)};
}

} // namespace

QList<station> stationsAt(const QList<fdsnStationText::channel>& channels, float latitude,
                          float longitude, const QDateTime& origin, float minDistance,
                          float maxDistance) {
    // Keyed by "NET STA", so that the stations come out in that order.
    QMap<QString, station> byStation;
    for (const fdsnStationText::channel& c : channels) {
        if (!operatesAt(c, origin))
            continue;
        const QString key = c.network + u' ' + c.station;
        auto found = byStation.find(key);
        if (found == byStation.end()) {
            station s;
            s.network = c.network;
            s.code = c.station;
            s.location = c.location;
            const float stationLatitude = float(c.latitude), stationLongitude = float(c.longitude);
            delta_az(&latitude, &longitude, &stationLatitude, &stationLongitude, &s.distance,
                     &s.azimuth);
            float sameDistance = 0;
            delta_az(&stationLatitude, &stationLongitude, &latitude, &longitude, &sameDistance,
                     &s.backAzimuth);
            found = byStation.insert(key, s);
        }
        station& s = found.value();
        if (c.location < s.location) {
            s.location = c.location;
            s.channels.clear();
        }
        const bool sameChannel = std::any_of(s.channels.cbegin(), s.channels.cend(),
                                             [&c](const fdsnStationText::channel& kept) {
                                                 return kept.channelCode == c.channelCode;
                                             });
        if (c.location == s.location && !sameChannel)
            s.channels.append(c);
    }
    QList<station> inRange;
    for (const station& s : std::as_const(byStation))
        if (s.distance >= minDistance && s.distance <= maxDistance)
            inRange.append(s);
    return inRange;
}

QList<station> spread(const QList<station>& candidates, int count) {
    QList<station> chosen;
    if (candidates.isEmpty() || count < 1)
        return chosen;
    std::vector<std::pair<double, double>> points;
    for (const station& s : candidates)
        points.push_back(mapPoint(s));
    std::vector<bool> taken(points.size(), false);
    // The squared separation from the nearest station taken so far.
    std::vector<double> separation(points.size(), std::numeric_limits<double>::infinity());
    qsizetype next = 0;
    for (qsizetype i = 1; i < candidates.size(); ++i)
        if (candidates.at(i).distance < candidates.at(next).distance)
            next = i;
    while (chosen.size() < count) {
        taken[std::size_t(next)] = true;
        chosen.append(candidates.at(next));
        const auto [x, y] = points[std::size_t(next)];
        qsizetype farthest = -1;
        for (std::size_t i = 0; i < points.size(); ++i) {
            if (taken[i])
                continue;
            const double dx = points[i].first - x, dy = points[i].second - y;
            separation[i] = std::min(separation[i], dx * dx + dy * dy);
            if (farthest < 0 || separation[i] > separation[std::size_t(farthest)])
                farthest = qsizetype(i);
        }
        if (farthest < 0)
            break;
        next = farthest;
    }
    return chosen;
}

} // namespace stationSelection
