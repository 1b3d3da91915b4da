#include "seismogramPicks.h"

QString timePickLabel(const SacObject& seismogram, int key) {
    const QString label = seismogram.pickLabelWithKey(key);
    return label == QLatin1StringView("-12345") ? QString::asprintf("T%1d", key) : label;
}
