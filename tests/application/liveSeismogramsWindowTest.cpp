// The Live Seismograms window as a user meets it: the menu opens it with the default stations,
// Load fetches the channels and shows them as traces marked with the main window's events, a
// channel that fails is named in the status line, Live keeps the window ending now until it is
// switched off or the window closes, and Stop cancels.

#include "OrrelinController.h"
#include "QVRRTSeismicDisplayController.h"
#include "QVRRealTimeDisplayView02.h"
#include "fixtureServer.h"
#include "liveSeismogramsController.h"
#include "liveStream.h"
#include "logCapture.h"
#include "miniSeedPacker.h"
#include "qtTestInGoogleTest.h"
#include "scopedEnvironment.h"
#include "seedLinkClient.h"
#include "seedLinkFixtureServer.h"
#include "serviceEndpoints.h"
#include "webViewHolder.h"

#include "ui_liveSeismogramsWindow.h"
#include "ui_mainWindow.h"

#include <QFile>
#include <QSettings>
#include <QSignalSpy>

#include <cmath>

#include <gtest/gtest.h>

namespace {

const QString queryPath = QStringLiteral("/irisws/timeseries/1/query");
const QDateTime fixedNow(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc());

QByteArray dataFile(const char* path) {
    QFile file(QStringLiteral(QUORVEL_TEST_DATA "/") + QLatin1StringView(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QByteArray sacFile(const char* name) {
    QFile file(QStringLiteral(QUORVEL_TEST_DATA "/sac/") + QLatin1StringView(name));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// The application at a fixed moment, its first loads skipped, with the window open.
struct openLiveWindow {
    OrrelinController c;
    openLiveWindow() {
        c.setClock([] { return fixedNow; });
        c.awakeFromNib(OrrelinController::firstLoads::skip);
        c.showLiveSeismogramsWindow();
    }
    struct windowParts {
        liveSeismogramsController& live;
        Ui::liveSeismogramsWindow& ui;
        QVRRTSeismicDisplayController& downloads;
    };
    windowParts parts() {
        return {*c.liveSeismograms(), c.liveSeismograms()->interface(), *c.seismogramController()};
    }
};

class liveSeismogramsWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings().clear();
        webViewHolder::setViewsAllowed(false);
    }

    fixtureServer server;
    scopedEnvironment series{"QUORVEL_TIMESERIES_URL", server.baseURL()};
};

TEST_F(liveSeismogramsWindowTest, LoadShowsEveryChannelThatCameAndNamesThoseThatDidNot) {
    OrrelinController c;
    c.setClock([] { return fixedNow; });
    c.awakeFromNib(OrrelinController::firstLoads::skip);
    c.mainInterface().liveSeismogramsAction->trigger();
    liveSeismogramsController* live = c.liveSeismograms();
    ASSERT_NE(live, nullptr);
    EXPECT_TRUE(live->window()->isVisible());
    Ui::liveSeismogramsWindow& ui = live->interface();
    // The default list: six broadband stations and a title.
    const auto defaults = QVRRTSeismicDisplayController::readChannelList(
        ui.channelListTView->toPlainText(), {},
        QVRRTSeismicDisplayController::fixedWorkingDescription());
    EXPECT_EQ(defaults.channels.size(), 6);
    EXPECT_FALSE(defaults.title.isEmpty());

    // Two stations answer with a seismogram, one is not there.
    server.setAnswerForQuery(queryPath, QStringLiteral("sta=ANMO"),
                             {200, sacFile("obspy_seism.sac"), "application/octet-stream"});
    server.setAnswerForQuery(queryPath, QStringLiteral("sta=COLA"),
                             {200, sacFile("obspy_test.sac"), "application/octet-stream"});
    ui.channelListTView->setPlainText(QStringLiteral("Title; Three stations\n"
                                                     "IU; ANMO; 00; BHZ; ANMO\n"
                                                     "IU; KONO; 00; BHZ; KONO\n"
                                                     "IU; COLA; 00; BHZ; COLA\n"));
    ui.startTimeTField->setText(QStringLiteral("1981-03-29 10:30:00"));
    ui.durationTField->setText(QStringLiteral("30"));
    logCapture log;
    QTest::mouseClick(ui.loadButton, Qt::LeftButton);
    QVRRTSeismicDisplayController& downloads = *c.seismogramController();
    EXPECT_TRUE(downloads.isUpdatingSeismograms());
    QTRY_VERIFY_WITH_TIMEOUT(!downloads.isUpdatingSeismograms(), 60000);

    QVRRealTimeDisplayView02& view = *live->view();
    ASSERT_EQ(view.wvfrmsArray().size(), 2);
    EXPECT_EQ(view.wvfrmsArray().at(0)->labelString(), "ANMO");
    EXPECT_EQ(view.wvfrmsArray().at(1)->labelString(), "COLA");
    // The window ends 30 minutes after its start.
    EXPECT_EQ(view.refDate(), QDateTime(QDate(1981, 3, 29), QTime(11, 0), QTimeZone::utc()));
    EXPECT_FLOAT_EQ(view.xmax() - view.xmin(), 1800.0f);
    EXPECT_FLOAT_EQ(view.ymax(), 1.0f); // normalised traces
    EXPECT_TRUE(ui.statusLabel->text().contains(QStringLiteral("IU.KONO.00.BHZ: HTTP 404")))
        << ui.statusLabel->text().toStdString();
    EXPECT_EQ(live->window()->windowTitle(), QStringLiteral("Three stations"));
    // One line for the failed channel (the offscreen platform adds notes of its own).
    EXPECT_EQ(log.problems().filter(QStringLiteral(".BHZ")),
              QStringList({QStringLiteral("IU.KONO.00.BHZ: HTTP 404")}));

    // The main window's events are marked.
    auto quake = std::make_shared<seismicOrigin>();
    quake->setMagnitude(5.5f);
    quake->setOriginDateTime(QDateTime(QDate(1981, 3, 29), QTime(10, 45), QTimeZone::utc()));
    c.showOrigins({quake}, OrrelinController::usgsFeedTag);
    ASSERT_EQ(view.eventOrigins().size(), 1);
    EXPECT_TRUE(view.drawOriginTimes());

    // Another arrival places only what is new: the traces shown stay the same objects.
    const SacObject* firstShown = view.wvfrmsArray().at(0).get();
    Q_EMIT downloads.seismogramsChanged();
    ASSERT_EQ(view.wvfrmsArray().size(), 2);
    EXPECT_EQ(view.wvfrmsArray().at(0).get(), firstShown);

    // Gain and normalising reach the view.
    ui.gainSpinBox->setValue(3.0);
    EXPECT_FLOAT_EQ(view.waveformGain(), 3.0f);
    ui.normaliseCheckBox->setChecked(false);
    EXPECT_GT(view.ymax(), 1.0f);
    EXPECT_NE(view.wvfrmsArray().at(0).get(), firstShown); // placed anew, not normalised

    // A list without a usable line asks for nothing and says so.
    const qsizetype requests = server.requests().size();
    ui.channelListTView->setPlainText(QStringLiteral("IU; ANMO; 00\n"));
    QTest::mouseClick(ui.loadButton, Qt::LeftButton);
    EXPECT_FALSE(downloads.isUpdatingSeismograms());
    EXPECT_EQ(server.requests().size(), requests);
    EXPECT_TRUE(ui.statusLabel->text().contains(QStringLiteral("no line of five fields")));
}

TEST_F(liveSeismogramsWindowTest, LiveEndsTheWindowNowUntilStoppedOrClosed) {
    openLiveWindow w;
    auto [live, ui, downloads] = w.parts();
    ui.channelListTView->setPlainText(QStringLiteral("IU; ANMO; 00; BHZ; ANMO\n"));
    server.setAnswer(queryPath, {200, sacFile("obspy_seism.sac"), "application/octet-stream"});

    QTest::mouseClick(ui.liveButton, Qt::LeftButton);
    EXPECT_TRUE(live.isLive());
    EXPECT_TRUE(downloads.isAutoUpdatingSeismograms());
    QTRY_VERIFY_WITH_TIMEOUT(!downloads.isUpdatingSeismograms(), 60000);
    ASSERT_EQ(live.view()->wvfrmsArray().size(), 1);
    EXPECT_EQ(live.view()->refDate(), fixedNow); // the window ends now

    // The next round stalls, so that Stop has something to cancel.
    server.setAnswer(queryPath, {200, sacFile("obspy_seism.sac"), "application/octet-stream",
                                 fixtureServer::behaviour::stall});
    live.load();
    EXPECT_TRUE(downloads.isUpdatingSeismograms());
    QTRY_VERIFY_WITH_TIMEOUT(server.requests().size() == 2, 60000);

    // Stop cancels the stalled download and the live updates.
    QTest::mouseClick(ui.stopButton, Qt::LeftButton);
    EXPECT_FALSE(live.isLive());
    EXPECT_FALSE(ui.liveButton->isChecked());
    EXPECT_FALSE(downloads.isAutoUpdatingSeismograms());
    QTRY_VERIFY_WITH_TIMEOUT(!downloads.isUpdatingSeismograms(), 60000);

    // Live again, then the window closes: the updates end with it.
    QTest::mouseClick(ui.liveButton, Qt::LeftButton);
    EXPECT_TRUE(live.isLive());
    live.window()->close();
    EXPECT_FALSE(live.isLive());
    EXPECT_FALSE(downloads.isAutoUpdatingSeismograms());
    downloads.cancelAllOperations();
    QTRY_VERIFY_WITH_TIMEOUT(!downloads.isUpdatingSeismograms(), 60000);
}

TEST_F(liveSeismogramsWindowTest, AnFdsnSourceIsKeptLoadsOnceAndIsLiveOnlyWithAStream) {
    openLiveWindow w;
    auto [live, ui, downloads] = w.parts();

    // The time-series service at first: Live on offer, the sample rate asked for.
    EXPECT_EQ(ui.dataSourceComboBox->currentText(), "Time series");
    EXPECT_FALSE(ui.dataCentreComboBox->isEnabled());
    EXPECT_TRUE(ui.liveButton->isEnabled());
    EXPECT_TRUE(ui.liveButton->toolTip().isEmpty());
    EXPECT_TRUE(ui.sampleRateTField->isEnabled());
    EXPECT_TRUE(ui.sampleRateNote->isHidden());
    QStringList centres;
    for (int i = 0; i < ui.dataCentreComboBox->count(); ++i)
        centres << ui.dataCentreComboBox->itemText(i);
    EXPECT_EQ(centres,
              (QStringList{"iris", "geofon", "orfeus", "ingv", "resif", "ethz", "ncedc", "scedc"}));

    // Live running, then a data centre without a stream is chosen: Live stops and is off,
    // saying why.
    ui.channelListTView->setPlainText(QStringLiteral("IU; ANMO; 00; BHZ; ANMO\n"));
    server.setAnswer(queryPath, {200, sacFile("obspy_seism.sac"), "application/octet-stream"});
    QTest::mouseClick(ui.liveButton, Qt::LeftButton);
    EXPECT_TRUE(live.isLive());
    ui.dataSourceComboBox->setCurrentIndex(1);
    ui.dataCentreComboBox->setCurrentText(QStringLiteral("orfeus"));
    EXPECT_FALSE(live.isLive());
    EXPECT_FALSE(ui.liveButton->isChecked());
    EXPECT_FALSE(ui.liveButton->isEnabled());
    EXPECT_EQ(ui.liveButton->toolTip(), "The data centre orfeus offers no streaming service, and "
                                        "data centres do not allow polling dataselect.");
    EXPECT_EQ(QSettings().value("liveSeismograms/dataSource").toString(), "fdsn:orfeus");
    live.setLive(true); // nor can it be switched on from code
    EXPECT_FALSE(live.isLive());
    EXPECT_FALSE(ui.liveButton->isChecked());
    EXPECT_FALSE(ui.sampleRateTField->isEnabled());
    EXPECT_FALSE(ui.sampleRateNote->isHidden());
    EXPECT_EQ(ui.sampleRateNote->text(), "FDSN data come at each channel's own rate");
    // The centres that run a SeedLink server stream live; the others do not.
    for (const char* centre : {"iris", "geofon", "resif"}) {
        ui.dataCentreComboBox->setCurrentText(QLatin1StringView(centre));
        EXPECT_TRUE(ui.liveButton->isEnabled()) << centre;
        EXPECT_TRUE(ui.liveButton->toolTip().isEmpty()) << centre;
    }
    for (const char* centre : {"orfeus", "ingv", "ethz", "ncedc", "scedc"}) {
        ui.dataCentreComboBox->setCurrentText(QLatin1StringView(centre));
        EXPECT_FALSE(ui.liveButton->isEnabled()) << centre;
        EXPECT_EQ(ui.liveButton->toolTip(), QStringLiteral("The data centre %1 offers no streaming "
                                                           "service, and data centres do not allow "
                                                           "polling dataselect.")
                                                .arg(QLatin1StringView(centre)));
    }
    downloads.cancelAllOperations();
    QTRY_VERIFY_WITH_TIMEOUT(!downloads.isUpdatingSeismograms(), 60000);

    // A typed address, asked once per Load: one dataselect and one station request.
    server.addFdsnChannel("IU", "ANMO", "00", "BHZ",
                          dataFile("mseed/obspy_dataselect_example.mseed"),
                          "IU|ANMO|00|BHZ|34.945981|-106.457133|1671.0|145.0|0.0|-90.0|STS-1|"
                          "3.31283E10|0.02|M/S|20.0|2008-06-30T20:00:00|2011-02-18T19:11:00");
    ui.dataCentreComboBox->setCurrentText(server.baseURL());
    EXPECT_EQ(QSettings().value("liveSeismograms/dataSource").toString(),
              "fdsn:" + server.baseURL());
    ui.channelListTView->setPlainText(QStringLiteral("IU; ANMO; 00; BHZ; ANMO\n"
                                                     "XX; NONE; 00; BHZ; None\n"));
    ui.startTimeTField->setText(QStringLiteral("2010-02-27 06:30:00"));
    ui.durationTField->setText(QStringLiteral("10"));
    ui.groundMotionCheckBox->setChecked(true);
    const qsizetype postsBefore = server.posts().size();
    QTest::mouseClick(ui.loadButton, Qt::LeftButton);
    EXPECT_TRUE(downloads.isUpdatingSeismograms());
    QTRY_VERIFY_WITH_TIMEOUT(!downloads.isUpdatingSeismograms(), 60000);
    EXPECT_EQ(server.posts().size(), postsBefore + 2);
    ASSERT_EQ(live.view()->wvfrmsArray().size(), 1);
    EXPECT_EQ(live.view()->wvfrmsArray().first()->labelString(), "ANMO (m/s)");
    EXPECT_EQ(ui.statusLabel->text(), "XX.NONE.00.BHZ: no data");

    // A refusal is said, and the trace stays.
    server.setAnswer(fixtureServer::dataselectPath, {413, "too much"});
    QTest::mouseClick(ui.loadButton, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!downloads.isUpdatingSeismograms(), 60000);
    EXPECT_TRUE(ui.statusLabel->text().startsWith(
        "The FDSN dataselect service did not answer: HTTP 413, the request is too large"))
        << ui.statusLabel->text().toStdString();
    EXPECT_EQ(live.view()->wvfrmsArray().size(), 1);

    // A name that is neither a centre nor an address asks nothing.
    ui.dataCentreComboBox->setCurrentText(QStringLiteral("nowhere"));
    const qsizetype requests = server.requests().size();
    QTest::mouseClick(ui.loadButton, Qt::LeftButton);
    EXPECT_FALSE(downloads.isUpdatingSeismograms());
    EXPECT_EQ(server.requests().size(), requests);
    EXPECT_EQ(ui.statusLabel->text().section(u'\n', 0, 0),
              "The data centre \"nowhere\" is neither a known name nor an http(s) address.");

    // The choice comes back with the next window; an address kept stays.
    ui.dataCentreComboBox->setCurrentText(QStringLiteral("resif"));
    liveSeismogramsController again(downloads);
    EXPECT_EQ(again.interface().dataSourceComboBox->currentIndex(), 1);
    EXPECT_EQ(again.interface().dataCentreComboBox->currentText(), "resif");
    EXPECT_TRUE(again.interface().groundMotionCheckBox->isChecked());
    EXPECT_TRUE(again.interface().liveButton->isEnabled()); // resif streams
    EXPECT_EQ(again.chosenDataSource()->text(), "fdsn:resif");
}

// miniSEED records of `seconds` of a stream ending at `end`, at `rate`, each sample's count its
// number from `firstCount` on.
QByteArray countingRecords(const char* network, const char* station, const QDateTime& end,
                           int seconds, double rate, int firstCount = 0) {
    miniSeedPacker packer;
    packer.network = network;
    packer.station = station;
    packer.location = "";
    packer.rate = rate;
    const int count = int(std::lround(seconds * rate));
    packer.startUs = end.toMSecsSinceEpoch() * 1000 - qint64(std::llround(seconds * 1e6));
    std::vector<int32_t> samples(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k)
        samples[size_t(k)] = firstCount + k;
    return packer.pack(samples);
}

TEST_F(liveSeismogramsWindowTest, ASeedLinkServerIsOfferedKeptAndReplacedByTheEnvironment) {
    openLiveWindow w;
    auto [live, ui, downloads] = w.parts();
    QStringList sources, servers;
    for (int i = 0; i < ui.dataSourceComboBox->count(); ++i)
        sources << ui.dataSourceComboBox->itemText(i);
    for (int i = 0; i < ui.seedLinkServerComboBox->count(); ++i)
        servers << ui.seedLinkServerComboBox->itemText(i);
    EXPECT_EQ(sources, (QStringList{"Time series", "FDSN data centre", "SeedLink server"}));
    EXPECT_EQ(servers, (QStringList{"rtserve.earthscope.org:18000", "geofon.gfz-potsdam.de:18000",
                                    "rtserve.resif.fr:18000"}));
    EXPECT_EQ(ui.seedLinkServerComboBox->currentText(), "rtserve.earthscope.org:18000");
    EXPECT_FALSE(ui.seedLinkServerComboBox->isEnabled());

    // Chosen: the server's field opens, Live is on offer, and both are kept.
    ui.dataSourceComboBox->setCurrentIndex(2);
    EXPECT_TRUE(ui.seedLinkServerComboBox->isEnabled());
    EXPECT_FALSE(ui.dataCentreComboBox->isEnabled());
    EXPECT_FALSE(ui.sampleRateTField->isEnabled());
    EXPECT_TRUE(ui.liveButton->isEnabled());
    EXPECT_TRUE(ui.liveButton->toolTip().isEmpty());
    EXPECT_EQ(QSettings().value("liveSeismograms/dataSource").toString(),
              "seedlink:rtserve.earthscope.org:18000");
    // A typed host gets the usual port.
    ui.seedLinkServerComboBox->setCurrentText(QStringLiteral("seedlink.example.org"));
    EXPECT_EQ(QSettings().value("services/seedlinkServer").toString(),
              "seedlink.example.org:18000");
    EXPECT_EQ(live.chosenDataSource()->text(), "seedlink:seedlink.example.org:18000");
    // Something that is no server turns Live off, saying why.
    ui.seedLinkServerComboBox->setCurrentText(QStringLiteral("seedlink.example.org:port"));
    EXPECT_FALSE(ui.liveButton->isEnabled());
    EXPECT_EQ(ui.liveButton->toolTip(), "Live needs a SeedLink server as host or host:port.");
    ui.seedLinkServerComboBox->setCurrentText(QStringLiteral("geofon.gfz-potsdam.de:18000"));

    // The next window comes back with the choice.
    liveSeismogramsController again(downloads);
    EXPECT_EQ(again.interface().dataSourceComboBox->currentIndex(), 2);
    EXPECT_EQ(again.interface().seedLinkServerComboBox->currentText(),
              "geofon.gfz-potsdam.de:18000");
    EXPECT_TRUE(again.interface().liveButton->isEnabled());

    // The environment replaces the server a stream connects to, whichever is chosen.
    {
        const scopedEnvironment unset(serviceEndpoints::seedLinkServerVariable, QString());
        EXPECT_EQ(serviceEndpoints::seedLinkServerInForce("geofon.gfz-potsdam.de:18000"),
                  "geofon.gfz-potsdam.de:18000");
    }
    const scopedEnvironment replaced(serviceEndpoints::seedLinkServerVariable, "127.0.0.1:18123");
    EXPECT_EQ(serviceEndpoints::seedLinkServerInForce("geofon.gfz-potsdam.de:18000"),
              "127.0.0.1:18123");
    // The older part of a long window comes from the centre of the server's operator.
    const scopedEnvironment centre("QUORVEL_FDSN_DATA_GEOFON_URL", "http://127.0.0.1:8001");
    const auto of = [](const char* text) {
        return liveSeismogramsController::olderPartCentre(
            *seismogramDataSource::parse(QLatin1StringView(text)));
    };
    EXPECT_EQ(of("seedlink:geofon.gfz-potsdam.de"), "http://127.0.0.1:8001");
    EXPECT_EQ(of("seedlink:rtserve.earthscope.org:18000"), "http://127.0.0.1:9");
    EXPECT_EQ(of("fdsn:geofon"), "http://127.0.0.1:8001");
    EXPECT_TRUE(of("seedlink:seedlink.example.org").isNull());
    EXPECT_EQ(serviceEndpoints::fdsnDataCentreOfSeedLinkServer("rtserve.resif.fr:18001")->name,
              std::string_view("resif"));
}

TEST_F(liveSeismogramsWindowTest, LiveStreamsEveryStationOverOneConnectionUntilStop) {
    // Two stations, two minutes each up to now, paced at 40 times real time.
    seedLinkFixtureServer seedLink;
    seedLink.addRecords(countingRecords("IU", "ANMO", fixedNow, 120, 20.0));
    seedLink.addRecords(countingRecords("II", "PFO", fixedNow, 120, 20.0));
    seedLink.setRealTimeFactor(40);
    const scopedEnvironment server(serviceEndpoints::seedLinkServerVariable, seedLink.server());

    openLiveWindow w;
    auto [live, ui, downloads] = w.parts();
    ui.dataSourceComboBox->setCurrentIndex(2);
    ui.channelListTView->setPlainText(QStringLiteral("Title; Two\n"
                                                     "IU; ANMO; --; BHZ; Albuquerque\n"
                                                     "II; PFO; --; BHZ; Pinon Flat\n"));
    ui.durationTField->setText(QStringLiteral("10"));
    QList<qsizetype> held; // the first channel's samples at each arrival
    QObject::connect(&live.stream(), &liveStream::samplesArrived,
                     [&] { held << live.stream().channels().front()->ring().heldSamples(); });
    QTest::mouseClick(ui.liveButton, Qt::LeftButton);
    EXPECT_TRUE(live.isStreaming());
    EXPECT_TRUE(ui.liveButton->isChecked());
    EXPECT_EQ(ui.statusLabel->text(), "IU.ANMO..BHZ waiting\nII.PFO..BHZ waiting");
    // Each channel has its band and label before its first sample.
    ASSERT_EQ(live.view()->traceBands(), (QList<int>{0, 1}));
    EXPECT_EQ(live.view()->wvfrmsArray().at(1)->labelString(), "Pinon Flat");
    EXPECT_EQ(live.view()->wvfrmsArray().at(1)->npts(), 0);

    // Every sample comes, over one connection, and the traces grow as they do.
    const auto all = [&] {
        for (const auto& channel : live.stream().channels())
            if (channel->ring().heldSamples() != 2400)
                return false;
        return true;
    };
    QTRY_VERIFY_WITH_TIMEOUT(all(), 60000);
    EXPECT_EQ(seedLink.connections(), 1);
    EXPECT_EQ(seedLink.commands().filter(QStringLiteral("STATION")).size(), 2);
    ASSERT_GE(held.size(), 2);
    EXPECT_LT(held.front(), 2400);
    EXPECT_EQ(held.back(), 2400);
    EXPECT_TRUE(std::is_sorted(held.begin(), held.end()));

    // Each channel in its band, the window ending now, and the status line per channel.
    QTRY_COMPARE_WITH_TIMEOUT(ui.statusLabel->text(),
                              QStringLiteral("IU.ANMO..BHZ 11:59:59Z (+0 s)\n"
                                             "II.PFO..BHZ 11:59:59Z (+0 s)"),
                              10000);
    QVRRealTimeDisplayView02& view = *live.view();
    QTRY_COMPARE_WITH_TIMEOUT(view.traceBands(), (QList<int>{0, 1}), 10000);
    EXPECT_EQ(view.wvfrmsArray().at(0)->labelString(), "Albuquerque");
    EXPECT_EQ(view.wvfrmsArray().at(1)->labelString(), "Pinon Flat");
    EXPECT_EQ(view.refDate(), fixedNow);
    EXPECT_FLOAT_EQ(view.xmax() - view.xmin(), 600.0f);
    // The traces end at the window's end, a sample short of it.
    EXPECT_NEAR(view.wvfrmsArray().at(0)->e(), view.xmax() - 0.05f, 1e-3);
    EXPECT_EQ(view.wvfrmsArray().at(0)->npts(), 2400);

    // Stop ends the stream; the traces stay.
    QTest::mouseClick(ui.stopButton, Qt::LeftButton);
    EXPECT_FALSE(live.isStreaming());
    EXPECT_FALSE(live.isLive());
    EXPECT_FALSE(ui.liveButton->isChecked());
    EXPECT_FALSE(live.stream().client().isRunning());
    EXPECT_EQ(view.wvfrmsArray().size(), 2);
}

TEST_F(liveSeismogramsWindowTest, ALongWindowTakesItsOlderPartFromTheDataCentreAndJoinsIt) {
    // Ninety minutes at 1 Hz, each sample counting the seconds since the window's start: the
    // server holds the last 61 minutes, the data centre the first 32.
    const QDateTime start = fixedNow.addSecs(-90 * 60);
    seedLinkFixtureServer seedLink;
    seedLink.addRecords(countingRecords("IU", "ANMO", fixedNow, 61 * 60, 1.0, 29 * 60));
    server.setAnswer(fixtureServer::dataselectPath,
                     {200, countingRecords("IU", "ANMO", start.addSecs(32 * 60), 32 * 60, 1.0),
                      "application/vnd.fdsn.mseed"});
    const scopedEnvironment stream(serviceEndpoints::seedLinkServerVariable, seedLink.server());
    const scopedEnvironment centre("QUORVEL_FDSN_DATA_IRIS_URL", server.baseURL());

    openLiveWindow w;
    auto [live, ui, downloads] = w.parts();
    ui.dataSourceComboBox->setCurrentIndex(1);
    ui.dataCentreComboBox->setCurrentText(QStringLiteral("iris"));
    ui.channelListTView->setPlainText(QStringLiteral("IU; ANMO; --; BHZ; ANMO\n"));
    ui.durationTField->setText(QStringLiteral("90"));
    // No filter: what is held is the counts less the first ones' mean.
    ui.highPassTField->setText(QStringLiteral("-1"));
    ui.lowPassTField->setText(QStringLiteral("-1"));
    QTest::mouseClick(ui.liveButton, Qt::LeftButton);
    ASSERT_TRUE(live.isStreaming());

    const seismogramRing& ring = live.stream().channels().front()->ring();
    QTRY_VERIFY_WITH_TIMEOUT(!live.stream().isBackfilling() && ring.heldSamples() == 5400, 60000);
    // One piece from the window's start to now, every second once.
    const auto pieces = ring.pieces();
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(pieces.front().startUs, start.toMSecsSinceEpoch() * 1000);
    EXPECT_EQ(pieces.front().count, 5400);
    for (qsizetype k = 0; k < pieces.front().count; ++k)
        ASSERT_EQ(pieces.front().samples[k] - pieces.front().samples[0], float(k)) << k;

    // One bulk request for the older part, up to where the server's part begins.
    QStringList asked;
    for (const auto& [path, body] : server.posts())
        if (path == fixtureServer::dataselectPath)
            asked << QString::fromUtf8(body);
    EXPECT_EQ(asked, QStringList{"IU ANMO -- BHZ 2026-12-08T10:30:00 2026-12-08T11:00:00\n"});
    EXPECT_TRUE(live.stream().backfillProblem().isNull());
    QTest::mouseClick(ui.stopButton, Qt::LeftButton);
}

} // namespace
