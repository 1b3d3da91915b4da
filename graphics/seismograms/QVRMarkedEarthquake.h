#pragma once

#include "qvr_graphics_export.h"

#include <QDateTime>

// An earthquake a seismogram view marks at its origin time. The views only ask; the
// application adapts its own origin records to this.
class QVR_GRAPHICS_EXPORT QVRMarkedEarthquake {
public:
    virtual ~QVRMarkedEarthquake() = default;

    virtual float magnitude() const = 0;
    // The origin time as the record holds it at the moment of asking: a record may have been
    // revised since the last draw, so implementations rebuild it rather than keep a copy.
    virtual QDateTime originTime() const = 0;
};
