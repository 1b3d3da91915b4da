#pragma once

#include "SacObject.h"
#include "fdsnDataRequest.h"
#include "seismicArrival.h"
#include "stationSelection.h"
#include "travelTimeCalculator.h"
#include "webFetcher.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>
#include <vector>

// The seismograms of one earthquake from an FDSN data centre: the stations that recorded it
// at a range of distances (one radius search of the station service), a few of them spread in
// distance and azimuth, and their data in one bulk dataselect request, each station's window
// reaching from a minute before its predicted P to ten minutes after its predicted S. Each
// seismogram's header gets the event, the station, their distance and azimuths and the
// predicted P and S as picks t0 and t1. Downloads run on the caller's thread: a worker's, or
// the command line's; nothing here touches a window.
class eventSeismograms {
public:
    struct event {
        QDateTime origin; // UTC
        float latitude = 0;
        float longitude = 0;
        float depth = 0; // km
        std::optional<float> magnitude;
    };

    struct request {
        event quake;
        QString baseURL; // the data centre
        float minDistance = 0;
        float maxDistance = 90;                  // degrees
        QString channel = QStringLiteral("BHZ"); // may hold "?" and "*"
        int maxStations = 20;
        QString model = QStringLiteral("ak135");
    };

    // The first arrivals of a station that open and close its window.
    struct arrivals {
        std::optional<seismicArrival> p; // the first P-type arrival: P (p), Pdiff, PKiKP, PKIKP
        std::optional<seismicArrival> s; // the first S-type arrival: S (s), Sdiff, SKS
    };

    // A load as a whole: either it failed (`failure` says why, nothing came), or there are the
    // seismograms of the stations chosen, in the order of their choice.
    struct outcome {
        QString failure;
        std::vector<SacObject> seismograms;
        QStringList withoutData; // "NET.STA.LOC.CHA" of the channels that gave nothing
        int stationsChosen = 0;
    };

    // How long before the predicted P, and after the predicted S, a window reaches (s).
    static constexpr double secondsBeforeP = 60;
    static constexpr double secondsAfterS = 600;

    // None, with the reason, for a model that is not known or a source deeper than travel
    // times reach.
    static QVRResult<eventSeismograms> make(const request& r);

    const request& asked() const { return request_; }

    // The radius search of the station service: the channels that record at the origin time
    // within the distance range, channel level, as text.
    QString stationQueryAddress() const;

    // The stations chosen from the station service's answer, at most maxStations of them.
    QList<stationSelection::station> chooseStations(const fdsnStationText& answer) const;

    arrivals predicted(float distance) const;

    // One bulk line per channel of each station, in its own window; a station without a P
    // arrival is left out, with a log line.
    QList<fdsnDataRequest::line> linesFor(const QList<stationSelection::station>& stations) const;

    // Fills the header of a seismogram of `station` with the event, the distance and azimuths,
    // and the predicted arrivals as picks t0 ("P") and t1 ("S"), all relative to its reference
    // time. The station's coordinates and orientation are the dataselect request's to fill.
    void describe(SacObject& seismogram, const stationSelection::station& station) const;

    // Asks the station service, chooses the stations and fetches their data, with the
    // download time-out `timeoutMs` per request (the downloads' own unless given). Every
    // failure is logged once.
    outcome fetch(int timeoutMs = webFetcher::options().timeoutMs,
                  const QByteArray& userAgent = webFetcher::defaultUserAgent(),
                  const std::atomic<bool>* cancelled = nullptr) const;

private:
    eventSeismograms(const request& r, const earthModel& model);

    request request_;
    travelTimeCalculator travelTimes_;
};
