#include "NEIC_QueryController.h"
#include "benchSupport.h"

#include <QFile>
#include <QJsonDocument>

#include <benchmark/benchmark.h>

namespace {

using benchSupport::syntheticMonthFeed;

// Baseline: the bare JSON parse of the same bytes.
void BM_JsonParseOfMonthFeed(benchmark::State& state) {
    const QByteArray feed = syntheticMonthFeed(int(state.range(0)));
    for (auto _ : state) {
        QJsonDocument document = QJsonDocument::fromJson(feed);
        benchmark::DoNotOptimize(document);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_JsonParseOfMonthFeed)->Arg(10000)->Unit(benchmark::kMillisecond);

// Records with magnitudes and Flinn-Engdahl region names.
void BM_MonthFeedToOrigins(benchmark::State& state) {
    const QByteArray feed = syntheticMonthFeed(int(state.range(0)));
    NEIC_QueryController controller;
    controller.setMinMagnitude(0);
    for (auto _ : state) {
        originList origins = controller.parseUSGSGeoJSONFeed(feed, false);
        benchmark::DoNotOptimize(origins.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MonthFeedToOrigins)->Arg(10000)->Unit(benchmark::kMillisecond);

// The real month feed of 1,349 events from many networks, as the tests keep it.
QByteArray realMonthFeed() {
    QFile file(QStringLiteral(QUORVEL_TEST_DATA "/feeds/sgoggins_2.5_month_20251029.geojson"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void BM_JsonParseOfRealMonthFeed(benchmark::State& state) {
    const QByteArray feed = realMonthFeed();
    for (auto _ : state) {
        QJsonDocument document = QJsonDocument::fromJson(feed);
        benchmark::DoNotOptimize(document);
    }
}
BENCHMARK(BM_JsonParseOfRealMonthFeed)->Unit(benchmark::kMillisecond);

void BM_RealMonthFeedToOrigins(benchmark::State& state) {
    const QByteArray feed = realMonthFeed();
    NEIC_QueryController controller;
    controller.setMinMagnitude(0);
    for (auto _ : state) {
        originList origins = controller.parseUSGSGeoJSONFeed(feed, false);
        if (origins.isEmpty()) {
            state.SkipWithError("the month feed kept with the tests is missing");
            break;
        }
        benchmark::DoNotOptimize(origins.data());
    }
}
BENCHMARK(BM_RealMonthFeedToOrigins)->Unit(benchmark::kMillisecond);

} // namespace
