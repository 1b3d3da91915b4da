#include "CSEM_QueryController.h"

#include "lenientNumbers.h"
#include "serviceEndpoints.h"

CSEM_QueryController::CSEM_QueryController(QObject* parent)
    : EQ_QueryController(parent) {
    setMinMagnitude(2.0f);
    setMaxMagnitude(20.0f);
    myURL_ =
        serviceEndpoints::baseURL(serviceEndpoints::service::emsc) +
        QStringLiteral("/Earthquake/?filter=yes&min_lat=30&max_lat=65&min_long=-15&max_long=45&"
                       "min_intens=0&max_intens=8&export=csv");
}

QUrl CSEM_QueryController::exportURL() {
    return QUrl(
        serviceEndpoints::baseURL(serviceEndpoints::service::emsc) +
        QStringLiteral(
            "/Earthquake/?filter=yes&min_lat=30&max_lat=65&min_long=-15&max_long=45&export=csv"));
}

QString CSEM_QueryController::summaryHeading() const {
    return QStringLiteral("A Global Seismicity Summary");
}

const char* CSEM_QueryController::summaryOpening() const {
    return "The EMSC list holds %d seismic events with magnitudes greater than or equal to %.1f. ";
}

const char* CSEM_QueryController::downloadFailureMessage() const {
    return "Failed to parse the html. Error: %1";
}

QUrl CSEM_QueryController::requestURL() const {
    return exportURL();
}

QVRResult<EQ_QueryController::parsedOrigins>
CSEM_QueryController::parseOrigins(const QByteArray& answer) const {
    return readEMSCExport(answer, QDateTime::currentDateTimeUtc());
}

std::optional<originList> CSEM_QueryController::scrape_CSEM_EQ_html() {
    const QVRResult<parsedOrigins> found = fetchOrigins();
    if (!found)
        return std::nullopt;
    return found->origins;
}

originList CSEM_QueryController::parseEMSCExport(const QByteArray& text,
                                                 const QDateTime& now) const {
    return readEMSCExport(text, now).origins;
}

EQ_QueryController::parsedOrigins CSEM_QueryController::readEMSCExport(const QByteArray& text,
                                                                       const QDateTime& now) const {
    const QDateTime oldest = now.addSecs(-604800);
    parsedOrigins result;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QList<QString> f = QString::fromUtf8(lines.at(n)).split(u';');
        if (f.size() != 12) {
            if (!lines.at(n).trimmed().isEmpty())
                ++result.skippedRows;
            continue;
        }
        auto o = std::make_shared<seismicOrigin>();
        o->setCatalog(QStringLiteral("CSEM_CSV"));
        o->setLocationContributor(QStringLiteral("CSEM"));
        o->setOriginDateTime(rfc3339DateFormatter().dateFromString(
            QStringLiteral("%1T%2.000Z").arg(f.at(0), f.at(1))));
        o->setLatitude(leadingFloat(f.at(2)));
        o->setLongitude(leadingFloat(f.at(3)));
        o->setDepth(leadingFloat(f.at(4)));
        o->setMagnitude_type(f.at(6));
        o->setMagnitude(leadingFloat(f.at(7)));
        o->setCsvRegionString(f.at(8));
        // A time that could not be read is no later than the window's start.
        if (minMagnitude() <= o->magnitude() && o->magnitude() <= maxMagnitude() &&
            o->originDateTime().isValid() && o->originDateTime() > oldest)
            result.origins.append(o);
    }
    return result;
}

bool CSEM_QueryController::loadEvents() {
    setSeismicOrigins(scrape_CSEM_EQ_html().value_or(originList()));
    return !seismicOrigins().isEmpty();
}
