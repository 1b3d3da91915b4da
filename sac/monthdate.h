#pragma once

#include "qvrsac_export.h"

// Month and day of month of day-of-year `doy` (1 = 1 January) in Gregorian year `year`.
// Returns 0 on success, -1 when `doy` is outside the year (the outputs are then untouched).
extern "C" QVRSAC_EXPORT int monthdate(int year, int doy, int* month, int* day);
