#pragma once

#include "QVRView.h"
#include "qvr_graphics_export.h"

#include <QColor>
#include <QString>

#include <vector>

// Counts float values into equal-width bins and draws the counts as bars over a value axis.
// Axis numbers whose span is far from 1 (more than a factor 100 either way) are scaled by a
// power of ten, named in the axis label: "Depth (km) (/ 10^3)".
//
// Use: setValues, setNBins (or computeNBinsFor a bin width), binValues, then draw; the axis
// titles are the view's setXLabelString and setYLabelString.
class QVR_GRAPHICS_EXPORT QVRHistogramView : public QVRView {
    Q_OBJECT
public:
    explicit QVRHistogramView(QWidget* parent = nullptr);

    // --- the values
    // Keeps a copy of the values that are numbers (NaN and infinities are left out, with a
    // warning) and their extremes; without values the extremes are +inf and −inf. False, with
    // nothing changed, for a negative count or a missing array.
    bool setValues(const float* values, int nPts);
    bool setValues(const std::vector<float>& values);
    // Subtracts the mean from every value and from the extremes.
    void removeMeanFromValues();
    const std::vector<float>& values() const { return values_; }
    int nValues() const { return int(values_.size()); }
    float minValue() const { return minValue_; }
    float maxValue() const { return maxValue_; }

    // --- the bins
    // `count` bins from `min` to `max`; the width divides the range by count + 1, so the bars
    // end one bin width short of `max` and values up to `max` count in the last bin.
    void setNBins(int count, float min, float max);
    void computebinWidth();
    // As many bins of `width` as fit the bin range (truncated); a zero width changes nothing.
    void computeNBinsFor(float width);
    // Counts the values: below the range into the first bin, above it (and anything past the
    // last bin) into the last. False, with the counts cleared, when there are no values, no
    // bins or the bin width is not positive.
    bool binValues();
    int nBins() const { return nBins_; }
    void setNBins(int count) { nBins_ = count; }
    float binWidth() const { return binWidth_; }
    void setBinWidth(float width) { binWidth_ = width; }
    float minBinValue() const { return minBinValue_; }
    void setMinBinValue(float v) { minBinValue_ = v; }
    float maxBinValue() const { return maxBinValue_; }
    void setMaxBinValue(float v) { maxBinValue_ = v; }
    const std::vector<int>& counts() const { return counts_; }
    int minCount() const { return minCount_; }
    int maxCount() const { return maxCount_; }
    const QColor& barFillColor() const { return barFillColor_; }
    void setBarFillColor(const QColor& color) { barFillColor_ = color; }

    // The values' number and extremes, the bins, and one "left right count" line per bin.
    QString description() const;

    // --- drawing
    void computeRects() override;
    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;
    void drawHHistogram();
    // The counts sideways, for subclasses: bins up the y limits, bars to the right.
    void drawVHistogram();
    void drawAxes();

    // The power of ten an axis from `min` to `max` is scaled by (0: none).
    static int axisPowerOfTen(float min, float max);

private:
    void takeValues(std::vector<float> values);

    std::vector<float> values_;
    float minValue_ = 0, maxValue_ = 0;
    std::vector<int> counts_; // one per bin once binned, else empty
    int minCount_ = 0, maxCount_ = 0;
    int nBins_ = 0;
    float binWidth_ = 1.0f;
    float minBinValue_ = -1.0f, maxBinValue_ = 1.0f;
    QColor barFillColor_ = QColor::fromRgbF(2.0f / 3.0f, 2.0f / 3.0f, 2.0f / 3.0f);
};
