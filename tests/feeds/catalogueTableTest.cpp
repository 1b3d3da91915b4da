// The table of catalogues and the one way every catalogue is fetched and read.

#include "catalogueTable.h"
#include "NEIC_QueryController.h"
#include "catalogueLoader.h"
#include "fdsnEventQueryController.h"
#include "fixtureServer.h"
#include "logCapture.h"
#include "scopedEnvironment.h"

#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

namespace {

QByteArray dataFile(const char* name) {
    QFile f(QStringLiteral(QUORVEL_TEST_DATA "/feeds/") + QLatin1StringView(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(CatalogueTable, EveryCatalogueOnceWithItsRequestAndSpan) {
    QSet<int> tags;
    QSet<QString> names;
    for (const catalogueTable::catalogue& c : catalogueTable::catalogues()) {
        SCOPED_TRACE(c.commandLineName.toStdString());
        tags.insert(c.tag);
        names.insert(c.commandLineName);
        EXPECT_FALSE(c.title.isEmpty());
        const auto controller = c.make();
        ASSERT_NE(controller, nullptr);
        EXPECT_TRUE(controller->requestURL().isValid());
        EXPECT_FALSE(controller->requestURL().isEmpty());
        EXPECT_EQ(catalogueTable::catalogueNamed(c.commandLineName), &c);
        EXPECT_EQ(&catalogueTable::catalogueForTag(c.tag), &c);
    }
    EXPECT_EQ(tags.size(), catalogueTable::catalogues().size());
    EXPECT_EQ(names.size(), catalogueTable::catalogues().size());
    // Only the month feed spans the last 30 days; any unknown tag loads it.
    EXPECT_EQ(catalogueTable::catalogueForTag(99).commandLineName, "usgs");
    EXPECT_EQ(catalogueTable::catalogueForTag(catalogueTable::usgsFeedTag).span,
              catalogueTable::timeLineSpan::lastThirtyDays);
    EXPECT_EQ(catalogueTable::catalogueForTag(catalogueTable::emscTag).span,
              catalogueTable::timeLineSpan::listSpan);
    EXPECT_EQ(catalogueTable::catalogueNamed("usgs-feed"), nullptr);
    EXPECT_EQ(catalogueTable::commandLineNames(),
              "usgs, usgs-text, fdsn, ingv, emsc, pde, emsc-fdsn, ingv-fdsn");
}

TEST(CatalogueTable, FetchReadsCountsSkippedRowsAndReportsFailuresOnce) {
    fixtureServer server;
    const scopedEnvironment feeds("QUORVEL_USGS_FEED_URL", server.baseURL());
    const scopedEnvironment fdsn("QUORVEL_FDSN_EVENT_URL", server.baseURL());
    const auto weekly = catalogueTable::catalogueNamed("usgs-text")->make();
    weekly->setDownloadTimeoutMs(5000);
    const QString listPath = QStringLiteral("/earthquakes/feed/v0.1/summary/1.0_week.csv");

    // Two rows too short to be events among the real ones.
    QByteArray list = dataFile("joannecheng_1.0_week_20160211.csv");
    list += "2016-02-11T00:00:00.000Z,1,2\nnot a row\n";
    server.setAnswer(listPath, {200, list, "text/csv"});
    const auto read = weekly->fetchOrigins();
    ASSERT_TRUE(read.ok()) << read.error().toStdString();
    EXPECT_EQ(read->origins.size(), 32);
    EXPECT_EQ(read->skippedRows, 2);
    EXPECT_TRUE(weekly->seismicOrigins().isEmpty()); // fetching changes no list
    EXPECT_TRUE(weekly->lastError().isNull());

    // The month feed: not JSON is a failure of the read, said once.
    const auto month = catalogueTable::catalogueNamed("usgs")->make();
    server.setAnswer(QStringLiteral("/earthquakes/feed/v1.0/summary/2.5_month.geojson"),
                     {200, "<html>maintenance</html>", "text/html"});
    logCapture log;
    const auto notJSON = month->fetchOrigins();
    EXPECT_FALSE(notJSON.ok());
    EXPECT_TRUE(notJSON.error().startsWith("not valid JSON"));
    EXPECT_EQ(month->lastError(), notJSON.error());
    EXPECT_EQ(log.problems().size(), 1);

    // A download that fails carries its HTTP status.
    log.clear();
    server.setAnswer(QStringLiteral("/fdsnws/event/1/query"), {503, "busy"});
    const auto search = catalogueTable::catalogueForTag(catalogueTable::fdsnTag).make();
    const auto busy = search->fetchOrigins();
    EXPECT_FALSE(busy.ok());
    EXPECT_EQ(busy.errorCode(), 503);
    EXPECT_EQ(log.problems().size(), 1);

    // The same bytes read from a file give the same origins as the download.
    const auto fromFile = weekly->parseOrigins(list);
    ASSERT_TRUE(fromFile.ok());
    EXPECT_EQ(fromFile->origins.size(), read->origins.size());
}

TEST(CatalogueTable, PastWeekFromTheEuropeanFdsnServices) {
    fixtureServer server;
    const scopedEnvironment noReplacement("QUORVEL_FDSN_EVENT_URL", QString());
    const scopedEnvironment emsc("QUORVEL_FDSN_EMSC_URL", server.baseURL() + "/emsc");
    const scopedEnvironment ingv("QUORVEL_FDSN_INGV_URL", server.baseURL() + "/ingv");
    const QDateTime now(QDate(2026, 12, 8), QTime(10, 11, 12), QTimeZone::utc());

    // The boxes and magnitudes of the EMSC list and the INGV table, over the week before now.
    const struct {
        int tag;
        const char* name;
        const char* request;
    } entries[] = {
        {catalogueTable::emscFdsnTag, "emsc-fdsn",
         "/emsc/fdsnws/event/1/query?starttime=2026-12-01T10:11:12&minmagnitude=2.0&"
         "maxmagnitude=20.0&minlatitude=30.000&maxlatitude=65.000&minlongitude=-15.000&"
         "maxlongitude=45.000&format=text"},
        {catalogueTable::ingvFdsnTag, "ingv-fdsn",
         "/ingv/fdsnws/event/1/query?starttime=2026-12-01T10:11:12&minmagnitude=2.0&"
         "maxmagnitude=20.0&minlatitude=34.000&maxlatitude=47.000&minlongitude=6.250&"
         "maxlongitude=19.000&format=text"},
    };
    for (const auto& e : entries) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(catalogueTable::catalogueNamed(e.name)->tag, e.tag);
        const auto made = catalogueTable::catalogueForTag(e.tag).make();
        auto* search = qobject_cast<fdsnEventQueryController*>(made.get());
        ASSERT_NE(search, nullptr);
        search->setClock([now] { return now; });
        EXPECT_EQ(search->requestURL().toString(), server.baseURL() + e.request);
    }

    // Loaded as the pop-up loads them: the displays' magnitudes, the list's own span.
    server.setAnswer("/emsc/fdsnws/event/1/query",
                     {200, dataFile("ingv-mcp_ingv_emilia_2012-05-29.txt")});
    server.setAnswer("/ingv/fdsnws/event/1/query", {204, ""});
    catalogueLoader loader(nullptr, [now] { return now; });
    loader.emscFdsnQueryController()->setClock([now] { return now; });
    catalogueLoader::searchLimits limits;
    limits.shownMinMagnitude = 3.5f;
    limits.shownMaxMagnitude = 9.0f;
    const logCapture log;
    const auto week = loader.load(catalogueTable::emscFdsnTag, limits);
    EXPECT_EQ(week.catalogue, "EMSC event service");
    EXPECT_TRUE(week.error.isNull());
    EXPECT_EQ(week.origins.size(), 8);
    EXPECT_EQ(week.timeLine.start,
              QDateTime(QDate(2012, 5, 29), QTime(23, 44, 9), QTimeZone::utc()));
    EXPECT_EQ(week.timeLine.end, now);
    EXPECT_TRUE(server.requests().last().contains("minmagnitude=3.5&maxmagnitude=9.0&"));

    const auto quiet = loader.load(catalogueTable::ingvFdsnTag, limits);
    EXPECT_EQ(quiet.catalogue, "INGV event service");
    EXPECT_TRUE(quiet.error.isNull());
    EXPECT_TRUE(quiet.origins.isEmpty());
    EXPECT_TRUE(log.problems().isEmpty());
}

TEST(CatalogueTable, TheFdsnSearchAsksTheChosenService) {
    fixtureServer server;
    const scopedEnvironment noReplacement("QUORVEL_FDSN_EVENT_URL", QString());
    const scopedEnvironment gfz("QUORVEL_FDSN_GFZ_URL", server.baseURL() + "/gfz");
    server.setAnswer("/gfz/fdsnws/event/1/query",
                     {200, dataFile("stream2segment_event_request_sample_iris.txt")});
    server.setAnswer("/typed/fdsnws/event/1/query", {204, ""});
    catalogueLoader loader(nullptr, [] { return QDateTime::currentDateTimeUtc(); });
    catalogueLoader::searchLimits limits;
    limits.minMagnitude = 5;
    limits.maxMagnitude = 10;
    limits.maxDepth = 700;
    limits.west = -180;
    limits.east = 180;
    limits.south = -90;
    limits.north = 90;
    limits.startDay = "2011-01-01";
    limits.endDay = "2011-02-01";
    limits.searchType = fdsnEventQueryController::boxSearch;

    limits.fdsnService = "gfz";
    const auto found = loader.load(catalogueTable::fdsnTag, limits);
    EXPECT_TRUE(found.error.isNull());
    EXPECT_EQ(found.origins.size(), 4);
    EXPECT_TRUE(
        server.requests().last().startsWith("/gfz/fdsnws/event/1/query?starttime=2011-01-01"));

    limits.fdsnService = server.baseURL() + "/typed";
    EXPECT_TRUE(loader.load(catalogueTable::fdsnTag, limits).error.isNull());
    EXPECT_TRUE(server.requests().last().startsWith("/typed/fdsnws/event/1/query?"));

    // An address that is no http(s) address is refused before anything is asked.
    const qsizetype asked = server.requests().size();
    const logCapture log;
    for (const QString& bad : {QString(""), QString("ftp://events.example")}) {
        limits.fdsnService = bad;
        const auto refused = loader.load(catalogueTable::fdsnTag, limits);
        EXPECT_FALSE(refused.error.isEmpty());
        EXPECT_TRUE(refused.origins.isEmpty());
    }
    EXPECT_EQ(server.requests().size(), asked);
    EXPECT_EQ(log.problems().size(), 2);
    EXPECT_EQ(loader.fdsnQueryController()->service(), server.baseURL() + "/typed");
}
