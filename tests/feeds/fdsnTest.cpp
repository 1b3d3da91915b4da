#include "fdsnEventQueryController.h"
#include "fixtureServer.h"
#include "logCapture.h"
#include "scopedEnvironment.h"
#include "serviceEndpoints.h"

#include <QFile>
#include <QHash>

#include <algorithm>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

namespace {

QByteArray dataFile(const char* name) {
    QFile f(QStringLiteral(QUORVEL_TEST_DATA "/feeds/") + QLatin1StringView(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

struct fdsnOnFixture {
    fixtureServer server;
    scopedEnvironment service{"QUORVEL_FDSN_EVENT_URL", server.baseURL()};
};

const QString queryPath = QStringLiteral("/fdsnws/event/1/query");

} // namespace

TEST(FdsnEvents, DefaultsAndTheThreeQueries) {
    const scopedEnvironment service("QUORVEL_FDSN_EVENT_URL",
                                    QStringLiteral("https://fdsn.example"));
    fdsnEventQueryController c;
    EXPECT_EQ(c.searchType(), 0);
    EXPECT_EQ(c.minMagnitude(), 6.5f);
    EXPECT_EQ(c.maxMagnitude(), 20.0f);
    EXPECT_EQ(c.maxDepth(), 900.0f);
    EXPECT_EQ(c.minLongitude(), 0.0f);
    EXPECT_EQ(c.maxLongitude(), 360.0f);
    EXPECT_EQ(c.maxRadius(), 90.0f);
    EXPECT_LE(qAbs(c.endDate().secsTo(QDateTime::currentDateTimeUtc())), 5);

    c.setEndDate(QDateTime(QDate(2026, 12, 8), QTime(10, 11, 12), QTimeZone::utc()));
    EXPECT_EQ(c.buildGlobalSearchURL().toString(),
              "https://fdsn.example/fdsnws/event/1/query?starttime=1973-01-01T00:00:00&"
              "endtime=2026-12-08T10:11:12&minmagnitude=6.5&maxmagnitude=20.0&mindepth=0&maxdepth="
              "900&format=text");

    c.setMaxDepth(699.9f);
    c.setMinMagnitude(5.0f);
    c.setMinLatitude(-10.5f);
    c.setMaxLatitude(20.25f);
    c.setMinLongitude(100.0f);
    c.setMaxLongitude(-170.125f);
    EXPECT_EQ(c.buildBoxSearchURL().toString(),
              "https://fdsn.example/fdsnws/event/1/query?starttime=1973-01-01T00:00:00&"
              "endtime=2026-12-08T10:11:12&minmag=5.0&maxmag=20.0&mindepth=0&maxdepth=699&"
              "minlat=-10.500&maxlat=20.250&minlon=100.000&maxlon=-170.125&format=text");

    c.setMinLatitude(35.0f);
    c.setMinLongitude(139.5f);
    c.setMinRadius(0.0f);
    c.setMaxRadius(10.0f);
    EXPECT_EQ(c.buildAnnulusSearchURL().toString(),
              "https://fdsn.example/fdsnws/event/1/query?starttime=1973-01-01T00:00:00&"
              "endtime=2026-12-08T10:11:12&minmag=5.0&maxmag=20.0&mindepth=0&maxdepth=699&"
              "lat=35.000&lon=139.500&minradius=0.000&maxradius=10.000&format=text");
}

TEST(FdsnEvents, ReadsThirteenAndFourteenColumnAnswers) {
    const originList iris = fdsnEventQueryController::parseFDSNEventText(
        dataFile("stream2segment_event_request_sample_iris.txt"));
    ASSERT_EQ(iris.size(), 4);
    const seismicOrigin& a = *iris.at(0);
    EXPECT_EQ(a.originDateTime(), QDateTime(QDate(2011, 1, 8), QTime(0, 4, 29), QTimeZone::utc()));
    EXPECT_FLOAT_EQ(a.latitude(), 50.1178f);
    EXPECT_FLOAT_EQ(a.longitude(), 19.1442f);
    EXPECT_EQ(a.depth(), 0.0f);
    EXPECT_EQ(a.catalog(), "ISC");
    EXPECT_EQ(a.locationContributor(), "ISC");
    EXPECT_EQ(a.magnitude_type(), "ML");
    EXPECT_FLOAT_EQ(a.magnitude(), 2.0f);
    EXPECT_EQ(a.csvRegionString(), "POLAND");
    EXPECT_EQ(iris.at(0)->objectInMagnitudesAtIndex(0)->contributor(), "IPEC");
    EXPECT_EQ(a.shortFlinnEngdahlString(), "POLAND");
    EXPECT_EQ(a.eventID(), "4258220");
    EXPECT_TRUE(iris.at(2)->magnitude_type().isEmpty()); // empty type column

    const originList ingv = fdsnEventQueryController::parseFDSNEventText(
        dataFile("ingv-mcp_ingv_emilia_2012-05-29.txt"));
    ASSERT_EQ(ingv.size(), 8);
    // Fractional seconds are read to the whole second.
    EXPECT_EQ(ingv.first()->originDateTime(),
              QDateTime(QDate(2012, 5, 29), QTime(23, 58, 58), QTimeZone::utc()));
    EXPECT_EQ(ingv.first()->csvRegionString(), "3 km E San Possidonio (MO)");
    EXPECT_EQ(ingv.first()->catalog(), "");
    EXPECT_FLOAT_EQ(ingv.first()->magnitude(), 2.1f);
    EXPECT_EQ(ingv.first()->eventID(), "863301");
    EXPECT_FLOAT_EQ(ingv.first()->depth(), 8.1f);
    EXPECT_EQ(ingv.last()->objectInMagnitudesAtIndex(0)->contributor(), "--");
}

TEST(FdsnEvents, LineLengthsAndUtf8Names) {
    const QByteArray text = "#EventID|Time|Latitude|Longitude|Depth/"
                            "Km|Author|Catalog|Contributor|ContributorID|MagType|Magnitude|"
                            "MagAuthor|EventLocationName\n"
                            "1|2020-01-01T00:00:00|10|20|30|A|C|K|9|mb|5.5|M\n"
                            "2|2020-01-01T00:00:00|10|20|30|A|C|K|9|mb|5.5|M|Cor\xc3\xa9"
                            "e du Sud\n"
                            "Error 400: bad request\n";
    const originList origins = fdsnEventQueryController::parseFDSNEventText(text);
    ASSERT_EQ(origins.size(), 1);
    EXPECT_EQ(origins.first()->csvRegionString(), QString::fromUtf8("Corée du Sud"));
    EXPECT_TRUE(
        fdsnEventQueryController::parseFDSNEventText(text.left(text.indexOf('\n') + 1)).isEmpty());
}

TEST(FdsnEvents, LoadEventsThroughTheServiceAndItsFailures) {
    fdsnOnFixture f;
    fdsnEventQueryController c;
    c.setDownloadTimeoutMs(300);
    f.server.setAnswer(queryPath, {200, dataFile("stream2segment_event_request_sample_iris.txt")});
    EXPECT_TRUE(c.loadEvents());
    EXPECT_EQ(c.seismicOrigins().size(), 4);
    ASSERT_EQ(f.server.requests().size(), 1);
    EXPECT_TRUE(f.server.requests().first().contains("minmagnitude=6.5"));

    c.setSearchType(fdsnEventQueryController::annulusSearch);
    c.loadEvents();
    EXPECT_TRUE(f.server.requests().last().contains(
        "&lat=-90.000&lon=0.000&minradius=0.000&maxradius=90.000&"));

    // Every failure empties the list: the previous result is not kept.
    for (const fixtureServer::answer& bad :
         {fixtureServer::answer{500, "x"},
          fixtureServer::answer{200, "", "text/plain", fixtureServer::behaviour::stall},
          fixtureServer::answer{200, "", "text/plain", fixtureServer::behaviour::garbage}}) {
        c.setSeismicOrigins({std::make_shared<seismicOrigin>()});
        f.server.setAnswer(queryPath, bad);
        const logCapture log;
        EXPECT_FALSE(c.loadEvents());
        EXPECT_TRUE(c.seismicOrigins().isEmpty());
        EXPECT_LE(log.problems().size(), 1);
    }

    // A cut-off answer is an error, not half a list.
    f.server.setAnswer(queryPath, {200, dataFile("stream2segment_event_request_sample_iris.txt"),
                                   "text/plain", fixtureServer::behaviour::cutShort});
    EXPECT_FALSE(c.loadEvents());
    EXPECT_FALSE(c.lastError().isEmpty());

    c.setSearchType(7);
    EXPECT_FALSE(c.parse_events_from_text().has_value());
}

namespace {

// One event, as the services write it: `heading` names the columns, `cells` fills them in the
// heading's order from the fields below.
QByteArray answerOf(const QStringList& heading, const char* separator, const QString& id,
                    const QString& time) {
    const QHash<QString, QString> field = {{"eventid", id},
                                           {"time", time},
                                           {"latitude", "44.5"},
                                           {"longitude", "11.25"},
                                           {"depth/km", "10.2"},
                                           {"author", "A"},
                                           {"catalog", "CAT"},
                                           {"contributor", "CON"},
                                           {"contributorid", "77"},
                                           {"magtype", "ML"},
                                           {"magnitude", "4.3"},
                                           {"magauthor", "MA"},
                                           {"eventlocationname", "NORTHERN ITALY"},
                                           {"eventtype", "earthquake"}};
    QStringList cells;
    for (const QString& name : heading)
        cells << field.value(name.toLower());
    return "#" + heading.join(QLatin1StringView(separator)).toUtf8() + "\n" +
           cells.join(u'|').toUtf8() + "\n";
}

} // namespace

TEST(FdsnEvents, HeadingVariantsTimesAndIdentifiers) {
    const QStringList standard = {"EventID",          "Time",    "Latitude",  "Longitude",
                                  "Depth/km",         "Author",  "Catalog",   "Contributor",
                                  "ContributorID",    "MagType", "Magnitude", "MagAuthor",
                                  "EventLocationName"};
    QStringList withType = standard;
    withType[4] = "Depth/Km";
    withType << "EventType";
    // Not seen from a service yet, but the heading is what says where a field is.
    const QStringList reordered = {"EventID",     "EventType",    "Time",     "EventLocationName",
                                   "Latitude",    "Longitude",    "Depth/Km", "Magnitude",
                                   "MagType",     "MagAuthor",    "Author",   "Catalog",
                                   "Contributor", "ContributorID"};
    const QString smi = "smi:org.gfz-potsdam.de/geofon/gfz2024eabc";
    const struct {
        const char* what;
        QStringList heading;
        const char* separator;
        QString id, time;
    } cases[] = {
        {"unspaced", standard, "|", "us7000abcd", "2024-03-01T12:34:56"},
        {"spaced", standard, " | ", "us7000abcd", "2024-03-01T12:34:56"},
        {"Depth/Km, EventType", withType, "|", "863301", "2024-03-01T12:34:56.770000"},
        {"time in Z", withType, " | ", "863301", "2024-03-01T12:34:56Z"},
        {"fraction and Z", standard, "|", "863301", "2024-03-01T12:34:56.123Z"},
        {"id with slashes", withType, "|", smi, "2024-03-01T12:34:56"},
        {"reordered", reordered, "|", smi, "2024-03-01T12:34:56.5Z"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto read = fdsnEventQueryController::readFDSNEventText(
            answerOf(c.heading, c.separator, c.id, c.time));
        EXPECT_EQ(read.skippedRows, 0);
        ASSERT_EQ(read.origins.size(), 1);
        const seismicOrigin& o = *read.origins.first();
        EXPECT_EQ(o.eventID(), c.id);
        EXPECT_EQ(o.originDateTime(),
                  QDateTime(QDate(2024, 3, 1), QTime(12, 34, 56), QTimeZone::utc()));
        EXPECT_FLOAT_EQ(o.latitude(), 44.5f);
        EXPECT_FLOAT_EQ(o.longitude(), 11.25f);
        EXPECT_FLOAT_EQ(o.depth(), 10.2f);
        EXPECT_EQ(o.catalog(), "CAT");
        EXPECT_EQ(o.locationContributor(), "CON");
        EXPECT_EQ(o.magnitude_type(), "ML");
        EXPECT_FLOAT_EQ(o.magnitude(), 4.3f);
        EXPECT_EQ(read.origins.first()->objectInMagnitudesAtIndex(0)->contributor(), "MA");
        EXPECT_EQ(o.csvRegionString(), "NORTHERN ITALY");
    }

    // EventType is not read, so a row without it is still an event; one that stops before
    // its location name is not.
    const auto rows = fdsnEventQueryController::readFDSNEventText(
        "#" + withType.join(u'|').toUtf8() +
        "\n"
        "1|2024-03-01T12:34:56|44.5|11.25|10.2|A|CAT|CON|77|ML|4.3|MA|NORTHERN ITALY\n"
        "2|2024-03-01T12:34:56|44.5|11.25|10.2|A|CAT|CON|77|ML|4.3|MA\n");
    EXPECT_EQ(rows.origins.size(), 1);
    EXPECT_EQ(rows.skippedRows, 1);
}

TEST(FdsnEvents, NoContentIsAnEmptyListAndNoError) {
    fdsnOnFixture f;
    fdsnEventQueryController c;
    c.setDownloadTimeoutMs(5000);
    f.server.setAnswer(queryPath, {204, ""});
    const logCapture log;
    const auto read = c.fetchOrigins();
    ASSERT_TRUE(read.ok()) << read.error().toStdString();
    EXPECT_TRUE(read->origins.isEmpty());
    EXPECT_EQ(read->skippedRows, 0);
    EXPECT_TRUE(c.lastError().isNull());

    c.setSeismicOrigins({std::make_shared<seismicOrigin>()});
    EXPECT_FALSE(c.loadEvents()); // nothing to show, but nothing went wrong
    EXPECT_TRUE(c.seismicOrigins().isEmpty());
    EXPECT_TRUE(c.lastError().isNull());
    EXPECT_TRUE(log.problems().isEmpty()) << log.problems().join(u'\n').toStdString();
}

TEST(FdsnEvents, EachServiceOfTheChooserIsAskedAtItsOwnAddress) {
    fixtureServer server;
    // The variable that replaces whatever is chosen is not in force here.
    const scopedEnvironment noReplacement("QUORVEL_FDSN_EVENT_URL", QString());
    std::vector<std::unique_ptr<scopedEnvironment>> addresses;
    const QByteArray answer = dataFile("stream2segment_event_request_sample_iris.txt");
    QStringList names;
    for (const serviceEndpoints::fdsnEventService& s : serviceEndpoints::fdsnEventServices()) {
        const QString name = QString::fromLatin1(s.name);
        names << name;
        const auto description = std::find_if(
            serviceEndpoints::begin(), serviceEndpoints::end(),
            [&s](const serviceEndpoints::description& d) { return d.which == s.which; });
        ASSERT_NE(description, serviceEndpoints::end());
        addresses.push_back(std::make_unique<scopedEnvironment>(
            description->environmentVariable, server.baseURL() + u'/' + name + u'/'));
        server.setAnswer(u'/' + name + queryPath, {200, answer});
    }
    EXPECT_EQ(names, QStringList({"usgs", "emsc", "ingv", "gfz", "isc", "iris"}));
    server.setAnswer("/custom" + queryPath, {200, answer});

    fdsnEventQueryController c;
    c.setDownloadTimeoutMs(5000);
    EXPECT_EQ(c.service(), "usgs");
    for (const QString& choice : names + QStringList{server.baseURL() + "/custom/"}) {
        SCOPED_TRACE(choice.toStdString());
        ASSERT_TRUE(c.setService(choice));
        ASSERT_TRUE(c.loadEvents());
        EXPECT_EQ(c.seismicOrigins().size(), 4);
        const QString prefix = choice.startsWith("http") ? QString("/custom") : u'/' + choice;
        EXPECT_TRUE(server.requests().last().startsWith(prefix + queryPath + "?starttime="))
            << server.requests().last().toStdString();
    }

    // A choice that is neither a service nor an http(s) address changes nothing.
    c.setService("gfz");
    for (const QString& bad : {QString(), QString(""), QString("custom"), QString("GFZ "),
                               QString("ftp://ftp.example/events"), QString("https://"),
                               QString("earthquake.usgs.gov")}) {
        EXPECT_FALSE(c.setService(bad)) << bad.toStdString();
        EXPECT_EQ(c.service(), "gfz");
    }

    // The whole search can still be sent elsewhere, whatever is chosen.
    const scopedEnvironment replacement("QUORVEL_FDSN_EVENT_URL", server.baseURL() + "/iris");
    c.loadEvents();
    EXPECT_TRUE(server.requests().last().startsWith("/iris" + queryPath));
}
