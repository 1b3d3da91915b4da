// The program started as a user starts it, in a process of its own, timed from that process's
// start to the first paint of its main window, against the same process printing its version.
// BM_StartUpToFirstPaint measures the same work from inside a running process; this one adds
// what it leaves out: loading the program and its libraries, and the application's own start.

#include "OrrelinController.h"
#include "benchSupport.h"
#include "eventListFile.h"
#include "serviceEndpoints.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <optional>

#include <sys/resource.h>

namespace {

// A launch may take seconds on a loaded machine; one that takes this long has gone wrong.
constexpr int launchTimeoutMs = 60000;

// What the child runs in: a home of its own with a kept list of `keptOrigins` origins and the
// settings that name it, the off-screen platform, and every service pointed at a loopback port
// that takes connections and never answers, so that no load completes while it is measured.
class childSurroundings {
public:
    explicit childSurroundings(int keptOrigins) {
        const QDir home(folder_.path());
        for (const char* sub : {"config", "cache", "data", "runtime"})
            home.mkpath(QLatin1StringView(sub));
        QFile::setPermissions(home.filePath(QStringLiteral("runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                  QFileDevice::ExeOwner);
        if (keptOrigins > 0)
            keep(keptOrigins);

        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert(QStringLiteral("HOME"), home.path());
        environment_.insert(QStringLiteral("XDG_CONFIG_HOME"),
                            home.filePath(QStringLiteral("config")));
        environment_.insert(QStringLiteral("XDG_CACHE_HOME"),
                            home.filePath(QStringLiteral("cache")));
        environment_.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"),
                            home.filePath(QStringLiteral("runtime")));
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (auto d = serviceEndpoints::begin(); d != serviceEndpoints::end(); ++d)
            environment_.insert(QLatin1StringView(d->environmentVariable), silentServer_.baseURL());
        environment_.insert(QStringLiteral("QUORVEL_REPORT_FIRST_PAINT"), reportPath());
    }

    bool isValid() const { return folder_.isValid() && silentServer_.isListening(); }
    const QProcessEnvironment& environment() const { return environment_; }
    QString reportPath() const { return folder_.filePath(QStringLiteral("firstPaint")); }

private:
    // The program's own writer makes the list, and the settings hold what the program reads
    // beside it, in the places Qt gives the organisation and application "Quorvel".
    void keep(int count) {
        const QString name = QFileInfo(OrrelinController::cachedOriginsPath()).fileName();
        const QDir cache(folder_.filePath(QStringLiteral("cache/Quorvel/Quorvel")));
        cache.mkpath(QStringLiteral("."));
        eventListFile::write(benchSupport::lastMonthOrigins(count), cache.filePath(name));
        QSettings settings(folder_.filePath(QStringLiteral("config/Quorvel/Quorvel.conf")),
                           QSettings::IniFormat);
        settings.setValue(QStringLiteral("cache/catalogueTag"), int(catalogueLoader::usgsFeedTag));
        settings.setValue(QStringLiteral("cache/loadedAt"), QDateTime::currentDateTimeUtc());
    }

    QTemporaryDir folder_;
    benchSupport::silentServer silentServer_;
    QProcessEnvironment environment_;
};

// One run of the program from its start to its end, measured from here.
struct launch {
    double seconds;    // wall clock, from just before it was started
    double cpuSeconds; // its own, user and system, threads included
};

double childrenCpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

// Runs the program with `arguments` to its end; nothing when it failed.
std::optional<launch> runProgram(const QStringList& arguments,
                                 const QProcessEnvironment& environment) {
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setStandardOutputFile(QProcess::nullDevice());
    program.setStandardErrorFile(QProcess::nullDevice());
    const double cpuBefore = childrenCpuSeconds();
    QElapsedTimer clock;
    clock.start();
    program.start(QStringLiteral(QUORVEL_PROGRAM), arguments);
    if (!program.waitForFinished(launchTimeoutMs)) {
        program.kill();
        program.waitForFinished();
        return std::nullopt;
    }
    const launch measured{double(clock.nsecsElapsed()) * 1e-9, childrenCpuSeconds() - cpuBefore};
    if (program.exitStatus() != QProcess::NormalExit || program.exitCode() != 0)
        return std::nullopt;
    return measured;
}

// The averages of the launches' own figures as counters.
void countLaunches(benchmark::State& state, const launch& total) {
    state.counters["launch_to_exit_ms"] =
        benchmark::Counter(total.seconds * 1000, benchmark::Counter::kAvgIterations);
    state.counters["cpu_ms"] =
        benchmark::Counter(total.cpuSeconds * 1000, benchmark::Counter::kAvgIterations);
}

// The cost of a process of the program alone: started, its libraries loaded, its version
// printed, ended; timed from here.
void BM_ProgramVersion(benchmark::State& state) {
    const childSurroundings child(0);
    if (!child.isValid())
        return state.SkipWithError("no temporary folder or loopback port");
    launch total{0, 0};
    for (auto _ : state) {
        const std::optional<launch> run =
            runProgram({QStringLiteral("--version")}, child.environment());
        if (!run)
            return state.SkipWithError("Quorvel --version failed");
        state.SetIterationTime(run->seconds);
        total.seconds += run->seconds;
        total.cpuSeconds += run->cpuSeconds;
    }
    countLaunches(state, total);
}
BENCHMARK(BM_ProgramVersion)->UseManualTime()->Unit(benchmark::kMillisecond);

// The program opening its windows on a kept list of the argument's size (0: none), timed by
// the program itself from its process's start to its main window's first paint, after which
// it leaves. Counters, as for the baseline: `launch_to_exit_ms`, the launch timed from here,
// start to end; `cpu_ms`, the process's CPU time.
void BM_ProgramStartToFirstPaint(benchmark::State& state) {
    const int kept = int(state.range(0));
    const childSurroundings child(kept);
    if (!child.isValid())
        return state.SkipWithError("no temporary folder or loopback port");
    launch total{0, 0};
    for (auto _ : state) {
        QFile::remove(child.reportPath());
        const std::optional<launch> run = runProgram({}, child.environment());
        QFile report(child.reportPath());
        if (!run || !report.open(QIODevice::ReadOnly))
            return state.SkipWithError("Quorvel did not report its first paint");
        // "SECONDS ORIGINS"
        const QList<QByteArray> fields = report.readLine().trimmed().split(' ');
        bool read = fields.size() == 2;
        const double seconds = read ? fields.at(0).toDouble(&read) : 0;
        if (!read || seconds <= 0)
            return state.SkipWithError("Quorvel reported no time since its start");
        if (fields.at(1).toInt() != kept)
            return state.SkipWithError("Quorvel did not open on the kept list");
        state.SetIterationTime(seconds);
        total.seconds += run->seconds;
        total.cpuSeconds += run->cpuSeconds;
    }
    countLaunches(state, total);
}
BENCHMARK(BM_ProgramStartToFirstPaint)
    ->Arg(0)
    ->Arg(10000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
