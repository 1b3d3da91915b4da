#pragma once

#include "SacObject.h"
#include "qvr_graphics_export.h"
#include "tracePath.h"

#include <QPainter>
#include <QPolygonF>
#include <QTransform>

// The line points of one trace (tracePath::tracePoints()) kept between draws. A window draws
// the same picture again whenever it is uncovered, and reading every sample each time is most
// of such a frame: while the seismogram, its samples and everything that places them (mapping,
// edges, device and its transform) stay the same, the points of the last draw serve again.
// Points for vector devices (PDF) are not kept: a PDF is drawn once, with every sample.
class QVR_GRAPHICS_EXPORT keptTracePoints {
public:
    // The points of `seismogram`'s samples from `first` on, placed by `mapping` and visited
    // between `left` and `right` (view points) on `painter`'s device; `unchanged` is cleared
    // when they are not the ones kept. The reference is good until the next call.
    const QPolygonF& pointsOf(const SacObject& seismogram, int first,
                              const tracePath::sampleMapping& mapping, const QPainter& painter,
                              double left, double right, bool& unchanged);
    // Forgets the points, so that the next call reads the samples again.
    void drop() { valid_ = false; }

private:
    // What tracePoints() was given; equal inputs give equal points.
    struct inputs {
        const SacObject* seismogram = nullptr;
        const float* samples = nullptr;
        int count = 0, first = 0;
        double x0 = 0, dx = 0, y0 = 0, dy = 0;
        double left = 0, right = 0;
        QTransform device;
        bool operator==(const inputs& other) const = default;
    };
    bool valid_ = false;
    inputs inputs_;
    QPolygonF points_;
};
