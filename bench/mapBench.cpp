#include "geoMapView.h"
#include "plateBoundaryController.h"

#include <QApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <random>

namespace {

// Widgets need an application; the benchmark binary has none of its own.
QApplication& application() {
    static int argc = 1;
    static char name[] = "quorvel_bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return *app;
}

void paintFrame(QVRView& view, QImage& image) {
    QPainter painter(&image);
    view.renderInto(painter);
}

// Baseline: the bare frame of a plot, a white view with nothing in it.
struct whiteFrame : QVRView {
    void drawRect(QPainter& painter, const QRectF&) override {
        painter.fillRect(bounds(), Qt::white);
    }
};

void BM_WhiteFrame1600x1000(benchmark::State& state) {
    application();
    whiteFrame view;
    view.resize(1600, 1000);
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state)
        paintFrame(view, image);
}
BENCHMARK(BM_WhiteFrame1600x1000)->Unit(benchmark::kMillisecond);

// The world map with the widest picture, the plate boundaries and 10,000 symbols; the first
// frame (which scales the picture) is drawn before timing.
void BM_WorldMap1600x1000(benchmark::State& state) {
    application();
    geoMapView map;
    map.resize(1600, 1000);
    map.setXLimits(-180, 180);
    map.setYLimits(-90, 90);
    if (!map.loadImageWithIndex(3)) {
        state.SkipWithError("the map pictures are not built");
        return;
    }
    plateBoundaryController plates;
    plates.loadBirdPlateBoundaries();
    map.addAPolygonSet(plates.boundaries());
    map.setShowPlates(state.range(1) != 0);
    map.buildSeisColorTable();
    std::mt19937 random(5);
    std::uniform_real_distribution<float> lat(-70, 70), lon(-180, 180), size(0.1f, 0.8f);
    for (int i = 0; i < state.range(0); ++i) {
        auto p = std::make_shared<geoMapPoint>();
        p->setLatLonDepth(lat(random), lon(random), 10);
        p->setSymbolSize(size(random));
        p->setColorIndex(i % 21);
        map.thePoints().append(p);
    }
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    paintFrame(map, image);
    for (auto _ : state)
        paintFrame(map, image);
}
// Arguments: symbols, plates shown. The full case is 10,000 symbols with plates.
BENCHMARK(BM_WorldMap1600x1000)
    ->Args({10000, 1})
    ->Args({0, 1})
    ->Args({10000, 0})
    ->Args({0, 0})
    ->Unit(benchmark::kMillisecond);

// Loading the 5-arc-minute grid down-sampled by 2 (skipped without the grid file).
void BM_LoadETOPO5Every2nd(benchmark::State& state) {
    application();
    geoMapView map;
    for (auto _ : state) {
        if (!map.loadETOPO5DownSmpl(2)) {
            state.SkipWithError("etopo5.i2 is not installed");
            return;
        }
    }
}
BENCHMARK(BM_LoadETOPO5Every2nd)->Unit(benchmark::kMillisecond);

} // namespace
