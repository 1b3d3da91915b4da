#include "QVRStemTimeLineView.h"

#include <QApplication>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <random>

namespace {

struct manyEvents : timeLineDataSource {
    QVRStemTimeLineView* view = nullptr;
    originList origins;
    int countOfVisibleEvents() override { return int(origins.size()); }
    std::shared_ptr<seismicOrigin> visibleOriginAtIndex(int i) override { return origins.at(i); }
    const originList& allSeismicOrigins() override { return origins; }
    void communicateMapRect() override { view->setPlotBounds(QRectF()); }
    void communicateMinDisplayMagnitude() override {}
};

enum class frames {
    unchanged,     // the same events drawn again, as when the window is uncovered
    newEvents,     // the source reports new events before every frame
    drawnDirectly, // no kept layer: every circle blended onto the frame
};

// The time line of the last 30 days at 1600 × 200; first argument: the number of events (0:
// the grid alone, the baseline), second: the kind of frame.
void timeLine1600x200(benchmark::State& state, frames kind) {
    static int argc = 1;
    static char name[] = "quorvel_bench";
    static char* argv[] = {name, nullptr};
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    (void)app;

    const QDateTime now(QDate(2026, 12, 8), QTime(13, 30), QTimeZone::utc());
    QVRStemTimeLineView view;
    view.resize(1600, 200);
    view.setClock([now] { return now; });
    view.setEndDate(now);
    view.setStartDate(now.addDays(-30));
    view.setSymbolScaleFactor(250); // a magnitude 5 is 6 points across
    manyEvents source;
    source.view = &view;
    std::mt19937 random(9);
    std::uniform_real_distribution<double> age(0, 30 * 86400.0);
    std::uniform_real_distribution<float> magnitude(2.5f, 7.5f);
    for (int i = 0; i < state.range(0); ++i) {
        auto o = std::make_shared<seismicOrigin>();
        o->setOriginDateTime(now.addSecs(-qint64(age(random))));
        o->setMagnitude(magnitude(random));
        source.origins.append(o);
    }
    view.setDataSource(&source);
    view.set_keepEventLayer(kind != frames::drawnDirectly);
    QImage image(1600, 200, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        if (kind == frames::newEvents)
            view.eventsDidChange();
        QPainter painter(&image);
        view.renderInto(painter);
    }
}

void BM_TimeLine1600x200(benchmark::State& state) {
    timeLine1600x200(state, frames::unchanged);
}
void BM_TimeLine1600x200NewEvents(benchmark::State& state) {
    timeLine1600x200(state, frames::newEvents);
}
void BM_TimeLine1600x200DrawnDirectly(benchmark::State& state) {
    timeLine1600x200(state, frames::drawnDirectly);
}
BENCHMARK(BM_TimeLine1600x200)->Arg(0)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeLine1600x200NewEvents)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TimeLine1600x200DrawnDirectly)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
