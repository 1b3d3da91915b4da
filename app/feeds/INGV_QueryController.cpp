#include "INGV_QueryController.h"

#include "HTMLParser.h"
#include "QVRDateFormatter.h"
#include "lenientNumbers.h"
#include "serviceEndpoints.h"

INGV_QueryController::INGV_QueryController(QObject* parent)
    : EQ_QueryController(parent) {
    setMinMagnitude(2.0f);
    setMaxMagnitude(20.0f);
    setMinLatitude(34.0f);
    setMaxLatitude(47.0f);
    setMinLongitude(6.25f);
    setMaxLongitude(19.0f);
    myURL_ = serviceEndpoints::baseURL(serviceEndpoints::service::ingvEvents) +
             QStringLiteral("/index.html");
}

QString INGV_QueryController::summaryHeading() const {
    return QStringLiteral("A Global Seismicity Summary");
}

const char* INGV_QueryController::summaryOpening() const {
    return "In the last seven days the INGV identified and located %d seismic events with "
           "magnitudes greater than or equal to %.1f. ";
}

const char* INGV_QueryController::downloadFailureMessage() const {
    return "Failed to parse the html. Error: %1";
}

QUrl INGV_QueryController::requestURL() const {
    return QUrl(myURL_);
}

std::optional<originList> INGV_QueryController::scrape_IGNV_EQ_html() {
    const QVRResult<parsedOrigins> page = fetchOrigins();
    if (!page)
        return std::nullopt;
    return page->origins;
}

originList INGV_QueryController::parseINGVPage(const QByteArray& html) const {
    return parseOrigins(html)->origins;
}

QVRResult<EQ_QueryController::parsedOrigins>
INGV_QueryController::parseOrigins(const QByteArray& html) const {
    static const QVRDateFormatter timeFormatter(QStringLiteral("yyyy/MM/dd HH:mm:ss"),
                                                QTimeZone::utc());
    parsedOrigins result;
    const auto page = HTMLParser::initWithData(html, nullptr);
    for (const HTMLNode& table : page->body().findChildTags("table")) {
        if (table.getAttributeNamed("class") != QLatin1StringView("table_events"))
            continue;
        for (const HTMLNode& row : table.findChildTags("tr")) {
            const QList<HTMLNode> cells = row.findChildTags("td");
            if (cells.size() != 10) {
                // Heading rows have no cells; other rows of another length are no events.
                if (!cells.isEmpty())
                    ++result.skippedRows;
                continue;
            }
            // "ML:2.3": the type before the colon, the value after it. Without a colon the
            // row says nothing usable about the magnitude and is passed over.
            const QString magnitudeCell = cells.at(7).contents();
            const qsizetype colon = magnitudeCell.indexOf(u':');
            if (colon < 0) {
                ++result.skippedRows;
                continue;
            }

            auto o = std::make_shared<seismicOrigin>();
            o->setEventID(cells.at(0).contents());
            o->setCatalog(QStringLiteral("INGV"));
            o->setLocationContributor(QStringLiteral("INGV"));
            o->setOriginDateTime(timeFormatter.dateFromString(QString(
                cells.at(2).contents().trimmed() + u' ' + cells.at(3).contents().trimmed())));
            o->setLatitude(leadingFloat(cells.at(4).contents()));
            o->setLongitude(leadingFloat(cells.at(5).contents()));
            o->setDepth(leadingFloat(cells.at(6).contents()));
            o->setMagnitude_type(magnitudeCell.left(colon).trimmed());
            o->setMagnitude(leadingFloat(QStringView(magnitudeCell).mid(colon + 1)));

            if (minMagnitude() <= o->magnitude() && o->magnitude() <= maxMagnitude() &&
                isOriginInBox(*o)) {
                o->setFERegion();
                result.origins.append(o);
            }
        }
    }
    return result;
}

bool INGV_QueryController::loadEvents() {
    setSeismicOrigins(scrape_IGNV_EQ_html().value_or(originList()));
    return !seismicOrigins().isEmpty();
}
