#pragma once

#include "EQ_QueryController.h"

#include <optional>

// The recent-events table of the Italian national seismic network (INGV): the event page is
// downloaded and its "table_events" rows read into origins within the Italian box.
class INGV_QueryController : public EQ_QueryController {
    Q_OBJECT
public:
    explicit INGV_QueryController(QObject* parent = nullptr);

    const QString& alertMessage() const { return alertMessage_; }
    void setAlertMessage(const QString& v) { alertMessage_ = v; }
    // The event page's address.
    const QString& myURL() const { return myURL_; }
    void setMyURL(const QString& v) { myURL_ = v; }

    // Downloads and reads the event page; none after a failure.
    std::optional<originList> scrape_IGNV_EQ_html();
    // The rows of a page's "table_events" tables that pass the magnitude and box limits.
    originList parseINGVPage(const QByteArray& html) const;
    QUrl requestURL() const override;
    QVRResult<parsedOrigins> parseOrigins(const QByteArray& answer) const override;

    // The result becomes seismicOrigins (empty after a failure); true when it holds origins.
    bool loadEvents() override;

protected:
    const char* downloadFailureMessage() const override;
    QString summaryHeading() const override;
    const char* summaryOpening() const override;

private:
    QString alertMessage_;
    QString myURL_;
};
