#pragma once

#include "qvrfoundation_export.h"

#include <QTimeZone>

// The process default time zone. The program makes UTC the default at start-up, so every date
// text that names no zone is UTC; the computer's own zone stays available for the few texts
// that speak of local time.
namespace timeZones {

// The zone date formatters start with: the system zone until makeUTCTheDefault() runs.
QVRFOUNDATION_EXPORT QTimeZone defaultTimeZone();

// Called once at start-up by the program (and by test mains).
QVRFOUNDATION_EXPORT void makeUTCTheDefault();

// The computer's own zone, whatever the default is.
QVRFOUNDATION_EXPORT QTimeZone systemTimeZone();

QVRFOUNDATION_EXPORT QTimeZone utc();

} // namespace timeZones
