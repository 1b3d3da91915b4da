#include "eventSeismograms.h"

#include "QVRRTSeismicDisplayController.h"
#include "geography.h"
#include "quorvelLogging.h"
#include "webFetcher.h"

#include <QUrl>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The phases that can arrive first of the compressional and of the shear waves. A source below
// the surface sends its first P and S upward at short distances ("p", "s"); past the core's
// shadow the first P is a core phase, and past about 80° SKS overtakes S.
const QStringList pTypePhases = {QStringLiteral("p"), QStringLiteral("P"), QStringLiteral("Pdiff"),
                                 QStringLiteral("PKiKP"), QStringLiteral("PKIKP")};
const QStringList sTypePhases = {QStringLiteral("s"), QStringLiteral("S"), QStringLiteral("Sdiff"),
                                 QStringLiteral("SKS")};

std::optional<seismicArrival> firstOf(const std::vector<seismicArrival>& all,
                                      const QStringList& phases) {
    // The calculator sorts its arrivals by time.
    for (const seismicArrival& a : all)
        if (phases.contains(a.phase))
            return a;
    return std::nullopt;
}

// SAC's text fields are blank-padded, without a terminating zero.
void putLabel(char (&field)[8], const char* text) {
    std::memset(field, ' ', sizeof field);
    std::memcpy(field, text, std::min(sizeof field, std::strlen(text)));
}

QString decimalText(float value) {
    return QString::number(double(value), 'g', 6);
}

QDateTime after(const QDateTime& origin, double seconds) {
    return origin.addMSecs(qint64(std::llround(seconds * 1000.0)));
}

// Catalogues give the depth of a shallow source above sea level as negative; travel times
// start at the surface.
double travelTimeDepth(float depth) {
    return std::max(0.0, double(depth));
}

} // namespace

QVRResult<eventSeismograms> eventSeismograms::make(const request& r) {
    const QVRResult<const earthModel*> model = earthModel::find(r.model);
    if (!model)
        return QVRResult<eventSeismograms>::failureOf(model);
    if (!(double(r.quake.depth) <= travelTimeCalculator::maximumDepth))
        return QVRResult<eventSeismograms>::failure(
            QStringLiteral("travel times reach sources down to %1 km, not %2 km")
                .arg(travelTimeCalculator::maximumDepth)
                .arg(double(r.quake.depth)));
    return eventSeismograms(r, **model);
}

eventSeismograms::eventSeismograms(const request& r, const earthModel& model)
    : request_(r)
    , travelTimes_(model) {}

QString eventSeismograms::stationQueryAddress() const {
    const QString origin = QVRRTSeismicDisplayController::printedDate(request_.quake.origin);
    // startbefore and endafter both at the origin time: the epochs that hold it. (starttime
    // and endtime would ask for epochs that begin and end within the instant.)
    const QStringList parts = {QStringLiteral("latitude=") + decimalText(request_.quake.latitude),
                               QStringLiteral("longitude=") + decimalText(request_.quake.longitude),
                               QStringLiteral("minradius=") + decimalText(request_.minDistance),
                               QStringLiteral("maxradius=") + decimalText(request_.maxDistance),
                               QStringLiteral("channel=") + request_.channel,
                               QStringLiteral("startbefore=") + origin,
                               QStringLiteral("endafter=") + origin,
                               QStringLiteral("level=channel"),
                               QStringLiteral("format=text")};
    return request_.baseURL + QStringLiteral("/fdsnws/station/1/query?") + parts.join(u'&');
}

QList<stationSelection::station>
eventSeismograms::chooseStations(const fdsnStationText& answer) const {
    return stationSelection::spread(
        stationSelection::stationsAt(answer.channels(), request_.quake.latitude,
                                     request_.quake.longitude, request_.quake.origin,
                                     request_.minDistance, request_.maxDistance),
        request_.maxStations);
}

eventSeismograms::arrivals eventSeismograms::predicted(float distance) const {
    const std::vector<seismicArrival> all = travelTimes_.arrivals(
        travelTimeDepth(request_.quake.depth), double(distance), pTypePhases + sTypePhases);
    return {firstOf(all, pTypePhases), firstOf(all, sTypePhases)};
}

QList<fdsnDataRequest::line>
eventSeismograms::linesFor(const QList<stationSelection::station>& stations) const {
    QList<fdsnDataRequest::line> lines;
    for (const stationSelection::station& s : stations) {
        const arrivals expected = predicted(s.distance);
        if (!expected.p) {
            qCWarning(lcSeismograms).noquote()
                << QStringLiteral("%1.%2: no P arrival at %3°; left out")
                       .arg(s.network, s.code)
                       .arg(double(s.distance));
            continue;
        }
        const double last = (expected.s ? expected.s : expected.p)->time;
        for (const fdsnStationText::channel& c : s.channels) {
            fdsnDataRequest::line l;
            l.network = s.network;
            l.station = s.code;
            l.location = s.location;
            l.channel = c.channelCode;
            l.start = after(request_.quake.origin, expected.p->time - secondsBeforeP);
            l.end = after(request_.quake.origin, last + secondsAfterS);
            lines.append(l);
        }
    }
    return lines;
}

void eventSeismograms::describe(SacObject& seismogram,
                                const stationSelection::station& station) const {
    SacHeader* header = seismogram.GetSacHeader();
    const QDateTime reference = seismogram.mySeisReferenceTime();
    if (!header || !reference.isValid())
        return;
    const event& quake = request_.quake;
    const float originOffset = float(double(reference.msecsTo(quake.origin)) / 1000.0);
    header->o = originOffset;
    header->evla = quake.latitude;
    header->evlo = quake.longitude;
    header->evdp = quake.depth;
    header->mag = quake.magnitude.value_or(SacHeader::undefinedValue);
    header->gcarc = station.distance;
    header->az = station.azimuth;
    header->baz = station.backAzimuth;
    header->dist = float(double(station.distance) * geography::kilometresPerDegree);
    const arrivals expected = predicted(station.distance);
    if (expected.p) {
        header->t0 = originOffset + float(expected.p->time);
        putLabel(header->kt0, "P");
    }
    if (expected.s) {
        header->t1 = originOffset + float(expected.s->time);
        putLabel(header->kt1, "S");
    }
}

eventSeismograms::outcome eventSeismograms::fetch(int timeoutMs, const QByteArray& userAgent,
                                                  const std::atomic<bool>* cancelled) const {
    outcome result;
    const auto fail = [&](const QString& why) {
        fdsnDataRequest::logFailure(why, cancelled);
        result.failure = why;
        return result;
    };
    const QVRResult<QByteArray> answer =
        webFetcher::fetch(QUrl(stationQueryAddress()),
                          fdsnDataRequest::requestOptions(timeoutMs, userAgent, cancelled));
    if (!answer)
        return fail(fdsnDataRequest::failureText(QStringLiteral("station"), answer));
    const fdsnStationText metadata = fdsnStationText::parse(*answer);
    const QList<stationSelection::station> stations = chooseStations(metadata);
    // An empty answer (204) is the service's way of saying there are none.
    if (stations.isEmpty())
        return fail(QStringLiteral("No station records %1 from %2° to %3° of the event")
                        .arg(request_.channel)
                        .arg(double(request_.minDistance))
                        .arg(double(request_.maxDistance)));
    result.stationsChosen = int(stations.size());

    const QList<fdsnDataRequest::line> lines = linesFor(stations);
    if (lines.isEmpty())
        return fail(QStringLiteral("No station lies where travel times reach"));
    const fdsnDataRequest data(request_.baseURL, lines);
    fdsnDataRequest::outcome traces = data.fetch(false, timeoutMs, userAgent, cancelled, &metadata);
    if (!traces.failure.isEmpty()) {
        result.failure = traces.failure; // logged by the request
        return result;
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QVRResult<std::vector<SacObject>>& channel = traces.channels[i];
        if (!channel) {
            result.withoutData << fdsnDataRequest::name(lines.at(i));
            continue;
        }
        const auto station = std::find_if(
            stations.cbegin(), stations.cend(), [&](const stationSelection::station& s) {
                return s.network == lines.at(i).network && s.code == lines.at(i).station;
            });
        for (SacObject& seismogram : channel.value()) {
            describe(seismogram, *station);
            result.seismograms.push_back(std::move(seismogram));
        }
    }
    if (result.seismograms.empty())
        return fail(QStringLiteral("The data centre has no data of the stations chosen (%1)")
                        .arg(result.stationsChosen));
    // The choice spreads the stations over the map; readers of the list expect them by distance.
    std::stable_sort(result.seismograms.begin(), result.seismograms.end(),
                     [](const SacObject& a, const SacObject& b) { return a.gcarc() < b.gcarc(); });
    return result;
}
