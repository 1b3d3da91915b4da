#include "eventFilters.h"

#include <gtest/gtest.h>

namespace {

const QDateTime now(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc());

std::shared_ptr<seismicOrigin> origin(const char* id, double hoursAgo, float lat, float lon) {
    auto o = std::make_shared<seismicOrigin>();
    o->setEventID(QString::fromUtf8(id));
    o->setOriginDateTime(now.addSecs(-qint64(hoursAgo * 3600)));
    o->setLatitude(lat);
    o->setLongitude(lon);
    return o;
}

QStringList ids(const originList& list) {
    QStringList out;
    for (const auto& o : list)
        out << o->eventID();
    return out;
}

} // namespace

TEST(EventFilters, ByTimeKeepsOriginsNearTheClickedAge) {
    // "e" is 0.8 h from the clicked age: outside a window of half an hour on either side.
    const originList all{origin("a", 1, 0, 0), origin("b", 5, 0, 0), origin("c", 6, 0, 0),
                         origin("e", 6.3, 0, 0), origin("d", 30, 0, 0)};
    const auto kept = eventFilters::byTime(all, 5.5 * 3600, 0.5 * 3600, now);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(ids(*kept), (QStringList{"b", "c"}));
    // A window of zero keeps only an exact age; none here, so nothing changes.
    EXPECT_FALSE(eventFilters::byTime(all, 5.5 * 3600, 0, now).has_value());
    EXPECT_TRUE(eventFilters::byTime(all, 5 * 3600, 0, now).has_value());
    EXPECT_FALSE(eventFilters::byTime({}, 0, 1e9, now).has_value());
}

TEST(EventFilters, ByDistanceUsesGreatCircleDegrees) {
    // One degree of latitude is 111.19 km; "beyond" is 2.1° (233.5 km) away.
    const originList all{origin("near", 1, 1.0f, 0), origin("edge", 1, -2.0f, 0),
                         origin("beyond", 1, 0, 2.1f), origin("far", 1, 5.0f, 0),
                         origin("dateline", 1, 0, 179.5f)};
    const auto kept = eventFilters::byDistance(all, 0, 0, 2 * 111.19f);
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(ids(*kept), (QStringList{"near", "edge"}));
    // Across the date line: −179.5 is one degree from 179.5.
    const auto across = eventFilters::byDistance(all, -179.5f, 0, 120);
    ASSERT_TRUE(across.has_value());
    EXPECT_EQ(ids(*across), (QStringList{"dateline"}));
    EXPECT_FALSE(eventFilters::byDistance(all, 90, 45, 10).has_value());
}
