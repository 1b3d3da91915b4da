#include "EQ_QueryController.h"

#include "quorvelLogging.h"
#include "seismicitySummary.h"
#include "timeZones.h"

#include <QStringDecoder>
#include <QTableView>

#include <cmath>

namespace {

// The services answer in UTF-8 (or its ASCII part); other bytes are no catalogue's answer.
bool isUtf8Text(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    [[maybe_unused]] const QString text = decoder(bytes);
    return !decoder.hasError();
}

} // namespace

EQ_QueryController::EQ_QueryController(QObject* parent)
    : QObject(parent)
    , theDateFormatter_(std::make_shared<QVRDateFormatter>())
    , rfc3339DateFormatter_(QStringLiteral("yyyy'-'MM'-'dd'T'HH':'mm':'ss.SSS'Z'"),
                            timeZones::utc())
    , tableModel_(&seismicOrigins_) {}

EQ_QueryController::~EQ_QueryController() = default;

void EQ_QueryController::setSeismicOrigins(const originList& origins) {
    seismicOrigins_ = origins;
    tableModel_.reloadData();
}

QTableView* EQ_QueryController::eventTableView() const {
    return qobject_cast<QTableView*>(tableModel_.indicatorTable());
}

void EQ_QueryController::setEventTableView(QTableView* view) {
    tableModel_.setIndicatorTable(view);
}

bool EQ_QueryController::loadEvents() {
    return false;
}

bool EQ_QueryController::isOriginInBox(const seismicOrigin& origin) const {
    // Comparisons with NaN are false, so a coordinate that is not a number is outside.
    const float lat = origin.latitude();
    const float lon = origin.longitude();
    return minLatitude_ <= lat && lat <= maxLatitude_ && minLongitude_ <= lon &&
           lon <= maxLongitude_;
}

void EQ_QueryController::clearTableSortImages() {
    tableModel_.clearSortIndicators();
}

int EQ_QueryController::numberOfRowsInTableView() const {
    return tableModel_.numberOfRows();
}

QString EQ_QueryController::tableViewObjectValueForTableColumn(const QString& columnIdentifier,
                                                               int row) const {
    return tableModel_.cellText(columnIdentifier, row);
}

void EQ_QueryController::tableViewMouseDownInHeaderOfTableColumn(int column) {
    tableModel_.mouseDownInHeader(column);
}

QString EQ_QueryController::summarizeTheSeismicActivity(const QDateTime& now) const {
    return seismicitySummary::write(seismicOrigins_, minMagnitude_, summaryHeading(),
                                    summaryOpening(), now);
}

QString EQ_QueryController::summaryHeading() const {
    return QStringLiteral("A Seismicity Summary");
}

const char* EQ_QueryController::summaryOpening() const {
    return "I have loaded %d seismic events with magnitudes greater than or equal to %.1f. ";
}

const char* EQ_QueryController::downloadFailureMessage() const {
    return "Failed to access the url. Error: %1";
}

webFetcher::result EQ_QueryController::download(const QUrl& url, downloadKind kind) {
    webFetcher::options how;
    how.timeoutMs = downloadTimeoutMs_;
    webFetcher::result r = webFetcher::fetch(url, how);
    if (kind == downloadKind::catalogue)
        lastError_ = r.error();
    if (!r.ok())
        qCWarning(lcFeeds).noquote() << QString(
            QString::fromLatin1(downloadFailureMessage()).arg(r.error()) + u' ' + url.toString());
    return r;
}

void EQ_QueryController::loadSideDocuments(const originList&) {}

QUrl EQ_QueryController::requestURL() const {
    return {};
}

QVRResult<EQ_QueryController::parsedOrigins>
EQ_QueryController::parseOrigins(const QByteArray&) const {
    return parsedOrigins{};
}

bool EQ_QueryController::emptyAnswerMeansNoEvents() const {
    return false;
}

QVRResult<EQ_QueryController::parsedOrigins> EQ_QueryController::fetchOrigins() {
    return fetchOriginsFrom(requestURL());
}

QVRResult<EQ_QueryController::parsedOrigins> EQ_QueryController::fetchOriginsFrom(const QUrl& url) {
    const webFetcher::result answer = download(url);
    if (!answer)
        return QVRResult<parsedOrigins>::failureOf(answer);
    QVRResult<parsedOrigins> parsed = parseOrigins(*answer);
    if (parsed && parsed->origins.isEmpty()) {
        if (answer->isEmpty() && !emptyAnswerMeansNoEvents())
            parsed = QVRResult<parsedOrigins>::failure(QStringLiteral("the answer is empty"));
        else if (!isUtf8Text(*answer))
            parsed = QVRResult<parsedOrigins>::failure(QStringLiteral("the answer is no text"));
        // An error page or other text served as the catalogue: rows, none of them an event.
        // Shown as an empty list, it would read as a quiet week.
        else if (parsed->skippedRows > 0)
            parsed = QVRResult<parsedOrigins>::failure(
                QStringLiteral("none of its %1 rows is an event").arg(parsed->skippedRows));
    }
    if (!parsed) {
        qCWarning(lcFeeds).noquote() << QStringLiteral("The answer of %1 cannot be read: %2")
                                            .arg(url.toString(), parsed.error());
        lastError_ = parsed.error();
    } else if (parsed->skippedRows > 0) {
        qCDebug(lcFeeds).noquote() << QStringLiteral("%1 rows of %2 are no events and were skipped")
                                          .arg(parsed->skippedRows)
                                          .arg(url.toString());
    }
    return parsed;
}

void EQ_QueryController::setSearchFormDefaults() {
    setMinMagnitude(6.5f);
    setMaxMagnitude(20.0f);
    setMinDepth(0.0f);
    setMaxDepth(900.0f);
    setMinLatitude(-90.0f);
    setMaxLatitude(90.0f);
    setMinLongitude(0.0f);
    setMaxLongitude(360.0f);
    setStartDate(QDateTime(QDate(1973, 1, 1), QTime(0, 0), QTimeZone::utc()));
    setEndDate(QDateTime::currentDateTimeUtc());
}
