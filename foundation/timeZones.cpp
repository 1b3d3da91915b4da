#include "timeZones.h"

#include <atomic>

namespace timeZones {
namespace {
std::atomic<bool> utcIsDefault{false};
}

QTimeZone defaultTimeZone() {
    return utcIsDefault.load() ? utc() : systemTimeZone();
}

void makeUTCTheDefault() {
    utcIsDefault.store(true);
}

QTimeZone systemTimeZone() {
    return QTimeZone::systemTimeZone();
}

QTimeZone utc() {
    return QTimeZone::utc();
}

} // namespace timeZones
