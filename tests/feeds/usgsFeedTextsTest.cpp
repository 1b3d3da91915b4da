#include "NEIC_QueryController.h"

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

// Records of a feed share the texts that repeat between them (region names, contributors);
// each must still read as if it had been made for that record alone.
TEST(UsgsGeoJSONFeed, SharedTextsReadAsTheirOwn) {
    QFile f(QStringLiteral(QUORVEL_TEST_DATA "/feeds/sgoggins_2.5_month_20251029.geojson"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    NEIC_QueryController c;
    c.setMinMagnitude(0);
    const originList all = c.parseUSGSGeoJSONFeed(f.readAll(), false);
    ASSERT_EQ(all.size(), 1349);
    QSet<QString> networks, regions;
    for (const auto& o : all) {
        seismicOrigin alone = *o;
        alone.setFlinnEngdahlString(alone.longFERegion());
        alone.setupShortFEString();
        ASSERT_EQ(o->flinnEngdahlString(), alone.flinnEngdahlString()) << qPrintable(o->eventID());
        ASSERT_EQ(o->shortFlinnEngdahlString(), alone.shortFlinnEngdahlString());
        ASSERT_EQ(o->myGreg(), alone.myGreg());
        ASSERT_EQ(o->mySreg(), alone.mySreg());
        const QString network =
            o->network_code().isNull() ? QStringLiteral("unknown") : o->network_code();
        ASSERT_EQ(o->locationContributor(), QStringLiteral("USGS-") + network);
        networks.insert(network);
        regions.insert(o->shortFlinnEngdahlString());
    }
    // The feed changes network and region often enough for the sharing to be exercised.
    EXPECT_GT(networks.size(), 5);
    EXPECT_GT(regions.size(), 50);

    // Networks that differ only as null and empty still name different contributors.
    const QByteArray feed = R"({"features":[
        {"geometry":{"coordinates":[1,2,3]},"properties":{"mag":3,"net":null}},
        {"geometry":{"coordinates":[1,2,3]},"properties":{"mag":3,"net":""}},
        {"geometry":{"coordinates":[1,2,3]},"properties":{"mag":3}},
        {"geometry":{"coordinates":[1,2,3]},"properties":{"mag":3,"net":"us","ids":"us1,us2"}}]})";
    const originList made = c.parseUSGSGeoJSONFeed(feed, false);
    ASSERT_EQ(made.size(), 4);
    EXPECT_EQ(made.at(0)->locationContributor(), "USGS-unknown");
    EXPECT_EQ(made.at(1)->locationContributor(), "USGS-");
    EXPECT_EQ(made.at(2)->locationContributor(), "USGS-unknown");
    EXPECT_EQ(made.at(3)->locationContributor(), "USGS-us");
    EXPECT_EQ(made.at(3)->eventID(), "us1");
}
