// A refresh of the USGS month feed against a loopback server that answers slowly, the kept
// list's write, and how long the main thread goes without turning its event loop meanwhile.

#include "NEIC_QueryController.h"
#include "OrrelinController.h"
#include "QVRStemTimeLineView.h"
#include "benchSupport.h"
#include "eventListFile.h"
#include "geoMapView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

using benchSupport::needApplication;
using benchSupport::randomOrigins;
using benchSupport::syntheticMonthFeed;

// Answers every request after a fixed delay, as a distant host does, and counts the requests
// for each path. Many answers may be waiting at once.
class slowServer : public QObject {
public:
    explicit slowServer(int delayMs)
        : delayMs_(delayMs) {
        // Listening needs the application's event dispatcher: a server made before it never
        // hears of its connections.
        needApplication();
        server_.listen(QHostAddress::LocalHost, 0);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }
    QString baseURL() const {
        return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
    }
    void setAnswer(const QString& path, const QByteArray& body) { bodies_.insert(path, body); }
    int requestsFor(const QString& pathPart) const {
        int n = 0;
        for (auto it = counts_.cbegin(); it != counts_.cend(); ++it)
            n += it.key().contains(pathPart) ? it.value() : 0;
        return n;
    }

private:
    void answer(QTcpSocket* socket) {
        QByteArray& request = pending_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromLatin1(request.split(' ').value(1));
        pending_.remove(socket);
        ++counts_[path];
        const QByteArray body = bodies_.value(path);
        QTimer::singleShot(delayMs_, socket, [socket, body] {
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nContent-Length: " +
                          QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n");
            socket->write(body);
            socket->disconnectFromHost();
        });
    }

    QTcpServer server_;
    int delayMs_;
    QHash<QString, QByteArray> bodies_;
    QHash<QString, int> counts_;
    QHash<QTcpSocket*, QByteArray> pending_;
};

const QString feedPath = QStringLiteral("/earthquakes/feed/v1.0/summary/2.5_month.geojson");

QByteArray detailDocument(int i) {
    return QStringLiteral(R"({"properties":{"products":{"losspager":[{"contents":{"onepager.pdf":)"
                          R"({"url":"https://example.org/pager/us%1_onepager.pdf"}}}]}}})")
        .arg(6000000 + i)
        .toUtf8();
}

// The month feed of 2,000 events, 15 of them above 6.5, each answer 300 ms late.
struct slowMonth {
    static constexpr int events = 2000;
    static constexpr int large = 15;
    slowServer server{300};
    QByteArray environmentBefore = qgetenv("QUORVEL_USGS_FEED_URL");

    slowMonth() {
        qputenv("QUORVEL_USGS_FEED_URL", server.baseURL().toUtf8());
        server.setAnswer(feedPath, syntheticMonthFeed(events, large, server.baseURL()));
        for (int i = 0; i < large; ++i)
            server.setAnswer(QStringLiteral("/detail/us%1.geojson").arg(6000000 + i),
                             detailDocument(i));
    }
    ~slowMonth() { qputenv("QUORVEL_USGS_FEED_URL", environmentBefore); }
};

// Baseline: the feed alone, downloaded and read, without detail documents.
void BM_SlowFeedRefreshWithoutDetails(benchmark::State& state) {
    slowMonth month;
    NEIC_QueryController c;
    for (auto _ : state)
        benchmark::DoNotOptimize(c.fetchOrigins());
}
BENCHMARK(BM_SlowFeedRefreshWithoutDetails)->Unit(benchmark::kMillisecond)->UseRealTime();

// How refreshes fetched the detail documents before: one after another, each on its own.
void BM_SlowFeedRefreshDetailsOneByOne(benchmark::State& state) {
    slowMonth month;
    NEIC_QueryController c;
    for (auto _ : state) {
        const auto feed = c.fetchOrigins();
        for (const auto& o : feed->origins) {
            if (o->magnitude() > 6.5f)
                c.loadGeoJSONDetailsForOrigin(*o);
        }
    }
}
BENCHMARK(BM_SlowFeedRefreshDetailsOneByOne)->Unit(benchmark::kMillisecond)->UseRealTime();

// A first refresh: every large event's detail document is fetched.
void BM_SlowFeedFirstRefresh(benchmark::State& state) {
    slowMonth month;
    for (auto _ : state) {
        NEIC_QueryController c;
        const originList origins = c.loadUSGSGeoJSONFeed();
        if (origins.isEmpty() || !origins.first()->gsLinks())
            state.SkipWithError("the refresh brought no detail links");
    }
}
BENCHMARK(BM_SlowFeedFirstRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();

// A refresh with nothing changed: the kept detail documents are used, none is fetched.
void BM_SlowFeedUnchangedRefresh(benchmark::State& state) {
    slowMonth month;
    NEIC_QueryController c;
    c.loadUSGSGeoJSONFeed();
    const int fetched = month.server.requestsFor(QStringLiteral("/detail/"));
    for (auto _ : state) {
        const originList origins = c.loadUSGSGeoJSONFeed();
        if (origins.isEmpty() || !origins.first()->gsLinks())
            state.SkipWithError("the refresh lost the detail links");
    }
    if (month.server.requestsFor(QStringLiteral("/detail/")) != fetched)
        state.SkipWithError("an unchanged refresh fetched detail documents");
}
BENCHMARK(BM_SlowFeedUnchangedRefresh)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: the same number of bytes as the list's file, saved atomically.
void BM_SaveFileOfEventListSize(benchmark::State& state) {
    const QByteArray bytes(
        eventListFile::archivedData(randomOrigins(int(state.range(0)), true)).size(), 'x');
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list"));
    for (auto _ : state) {
        QSaveFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        benchmark::DoNotOptimize(file.commit());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SaveFileOfEventListSize)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_EventListWrite(benchmark::State& state) {
    const originList origins = randomOrigins(int(state.range(0)), true);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list"));
    for (auto _ : state)
        benchmark::DoNotOptimize(eventListFile::write(origins, path));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EventListWrite)->Arg(10000)->Unit(benchmark::kMillisecond);

// What the main thread pays before a background write: the copy the worker reads.
void BM_EventListSnapshot(benchmark::State& state) {
    const originList origins = randomOrigins(int(state.range(0)), true);
    for (auto _ : state)
        benchmark::DoNotOptimize(eventListFile::snapshotOf(origins));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_EventListSnapshot)->Arg(10000)->Unit(benchmark::kMillisecond);

// The window's refresh of a month feed of N events (15 of them with detail documents, the
// server answering at once): the time it takes, and, as the counter longest_gap_ms, the
// longest time the main thread went without turning its event loop, seen by a timer that
// ticks every millisecond.
void BM_WindowRefreshLongestGap(benchmark::State& state) {
    needApplication();
    slowServer server(0);
    const QByteArray environmentBefore = qgetenv("QUORVEL_USGS_FEED_URL");
    qputenv("QUORVEL_USGS_FEED_URL", server.baseURL().toUtf8());
    server.setAnswer(feedPath, syntheticMonthFeed(int(state.range(0)), 15, server.baseURL()));
    for (int i = 0; i < 15; ++i)
        server.setAnswer(QStringLiteral("/detail/us%1.geojson").arg(6000000 + i),
                         detailDocument(i));
    OrrelinController controller;
    controller.awakeFromNib(OrrelinController::firstLoads::skip);
    controller.mainWindow()->resize(1180, 800);
    controller.mainWindow()->show();
    QCoreApplication::processEvents();
    const benchSupport::paintCounter mapPainted(*controller.topoMapView());
    const benchSupport::paintCounter timeLinePainted(*controller.timeLineView());

    double longestMs = 0;
    double longestCpuMs = 0;
    for (auto _ : state) {
        int mapPaints = 0, timeLinePaints = 0;
        const QObject iteration; // the counts are taken while it lives
        QObject::connect(&controller.origins(), &originStore::originsReplaced, &iteration, [&] {
            mapPaints = mapPainted.paints();
            timeLinePaints = timeLinePainted.paints();
        });
        benchSupport::mainThreadGaps gaps;
        controller.update();
        // The load runs on the loader's worker; its outcome comes back as an event.
        if (!benchSupport::turnEventLoopUntil([&controller] { return !controller.isLoading(); })) {
            state.SkipWithError("the refresh never ended");
            break;
        }
        // The repaint the refresh asked for belongs to it: the map and the time line painted
        // with the new list.
        if (!benchSupport::turnEventLoopUntil([&] {
                return mapPainted.paints() > mapPaints && timeLinePainted.paints() > timeLinePaints;
            })) {
            state.SkipWithError("the refresh was never painted");
            break;
        }
        gaps.stop();
        longestMs = std::max(longestMs, gaps.longestMs());
        longestCpuMs = std::max(longestCpuMs, gaps.longestCpuMs());
        if (controller.allSeismicOrigins().isEmpty())
            state.SkipWithError("the refresh did not bring the feed");
    }
    eventListFile::waitForBackgroundWrites();
    state.counters["longest_gap_ms"] = longestMs;
    state.counters["longest_gap_cpu_ms"] = longestCpuMs;
    qputenv("QUORVEL_USGS_FEED_URL", environmentBefore);
}
BENCHMARK(BM_WindowRefreshLongestGap)
    ->Arg(10000)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
