#pragma once

#include "QVRDateFormatter.h"
#include "originTableModel.h"
#include "seismicOrigin.h"
#include "webFetcher.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QVariantMap>

#include <memory>

class QTableView;

// The common base of the catalogue controllers. It holds the search limits the application
// copies in before a load, the controller's own list of origins, the geographic box test and
// a table model that shows and sorts that list. Every catalogue is read the same way: a
// subclass says where its answer comes from (requestURL) and how its bytes become origins
// (parseOrigins); fetchOrigins does the rest. Its loadEvents and the catalogue's own named
// entries are built on that.
class EQ_QueryController : public QObject {
    Q_OBJECT
public:
    explicit EQ_QueryController(QObject* parent = nullptr);
    ~EQ_QueryController() override;

    // The application controller that owns this one; never messaged by the base.
    QObject* controller() const { return controller_; }
    void setController(QObject* controller) { controller_ = controller; }

    // The controller's own result list. Lists share their origin records.
    const originList& seismicOrigins() const { return seismicOrigins_; }
    void setSeismicOrigins(const originList& origins);
    // The list itself, for callers that read or sort it where it lives.
    originList* getSeismicOriginsPointer() { return &seismicOrigins_; }

    // Kept as part of the controllers' published face although no catalogue uses them.
    const QVariantMap& theSettings() const { return theSettings_; }
    void setTheSettings(const QVariantMap& settings) { theSettings_ = settings; }
    const std::shared_ptr<QVRDateFormatter>& theDateFormatter() const { return theDateFormatter_; }
    void setTheDateFormatter(const std::shared_ptr<QVRDateFormatter>& f) { theDateFormatter_ = f; }
    const std::shared_ptr<seismicOrigin>& theLatestOrigin() const { return theLatestOrigin_; }
    void setTheLatestOrigin(const std::shared_ptr<seismicOrigin>& o) { theLatestOrigin_ = o; }

    // The table that shows the sort indicators; not owned.
    QTableView* eventTableView() const;
    void setEventTableView(QTableView* view);

    float minMagnitude() const { return minMagnitude_; }
    void setMinMagnitude(float v) { minMagnitude_ = v; }
    float maxMagnitude() const { return maxMagnitude_; }
    void setMaxMagnitude(float v) { maxMagnitude_ = v; }
    const QDateTime& startDate() const { return startDate_; }
    void setStartDate(const QDateTime& v) { startDate_ = v; }
    const QDateTime& endDate() const { return endDate_; }
    void setEndDate(const QDateTime& v) { endDate_ = v; }
    float minLatitude() const { return minLatitude_; }
    void setMinLatitude(float v) { minLatitude_ = v; }
    float maxLatitude() const { return maxLatitude_; }
    void setMaxLatitude(float v) { maxLatitude_ = v; }
    float minLongitude() const { return minLongitude_; }
    void setMinLongitude(float v) { minLongitude_ = v; }
    float maxLongitude() const { return maxLongitude_; }
    void setMaxLongitude(float v) { maxLongitude_ = v; }
    float minDepth() const { return minDepth_; }
    void setMinDepth(float v) { minDepth_ = v; }
    float maxDepth() const { return maxDepth_; }
    void setMaxDepth(float v) { maxDepth_ = v; }
    float minRadius() const { return minRadius_; }
    void setMinRadius(float v) { minRadius_ = v; }
    float maxRadius() const { return maxRadius_; }
    void setMaxRadius(float v) { maxRadius_ = v; }

    // Loads the catalogue into seismicOrigins; true when the list was replaced. The base
    // loads nothing.
    virtual bool loadEvents();

    // What a read of a catalogue's answer gives: its origins within the limits, and how many
    // rows of the answer could not be read as an origin at all.
    struct parsedOrigins {
        originList origins;
        int skippedRows = 0;
    };
    // Where the catalogue's answer comes from, with the current limits; an empty address when
    // the limits name no request.
    virtual QUrl requestURL() const;
    // The answer's bytes as origins; a failure when they are no answer of this catalogue at
    // all. Changes nothing and downloads nothing.
    virtual QVRResult<parsedOrigins> parseOrigins(const QByteArray& answer) const;
    // Downloads requestURL() and reads it with parseOrigins. A failure is logged in one line
    // and becomes lastError; seismicOrigins is left alone. An answer that gives no origin and
    // is empty or no UTF-8 text is such a failure: garbage must not pass for a quiet week.
    QVRResult<parsedOrigins> fetchOrigins();
    // Whether the catalogue answers an empty body when it has no event (an FDSN service's
    // 204), rather than a heading or a page without rows.
    virtual bool emptyAnswerMeansNoEvents() const;
    // What a catalogue fetches after its list, for the origins it kept (the USGS feed: the
    // detail documents of the largest events). A failure there fails nothing.
    virtual void loadSideDocuments(const originList& origins);

    // Inside when minLatitude ≤ latitude ≤ maxLatitude and minLongitude ≤ longitude ≤
    // maxLongitude, edges included, with no wrap-around at ±180°: a box whose western edge
    // lies east of its eastern edge holds nothing. A coordinate that is not a number is outside.
    bool isOriginInBox(const seismicOrigin& origin) const;

    // The plain-language report of seismicOrigins; empty text for an empty list.
    QString
    summarizeTheSeismicActivity(const QDateTime& now = QDateTime::currentDateTimeUtc()) const;

    // The error of the last download, or null text when it succeeded.
    const QString& lastError() const { return lastError_; }
    // How long one download may take, in ms (30 s unless a test wants less).
    int downloadTimeoutMs() const { return downloadTimeoutMs_; }
    void setDownloadTimeoutMs(int ms) { downloadTimeoutMs_ = ms; }

    // --- the table of seismicOrigins
    originTableModel* tableModel() { return &tableModel_; }
    void clearTableSortImages();
    int numberOfRowsInTableView() const;
    QString tableViewObjectValueForTableColumn(const QString& columnIdentifier, int row) const;
    void tableViewMouseDownInHeaderOfTableColumn(int column);

protected:
    // The defaults of the historical search forms (FDSN, PDE): magnitudes 6.5 to 20, depths 0
    // to 900 km, the whole globe (longitudes 0 to 360), 1973-01-01 until now.
    void setSearchFormDefaults();

    // The summary's title line and its opening sentence, a printf format taking the number
    // of origins (%d) and the minimum magnitude (%.1f).
    virtual QString summaryHeading() const;
    virtual const char* summaryOpening() const;

    // Downloads `url` with the controller's time-out. A failure is logged in one line,
    // downloadFailureMessage() with the address. The outcome of a catalogue's own download
    // becomes lastError; that of a side download (a detail document) does not.
    enum class downloadKind { catalogue, sideDocument };
    webFetcher::result download(const QUrl& url, downloadKind kind = downloadKind::catalogue);
    // fetchOrigins from another address than requestURL() (lists read from several places).
    QVRResult<parsedOrigins> fetchOriginsFrom(const QUrl& url);
    // The log line of a failed download, a printf-like format whose %1 is the reason.
    virtual const char* downloadFailureMessage() const;

    void setLastError(const QString& error) { lastError_ = error; }

    // ISO 8601 times with milliseconds in UTC: "yyyy'-'MM'-'dd'T'HH':'mm':'ss.SSS'Z'".
    const QVRDateFormatter& rfc3339DateFormatter() const { return rfc3339DateFormatter_; }

private:
    QPointer<QObject> controller_;
    originList seismicOrigins_;
    QVariantMap theSettings_;
    std::shared_ptr<QVRDateFormatter> theDateFormatter_;
    std::shared_ptr<seismicOrigin> theLatestOrigin_;
    float minMagnitude_ = 3.0f;
    float maxMagnitude_ = 19.0f;
    QDateTime startDate_;
    QDateTime endDate_;
    float minLatitude_ = 0; // degrees
    float maxLatitude_ = 0;
    float minLongitude_ = 0;
    float maxLongitude_ = 0;
    float minDepth_ = 0; // km
    float maxDepth_ = 0;
    float minRadius_ = 0; // degrees
    float maxRadius_ = 0;
    QVRDateFormatter rfc3339DateFormatter_;
    QString lastError_;
    int downloadTimeoutMs_ = 30000;
    originTableModel tableModel_;
};
