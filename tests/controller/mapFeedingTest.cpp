#include "mapFeeding.h"
#include "QVRStemTimeLineView.h"
#include "QVRTextDrawing.h"
#include "commandLineRun.h"
#include "geoMapView.h"
#include "mapColorLists.h"
#include "originDisplays.h"
#include "originStore.h"
#include "userDefaults.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList labelsOf(const mapLegend& legend) {
    QStringList labels{legend.colorTitle};
    for (const auto& c : legend.colors)
        labels << c.label;
    for (const auto& s : legend.sizes)
        labels << s.label;
    return labels;
}

std::shared_ptr<seismicOrigin> originAt(float lat, float lon, float depth, float magnitude,
                                        const QDateTime& time) {
    auto o = std::make_shared<seismicOrigin>();
    o->setLatitude(lat);
    o->setLongitude(lon);
    o->setDepth(depth);
    o->setMagnitude(magnitude);
    o->setOriginDateTime(time);
    return o;
}

} // namespace

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

    // Ages counted in days and in weeks, with cutoffs of 1 and 2 of the unit: six and a half
    // days is still within the first week, seven and a half past it.
    const auto classAgedInUnit = [&](double hours, int unit) {
        o.setOriginDateTime(now.addSecs(-qint64(hours * 3600)));
        return mapFeeding::mapPointForOrigin(o, 128.0f, now, mapFeeding::timeUnitSeconds(unit),
                                             1.0f, 2.0f)
            ->colorIndex();
    };
    EXPECT_EQ(classAgedInUnit(6.5 * 24, 3), 0);
    EXPECT_EQ(classAgedInUnit(7.5 * 24, 3), 1);
    EXPECT_EQ(classAgedInUnit(14.5 * 24, 3), 2);
    EXPECT_EQ(classAgedInUnit(23, 2), 0);
    EXPECT_EQ(classAgedInUnit(25, 2), 1);
    EXPECT_EQ(classAgedInUnit(49, 2), 2);

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

TEST(MapFeeding, LegendFollowsTheSymbolRules) {
    mapFeeding::legendSettings s;
    s.ageColors = {QColor(Qt::red), QColor(255, 128, 0), QColor(Qt::yellow)};
    s.recentCutoff = 12;
    s.olderCutoff = 24;
    s.timeUnitIndex = 1;
    s.symbolScale = 128;
    const mapLegend byAge = mapFeeding::legendFor(s);
    EXPECT_EQ(labelsOf(byAge),
              (QStringList{"Age", "≤ 12 h", "≤ 24 h", "older", "M 4", "M 6", "M 8"}));
    EXPECT_EQ(byAge.colors.at(1).color, QColor(255, 128, 0));
    // The sizes are the map symbols' own: an M 6 origin gets the M 6 entry's size.
    seismicOrigin six;
    six.setMagnitude(6);
    const QDateTime now(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc());
    six.setOriginDateTime(now);
    EXPECT_EQ(byAge.sizes.at(1).symbolSize,
              mapFeeding::mapPointForOrigin(six, 128, now, 3600, 12, 24)->symbolSize());
    s.timeUnitIndex = 2;
    s.recentCutoff = 1.5f;
    EXPECT_EQ(mapFeeding::legendFor(s).colors.at(0).label, "≤ 1.5 d");

    s.byDepth = true;
    const mapLegend byDepth = mapFeeding::legendFor(s);
    EXPECT_EQ(labelsOf(byDepth),
              (QStringList{"Depth", "0–70 km", "70–300 km", "> 300 km", "M 4", "M 6", "M 8"}));
    EXPECT_EQ(byDepth.colors.at(0).color, QColor(0xE6, 0x9F, 0x00));
    EXPECT_EQ(byDepth.colors.at(1).color, QColor(0x00, 0x9E, 0x73));
    EXPECT_EQ(byDepth.colors.at(2).color, QColor(0x00, 0x72, 0xB2));
    for (auto [depth, depthClass] : {std::pair{-1.0f, 0},
                                     {0.0f, 0},
                                     {70.0f, 0},
                                     {70.5f, 1},
                                     {300.0f, 1},
                                     {300.5f, 2},
                                     {650.0f, 2}})
        EXPECT_EQ(mapColorLists::depthClass(depth), depthClass) << depth;
}

TEST(MapFeeding, TheDisplaysColourByDepthAndDrawLegendRingsAndHome) {
    const QDateTime now(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc());
    const originList origins{originAt(10, 20, 10, 6, now), originAt(10, 60, 150, 6, now),
                             originAt(10, 100, 500, 6, now)};
    geoMapView map;
    QVRStemTimeLineView timeLine;
    map.resize(800, 600);
    originDisplays::displaySettings settings;
    settings.mapWest = -180;
    settings.mapEast = 180;
    settings.recentCutoff = 12;
    settings.olderCutoff = 24;
    settings.ageColors = {QColor(Qt::red), QColor(255, 128, 0), QColor(Qt::yellow)};
    settings.colorByDepth = true;
    settings.showLegend = false;
    originStore shown;
    shown.replaceOrigins(origins);
    originDisplays displays(map, timeLine, shown, [&settings] { return settings; });
    displays.setClock([now] { return now; });
    displays.updateColors();

    EXPECT_EQ(map.theColors(), mapColorLists::depthColors());
    EXPECT_TRUE(timeLine.colorByDepth());
    EXPECT_FALSE(map.legend());
    QImage picture = map.getImageOfView();
    const QPointF centres[] = {map.viewPointForLonLat(20, 10), map.viewPointForLonLat(60, 10),
                               map.viewPointForLonLat(100, 10)};
    for (int i = 0; i < 3; ++i) {
        // Half opaque over white.
        const QColor c = mapColorLists::depthColors().at(i);
        const QColor seen =
            picture.pixelColor(int(centres[i].x()), int(picture.height() - centres[i].y()));
        EXPECT_NEAR(seen.red(), (c.red() + 255) / 2, 2) << i;
        EXPECT_NEAR(seen.green(), (c.green() + 255) / 2, 2) << i;
        EXPECT_NEAR(seen.blue(), (c.blue() + 255) / 2, 2) << i;
    }

    settings.colorByDepth = false;
    settings.showLegend = true;
    displays.updateColors();
    EXPECT_EQ(map.theColors().at(0), QColor(Qt::red));
    EXPECT_EQ(map.thePoints().at(0)->colorIndex(), 0);
    ASSERT_TRUE(map.legend());
    EXPECT_EQ(map.legend()->colors.at(2).label, "older");

    // The click filter's rings: its radius and twice that.
    displays.showDistanceRings(QPointF(20, 10), 500);
    EXPECT_EQ(map.distanceRings().radiiKm, (QList<float>{500, 1000}));
    EXPECT_EQ(map.distanceRings().centre, QPointF(20, 10));
    displays.clearDistanceRings();
    EXPECT_TRUE(map.distanceRings().radiiKm.isEmpty());

    // Home only when both settings are numbers on the globe.
    userDefaults& defaults = userDefaults::standardUserDefaults();
    defaults.setObject(QStringLiteral("47.6"), QStringLiteral("alertHomeLatitude"));
    EXPECT_FALSE(originDisplays::homeLocation());
    defaults.setObject(QStringLiteral("-122.3"), QStringLiteral("alertHomeLongitude"));
    displays.updateDisplays();
    ASSERT_TRUE(map.homeLocation());
    EXPECT_EQ(*map.homeLocation(), QPointF(-122.3, 47.6));
    defaults.setObject(QStringLiteral("north"), QStringLiteral("alertHomeLatitude"));
    EXPECT_FALSE(originDisplays::homeLocation());
    defaults.setObject(QStringLiteral("95"), QStringLiteral("alertHomeLatitude"));
    EXPECT_FALSE(originDisplays::homeLocation());
    defaults.setObject(QString(), QStringLiteral("alertHomeLatitude"));
    displays.updateDisplays();
    EXPECT_FALSE(map.homeLocation());
    defaults.removeObjectForKey(QStringLiteral("alertHomeLatitude"));
    defaults.removeObjectForKey(QStringLiteral("alertHomeLongitude"));
}

TEST(MapFeeding, TheRenderedMapCarriesTheLegend) {
    QTemporaryDir dir;
    std::vector<QVRTextDrawing::drawnText> drawn;
    QVRTextDrawing::setRecorder(&drawn);
    const commandLineRun r =
        runQuorvel({QStringLiteral("--source"), QStringLiteral("usgs"), QStringLiteral("--input"),
                    QStringLiteral(QUORVEL_TEST_DATA "/feeds/sgoggins_2.5_month_20251029.geojson"),
                    QStringLiteral("--render"), QStringLiteral("map"), QStringLiteral("--output"),
                    dir.filePath(QStringLiteral("map.png"))});
    QVRTextDrawing::setRecorder(nullptr);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QStringList texts;
    for (const auto& t : drawn)
        texts << t.text;
    for (const char* label : {"Age", "≤ 12 h", "≤ 24 h", "older", "M 4", "M 6", "M 8"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(label))) << label;
}
