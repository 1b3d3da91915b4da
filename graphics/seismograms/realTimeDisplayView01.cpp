#include "realTimeDisplayView01.h"

#include "QVRDateFormatter.h"
#include "timeZones.h"

realTimeDisplayView01::realTimeDisplayView01(QWidget* parent)
    : QVRRealTimeDisplayView02(parent) {}

realTimeDisplayView01::referenceTexts
realTimeDisplayView01::referenceDateTexts(const QDateTime& date) const {
    // The "UTC" line is written in the date's own zone, like the date: give this view dates
    // in UTC.
    const QTimeZone own = date.timeZone();
    return {QVRDateFormatter(QStringLiteral("dd MMMM, yyyy"), own).stringFromDate(date),
            QVRDateFormatter(QStringLiteral("HH:mm:ss 'UTC'"), own).stringFromDate(date),
            QVRDateFormatter(QStringLiteral("hh:mm:ss a"), timeZones::systemTimeZone())
                .stringFromDate(date)};
}
