// The program as a user meets it: the windows made from their forms, loading from a loopback
// server, the displays, the click filters, the clipboard and auto-update.

#include "NEIC_QueryController.h"
#include "OrrelinController.h"
#include "QVRStemTimeLineView.h"
#include "catalogueLoader.h"
#include "eventSeismogramsDialog.h"
#include "finishLoads.h"
#include "fixtureServer.h"
#include "geoMapView.h"
#include "logCapture.h"
#include "mainWindows.h"
#include "originDisplays.h"
#include "originStore.h"
#include "originTableModel.h"
#include "qtPrinters.h"
#include "qtTestInGoogleTest.h"
#include "scopedEnvironment.h"
#include "statisticsWindowController.h"
#include "userDefaults.h"
#include "webViewHolder.h"

#include "ui_alertWindow.h"
#include "ui_mainWindow.h"
#include "ui_preferencesWindow.h"
#include "ui_twitterWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMainWindow>
#include <QOpenGLContext>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

const QDateTime fixedNow(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc());
const QString feedPath = QStringLiteral("/earthquakes/feed/v1.0/summary/2.5_month.geojson");
const QString weekPath = QStringLiteral("/earthquakes/feed/v0.1/summary/1.0_week.csv");

struct quake {
    const char* id;
    double magnitude;
    double lat, lon;
    qint64 ageSeconds;
    const char* place;
};

// Two close events off Japan an hour (and a bit) and five hours ago, one in Chile three days ago
// and one in California twenty days ago.
const quake quakes[] = {
    {"us0001", 6.0, 35.0, 140.0, 3700, "near the east coast of Honshu, Japan"},
    {"us0002", 5.0, 36.0, 141.0, 5 * 3600, "off the east coast of Honshu, Japan"},
    {"us0003", 4.5, -20.0, -70.0, 3 * 86400, "offshore Tarapaca, Chile"},
    {"ci0004", 3.5, 40.0, -120.0, 20 * 86400, "Northern California"},
};

QByteArray monthFeed() {
    QJsonArray features;
    for (const quake& q : quakes) {
        features.append(QJsonObject{
            {"type", "Feature"},
            {"id", q.id},
            {"properties",
             QJsonObject{{"mag", q.magnitude},
                         {"place", q.place},
                         {"time", fixedNow.addSecs(-q.ageSeconds).toMSecsSinceEpoch()},
                         {"net", QString::fromLatin1(q.id).left(2)},
                         {"ids", QStringLiteral(",%1,").arg(QLatin1StringView(q.id))},
                         {"magType", "mb"},
                         {"detail", QJsonValue::Null}}},
            {"geometry",
             QJsonObject{{"type", "Point"}, {"coordinates", QJsonArray{q.lon, q.lat, 10.0}}}}});
    }
    return QJsonDocument(QJsonObject{{"type", "FeatureCollection"}, {"features", features}})
        .toJson();
}

// A widget position (y down) for a view point (y up).
QPoint widgetPoint(const QWidget* view, QPointF viewPoint) {
    return QPoint(int(std::lround(viewPoint.x())),
                  int(std::lround(view->height() - viewPoint.y())));
}

class applicationTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings().clear(); // the user's values; the registered defaults stay for the run
        // The browser engine stays off; the windows keep the addresses they were asked for.
        webViewHolder::setViewsAllowed(false);
        server.setAnswer(feedPath, {200, monthFeed(), "application/json"});
        server.serveFile(weekPath, QStringLiteral(QUORVEL_TEST_DATA) +
                                       QStringLiteral("/feeds/joannecheng_1.0_week_20160211.csv"));
    }

    // A controller set up as at launch, its window on screen.
    std::unique_ptr<OrrelinController> launch() {
        auto controller = std::make_unique<OrrelinController>();
        controller->setClock([] { return fixedNow; });
        controller->mainWindow()->resize(1100, 760);
        controller->mainWindow()->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(controller->mainWindow()));
        controller->awakeFromNib();
        finishLoads(*controller);
        // Lay out and paint once, as the screen would, so views know their plot areas.
        controller->topoMapView()->grab();
        controller->timeLineView()->grab();
        return controller;
    }

    int feedRequests() const { return int(server.requests().count(feedPath)); }

    fixtureServer server;
    scopedEnvironment feeds{"QUORVEL_USGS_FEED_URL", server.baseURL()};
};

QStringList ids(const originList& origins) {
    QStringList result;
    for (const auto& o : origins)
        result << o->eventID();
    return result;
}

TEST_F(applicationTest, LaunchShowsTheFeedOnMapTimeLineTableAndSummary) {
    auto c = launch();
    // Newest first, every display fed.
    EXPECT_EQ(ids(c->allSeismicOrigins()), QStringList({"us0001", "us0002", "us0003", "ci0004"}));
    EXPECT_EQ(ids(c->visibleSeismicOrigins()), ids(c->allSeismicOrigins()));
    EXPECT_FALSE(c->eventsAreFiltered());
    EXPECT_EQ(c->topoMapView()->thePoints().size(), 4);
    EXPECT_EQ(c->tableModel()->rowCount(), 4);
    EXPECT_EQ(c->countOfVisibleEvents(), 4);
    ASSERT_TRUE(c->latestOrigin());
    EXPECT_EQ(c->latestOrigin()->eventID(), QStringLiteral("us0001"));

    // Oldest painted first, so the newest symbol lies on top; ages in hours: 1 h is recent.
    const geoMapPoint& top = *c->topoMapView()->thePoints().last();
    EXPECT_FLOAT_EQ(top.lat(), 35.0f);
    EXPECT_FLOAT_EQ(top.symbolSize(), 216.0f / 128.0f);
    EXPECT_EQ(top.colorIndex(), 0);
    EXPECT_EQ(c->topoMapView()->thePoints().first()->colorIndex(), 2);

    // The map opens on the whole globe from 0° to 360°, plates white at three quarters.
    EXPECT_FLOAT_EQ(c->topoMapView()->xmin(), 0.0f);
    EXPECT_FLOAT_EQ(c->topoMapView()->xmax(), 360.0f);
    EXPECT_FLOAT_EQ(c->topoMapView()->ymin(), -90.0f);
    EXPECT_EQ(c->topoMapView()->plateBoundaryColor(), QColor::fromRgbF(1, 1, 1, 0.75));
    EXPECT_TRUE(c->topoMapView()->showPlates());

    // The time line spans the last 30 days and lies under the map's plot area.
    EXPECT_EQ(c->timeLineView()->endDate(), fixedNow);
    EXPECT_EQ(c->timeLineView()->startDate(), fixedNow.addSecs(-2592000));
    EXPECT_DOUBLE_EQ(c->timeLineView()->iRect().left(), c->topoMapView()->mapRect().left());
    EXPECT_DOUBLE_EQ(c->timeLineView()->iRect().width(), c->topoMapView()->mapRect().width());

    // The summary is the USGS weekly list's.
    const QString summary = c->alertInterface().alertTView->toPlainText();
    EXPECT_EQ(
        summary,
        QStringLiteral(
            "A Global Seismicity Summary\nTuesday, December 08, 2026, at 12:00 UTC\n\nIn the "
            "last seven days the US Geological Survey identified and located 169 seismic events "
            "with magnitudes greater than or equal to 3.0. The largest event was a magnitude 6.4 "
            "event that occurred on Friday, February 05 at 19:57 UTC with location: TAIWAN.\n\n"
            "The earthquake list includes \n    3 events with 6.0 ≤ M < 7.0\n   29 events "
            "with 5.0 ≤ M < 6.0\n   87 events with 4.0 ≤ M < 5.0\n   50 events with 3.0 ≤ M < "
            "4.0\n\nThe depth distribution of events is\n  116 events with 0 km ≤ Depth <= 70 "
            "km\n  47 events with 70 km < Depth < 400 km\n  6 events with Depth ≥ 400 km\n\nFor "
            "events larger than M 4.0, there were\n  81 events with 0 km ≤ Depth <= 70 km.\n  32 "
            "events with 70 km < Depth < 400 km.\n  6 events with Depth ≥ 400 km.\n\nThe "
            "following events have magnitudes of 6.0 or larger \n\n * A magnitude 6.3 on "
            "Wednesday, February 10 at 00:33 UTC, location: NEAR COAST OF CENTRAL CHILE (32 km "
            "deep).\n\n * A magnitude 6.4 on Monday, February 08 at 16:19 UTC, location: SOLOMON "
            "ISLANDS (32 km deep).\n\n * A magnitude 6.4 on Friday, February 05 at 19:57 UTC, "
            "location: TAIWAN (23 km deep).\n"));
    EXPECT_EQ(c->alertInterface().alertTView->font().family(), QStringLiteral("Courier"));
    EXPECT_EQ(c->alertInterface().alertTView->font().pointSize(), 12);

    // To look at the windows by eye: QUORVEL_SNAPSHOT_DIR=/some/folder application_tests
    if (const QString folder = qEnvironmentVariable("QUORVEL_SNAPSHOT_DIR"); !folder.isEmpty()) {
        for (QWidget* window :
             {static_cast<QWidget*>(c->mainWindow()), c->eventListWindow(), c->alertWindow(),
              c->preferencesWindow(), c->aboutWindow(), c->twitterBrowserWindow()}) {
            window->show();
            window->grab().save(folder + u'/' + window->objectName() + QStringLiteral(".png"));
        }
    }

    // The list spans twenty days less an hour and a bit, newest first.
    const double span = 20 * 86400.0 - 3700;
    EXPECT_DOUBLE_EQ(c->getAllSeismicOriginsTimeSpan(), span);
    EXPECT_DOUBLE_EQ(c->getEventTimeRangeInterval(), -span);

    // Auto-update is off at launch; the button keeps its form's title.
    EXPECT_EQ(c->theTimer(), nullptr);
    EXPECT_EQ(c->mainInterface().autoUpdateButton->text(), QStringLiteral("Start"));
    EXPECT_FALSE(c->mainInterface().monitorIndicatorTField->isVisible());
}

// A reload replaces the records everywhere: those of the list before are let go by every
// display, the table and the store, and freed (on the loader's worker), none kept alive.
TEST_F(applicationTest, AReloadLetsTheRecordsOfTheListBeforeGo) {
    auto c = launch();
    std::vector<std::weak_ptr<seismicOrigin>> before;
    for (const auto& o : c->allSeismicOrigins())
        before.push_back(o);
    c->update();
    finishLoads(*c);
    EXPECT_EQ(ids(c->allSeismicOrigins()), QStringList({"us0001", "us0002", "us0003", "ci0004"}));
    EXPECT_NE(c->allSeismicOrigins().first().get(), before.front().lock().get());
    QTRY_VERIFY_WITH_TIMEOUT(
        std::all_of(before.cbegin(), before.cend(), [](const auto& o) { return o.expired(); }),
        10000);
}

TEST_F(applicationTest, TimeLineClickFiltersAndTheNextClickRestores) {
    auto c = launch();
    QVRStemTimeLineView* timeLine = c->timeLineView();
    const QRectF plot = timeLine->iRect();
    // The window is 2 % of 30 days, 14.4 hours: a click at the newest event's time keeps
    // the two events off Japan.
    const double age = 3700;
    const double x = plot.left() + (age - timeLine->xmin()) /
                                       (timeLine->xmax() - timeLine->xmin()) * plot.width();
    QTest::mouseClick(timeLine, Qt::LeftButton, {},
                      widgetPoint(timeLine, QPointF(x, plot.center().y())));
    EXPECT_TRUE(c->eventsAreFiltered());
    EXPECT_EQ(ids(c->visibleSeismicOrigins()), QStringList({"us0001", "us0002"}));
    EXPECT_EQ(c->tableModel()->rowCount(), 2);
    EXPECT_EQ(c->topoMapView()->thePoints().size(), 2);

    QTest::mouseClick(timeLine, Qt::LeftButton, {},
                      widgetPoint(timeLine, QPointF(plot.left() + 2, plot.center().y())));
    EXPECT_FALSE(c->eventsAreFiltered());
    EXPECT_EQ(c->visibleSeismicOrigins().size(), 4);
    EXPECT_EQ(c->tableModel()->rowCount(), 4);
}

TEST_F(applicationTest, MapClickFiltersByDistanceAndSetsTheGeocodeCentre) {
    auto c = launch();
    geoMapView* map = c->topoMapView();
    // 500 km around the newest event keeps it and its neighbour 140 km away.
    QTest::mouseClick(map, Qt::LeftButton, {}, widgetPoint(map, map->viewPointForLonLat(140, 35)));
    EXPECT_TRUE(c->eventsAreFiltered());
    EXPECT_EQ(ids(c->visibleSeismicOrigins()), QStringList({"us0001", "us0002"}));
    // Where the click fell, to the nearest pixel.
    EXPECT_NEAR(c->twitterInterface().geoFilterLonTField->text().toDouble(), 140.0, 0.5);
    EXPECT_NEAR(c->twitterInterface().geoFilterLatTField->text().toDouble(), 35.0, 0.5);

    // The next click restores everything, wherever it falls; it filters nothing.
    QTest::mouseClick(map, Qt::LeftButton, {}, widgetPoint(map, map->viewPointForLonLat(290, -20)));
    EXPECT_FALSE(c->eventsAreFiltered());
    EXPECT_EQ(c->visibleSeismicOrigins().size(), 4);

    // Longitudes past 180 are read west of Greenwich: 290 E is Chile's −70.
    QTest::mouseClick(map, Qt::LeftButton, {}, widgetPoint(map, map->viewPointForLonLat(290, -20)));
    EXPECT_EQ(ids(c->visibleSeismicOrigins()), QStringList({"us0003"}));
    EXPECT_NEAR(c->twitterInterface().geoFilterLonTField->text().toDouble(), -70.0, 0.5);

    // A click where nothing is near leaves the list whole and unfiltered.
    c->handleClickedMousePosition(QPointF(280, 35)); // restores
    c->handleClickedMousePosition(QPointF(0, -60));
    EXPECT_FALSE(c->eventsAreFiltered());
    EXPECT_EQ(c->visibleSeismicOrigins().size(), 4);
}

TEST_F(applicationTest, CopyPutsTheHeadingAndOneLinePerVisibleEvent) {
    auto c = launch();
    c->handleClickedMouseInTimeLine(QPointF(3600, 5)); // the two events off Japan
    c->copyEventsToPasteBoard();
    const QString text = QGuiApplication::clipboard()->text();
    const QStringList lines = text.split(u'\n');
    ASSERT_EQ(lines.size(), 4); // heading, two events, and the empty text after the last "\n"
    EXPECT_EQ(lines.at(0), QStringLiteral("Origin Time | Longitude | Latitude | Depth (km) | "
                                          "Magnitude| Magnitude Type | Magnitude Contributor | "
                                          "Origin ID | Location Contributor | Region String"));
    EXPECT_EQ(lines.at(1),
              QStringLiteral("2026-12-08 10:58:20 +0000 | 140.000 |  35.000 |  10.00 | 6.00 | mb  "
                             "| USGS | us0001 | USGS-us | near the east coast of Honshu, Japan"));
    EXPECT_EQ(lines.at(2),
              QStringLiteral("2026-12-08 07:00:00 +0000 | 141.000 |  36.000 |  10.00 | 5.00 | mb  "
                             "| USGS | us0002 | USGS-us | off the east coast of Honshu, Japan"));
    EXPECT_TRUE(lines.at(3).isEmpty());
}

TEST_F(applicationTest, AutoUpdateReloadsTheFeedAndAManualLoadStopsIt) {
    auto c = launch();
    Ui::mainWindow& ui = c->mainInterface();
    ui.autoUpdateTField->setText(QStringLiteral("1"));
    // Another catalogue in the pop-up does not matter: auto-update reloads the USGS feed.
    ui.dataSourcePopup->setCurrentIndex(1);
    QTest::mouseClick(ui.autoUpdateButton, Qt::LeftButton);
    ASSERT_NE(c->theTimer(), nullptr);
    EXPECT_EQ(ui.autoUpdateButton->text(), QStringLiteral("Stop"));
    EXPECT_TRUE(ui.monitorIndicatorTField->isVisible());

    const int before = feedRequests();
    // Two ticks a second apart (a loaded machine may take longer).
    QTRY_VERIFY_WITH_TIMEOUT(feedRequests() >= before + 2, 15000);
    EXPECT_NE(c->theTimer(), nullptr); // it does not stop itself
    EXPECT_EQ(c->allSeismicOrigins().size(), 4);

    // A load the user starts stops it.
    finishLoads(*c);
    ui.dataSourcePopup->setCurrentIndex(0);
    QTest::mouseClick(ui.neicButton, Qt::LeftButton);
    EXPECT_EQ(c->theTimer(), nullptr);
    EXPECT_EQ(ui.autoUpdateButton->text(), QStringLiteral("Start"));
    EXPECT_FALSE(ui.monitorIndicatorTField->isVisible());
    finishLoads(*c);
    const int afterStop = feedRequests();
    // Were it still running, its next tick would ask within a second.
    EXPECT_FALSE(QTest::qWaitFor([&] { return feedRequests() != afterStop; }, 2500));
}

TEST_F(applicationTest, ALoadTheUserAsksForSupersedesTheOneThatRuns) {
    auto c = launch();
    Ui::mainWindow& ui = c->mainInterface();
    QStringList shownLists;
    QObject::connect(&c->origins(), &originStore::originsReplaced, c.get(),
                     [&] { shownLists << ids(c->allSeismicOrigins()).join(u','); });

    // The first answer waits at the server; meanwhile the window says what loads, and
    // *Reload* reads *Stop*.
    server.setAnswer(feedPath,
                     {200, monthFeed(), "application/json", fixtureServer::behaviour::held});
    c->loadEQInfo(ui.dataSourcePopup);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.heldRequests() == 1; }, 60000));
    EXPECT_TRUE(c->isLoading());
    EXPECT_EQ(ui.neicButton->text(), QStringLiteral("Stop"));
    const auto* busy = c->mainWindow()->findChild<QLabel*>(QStringLiteral("loadingLabel"));
    ASSERT_NE(busy, nullptr);
    EXPECT_TRUE(busy->isVisible());
    EXPECT_EQ(busy->text(), QStringLiteral("Loading the USGS feed…"));

    // A timer tick meanwhile is skipped quietly.
    const int before = feedRequests();
    c->update();
    EXPECT_EQ(feedRequests(), before);

    // The user asks again, for a feed that now holds one event only; then the first answer
    // comes after all.
    QJsonDocument one = QJsonDocument::fromJson(monthFeed());
    QJsonObject collection = one.object();
    collection[QStringLiteral("features")] =
        QJsonArray{collection[QStringLiteral("features")].toArray().at(2)};
    server.setAnswer(feedPath, {200, QJsonDocument(collection).toJson(), "application/json"});
    c->loadEQInfo(ui.dataSourcePopup);
    server.releaseHeldAnswers();
    finishLoads(*c);

    // Only the second list ever reached the displays.
    EXPECT_EQ(shownLists, QStringList({QStringLiteral("us0003")}));
    EXPECT_EQ(ids(c->visibleSeismicOrigins()), QStringList({"us0003"}));
    EXPECT_EQ(c->tableModel()->rowCount(), 1);
    EXPECT_EQ(c->topoMapView()->thePoints().size(), 1);
    EXPECT_EQ(c->mainWindow()->statusBar()->currentMessage(),
              QStringLiteral("Loaded 1 events from the USGS feed"));
    EXPECT_EQ(ui.neicButton->text(), QStringLiteral("Reload"));
    EXPECT_FALSE(busy->isVisible());

    // *Stop* ends a load, and the list shown stays.
    server.setAnswer(feedPath,
                     {200, monthFeed(), "application/json", fixtureServer::behaviour::held});
    QTest::mouseClick(ui.neicButton, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.heldRequests() == 1; }, 60000));
    EXPECT_EQ(ui.neicButton->text(), QStringLiteral("Stop"));
    QTest::mouseClick(ui.neicButton, Qt::LeftButton);
    EXPECT_FALSE(c->isLoading());
    EXPECT_EQ(ui.neicButton->text(), QStringLiteral("Reload"));
    EXPECT_EQ(c->mainWindow()->statusBar()->currentMessage(),
              QStringLiteral("Stopped loading the USGS feed"));
    server.releaseHeldAnswers();
    EXPECT_EQ(ids(c->visibleSeismicOrigins()), QStringList({"us0003"}));
}

TEST_F(applicationTest, TheWindowTakesInputWhileTheNetworkStallsAtStartUp) {
    // Every answer waits at the server until the test lets it go.
    server.setAnswer(feedPath,
                     {200, monthFeed(), "application/json", fixtureServer::behaviour::held});
    QFile week(QStringLiteral(QUORVEL_TEST_DATA) +
               QStringLiteral("/feeds/joannecheng_1.0_week_20160211.csv"));
    ASSERT_TRUE(week.open(QIODevice::ReadOnly));
    server.setAnswer(weekPath, {200, week.readAll(), "text/plain", fixtureServer::behaviour::held});
    auto c = std::make_unique<OrrelinController>();
    c->setClock([] { return fixedNow; });
    c->mainWindow()->show();
    c->mainWindow()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(c->mainWindow()));
    c->awakeFromNib();
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.heldRequests() == 1; }, 60000));
    EXPECT_TRUE(c->isLoading());

    // Meanwhile the keyboard works: Ctrl+L opens the event list, and a field takes typing.
    QTest::keyClick(c->mainWindow(), Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(c->eventListWindow()->isVisible());
    QLineEdit* distance = c->mainInterface().filterDistanceTField;
    distance->selectAll();
    QTest::keyClicks(distance, QStringLiteral("250"));
    EXPECT_EQ(distance->text(), QStringLiteral("250"));
    EXPECT_TRUE(c->allSeismicOrigins().isEmpty());

    // Then the network answers, one download after another, and the list shows.
    while (c->isLoading()) {
        server.releaseHeldAnswers();
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return server.heldRequests() > 0 || !c->isLoading(); }, 60000));
    }
    EXPECT_EQ(ids(c->allSeismicOrigins()), QStringList({"us0001", "us0002", "us0003", "ci0004"}));
    EXPECT_EQ(c->tableModel()->rowCount(), 4);
}

TEST_F(applicationTest, AFailedRefreshKeepsTheLastListEverywhere) {
    auto c = launch();
    c->showStatisticsWindow();
    server.setAnswer(feedPath, {500, "down for maintenance"});
    logCapture log;
    c->loadEQInfo(nullptr);
    finishLoads(*c);
    EXPECT_EQ(log.problems().size(), 1);
    EXPECT_EQ(ids(c->allSeismicOrigins()), QStringList({"us0001", "us0002", "us0003", "ci0004"}));
    EXPECT_EQ(c->visibleSeismicOrigins().size(), 4);
    EXPECT_EQ(c->topoMapView()->thePoints().size(), 4);
    EXPECT_EQ(c->tableModel()->rowCount(), 4);
    EXPECT_EQ(c->countOfVisibleEvents(), 4);
    EXPECT_EQ(c->statistics()->statistics().events(), 4);
    ASSERT_TRUE(c->latestOrigin());
    EXPECT_EQ(c->latestOrigin()->eventID(), QStringLiteral("us0001"));
    // The list was loaded at the fixed "now".
    EXPECT_EQ(c->mainWindow()->statusBar()->currentMessage(),
              QStringLiteral("Could not load the USGS feed: HTTP status 500; showing the events "
                             "loaded at 12:00"));
    EXPECT_FALSE(c->isLoading());

    // Map clicks still filter the list kept.
    geoMapView* map = c->topoMapView();
    QTest::mouseClick(map, Qt::LeftButton, {}, widgetPoint(map, map->viewPointForLonLat(-70, -20)));
    EXPECT_EQ(ids(c->visibleSeismicOrigins()), QStringList({"us0003"}));
    EXPECT_EQ(c->statistics()->statistics().events(), 1);

    // The next good load brings everything back.
    server.setAnswer(feedPath, {200, monthFeed(), "application/json"});
    c->loadEQInfo(nullptr);
    finishLoads(*c);
    EXPECT_EQ(c->visibleSeismicOrigins().size(), 4);
}

TEST_F(applicationTest, EachDataSourceTagLoadsItsCatalogue) {
    scopedEnvironment ingv("QUORVEL_INGV_URL", server.baseURL());
    scopedEnvironment emsc("QUORVEL_EMSC_URL", server.baseURL());
    scopedEnvironment pde("QUORVEL_PDE_URL", server.baseURL());
    scopedEnvironment fdsn("QUORVEL_FDSN_EVENT_URL", server.baseURL());
    auto c = launch();
    Ui::mainWindow& ui = c->mainInterface();
    Ui::preferencesWindow& search = c->preferencesInterface();

    // The pop-up's items carry the tags; search buttons carry their own; no sender is 0.
    const int tags[] = {0, 1, 2, 10, 15};
    for (int i = 0; i < 5; ++i) {
        ui.dataSourcePopup->setCurrentIndex(i);
        EXPECT_EQ(c->dataSourceTagOf(ui.dataSourcePopup), tags[i]);
    }
    EXPECT_EQ(c->dataSourceTagOf(search.pdeSearchButton), 10);
    EXPECT_EQ(c->dataSourceTagOf(search.fdsnSearchButton), 15);
    EXPECT_EQ(c->dataSourceTagOf(nullptr), 0);
    EXPECT_EQ(c->dataSourceTagOf(c.get()), 0);

    logCapture quiet; // every catalogue but USGS answers 404 here
    auto lastRequest = [this] { return server.requests().last(); };
    ui.dataSourcePopup->setCurrentIndex(1);
    c->loadEQInfo(ui.dataSourcePopup);
    finishLoads(*c);
    EXPECT_EQ(lastRequest(), QStringLiteral("/index.html"));
    ui.dataSourcePopup->setCurrentIndex(2);
    c->loadEQInfo(ui.dataSourcePopup);
    finishLoads(*c);
    EXPECT_TRUE(lastRequest().startsWith(QStringLiteral("/Earthquake/?")))
        << lastRequest().toStdString();

    // The FDSN search reads the preferences' search tab: box from the four fields.
    search.southSearchlatitudeTField->setText(QStringLiteral("-10"));
    search.northSearchlatitudeTField->setText(QStringLiteral("20"));
    search.searchTypeControl->button(1)->setChecked(true);
    c->loadEQInfo(search.fdsnSearchButton);
    finishLoads(*c);
    EXPECT_TRUE(lastRequest().startsWith(QStringLiteral("/fdsnws/event/1/query")));
    EXPECT_TRUE(lastRequest().contains(QStringLiteral("minlat=-10.000&maxlat=20.000")))
        << lastRequest().toStdString();
    // The search failed (404): the list shown stays, and so does its time line; a search that
    // finds nothing (204) spans the time line over its days.
    EXPECT_EQ(c->timeLineView()->startDate(), fixedNow.addSecs(-2592000));
    EXPECT_EQ(c->allSeismicOrigins().size(), 4);
    server.setAnswer(QStringLiteral("/fdsnws/event/1/query"), {204, ""});
    c->loadEQInfo(search.fdsnSearchButton);
    finishLoads(*c);
    EXPECT_EQ(c->timeLineView()->startDate(),
              QDateTime(QDate(2000, 1, 1), QTime(0, 0), QTimeZone::utc()));
    EXPECT_TRUE(c->allSeismicOrigins().isEmpty());

    const qsizetype beforePde = server.requests().size();
    c->loadEQInfo(search.pdeSearchButton);
    finishLoads(*c);
    EXPECT_GT(server.requests().size(), beforePde);
    EXPECT_TRUE(c->mainWindow()->statusBar()->currentMessage().contains(QStringLiteral("PDE")));
}

TEST_F(applicationTest, SearchNearTheSelectedEventPreparesARingSearch) {
    auto c = launch();
    c->eventTableView()->selectRow(2); // Chile
    c->searchNearSelectedEvent();
    Ui::preferencesWindow& search = c->preferencesInterface();
    EXPECT_EQ(search.westSearchlongitudeTField->text().toDouble(), -70.0);
    EXPECT_EQ(search.southSearchlatitudeTField->text().toDouble(), -20.0);
    EXPECT_EQ(search.minRadiusTField->text().toDouble(), 0.0);
    EXPECT_EQ(search.maxRadiusTField->text().toDouble(), 1.0);
    EXPECT_EQ(search.preferencesTabView->currentIndex(), 1);
    EXPECT_EQ(search.searchTypeControl->checkedId(), 2);
    EXPECT_TRUE(c->preferencesWindow()->isVisible());

    // Without a selection the event actions do nothing.
    c->eventTableView()->clearSelection();
    EXPECT_EQ(c->selectedOrigin(), nullptr);
    c->loadNEICEventPage();
    EXPECT_FALSE(c->theWebView()->hasView());
}

TEST_F(applicationTest, TheSelectionFollowsItsEventThroughSortingAndReloads) {
    scopedEnvironment events("QUORVEL_USGS_EVENT_PAGE_URL", QStringLiteral("https://events.test"));
    auto c = launch();
    Ui::mainWindow& ui = c->mainInterface();
    QTableView* table = c->eventTableView();
    // Nothing selected: the event actions are off.
    for (QAction* action : {ui.eventPageAction, ui.eventMapAction, ui.newsSearchAction,
                            ui.cmtSearchAction, ui.searchNearAction, ui.eventSeismogramsAction})
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();

    table->selectRow(1); // us0002, M 5.0
    EXPECT_TRUE(ui.eventPageAction->isEnabled());
    EXPECT_TRUE(ui.eventSeismogramsAction->isEnabled());
    ui.eventSeismogramsAction->trigger();
    ASSERT_TRUE(c->eventSeismograms());
    EXPECT_TRUE(c->eventSeismograms()->isVisible());
    c->eventSeismograms()->close();
    // Magnitude, ascending: the selected event moves to row 2, and stays selected.
    const int magnitude = int(mainWindows::eventTableColumns().indexOf(QStringLiteral("6")));
    ASSERT_GE(magnitude, 0);
    QTest::mouseClick(table->horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(table->horizontalHeader()->sectionViewportPosition(magnitude) + 5, 5));
    auto magnitudes = [&] {
        QStringList shown;
        for (int row = 0; row < c->tableModel()->rowCount(); ++row)
            shown << c->tableModel()->originAt(row)->eventID();
        return shown;
    };
    ASSERT_EQ(magnitudes(), QStringList({"ci0004", "us0003", "us0002", "us0001"}));
    ASSERT_TRUE(c->selectedOrigin());
    EXPECT_EQ(c->selectedOrigin()->eventID(), QStringLiteral("us0002"));

    // A reload keeps the order, its indicator and the selected event.
    c->loadEQInfo(nullptr);
    finishLoads(*c);
    EXPECT_EQ(magnitudes(), QStringList({"ci0004", "us0003", "us0002", "us0001"}));
    EXPECT_TRUE(table->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(table->horizontalHeader()->sortIndicatorSection(), magnitude);
    ASSERT_TRUE(c->selectedOrigin());
    EXPECT_EQ(c->selectedOrigin()->eventID(), QStringLiteral("us0002"));
    EXPECT_EQ(table->selectionModel()->selectedRows().value(0).row(), 2);
    ui.eventPageAction->trigger();
    EXPECT_EQ(c->theWebView()->requestedURL().toString(),
              QStringLiteral("https://events.test/earthquakes/eventpage/us0002#summary"));
    // The copy follows the table's order.
    c->copyEventsToPasteBoard();
    const QStringList lines = QGuiApplication::clipboard()->text().split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_TRUE(lines.at(1).contains(QStringLiteral("ci0004"))) << lines.at(1).toStdString();

    // A list without the event leaves nothing selected, and the actions off.
    c->showOrigins({c->allSeismicOrigins().first()}, OrrelinController::usgsFeedTag);
    EXPECT_EQ(c->selectedOrigin(), nullptr);
    EXPECT_FALSE(ui.eventPageAction->isEnabled());
}

TEST_F(applicationTest, SettingsTheUserEditsAreKeptBetweenRuns) {
    {
        auto c = launch();
        QLineEdit* distance = c->mainInterface().filterDistanceTField;
        EXPECT_EQ(distance->text(), QStringLiteral("500"));
        distance->selectAll();
        QTest::keyClicks(distance, QStringLiteral("250"));
        c->mainWindow()->resize(900, 700);
    }
    auto again = launch();
    EXPECT_EQ(again->mainInterface().filterDistanceTField->text(), QStringLiteral("250"));
    // Texts the program writes are not the user's: the map limits open on 0° to 360°.
    EXPECT_EQ(again->mainInterface().mapEastTField->text(), QStringLiteral("360"));
}

} // namespace

namespace {

TEST_F(applicationTest, AFirstRunOpensTheMainWindowOnMostOfTheScreenAndTheNextWhereItWasLeft) {
    QRect left;
    {
        auto c = std::make_unique<OrrelinController>();
        QMainWindow* window = c->mainWindow();
        const QRect available = window->screen()->availableGeometry();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        // Four fifths of the screen each way (wider only where the controls beside the map need
        // it), centred, and all of it on the screen.
        const QRect first = window->geometry();
        EXPECT_NEAR(first.height(), available.height() * 0.8, 1);
        EXPECT_GE(first.width(), int(available.width() * 0.8));
        EXPECT_TRUE(available.contains(first));
        EXPECT_LE((first.center() - available.center()).manhattanLength(), 2);

        // The user makes it lower and moves it into a corner.
        const QRect chosen(available.topLeft() + QPoint(10, 30),
                           QSize(first.width(), available.height() * 3 / 5));
        window->setGeometry(chosen);
        QTRY_COMPARE_WITH_TIMEOUT(window->geometry(), chosen, 30000);
        left = window->geometry();
    }
    // The next run opens it there, at that size.
    auto again = std::make_unique<OrrelinController>();
    EXPECT_EQ(again->mainWindow()->geometry(), left);
}

TEST_F(applicationTest, ATimerTickDuringALoadIsSkipped) {
    auto c = launch();
    server.setAnswer(feedPath, {200, {}, "application/json", fixtureServer::behaviour::stall});
    c->neicQueryController()->setDownloadTimeoutMs(1500);
    const int before = feedRequests();
    logCapture quiet;
    c->loadEQInfo(nullptr);
    // A tick arrives while the stalled download waits for its time-out.
    ASSERT_TRUE(QTest::qWaitFor([&] { return feedRequests() == before + 1; }, 60000));
    EXPECT_TRUE(c->isLoading());
    c->update();
    finishLoads(*c);
    EXPECT_EQ(feedRequests(), before + 1);
    EXPECT_EQ(quiet.problems().size(), 1)
        << quiet.problems().join(u'\n').toStdString(); // the time-out, once
}

TEST_F(applicationTest, AutoUpdateStartsAtLaunchWhenTheUserAskedForIt) {
    userDefaults::standardUserDefaults().setObject(true, QStringLiteral("autoUpdateToggle"));
    auto c = launch();
    EXPECT_NE(c->theTimer(), nullptr);
    EXPECT_EQ(c->mainInterface().autoUpdateButton->text(), QStringLiteral("Stop"));
    EXPECT_TRUE(c->mainInterface().monitorIndicatorTField->isVisible());
    c->toggleAutoUpdate();
    EXPECT_EQ(c->theTimer(), nullptr);
    EXPECT_EQ(c->mainInterface().autoUpdateButton->text(), QStringLiteral("Start"));
}

TEST_F(applicationTest, SavedEventsOpenAgainAndTheStatusBarNamesTheLatest) {
    auto c = launch();
    const QLabel* latest =
        c->mainWindow()->statusBar()->findChild<QLabel*>(QStringLiteral("latestEventLabel"));
    ASSERT_NE(latest, nullptr);
    EXPECT_TRUE(latest->text().startsWith(
        QStringLiteral("Latest: M 6.0 NEAR EAST COAST OF HONSHU, JAPAN, 1 hour ago · refreshed ")))
        << latest->text().toStdString();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("week.quorvel"));
    c->handleClickedMouseInTimeLine(QPointF(3 * 86400, 5)); // Chile alone is within the window
    ASSERT_EQ(c->visibleSeismicOrigins().size(), 1);
    ASSERT_TRUE(c->saveEvents(path));
    c->handleClickedMouseInTimeLine(QPointF(0, 0));
    ASSERT_TRUE(c->openEvents(path));
    EXPECT_EQ(ids(c->allSeismicOrigins()), QStringList({"us0003"}));
    EXPECT_EQ(c->topoMapView()->thePoints().size(), 1);

    // A file that is not an event list changes nothing and says so once.
    QFile junk(dir.filePath(QStringLiteral("junk.quorvel")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not an event list");
    junk.close();
    logCapture log;
    EXPECT_FALSE(c->openEvents(junk.fileName()));
    EXPECT_EQ(log.problems().size(), 1);
    EXPECT_EQ(ids(c->allSeismicOrigins()), QStringList({"us0003"}));
}

TEST_F(applicationTest, MapSymbolsTellMagnitudeRegionAndTime) {
    auto c = launch();
    geoMapView* map = c->topoMapView();
    const QPoint over = widgetPoint(map, map->viewPointForLonLat(-70, -20));
    QHelpEvent help(QEvent::ToolTip, over, map->mapToGlobal(over));
    QApplication::sendEvent(map, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("M 4.5  NEAR COAST OF NORTHERN CHILE\n"
                                               "2026-12-05 12:00:00 UTC, 3 days ago"));
}

} // namespace

namespace {

TEST_F(applicationTest, LinksOpenInTheBrowserWindowsWithTheirQueries) {
    scopedEnvironment events("QUORVEL_USGS_EVENT_PAGE_URL", QStringLiteral("https://events.test"));
    scopedEnvironment twitter("QUORVEL_TWITTER_URL", QStringLiteral("https://twitter.test"));
    auto c = launch();
    c->eventTableView()->selectRow(0);
    c->loadNEICEventPage();
    EXPECT_TRUE(c->browserWindow()->isVisible());
    EXPECT_EQ(c->theWebView()->requestedURL().toString(),
              QStringLiteral("https://events.test/earthquakes/eventpage/us0001#summary"));
    EXPECT_EQ(c->browserWindow()->findChild<QLineEdit*>(QStringLiteral("webAddressTField"))->text(),
              c->theWebView()->requestedURL().toString());

    // The Twitter window refreshes every two minutes, with one timer however often it opens;
    // a map click sets the centre of its geographic filter.
    c->handleClickedMousePosition(QPointF(139.7, 35.5));
    c->twitterInterface().geoFilterDistTField->setText(QStringLiteral("100"));
    c->twitterInterface().twitterGeoFilterCheckBox->setChecked(true);
    c->showTwitterBrowserWindow();
    QTimer* refresh = c->updateTwitterTimer();
    ASSERT_NE(refresh, nullptr);
    EXPECT_EQ(refresh->interval(), 120000);
    c->showTwitterBrowserWindow();
    EXPECT_EQ(c->updateTwitterTimer(), refresh);
    EXPECT_EQ(c->theTwitterWebView()->requestedURL().toString(QUrl::FullyEncoded),
              QStringLiteral(
                  "https://twitter.test/search?q=earthquake%20geocode%3A35.50%2C139.70%2C100km"));
}

// A program linked with the web engine has Qt start OpenGL with the application, which holds
// some 60 MB before any page is shown; the engine is a plugin, loaded with the first page.
TEST_F(applicationTest, StartsWithoutTheBrowserEnginesGraphicsContext) {
    auto c = launch();
    EXPECT_EQ(QOpenGLContext::globalShareContext(), nullptr);
}

TEST_F(applicationTest, DisplayControlsReachMapAndTimeLine) {
    auto c = launch();
    Ui::mainWindow& ui = c->mainInterface();
    // Region presets by the menu's tags.
    c->setMapBoundsFromMenu(5);
    EXPECT_EQ(ui.mapWestTField->text(), QStringLiteral("120"));
    EXPECT_EQ(ui.mapEastTField->text(), QStringLiteral("200"));
    EXPECT_FLOAT_EQ(c->topoMapView()->xmax(), 200.0f);
    EXPECT_FLOAT_EQ(c->topoMapView()->ymin(), -75.0f);
    ui.mapBoundsPopUp->setCurrentIndex(10);
    EXPECT_EQ(ui.mapBoundsPopUp->currentData().toInt(), 11);

    // Age ranges in the chosen unit go to the time line in seconds.
    ui.timeUnitsPopUp->setCurrentIndex(2); // days
    ui.recentTField->setText(QStringLiteral("1"));
    ui.olderTField->setText(QStringLiteral("7"));
    c->updateDisplays();
    EXPECT_DOUBLE_EQ(c->timeLineView()->orangeTimeRange(), 86400.0);
    EXPECT_DOUBLE_EQ(c->timeLineView()->redTimeRange(), 7 * 86400.0);
    EXPECT_EQ(c->communicateColorDisplayTimeInfo().value(QStringLiteral("unitsIndex")).toInt(), 2);

    // The cursor read-out, and its clearing when tracking stops.
    ui.trackMouseButton->setChecked(true);
    EXPECT_TRUE(c->topoMapView()->_trackMouse());
    c->handleTrackedMousePosition(QPointF(190, -15.5));
    EXPECT_EQ(ui.cursorPositionTField->text(), QStringLiteral("-170.00E -15.50N"));
    EXPECT_EQ(ui.feRegionTField->text(), QStringLiteral("SAMOA ISLANDS REGION"));
    ui.trackMouseButton->setChecked(false);
    EXPECT_TRUE(ui.cursorPositionTField->text().isEmpty());
    EXPECT_TRUE(ui.feRegionTField->text().isEmpty());

    // The check boxes and the colour wells.
    ui.showImageButton->setChecked(false);
    EXPECT_TRUE(c->topoMapView()->hideImage());
    ui.showPlatesButton->setChecked(false);
    EXPECT_FALSE(c->topoMapView()->showPlates());
    ui.showTimeStampButton->setChecked(true);
    EXPECT_TRUE(c->topoMapView()->_timeStamp());
    ui.recentColorWell->setColor(Qt::blue);
    c->updateColors();
    EXPECT_EQ(c->topoMapView()->theColors().value(0), QColor(Qt::blue));
    EXPECT_EQ(c->topoMapView()->theColors().size(), 3);
}

} // namespace

namespace {

TEST_F(applicationTest, TheWindowOpensOnTheLastListAndKeepsItWhenOffline) {
    QFile::remove(OrrelinController::cachedOriginsPath());
    QStringList shown;
    {
        auto first = launch(); // a good load keeps its list for the next start
        shown = ids(first->allSeismicOrigins());
    }
    ASSERT_TRUE(QFileInfo::exists(OrrelinController::cachedOriginsPath()));
    // It is kept as it was shown, newest first.
    const auto kept = OrrelinController::readCachedOrigins();
    ASSERT_TRUE(kept);
    EXPECT_EQ(ids(kept->origins), shown);

    // The next start shows the kept list before any download has run …
    server.setAnswer(feedPath, {500, "down"});
    server.setAnswer(weekPath, {500, "down"});
    auto c = std::make_unique<OrrelinController>();
    c->setClock([] { return fixedNow.addSecs(3 * 3600); });
    logCapture log;
    c->awakeFromNib(OrrelinController::firstLoads::deferred);
    EXPECT_EQ(ids(c->visibleSeismicOrigins()),
              QStringList({"us0001", "us0002", "us0003", "ci0004"}));
    EXPECT_EQ(c->topoMapView()->thePoints().size(), 4);
    const qsizetype requestsBefore = server.requests().size();

    // … then loads, fails (offline), and keeps showing it, marked with its age.
    QTRY_VERIFY_WITH_TIMEOUT(server.requests().size() > requestsBefore, 60000);
    QTRY_VERIFY_WITH_TIMEOUT(
        c->mainWindow()->statusBar()->currentMessage().startsWith(QStringLiteral("Offline: ")),
        60000);
    EXPECT_TRUE(
        c->mainWindow()->statusBar()->currentMessage().endsWith(QStringLiteral("(3 hours old)")))
        << c->mainWindow()->statusBar()->currentMessage().toStdString();
    EXPECT_EQ(c->visibleSeismicOrigins().size(), 4);
    EXPECT_EQ(c->tableModel()->rowCount(), 4);
    EXPECT_FALSE(log.problems().isEmpty());

    // Online, the message about the kept list ends with the load: the outcome replaces it.
    server.setAnswer(feedPath, {200, monthFeed(), "application/json"});
    server.serveFile(weekPath, QStringLiteral(QUORVEL_TEST_DATA) +
                                   QStringLiteral("/feeds/joannecheng_1.0_week_20160211.csv"));
    auto online = std::make_unique<OrrelinController>();
    online->setClock([] { return fixedNow.addSecs(3 * 3600); });
    online->awakeFromNib(OrrelinController::firstLoads::deferred);
    EXPECT_TRUE(online->mainWindow()->statusBar()->currentMessage().endsWith(
        QStringLiteral("while loading")));
    // (The weekly list comes first, then the feed.)
    QTRY_VERIFY_WITH_TIMEOUT(online->mainWindow()->statusBar()->currentMessage() ==
                                 QStringLiteral("Loaded 4 events from the USGS feed"),
                             60000);

    // A damaged file is no list: the start goes on without one, saying so once. (The program
    // quits first, which finishes writing its list.)
    online.reset();
    QFile damaged(OrrelinController::cachedOriginsPath());
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("garbage");
    damaged.close();
    log.clear();
    EXPECT_FALSE(OrrelinController::readCachedOrigins());
    EXPECT_EQ(log.problems().size(), 1);
}

} // namespace

namespace {

TEST_F(applicationTest, BareViewsAreFedAsTheWindowsViewsAre) {
    auto c = launch();
    // The command line's way: views of no window, with the settings the window opens with.
    geoMapView map;
    QVRStemTimeLineView timeLine;
    originStore bareOrigins;
    bareOrigins.replaceOrigins(c->allSeismicOrigins());
    const originList& all = bareOrigins.allOrigins();
    originDisplays displays(map, timeLine, bareOrigins, &originDisplays::defaultSettings);
    displays.setClock([] { return fixedNow; });
    timeLine.setDataSource(&displays);
    displays.setUpMap();
    displays.setTimeLineDates(
        catalogueLoader::spanOfList(OrrelinController::usgsFeedTag, all, fixedNow));
    displays.createMapPoints();
    displays.updateDisplays();

    geoMapView& shown = *c->topoMapView();
    ASSERT_EQ(map.thePoints().size(), shown.thePoints().size());
    for (qsizetype i = 0; i < map.thePoints().size(); ++i) {
        const geoMapPoint& bare = *map.thePoints().at(i);
        const geoMapPoint& window = *shown.thePoints().at(i);
        EXPECT_EQ(bare.lat(), window.lat());
        EXPECT_EQ(bare.lon(), window.lon());
        EXPECT_EQ(bare.symbolSize(), window.symbolSize());
        EXPECT_EQ(bare.colorIndex(), window.colorIndex());
        EXPECT_EQ(bare.alpha(), window.alpha());
    }
    EXPECT_EQ(map.theColors(), shown.theColors());
    EXPECT_EQ(map.plateBoundaryColor(), shown.plateBoundaryColor());
    EXPECT_EQ(map.xmin(), shown.xmin());
    EXPECT_EQ(map.xmax(), shown.xmax());
    EXPECT_EQ(map.ymin(), shown.ymin());
    EXPECT_EQ(map.ymax(), shown.ymax());
    EXPECT_EQ(map.thePolygonSets().size(), shown.thePolygonSets().size());

    const QVRStemTimeLineView& strip = *c->timeLineView();
    EXPECT_EQ(timeLine.symbolScaleFactor(), strip.symbolScaleFactor());
    EXPECT_EQ(timeLine.orangeTimeRange(), strip.orangeTimeRange());
    EXPECT_EQ(timeLine.redTimeRange(), strip.redTimeRange());
    EXPECT_EQ(timeLine.minMag(), strip.minMag());
    EXPECT_EQ(timeLine.maxMag(), strip.maxMag());
    EXPECT_EQ(timeLine.startDate(), strip.startDate());
    EXPECT_EQ(timeLine.endDate(), strip.endDate());

    // The status texts, with their times in UTC.
    const QLabel* latest =
        c->mainWindow()->statusBar()->findChild<QLabel*>(QStringLiteral("latestEventLabel"));
    ASSERT_NE(latest, nullptr);
    EXPECT_EQ(latest->text(), displays.latestEventText(*all.first(), fixedNow));
    EXPECT_TRUE(displays.latestEventText(*all.first(), fixedNow.addSecs(-65))
                    .endsWith(QStringLiteral(" · refreshed 11:58:55 UTC")));
    EXPECT_EQ(displays.keptListMessage(fixedNow.addSecs(-3 * 3600 - 59), true),
              QStringLiteral("Offline: showing the events loaded at 2026-12-08 08:59 UTC "
                             "(3 hours old)"));
    EXPECT_EQ(displays.keptListMessage(fixedNow.addSecs(-60), false),
              QStringLiteral("Showing the events loaded at 2026-12-08 11:59 UTC (1 minute old) "
                             "while loading"));
}

TEST_F(applicationTest, TheCatalogueLoaderLoadsOnTheCallersThreadOrOnItsWorker) {
    scopedEnvironment emsc("QUORVEL_EMSC_URL", server.baseURL());
    catalogueLoader loader(nullptr, [] { return fixedNow; });
    loader.neicQueryController()->setDownloadTimeoutMs(500);
    server.setAnswer(feedPath,
                     {200, monthFeed(), "application/json", fixtureServer::behaviour::stall});
    catalogueLoader::searchLimits limits;
    limits.shownMinMagnitude = 3;
    limits.shownMaxMagnitude = 12;
    logCapture log;
    // The command line's way: the caller waits, here for the time-out.
    const catalogueLoader::outcome month = loader.load(OrrelinController::usgsFeedTag, limits);
    EXPECT_FALSE(loader.isLoading());
    // The feed timed out, and the time line still spans the feed's 30 days.
    EXPECT_EQ(month.catalogue, QStringLiteral("USGS feed"));
    EXPECT_FALSE(month.error.isNull());
    EXPECT_TRUE(month.origins.isEmpty());
    EXPECT_EQ(month.timeLine.start, fixedNow.addSecs(-2592000));
    EXPECT_EQ(month.timeLine.end, fixedNow);
    EXPECT_EQ(log.problems().size(), 1);

    // A search whose days are no days asks nothing, keeps the time line and says why.
    limits.startDay = QStringLiteral("last year");
    limits.endDay = QStringLiteral("2026-12-08");
    const qsizetype before = server.requests().size();
    const catalogueLoader::outcome search = loader.load(OrrelinController::fdsnTag, limits);
    EXPECT_EQ(search.catalogue, QStringLiteral("FDSN event search"));
    EXPECT_EQ(search.error, QStringLiteral("the search days are not yyyy-MM-dd days"));
    EXPECT_FALSE(search.timeLine.start.isValid());
    EXPECT_FALSE(search.timeLine.end.isValid());
    EXPECT_EQ(server.requests().size(), before);

    // The window's way: on the worker, the caller goes on at once; a second load supersedes
    // the first, whose outcome never arrives.
    QList<catalogueLoader::outcome> arrived;
    QObject::connect(&loader, &catalogueLoader::loadFinished,
                     [&](const catalogueLoader::outcome& o) { arrived << o; });
    server.setAnswer(feedPath,
                     {200, monthFeed(), "application/json", fixtureServer::behaviour::held});
    loader.startLoad(OrrelinController::usgsFeedTag, limits);
    EXPECT_TRUE(loader.isLoading());
    EXPECT_EQ(loader.loadingCatalogue(), QStringLiteral("USGS feed"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.heldRequests() == 1; }, 60000));
    loader.startLoad(OrrelinController::emscTag, limits);
    EXPECT_EQ(loader.loadingCatalogue(), QStringLiteral("EMSC list"));
    server.releaseHeldAnswers();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !loader.isLoading(); }, 60000));
    ASSERT_EQ(arrived.size(), 1);
    EXPECT_EQ(arrived.first().catalogue, QStringLiteral("EMSC list"));
    EXPECT_EQ(arrived.first().tag, OrrelinController::emscTag);
}

} // namespace
