#include "QVRDateComponents.h"

#include <cstdint>

namespace {

int64_t floorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

int valueOr(int field, int fallback) {
    return field == QVRDateComponents::undefined ? fallback : field;
}

} // namespace

QDateTime QVRDateComponents::dateInTimeZone(const QTimeZone& zone) const {
    // Carry months into years first, so that the first of the month always exists.
    const int64_t monthIndex = int64_t(valueOr(month, 1)) - 1;
    int64_t y = int64_t(valueOr(year, 1)) + floorDiv(monthIndex, 12);
    const int m = int(monthIndex - floorDiv(monthIndex, 12) * 12) + 1;
    // Astronomical year 0 is 1 BC, which QDate calls -1.
    if (y <= 0)
        y -= 1;
    if (y < -1000000 || y > 1000000)
        return {};
    QDate date(int(y), m, 1);
    if (!date.isValid())
        return {};

    const int64_t nanos = nanosecond == undefined ? 0 : nanosecond;
    const int64_t msecs = int64_t(valueOr(hour, 0)) * 3600000 +
                          int64_t(valueOr(minute, 0)) * 60000 + int64_t(valueOr(second, 0)) * 1000 +
                          nanos / 1000000;
    const int64_t dayCarry = floorDiv(msecs, 86400000);
    const int64_t msecOfDay = msecs - dayCarry * 86400000;
    date = date.addDays(int64_t(valueOr(day, 1)) - 1 + dayCarry);
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(msecOfDay)), zone);
}

QVRDateComponents QVRDateComponents::fromDate(const QDateTime& date, const QTimeZone& zone) {
    QVRDateComponents c;
    if (!date.isValid())
        return c;
    const QDateTime local = date.toTimeZone(zone);
    const QDate d = local.date();
    const QTime t = local.time();
    c.year = d.year() < 0 ? d.year() + 1 : d.year();
    c.month = d.month();
    c.day = d.day();
    c.hour = t.hour();
    c.minute = t.minute();
    c.second = t.second();
    c.nanosecond = t.msec() * 1000000;
    return c;
}
