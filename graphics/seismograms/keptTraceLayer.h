#pragma once

#include "qvr_graphics_export.h"

#include <QImage>
#include <QPainter>
#include <QTransform>

#include <functional>

// The strokes of a view's traces kept between draws as a transparent layer of device pixels.
// With their points kept, what remains of an unchanged frame is the raster engine stroking
// tens of thousands of antialiased segments; laying a kept layer on costs one image blend.
// The layer is stroked as the device would be, with the same transform and render hints, and
// matches stroking straight onto the page to within a few levels of 255 where antialiased
// edges overlap.
class QVR_GRAPHICS_EXPORT keptTraceLayer {
public:
    // Whether `painter`'s device can take a layer: pixels at one per point, the transform no
    // more than a scale and a shift. Anything else (a PDF, a turned or high-density device) is
    // stroked directly.
    static bool serves(const QPainter& painter);
    // Lays the layer on `painter`'s device, having `stroke` draw it anew first unless the one
    // kept was drawn for the same device size, transform and render hints and the strokes are
    // `unchanged`. `stroke` gets a painter set up as `painter` is.
    void layOn(QPainter& painter, bool unchanged, const std::function<void(QPainter&)>& stroke);
    // Forgets the layer.
    void drop() { image_ = QImage(); }

private:
    QImage image_;
    QTransform transform_;
    QPainter::RenderHints hints_;
};
