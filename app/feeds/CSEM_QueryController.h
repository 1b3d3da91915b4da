#pragma once

#include "EQ_QueryController.h"

#include <optional>

// The earthquake list of the European-Mediterranean Seismological Centre (EMSC) for a fixed
// Euro-Mediterranean window, read from its semicolon-separated export.
class CSEM_QueryController : public EQ_QueryController {
    Q_OBJECT
public:
    explicit CSEM_QueryController(QObject* parent = nullptr);

    const QString& alertMessage() const { return alertMessage_; }
    void setAlertMessage(const QString& v) { alertMessage_ = v; }
    // Kept as part of the controller's published face; the export is read from exportURL().
    const QString& myURL() const { return myURL_; }
    void setMyURL(const QString& v) { myURL_ = v; }

    // The address the export is read from: latitudes 30 to 65, longitudes −15 to 45.
    static QUrl exportURL();

    // Downloads and reads the export as it stands now; none after a failure.
    std::optional<originList> scrape_CSEM_EQ_html();
    // Lines of 12 fields within the magnitude limits and newer than `now` minus 7 days.
    originList parseEMSCExport(const QByteArray& text, const QDateTime& now) const;
    parsedOrigins readEMSCExport(const QByteArray& text, const QDateTime& now) const;
    QUrl requestURL() const override;
    // The export as it stands now: the 7 days end at the present moment.
    QVRResult<parsedOrigins> parseOrigins(const QByteArray& answer) const override;

    bool loadEvents() override;

protected:
    const char* downloadFailureMessage() const override;
    QString summaryHeading() const override;
    const char* summaryOpening() const override;

private:
    QString alertMessage_;
    QString myURL_;
};
