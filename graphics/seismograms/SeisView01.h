#pragma once

#include "QVRView.h"
#include "SacObject.h"
#include "qvr_graphics_export.h"
#include "tracePath.h"

#include <QList>
#include <QPolygonF>
#include <QTransform>

#include <memory>

// Seismograms overlaid on one pair of time and amplitude axes, each placed by its own begin
// time: the simplest seismogram view, and the base of the real-time displays, which share its
// trace list and fill flags.
class QVR_GRAPHICS_EXPORT SeisView01 : public QVRView {
    Q_OBJECT
public:
    // The view only reads the seismograms; the list shares them with whoever loaded them.
    using seismogramList = QList<std::shared_ptr<const SacObject>>;

    explicit SeisView01(QWidget* parent = nullptr);

    const seismogramList& wvfrmsArray() const { return wvfrmsArray_; }
    void setWvfrmsArray(const seismogramList& seismograms);
    // Kept for subclasses; this view shades nothing below zero.
    bool fillNegative() const { return fillNegative_; }
    void setFillNegative(bool on) { fillNegative_ = on; }
    // Shade the area the trace path encloses in light grey before stroking it.
    bool fillPositive() const { return fillPositive_; }
    void setFillPositive(bool on) { fillPositive_ = on; }
    // Where many samples share a pixel column only the column's envelope is drawn, which
    // looks the same and is much faster; this draws every sample all the same.
    bool drawsEverySample() const { return drawsEverySample_; }
    void setDrawsEverySample(bool on) { drawsEverySample_ = on; }

    // pRect = iRect = the bounds less 80 left, 40 right, 60 bottom, 40 top.
    void computeRects() override;
    // Time limits from the earliest begin to the latest end, amplitude limits from the
    // extremes (or ±minYRange when that is larger than both) widened by 5 % of the whole-number
    // amplitude range; a fixed axis keeps its limits.
    void computePlotLimits();
    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;

protected:
    static QColor gray();
    static QColor lightGray();

    // tracePath::tracePoints() for trace `index` of the list. A live display redraws the same
    // samples over and over, and reading every sample at every draw costs a third of the
    // frame: the points are kept from the last draw while the trace and everything that
    // places it (mapping, edges, device transform) stay the same. The reference is good until
    // the next call.
    const QPolygonF& tracePointsOf(int index, int first, const tracePath::sampleMapping& mapping,
                                   const QPainter& painter, double left, double right);

private:
    // What tracePoints() was given; equal inputs give equal points.
    struct tracePointsInputs {
        const SacObject* seismogram = nullptr;
        const float* samples = nullptr;
        int count = 0, first = 0;
        tracePath::sampleMapping mapping;
        double left = 0, right = 0;
        bool everySample = false, pixels = false;
        QTransform device;
        bool operator==(const tracePointsInputs& other) const;
    };
    struct keptPoints {
        bool valid = false;
        tracePointsInputs inputs;
        QPolygonF points;
    };

    seismogramList wvfrmsArray_;
    // One per trace of the list.
    QList<keptPoints> keptPoints_;
    QPolygonF unkeptPoints_;
    bool fillNegative_ = false;
    bool fillPositive_ = false;
    bool drawsEverySample_ = false;
};
