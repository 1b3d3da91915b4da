#include "OrrelinController.h"
#include "benchSupport.h"
#include "eventListFile.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMainWindow>
#include <QStandardPaths>

#include <benchmark/benchmark.h>

namespace {

using benchSupport::needApplication;

// Keeps `count` origins of the last month as the list of the last run (none: no file).
void keepOrigins(int count) {
    const QString path = OrrelinController::cachedOriginsPath();
    QFile::remove(path);
    if (count == 0)
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    eventListFile::write(benchSupport::lastMonthOrigins(count), path);
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
