#include "keptTracePoints.h"

const QPolygonF& keptTracePoints::pointsOf(const SacObject& seismogram, int first,
                                           const tracePath::sampleMapping& mapping,
                                           const QPainter& painter, double left, double right,
                                           bool& unchanged) {
    const inputs now{&seismogram,
                     seismogram.GetSacSeis(),
                     seismogram.npts(),
                     first,
                     mapping.x0,
                     mapping.dx,
                     mapping.y0,
                     mapping.dy,
                     left,
                     right,
                     painter.deviceTransform()};
    const bool pixels = tracePath::drawsPixels(painter);
    if (valid_ && pixels && inputs_ == now)
        return points_;
    unchanged = false;
    points_ = tracePath::tracePoints(now.samples, now.count, first, mapping, painter, left, right);
    inputs_ = now;
    valid_ = pixels;
    return points_;
}
