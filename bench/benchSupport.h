#pragma once

#include "seismicOrigin.h"

#include <QApplication>
#include <QDate>
#include <QStandardPaths>
#include <QTimeZone>

#include <memory>
#include <random>

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

} // namespace benchSupport
