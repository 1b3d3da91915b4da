#pragma once

#include "qvr_graphics_export.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPair>
#include <QTransform>

// Draws many filled, outlined circles quickly. On pixel devices (screen, images) each kind of
// circle is drawn once, antialiased, into a small picture that is then stamped: thousands of
// antialiased circles cost far more than as many small blits. Vector devices (PDF) get real
// circles. Use: begin(painter), circle(…) for each symbol, finish().
class QVR_GRAPHICS_EXPORT QVRCircleStamps {
public:
    void begin(QPainter& painter);
    // A circle centred on `centre` (view coordinates, as the painter had them at begin());
    // an invalid `fill` leaves it empty. The outline is one point wide.
    void circle(QPointF centre, double radius, const QColor& fill, const QColor& outline);
    void finish();

private:
    const QImage& stamp(const QColor& fill, const QColor& outline, double radius);

    QPainter* painter_ = nullptr;
    bool pixels_ = false;
    QTransform toDevice_;
    // (fill and outline colours, radius in quarter points) → picture
    QHash<QPair<quint64, int>, QImage> stamps_;
};
