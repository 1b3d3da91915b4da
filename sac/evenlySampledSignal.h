#pragma once

#include "qvrsac_export.h"

#include <QString>

#include <vector>

// An evenly sampled signal of 32-bit samples, as the uniform time-series view draws it.
class QVRSAC_EXPORT evenlySampledSignal {
public:
    evenlySampledSignal() = default;
    evenlySampledSignal(std::vector<float> samples, double delta, QString description);

    const float* dataPointer() const { return samples_.data(); }
    float* dataPointer() { return samples_.data(); }
    int npts() const { return int(samples_.size()); }
    double delta() const { return delta_; } // s
    // The first sample's time on the axis the signal is drawn on.
    double begin() const { return begin_; } // s
    void setBegin(double seconds) { begin_ = seconds; }
    // Smallest and largest sample; 0 for an empty signal.
    float min() const;
    float max() const;
    const QString& description() const { return description_; }
    void setDescription(const QString& text) { description_ = text; }

private:
    std::vector<float> samples_;
    double delta_ = 1.0;
    double begin_ = 0.0;
    QString description_;
};
