#include "QVRCircleStamps.h"

#include <QPaintDevice>

#include <cmath>

void QVRCircleStamps::begin(QPainter& painter) {
    painter_ = &painter;
    const int type = painter.device()->devType();
    pixels_ = type == QInternal::Image || type == QInternal::Widget || type == QInternal::Pixmap;
    painter.save();
    if (pixels_) {
        // Stamps go to device pixels; circles look the same the right way up or flipped.
        toDevice_ = painter.worldTransform();
        painter.setWorldTransform(QTransform()); // the clip stays where it was set
    }
}

void QVRCircleStamps::circle(QPointF centre, double radius, const QColor& fill,
                             const QColor& outline) {
    if (!painter_ || !(radius > 0) || !std::isfinite(radius))
        return;
    if (!pixels_) {
        painter_->setPen(QPen(outline, 1.0));
        painter_->setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
        painter_->drawEllipse(centre, radius, radius);
        return;
    }
    const QImage& picture = stamp(fill, outline, radius);
    const QPointF at = toDevice_.map(centre);
    painter_->drawImage(QPointF(std::round(at.x() - picture.width() / 2.0),
                                std::round(at.y() - picture.height() / 2.0)),
                        picture);
}

void QVRCircleStamps::finish() {
    if (painter_)
        painter_->restore();
    painter_ = nullptr;
}

const QImage& QVRCircleStamps::stamp(const QColor& fill, const QColor& outline, double radius) {
    // Radii are kept to a quarter point (and to a sane size); the picture is centred.
    const double r = std::min(std::round(radius * 4) / 4, 2000.0);
    const QPair<quint64, int> key((quint64(fill.isValid() ? fill.rgba() : 0u) << 32) |
                                      outline.rgba(),
                                  int(r * 4) * 2 + (fill.isValid() ? 1 : 0));
    auto found = stamps_.constFind(key);
    if (found != stamps_.constEnd())
        return *found;
    const int side = int(std::ceil(2 * r)) + 3;
    QImage picture(side, side, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(outline, 1.0));
        p.setBrush(fill.isValid() ? QBrush(fill) : QBrush(Qt::NoBrush));
        p.drawEllipse(QPointF(side / 2.0, side / 2.0), r, r);
    }
    if (stamps_.size() > 4096)
        stamps_.clear(); // symbols change with every load; keep the cache small
    return *stamps_.insert(key, picture);
}
