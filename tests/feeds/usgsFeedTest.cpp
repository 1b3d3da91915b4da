#include "NEIC_QueryController.h"
#include "fixtureServer.h"
#include "logCapture.h"
#include "scopedEnvironment.h"

#include <QFile>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

QByteArray dataFile(const char* name) {
    QFile f(QStringLiteral(QUORVEL_TEST_DATA "/feeds/") + QLatin1StringView(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

// A feed of hand-made features: `properties` is spliced into each one as written.
QByteArray feedOf(std::initializer_list<const char*> properties) {
    QByteArray json = R"({"type":"FeatureCollection","features":[)";
    bool first = true;
    for (const char* p : properties) {
        if (!first)
            json += ',';
        first = false;
        json +=
            R"({"type":"Feature","geometry":{"type":"Point","coordinates":[-71.5,12.25,33.5]},"properties":{)";
        json += p;
        json += "}}";
    }
    return json + "]}";
}

// Points the USGS and NOAA hosts at the fixture server for the life of a test.
struct usgsOnFixture {
    fixtureServer server;
    scopedEnvironment feeds{"QUORVEL_USGS_FEED_URL", server.baseURL()};
    scopedEnvironment neic{"QUORVEL_USGS_NEIC_URL", server.baseURL()};
    scopedEnvironment wcatwc{"QUORVEL_WCATWC_URL", server.baseURL()};
    scopedEnvironment ptwc{"QUORVEL_PTWC_URL", server.baseURL()};
};

const QString feedPath = QStringLiteral("/earthquakes/feed/v1.0/summary/2.5_month.geojson");
const QString listPath = QStringLiteral("/earthquakes/feed/v0.1/summary/1.0_week.csv");

} // namespace

TEST(UsgsGeoJSONFeed, RealMonthFeedBecomesRecords) {
    NEIC_QueryController c;
    EXPECT_EQ(c.minMagnitude(), 5.0f);
    EXPECT_EQ(c.maxMagnitude(), 19.0f);
    const originList origins =
        c.parseUSGSGeoJSONFeed(dataFile("sgoggins_2.5_month_20251029.geojson"), false);
    EXPECT_EQ(origins.size(), 186); // magnitudes 5 to 19 of 1,349 events
    EXPECT_TRUE(c.seismicOrigins().isEmpty());

    c.setMinMagnitude(0);
    const originList all =
        c.parseUSGSGeoJSONFeed(dataFile("sgoggins_2.5_month_20251029.geojson"), false);
    ASSERT_EQ(all.size(), 1349);
    const seismicOrigin& o = *all.first();
    EXPECT_EQ(o.catalog(), "USGS");
    EXPECT_EQ(o.eventID(), "us6000rk9w");
    EXPECT_EQ(o.network_code(), "ak");
    EXPECT_EQ(o.locationContributor(), "USGS-ak");
    EXPECT_EQ(o.csvRegionString(), "23 km NW of Old Harbor, Alaska");
    EXPECT_FLOAT_EQ(o.longitude(), -153.6282f);
    EXPECT_FLOAT_EQ(o.latitude(), 57.3254f);
    EXPECT_FLOAT_EQ(o.depth(), 28.9f);
    EXPECT_FLOAT_EQ(o.magnitude(), 3.6f);
    EXPECT_EQ(o.magnitude_type(), "ml");
    EXPECT_EQ(o.originDateTime().toMSecsSinceEpoch(), 1761765129224);
    EXPECT_DOUBLE_EQ(o.epochTime(), 1761765129.224);
    EXPECT_EQ(o.lastUpdateEpochTime(), 1761767506);
    EXPECT_FLOAT_EQ(o.maxInstrumentalIntensity(), 2.018f);
    EXPECT_EQ(o.originInformationStatus(), "automatic");
    EXPECT_EQ(o.tsunamiFlag(), QVariant(0));
    EXPECT_EQ(o.eventSignificance(), 199);
    EXPECT_FLOAT_EQ(o.rms_error(), 0.59f);
    EXPECT_EQ(o.num_stations_mag(), 0); // null nst
    EXPECT_TRUE(o.pagerAlertLevel().isNull());
    EXPECT_EQ(o.detailURL(),
              "https://earthquake.usgs.gov/earthquakes/feed/v1.0/detail/ak025dvromz5.geojson");
    EXPECT_EQ(o.shortFlinnEngdahlString(), "KODIAK ISLAND REGION, ALASKA");
    ASSERT_EQ(const_cast<seismicOrigin&>(o).countOfMagnitudes(), 1u);
    const auto m = const_cast<seismicOrigin&>(o).objectInMagnitudesAtIndex(0);
    EXPECT_EQ(m->contributor(), "USGS");
    EXPECT_EQ(m->magnitudeType(), "ml");
    EXPECT_FLOAT_EQ(m->mvalue(), 3.6f);

    // An event with its location's quality and its felt reports.
    const auto reported = std::find_if(all.begin(), all.end(), [](const auto& origin) {
        return origin->eventID() == QLatin1StringView("us6000rk82");
    });
    ASSERT_NE(reported, all.end());
    EXPECT_FLOAT_EQ((*reported)->azimuthal_gap(), 25.0f);
    EXPECT_FLOAT_EQ((*reported)->dis_first_station(), 1.605f);
    EXPECT_FLOAT_EQ((*reported)->maxReportedIntensity(), 1.0f);
}

TEST(UsgsGeoJSONFeed, NullsIdsTimesAndTheMagnitudeFilter) {
    NEIC_QueryController c;
    const originList origins = c.parseUSGSGeoJSONFeed(
        feedOf(
            {R"("mag":5.0,"ids":",us1,ci2,","net":null,"nst":37,"time":1338508800000,"updated":1338508801999.5,"place":null,"tz":-300,"felt":12,"cdi":3.4,"alert":"green","magType":null)",
             R"("mag":4.9,"ids":",us3,")", R"("mag":null,"ids":",us4,")",
             R"("mag":19.0,"ids":",,","nst":null,"time":null)", R"("mag":19.01,"ids":",us6,")"}),
        false);
    ASSERT_EQ(origins.size(), 2);
    const seismicOrigin& a = *origins.at(0);
    EXPECT_EQ(a.eventID(), "us1");
    EXPECT_TRUE(a.network_code().isNull());
    EXPECT_EQ(a.locationContributor(), "USGS-unknown");
    EXPECT_EQ(a.num_stations_mag(), 37);
    const QDateTime june2012(QDate(2012, 6, 1), QTime(0, 0), QTimeZone::utc());
    EXPECT_EQ(a.originDateTime(), june2012);
    EXPECT_DOUBLE_EQ(a.epochTime(), double(june2012.toSecsSinceEpoch()));
    EXPECT_EQ(a.lastUpdateEpochTime(), june2012.toSecsSinceEpoch() + 1); // truncated
    EXPECT_TRUE(a.csvRegionString().isNull());
    EXPECT_EQ(a.tzOffsetInMinutes(), -300);
    EXPECT_EQ(a.nFeltReports(), 12);
    EXPECT_EQ(a.pagerAlertLevel(), "green");
    EXPECT_TRUE(a.magnitude_type().isNull());
    const seismicOrigin& b = *origins.at(1);
    EXPECT_TRUE(b.eventID().isNull());
    EXPECT_FALSE(b.originDateTime().isValid());
    EXPECT_EQ(b.num_stations_mag(), 0);

    // The null magnitude leaves a record without magnitudes (seen when the limits allow 0).
    c.setMinMagnitude(0);
    const originList withNull =
        c.parseUSGSGeoJSONFeed(feedOf({R"("mag":null,"ids":",us4,")"}), false);
    ASSERT_EQ(withNull.size(), 1);
    EXPECT_EQ(withNull.first()->countOfMagnitudes(), 0u);
    EXPECT_EQ(withNull.first()->magnitude(), 0.0f);
}

TEST(UsgsGeoJSONFeed, FeedsWithoutFeaturesOrCoordinatesAreSafe) {
    NEIC_QueryController c;
    c.setMinMagnitude(0);
    EXPECT_TRUE(c.parseUSGSGeoJSONFeed(R"({"type":"FeatureCollection"})", false).isEmpty());
    EXPECT_TRUE(c.parseUSGSGeoJSONFeed("not json at all", false).isEmpty());
    EXPECT_TRUE(c.parseUSGSGeoJSONFeed("[1,2,3]", false).isEmpty());
    // Features that are no objects are passed over.
    const originList bare =
        c.parseUSGSGeoJSONFeed(R"({"features":[{"properties":{"mag":1}},7,null]})", false);
    ASSERT_EQ(bare.size(), 1);
    EXPECT_EQ(bare.first()->latitude(), 0.0f);
    EXPECT_EQ(bare.first()->depth(), 0.0f);
}

TEST(UsgsGeoJSONFeed, DetailDocumentsGiveTheOnePageLink) {
    seismicOrigin kaikoura;
    NEIC_QueryController::parseGeoJSONDetails(
        dataFile("libcomcat_detail_us1000778i_kaikoura_pager_orange.geojson"), kaikoura);
    ASSERT_TRUE(kaikoura.gsLinks().has_value());
    EXPECT_EQ(
        kaikoura.gsLinks()->value("onePagerLink"),
        "https://earthquake.usgs.gov/product/losspager/us1000778i/us/1486445176414/onepager.pdf");

    seismicOrigin northridge;
    NEIC_QueryController::parseGeoJSONDetails(
        dataFile("libcomcat_detail_ci3144585_northridge_nopager.geojson"), northridge);
    EXPECT_FALSE(northridge.gsLinks().has_value());

    // A loss product without a one-page entry still gives the record its (empty) links.
    seismicOrigin noPage;
    NEIC_QueryController::parseGeoJSONDetails(
        R"({"properties":{"products":{"losspager":[{"contents":{}}]}}})", noPage);
    ASSERT_TRUE(noPage.gsLinks().has_value());
    EXPECT_TRUE(noPage.gsLinks()->isEmpty());
}

TEST(UsgsGeoJSONFeed, OnlyEventsAbove65FetchTheirDetails) {
    usgsOnFixture f;
    const QString detail65 = f.server.baseURL() + "/detail/65.geojson";
    const QString detail66 = f.server.baseURL() + "/detail/66.geojson";
    const QString detailGone = f.server.baseURL() + "/detail/gone.geojson";
    f.server.setAnswer(
        feedPath,
        {200,
         feedOf({qPrintable(QStringLiteral(R"("mag":6.5,"ids":",a,","detail":"%1")").arg(detail65)),
                 qPrintable(QStringLiteral(R"("mag":6.6,"ids":",b,","detail":"%1")").arg(detail66)),
                 qPrintable(
                     QStringLiteral(R"("mag":7.1,"ids":",c,","detail":"%1")").arg(detailGone))}),
         "application/json"});
    f.server.setAnswer("/detail/66.geojson",
                       {200, dataFile("libcomcat_detail_us1000778i_kaikoura_pager_orange.geojson"),
                        "application/json"});
    f.server.setAnswer("/detail/gone.geojson", {500, "oops"});

    NEIC_QueryController c;
    const originList origins = c.loadUSGSGeoJSONFeed();
    ASSERT_EQ(origins.size(), 3);
    EXPECT_FALSE(f.server.requests().contains("/detail/65.geojson"));
    EXPECT_TRUE(f.server.requests().contains("/detail/66.geojson"));
    EXPECT_TRUE(origins.at(1)->gsLinks().has_value());
    // A failed detail download leaves the event in the list, without links.
    EXPECT_EQ(origins.at(2)->eventID(), "c");
    EXPECT_FALSE(origins.at(2)->gsLinks().has_value());
}

TEST(UsgsGeoJSONFeed, FailedDownloadsGiveAnEmptyList) {
    usgsOnFixture f;
    NEIC_QueryController c;
    c.setDownloadTimeoutMs(300);
    // The feed's detail addresses lead to the fixture server too, which knows none of them.
    const QByteArray feed =
        dataFile("sgoggins_2.5_month_20251029.geojson")
            .replace("https://earthquake.usgs.gov", f.server.baseURL().toUtf8());
    for (const fixtureServer::answer& bad :
         {fixtureServer::answer{500, "Internal error"}, fixtureServer::answer{404, "gone"},
          fixtureServer::answer{200, feed, "application/json", fixtureServer::behaviour::stall},
          fixtureServer::answer{200, feed, "application/json", fixtureServer::behaviour::cutShort},
          fixtureServer::answer{200, "", "application/json", fixtureServer::behaviour::garbage},
          fixtureServer::answer{200, "<html>maintenance</html>", "text/html"},
          fixtureServer::answer{200, ""}}) {
        f.server.setAnswer(feedPath, bad);
        const logCapture log;
        EXPECT_TRUE(c.loadUSGSGeoJSONFeed().isEmpty()) << bad.status << " " << int(bad.how);
        EXPECT_FALSE(c.lastError().isEmpty()) << bad.status << " " << int(bad.how);
        EXPECT_EQ(log.problems().size(), 1) << bad.status << " " << int(bad.how);
    }
    f.server.setAnswer(feedPath, {200, feed, "application/json"});
    c.setMinMagnitude(7.5f);
    EXPECT_EQ(c.loadUSGSGeoJSONFeed().size(), 1);
    EXPECT_TRUE(c.lastError().isNull()); // failed detail downloads do not fail the load
    EXPECT_EQ(f.server.requests().filter("/detail/").size(), 5);
}

TEST(UsgsTextList, ModernCSVWithQuotedPlaces) {
    NEIC_QueryController c;
    const originList origins = c.parseNEIC_TextList(dataFile("joannecheng_1.0_week_20160211.csv"));
    ASSERT_EQ(origins.size(), 32); // magnitude 5 to 19 of 879 rows
    const seismicOrigin& o = *origins.first();
    EXPECT_EQ(o.catalog(), "PDE");
    EXPECT_EQ(o.locationContributor(), "USGS");
    EXPECT_EQ(o.eventID(), "us20004zj3");
    EXPECT_EQ(o.version(), "2016-02-11T17:42:15.185Z");
    EXPECT_EQ(o.originDateTime(),
              QDateTime(QDate(2016, 2, 11), QTime(17, 0, 32, 920), QTimeZone::utc()));
    EXPECT_FLOAT_EQ(o.latitude(), -25.6731f);
    EXPECT_FLOAT_EQ(o.longitude(), -13.7383f);
    EXPECT_FLOAT_EQ(o.depth(), 10.99f);
    EXPECT_FLOAT_EQ(o.magnitude(), 5.2f);
    EXPECT_EQ(o.magnitude_type(), "mb");
    EXPECT_EQ(o.num_stations_mag(), 0);
    EXPECT_FLOAT_EQ(o.azimuthal_gap(), 120.0f);
    EXPECT_FLOAT_EQ(o.dis_first_station(), 28.964f);
    EXPECT_FLOAT_EQ(o.rms_error(), 1.01f);
    EXPECT_EQ(o.csvRegionString(), o.shortFlinnEngdahlString());
    EXPECT_EQ(o.shortFlinnEngdahlString(), "SOUTHERN MID-ATLANTIC RIDGE");
}

TEST(UsgsTextList, LineLengthsTimesAndLimits) {
    NEIC_QueryController c;
    const QByteArray csv =
        "time,lat,lon,depth,mag,type,nst,gap,dmin,rms,net,id,version\n"
        "2012-06-01T00:00:00.000+00:00,35,139,10,5.0,mb,12,20,1,0.5,us,ok13,7\n"
        "2012-06-01T00:00:00.000+00:00,35,139,10,5.5,mb,12,20,1,0.5,us,short12\n"
        "2012-06-01T00:00:00.000+00:00,35,139,10,4.95,mb,12,20,1,0.5,us,small,1\n"
        "\n";
    const originList origins = c.parseNEIC_TextList(csv);
    ASSERT_EQ(origins.size(), 1);
    EXPECT_EQ(origins.first()->eventID(), "ok13");
    EXPECT_EQ(origins.first()->num_stations_mag(), 12);
    EXPECT_EQ(origins.first()->originDateTime(),
              QDateTime(QDate(2012, 6, 1), QTime(0, 0), QTimeZone::utc()));
}

TEST(UsgsTextList, LoadEventsKeepsThePreviousListWhenNothingComes) {
    usgsOnFixture f;
    NEIC_QueryController c; // made after the address change, so its list address is the fixture's
    c.setDownloadTimeoutMs(300);
    f.server.setAnswer(listPath, {200, dataFile("joannecheng_1.0_week_20160211.csv")});
    EXPECT_TRUE(c.loadEvents());
    EXPECT_EQ(c.seismicOrigins().size(), 32);
    for (const fixtureServer::answer& bad :
         {fixtureServer::answer{500, "x"}, fixtureServer::answer{200, "heading only\n"},
          fixtureServer::answer{200, "", "text/plain", fixtureServer::behaviour::stall}}) {
        f.server.setAnswer(listPath, bad);
        EXPECT_FALSE(c.loadEvents());
        EXPECT_EQ(c.seismicOrigins().size(), 32);
    }
}

TEST(UsgsTextList, AListCutShortIsAFailedDownloadEveryTime) {
    usgsOnFixture f;
    NEIC_QueryController c;
    c.setDownloadTimeoutMs(5000);
    const QByteArray list = dataFile("joannecheng_1.0_week_20160211.csv");
    f.server.setAnswer(listPath, {200, list});
    ASSERT_TRUE(c.loadEvents());
    // Half the list read as whole would look like a good, shorter list. Whether the closed
    // connection reaches the reader as an error or as an early end depends on timing, so try
    // it many times.
    f.server.setAnswer(listPath, {200, list, "text/csv", fixtureServer::behaviour::cutShort});
    for (int attempt = 0; attempt < 25; ++attempt) {
        SCOPED_TRACE(attempt);
        const logCapture log;
        EXPECT_FALSE(c.loadEvents());
        EXPECT_EQ(c.seismicOrigins().size(), 32);
        EXPECT_FALSE(c.lastError().isEmpty());
        EXPECT_EQ(log.problems().size(), 1);
    }
}

TEST(UsgsTextList, OlderQuotedDateForm) {
    NEIC_QueryController c;
    c.setMinMagnitude(1.0f);
    const QByteArray csv = "Src,Eqid,Version,Datetime,Lat,Lon,Magnitude,Depth,NST,Region\r\n"
                           "ci,14607652,1,\"Saturday, February 27, 2010 06:34:14 "
                           "UTC\",34.4433,-117.7507,1.2,6.40,21,\"Southern California\"\r\n"
                           "us,2010tfan,7,\"Saturday, February 27, 2010 06:34:11 "
                           "UTC\",-35.8460,-72.7190,8.8,35.00,454,\"offshore Maule, Chile\"\r\n";
    const originList origins = c.parseNEIC_CSVvalues(csv);
    ASSERT_EQ(origins.size(), 2);
    EXPECT_EQ(origins.at(0)->catalog(), "NEIC_CSV");
    EXPECT_EQ(origins.at(0)->locationContributor(), "ci");
    EXPECT_EQ(origins.at(0)->eventID(), "14607652");
    EXPECT_EQ(origins.at(1)->originDateTime(),
              QDateTime(QDate(2010, 2, 27), QTime(6, 34, 11), QTimeZone::utc()));
    EXPECT_FLOAT_EQ(origins.at(1)->magnitude(), 8.8f);
    EXPECT_FLOAT_EQ(origins.at(1)->depth(), 35.0f);
    EXPECT_EQ(origins.at(1)->countOfMagnitudes(), 0u);

    EXPECT_TRUE(
        c.parseNEIC_CSVvalues("Src,Eqid,Version,Datetime,Lat,Lon,Magnitude,Depth,NST,Region\n")
            .isEmpty());
    // A damaged line ends the reading with what was read before it.
    const originList partial = c.parseNEIC_CSVvalues(
        csv + "us,bad,1,\"no closing quote,1,2\r\nci,later,1,\"x\",1,1,5,1,1\r\n");
    EXPECT_EQ(partial.size(), 2);
}

TEST(UsgsBulletins, TextsAsDownloadedAndHtmlAsPlainText) {
    usgsOnFixture f;
    NEIC_QueryController c;
    c.setDownloadTimeoutMs(300);
    f.server.setAnswer("/message.txt", {200, "WEPA42 PHEB 010000\nTSUNAMI MESSAGE NUMBER 1\n"});
    f.server.setAnswer("/ptwc/wmsg", {200, "PTWC bulletin"});
    f.server.setAnswer("/neis/data_services/mtall.last", {200, "moment tensors"});
    f.server.setAnswer(
        "/neis/data_services/bigquake.html",
        {200, "<html><body><h1>Big quake</h1><p>M 7.1 &amp; more</p></body></html>", "text/html"});
    EXPECT_EQ(c.WCATWCMessage(), "WEPA42 PHEB 010000\nTSUNAMI MESSAGE NUMBER 1\n");
    EXPECT_EQ(c.PTWCMessage(), "PTWC bulletin");
    EXPECT_EQ(c.USGSMTensorMessage(), "moment tensors");
    EXPECT_EQ(c.BigQuakeMessage(), "Big quake\nM 7.1 & more");

    f.server.setAnswer("/ptwc/wmsg", {503, "busy"});
    EXPECT_TRUE(c.PTWCMessage().isNull());
    f.server.setAnswer("/message.txt", {200, "", "text/plain", fixtureServer::behaviour::stall});
    EXPECT_TRUE(c.WCATWCMessage().isNull());
    f.server.setAnswer(
        "/neis/data_services/mtall.last",
        {200, "a long list of moment tensors", "text/plain", fixtureServer::behaviour::cutShort});
    EXPECT_TRUE(c.USGSMTensorMessage().isNull());
    f.server.setAnswer("/neis/data_services/bigquake.html",
                       {200, "", "text/html", fixtureServer::behaviour::garbage});
    EXPECT_TRUE(c.BigQuakeMessage().isNull());
}
