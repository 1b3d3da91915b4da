// The table of catalogues and the one way every catalogue is fetched and read.

#include "catalogueTable.h"
#include "NEIC_QueryController.h"
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
    EXPECT_EQ(catalogueTable::commandLineNames(), "usgs, usgs-text, fdsn, ingv, emsc, pde");
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
