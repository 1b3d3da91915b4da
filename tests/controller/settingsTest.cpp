#include "applicationDefaults.h"
#include "geoMapView.h"
#include "mapDirectories.h"
#include "propertyList.h"
#include "userDefaults.h"

#include <QDir>
#include <QSettings>

#include <gtest/gtest.h>

TEST(PropertyList, ReadsTheXmlForm) {
    const auto value = propertyList::read(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
  <key>text</key><string>a &amp; b</string>
  <key>count</key><integer>42</integer>
  <key>ratio</key><real>0.5</real>
  <key>yes</key><true/>
  <key>no</key><false/>
  <key>list</key><array><string>x</string><integer>1</integer><dict/></array>
  <key>bytes</key><data>SGVsbG8=</data>
</dict></plist>)");
    ASSERT_TRUE(value.has_value());
    const QVariantMap map = value->toMap();
    EXPECT_EQ(map.value("text").toString(), "a & b");
    EXPECT_EQ(map.value("count").toLongLong(), 42);
    EXPECT_EQ(map.value("ratio").toDouble(), 0.5);
    EXPECT_EQ(map.value("yes"), QVariant(true));
    EXPECT_EQ(map.value("no"), QVariant(false));
    EXPECT_EQ(map.value("list").toList().size(), 3);
    EXPECT_EQ(map.value("bytes").toByteArray(), "Hello");

    QString error;
    EXPECT_FALSE(propertyList::read("<html/>", &error).has_value());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(propertyList::read("<plist><dict><key>a</key></dict></plist>").has_value());
    EXPECT_FALSE(propertyList::read("<plist><integer>many</integer></plist>").has_value());
    EXPECT_FALSE(propertyList::read("<plist><dict><key>a</key><string>cut").has_value());
    EXPECT_FALSE(propertyList::read("").has_value());
    QByteArray deep = "<plist>";
    for (int i = 0; i < 1000; ++i)
        deep += "<array>";
    EXPECT_FALSE(propertyList::read(deep).has_value());
}

TEST(UserDefaults, RegisteredValuesAnswerUntilTheUserStoresOne) {
    userDefaults defaults;
    defaults.registerDefaults({{"updateIntervalSeconds", "300"}, {"autoUpdateToggle", false}});
    defaults.registerDefaults({{"updateIntervalSeconds", "120"}}); // a later registration wins
    EXPECT_EQ(defaults.stringForKey("updateIntervalSeconds"), "120");
    EXPECT_FALSE(defaults.boolForKey("autoUpdateToggle"));
    defaults.setObject("60", "updateIntervalSeconds");
    EXPECT_EQ(defaults.stringForKey("updateIntervalSeconds"), "60");
    EXPECT_EQ(defaults.floatForKey("updateIntervalSeconds"), 60.0f);
    defaults.removeObjectForKey("updateIntervalSeconds");
    EXPECT_EQ(defaults.stringForKey("updateIntervalSeconds"), "120");
    defaults.setObject("YES", "autoUpdateToggle");
    EXPECT_TRUE(defaults.boolForKey("autoUpdateToggle"));
    defaults.removeObjectForKey("autoUpdateToggle");
    EXPECT_TRUE(defaults.stringForKey("neverRegistered").isNull());
}

TEST(ApplicationDefaults, DescriptionFixedValuesAndTheDefaultsFile) {
    const QVariantMap fixed = applicationDefaults::fixedDefaults();
    EXPECT_EQ(fixed.size(), 24);
    EXPECT_EQ(fixed.value("minSeachMag"), "7.0");
    EXPECT_FALSE(fixed.contains("minSearchMag"));
    EXPECT_EQ(fixed.value("wdirString"), QDir(QDir::homePath()).filePath("Documents"));
    EXPECT_EQ(fixed.value("maxRadiusString"), "90");

    // The description's default for the interval (600) gives way to the fixed one (300);
    // its toggle, which no fixed default names, stays.
    const QVariantMap merged = applicationDefaults::registrationDefaults(R"(<plist><dict>
      <key>PreferenceSpecifiers</key><array>
        <dict><key>Type</key><string>PSGroupSpecifier</string></dict>
        <dict><key>Key</key><string>updateIntervalSeconds</string><key>DefaultValue</key><string>600</string></dict>
        <dict><key>Key</key><string>autoUpdateToggle</string><key>DefaultValue</key><true/></dict>
      </array></dict></plist>)");
    EXPECT_EQ(merged.value("updateIntervalSeconds"), "300");
    EXPECT_EQ(merged.value("autoUpdateToggle"), QVariant(true));
    EXPECT_EQ(merged.size(), 25);
    EXPECT_EQ(applicationDefaults::registrationDefaults("not a plist").size(), 24);

    // The shipped files: the toggle is off, the filters read their defaults.
    userDefaults& standard = userDefaults::standardUserDefaults();
    standard.resetRegistrations();
    applicationDefaults::registerApplicationDefaults();
    EXPECT_FALSE(standard.boolForKey("autoUpdateToggle"));
    EXPECT_EQ(standard.stringForKey("updateIntervalSeconds"), "300");
    EXPECT_EQ(standard.objectForKey("nfilter_poles").toInt(), 4);
    EXPECT_FALSE(standard.boolForKey("causal_filter"));
    standard.resetRegistrations();
}

TEST(MapDirectories, TheSettingsReachEachMapHandedThem) {
    const QString installed = geoMapView().pictureDirectory();
    QSettings settings;
    settings.setValue("map/pictureDirectory", "/data/pictures");
    geoMapView map;
    mapDirectories::applyTo(map);
    EXPECT_EQ(map.pictureDirectory(), "/data/pictures");
    EXPECT_EQ(map.topographyDirectory(), "/data/pictures"); // the grid sits with the pictures
    settings.setValue("map/topographyDirectory", "/data/grids");
    mapDirectories::applyTo(map);
    EXPECT_EQ(map.topographyDirectory(), "/data/grids");
    // Only a map handed the settings sees them.
    EXPECT_EQ(geoMapView().pictureDirectory(), installed);

    // Removed settings give the map its installed folder back.
    settings.remove("map/pictureDirectory");
    settings.remove("map/topographyDirectory");
    mapDirectories::applyTo(map);
    EXPECT_EQ(map.pictureDirectory(), installed);
    EXPECT_EQ(map.topographyDirectory(), installed);
}
