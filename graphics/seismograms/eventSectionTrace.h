#pragma once

#include "QVRResult.h"
#include "SacObject.h"
#include "qvr_graphics_export.h"

#include <QString>

#include <memory>

// A seismogram as an event record section places it: at its distance from the event, on a
// time axis that starts at the event's origin.
struct QVR_GRAPHICS_EXPORT eventSectionTrace {
    std::shared_ptr<SacObject> seismogram;
    int index = -1;              // in the list the section was given
    double distance = 0;         // ° from the event: gcarc, or worked out from the coordinates
    double beginAfterOrigin = 0; // s: b − o, where the first sample lies after the origin
    // The samples' mean, drawn at the distance, and their largest departure from it, which the
    // gain scales.
    double mean = 0, peak = 0;
    QString label; // the station code, with the component when the header has one

    // The trace of `seismogram`, entry `index` of a section's list, or why a section cannot
    // show it: no samples, no event coordinates (evla, evlo), no origin time (o), or no
    // distance (gcarc, or stla and stlo to work it out from).
    static QVRResult<eventSectionTrace> of(const std::shared_ptr<SacObject>& seismogram, int index);
    // Seconds after the origin of sample `k`.
    double timeOfSample(double k) const;
    // The sample nearest `secondsAfterOrigin`; −1 outside the record.
    int sampleAt(double secondsAfterOrigin) const;
    // The origin time, from the reference time and o; invalid without a reference time.
    QDateTime originTime() const;
};
