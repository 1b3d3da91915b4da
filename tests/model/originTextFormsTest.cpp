#include "scopedEnvironment.h"
#include "seismicOrigin.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<QVRMagnitude> magnitude(float value, const char* type, const char* contributor) {
    auto m = std::make_shared<QVRMagnitude>();
    m->setMvalue(value);
    m->setMagnitudeType(QString::fromUtf8(type));
    m->setContributor(QString::fromUtf8(contributor));
    return m;
}

seismicOrigin sampleOrigin() {
    seismicOrigin o;
    o.setOriginDateTime(QDateTime(QDate(2012, 5, 29), QTime(7, 0, 3), QTimeZone::utc()));
    o.setLongitude(-71.123456f);
    o.setLatitude(12.5f);
    o.setDepth(10.0f);
    o.setEventID(QStringLiteral("7000abcd"));
    o.setLocationContributor(QStringLiteral("US"));
    o.setCsvRegionString(QStringLiteral("120 km N of Somewhere"));
    return o;
}

} // namespace

TEST(OriginTextForms, RegionNamesFromTheFlinnEngdahlTables) {
    seismicOrigin o;
    o.setLatitude(48.0f);
    o.setLongitude(12.0f);
    o.setFERegion();
    EXPECT_EQ(o.myGreg(), 543);
    EXPECT_EQ(o.mySreg(), 36);
    EXPECT_EQ(o.flinnEngdahlString(), "GERMANY (Northwestern Europe)");
    EXPECT_EQ(o.shortFlinnEngdahlString(), "GERMANY");

    // The long text is returned without being stored; the numbers are refreshed.
    o.setLatitude(-42.45f);
    o.setLongitude(171.21f);
    EXPECT_EQ(o.longFERegion(), "SOUTH ISLAND, NEW ZEALAND (New Zealand Region)");
    EXPECT_EQ(o.myGreg(), 162);
    EXPECT_EQ(o.flinnEngdahlString(), "GERMANY (Northwestern Europe)");

    o.useShortFlinnEngdahlRegion();
    EXPECT_EQ(o.flinnEngdahlString(), "SOUTH ISLAND, NEW ZEALAND");
    EXPECT_EQ(o.shortFlinnEngdahlString(), "GERMANY");

    o.setFlinnEngdahlString(QStringLiteral("  NO BRACKETS  "));
    o.setupShortFEString();
    EXPECT_EQ(o.shortFlinnEngdahlString(), "NO BRACKETS");

    seismicOrigin nowhere;
    nowhere.setLatitude(95.0f);
    nowhere.setFERegion();
    EXPECT_EQ(nowhere.myGreg(), 0);
    EXPECT_EQ(nowhere.shortFlinnEngdahlString(), "UNKNOWN REGION");
}

TEST(OriginTextForms, ClipboardLinesMatchTheTableLayout) {
    EXPECT_EQ(seismicOrigin::headingsForSeparatedString(),
              "Origin Time | Longitude | Latitude | Depth (km) | Magnitude| Magnitude Type | "
              "Magnitude Contributor | Origin ID | Location Contributor | Region String\n");

    seismicOrigin o = sampleOrigin();
    o.addObjectToMagnitudes(magnitude(5.4f, "mb", "USGS"));
    o.addObjectToMagnitudes(magnitude(6.0f, "Mw", "GCMT"));
    EXPECT_EQ(o.valuesInSeparatedString(),
              "2012-05-29 07:00:03 +0000 | -71.123 |  12.500 |  10.00 | 5.40 | mb  | USGS | "
              "7000abcd | US | 120 km N of Somewhere\n");

    // Without magnitudes the three magnitude columns are missing; absent texts print (null).
    seismicOrigin bare = sampleOrigin();
    bare.setEventID(QString());
    EXPECT_EQ(bare.valuesInSeparatedString(),
              "2012-05-29 07:00:03 +0000 | -71.123 |  12.500 |  10.00 | (null) | US | "
              "120 km N of Somewhere\n");
    EXPECT_EQ(bare.valuesInSeparatedString().count(u'|'),
              seismicOrigin::headingsForSeparatedString().count(u'|') - 3);
}

TEST(OriginTextForms, DescriptionForTheLog) {
    seismicOrigin o = sampleOrigin();
    EXPECT_EQ(o.description(), "Origin ID: 7000abcd From Contributor: US\n"
                               "Origin Time:2012-05-29 07:00:03 +0000\n"
                               "Lat: 12.500 Lon:-71.123 Depth: 10.00\n");
    EXPECT_FALSE(o.hasMagnitudeList()); // describing does not create the list
    o.addObjectToMagnitudes(magnitude(5.4f, "mb", "USGS"));
    EXPECT_TRUE(o.description().endsWith("Magnitude: 5.40 Type: mb USGS\n"));
}

TEST(OriginTextForms, LongDateInTheComputersZone) {
    const scopedEnvironment zone("TZ", QStringLiteral("Europe/Rome"));
    seismicOrigin o = sampleOrigin();
    const QDateTime t = o.originDateTime();
    EXPECT_EQ(o.longDateString(t.addSecs(3 * 3600 + 5)), "09:00:03 CEST Tue, 29 May (3 hours ago)");
    EXPECT_EQ(o.longDateString(t.addSecs(3601)), "09:00:03 CEST Tue, 29 May (1 hour ago)");
    EXPECT_EQ(o.longDateString(t.addSecs(125)), "09:00:03 CEST Tue, 29 May (2 minutes ago)");
    EXPECT_EQ(o.longDateString(t.addDays(1).addSecs(1)), "09:00:03 CEST Tue, 29 May (1 day ago)");
    EXPECT_EQ(o.longDateString(t.addDays(12)), "09:00:03 CEST Tue, 29 May (12 days ago)");
    EXPECT_EQ(o.longDateString(t.addSecs(3600)), "09:00:03 CEST Tue, 29 May ");
}

TEST(OriginTextForms, EventPageAddress) {
    seismicOrigin o = sampleOrigin();
    {
        const scopedEnvironment unset("QUORVEL_USGS_EVENT_PAGE_URL", QString());
        EXPECT_EQ(o.usgsEventWebAddress(),
                  "https://earthquake.usgs.gov/earthquakes/eventpage/us7000abcd#summary");
    }
    const scopedEnvironment pages("QUORVEL_USGS_EVENT_PAGE_URL",
                                  QStringLiteral("http://127.0.0.1:8765/"));
    EXPECT_EQ(o.usgsEventWebAddress(),
              "http://127.0.0.1:8765/earthquakes/eventpage/us7000abcd#summary");
}
