#include "delta_az.h"
#include "travelTimeCalculator.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

constexpr int evaluations = 1000;

// Sources over the whole depth range and stations over the whole distance range.
std::vector<std::pair<double, double>> depthsAndDistances() {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> depth(0, travelTimeCalculator::maximumDepth),
        distance(0, 180);
    std::vector<std::pair<double, double>> cases(evaluations);
    for (auto& c : cases)
        c = {depth(random), distance(random)};
    return cases;
}

// Baseline: the great-circle distances of as many event-station pairs.
void BM_ThousandGreatCircleDistances(benchmark::State& state) {
    std::mt19937 random(5);
    std::uniform_real_distribution<float> lat(-90, 90), lon(-180, 180);
    std::vector<float> points(4 * evaluations);
    for (float& p : points)
        p = (&p - points.data()) % 2 ? lon(random) : lat(random);
    for (auto _ : state) {
        float sum = 0;
        for (int i = 0; i < evaluations; ++i) {
            float delta = 0, azimuth = 0;
            const float* p = &points[4 * std::size_t(i)];
            delta_az(p, p + 1, p + 2, p + 3, &delta, &azimuth);
            sum += delta;
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ThousandGreatCircleDistances)->Unit(benchmark::kMillisecond);

// The travel times of all fourteen phases for 1,000 source depths and distances.
void BM_ThousandTravelTimeEvaluations(benchmark::State& state) {
    const travelTimeCalculator calculator(*earthModel::named(QStringLiteral("ak135")));
    const auto cases = depthsAndDistances();
    const QStringList phases = travelTimeCalculator::phaseNames();
    std::size_t arrivals = 0;
    for (auto _ : state)
        for (const auto& [depth, distance] : cases)
            arrivals += calculator.arrivals(depth, distance, phases).size();
    state.counters["arrivals per evaluation"] =
        double(arrivals) / double(state.iterations()) / evaluations;
}
BENCHMARK(BM_ThousandTravelTimeEvaluations)->Unit(benchmark::kMillisecond);

// What a program pays once per model: its tables of rays.
void BM_TravelTimeCalculatorForAk135(benchmark::State& state) {
    const earthModel& model = *earthModel::named(QStringLiteral("ak135"));
    for (auto _ : state)
        benchmark::DoNotOptimize(travelTimeCalculator(model));
}
BENCHMARK(BM_TravelTimeCalculatorForAk135)->Unit(benchmark::kMillisecond);

} // namespace
