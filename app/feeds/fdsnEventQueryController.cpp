#include "fdsnEventQueryController.h"

#include "QVRDateFormatter.h"
#include "lenientNumbers.h"
#include "quorvelLogging.h"
#include "serviceEndpoints.h"

namespace {

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
    return serviceEndpoints::baseURL(serviceEndpoints::service::fdsnEvents) +
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

QUrl fdsnEventQueryController::requestURL() const {
    switch (searchType_) {
    case globalSearch:
        return buildGlobalSearchURL();
    case boxSearch:
        return buildBoxSearchURL();
    case annulusSearch:
        return buildAnnulusSearchURL();
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

originList fdsnEventQueryController::parseFDSNEventText(const QByteArray& text) {
    return readFDSNEventText(text).origins;
}

EQ_QueryController::parsedOrigins
fdsnEventQueryController::readFDSNEventText(const QByteArray& text) {
    static const QVRDateFormatter& timeFormatter = queryTimeFormatter();
    parsedOrigins result;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QList<QString> c = QString::fromUtf8(lines.at(n)).split(u'|');
        if (c.size() <= 12) {
            if (!lines.at(n).trimmed().isEmpty())
                ++result.skippedRows;
            continue;
        }
        auto o = std::make_shared<seismicOrigin>();
        o->setCatalog(c.at(6).trimmed());
        o->setLocationContributor(c.at(7).trimmed());
        o->setLatitude(leadingFloat(c.at(2)));
        o->setLongitude(leadingFloat(c.at(3)));
        o->setDepth(leadingFloat(c.at(4)));
        o->setMagnitude_type(c.at(9).trimmed());
        o->setMagnitude(leadingFloat(c.at(10)));

        auto m = std::make_shared<QVRMagnitude>();
        m->setContributor(c.at(11).trimmed());
        m->setMvalue(leadingFloat(c.at(10)));
        m->setMagnitudeType(c.at(9).trimmed());
        o->addObjectToMagnitudes(m);

        // Services add fractional seconds ("…T23:58:58.770000"); the whole second is kept.
        QString time = c.at(1).trimmed();
        if (const qsizetype dot = time.indexOf(u'.', time.indexOf(u'T')); dot > 0)
            time.truncate(dot);
        o->setOriginDateTime(timeFormatter.dateFromString(time));
        o->setCsvRegionString(c.at(12).trimmed());
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
