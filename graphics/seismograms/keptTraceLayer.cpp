#include "keptTraceLayer.h"

#include "tracePath.h"

#include <QPaintDevice>

bool keptTraceLayer::serves(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    return device && tracePath::drawsPixels(painter) && device->devicePixelRatio() == 1 &&
           painter.deviceTransform().type() <= QTransform::TxScale;
}

void keptTraceLayer::layOn(QPainter& painter, bool unchanged,
                           const std::function<void(QPainter&)>& stroke) {
    const QPaintDevice* device = painter.device();
    const QSize size(device->width(), device->height());
    const QTransform world = painter.worldTransform();
    if (!unchanged || image_.size() != size || transform_ != world ||
        hints_ != painter.renderHints()) {
        image_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        image_.fill(Qt::transparent);
        QPainter layer(&image_);
        layer.setRenderHints(painter.renderHints());
        layer.setTransform(world);
        stroke(layer);
        transform_ = world;
        hints_ = painter.renderHints();
    }
    // The layer holds device pixels.
    painter.save();
    painter.resetTransform();
    painter.drawImage(0, 0, image_);
    painter.restore();
}
