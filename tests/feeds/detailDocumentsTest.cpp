#include "NEIC_QueryController.h"
#include "fixtureServer.h"
#include "logCapture.h"
#include "scopedEnvironment.h"
#include "webFetcher.h"

#include <gtest/gtest.h>

namespace {

const QString feedPath = QStringLiteral("/earthquakes/feed/v1.0/summary/2.5_month.geojson");

// A feed of `large` events above magnitude 6.5, each with a detail document on `host`, and one
// small event; `updated[i]` is event i's "updated" time in ms.
QByteArray feedWithUpdates(const QString& host, const QList<qint64>& updated) {
    QByteArray json = R"({"type":"FeatureCollection","features":[)";
    for (qsizetype i = 0; i < updated.size(); ++i) {
        json += QStringLiteral(
                    R"({"type":"Feature","geometry":{"type":"Point","coordinates":[140,35,10]},)"
                    R"("properties":{"mag":%1,"ids":",us%2,","updated":%3,)"
                    R"("detail":"%4/detail/us%2.geojson"}},)")
                    .arg(6.6 + 0.1 * double(i))
                    .arg(i)
                    .arg(updated.at(i))
                    .arg(host)
                    .toUtf8();
    }
    json += R"({"type":"Feature","geometry":{"type":"Point","coordinates":[10,45,5]},)"
            R"("properties":{"mag":5.2,"ids":",small,","detail":"unused"}}]})";
    return json;
}

QByteArray detailWithPage(int i) {
    return QStringLiteral(R"({"properties":{"products":{"losspager":[{"contents":{"onepager.pdf":)"
                          R"({"url":"https://example.org/us%1_onepager.pdf"}}}]}}})")
        .arg(i)
        .toUtf8();
}

struct usgsOnFixture {
    fixtureServer server;
    scopedEnvironment feeds{"QUORVEL_USGS_FEED_URL", server.baseURL()};

    qsizetype detailRequests() const { return server.requests().filter("/detail/").size(); }
};

QString onePager(const seismicOrigin& o) {
    return o.gsLinks().value_or(QMap<QString, QString>()).value(QStringLiteral("onePagerLink"));
}

} // namespace

TEST(UsgsDetailDocuments, AreKeptBetweenRefreshesUntilTheEventIsUpdated) {
    usgsOnFixture f;
    const QList<qint64> updated = {1765000000000, 1765000100000, 1765000200000, 1765000300000};
    f.server.setAnswer(feedPath, {200, feedWithUpdates(f.server.baseURL(), updated)});
    for (int i = 0; i < 4; ++i)
        f.server.setAnswer(QStringLiteral("/detail/us%1.geojson").arg(i), {200, detailWithPage(i)});

    NEIC_QueryController c;
    originList origins = c.loadUSGSGeoJSONFeed();
    ASSERT_EQ(origins.size(), 5);
    EXPECT_EQ(f.detailRequests(), 4); // the small event's document is never asked for
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(onePager(*origins.at(i)),
                  QStringLiteral("https://example.org/us%1_onepager.pdf").arg(i));

    // Nothing changed: nothing is fetched, and the new records carry the kept links.
    origins = c.loadUSGSGeoJSONFeed();
    EXPECT_EQ(f.detailRequests(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(onePager(*origins.at(i)),
                  QStringLiteral("https://example.org/us%1_onepager.pdf").arg(i));

    // One event updated, with a new page: only its document is fetched again.
    QList<qint64> changed = updated;
    changed[2] += 60000;
    f.server.setAnswer(feedPath, {200, feedWithUpdates(f.server.baseURL(), changed)});
    f.server.setAnswer(QStringLiteral("/detail/us2.geojson"), {200, detailWithPage(22)});
    origins = c.loadUSGSGeoJSONFeed();
    EXPECT_EQ(f.detailRequests(), 5);
    EXPECT_EQ(f.server.requests().filter("/detail/").last(), "/detail/us2.geojson");
    EXPECT_EQ(onePager(*origins.at(2)), "https://example.org/us22_onepager.pdf");
    EXPECT_EQ(onePager(*origins.at(3)), "https://example.org/us3_onepager.pdf");

    // A document that fails is not kept: the next refresh asks for it again.
    changed[0] += 60000;
    f.server.setAnswer(feedPath, {200, feedWithUpdates(f.server.baseURL(), changed)});
    f.server.setAnswer(QStringLiteral("/detail/us0.geojson"), {500, "busy"});
    c.loadUSGSGeoJSONFeed();
    origins = c.loadUSGSGeoJSONFeed();
    EXPECT_EQ(f.detailRequests(), 7);
    EXPECT_FALSE(origins.at(0)->gsLinks().has_value());
}

TEST(UsgsDetailDocuments, AStalledHostEndsTheLoadAtItsOneDeadlineWithOneLogLine) {
    usgsOnFixture f;
    f.server.setAnswer(feedPath,
                       {200, feedWithUpdates(f.server.baseURL(), {1, 2, 3, 4, 5, 6, 7, 8})});
    for (int i = 0; i < 8; ++i)
        f.server.setAnswer(
            QStringLiteral("/detail/us%1.geojson").arg(i),
            {200, detailWithPage(i), "application/json",
             i == 5 ? fixtureServer::behaviour::normal : fixtureServer::behaviour::stall});
    NEIC_QueryController c;
    c.setDownloadTimeoutMs(400);
    const logCapture log;
    const originList origins = c.loadUSGSGeoJSONFeed();

    // All the documents were asked for before the deadline, so they were in flight together.
    EXPECT_EQ(f.detailRequests(), 8);
    ASSERT_EQ(origins.size(), 9);
    EXPECT_TRUE(c.lastError().isNull());
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(origins.at(i)->gsLinks().has_value(), i == 5) << i;
    ASSERT_EQ(log.problems().size(), 1);
    EXPECT_TRUE(log.problems().first().contains("7 of 8 detail documents"))
        << qPrintable(log.problems().first());
}

TEST(WebFetcher, FetchAllKeepsTheOrderAndTellsEachOutcome) {
    fixtureServer server;
    server.setAnswer("/a", {200, "first"});
    server.setAnswer("/b", {404, "gone"});
    server.setAnswer("/c", {200, "third"});
    server.setAnswer("/d",
                     {200, "cut short here", "text/plain", fixtureServer::behaviour::cutShort});
    QList<QUrl> urls;
    for (const char* path : {"/a", "/b", "/c", "/d", "/a"})
        urls.append(QUrl(server.baseURL() + QLatin1StringView(path)));
    urls.append(QUrl());
    webFetcher::options how;
    how.timeoutMs = 30000;
    // Fewer at once than addresses: the rest wait for a free place.
    const QList<webFetcher::result> results = webFetcher::fetchAll(urls, how, 2);
    ASSERT_EQ(results.size(), 6);
    EXPECT_EQ(*results.at(0), "first");
    EXPECT_EQ(results.at(1).error(), "HTTP status 404");
    EXPECT_EQ(*results.at(2), "third");
    EXPECT_FALSE(results.at(3).ok()); // closed half-way through the body
    EXPECT_EQ(*results.at(4), "first");
    EXPECT_FALSE(results.at(5).ok());
    EXPECT_TRUE(webFetcher::fetchAll({}, how, 4).isEmpty());
}
