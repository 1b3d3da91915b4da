#pragma once

#include "qvrsac_export.h"

#include <cstddef>
#include <cstdint>

// The smallest and the largest of a seismogram's samples and their sum, gathered run by run
// as the samples are made. A reader that converts decoded samples to floats takes them on the
// way, while each run is in the cache, instead of reading a day of samples once more after.
class QVRSAC_EXPORT sampleExtrema {
public:
    // Writes `n` samples to `to` as 32-bit floats and takes them in.
    void convert(const int32_t* from, std::size_t n, float* to);
    void convert(const float* from, std::size_t n, float* to);
    void convert(const double* from, std::size_t n, float* to);
    // Takes in samples that are floats already.
    void take(const float* samples, std::size_t n);

    std::size_t count() const { return count_; }
    // 0 while no sample has been taken.
    float min() const { return min_; }
    float max() const { return max_; }
    float mean() const;

private:
    float min_ = 0;
    float max_ = 0;
    double sum_ = 0;
    std::size_t count_ = 0;
};
