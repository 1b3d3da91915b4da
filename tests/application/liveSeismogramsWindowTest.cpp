// The Live Seismograms window as a user meets it: the menu opens it with the default stations,
// Load fetches the channels and shows them as traces marked with the main window's events, a
// channel that fails is named in the status line, Live keeps the window ending now until it is
// switched off or the window closes, and Stop cancels.

#include "OrrelinController.h"
#include "QVRRTSeismicDisplayController.h"
#include "QVRRealTimeDisplayView02.h"
#include "fixtureServer.h"
#include "liveSeismogramsController.h"
#include "logCapture.h"
#include "qtTestInGoogleTest.h"
#include "scopedEnvironment.h"
#include "webViewHolder.h"

#include "ui_liveSeismogramsWindow.h"
#include "ui_mainWindow.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

const QString queryPath = QStringLiteral("/irisws/timeseries/1/query");
const QDateTime fixedNow(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc());

QByteArray sacFile(const char* name) {
    QFile file(QStringLiteral(QUORVEL_TEST_DATA "/sac/") + QLatin1StringView(name));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

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
    OrrelinController c;
    c.setClock([] { return fixedNow; });
    c.awakeFromNib(OrrelinController::firstLoads::skip);
    c.showLiveSeismogramsWindow();
    liveSeismogramsController& live = *c.liveSeismograms();
    Ui::liveSeismogramsWindow& ui = live.interface();
    QVRRTSeismicDisplayController& downloads = *c.seismogramController();
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

} // namespace
