#include "mapFeeding.h"

#include <gtest/gtest.h>

TEST(MapFeeding, SymbolsSizedByMagnitudeAndColouredByAge) {
    const QDateTime now(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc());
    seismicOrigin o;
    o.setMagnitude(5.0f);
    o.setLatitude(35.5f);
    o.setLongitude(-170.0f);
    o.setDepth(33.0f);
    auto pointAged = [&](double hours) {
        o.setOriginDateTime(now.addSecs(-qint64(hours * 3600)));
        return mapFeeding::mapPointForOrigin(o, 128.0f, now, mapFeeding::timeUnitSeconds(1), 12.0f,
                                             24.0f);
    };
    const auto p = pointAged(12);
    EXPECT_FLOAT_EQ(p->symbolSize(), 125.0f / 128.0f);
    EXPECT_EQ(p->alpha(), 0.5f);
    EXPECT_EQ(p->lat(), 35.5f);
    EXPECT_EQ(p->lon(), -170.0f);
    EXPECT_EQ(p->depth(), 33.0f);
    EXPECT_EQ(p->colorIndex(), 0);
    EXPECT_EQ(pointAged(13)->colorIndex(), 1);
    EXPECT_EQ(pointAged(24)->colorIndex(), 1);
    EXPECT_EQ(pointAged(25)->colorIndex(), 2);

    EXPECT_EQ(mapFeeding::timeUnitSeconds(0), 60.0);
    EXPECT_EQ(mapFeeding::timeUnitSeconds(4), 31536000.0);
    EXPECT_EQ(mapFeeding::timeUnitSeconds(9), 3600.0);
}

TEST(MapFeeding, RegionPresetsAndCursorReadout) {
    EXPECT_EQ(mapFeeding::regionPreset(11), QRectF(0, -90, 360, 180));
    EXPECT_EQ(mapFeeding::regionPreset(5), QRectF(120, -75, 80, 150)); // to 200° east
    EXPECT_EQ(mapFeeding::regionPreset(12), QRectF(-15, 30, 60, 35));
    EXPECT_EQ(mapFeeding::regionPreset(0), QRectF(-180, -90, 360, 180));
    EXPECT_EQ(mapFeeding::regionPreset(13), QRectF(-180, -90, 360, 180));

    const auto west = mapFeeding::readoutAt(190, -12.345);
    EXPECT_EQ(west.position, "-170.00E -12.35N");
    const auto germany = mapFeeding::readoutAt(12, 48);
    EXPECT_EQ(germany.position, "  12.00E  48.00N");
    EXPECT_EQ(germany.region, "GERMANY");
}
