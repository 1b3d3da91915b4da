#pragma once

#include <QDateTime>

// The dates a load gives the time line. An invalid date leaves the time line's own: a list
// that brought nothing names no start, and a search that never ran names neither.
struct timeLineDates {
    QDateTime start;
    QDateTime end;
};
