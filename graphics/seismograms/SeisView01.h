#pragma once

#include "QVRView.h"
#include "SacObject.h"
#include "qvr_graphics_export.h"

#include <QList>

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
    void setWvfrmsArray(const seismogramList& seismograms) { wvfrmsArray_ = seismograms; }
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

private:
    seismogramList wvfrmsArray_;
    bool fillNegative_ = false;
    bool fillPositive_ = false;
    bool drawsEverySample_ = false;
};
