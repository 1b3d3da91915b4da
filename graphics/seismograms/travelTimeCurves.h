#pragma once

#include "qvr_graphics_export.h"
#include "travelTimeCalculator.h"

#include <QPointF>
#include <QString>
#include <QStringList>

#include <vector>

// One branch of a phase's travel-time curve: the rays of one phase whose times join up
// smoothly from one distance to the next.
struct travelTimeBranch {
    // The phase chosen, as asked for; its rays may carry another name: P and S include the rays
    // that leave a buried source upward ("p", "s").
    QString phase;
    QString rays;
    std::vector<QPointF> points; // (distance °, time s after the origin), distance increasing
};

// The travel-time curves a record section draws over its traces.
namespace travelTimeCurves {

// The branches of `phases` for a source at `depth` km, from the calculator's arrivals at
// `samples` evenly spaced distances from `from` to `to` degrees. An arrival continues the
// branch of its rays whose time, carried on along its slope (the ray parameter), comes
// nearest, within a second and a second per degree of step; any other starts a branch. Every
// branch has two points at least. None for a depth or range the calculator has no times for.
QVR_GRAPHICS_EXPORT std::vector<travelTimeBranch> branches(const travelTimeCalculator& calculator,
                                                           double depth, double from, double to,
                                                           const QStringList& phases, int samples);

} // namespace travelTimeCurves
