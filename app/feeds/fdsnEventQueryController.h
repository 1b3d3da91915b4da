#pragma once

#include "EQ_QueryController.h"

#include <QUrl>

// Searches an FDSN event web service for historical earthquakes over the whole globe, in a
// latitude/longitude box, or in a ring of great-circle radii around a point, and reads its
// pipe-separated text answer.
class fdsnEventQueryController : public EQ_QueryController {
    Q_OBJECT
public:
    enum searchKind { globalSearch = 0, boxSearch = 1, annulusSearch = 2 };

    explicit fdsnEventQueryController(QObject* parent = nullptr);

    const QString& alertMessage() const { return alertMessage_; }
    void setAlertMessage(const QString& v) { alertMessage_ = v; }
    // Kept as part of the controller's published face; no search reads it.
    const QString& myURL() const { return myURL_; }
    void setMyURL(const QString& v) { myURL_ = v; }
    // 0 global, 1 box, 2 ring around (minLatitude, minLongitude).
    int searchType() const { return searchType_; }
    void setSearchType(int type) { searchType_ = type; }

    QUrl buildGlobalSearchURL() const;
    QUrl buildBoxSearchURL() const;
    QUrl buildAnnulusSearchURL() const;

    // Downloads and reads the search of searchType; none when the search type is unknown or
    // the download fails.
    std::optional<originList> parse_events_from_text();
    // The search of searchType; empty for an unknown search type.
    QUrl requestURL() const override;
    QVRResult<parsedOrigins> parseOrigins(const QByteArray& answer) const override;
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

    QString alertMessage_;
    QString myURL_;
    int searchType_ = globalSearch;
};
