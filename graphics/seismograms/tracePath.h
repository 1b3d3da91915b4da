#pragma once

#include "qvr_graphics_export.h"

#include <QPainter>
#include <QPolygonF>

// Turns a seismogram's samples into a line, the one way every seismogram view does it.
//
// A trace of an hour at 40 Hz has 144,000 samples for perhaps 1,500 pixel columns. Where more
// than two samples fall on one pixel column, the line visits only each column's first, lowest,
// highest and last samples, in time order (the extremes twice where dozens share a column):
// that draws the column's minimum–maximum envelope and the join to the next column, which is
// all the eye can see, and the cost of stroking follows the width instead of the sample count.
// Short traces and vector devices (PDF, where a reader may zoom in) get every sample.
namespace tracePath {

// Where samples land in the view: sample k of value s lies at (x0 + k·dx, y0 + s·dy), view
// points, y up.
struct sampleMapping {
    double x0 = 0, dx = 1;
    double y0 = 0, dy = 1;
};

// The points of samples[first] … samples[count − 1], to be joined by lines. Only samples
// whose x lies between `left` and `right` are visited, with one more beyond each edge so the
// line reaches the edge; what lies further is outside the clip anyway. With `everySample` no
// sample is left out whatever the device. No points for an empty range or a mapping that is
// not finite.
QVR_GRAPHICS_EXPORT QPolygonF tracePoints(const float* samples, int count, int first,
                                          const sampleMapping& mapping, const QPainter& painter,
                                          double left, double right, bool everySample = false);

// True for devices made of pixels (images, pixmaps, widgets), where leaving out samples that
// share a pixel column cannot be seen.
QVR_GRAPHICS_EXPORT bool drawsPixels(const QPainter& painter);

} // namespace tracePath
