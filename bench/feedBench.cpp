#include "NEIC_QueryController.h"

#include <QFile>
#include <QJsonDocument>

#include <benchmark/benchmark.h>

#include <random>

namespace {

// A month feed of `count` features shaped like the USGS summary feed.
QByteArray syntheticMonthFeed(int count) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> lat(-90, 90), lon(-180, 180), depth(0, 700), mag(2.5, 8);
    QByteArray json = R"({"type":"FeatureCollection","metadata":{"count":)" +
                      QByteArray::number(count) + R"(},"features":[)";
    for (int i = 0; i < count; ++i) {
        if (i)
            json += ',';
        json +=
            QStringLiteral(
                R"({"type":"Feature","properties":{"mag":%1,"place":"%2 km NW of Somewhere, Region","time":%3,)"
                R"("updated":%4,"tz":null,"url":"https://earthquake.usgs.gov/earthquakes/eventpage/us%5",)"
                R"("detail":"https://earthquake.usgs.gov/earthquakes/feed/v1.0/detail/us%5.geojson","felt":null,)"
                R"("cdi":null,"mmi":2.5,"alert":null,"status":"reviewed","tsunami":0,"sig":199,"net":"us",)"
                R"("code":"%5","ids":",us%5,","sources":",us,","types":",origin,phase-data,","nst":23,)"
                R"("dmin":1.2,"rms":0.59,"gap":45,"magType":"mb","type":"earthquake","title":"M"},)"
                R"("geometry":{"type":"Point","coordinates":[%6,%7,%8]},"id":"us%5"})")
                .arg(mag(random), 0, 'f', 1)
                .arg(i % 200)
                .arg(1761765129224LL - qint64(i) * 259000)
                .arg(1761767506040LL - qint64(i) * 259000)
                .arg(6000000 + i)
                .arg(lon(random), 0, 'f', 4)
                .arg(lat(random), 0, 'f', 4)
                .arg(depth(random), 0, 'f', 2)
                .toUtf8();
    }
    return json + "]}";
}

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
