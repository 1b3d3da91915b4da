#pragma once

#include "QVRRealTimeDisplayView02.h"
#include "SacObject.h"
#include "seismicOrigin.h"

#include <QDateTime>
#include <QList>

#include <memory>

// What the live display shows of a load: every seismogram placed by its absolute start time in
// a window that ends at `end`, on one time axis in seconds from the window's start, and the
// earthquakes to mark. Used by the Live Seismograms window and by the command line alike.
namespace liveTraces {

struct window {
    QDateTime end;    // the reference moment, the right edge of the display
    double seconds{}; // the window's length
};

// The window a request asks for: `duration` minutes from `start`, or up to `start` when the
// duration is negative; when `live`, the window ends at `now`.
window requestedWindow(const QDateTime& start, double durationMinutes, bool live,
                       const QDateTime& now);

// Copies of `seismograms` with their begin times moved onto the window's axis; with
// `normalise` each copy's largest absolute sample becomes 1. A seismogram without a reference
// time cannot be placed and is left out.
SeisView01::seismogramList placedInWindow(const QList<std::shared_ptr<SacObject>>& seismograms,
                                          const window& w, bool normalise);

// Sets the view's window (which a zoomed view keeps to its moments), limits and traces: the
// amplitude of one band is ±1 when normalised, else ± the largest absolute sample of all traces.
// The window starts at `windowStart` on the traces' time axis, and `bands` gives each trace's band
// (several pieces of one stream share one); none gives each trace a band of its own.
void showInView(QVRRealTimeDisplayView02& view, const SeisView01::seismogramList& placed,
                const window& w, bool normalise, double windowStart = 0,
                const QList<int>& bands = {});

// The visible origins as earthquakes the view can mark.
QVRRealTimeDisplayView02::earthquakeList earthquakesToMark(const originList& origins);

} // namespace liveTraces
