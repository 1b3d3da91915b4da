#include "spectrogram.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>

namespace {

constexpr int shortestWindow = 4;
constexpr int longestWindow = 1 << 22;
// Power below this (−300 dB) is taken as this, so a silent window has a finite level.
constexpr double powerFloor = 1e-30;

struct fftwfFree {
    void operator()(void* p) const { fftwf_free(p); }
};

// One plan per window length for the life of the program. FFTW's planner keeps global state
// and is not thread-safe, so plans are only made under the lock; executing a plan on arrays of
// one's own (fftwf_execute_dft_r2c) is safe from any thread.
class planCache {
public:
    ~planCache() {
        for (const auto& [length, plan] : plans_)
            fftwf_destroy_plan(plan);
    }

    fftwf_plan planFor(int length) {
        const std::lock_guard lock(mutex_);
        if (const auto found = plans_.find(length); found != plans_.end())
            return found->second;
        // The arrays only show the planner the alignment the callers' fftwf_alloc arrays have.
        std::unique_ptr<float, fftwfFree> in(fftwf_alloc_real(size_t(length)));
        std::unique_ptr<fftwf_complex, fftwfFree> out(fftwf_alloc_complex(size_t(length) / 2 + 1));
        if (!in || !out)
            return nullptr;
        const fftwf_plan plan =
            fftwf_plan_dft_r2c_1d(length, in.get(), out.get(), FFTW_ESTIMATE | FFTW_DESTROY_INPUT);
        if (plan)
            plans_.emplace(length, plan);
        return plan;
    }

private:
    std::mutex mutex_;
    std::map<int, fftwf_plan> plans_;
};

planCache& plans() {
    static planCache cache;
    return cache;
}

// The periodic Hann window: its sum is exactly half its length, and a sine on a bin's centre
// leaks into no other bin but the two beside it.
std::vector<float> hannWindow(int length) {
    std::vector<float> w(static_cast<std::size_t>(length));
    for (int i = 0; i < length; ++i)
        w[size_t(i)] = float(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / length));
    return w;
}

} // namespace

int spectrogram::defaultWindowLength(double delta) {
    if (!(delta > 0) || !std::isfinite(delta))
        return 16;
    const long exponent = std::lround(std::log2(10.0 / delta));
    return 1 << std::clamp(exponent, 4L, 20L);
}

spectrogram::spectrogram(const float* samples, int count, double delta, const parameters& how) {
    if (!samples || count < shortestWindow || !(delta > 0) || !std::isfinite(delta))
        return;
    const int length =
        std::clamp(how.windowLength > 0 ? how.windowLength : defaultWindowLength(delta),
                   shortestWindow, longestWindow);
    const double overlap = std::isfinite(how.overlap) ? std::clamp(how.overlap, 0.0, 0.95) : 0.5;
    const fftwf_plan plan = plans().planFor(length);
    if (!plan)
        return;

    delta_ = delta;
    windowLength_ = length;
    step_ = std::max(1, length - int(std::lround(length * overlap)));
    bins_ = length / 2 + 1;
    binWidth_ = 1.0 / (length * delta);
    zeroPadded_ = count < length;
    const int used = zeroPadded_ ? count : length; // samples under the window
    columns_ = zeroPadded_ ? 1 : 1 + (count - length) / step_;
    firstColumnTime_ = 0.5 * (used - 1) * delta;
    columnSpacing_ = (zeroPadded_ ? used : step_) * delta;

    const std::vector<float> window = hannWindow(used);
    double windowSum = 0;
    for (const float w : window)
        windowSum += w;
    // One-sided: every bin but 0 Hz and the Nyquist frequency also holds its negative twin.
    const double twoSided = 1.0 / (windowSum * windowSum);
    const double oneSided = 2.0 * twoSided;
    const bool evenLength = length % 2 == 0;

    std::unique_ptr<float, fftwfFree> in(fftwf_alloc_real(size_t(length)));
    std::unique_ptr<fftwf_complex, fftwfFree> out(fftwf_alloc_complex(size_t(bins_)));
    if (!in || !out) {
        *this = spectrogram();
        return;
    }
    powers_.resize(size_t(columns_) * size_t(bins_));
    for (int column = 0; column < columns_; ++column) {
        const float* x = samples + size_t(column) * size_t(step_);
        // Each window's own mean goes: an offset in counts would otherwise outshine every
        // other frequency in the lowest bins.
        double sum = 0;
        for (int i = 0; i < used; ++i)
            sum += x[i];
        const float mean = float(sum / used);
        float* windowed = in.get();
        for (int i = 0; i < used; ++i)
            windowed[i] = (x[i] - mean) * window[size_t(i)];
        // FFTW_DESTROY_INPUT: the padding is written again for every column.
        std::fill(windowed + used, windowed + length, 0.0f);
        fftwf_execute_dft_r2c(plan, windowed, out.get());
        float* p = powers_.data() + size_t(column) * size_t(bins_);
        for (int bin = 0; bin < bins_; ++bin) {
            const double re = out.get()[bin][0], im = out.get()[bin][1];
            const bool single = bin == 0 || (evenLength && bin == bins_ - 1);
            const double power = (re * re + im * im) * (single ? twoSided : oneSided);
            p[bin] = float(10.0 * std::log10(std::max(power, powerFloor)));
        }
    }
    const auto [low, high] = std::minmax_element(powers_.begin(), powers_.end());
    minPower_ = *low;
    maxPower_ = *high;
}

double spectrogram::columnTime(int column) const {
    return firstColumnTime_ + column * columnSpacing_;
}

int spectrogram::columnAt(double seconds) const {
    if (isEmpty() || !(columnSpacing_ > 0))
        return -1;
    const double k = std::floor((seconds - firstColumnTime_) / columnSpacing_ + 0.5);
    if (!(k >= 0) || k >= columns_)
        return -1;
    return int(k);
}

int spectrogram::binAt(double hz) const {
    if (isEmpty() || !(hz > 0))
        return 0;
    const double k = std::round(hz / binWidth_);
    return k >= bins_ - 1 ? bins_ - 1 : int(k);
}

int spectrogram::peakBin(int column) const {
    if (column < 0 || column >= columns_)
        return -1;
    const auto first = powers_.begin() + std::ptrdiff_t(column) * bins_;
    return int(std::max_element(first, first + bins_) - first);
}
