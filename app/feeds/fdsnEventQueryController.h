#pragma once

#include "EQ_QueryController.h"

#include <QUrl>

#include <functional>

// Searches an FDSN event web service for historical earthquakes over the whole globe, in a
// latitude/longitude box, or in a ring of great-circle radii around a point, and reads its
// pipe-separated text answer.
class fdsnEventQueryController : public EQ_QueryController {
    Q_OBJECT
public:
    // The past week in the box is the search of the catalogue entries that need no form.
    enum searchKind { globalSearch = 0, boxSearch = 1, annulusSearch = 2, pastWeekSearch = 3 };

    explicit fdsnEventQueryController(QObject* parent = nullptr);

    const QString& alertMessage() const { return alertMessage_; }
    void setAlertMessage(const QString& v) { alertMessage_ = v; }
    // Kept as part of the controller's published face; no search reads it.
    const QString& myURL() const { return myURL_; }
    void setMyURL(const QString& v) { myURL_ = v; }
    // 0 global, 1 box, 2 ring around (minLatitude, minLongitude), 3 the past week in the box.
    int searchType() const { return searchType_; }
    void setSearchType(int type) { searchType_ = type; }
    // The service the searches ask: a name of serviceEndpoints::fdsnEventServices ("usgs", the
    // default) or an http(s) address. Anything else is refused (false) and changes nothing.
    const QString& service() const { return service_; }
    bool setService(const QString& choice);

    QUrl buildGlobalSearchURL() const;
    QUrl buildBoxSearchURL() const;
    QUrl buildAnnulusSearchURL() const;
    // The week before clock() in the box, with the full FDSN key names; no endtime, so that the
    // service's own "now" ends it.
    QUrl buildPastWeekSearchURL() const;
    // "Now" for the past week; the current time unless a test sets another.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    // Downloads and reads the search of searchType; none when the search type is unknown or
    // the download fails.
    std::optional<originList> parse_events_from_text();
    // The search of searchType; empty for an unknown search type.
    QUrl requestURL() const override;
    QVRResult<parsedOrigins> parseOrigins(const QByteArray& answer) const override;
    bool emptyAnswerMeansNoEvents() const override;
    static parsedOrigins readFDSNEventText(const QByteArray& text);
    // The service's text answer as origins, in answer order.
    static originList parseFDSNEventText(const QByteArray& text);

    // The search result becomes seismicOrigins (empty after a failure); true when it holds
    // at least one origin.
    bool loadEvents() override;

protected:
    QString summaryHeading() const override;
    const char* summaryOpening() const override;

private:
    QString sharedQuery(const char* magnitudeKeys) const;

    QString service_ = QStringLiteral("usgs");
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTimeUtc(); };
    QString alertMessage_;
    QString myURL_;
    int searchType_ = globalSearch;
};
