#pragma once

#include "QVRView.h"
#include "SacObject.h"
#include "qvr_graphics_export.h"
#include "seismogramCursor.h"
#include "spectrogram.h"

#include <QImage>
#include <QRectF>

#include <memory>
#include <optional>
#include <utility>

// One seismogram's spectrogram: the trace in a panel on top and, below it on the same time
// axis, the power of its short-time spectra in dB on a perceptual colour scale, with the
// scale's bar on the right. Time is in seconds after the seismogram's reference time; the view
// draws the span of its x limits, so zooming and panning are setting them.
//
// The view draws a spectrogram it is given; it computes none. Lives on the interface thread.
class QVR_GRAPHICS_EXPORT spectrogramView : public QVRView, public seismogramCursor {
    Q_OBJECT
public:
    enum class frequencyAxis { linear, logarithmic };

    explicit spectrogramView(QWidget* parent = nullptr);

    // Shows `seismogram` and `spectra`, computed from its samples, and sets the x limits to the
    // whole record and the power range of the colours to the spectra's (see powerRange()).
    void setSpectrogram(std::shared_ptr<const SacObject> seismogram,
                        std::shared_ptr<const spectrogram> spectra);
    const std::shared_ptr<const SacObject>& seismogram() const { return seismogram_; }
    const std::shared_ptr<const spectrogram>& spectra() const { return spectra_; }

    // Linear from 0 Hz, or logarithmic from the first bin above 0 Hz; both to the Nyquist
    // frequency.
    frequencyAxis frequencyScale() const { return frequencyScale_; }
    void setFrequencyScale(frequencyAxis scale) { frequencyScale_ = scale; }

    // The power (dB) at the bottom and the top of the colour scale: the spectra's largest
    // power at the top and, at the bottom, the power 5 % of the values lie below, but no more
    // than 120 dB under the top, so that a spectrum's floor of rounding errors does not take
    // up the scale. Setting it fixes it until the next spectrogram.
    std::pair<float, float> powerRange() const { return powerRange_; }
    void setPowerRange(float bottom, float top);

    // The layout, view points, y up: the trace panel on top, the spectra under it, the colour
    // bar on the right of the spectra. The two panels share their left and right edges.
    QRectF tracePanelRect() const;
    QRectF spectraRect() const;
    QRectF colourBarRect() const;
    // The one mapping between time (s after the reference time) and the view's x, and between
    // frequency and y in the spectra's panel.
    double xForTime(double seconds) const;
    double timeForX(double x) const;
    double yForFrequency(double hz) const;
    double frequencyForY(double y) const;
    // The frequency span of the axis (Hz); 0…1 without spectra.
    std::pair<double, double> frequencyLimits() const;

    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;

    // seismogramCursor
    std::pair<float, float> wholeRecordXLimits() const override;
    std::optional<seismogramReading> readingAt(QPointF viewPoint) const override;

private:
    // The seismogram's begin (s after the reference time), 0 where the header has none.
    double begin() const;
    void drawTrace(QPainter& painter, const QRectF& panel);
    void drawSpectra(QPainter& painter, const QRectF& panel);
    void drawColourBar(QPainter& painter, const QRectF& bar);
    void drawFrequencyAxis(QPainter& painter, const QRectF& panel);
    void drawLogFrequencyTicks(QPainter& painter, const QRectF& panel);
    void drawTitles();
    QString windowText() const;

    std::shared_ptr<const SacObject> seismogram_;
    std::shared_ptr<const spectrogram> spectra_;
    frequencyAxis frequencyScale_ = frequencyAxis::linear;
    std::pair<float, float> powerRange_{0.0f, 1.0f}; // dB
};
