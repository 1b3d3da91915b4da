#pragma once

#include "qvrfoundation_export.h"

#include <QDateTime>
#include <QTimeZone>

#include <limits>

// A broken-down point in time, as a calendar hands it out: each field may be left undefined.
// Resolving is lenient, like a calendar's: a month of 13 is January of the next year, a second
// of 60 the first second of the next minute.
struct QVRFOUNDATION_EXPORT QVRDateComponents {
    static constexpr int undefined = std::numeric_limits<int>::max();

    int year = undefined;
    int month = undefined;
    int day = undefined;
    int hour = undefined;
    int minute = undefined;
    int second = undefined;
    int nanosecond = undefined;

    bool operator==(const QVRDateComponents&) const = default;

    // The instant these components name in the Gregorian calendar of `zone`. Undefined fields
    // count as year 1, month 1, day 1 and zero time.
    QDateTime dateInTimeZone(const QTimeZone& zone) const;

    // The components of `date` in the Gregorian calendar of `zone`, every field defined.
    static QVRDateComponents fromDate(const QDateTime& date, const QTimeZone& zone);
};
