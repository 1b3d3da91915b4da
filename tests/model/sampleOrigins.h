#pragma once

#include "QVRMagnitude.h"
#include "seismicOrigin.h"

#include <QDate>
#include <QTimeZone>

// `count` origins with ids "ev0", "ev1", …, spread over the globe and over magnitudes 2 to 8.9
// (moved by `magnitudeShift`), with region names and one magnitude record each, as a loaded
// list has them; the same list for the same arguments.
inline originList sampleOrigins(int count, float magnitudeShift = 0) {
    originList origins;
    for (int i = 0; i < count; ++i) {
        auto o = std::make_shared<seismicOrigin>();
        o->setEventID(QStringLiteral("ev%1").arg(i));
        o->setOriginDateTime(QDateTime(QDate(2026, 12, 1), QTime(i % 24, 0), QTimeZone::utc()));
        o->setLatitude(float(i % 180) - 89.5f);
        o->setLongitude(float(i % 360) - 179.75f);
        o->setMagnitude(2.0f + float(i % 70) / 10.0f + magnitudeShift);
        o->setFERegion();
        auto m = std::make_shared<QVRMagnitude>();
        m->setMvalue(o->magnitude());
        m->setMagnitudeType(QStringLiteral("ml"));
        o->addObjectToMagnitudes(m);
        origins.append(o);
    }
    return origins;
}
