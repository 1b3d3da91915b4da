#pragma once

#include "qvrfoundation_export.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QTimeZone>

// Formats and reads dates with Unicode (ICU/CLDR) date patterns, the pattern language of the
// catalogue services and of every date text Quorvel writes. These are not Qt's patterns: here
// "zzz" is a zone name, "SSS" milliseconds, "EEEE" a weekday name and "YYYY" the week-based
// year. Month and weekday names are always English, whatever the user's locale.
//
// Supported fields: G y Y M L d D E e c a h H k K m s S A w z Z O X x; text in single quotes
// is literal and '' is a quote. Any other ASCII letter stands for itself.
class QVRFOUNDATION_EXPORT QVRDateFormatter {
public:
    // No pattern yet; the zone is the process default zone at construction.
    QVRDateFormatter();
    explicit QVRDateFormatter(const QString& pattern);
    QVRDateFormatter(const QString& pattern, const QTimeZone& zone);

    const QString& dateFormat() const { return pattern_; }
    void setDateFormat(const QString& pattern);

    const QTimeZone& timeZone() const { return zone_; }
    void setTimeZone(const QTimeZone& zone) { zone_ = zone; }

    // The date as text in the formatter's zone; empty text for an invalid date.
    QString stringFromDate(const QDateTime& date) const;

    // The date the whole of `text` names, in UTC; an invalid date when the text does not match
    // the pattern completely or names a day or time that does not exist.
    QDateTime dateFromString(QStringView text) const;

    // The standard text of an instant, "yyyy-MM-dd HH:mm:ss +0000" in UTC, as origin times
    // appear in tables, descriptions and the clipboard; "(null)" for an absent date.
    static QString standardDescription(const QDateTime& date);

private:
    struct Token {
        char16_t letter = 0; // 0 for literal text
        int count = 0;
        QString literal;
    };

    static QList<Token> tokenize(const QString& pattern);
    void appendField(QString& out, const Token& token, const QDateTime& local) const;

    QString pattern_;
    QTimeZone zone_;
    QList<Token> tokens_;
};
