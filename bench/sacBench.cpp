#include "SacObject.h"
#include "flinnEngdahl.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

std::vector<float> noise(std::size_t count) {
    std::mt19937 random(7);
    std::normal_distribution<float> normal;
    std::vector<float> samples(count);
    for (float& s : samples)
        s = normal(random);
    return samples;
}

// Uniform noise in (−1, 1) that tools/timeScipyFilters.py draws too, so that SciPy is timed on
// the very samples the filter benchmark uses: each raw draw r of the 32-bit Mersenne Twister
// seeded with 7 becomes (r + 0.5) / 2³¹ − 1, rounded to float.
std::vector<float> sharedNoise(std::size_t count) {
    std::mt19937 random(7);
    std::vector<float> samples(count);
    for (float& s : samples)
        s = float((double(random()) + 0.5) / 2147483648.0 - 1.0);
    return samples;
}

// 4096 points spread over the globe, latitude first.
std::vector<std::pair<float, float>> randomPoints() {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> lat(-90, 90), lon(-180, 180);
    std::vector<std::pair<float, float>> points(4096);
    for (auto& p : points)
        p = {lat(random), lon(random)};
    return points;
}

// Baseline for the look-ups: producing and summing the same coordinates without looking up.
void BM_CoordinatesOnly(benchmark::State& state) {
    const auto points = randomPoints();
    std::size_t i = 0;
    long sum = 0;
    for (auto _ : state) {
        const auto& p = points[i++ & 4095];
        sum += long(p.first) + long(p.second);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_CoordinatesOnly);

void BM_FlinnEngdahlLookup(benchmark::State& state) {
    const auto points = randomPoints();
    std::size_t i = 0;
    long sum = 0;
    for (auto _ : state) {
        const auto& p = points[i++ & 4095];
        int greg = 0, sreg = 0;
        fe_lookup(p.first, 32, p.second, 32, &greg, &sreg);
        sum += greg + sreg;
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FlinnEngdahlLookup);

// Baseline for the filters and the reader: a plain copy of the samples.
void BM_CopyMillionSamples(benchmark::State& state) {
    const std::vector<float> samples = noise(1000000);
    std::vector<float> copy(samples.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), samples.data(), samples.size() * sizeof(float));
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetBytesProcessed(state.iterations() * int64_t(samples.size() * sizeof(float)));
}
BENCHMARK(BM_CopyMillionSamples)->Unit(benchmark::kMillisecond);

// tools/timeScipyFilters.py times SciPy on the same work; run both in one sitting.
void BM_HighAndLowPassMillionSamples(benchmark::State& state) {
    const std::vector<float> samples = sharedNoise(1000000);
    SacObject seismogram;
    for (auto _ : state) {
        seismogram.InitWithSamples(samples, 0.01f, 0.0f, {});
        seismogram.HPBUfilter(0.5f, 2, 4);
        seismogram.LPBUfilter(10.0f, 2, 4);
        benchmark::DoNotOptimize(seismogram.GetSacSeis());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(samples.size()));
}
BENCHMARK(BM_HighAndLowPassMillionSamples)->Unit(benchmark::kMillisecond);

void BM_ReadMillionSampleFile(benchmark::State& state) {
    SacObject source;
    source.InitWithSamples(noise(1000000), 0.01f, 0.0f, {});
    const QByteArray bytes = source.toData();
    for (auto _ : state) {
        SacObject seismogram;
        seismogram.InitWithNSData(bytes);
        benchmark::DoNotOptimize(seismogram.GetSacSeis());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ReadMillionSampleFile)->Unit(benchmark::kMillisecond);

} // namespace
