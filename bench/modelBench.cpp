#include "EQ_QueryController.h"
#include "benchSupport.h"
#include "eventFilters.h"
#include "eventListFile.h"
#include "seismicOrigin.h"

#include <benchmark/benchmark.h>

#include <random>

namespace {

using benchSupport::randomOrigins;

// Baseline: copying the list of record pointers, the least any list operation does.
void BM_CopyOriginPointers(benchmark::State& state) {
    const originList origins = randomOrigins(int(state.range(0)));
    for (auto _ : state) {
        originList copy(origins.begin(), origins.end());
        benchmark::DoNotOptimize(copy.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_CopyOriginPointers)->Arg(10000);

void BM_BoxFilter(benchmark::State& state) {
    const originList origins = randomOrigins(int(state.range(0)));
    EQ_QueryController c;
    c.setMinLatitude(-30);
    c.setMaxLatitude(30);
    c.setMinLongitude(-60);
    c.setMaxLongitude(60);
    for (auto _ : state) {
        int inside = 0;
        for (const auto& o : origins)
            inside += c.isOriginInBox(*o);
        benchmark::DoNotOptimize(inside);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_BoxFilter)->Arg(10000);

// The click filters over a month of events: a time-line click (a 14-hour window) and a map
// click (500 km around a point).
void BM_TimeFilter(benchmark::State& state) {
    const originList origins = randomOrigins(int(state.range(0)));
    const QDateTime now(QDate(2026, 12, 1), QTime(0, 0), QTimeZone::utc());
    for (auto _ : state)
        benchmark::DoNotOptimize(eventFilters::byTime(origins, 10 * 86400.0, 51840, now));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TimeFilter)->Arg(10000);

void BM_DistanceFilter(benchmark::State& state) {
    const originList origins = randomOrigins(int(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(eventFilters::byDistance(origins, 140.0f, 35.0f, 500.0f));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DistanceFilter)->Arg(10000);

void BM_HeaderClickSortByMagnitude(benchmark::State& state) {
    EQ_QueryController c;
    c.setSeismicOrigins(randomOrigins(int(state.range(0))));
    const int magnitudeColumn = 5; // identifier "6"
    for (auto _ : state)
        c.tableViewMouseDownInHeaderOfTableColumn(magnitudeColumn);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_HeaderClickSortByMagnitude)->Arg(10000);

void BM_EventListRoundTrip(benchmark::State& state) {
    const originList origins = randomOrigins(int(state.range(0)));
    for (auto _ : state) {
        const QByteArray data = eventListFile::archivedData(origins);
        auto back = eventListFile::originsFromData(data);
        benchmark::DoNotOptimize(back);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EventListRoundTrip)->Arg(10000);

} // namespace
