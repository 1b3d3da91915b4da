#pragma once

#include "EQ_QueryController.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QMap>
#include <QUrl>

#include <optional>

// The USGS real-time feeds: the GeoJSON summary feed of the past month (with one-page summary
// links for the largest events), the weekly CSV list that backs loadEvents and the summary,
// the older quoted-date CSV, and four text bulletins. Every reader has a parse entry taking
// bytes, used by the loaders, the tests and the command line.
class NEIC_QueryController : public EQ_QueryController {
    Q_OBJECT
public:
    explicit NEIC_QueryController(QObject* parent = nullptr);

    // Which of the two lists requestURL and parseOrigins stand for: the GeoJSON feed of the
    // past month (the default) or the weekly CSV list.
    enum class feed { monthFeed, weeklyList };
    feed whichFeed() const { return feed_; }
    void setFeed(feed f) { feed_ = f; }
    QUrl requestURL() const override;
    QVRResult<parsedOrigins> parseOrigins(const QByteArray& answer) const override;

    // Addresses of the CSV lists; by default the weekly list of the USGS feed host.
    const QList<QUrl>& gsURLs() const { return gsURLs_; }
    void setGsURLs(const QList<QUrl>& urls) { gsURLs_ = urls; }

    // The GeoJSON feed of the past month: a new list in feed order, filtered by the magnitude
    // limits. seismicOrigins is left as it is. Empty when the download or the parse fails.
    originList loadUSGSGeoJSONFeed();
    // The feed's bytes as origins. With `loadDetails` every event above magnitude 6.5 also
    // gets its one-page summary link from its detail document.
    originList parseUSGSGeoJSONFeed(const QByteArray& json, bool loadDetails);
    // Every feature of the feed as an origin, before the magnitude limits; a failure when the
    // bytes are no JSON document. Reentrant: loads run it on a worker thread.
    static QVRResult<parsedOrigins> readUSGSGeoJSONFeed(const QByteArray& json);
    // The detail documents of the events above magnitude 6.5, several at once and all within
    // the load's one deadline (the download time-out, counted from the start of the load).
    // A document is kept by event id and the feed's "updated" time, so an unchanged event is
    // fetched once; documents that fail are logged in one line for the whole load and leave
    // their origins without links.
    void loadGeoJSONDetails(const originList& origins);
    // Enough for all the large events of a busy month in one round trip.
    static constexpr int detailFetchesAtOnce = 16;
    // The month feed's detail documents; the weekly list has none.
    void loadSideDocuments(const originList& origins) override;
    static QUrl geoJSONFeedURL();

    // Fetches the origin's detail document and records its one-page summary link. A failed
    // download leaves the origin as it was.
    void loadGeoJSONDetailsForOrigin(seismicOrigin& origin);
    // False when the bytes are no JSON object, and so no detail document at all.
    static bool parseGeoJSONDetails(const QByteArray& json, seismicOrigin& origin);

    // The weekly CSV list into seismicOrigins; false, keeping the previous list, when it
    // yields no origins.
    bool loadEvents() override;
    originList loadNEIC_TextList();
    originList parseNEIC_TextList(const QByteArray& csv) const;
    parsedOrigins readNEIC_TextList(const QByteArray& csv) const;
    originList loadNEIC_CSVvalues();
    originList parseNEIC_CSVvalues(const QByteArray& csv) const;

    // Bulletins as text; null text when the download fails.
    QString WCATWCMessage();
    QString PTWCMessage();
    QString BigQuakeMessage();
    QString USGSMTensorMessage();
    // The visible text of an HTML page.
    static QString plainTextOfHTML(const QByteArray& html);

protected:
    QString summaryHeading() const override;
    const char* summaryOpening() const override;

private:
    QString downloadBulletin(const QUrl& url);
    originList withinMagnitudeLimits(const originList& origins) const;
    // The read feed as parseUSGSGeoJSONFeed gives it: logged when unreadable, detail documents
    // loaded when asked, within the magnitude limits.
    originList originsOfFeed(const QVRResult<parsedOrigins>& all, bool loadDetails);

    QList<QUrl> gsURLs_;
    feed feed_ = feed::monthFeed;

    // What a detail document gave an event, kept while the event stays in the feed.
    struct keptDetail {
        int updated = 0; // the feed's "updated", whole seconds since 1970
        std::optional<QMap<QString, QString>> links;
    };
    QHash<QString, keptDetail> keptDetails_; // by event id (the detail address without one)
    // Set while loadUSGSGeoJSONFeed runs, so that the feed and the details share one deadline.
    std::optional<QDeadlineTimer> loadDeadline_;
};
