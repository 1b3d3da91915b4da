#pragma once

#include "QVRView.h"
#include "SacObject.h"
#include "qvr_graphics_export.h"
#include "seismogramCursor.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <memory>

// A record section: seismograms stacked in equal horizontal slots on one time axis, the first
// in the lowest slot, each labelled with its station, network, component, distance and
// azimuth, with the picks of its header marked and named.
class QVR_GRAPHICS_EXPORT MultiSeisView : public QVRView, public seismogramCursor {
    Q_OBJECT
public:
    // The view only reads the seismograms; the list shares them with whoever loaded them.
    using seismogramList = QList<std::shared_ptr<const SacObject>>;

    explicit MultiSeisView(QWidget* parent = nullptr);

    const seismogramList& wvfrmsArray() const { return wvfrmsArray_; }
    void setWvfrmsArray(const seismogramList& seismograms) { wvfrmsArray_ = seismograms; }
    // Stored for callers that keep them; the section shades nothing.
    bool fillNegative() const { return fillNegative_; }
    void setFillNegative(bool on) { fillNegative_ = on; }
    bool fillPositive() const { return fillPositive_; }
    void setFillPositive(bool on) { fillPositive_ = on; }
    // A dotted line along each slot's baseline.
    bool showZeroLine() const { return showZeroLine_; }
    void setShowZeroLine(bool on) { showZeroLine_ = on; }
    // The peak amplitude reaches 1/plotGainFactor of a slot height above its baseline.
    float plotGainFactor() const { return plotGainFactor_; }
    void setPlotGainFactor(float gain) { plotGainFactor_ = gain; }

    // pRect = iRect = the bounds less 20 left and right, 60 bottom, 40 top.
    void computeRects() override;
    // Time limits from the earliest begin to the latest end, amplitude limits from the
    // extremes (or ±minYRange when that is larger than both) widened by 5 % of the
    // whole-number amplitude range. Only a fixed time range (a zoom) is kept: a section always
    // shows all of its records across the amplitude.
    void computePlotLimits();
    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;

    // The first-arrival time `a` of every trace as a red line across the middle of its slot;
    // drawn over everything else.
    void drawPicks();
    // Origin, first arrival, final time and the ten user picks of `seismogram`, in the slot
    // rectangle `slot` (the baseline runs through its middle).
    void drawPicks(const QRectF& slot, const SacObject* seismogram);
    // A vertical mark at `time` from the slot's baseline to 0.3 of the slot's height above it.
    void drawPickForRect(const QRectF& slot, float time);
    void drawPickLabelForRect(const QRectF& slot, const QString& label, float time);

    // "ANMO IU BHZ (45.20) (123.40)": station, network, component, distance and azimuth, each
    // left out where the header leaves it undefined.
    static QString traceLabel(const SacObject& seismogram);

    // The baseline of trace `index` of `count` in the plot rectangle, y up.
    double baselineOf(int index, int count) const;
    // What trace `index` of `count` is clipped to: from the baseline of the trace below to
    // that of the trace above, or to the plot's edge where there is none.
    QRectF traceClipRect(int index, int count) const;

    // From the earliest begin to the latest end.
    std::pair<float, float> wholeRecordXLimits() const override;
    // The trace of the slot under the pointer.
    std::optional<seismogramReading> readingAt(QPointF viewPoint) const override;

private:
    bool drawsTime(float time) const;
    double xForTime(const QRectF& rect, float time) const;

    seismogramList wvfrmsArray_;
    bool fillNegative_ = false;
    bool fillPositive_ = false;
    bool showZeroLine_ = false;
    float plotGainFactor_ = 1.5f;
};
