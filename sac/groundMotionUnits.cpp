#include "groundMotionUnits.h"

#include <array>
#include <utility>

namespace groundMotionUnits {

namespace {

struct kind {
    int32_t type;
    const char16_t* units;
    const char16_t* title;
};

const std::array<kind, 3>& kinds() {
    static const std::array<kind, 3> all = {{
        {displacement, u"m", u"Displacement (m)"},
        {velocity, u"m/s", u"Velocity (m/s)"},
        {acceleration, u"m/s²", u"Acceleration (m/s²)"},
    }};
    return all;
}

} // namespace

int32_t dependentType(const QString& readableUnits) {
    for (const kind& k : kinds()) {
        if (readableUnits == QStringView(k.units))
            return k.type;
    }
    return unknown;
}

namespace {

const kind* kindOf(const SacHeader* header) {
    if (header) {
        for (const kind& k : kinds()) {
            if (header->idep == k.type)
                return &k;
        }
    }
    return nullptr;
}

} // namespace

QString units(const SacHeader* header) {
    const kind* k = kindOf(header);
    return k ? QString::fromUtf16(k->units) : QStringLiteral("Counts");
}

QString amplitudeTitle(const SacHeader* header) {
    const kind* k = kindOf(header);
    return k ? QString::fromUtf16(k->title) : QStringLiteral("Counts");
}

} // namespace groundMotionUnits
