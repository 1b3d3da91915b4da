#pragma once

#include "qvr_graphics_export.h"

#include <QDateTime>
#include <QPointF>
#include <QString>

#include <optional>
#include <utility>

// What lies under the mouse in a seismogram view: the time, absolute and after the origin where
// the seismogram knows one, and the amplitude of the trace there.
struct seismogramReading {
    QDateTime utc; // to the millisecond
    std::optional<double> secondsAfterOrigin;
    std::optional<double> amplitude; // in the trace's units
    QString units;                   // "Counts" or the ground-motion unit
    int traceIndex = -1;             // into the view's seismograms; -1 off every trace
};

// What the viewer's zooming, panning, read-out and picking ask of a seismogram view. Zoom and
// pan change only the view's x limits (its time axis), so a PDF or PNG export shows what the
// screen shows.
class QVR_GRAPHICS_EXPORT seismogramCursor {
public:
    virtual ~seismogramCursor() = default;
    // The x limits that show the whole record: where Home and a double click return.
    virtual std::pair<float, float> wholeRecordXLimits() const = 0;
    // The reading at a point in the view's y-up coordinates; nothing outside the plot area.
    virtual std::optional<seismogramReading> readingAt(QPointF viewPoint) const = 0;
    // Sets pick `phase` ("P" or "S") on the trace under the point at the point's time; false
    // where the view takes no picks or no trace is there.
    virtual bool pickAt(QPointF viewPoint, const QString& phase) {
        (void)viewPoint;
        (void)phase;
        return false;
    }
};
