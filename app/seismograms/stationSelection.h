#pragma once

#include "fdsnStationText.h"

#include <QDateTime>
#include <QList>
#include <QString>

// Which stations of a station service's answer record an earthquake, and a few of them spread
// over distance and azimuth, so that a record section of them shows the whole wave field
// rather than one crowded network. Data only; thread-free.
namespace stationSelection {

// One station as seen from the epicentre, with the channels it records at the origin time.
struct station {
    QString network, code;
    QString location; // the one location code kept; "" when blank
    QList<fdsnStationText::channel> channels;
    float distance = 0;    // degrees from the epicentre
    float azimuth = 0;     // degrees clockwise from north, of the station seen from the epicentre
    float backAzimuth = 0; // of the epicentre seen from the station
};

// The stations of `channels` whose epoch holds `origin` and whose distance from (`latitude`,
// `longitude`) lies within `minDistance` … `maxDistance` degrees, in network and station
// order. A station with several location codes keeps the smallest one's channels only, so
// that each station gives one set of components.
QList<station> stationsAt(const QList<fdsnStationText::channel>& channels, float latitude,
                          float longitude, const QDateTime& origin, float minDistance,
                          float maxDistance);

// At most `count` of `candidates`, spread in distance and azimuth: each station is a point of
// the azimuthal equidistant map about the epicentre (distance along its azimuth), the nearest
// is taken first and then, again and again, the one farthest from every station taken so far
// (ties to the earlier candidate). The result is in the order of the choice.
QList<station> spread(const QList<station>& candidates, int count);

} // namespace stationSelection
