#pragma once

#include "QVRView.h"
#include "evenlySampledSignal.h"
#include "qvr_graphics_export.h"
#include "seismogramCursor.h"

#include <QDateTime>
#include <QList>
#include <QRectF>

#include <memory>

// Evenly sampled signals overlaid in one panel over a time axis in seconds, each labelled with
// its description, each from its own begin time. The first signal drawn fixes the amplitude range
// for the others until a client sets ymin and ymax again (equal values ask for a new one); the
// client sets the time limits before the first draw.
class QVR_GRAPHICS_EXPORT uniformTimeSeriesView : public QVRView, public seismogramCursor {
    Q_OBJECT
public:
    // The view shares the signals with whoever made them.
    using signalList = QList<std::shared_ptr<const evenlySampledSignal>>;

    explicit uniformTimeSeriesView(QWidget* parent = nullptr);

    const signalList& wvfrmArray() const { return wvfrmArray_; }
    void setWvfrmArray(const signalList& signals_) { wvfrmArray_ = signals_; }
    // The moment of time 0 on each signal's axis, in the order of the signals, where it is
    // known: the read-out then gives absolute times.
    const QList<QDateTime>& axisStarts() const { return axisStarts_; }
    void setAxisStarts(const QList<QDateTime>& starts) { axisStarts_ = starts; }
    // Kept for clients; drawing does not use it.
    float maxAmplitude() const { return maxAmplitude_; }
    void setMaxAmplitude(float amplitude) { maxAmplitude_ = amplitude; }

    // pRect = iRect = panelRect().
    void computeRects() override;
    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;
    // From the earliest first sample to the latest last one.
    std::pair<float, float> wholeRecordXLimits() const override;
    // The signal nearest the pointer in amplitude among those sampled at its time.
    std::optional<seismogramReading> readingAt(QPointF viewPoint) const override;
    // The panel the signals are drawn in: the bounds less 24 left, 12 right, 48 bottom, 12 top.
    QRectF panelRect() const;
    void drawsignal(const QRectF& rect, const evenlySampledSignal* signal);
    void drawLabelForSignal(const QRectF& rect, const evenlySampledSignal* signal);

private:
    signalList wvfrmArray_;
    QList<QDateTime> axisStarts_;
    float maxAmplitude_ = 0;
    qsizetype labelsDrawn_ = 0; // in the draw that is running
};
