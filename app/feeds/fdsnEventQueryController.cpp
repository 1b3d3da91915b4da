#include "fdsnEventQueryController.h"

#include "QVRDateFormatter.h"
#include "lenientNumbers.h"
#include "quorvelLogging.h"
#include "serviceEndpoints.h"

#include <QHash>

#include <algorithm>

namespace {

// Where the fields of a row are. Services spell the heading differently ("#EventID | Time
// | …", "Depth/km" or "Depth/Km", a 14th column "EventType"), so the heading's names decide;
// a name it lacks keeps its column of the standard order.
struct fdsnColumns {
    qsizetype eventID = 0, time = 1, latitude = 2, longitude = 3, depth = 4, catalog = 6,
              contributor = 7, magnitudeType = 9, magnitude = 10, magnitudeAuthor = 11,
              locationName = 12;

    qsizetype count() const {
        return 1 + std::max({eventID, time, latitude, longitude, depth, catalog, contributor,
                             magnitudeType, magnitude, magnitudeAuthor, locationName});
    }
};

fdsnColumns columnsNamedIn(const QByteArray& heading) {
    fdsnColumns columns;
    const QString text = QString::fromUtf8(heading).trimmed();
    if (!text.startsWith(u'#'))
        return columns;
    QHash<QString, qsizetype> named;
    const QStringList names = text.mid(1).split(u'|');
    for (qsizetype n = 0; n < names.size(); ++n)
        named.insert(names.at(n).trimmed().toLower(), n);
    const std::pair<const char*, qsizetype fdsnColumns::*> fields[] = {
        {"eventid", &fdsnColumns::eventID},
        {"time", &fdsnColumns::time},
        {"latitude", &fdsnColumns::latitude},
        {"longitude", &fdsnColumns::longitude},
        {"depth/km", &fdsnColumns::depth},
        {"catalog", &fdsnColumns::catalog},
        {"contributor", &fdsnColumns::contributor},
        {"magtype", &fdsnColumns::magnitudeType},
        {"magnitude", &fdsnColumns::magnitude},
        {"magauthor", &fdsnColumns::magnitudeAuthor},
        {"eventlocationname", &fdsnColumns::locationName}};
    for (const auto& [name, field] : fields) {
        if (const auto at = named.constFind(QLatin1StringView(name)); at != named.constEnd())
            columns.*field = *at;
    }
    return columns;
}

const QVRDateFormatter& queryTimeFormatter() {
    static const QVRDateFormatter formatter(QStringLiteral("yyyy'-'MM'-'dd'T'HH':'mm':'ss"),
                                            QTimeZone::utc());
    return formatter;
}

QUrl logged(const QString& address) {
    qCInfo(lcFeeds).noquote() << address;
    return QUrl(address);
}

} // namespace

bool fdsnEventQueryController::setService(const QString& choice) {
    if (serviceEndpoints::fdsnEventServiceURL(choice).isNull())
        return false;
    service_ = choice.trimmed();
    return true;
}

fdsnEventQueryController::fdsnEventQueryController(QObject* parent)
    : EQ_QueryController(parent) {
    setSearchFormDefaults();
    setMinRadius(0.0f);
    setMaxRadius(90.0f);
}

QString fdsnEventQueryController::summaryHeading() const {
    return QStringLiteral("A Global Seismicity Summary");
}

const char* fdsnEventQueryController::summaryOpening() const {
    return "The FDSN event service search found %d seismic events with magnitudes greater than "
           "or equal to %.1f. ";
}

// What every search asks: the time window, magnitudes and depths. The global search spells
// the magnitude keys out, the box and ring searches abbreviate them; `magnitudeKeys` is that
// pair as a printf format.
QString fdsnEventQueryController::sharedQuery(const char* magnitudeKeys) const {
    return serviceEndpoints::fdsnEventServiceURL(service_) +
           QStringLiteral("/fdsnws/event/1/query?") +
           QStringLiteral("starttime=%1&").arg(queryTimeFormatter().stringFromDate(startDate())) +
           QStringLiteral("endtime=%1&").arg(queryTimeFormatter().stringFromDate(endDate())) +
           QString::asprintf(magnitudeKeys, double(minMagnitude()), double(maxMagnitude())) +
           QString::asprintf("mindepth=%d&maxdepth=%d&", truncatedToInt(minDepth()),
                             truncatedToInt(maxDepth()));
}

QUrl fdsnEventQueryController::buildGlobalSearchURL() const {
    return logged(sharedQuery("minmagnitude=%.1f&maxmagnitude=%.1f&") +
                  QStringLiteral("format=text"));
}

QUrl fdsnEventQueryController::buildBoxSearchURL() const {
    return logged(sharedQuery("minmag=%.1f&maxmag=%.1f&") +
                  QString::asprintf("minlat=%.3f&", double(minLatitude())) +
                  QString::asprintf("maxlat=%.3f&", double(maxLatitude())) +
                  QString::asprintf("minlon=%.3f&", double(minLongitude())) +
                  QString::asprintf("maxlon=%.3f&", double(maxLongitude())) +
                  QStringLiteral("format=text"));
}

// The ring's centre is the box's south-west corner.
QUrl fdsnEventQueryController::buildAnnulusSearchURL() const {
    return logged(sharedQuery("minmag=%.1f&maxmag=%.1f&") +
                  QString::asprintf("lat=%.3f&", double(minLatitude())) +
                  QString::asprintf("lon=%.3f&", double(minLongitude())) +
                  QString::asprintf("minradius=%.3f&", double(minRadius())) +
                  QString::asprintf("maxradius=%.3f&", double(maxRadius())) +
                  QStringLiteral("format=text"));
}

QUrl fdsnEventQueryController::buildPastWeekSearchURL() const {
    constexpr qint64 weekSeconds = 604800;
    const QDateTime start = clock_().toUTC().addSecs(-weekSeconds);
    return logged(serviceEndpoints::fdsnEventServiceURL(service_) +
                  QStringLiteral("/fdsnws/event/1/query?") +
                  QStringLiteral("starttime=%1&").arg(queryTimeFormatter().stringFromDate(start)) +
                  QString::asprintf("minmagnitude=%.1f&maxmagnitude=%.1f&", double(minMagnitude()),
                                    double(maxMagnitude())) +
                  QString::asprintf("minlatitude=%.3f&maxlatitude=%.3f&", double(minLatitude()),
                                    double(maxLatitude())) +
                  QString::asprintf("minlongitude=%.3f&maxlongitude=%.3f&", double(minLongitude()),
                                    double(maxLongitude())) +
                  QStringLiteral("format=text"));
}

QUrl fdsnEventQueryController::requestURL() const {
    switch (searchType_) {
    case globalSearch:
        return buildGlobalSearchURL();
    case boxSearch:
        return buildBoxSearchURL();
    case annulusSearch:
        return buildAnnulusSearchURL();
    case pastWeekSearch:
        return buildPastWeekSearchURL();
    default:
        return {};
    }
}

std::optional<originList> fdsnEventQueryController::parse_events_from_text() {
    if (requestURL().isEmpty()) {
        qCWarning(lcFeeds) << "Unknown FDSN search type" << searchType_;
        setLastError(QStringLiteral("unknown search type %1").arg(searchType_));
        return std::nullopt;
    }
    const QVRResult<parsedOrigins> found = fetchOrigins();
    if (!found)
        return std::nullopt;
    return found->origins;
}

QVRResult<EQ_QueryController::parsedOrigins>
fdsnEventQueryController::parseOrigins(const QByteArray& answer) const {
    return readFDSNEventText(answer);
}

bool fdsnEventQueryController::emptyAnswerMeansNoEvents() const {
    return true;
}

originList fdsnEventQueryController::parseFDSNEventText(const QByteArray& text) {
    return readFDSNEventText(text).origins;
}

EQ_QueryController::parsedOrigins
fdsnEventQueryController::readFDSNEventText(const QByteArray& text) {
    static const QVRDateFormatter& timeFormatter = queryTimeFormatter();
    parsedOrigins result;
    const QList<QByteArray> lines = text.split('\n');
    if (lines.isEmpty())
        return result;
    const fdsnColumns at = columnsNamedIn(lines.first());
    for (qsizetype n = 1; n < lines.size(); ++n) {
        if (lines.at(n).startsWith('#'))
            continue;
        const QList<QString> c = QString::fromUtf8(lines.at(n)).split(u'|');
        if (c.size() < at.count()) {
            if (!lines.at(n).trimmed().isEmpty())
                ++result.skippedRows;
            continue;
        }
        auto o = std::make_shared<seismicOrigin>();
        // Kept whole: some services name events by a resource path ("smi:…/event/123").
        o->setEventID(c.at(at.eventID).trimmed());
        o->setCatalog(c.at(at.catalog).trimmed());
        o->setLocationContributor(c.at(at.contributor).trimmed());
        o->setLatitude(leadingFloat(c.at(at.latitude)));
        o->setLongitude(leadingFloat(c.at(at.longitude)));
        o->setDepth(leadingFloat(c.at(at.depth)));
        o->setMagnitude_type(c.at(at.magnitudeType).trimmed());
        o->setMagnitude(leadingFloat(c.at(at.magnitude)));

        auto m = std::make_shared<QVRMagnitude>();
        m->setContributor(c.at(at.magnitudeAuthor).trimmed());
        m->setMvalue(leadingFloat(c.at(at.magnitude)));
        m->setMagnitudeType(c.at(at.magnitudeType).trimmed());
        o->addObjectToMagnitudes(m);

        // Services add fractional seconds or a zone letter ("…T23:58:58.770000", "…58Z"); the
        // times are UTC, and the whole second is kept.
        o->setOriginDateTime(timeFormatter.dateFromString(c.at(at.time).trimmed().left(19)));
        o->setCsvRegionString(c.at(at.locationName).trimmed());
        o->setFERegion();
        o->setMagnitudeToMaximumValue();
        result.origins.append(o);
    }
    return result;
}

bool fdsnEventQueryController::loadEvents() {
    // Unlike the USGS list, a failed search leaves no previous result behind.
    setSeismicOrigins(parse_events_from_text().value_or(originList()));
    return !seismicOrigins().isEmpty();
}
