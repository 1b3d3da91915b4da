#pragma once

#include "QVRView.h"
#include "evenlySampledSignal.h"
#include "qvr_graphics_export.h"

#include <QList>
#include <QRectF>

#include <memory>

// Evenly sampled signals overlaid in one panel over a time axis in seconds, each labelled with
// its description. The first signal drawn fixes the amplitude range for the others until a
// client sets ymin and ymax again (equal values ask for a new one); the client sets the time
// limits before the first draw.
class QVR_GRAPHICS_EXPORT uniformTimeSeriesView : public QVRView {
    Q_OBJECT
public:
    // The view shares the signals with whoever made them.
    using signalList = QList<std::shared_ptr<const evenlySampledSignal>>;

    explicit uniformTimeSeriesView(QWidget* parent = nullptr);

    const signalList& wvfrmArray() const { return wvfrmArray_; }
    void setWvfrmArray(const signalList& signals_) { wvfrmArray_ = signals_; }
    // Kept for clients; drawing does not use it.
    float maxAmplitude() const { return maxAmplitude_; }
    void setMaxAmplitude(float amplitude) { maxAmplitude_ = amplitude; }

    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;
    // The panel the signals are drawn in: the bounds less 24 left, 12 right, 48 bottom, 12 top.
    QRectF panelRect() const;
    void drawsignal(const QRectF& rect, const evenlySampledSignal* signal);
    void drawLabelForSignal(const QRectF& rect, const evenlySampledSignal* signal);

private:
    signalList wvfrmArray_;
    float maxAmplitude_ = 0;
};
