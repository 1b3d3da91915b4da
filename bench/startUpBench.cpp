#include "OrrelinController.h"
#include "benchSupport.h"
#include "eventListFile.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QMainWindow>
#include <QStandardPaths>
#include <QTimer>

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

// The window opening with the network stalled: every service takes the connection and never
// answers, so the first loads (deferred, as the program starts them) wait for their time-out.
// After the main window's first paint, the event loop turns for two seconds of the stall; the
// counter longest_gap_ms is the longest time the main thread went without turning it (a timer
// ticks every millisecond), longest_gap_cpu_ms its CPU time in its longest stretch. Argument:
// the first loads deferred (1), or skipped (0), the baseline. The kept list holds 10,000
// origins.
void BM_StalledStartUpLongestGap(benchmark::State& state) {
    needApplication();
    const benchSupport::silentServer stalled;
    if (!stalled.isListening())
        return state.SkipWithError("no loopback port");
    const benchSupport::servicesPointedAt services(stalled.baseURL());
    keepOrigins(10000);
    const auto loads = state.range(0) ? OrrelinController::firstLoads::deferred
                                      : OrrelinController::firstLoads::skip;
    constexpr int stallMs = 2000;
    double longestMs = 0;
    double longestCpuMs = 0;
    for (auto _ : state) {
        OrrelinController controller;
        controller.awakeFromNib(loads);
        controller.mainWindow()->resize(1180, 800);
        const benchSupport::paintCounter painted(*controller.mainWindow());
        controller.mainWindow()->show();
        if (!benchSupport::turnEventLoopUntil([&painted] { return painted.paints() > 0; })) {
            state.SkipWithError("the window was never painted");
            break;
        }
        benchSupport::mainThreadGaps gaps;
        QEventLoop stall;
        QTimer::singleShot(stallMs, &stall, &QEventLoop::quit);
        stall.exec();
        gaps.stop();
        longestMs = std::max(longestMs, gaps.longestMs());
        longestCpuMs = std::max(longestCpuMs, gaps.longestCpuMs());
        if (loads == OrrelinController::firstLoads::deferred && !controller.isLoading())
            state.SkipWithError("the first loads did not wait for the stalled network");
    }
    state.counters["longest_gap_ms"] = longestMs;
    state.counters["longest_gap_cpu_ms"] = longestCpuMs;
    keepOrigins(0);
}
BENCHMARK(BM_StalledStartUpLongestGap)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
