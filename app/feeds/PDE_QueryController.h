#pragma once

#include "EQ_QueryController.h"

#include <optional>

// Searches the Preliminary Determination of Epicenters (PDE) through the NEIC search form. The
// answer is an HTML page whose preformatted block holds one event per line in the fixed-column
// compressed PDE layout.
class PDE_QueryController : public EQ_QueryController {
    Q_OBJECT
public:
    explicit PDE_QueryController(QObject* parent = nullptr);

    const QString& alertMessage() const { return alertMessage_; }
    void setAlertMessage(const QString& v) { alertMessage_ = v; }
    // Kept as part of the controller's published face; no search reads it.
    const QString& myURL() const { return myURL_; }
    void setMyURL(const QString& v) { myURL_ = v; }

    QUrl buildGlobalSearchURL() const;
    QUrl buildBoxSearchURL() const;

    // Searches with the box when it spans 180° of longitude or less, else the whole globe;
    // none after a failure.
    std::optional<originList> parse_PDE_Compressed_EQ_html();
    // The event lines of a result page's first "pre" block.
    static originList parsePDEResultPage(const QByteArray& html);
    // A text file of result lines (its first line is a heading); none when it cannot be read.
    static std::optional<originList> parse_PDE_Compressed_EQ_FromPath(const QString& path);
    // Lines of at least 116 characters, after the first line.
    static originList parsePDELines(const QString& text);
    static parsedOrigins readPDELines(const QString& text);
    static parsedOrigins readPDEResultPage(const QByteArray& html);
    // The box search when it spans 180° of longitude or less, else the global one.
    QUrl requestURL() const override;
    QVRResult<parsedOrigins> parseOrigins(const QByteArray& answer) const override;

    bool loadEvents() override;

protected:
    const char* downloadFailureMessage() const override;
    QString summaryHeading() const override;
    const char* summaryOpening() const override;

private:
    QString searchTail() const;

    QString alertMessage_;
    QString myURL_;
};
