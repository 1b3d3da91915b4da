#include "monthdate.h"

namespace {
bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}
} // namespace

int monthdate(int year, int doy, int* month, int* day) {
    static constexpr int daysInMonth[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int daysInYear = isLeapYear(year) ? 366 : 365;
    if (doy < 1 || doy > daysInYear || !month || !day)
        return -1;
    int remaining = doy;
    for (int m = 0; m < 12; ++m) {
        const int length = daysInMonth[m] + (m == 1 && isLeapYear(year) ? 1 : 0);
        if (remaining <= length) {
            *month = m + 1;
            *day = remaining;
            return 0;
        }
        remaining -= length;
    }
    return -1;
}
