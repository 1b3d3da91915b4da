#include "SeisView01.h"
#include "benchSupport.h"
#include "spectrogram.h"
#include "spectrogramView.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

using benchSupport::needApplication;

// An hour at 100 Hz (360,000 samples): coloured noise with a sweep from 1 to 20 Hz and a few
// decaying bursts, so that every column has its own spectrum.
std::shared_ptr<const SacObject> hourAt100Hz() {
    static const std::shared_ptr<const SacObject> hour = [] {
        std::mt19937 random(7);
        std::normal_distribution<float> noise(0, 1);
        const int n = 3600 * 100;
        std::vector<float> samples(static_cast<size_t>(n));
        float coloured = 0;
        for (int k = 0; k < n; ++k) {
            const double t = k * 0.01;
            coloured = 0.98f * coloured + 0.2f * noise(random);
            const double sweep = std::sin(2 * std::numbers::pi * (t + 19.0 / 7200.0 * t * t));
            samples[size_t(k)] = coloured + float(0.5 * sweep);
        }
        for (const int start : {40000, 150000, 290000}) {
            for (int k = start; k < std::min(n, start + 12000); ++k)
                samples[size_t(k)] += 20.0f * std::exp(-float(k - start) / 3000.0f) * noise(random);
        }
        auto s = std::make_shared<SacObject>();
        s->InitWithSamples(std::move(samples), 0.01f, 0, QDateTime());
        s->setLabelString(QStringLiteral("XX.HOUR.00.HHZ"));
        return s;
    }();
    return hour;
}

// Baseline: one plain pass over the samples.
void BM_PassOverHourAt100Hz(benchmark::State& state) {
    const auto hour = hourAt100Hz();
    for (auto _ : state) {
        double sum = 0;
        const float* x = hour->GetSacSeis();
        for (int k = 0; k < hour->npts(); ++k)
            sum += x[k];
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_PassOverHourAt100Hz)->Unit(benchmark::kMillisecond);

// Baseline: the same hour drawn as a trace at 1100 × 600 by the overlay view.
void BM_TraceFrameOfHourAt100Hz(benchmark::State& state) {
    needApplication();
    SeisView01 view;
    view.resize(1100, 600);
    view.setWvfrmsArray({hourAt100Hz()});
    QImage image(1100, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        view.renderInto(painter);
    }
}
BENCHMARK(BM_TraceFrameOfHourAt100Hz)->Unit(benchmark::kMillisecond);

// The spectra alone: 702 Hann windows of 1024 samples at 50 % overlap.
void BM_SpectrogramOfHourAt100Hz(benchmark::State& state) {
    const auto hour = hourAt100Hz();
    for (auto _ : state) {
        const spectrogram s(hour->GetSacSeis(), hour->npts(), 0.01);
        benchmark::DoNotOptimize(s.maxPower());
    }
}
BENCHMARK(BM_SpectrogramOfHourAt100Hz)->Unit(benchmark::kMillisecond);

// One frame of the spectrogram view at 1100 × 600 from spectra computed before (argument 1:
// logarithmic frequency axis).
void BM_SpectrogramFrame1100x600(benchmark::State& state) {
    needApplication();
    const auto hour = hourAt100Hz();
    spectrogramView view;
    view.resize(1100, 600);
    view.setFrequencyScale(state.range(0) ? spectrogramView::frequencyAxis::logarithmic
                                          : spectrogramView::frequencyAxis::linear);
    view.setSpectrogram(
        hour, std::make_shared<const spectrogram>(hour->GetSacSeis(), hour->npts(), 0.01));
    QImage image(1100, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        view.renderInto(painter);
    }
}
BENCHMARK(BM_SpectrogramFrame1100x600)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// What showing the hour costs: the spectra, handing them to the view and the first frame.
void BM_SpectrogramComputedAndDrawn1100x600(benchmark::State& state) {
    needApplication();
    const auto hour = hourAt100Hz();
    QImage image(1100, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        spectrogramView view;
        view.resize(1100, 600);
        view.setSpectrogram(
            hour, std::make_shared<const spectrogram>(hour->GetSacSeis(), hour->npts(), 0.01));
        QPainter painter(&image);
        view.renderInto(painter);
    }
}
BENCHMARK(BM_SpectrogramComputedAndDrawn1100x600)->Unit(benchmark::kMillisecond);

} // namespace
