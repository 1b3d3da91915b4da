#pragma once

#include "paintCounter.h"
#include "seismicOrigin.h"
#include "serviceEndpoints.h"

#include <QApplication>
#include <QByteArray>
#include <QDate>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTimeZone>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>

#include <time.h>

// What several benchmarks of the one benchmark program share.
namespace benchSupport {

// The program's one application, made by the first benchmark that needs it, on the off-screen
// platform; settings and the kept list go to the test folders, never the user's own.
inline void needApplication() {
    static int argc = 1;
    static char name[] = "quorvel_bench";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    new QApplication(argc, argv); // lives until the program ends
}

// Turns the event loop until `done` holds, waiting for events in between, or until
// `timeoutMs` have passed; false then. What the benchmarks wait for (a load's outcome) arrives
// as an event, so nothing here sleeps.
inline bool turnEventLoopUntil(const std::function<bool()>& done, int timeoutMs = 120000) {
    bool expired = false;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, [&expired] { expired = true; });
    deadline.start(timeoutMs);
    while (!done()) {
        if (expired)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// How long the main thread goes without turning its event loop, seen by a timer that ticks
// every millisecond while the meter lives: the longest time between two ticks, and the thread's
// own CPU time in its longest stretch (on a loaded machine a gap is also time the thread waited
// for a core; its CPU time tells the two apart). stop() counts the stretch up to its call.
class mainThreadGaps {
public:
    mainThreadGaps() {
        ticks_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&ticks_, &QTimer::timeout, [this] { tick(); });
        ticks_.start(1);
        sinceTick_.start();
        cpuAtTick_ = threadCpuMs();
    }
    void stop() {
        tick();
        ticks_.stop();
    }
    double longestMs() const { return longestMs_; }
    double longestCpuMs() const { return longestCpuMs_; }

private:
    static double threadCpuMs() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    }
    void tick() {
        longestMs_ = std::max(longestMs_, double(sinceTick_.nsecsElapsed()) / 1e6);
        const double cpu = threadCpuMs();
        longestCpuMs_ = std::max(longestCpuMs_, cpu - cpuAtTick_);
        cpuAtTick_ = cpu;
        sinceTick_.restart();
    }

    QTimer ticks_;
    QElapsedTimer sinceTick_;
    double cpuAtTick_ = 0;
    double longestMs_ = 0;
    double longestCpuMs_ = 0;
};

// Counts the paints a widget has had (the tests' own counter).
using ::paintCounter;

// A loopback port that takes connections and never answers, as a stalled network does.
class silentServer {
public:
    silentServer() {
        needApplication(); // listening needs the application's event dispatcher
        server_.listen(QHostAddress::LocalHost, 0);
    }
    bool isListening() const { return server_.isListening(); }
    QString baseURL() const {
        return QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort());
    }

private:
    QTcpServer server_;
};

// Every service pointed at `baseURL` while it lives, as its environment variable does.
class servicesPointedAt {
public:
    explicit servicesPointedAt(const QString& baseURL) {
        for (auto d = serviceEndpoints::begin(); d != serviceEndpoints::end(); ++d) {
            before_.append({d->environmentVariable, qgetenv(d->environmentVariable),
                            qEnvironmentVariableIsSet(d->environmentVariable)});
            qputenv(d->environmentVariable, baseURL.toUtf8());
        }
    }
    ~servicesPointedAt() {
        for (const auto& [name, value, wasSet] : before_) {
            if (wasSet)
                qputenv(name, value);
            else
                qunsetenv(name);
        }
    }
    servicesPointedAt(const servicesPointedAt&) = delete;
    servicesPointedAt& operator=(const servicesPointedAt&) = delete;

private:
    struct variable {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    QList<variable> before_;
};

// `count` origins spread over November 2026, anywhere on the globe, at any depth and magnitude;
// the same list for the same count. With `withRegionNames`, each also gets its Flinn–Engdahl
// names, as a loaded feed has them.
inline originList randomOrigins(int count, bool withRegionNames = false) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> lat(-90, 90), lon(-180, 180), depth(0, 700), mag(0, 9);
    originList origins;
    const QDateTime start(QDate(2026, 11, 1), QTime(0, 0), QTimeZone::utc());
    for (int i = 0; i < count; ++i) {
        auto o = std::make_shared<seismicOrigin>();
        o->setEventID(QStringLiteral("ev%1").arg(i));
        o->setOriginDateTime(start.addSecs(std::uniform_int_distribution<int>(0, 2592000)(random)));
        o->setLatitude(lat(random));
        o->setLongitude(lon(random));
        o->setDepth(depth(random));
        o->setMagnitude(mag(random));
        if (withRegionNames)
            o->setFERegion();
        o->loadMagnitudeIntoMagArray();
        origins.append(o);
    }
    return origins;
}

// `count` origins of the last 30 days, as a kept list holds them: between 60° south and north,
// magnitudes 2.5 to 7.5, with their Flinn–Engdahl names; the same places for the same count.
inline originList lastMonthOrigins(int count) {
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
    return origins;
}

// A month feed of `count` features shaped like the USGS summary feed, the same bytes for the
// same arguments. The first `large` events are above magnitude 6.5 and the rest below it, so
// that exactly those have detail documents to fetch; each links its document under
// `detailBase` (/detail/us<code>.geojson).
inline QByteArray syntheticMonthFeed(int count, int large = 0,
                                     const QString& detailBase = QStringLiteral(
                                         "https://earthquake.usgs.gov/earthquakes/feed/v1.0")) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> lat(-90, 90), lon(-180, 180), depth(0, 700),
        mag(2.5, 6.4);
    QByteArray json = R"({"type":"FeatureCollection","metadata":{"count":)" +
                      QByteArray::number(count) + R"(},"features":[)";
    for (int i = 0; i < count; ++i) {
        if (i)
            json += ',';
        const double magnitude = i < large ? 6.6 + 0.1 * (i % 10) : mag(random);
        json +=
            QStringLiteral(
                R"({"type":"Feature","properties":{"mag":%1,"place":"%2 km NW of Somewhere, Region","time":%3,)"
                R"("updated":%4,"tz":null,"url":"https://earthquake.usgs.gov/earthquakes/eventpage/us%5",)"
                R"("detail":"%6/detail/us%5.geojson","felt":null,)"
                R"("cdi":null,"mmi":2.5,"alert":null,"status":"reviewed","tsunami":0,"sig":199,"net":"us",)"
                R"("code":"%5","ids":",us%5,","sources":",us,","types":",origin,phase-data,","nst":23,)"
                R"("dmin":1.2,"rms":0.59,"gap":45,"magType":"mb","type":"earthquake","title":"M"},)"
                R"("geometry":{"type":"Point","coordinates":[%7,%8,%9]},"id":"us%5"})")
                .arg(magnitude, 0, 'f', 1)
                .arg(i % 200)
                .arg(1761765129224LL - qint64(i) * 259000)
                .arg(1761767506040LL - qint64(i) * 259000)
                .arg(6000000 + i)
                .arg(detailBase)
                .arg(lon(random), 0, 'f', 4)
                .arg(lat(random), 0, 'f', 4)
                .arg(depth(random), 0, 'f', 2)
                .toUtf8();
    }
    return json + "]}";
}

} // namespace benchSupport
