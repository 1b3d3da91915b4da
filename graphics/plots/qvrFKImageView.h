#pragma once

#include "QVRImageView.h"
#include "qvr_graphics_export.h"

#include <QPointF>

#include <vector>

// The beam power of an array analysis over horizontal slowness (x east, y north, s/km) as a
// colour picture, with circles of constant apparent velocity, cross-hairs through zero
// slowness and a marker on the power maximum. Power is not signed: values are spread over
// their own range on the shade scale, never made symmetric about zero.
class QVR_GRAPHICS_EXPORT qvrFKImageView : public QVRImageView {
    Q_OBJECT
public:
    explicit qvrFKImageView(QWidget* parent = nullptr);

    // --- what callers feed it
    // `power` holds rows × columns values, row 0 the largest north slowness, column 0 the
    // smallest east slowness; the grid nodes span the slowness limits edge to edge.
    bool setPowerGrid(std::vector<float> power, int rows, int columns);
    // The east (x) and north (y) slowness limits in s/km; a loaded grid is spread over them.
    void setSlownessLimits(float eastMin, float eastMax, float northMin, float northMax);

    // The apparent velocities (km/s) that get a circle, fastest first.
    static const std::vector<float>& circleVelocities();
    // The tick spacing (s/km) of both axes for east slowness limits `xmin`…`xmax`.
    static float tickInterval(float xmin, float xmax);
    // Zero slowness in view points, and the radius (points) of the circle of `velocity` km/s.
    QPointF zeroSlownessPoint() const;
    double circleRadius(float velocity) const;

    void computeScaleFactor() override;
    void setupNSImage() override;
    void computeRects() override;
    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;
    void drawAxes() override;
    void drawZeroGrid();
    void drawPhaseVelocityCircles();

    // The rectangle (y up) rendered off screen into an RGB image without alpha.
    QImage snapshotFromRect(const QRectF& rect) const override;

protected:
    QColor pixelColour(float value) const override;
    // Only a Shift-click does something (the drag-out); a plain click reports nothing.
    void mousePressEvent(QMouseEvent* event) override;
};
