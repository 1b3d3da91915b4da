#pragma once

#include "QVRView.h"
#include "SacObject.h"
#include "qvr_graphics_export.h"
#include "seismogramCursor.h"
#include "tracePath.h"

#include <QDateTime>
#include <QList>
#include <QPolygonF>
#include <QTransform>

#include <memory>
#include <vector>

// Seismograms overlaid on one pair of time and amplitude axes, each placed by its own begin
// time: the simplest seismogram view, and the base of the real-time displays, which share its
// trace list and fill flags.
class QVR_GRAPHICS_EXPORT SeisView01 : public QVRView, public seismogramCursor {
    Q_OBJECT
public:
    // The view only reads the seismograms; the list shares them with whoever loaded them.
    using seismogramList = QList<std::shared_ptr<const SacObject>>;

    explicit SeisView01(QWidget* parent = nullptr);

    const seismogramList& wvfrmsArray() const { return wvfrmsArray_; }
    void setWvfrmsArray(const seismogramList& seismograms);
    // Every trace on one clock, counted from the earliest first sample of them all, rather
    // than each from its own file's reference time.
    bool commonClock() const { return commonClock_; }
    void setCommonClock(bool on);
    // Seconds added to trace `index`'s own times to place it on the view's time axis.
    double timeShift(int index) const;
    // The moment of time 0 on the common clock; invalid when each trace keeps its own.
    QDateTime clockStart() const;
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

    // From the earliest begin to the latest end, on the view's clock.
    std::pair<float, float> wholeRecordXLimits() const override;
    // The trace nearest the pointer in amplitude among those recording at its time.
    std::optional<seismogramReading> readingAt(QPointF viewPoint) const override;

protected:
    // What trace `index` reads at `axisTime` on the view's time axis.
    seismogramReading readingOfTrace(int index, double axisTime) const;
    // The time on the view's axis at view x.
    double axisTimeAt(double viewX) const;

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

    void placeOnClock();

    seismogramList wvfrmsArray_;
    bool commonClock_ = false;
    QDateTime clockStart_;
    std::vector<double> timeShifts_; // s, one per trace; empty when each keeps its own clock
    // One per trace of the list.
    QList<keptPoints> keptPoints_;
    QPolygonF unkeptPoints_;
    bool fillNegative_ = false;
    bool fillPositive_ = false;
    bool drawsEverySample_ = false;
};
