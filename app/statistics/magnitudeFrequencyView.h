#pragma once

#include "QVRView.h"
#include "seismicityStatistics.h"

#include <vector>

// The magnitude–frequency plot: log10 of the number of events at or above each 0.1 magnitude
// bin as points, and the maximum-likelihood line log10 N = a − b·M over M ≥ Mc, with the
// figures in the upper right corner ("too few events" when the fit rests on too few).
class magnitudeFrequencyView : public QVRView {
    Q_OBJECT
public:
    explicit magnitudeFrequencyView(QWidget* parent = nullptr);

    // The magnitudes to count; the figures are worked out from them here.
    void setMagnitudes(const std::vector<double>& magnitudes);
    const seismicityStatistics& statistics() const { return statistics_; }
    const std::vector<seismicityStatistics::cumulativeCount>& curve() const { return curve_; }

    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;
    void computeRects() override;

    // Magnitude and log10 N to view points (y up) through iRect and the limits.
    QPointF viewPointForDataPoint(double magnitude, double log10Count) const;
    // The figures as the plot shows them, one a line.
    QStringList figureLines() const;

private:
    void chooseLimits();
    void drawAxes(QPainter& painter);
    void drawFittedLine(QPainter& painter);

    std::vector<seismicityStatistics::cumulativeCount> curve_;
    seismicityStatistics statistics_;
};
