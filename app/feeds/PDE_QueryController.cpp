#include "PDE_QueryController.h"

#include "HTMLParser.h"
#include "QVRDateComponents.h"
#include "lenientNumbers.h"
#include "quorvelLogging.h"
#include "serviceEndpoints.h"
#include "timeZones.h"

#include <QFile>

#include <algorithm>
#include <cmath>

namespace {

QString formPath() {
    return serviceEndpoints::baseURL(serviceEndpoints::service::pdeSearch) +
           QStringLiteral("/cgi-bin/epic/epic.cgi");
}

// The trimmed text at [from, from + length) of a line known to be long enough.
QString column(const QString& line, qsizetype from, qsizetype length) {
    return line.mid(from, length).trimmed();
}

int integerAt(const QString& line, qsizetype from, qsizetype length) {
    return leadingInt(QStringView(line).mid(from, length));
}

float realAt(const QString& line, qsizetype from, qsizetype length) {
    return leadingFloat(QStringView(line).mid(from, length));
}

std::shared_ptr<QVRMagnitude> magnitudeRecord(float value, const QString& type,
                                              const QString& contributor, int observations) {
    auto m = std::make_shared<QVRMagnitude>();
    m->setMvalue(value);
    m->setMagnitudeType(type);
    m->setContributor(contributor);
    m->setNObs(observations);
    return m;
}

// Whether a long line holds an event at all: saved pages carry footers of HTML links that are
// long enough to pass for event lines but read as nonsense (year 2 at 0°, 0°). Such a line is
// skipped rather than shown.
bool readsAsEvent(const QString& line) {
    const QString catalogue = column(line, 1, 5);
    const bool catalogueIsCode =
        !catalogue.isEmpty() && std::all_of(catalogue.begin(), catalogue.end(), [](QChar c) {
            return (c.isLetterOrNumber() && c.unicode() < 128) || c == u'-';
        });
    const int year = integerAt(line, 6, 6);
    const int month = integerAt(line, 12, 2);
    const int day = integerAt(line, 14, 2);
    const int hour = integerAt(line, 16, 2);
    const int minute = integerAt(line, 18, 2);
    const float second = realAt(line, 20, 2);
    const float latitude = realAt(line, 27, 7);
    const float longitude = realAt(line, 34, 8);
    return catalogueIsCode && year >= 1900 && year <= 2100 && month >= 1 && month <= 12 &&
           day >= 1 && day <= 31 && hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 &&
           second >= 0 && second <= 60 && std::fabs(latitude) <= 90 && std::fabs(longitude) <= 180;
}

} // namespace

PDE_QueryController::PDE_QueryController(QObject* parent)
    : EQ_QueryController(parent) {
    setSearchFormDefaults();
}

QString PDE_QueryController::summaryHeading() const {
    return QStringLiteral("A Global Seismicity Summary");
}

const char* PDE_QueryController::summaryOpening() const {
    return "The PDE search found %d seismic events with magnitudes greater than or equal to %.1f. ";
}

// Dates, magnitudes and depths; the form wants "&&" before its fixed ending.
QString PDE_QueryController::searchTail() const {
    const QDate start = startDate().toTimeZone(timeZones::defaultTimeZone()).date();
    const QDate end = endDate().toTimeZone(timeZones::defaultTimeZone()).date();
    return QString::asprintf("SYEAR=%d&", start.year()) +
           QString::asprintf("SMONTH=%d&", start.month()) +
           QString::asprintf("SDAY=%d&", start.day()) + QString::asprintf("EYEAR=%d&", end.year()) +
           QString::asprintf("EMONTH=%d&", end.month()) + QString::asprintf("EDAY=%d&", end.day()) +
           QString::asprintf("LMAG=%.1f&UMAG=%.1f&", double(minMagnitude()),
                             double(maxMagnitude())) +
           QString::asprintf("NDEP1=%d&NDEP2=%d&", truncatedToInt(minDepth()),
                             truncatedToInt(maxDepth())) +
           QStringLiteral("&IO1=&IO2=&CLAT=0.0&CLON=0.0&CRAD=0.0&SUBMIT=Submit+Search");
}

QUrl PDE_QueryController::buildGlobalSearchURL() const {
    return QUrl(formPath() + QStringLiteral("?SEARCHMETHOD=1&FILEFORMAT=2&SEARCHRANGE=HH&") +
                searchTail());
}

QUrl PDE_QueryController::buildBoxSearchURL() const {
    return QUrl(formPath() + QStringLiteral("?SEARCHMETHOD=2&FILEFORMAT=2&SEARCHRANGE=HH&") +
                QString::asprintf("SLAT1=%.3f&", double(maxLatitude())) +
                QString::asprintf("SLAT2=%.3f&", double(minLatitude())) +
                QString::asprintf("SLON1=%.3f&", double(minLongitude())) +
                QString::asprintf("SLON2=%.3f&", double(maxLongitude())) + searchTail());
}

const char* PDE_QueryController::downloadFailureMessage() const {
    return "Failed to parse the html. Error: %1";
}

QUrl PDE_QueryController::requestURL() const {
    return maxLongitude() - minLongitude() <= 180.0f ? buildBoxSearchURL() : buildGlobalSearchURL();
}

std::optional<originList> PDE_QueryController::parse_PDE_Compressed_EQ_html() {
    const QVRResult<parsedOrigins> found = fetchOrigins();
    if (!found)
        return std::nullopt;
    return found->origins;
}

QVRResult<EQ_QueryController::parsedOrigins>
PDE_QueryController::parseOrigins(const QByteArray& answer) const {
    // The service answers with a result page; a saved answer may also be just its lines.
    if (answer.contains("<pre") || answer.contains("<PRE"))
        return readPDEResultPage(answer);
    return readPDELines(QString::fromLatin1(answer));
}

originList PDE_QueryController::parsePDEResultPage(const QByteArray& html) {
    return readPDEResultPage(html).origins;
}

EQ_QueryController::parsedOrigins PDE_QueryController::readPDEResultPage(const QByteArray& html) {
    const auto page = HTMLParser::initWithData(html, nullptr);
    return readPDELines(page->body().findChildTag("pre").contents());
}

std::optional<originList>
PDE_QueryController::parse_PDE_Compressed_EQ_FromPath(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcFeeds).noquote() << QStringLiteral("Failed to parse the html. Error: %1 %2")
                                            .arg(file.errorString(), path);
        return std::nullopt;
    }
    return parsePDELines(QString::fromLatin1(file.readAll()));
}

originList PDE_QueryController::parsePDELines(const QString& text) {
    return readPDELines(text).origins;
}

EQ_QueryController::parsedOrigins PDE_QueryController::readPDELines(const QString& text) {
    parsedOrigins result;
    const QList<QString> lines = text.split(u'\n');
    for (qsizetype n = 1; n < lines.size(); ++n) {
        const QString& line = lines.at(n);
        if (line.size() < 116)
            continue;
        if (!readsAsEvent(line)) {
            ++result.skippedRows;
            qCDebug(lcFeeds).noquote()
                << QStringLiteral("A PDE line that is no event is skipped: %1")
                       .arg(line.left(40).trimmed());
            continue;
        }
        auto o = std::make_shared<seismicOrigin>();
        o->setCatalog(column(line, 1, 5));
        o->setLocationContributor(QStringLiteral("USGS"));
        o->setLatitude(realAt(line, 27, 7));
        o->setLongitude(realAt(line, 34, 8));
        o->setDepth(realAt(line, 42, 3));

        const float mb = realAt(line, 54, 3);
        o->setMagnitude_type(QStringLiteral("mb"));
        o->setMagnitude(mb);
        o->addObjectToMagnitudes(magnitudeRecord(mb, QStringLiteral("mb"), QStringLiteral("USGS"),
                                                 integerAt(line, 57, 2)));
        // The surface-wave magnitude stands in 59–61, followed by a one-letter code.
        o->addObjectToMagnitudes(magnitudeRecord(realAt(line, 59, 3), QStringLiteral("Ms"),
                                                 QStringLiteral("USGS"), integerAt(line, 63, 2)));
        if (const float third = realAt(line, 65, 4); third > 0)
            o->addObjectToMagnitudes(
                magnitudeRecord(third, column(line, 69, 2), column(line, 71, 5), 0));
        if (const float fourth = realAt(line, 76, 4); fourth > 0)
            o->addObjectToMagnitudes(
                magnitudeRecord(fourth, column(line, 80, 2), column(line, 82, 5), 0));

        // Positions 23–24 are hundredths of a second: "46" then "81" is 46.81 s.
        QVRDateComponents time;
        time.year = integerAt(line, 6, 6);
        time.month = integerAt(line, 12, 2);
        time.day = integerAt(line, 14, 2);
        time.hour = integerAt(line, 16, 2);
        time.minute = integerAt(line, 18, 2);
        time.second = truncatedToInt(realAt(line, 20, 2));
        o->setOriginDateTime(
            time.dateInTimeZone(timeZones::utc()).addMSecs(qint64(integerAt(line, 23, 2)) * 10));

        o->setCsvRegionString(column(line, 1, 5));
        o->setFERegion();
        o->setMagnitudeToMaximumValue();
        o->setTsunamiFlag(QString(line.at(103)));
        o->setCasualtyFlag(QString(line.at(94)));
        result.origins.append(o);
    }
    return result;
}

bool PDE_QueryController::loadEvents() {
    setSeismicOrigins(parse_PDE_Compressed_EQ_html().value_or(originList()));
    return !seismicOrigins().isEmpty();
}
