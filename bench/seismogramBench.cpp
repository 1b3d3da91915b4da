#include "QVRRealTimeDisplayView02.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

namespace {

void needApplication() {
    static int argc = 1;
    static char name[] = "quorvel_bench";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
}

// An hour at 40 Hz as a broadband station records it: microseism noise, a slow drift and a
// few earthquakes' bursts decaying over minutes.
std::shared_ptr<const SacObject> hourAt40Hz(unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<float> noise(0, 1);
    const int n = 3600 * 40;
    std::vector<float> samples(size_t(n), 0.0f);
    float microseism = 0;
    for (int k = 0; k < n; ++k) {
        microseism = 0.995f * microseism + 0.1f * noise(random);
        samples[size_t(k)] = microseism + 0.2f * std::sin(k * 2e-5f);
    }
    for (int burst = 0; burst < 3; ++burst) {
        const int start = int(random() % unsigned(n - 40 * 600));
        const float size = 2 + 6 * float(random() % 100) / 100;
        for (int k = start; k < start + 40 * 600; ++k) {
            const float t = float(k - start) / 40; // s
            samples[size_t(k)] += size * std::exp(-t / 90) * std::sin(t * 6.3f) * noise(random);
        }
    }
    auto s = std::make_shared<SacObject>();
    s->InitWithSamples(std::move(samples), 0.025f, 0, QDateTime());
    s->setLabelString(QStringLiteral("XX.S%1.00.BHZ").arg(seed));
    return s;
}

// The live display at 1600 × 900, one hour wide; argument: the number of traces (0 is the
// bare frame, the baseline) and whether every sample is drawn.
void BM_RealTimeView1600x900(benchmark::State& state) {
    needApplication();
    QVRRealTimeDisplayView02 view;
    view.resize(1600, 900);
    view.setXLimits(0, 3600);
    view.setYLimits(-10, 10);
    view.setRefDate(QDateTime(QDate(2026, 12, 8), QTime(13, 0), QTimeZone::utc()));
    view.setTitle(QStringLiteral("Live"));
    view.setDrawsEverySample(state.range(1) != 0);
    SeisView01::seismogramList traces;
    for (int i = 0; i < state.range(0); ++i)
        traces << hourAt40Hz(unsigned(i + 1));
    view.setWvfrmsArray(traces);
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        view.renderInto(painter);
    }
    state.counters["samples"] = double(state.range(0)) * 3600 * 40;
}
// The full case is 24 traces of an hour at 40 Hz, 3.46 million samples.
BENCHMARK(BM_RealTimeView1600x900)
    ->Args({0, 0})
    ->Args({24, 0})
    ->Args({24, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace
