#include "qvrFKImageView.h"

#include "colorScales.h"
#include "qvrGraphicsLogging.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <memory>

qvrFKImageView::qvrFKImageView(QWidget* parent)
    : QVRImageView(parent) {}

bool qvrFKImageView::setPowerGrid(std::vector<float> power, int rows, int columns) {
    return setupImageData(std::make_shared<std::vector<float>>(std::move(power)), rows, columns);
}

void qvrFKImageView::setSlownessLimits(float eastMin, float eastMax, float northMin,
                                       float northMax) {
    setXLimits(eastMin, eastMax);
    setYLimits(northMin, northMax);
    // The picture is placed by the limits it was loaded under; limits set afterwards move it.
    if (nr() > 0 && nc() > 0)
        setImageFrame(eastMin, eastMax, northMin, northMax, (eastMax - eastMin) / float(nc()),
                      (northMax - northMin) / float(nr()));
    update();
}

const std::vector<float>& qvrFKImageView::circleVelocities() {
    static const std::vector<float> velocities{32, 16, 8, 6, 4, 3, 2}; // km/s
    return velocities;
}

float qvrFKImageView::tickInterval(float xmin, float xmax) {
    // Measured from the middle of the axis (the largest slowness of limits centred on zero):
    // −0.15…0.15 s/km gets ticks every 0.025 s/km, twelve along the axis, not six.
    const float halfSpan = 0.5f * (xmax - xmin);
    if (halfSpan > 0.4f)
        return 0.1f;
    if (halfSpan > 0.2f)
        return 0.05f;
    return 0.025f;
}

void qvrFKImageView::computeScaleFactor() {
    const float range = maxValue() - minValue();
    setScaleFactor(range == 0 || !std::isfinite(range) ? 1.0f : range);
}

QColor qvrFKImageView::pixelColour(float value) const {
    float x = (value - minValue()) / scaleFactor();
    if (!std::isfinite(x))
        x = 0; // a power that is not a number shows as the lowest
    int r = 0, g = 0, b = 0, a = 1;
    getColorValues(x, nShades(), palette(), &r, &g, &b, &a);
    const QColor colour = shownColour(r, g, b);
    qCDebug(lcFKPixels, "%f %d %d %d", double(x), colour.red(), colour.green(), colour.blue());
    return colour;
}

void qvrFKImageView::setupNSImage() {
    QVRImageView::setupNSImage();
    if (anImage().isNull())
        return;
    // The picture holds its pixels and the view holds the picture, once each.
    qCDebug(lcPlot, "setupNSImage Retain Counts: iRep:%d image:%d", 1, 1);
}

void qvrFKImageView::computeRects() {
    const QRectF b = bounds();
    setPRect(QRectF(24, 60, b.width() - 48, b.height() - 80));
    const QRectF p = pRect();
    setIRect(showAxes() ? QRectF(p.x() + 40, p.y(), p.width() - 40, p.height()) : p);
}

QPointF qvrFKImageView::zeroSlownessPoint() const {
    const QRectF r = iRect();
    return QPointF(r.x() + (0 - xmin()) * r.width() / (xmax() - xmin()),
                   r.y() + (0 - ymin()) * r.height() / (ymax() - ymin()));
}

double qvrFKImageView::circleRadius(float velocity) const {
    // The east scale for both directions: round only when the axes share one scale.
    return (1.0 / velocity) * (iRect().width() / (xmax() - xmin()));
}

void qvrFKImageView::drawRect(QPainter& painter, const QRectF&) {
    computeRects();
    painter.save();
    painter.setPen(Qt::white);
    painter.setBrush(Qt::NoBrush);
    fillBounds();
    drawImage();
    drawAxes();
    drawPhaseVelocityCircles();
    drawZeroGrid();
    // A grid one node wide or high has no spacing to place its peak by.
    if (nr() > 1 && nc() > 1) {
        computeImagePeakLocation();
        drawMaxLocation();
    }
    painter.restore();
}

void qvrFKImageView::drawAxes() {
    if (!currentPainter() || xmax() == xmin() || ymax() == ymin())
        return;
    labelAttributes() = QVRTextAttributes::helvetica(18);
    drawAxisBox(labelAttributes(), tickInterval(xmin(), xmax()),
                QStringLiteral("East Slowness (s/km)"));
    drawRotatedString(QStringLiteral("North Slowness (s/km)"), 36,
                      float(pRect().y() + 0.5 * pRect().height()), 2, 2, 90);
    strokeAxisPath();
}

void qvrFKImageView::drawPhaseVelocityCircles() {
    QPainter* painter = currentPainter();
    if (!painter || xmax() == xmin() || ymax() == ymin())
        return;
    painter->save();
    painter->setClipRect(iRect());
    painter->setPen(QPen(Qt::black, 1.0));
    painter->setBrush(Qt::NoBrush);
    const QPointF centre = zeroSlownessPoint();
    for (float velocity : circleVelocities()) {
        const double radius = circleRadius(velocity);
        painter->drawEllipse(centre, radius, radius);
    }
    painter->restore();
}

void qvrFKImageView::drawZeroGrid() {
    QPainter* painter = currentPainter();
    if (!painter || xmax() == xmin() || ymax() == ymin())
        return;
    const QRectF r = iRect();
    const QPointF zero = zeroSlownessPoint();
    painter->save();
    painter->setPen(QPen(Qt::black, 1.0));
    if (zero.y() >= r.top() && zero.y() <= r.bottom())
        painter->drawLine(QPointF(r.left(), zero.y()), QPointF(r.right(), zero.y()));
    if (zero.x() >= r.left() && zero.x() <= r.right())
        painter->drawLine(QPointF(zero.x(), r.top()), QPointF(zero.x(), r.bottom()));
    painter->restore();
}

QImage qvrFKImageView::snapshotFromRect(const QRectF& rect) const {
    if (width() <= 0 || height() <= 0)
        return {};
    QImage image(size(), QImage::Format_RGB888);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        const_cast<qvrFKImageView*>(this)->renderInto(painter);
    }
    // The rectangle is y-up; the image's rows run downwards.
    const QRect rows(int(rect.x()), int(height() - rect.y() - rect.height()), int(rect.width()),
                     int(rect.height()));
    return rows == image.rect() ? image : image.copy(rows);
}

void qvrFKImageView::mousePressEvent(QMouseEvent* event) {
    if (event->modifiers() & Qt::ShiftModifier)
        QVRView::mousePressEvent(event);
}
