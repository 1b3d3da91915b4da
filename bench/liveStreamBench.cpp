// The Live Seismograms window streaming 60 channels at 100 Hz from a loopback SeedLink server at
// ten times real time, its display redrawing on its own timer: the main thread's busy share of
// the wall time, the packets lost and the resident memory once the rings are full and at the
// end. The baseline is the same stream into a bare client that only counts the packets.

#include "QVRRealTimeDisplayView02.h"
#include "benchSupport.h"
#include "liveSeismogramsController.h"
#include "liveStream.h"
#include "miniSeedPacker.h"
#include "seedLinkClient.h"
#include "seedLinkFixtureServer.h"
#include "serviceEndpoints.h"

#include "ui_liveSeismogramsWindow.h"

#include <QFile>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int channelCount = 60;
constexpr double rate = 100.0;      // Hz
constexpr double speedUp = 10.0;    // times real time
constexpr double windowMinutes = 5; // the rings fill half-way through ten minutes

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The resident set, MiB.
double residentMiB() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toDouble() * double(sysconf(_SC_PAGESIZE)) / 1048576.0
                             : 0;
}

// The records of `seconds` of every channel from `startUs`, in the order of their times, as a
// server's stations send them: a band-limited noise with an earthquake-like burst in it, so
// that Steim-2 packs it as it does real ground motion.
QList<QByteArray> streamRecords(qint64 startUs, int seconds) {
    struct timed {
        qint64 startUs;
        QByteArray bytes;
    };
    std::vector<timed> all;
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 40);
    const int count = int(seconds * rate);
    for (int c = 0; c < channelCount; ++c) {
        miniSeedPacker packer;
        packer.network = "XB";
        packer.station = QByteArray("S") + QByteArray::number(c);
        packer.location = "";
        packer.channel = "HHZ";
        packer.rate = rate;
        packer.startUs = startUs;
        std::vector<int32_t> samples(static_cast<size_t>(count));
        double level = 0;
        for (int k = 0; k < count; ++k) {
            level = 0.9 * level + noise(random);
            const double burst =
                k > count / 3 ? 3000.0 * std::exp(-(k - count / 3) / 3000.0) * std::sin(0.07 * k)
                              : 0.0;
            samples[size_t(k)] = int32_t(std::lround(level + burst)) + 1000 * c;
        }
        const QByteArray packed = packer.pack(samples);
        for (qsizetype at = 0; at + 512 <= packed.size(); at += 512) {
            const QByteArray record = packed.mid(at, 512);
            const auto decoded = miniSeedRecord::decode(record);
            all.push_back({decoded ? decoded.value().startTimeUs : 0, record});
        }
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const timed& a, const timed& b) { return a.startUs < b.startUs; });
    QList<QByteArray> records;
    for (const timed& t : all)
        records << t.bytes;
    return records;
}

// A SeedLink server on a thread of its own, so that its sending is not the main thread's work.
class serverThread {
public:
    explicit serverThread(const QList<QByteArray>& records) {
        context_.moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(
            &context_,
            [this, &records] {
                server_ = new seedLinkFixtureServer;
                for (const QByteArray& r : records)
                    server_->addRecords(r);
                server_->setRealTimeFactor(speedUp);
            },
            Qt::BlockingQueuedConnection);
    }
    ~serverThread() {
        QMetaObject::invokeMethod(
            &context_, [this] { delete server_; }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
    }
    serverThread(const serverThread&) = delete;
    serverThread& operator=(const serverThread&) = delete;
    QString address() const { return server_->server(); }

private:
    QThread thread_;
    QObject context_; // lives in the thread, for calls into it
    seedLinkFixtureServer* server_ = nullptr;
};

struct streamed {
    qsizetype packets = 0;
    double wallSeconds = 0, mainCpuSeconds = 0;
    double fullMiB = 0, endMiB = 0;
    int paints = 0;
};

// Streams `seconds` of data; with `window`, into the Live Seismograms window, else into a bare
// client.
streamed stream(int seconds, bool window) {
    benchSupport::needApplication();
    const qint64 startUs = QDateTime::currentDateTimeUtc().toMSecsSinceEpoch() * 1000;
    const QList<QByteArray> records = streamRecords(startUs, seconds);
    serverThread server(records);
    qputenv(serviceEndpoints::seedLinkServerVariable, server.address().toUtf8());

    streamed out;
    QElapsedTimer wall;
    const double wallToFull = windowMinutes * 60.0 / speedUp;
    QList<seedLinkChannel> channels;
    QString list;
    for (int c = 0; c < channelCount; ++c) {
        channels << seedLinkChannel{"XB", QStringLiteral("S%1").arg(c), "", "HHZ"};
        list += QStringLiteral("XB; S%1; --; HHZ; XB.S%1\n").arg(c);
    }
    const auto takeMemory = [&] {
        if (out.fullMiB == 0 && wall.elapsed() / 1000.0 > wallToFull + 1)
            out.fullMiB = residentMiB();
    };
    if (window) {
        QVRRTSeismicDisplayController downloads;
        liveSeismogramsController live(downloads);
        // The display's clock runs with the data: ten times real time from the first sample.
        QElapsedTimer since;
        live.setClock([&since, startUs] {
            return QDateTime::fromMSecsSinceEpoch(
                startUs / 1000 + qint64(double(since.nsecsElapsed()) / 1e6 * speedUp),
                QTimeZone::utc());
        });
        Ui::liveSeismogramsWindow& ui = live.interface();
        ui.channelListTView->setPlainText(list);
        ui.dataSourceComboBox->setCurrentIndex(2);
        ui.durationTField->setText(QString::number(windowMinutes));
        live.window()->resize(1400, 900);
        live.showWindow();
        benchSupport::paintCounter paints(*live.view());
        QObject::connect(&live.stream().client(), &seedLinkClient::packetsArrived,
                         [&](const QList<seedLinkPacket>& p) {
                             out.packets += p.size();
                             takeMemory();
                         });
        const double cpu = threadCpuSeconds();
        since.start();
        wall.start();
        live.setLive(true);
        benchSupport::turnEventLoopUntil([&] { return out.packets >= records.size(); },
                                         int(seconds / speedUp * 2000) + 30000);
        out.wallSeconds = double(wall.nsecsElapsed()) / 1e9;
        out.mainCpuSeconds = threadCpuSeconds() - cpu;
        out.endMiB = residentMiB();
        out.paints = paints.paints();
        live.stop();
    } else {
        seedLinkClient client;
        QObject::connect(&client, &seedLinkClient::packetsArrived,
                         [&](const QList<seedLinkPacket>& p) {
                             out.packets += p.size();
                             takeMemory();
                         });
        const double cpu = threadCpuSeconds();
        wall.start();
        client.start(server.address(), channels,
                     QDateTime::fromMSecsSinceEpoch(startUs / 1000, QTimeZone::utc()));
        benchSupport::turnEventLoopUntil([&] { return out.packets >= records.size(); },
                                         int(seconds / speedUp * 2000) + 30000);
        out.wallSeconds = double(wall.nsecsElapsed()) / 1e9;
        out.mainCpuSeconds = threadCpuSeconds() - cpu;
        out.endMiB = residentMiB();
        client.stop();
    }
    out.packets = records.size() - out.packets; // now the packets lost
    return out;
}

void report(benchmark::State& state, bool window) {
    streamed s;
    for (auto _ : state) {
        s = stream(int(state.range(0)), window);
        state.SetIterationTime(s.wallSeconds);
    }
    state.counters["main_busy_pct"] = 100.0 * s.mainCpuSeconds / s.wallSeconds;
    state.counters["packets_lost"] = double(s.packets);
    state.counters["rss_full_MiB"] = s.fullMiB;
    state.counters["rss_end_MiB"] = s.endMiB;
    if (window)
        state.counters["paints_per_s"] = s.paints / s.wallSeconds;
}

// Baseline: the stream into a client that only counts the packets.
void BM_SeedLinkStreamBareClient(benchmark::State& state) {
    report(state, false);
}

// The Live Seismograms window: rings, filters and the moving display.
void BM_SeedLinkStreamLiveWindow(benchmark::State& state) {
    report(state, true);
}

} // namespace

// The argument is the seconds of data; 600 is ten minutes, a minute of wall time.
BENCHMARK(BM_SeedLinkStreamBareClient)
    ->Arg(120)
    ->Arg(600)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_SeedLinkStreamLiveWindow)
    ->Arg(120)
    ->Arg(600)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
