#include "OrrelinController.h"
#include "benchSupport.h"
#include "eventListFile.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

#include <random>

namespace {

using benchSupport::needApplication;

// Keeps `count` origins of the last month as the list of the last run (none: no file).
void keepOrigins(int count) {
    const QString path = OrrelinController::cachedOriginsPath();
    QFile::remove(path);
    if (count == 0)
        return;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::mt19937 random(4);
    std::uniform_real_distribution<double> age(0, 30 * 86400.0), lat(-60, 60), lon(-180, 180);
    std::uniform_real_distribution<float> magnitude(2.5f, 7.5f);
    originList origins;
    for (int i = 0; i < count; ++i) {
        auto o = std::make_shared<seismicOrigin>();
        o->setOriginDateTime(now.addSecs(-qint64(age(random))));
        o->setLatitude(float(lat(random)));
        o->setLongitude(float(lon(random)));
        o->setMagnitude(magnitude(random));
        o->setFERegion();
        origins.append(o);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    eventListFile::write(origins, path);
}

// From nothing to the first painted main window, as the program starts: the controller and
// its windows, the set-up, the kept list read and shown (argument: its size; 0 is the same
// start without a kept list, the baseline), then the window painted once.
void BM_StartUpToFirstPaint(benchmark::State& state) {
    needApplication();
    keepOrigins(int(state.range(0)));
    for (auto _ : state) {
        OrrelinController controller;
        controller.awakeFromNib(OrrelinController::firstLoads::deferred);
        controller.mainWindow()->resize(1180, 800);
        benchmark::DoNotOptimize(controller.mainWindow()->grab());
        // The deferred loads never run: the controller goes before the event loop turns.
    }
    keepOrigins(0);
}
BENCHMARK(BM_StartUpToFirstPaint)->Arg(0)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
