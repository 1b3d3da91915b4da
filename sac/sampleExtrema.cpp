#include "sampleExtrema.h"

#include <algorithm>
#include <cstring>

// x86-64's baseline (SSE2) has no packed minimum or maximum of 32-bit integers nor a widening
// of them, which makes the conversion's extrema and sum cost more than the conversion itself:
// a second version for AVX2 is chosen when the program loads, where the processor has it. Only
// GCC: clang 14 does not emit the resolver of a multi-versioned member function.
#if defined(__x86_64__) && defined(__has_attribute) && !defined(__clang__)
#if __has_attribute(target_clones)
#define WITH_AVX2_VERSION __attribute__((target_clones("avx2", "default")))
#endif
#endif
#ifndef WITH_AVX2_VERSION
#define WITH_AVX2_VERSION
#endif

WITH_AVX2_VERSION
void sampleExtrema::convert(const int32_t* from, std::size_t n, float* to) {
    if (n == 0)
        return;
    // In integers the sum is exact and the loop vectorizes; a float of the smallest integer is
    // the smallest float, since the conversion keeps the order.
    int32_t low = from[0], high = from[0];
    int64_t sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int32_t v = from[i];
        to[i] = float(v);
        low = std::min(low, v);
        high = std::max(high, v);
        sum += v;
    }
    min_ = count_ == 0 ? float(low) : std::min(min_, float(low));
    max_ = count_ == 0 ? float(high) : std::max(max_, float(high));
    sum_ += double(sum);
    count_ += n;
}

void sampleExtrema::convert(const float* from, std::size_t n, float* to) {
    if (n > 0)
        std::memcpy(to, from, n * sizeof(float));
    take(to, n);
}

void sampleExtrema::convert(const double* from, std::size_t n, float* to) {
    std::transform(from, from + n, to, [](double v) { return float(v); });
    take(to, n);
}

void sampleExtrema::take(const float* x, std::size_t n) {
    if (n == 0)
        return;
    // Eight independent lanes, so that the loop does not wait on one running minimum, maximum
    // and sum. A NaN is passed over unless it comes first, where it stays.
    constexpr std::size_t lanes = 8;
    const float first = count_ == 0 ? x[0] : min_;
    float low[lanes], high[lanes];
    double sum[lanes] = {};
    std::fill(low, low + lanes, first);
    std::fill(high, high + lanes, count_ == 0 ? x[0] : max_);
    std::size_t i = 0;
    for (; i + lanes <= n; i += lanes) {
        for (std::size_t l = 0; l < lanes; ++l) {
            low[l] = std::min(low[l], x[i + l]);
            high[l] = std::max(high[l], x[i + l]);
            sum[l] += double(x[i + l]);
        }
    }
    for (; i < n; ++i) {
        low[0] = std::min(low[0], x[i]);
        high[0] = std::max(high[0], x[i]);
        sum[0] += double(x[i]);
    }
    // The lanes fold in order, so that a NaN the first lane started from stays in front.
    min_ = low[0];
    max_ = high[0];
    for (std::size_t l = 1; l < lanes; ++l) {
        min_ = std::min(min_, low[l]);
        max_ = std::max(max_, high[l]);
    }
    for (double s : sum)
        sum_ += s;
    count_ += n;
}

float sampleExtrema::mean() const {
    return count_ == 0 ? 0.0f : float(sum_ / double(count_));
}
