#include "fkArrayAnalysis.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <random>

namespace {

// Ten stations about 20 km across, 40 s of 40 Hz noise with a plane wave from 37° at
// 8 km/s in it; the analyses take 20 s of it.
QList<std::shared_ptr<const SacObject>> tenStations() {
    std::mt19937 random(18);
    std::normal_distribution<double> noise(0, 0.3);
    std::uniform_real_distribution<double> place(-10, 10);
    const double sx = -std::sin(37 * std::numbers::pi / 180) / 8;
    const double sy = -std::cos(37 * std::numbers::pi / 180) / 8;
    QList<std::shared_ptr<const SacObject>> list;
    for (int i = 0; i < 10; ++i) {
        const double east = place(random), north = place(random); // km
        const double lag = sx * east + sy * north;
        std::vector<float> samples(1600);
        for (size_t k = 0; k < samples.size(); ++k) {
            const double t = k * 0.025 - lag;
            samples[k] = float(std::sin(2 * std::numbers::pi * 1.3 * t) *
                                   std::exp(-0.5 * std::pow((t - 20) / 4, 2)) +
                               noise(random));
        }
        auto s = std::make_shared<SacObject>();
        s->InitWithSamples(std::move(samples), 0.025f, 0, QDateTime());
        s->GetSacHeader()->stla = float(60 + north / 111.19);
        s->GetSacHeader()->stlo =
            float(25 + east / (111.19 * std::cos(60 * std::numbers::pi / 180)));
        list << s;
    }
    return list;
}

fkArrayAnalysis::request twentySeconds(double maxFrequency) {
    fkArrayAnalysis::request how;
    how.windowStart = 10;
    how.windowLength = 20;
    how.minFrequency = 0.5;
    how.maxFrequency = maxFrequency;
    return how; // ±0.5 s/km in steps of 0.01: 101 × 101
}

// The baseline: the stations' windows tapered and transformed, the band's bins picked out.
void BM_FKSpectraOnly(benchmark::State& state) {
    const auto stations = tenStations();
    const auto how = twentySeconds(double(state.range(0)));
    for (auto _ : state) {
        auto spectra = fkArrayAnalysis::spectra(stations, how);
        if (!spectra)
            state.SkipWithError(spectra.error().toStdString().c_str());
        benchmark::DoNotOptimize(spectra);
    }
}
BENCHMARK(BM_FKSpectraOnly)->Arg(4)->Arg(20)->Unit(benchmark::kMillisecond);

// The whole analysis on the 101 × 101 grid, for a 0.5–4 Hz band (71 bins) and for the whole
// spectrum up to Nyquist (391 bins).
void BM_FK101x101TenStations(benchmark::State& state) {
    const auto stations = tenStations();
    const auto how = twentySeconds(double(state.range(0)));
    for (auto _ : state) {
        auto fk = fkArrayAnalysis::compute(stations, how);
        if (!fk)
            state.SkipWithError(fk.error().toStdString().c_str());
        benchmark::DoNotOptimize(fk);
    }
}
BENCHMARK(BM_FK101x101TenStations)->Arg(4)->Arg(20)->Unit(benchmark::kMillisecond);

} // namespace
