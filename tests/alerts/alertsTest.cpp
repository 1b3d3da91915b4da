// Alerts: the rule with and without a home place, the texts, what a check raises (news only,
// each event once, across restarts), the settings they come from, and one launch of the
// program against the loopback server with a fixed clock.

#include "OrrelinController.h"
#include "alerts/alertRule.h"
#include "alerts/earthquakeAlerts.h"
#include "applicationDefaults.h"
#include "eventFilters.h"
#include "finishLoads.h"
#include "fixtureServer.h"
#include "qtPrinters.h"
#include "qtTestInGoogleTest.h"
#include "scopedEnvironment.h"
#include "userDefaults.h"
#include "webViewHolder.h"

#include "ui_preferencesWindow.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QSettings>
#include <QStatusBar>

#include <gtest/gtest.h>

namespace {

const QDateTime fixedNow(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc());

struct recordingNotifier : alertNotifier {
    struct notification {
        QString title, body;
    };
    void notify(const QString& title, const QString& body) override {
        notifications->append({title, body});
    }
    void setAlertsOn(bool on) override { *alertsOn = on; }

    std::shared_ptr<QList<notification>> notifications = std::make_shared<QList<notification>>();
    std::shared_ptr<bool> alertsOn = std::make_shared<bool>(false);
};

std::shared_ptr<seismicOrigin> origin(const char* id, float magnitude, float lat, float lon,
                                      qint64 ageSeconds, const char* region = "SOMEWHERE") {
    auto o = std::make_shared<seismicOrigin>();
    o->setEventID(QString::fromLatin1(id));
    o->setMagnitude(magnitude);
    o->setLatitude(lat);
    o->setLongitude(lon);
    o->setOriginDateTime(fixedNow.addSecs(-ageSeconds));
    o->setCsvRegionString(QString::fromLatin1(region));
    return o;
}

QStringList keys(const QList<earthquakeAlerts::alert>& alerts) {
    QStringList k;
    for (const auto& a : alerts)
        k.append(a.eventKey);
    return k;
}

// Home on the equator at Greenwich; a degree of longitude there is kilometresPerDegree km.
alertRule homeRule() {
    alertRule rule;
    rule.enabled = true;
    rule.minimumMagnitude = 6.0f;
    rule.home = QPointF(0, 0);
    rule.homeRadiusKm = 500;
    rule.homeMinimumMagnitude = 4.0f;
    return rule;
}

float longitudeAtKm(double km) {
    return float(km / eventFilters::kilometresPerDegree);
}

class alertsTest : public ::testing::Test {
protected:
    void SetUp() override { QSettings().clear(); }

    // An alerts instance as after a start-up, with the rule and clock this test sets.
    std::unique_ptr<earthquakeAlerts> started(recordingNotifier** recorder = nullptr) {
        auto alerts =
            std::make_unique<earthquakeAlerts>([this] { return now; }, [this] { return rule; });
        auto notifier = std::make_unique<recordingNotifier>();
        if (recorder)
            *recorder = notifier.get();
        alerts->setNotifier(std::move(notifier));
        return alerts;
    }

    alertRule rule = homeRule();
    QDateTime now = fixedNow;
};

} // namespace

TEST_F(alertsTest, TheRuleHasAGlobalMinimumAndALowerOneNearHome) {
    const alertRule r = homeRule();
    // Far from home only the global minimum counts.
    EXPECT_TRUE(r.passes(*origin("a", 6.0f, 35, 140, 0)));
    EXPECT_FALSE(r.passes(*origin("b", 5.9f, 35, 140, 0)));
    // Near home the lower one; below it nothing passes.
    EXPECT_TRUE(r.passes(*origin("c", 4.0f, 0, longitudeAtKm(100), 0)));
    EXPECT_FALSE(r.passes(*origin("d", 3.9f, 0, longitudeAtKm(100), 0)));
    // The radius's edge is inside; a little beyond is outside.
    EXPECT_TRUE(r.passes(*origin("e", 4.5f, 0, longitudeAtKm(500), 0)));
    EXPECT_FALSE(r.passes(*origin("f", 4.5f, 0, longitudeAtKm(502), 0)));
    // In whole kilometres, as the alert states the distance.
    EXPECT_TRUE(r.passes(*origin("e2", 4.5f, 0, longitudeAtKm(500.4), 0)));
    EXPECT_FALSE(r.passes(*origin("f2", 4.5f, 0, longitudeAtKm(500.6), 0)));
    // Across the date line and the poles the distance is the great circle's.
    alertRule dateLine = r;
    dateLine.home = QPointF(179.5, 0);
    EXPECT_TRUE(dateLine.passes(*origin("g", 4.5f, 0, -179.5f, 0)));
    ASSERT_TRUE(dateLine.distanceFromHomeKm(*origin("g", 4.5f, 0, -179.5f, 0)));
    EXPECT_NEAR(*dateLine.distanceFromHomeKm(*origin("g", 4.5f, 0, -179.5f, 0)), 111.19, 0.01);

    // Without a home place only the global minimum applies, and there is no distance.
    alertRule noHome = r;
    noHome.home.reset();
    EXPECT_FALSE(noHome.passes(*origin("h", 5.0f, 0, longitudeAtKm(100), 0)));
    EXPECT_TRUE(noHome.passes(*origin("i", 6.2f, 0, longitudeAtKm(100), 0)));
    EXPECT_FALSE(noHome.distanceFromHomeKm(*origin("i", 6.2f, 0, 0, 0)));
}

TEST_F(alertsTest, TheTextsNameMagnitudeRegionUtcTimeAndDistance) {
    auto o = origin("us7000abcd", 6.44f, 38.3f, 142.4f, 0, "NEAR EAST COAST OF HONSHU, JAPAN");
    o->setOriginDateTime(QDateTime(QDate(2026, 12, 8), QTime(11, 2, 3, 600), QTimeZone::utc()));
    const auto withHome = earthquakeAlerts::alertFor(*o, 812.4);
    EXPECT_EQ(withHome.title, QStringLiteral("M 6.4 – NEAR EAST COAST OF HONSHU, JAPAN"));
    EXPECT_EQ(withHome.body, QStringLiteral("2026-12-08 11:02:03 UTC, 812 km from home"));
    EXPECT_EQ(withHome.eventKey, QStringLiteral("us7000abcd"));
    const auto noHome = earthquakeAlerts::alertFor(*o, std::nullopt);
    EXPECT_EQ(noHome.body, QStringLiteral("2026-12-08 11:02:03 UTC"));

    // The short Flinn–Engdahl name wins over the catalogue's text, as on the map; an origin
    // with neither is named by its place.
    o->setShortFlinnEngdahlString(QStringLiteral("JAPAN"));
    EXPECT_EQ(earthquakeAlerts::alertFor(*o, std::nullopt).title, QStringLiteral("M 6.4 – JAPAN"));
    auto unnamed = origin("x", 6.05f, 48, 12, 0, "");
    EXPECT_EQ(earthquakeAlerts::alertFor(*unnamed, std::nullopt).title,
              QStringLiteral("M 6.1 – GERMANY"));
    // Without an id an origin is known by its time and place.
    unnamed->setEventID(QString());
    EXPECT_EQ(earthquakeAlerts::eventKey(*unnamed),
              QStringLiteral("2026-12-08T12:00:00.000Z@48.00,12.00"));

    // The status bar names the newest alert and counts the others.
    EXPECT_TRUE(earthquakeAlerts::statusText({}).isNull());
    EXPECT_EQ(
        earthquakeAlerts::statusText({noHome}),
        QStringLiteral("Alert: M 6.4 – NEAR EAST COAST OF HONSHU, JAPAN, 2026-12-08 11:02:03 UTC"));
    EXPECT_EQ(earthquakeAlerts::statusText({noHome, withHome, withHome}),
              QStringLiteral("Alert: M 6.4 – NEAR EAST COAST OF HONSHU, JAPAN, 2026-12-08 "
                             "11:02:03 UTC, 812 km from home (and 2 more)"));
}

TEST_F(alertsTest, TheFirstCheckTakesTheLastHourAndNoEventAlertsTwice) {
    recordingNotifier* recorder = nullptr;
    auto alerts = started(&recorder);
    const originList firstLoad = {
        origin("new", 6.5f, 35, 140, 20 * 60, "JAPAN"), // newest first, as the loads give
        origin("edge", 6.1f, 35, 140, 3600, "JAPAN"),
        origin("late", 7.0f, -20, -70, 3601, "CHILE"),
        origin("small", 5.0f, 35, 140, 60, "JAPAN"),
        origin("home", 4.2f, 1, 1, 120, "GULF OF GUINEA"),
    };
    const auto first = alerts->check(firstLoad);
    // Oldest first; the event just over an hour old is history, not news.
    EXPECT_EQ(keys(first), QStringList({"edge", "new", "home"}));
    ASSERT_EQ(recorder->notifications->size(), 3);
    EXPECT_EQ(recorder->notifications->at(1).title, QStringLiteral("M 6.5 – JAPAN"));
    EXPECT_EQ(recorder->notifications->at(2).body,
              QStringLiteral("2026-12-08 11:58:00 UTC, 157 km from home"));
    EXPECT_TRUE(*recorder->alertsOn);

    // Ten minutes later the same list and one more event: only the new one.
    now = fixedNow.addSecs(600);
    originList secondLoad = firstLoad;
    secondLoad.prepend(origin("newer", 6.0f, 10, 10, -300, "CHAD"));
    EXPECT_EQ(keys(alerts->check(secondLoad)), QStringList({"newer"}));
    // The start-up hour stays the limit: an old event that turns up later is no news.
    EXPECT_TRUE(alerts->check({origin("older", 8.0f, 0, 90, 2 * 3600)}).isEmpty());
    EXPECT_EQ(recorder->notifications->size(), 4);
}

TEST_F(alertsTest, AlertedEventsAreRememberedAcrossRestartsForThirtyDays) {
    const originList load = {origin("a", 6.5f, 35, 140, 600), origin("b", 6.6f, 35, 140, 1200)};
    EXPECT_EQ(started()->check(load).size(), 2);

    // The next run reads the same settings: the two are not alerted again, a new one is.
    now = fixedNow.addSecs(300);
    recordingNotifier* recorder = nullptr;
    auto restarted = started(&recorder);
    originList next = load;
    next.prepend(origin("smi:de.gfz/geofon/gfz2026xyz", 6.7f, 35, 140, 0));
    EXPECT_EQ(keys(restarted->check(next)), QStringList({"smi:de.gfz/geofon/gfz2026xyz"}));
    EXPECT_TRUE(started()->check(next).isEmpty());
    EXPECT_EQ(recorder->notifications->size(), 1);

    // Ids whose origins are older than thirty days are forgotten, so the list stays bounded.
    QSettings().setValue(
        "alertedEvents",
        QVariantMap{{"ancient", fixedNow.addDays(-31).toString(Qt::ISODateWithMs)},
                    {"junk", "no time"},
                    {"recent", fixedNow.addDays(-29).toString(Qt::ISODateWithMs)}});
    started()->check({});
    const QVariantMap kept = QSettings().value("alertedEvents").toMap();
    EXPECT_EQ(kept.keys(), QStringList({"recent"}));

    // However many events pass near home, only the newest ones' ids are kept.
    QLoggingCategory::setFilterRules(QStringLiteral("quorvel.alerts.info=false"));
    originList flood;
    for (int i = 0; i < earthquakeAlerts::rememberedLimit + 10; ++i)
        flood.append(origin(QByteArray::number(i).constData(), 6.0f, 0, 0, i));
    started()->check(flood);
    const QVariantMap bounded = QSettings().value("alertedEvents").toMap();
    EXPECT_EQ(bounded.size(), earthquakeAlerts::rememberedLimit);
    EXPECT_TRUE(bounded.contains("0"));
    QLoggingCategory::setFilterRules(QString());
}

TEST_F(alertsTest, AlertsOffRaiseNothingAndSwitchingOnStartsAfresh) {
    recordingNotifier* recorder = nullptr;
    auto alerts = started(&recorder);
    rule.enabled = false;
    EXPECT_TRUE(alerts->check({origin("a", 8.0f, 35, 140, 60)}).isEmpty());
    EXPECT_TRUE(recorder->notifications->isEmpty());
    EXPECT_FALSE(*recorder->alertsOn);
    EXPECT_FALSE(QSettings().contains("alertedEvents"));

    // Switched on two hours later: what happened while alerts were off is not replayed.
    rule.enabled = true;
    now = fixedNow.addSecs(2 * 3600);
    const auto alerted =
        alerts->check({origin("a", 8.0f, 35, 140, 60), origin("b", 6.0f, 35, 140, -3600)});
    EXPECT_EQ(keys(alerted), QStringList({"b"}));
    EXPECT_TRUE(*recorder->alertsOn);
}

TEST_F(alertsTest, TheRuleComesFromTheRegisteredDefaultsAndTheUsersValues) {
    userDefaults& defaults = userDefaults::standardUserDefaults();
    defaults.resetRegistrations();
    applicationDefaults::registerApplicationDefaults();
    const alertRule shipped = alertRule::fromDefaults();
    EXPECT_FALSE(shipped.enabled);
    EXPECT_FLOAT_EQ(shipped.minimumMagnitude, 6.0f);
    EXPECT_FALSE(shipped.home);
    EXPECT_FLOAT_EQ(shipped.homeRadiusKm, 500.0f);
    EXPECT_FLOAT_EQ(shipped.homeMinimumMagnitude, 4.0f);

    // Fields read as the other preference fields: the leading number, none is 0; a home place
    // needs both numbers, in range.
    defaults.setObject(true, "alertsEnabled");
    defaults.setObject("5.5 or so", "alertMinimumMagnitude");
    defaults.setObject("abc", "alertHomeRadiusKm");
    defaults.setObject(" 46.2 ", "alertHomeLatitude");
    defaults.setObject("6.1", "alertHomeLongitude");
    const alertRule edited = alertRule::fromDefaults();
    EXPECT_TRUE(edited.enabled);
    EXPECT_FLOAT_EQ(edited.minimumMagnitude, 5.5f);
    EXPECT_FLOAT_EQ(edited.homeRadiusKm, 0.0f);
    ASSERT_TRUE(edited.home);
    EXPECT_EQ(*edited.home, QPointF(6.1, 46.2));
    defaults.setObject("95", "alertHomeLatitude");
    EXPECT_FALSE(alertRule::fromDefaults().home);
    defaults.setObject("", "alertHomeLongitude");
    EXPECT_FALSE(alertRule::fromDefaults().home);
}

namespace {

const QString feedPath = QStringLiteral("/earthquakes/feed/v1.0/summary/2.5_month.geojson");

struct quake {
    const char* id;
    double magnitude;
    double lat, lon;
    qint64 ageSeconds; // before fixedNow
};

QByteArray monthFeed(std::initializer_list<quake> quakes) {
    QJsonArray features;
    for (const quake& q : quakes)
        features.append(QJsonObject{
            {"type", "Feature"},
            {"id", q.id},
            {"properties",
             QJsonObject{{"mag", q.magnitude},
                         {"place", "somewhere"},
                         {"time", fixedNow.addSecs(-q.ageSeconds).toMSecsSinceEpoch()},
                         {"net", "us"},
                         {"ids", QStringLiteral(",%1,").arg(QLatin1StringView(q.id))},
                         {"magType", "mww"}}},
            {"geometry",
             QJsonObject{{"type", "Point"}, {"coordinates", QJsonArray{q.lon, q.lat, 10.0}}}}});
    return QJsonDocument(QJsonObject{{"type", "FeatureCollection"}, {"features", features}})
        .toJson();
}

} // namespace

TEST_F(alertsTest, TheProgramAlertsAfterEachLoadThatSucceeds) {
    webViewHolder::setViewsAllowed(false);
    fixtureServer server;
    scopedEnvironment feeds{"QUORVEL_USGS_FEED_URL", server.baseURL()};
    // Home in Tokyo; a strong event off Honshu half an hour ago, a moderate one near home,
    // a strong one three hours ago and a small one far away.
    userDefaults& defaults = userDefaults::standardUserDefaults();
    defaults.setObject(true, "alertsEnabled");
    defaults.setObject("35.7", "alertHomeLatitude");
    defaults.setObject("139.7", "alertHomeLongitude");
    server.setAnswer(feedPath, {200,
                                monthFeed({{"us1", 6.4, 38.3, 142.4, 1800},
                                           {"us2", 4.6, 36.0, 140.0, 2400},
                                           {"us3", 7.1, -20.0, -70.0, 3 * 3600},
                                           {"us4", 4.6, 40.0, -120.0, 600}}),
                                "application/json"});

    auto c = std::make_unique<OrrelinController>();
    c->setClock([this] { return now; });
    auto notifier = std::make_unique<recordingNotifier>();
    auto notifications = notifier->notifications;
    c->alerts().setNotifier(std::move(notifier));
    c->awakeFromNib();
    finishLoads(*c);

    // Oldest first: the one near home, then the strong one off Honshu, named as on the map.
    ASSERT_EQ(notifications->size(), 2);
    EXPECT_EQ(notifications->at(1).title,
              QStringLiteral("M 6.4 – NEAR EAST COAST OF HONSHU, JAPAN"));
    EXPECT_EQ(notifications->at(1).body,
              QStringLiteral("2026-12-08 11:30:00 UTC, 376 km from home"));
    EXPECT_TRUE(notifications->at(0).title.startsWith(QStringLiteral("M 4.6 – ")));
    EXPECT_EQ(notifications->at(0).body,
              QStringLiteral("2026-12-08 11:20:00 UTC, 43 km from home"));
    EXPECT_EQ(c->mainWindow()->statusBar()->currentMessage(),
              QStringLiteral("Alert: ") + notifications->at(1).title +
                  QStringLiteral(", 2026-12-08 11:30:00 UTC, 376 km from home (and 1 more)"));
    EXPECT_EQ(c->allSeismicOrigins().at(1)->eventID(), QStringLiteral("us1"));
    EXPECT_EQ(c->allSeismicOrigins().at(1)->shownRegionString(),
              QStringLiteral("NEAR EAST COAST OF HONSHU, JAPAN"));

    // The next load brings one more; only that one alerts.
    now = fixedNow.addSecs(600);
    server.setAnswer(feedPath, {200,
                                monthFeed({{"us5", 6.0, 0.0, 100.0, -300},
                                           {"us1", 6.4, 38.3, 142.4, 1800},
                                           {"us2", 4.6, 36.0, 140.0, 2400}}),
                                "application/json"});
    c->loadEQInfo(nullptr);
    finishLoads(*c);
    ASSERT_EQ(notifications->size(), 3);
    EXPECT_TRUE(notifications->at(2).title.startsWith(QStringLiteral("M 6.0 – ")));
    EXPECT_TRUE(c->mainWindow()->statusBar()->currentMessage().startsWith(
        QStringLiteral("Alert: M 6.0 – ")));

    // A failed load alerts for nothing, whatever it kept.
    server.setAnswer(feedPath, {500, "down", "text/plain"});
    c->loadEQInfo(nullptr);
    finishLoads(*c);
    EXPECT_EQ(notifications->size(), 3);

    // The next start shows the kept list without alerts and its load repeats none.
    server.setAnswer(feedPath,
                     {200, monthFeed({{"us5", 6.0, 0.0, 100.0, -300}}), "application/json"});
    c.reset();
    auto next = std::make_unique<OrrelinController>();
    next->setClock([this] { return now; });
    auto nextNotifier = std::make_unique<recordingNotifier>();
    auto nextNotifications = nextNotifier->notifications;
    next->alerts().setNotifier(std::move(nextNotifier));
    next->awakeFromNib(OrrelinController::firstLoads::deferred);
    EXPECT_EQ(next->allSeismicOrigins().size(), 3);
    QTRY_VERIFY_WITH_TIMEOUT(next->allSeismicOrigins().size() == 1, 60000);
    EXPECT_TRUE(nextNotifications->isEmpty());

    // To look at the Alerts tab by eye: QUORVEL_SNAPSHOT_DIR=/some/folder alerts_tests
    if (const QString folder = qEnvironmentVariable("QUORVEL_SNAPSHOT_DIR"); !folder.isEmpty()) {
        next->preferencesInterface().preferencesTabView->setCurrentWidget(
            next->preferencesInterface().alertsTab);
        next->showPreferencesWindow();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(next->preferencesWindow()));
        next->preferencesWindow()->grab().save(folder + QStringLiteral("/preferencesAlerts.png"));
    }
}
