#include "QVRRTSeismicDisplayController.h"
#include "applicationDefaults.h"
#include "fixtureServer.h"
#include "logCapture.h"
#include "qtPrinters.h"
#include "qtTestInGoogleTest.h"
#include "scopedEnvironment.h"
#include "userDefaults.h"

#include <QCoreApplication>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QThread>

#include <cmath>
#include <memory>
#include <numeric>
#include <vector>

#include <gtest/gtest.h>

namespace {

using channelDescription = QVRRTSeismicDisplayController::channelDescription;

const QString queryPath = QStringLiteral("/irisws/timeseries/1/query");

QByteArray sacFile(const char* name) {
    QFile file(QStringLiteral(QUORVEL_TEST_DATA "/sac/") + QLatin1StringView(name));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// The one channel a single line of a list yields, read from the fixed description.
channelDescription onlyChannel(const QString& line, const channelDescription& defaults = {}) {
    const auto list = QVRRTSeismicDisplayController::readChannelList(
        line, defaults, QVRRTSeismicDisplayController::fixedWorkingDescription());
    EXPECT_EQ(list.channels.size(), 1) << qPrintable(line);
    return list.channels.value(0);
}

QString queryItem(const QString& url, const char* name) {
    const QString key = QLatin1StringView(name) + u'=';
    for (const QString& item : url.section(u'?', 1).split(u'&'))
        if (item.startsWith(key))
            return item.mid(key.size());
    return {};
}

// A controller whose requests go to a loopback fixture server.
struct downloadFixture {
    fixtureServer server;
    scopedEnvironment service{"QUORVEL_TIMESERIES_URL", server.baseURL()};
    QVRRTSeismicDisplayController controller;
    QSignalSpy updating{&controller, &QVRRTSeismicDisplayController::isUpdatingSeismogramsChanged};

    void answer(const char* station, const fixtureServer::answer& a) {
        server.setAnswerForQuery(queryPath, QStringLiteral("sta=") + QLatin1StringView(station), a);
    }
    // Loads `list` and waits until the queue is empty again.
    void loadAndWait(const QString& list, const channelDescription& defaults = {}) {
        controller.loadSeismogramsFromChannelList(list, defaults);
        ASSERT_TRUE(controller.isUpdatingSeismograms());
        QTRY_VERIFY_WITH_TIMEOUT(!controller.isUpdatingSeismograms(), 20000);
    }
};

std::vector<float> samplesOf(const SacObject& s) {
    return {s.GetSacSeis(), s.GetSacSeis() + s.npts()};
}

} // namespace

TEST(SeismogramDownload, ChannelListsGiveOneDescriptionPerLineWithTheirCorners) {
    const channelDescription defaults{{QStringLiteral("HPCornerHz"), QStringLiteral("0.02")},
                                      {QStringLiteral("LPCornerHz"), QStringLiteral("2.0")}};
    channelDescription c = onlyChannel(QStringLiteral("XX;ABCD;00;BHZ;Label"), defaults);
    EXPECT_EQ(c.value("HPCornerHz"), "0.02");
    EXPECT_EQ(c.value("LPCornerHz"), "2.0");
    c = onlyChannel(QStringLiteral("XX;ABCD;00;BHZ;Label;0.01;1.0"), defaults);
    EXPECT_EQ(c.value("HPCornerHz"), "0.01");
    EXPECT_EQ(c.value("LPCornerHz"), "1.0");
    c = onlyChannel(QStringLiteral("XX;ABCD;00;BHZ;Label"));
    EXPECT_EQ(c.value("HPCornerHz"), "-0.005");
    EXPECT_EQ(c.value("LPCornerHz"), "-0.05");
    // One entry is not a defaults dictionary yet.
    c = onlyChannel(QStringLiteral("XX;ABCD;00;BHZ;Label"),
                    {{QStringLiteral("HPCornerHz"), QStringLiteral("0.02")}});
    EXPECT_EQ(c.value("HPCornerHz"), "-0.005");

    // Blanks and tabs around fields, blank lines, "\r\n" line ends, a title, short lines.
    const auto list = QVRRTSeismicDisplayController::readChannelList(
        QStringLiteral("Title; Six global stations \r\n\n   \n IU ;\tANMO;00 ; BHZ ;Albuquerque;"
                       "0.01;1.0\r\nIU;KONO;00;BHZ\n\t II;PFO;00;BHZ;Pinon Flat\n"),
        {}, QVRRTSeismicDisplayController::fixedWorkingDescription());
    EXPECT_EQ(list.title, "Six global stations");
    ASSERT_EQ(list.channels.size(), 2);
    EXPECT_EQ(
        list.channels[0],
        (channelDescription{{QStringLiteral("StartTime"), QStringLiteral("2012-05-01 00:00:00")},
                            {QStringLiteral("Duration"), QStringLiteral("60")},
                            {QStringLiteral("SampleRate"), QStringLiteral("1")},
                            {QStringLiteral("HPCornerHz"), QStringLiteral("0.01")},
                            {QStringLiteral("LPCornerHz"), QStringLiteral("1.0")},
                            {QStringLiteral("Network"), QStringLiteral("IU")},
                            {QStringLiteral("StationID"), QStringLiteral("ANMO")},
                            {QStringLiteral("LocationCode"), QStringLiteral("00")},
                            {QStringLiteral("ChannelID"), QStringLiteral("BHZ")},
                            {QStringLiteral("SeismogramLabel"), QStringLiteral("Albuquerque")}}));
    // The line before's own corners do not carry over.
    EXPECT_EQ(list.channels[1].value("HPCornerHz"), "-0.005");
    EXPECT_EQ(QVRRTSeismicDisplayController::channelName(list.channels[1]), "II.PFO.00.BHZ");
    EXPECT_TRUE(
        QVRRTSeismicDisplayController::readChannelList(QStringLiteral("Title\nIU;ANMO\n\n"), {}, {})
            .channels.isEmpty());
}

TEST(SeismogramDownload, RequestsFollowTheWindowRateAndSampleCap) {
    const scopedEnvironment unset("QUORVEL_TIMESERIES_URL", QString());
    const QVRRTSeismicDisplayController c;
    channelDescription channel = onlyChannel(QStringLiteral("XX;ABCD;00;BHZ;Label"));
    EXPECT_EQ(c.buildURLForChannel(channel),
              "https://service.iris.edu/irisws/timeseries/1/query?net=XX&sta=ABCD&loc=00&cha=BHZ"
              "&start=2012-05-01T00:00:00&end=2012-05-01T01:00:00&scale=AUTO&deci=1.0"
              "&output=sacbl");
    // A blank location code asks for the blank location, not for any.
    EXPECT_EQ(c.buildURLForChannel(onlyChannel(QStringLiteral("XX;ABCD; \t;BHZ;Label"))),
              "https://service.iris.edu/irisws/timeseries/1/query?net=XX&sta=ABCD&loc=--&cha=BHZ"
              "&start=2012-05-01T00:00:00&end=2012-05-01T01:00:00&scale=AUTO&deci=1.0"
              "&output=sacbl");

    // A negative length ends the window at the start time.
    channel.insert(QStringLiteral("Duration"), QStringLiteral("-60"));
    QString url = c.buildURLForChannel(channel);
    EXPECT_EQ(queryItem(url, "start"), "2012-04-30T23:00:00");
    EXPECT_EQ(queryItem(url, "end"), "2012-05-01T00:00:00");

    // "*": no decimation; the band code's rate value 0.05 caps BHZ at 4320 s, with the
    // length's sign; 60 minutes stay under the cap.
    channel.insert(QStringLiteral("SampleRate"), QStringLiteral("*"));
    url = c.buildURLForChannel(channel);
    EXPECT_FALSE(url.contains("deci"));
    EXPECT_EQ(queryItem(url, "start"), "2012-04-30T23:00:00");
    channel.insert(QStringLiteral("Duration"), QStringLiteral("-100"));
    EXPECT_EQ(queryItem(c.buildURLForChannel(channel), "start"), "2012-04-30T22:48:00");
    channel.insert(QStringLiteral("Duration"), QStringLiteral("100"));
    EXPECT_EQ(queryItem(c.buildURLForChannel(channel), "end"), "2012-05-01T01:12:00");
    channel.insert(QStringLiteral("ChannelID"), QStringLiteral("LHZ"));
    channel.insert(QStringLiteral("Duration"), QStringLiteral("1500"));
    EXPECT_EQ(queryItem(c.buildURLForChannel(channel), "end"), "2012-05-02T00:00:00");
    channel.insert(QStringLiteral("ChannelID"), QStringLiteral("SHZ")); // 0.025: 36 minutes
    EXPECT_EQ(queryItem(c.buildURLForChannel(channel), "end"), "2012-05-01T00:36:00");

    // A fixed rate value caps the same way and is sent as the decimation.
    channel.insert(QStringLiteral("SampleRate"), QStringLiteral("0.5"));
    channel.insert(QStringLiteral("Duration"), QStringLiteral("-1500"));
    url = c.buildURLForChannel(channel);
    EXPECT_EQ(queryItem(url, "deci"), "0.5");
    EXPECT_EQ(queryItem(url, "start"), "2012-04-30T12:00:00");
    EXPECT_EQ(queryItem(url, "end"), "2012-05-01T00:00:00");
    channel.insert(QStringLiteral("SampleRate"), QStringLiteral("20"));
    EXPECT_EQ(queryItem(c.buildURLForChannel(channel), "start"), "2012-04-29T23:00:00");
    channel.insert(QStringLiteral("SampleRate"), QStringLiteral("0"));
    EXPECT_EQ(queryItem(c.buildURLForChannel(channel), "deci"), "0.0");

    // The host is a setting with an environment override.
    const scopedEnvironment host("QUORVEL_TIMESERIES_URL", QStringLiteral("http://ts.example/"));
    EXPECT_TRUE(
        c.buildURLForChannel(channel).startsWith("http://ts.example/irisws/timeseries/1/query?"));
}

TEST(SeismogramDownload, LiveWindowsEndAtTheMomentOfTheRequest) {
    QVRRTSeismicDisplayController c;
    c.setIsAutoUpdatingSeismograms(true);
    channelDescription channel = onlyChannel(QStringLiteral("IU;ANMO;00;LHZ;Albuquerque"));
    channel.insert(QStringLiteral("Duration"), QStringLiteral("-10"));
    const QDateTime before = QDateTime::currentDateTimeUtc().addSecs(-1);
    const QString url = c.buildURLForChannel(channel);
    const QDateTime after = QDateTime::currentDateTimeUtc().addSecs(1);
    const auto read = [](const QString& text) {
        QDateTime d = QDateTime::fromString(text, Qt::ISODate);
        d.setTimeZone(QTimeZone::utc());
        return d;
    };
    const QDateTime end = read(queryItem(url, "end"));
    EXPECT_GE(end, before);
    EXPECT_LE(end, after);
    EXPECT_EQ(read(queryItem(url, "start")).secsTo(end), 600);
}

TEST(SeismogramDownload, FilteringFollowsTheCornersAndTheFilterSettings) {
    applicationDefaults::registerApplicationDefaults();
    const QVRResult<SacObject> original = SacObject::fromData(sacFile("obspy_seism.sac"));
    ASSERT_TRUE(original.ok());

    // The fixed corners are negative: de-meaned and tapered only.
    SacObject expected = *original;
    expected.RemoveMean();
    expected.defaultTaper();
    SacObject s = *original;
    QVRRTSeismicDisplayController::filterSeismogram(s, onlyChannel(QStringLiteral("A;B;;BHZ;x")));
    EXPECT_EQ(samplesOf(s), samplesOf(expected));

    // Zero phase with four poles by default; one pass when the filter is to be causal. A
    // corner at or above Nyquist (50 Hz) is left out.
    for (const bool causal : {false, true}) {
        userDefaults::standardUserDefaults().setObject(causal, QStringLiteral("causal_filter"));
        SacObject bandPassed = *original;
        QVRRTSeismicDisplayController::filterSeismogram(
            bandPassed, onlyChannel(QStringLiteral("A;B;;BHZ;x;1.0;10")));
        SacObject highPassed = *original;
        QVRRTSeismicDisplayController::filterSeismogram(
            highPassed, onlyChannel(QStringLiteral("A;B;;BHZ;x;1.0;50")));
        expected = *original;
        expected.RemoveMean();
        expected.defaultTaper();
        expected.HPBUfilter(1.0f, causal ? 1 : 2, 4);
        EXPECT_EQ(samplesOf(highPassed), samplesOf(expected)) << causal;
        expected.LPBUfilter(10.0f, causal ? 1 : 2, 4);
        EXPECT_EQ(samplesOf(bandPassed), samplesOf(expected)) << causal;
    }
    userDefaults::standardUserDefaults().removeObjectForKey(QStringLiteral("causal_filter"));
}

TEST(SeismogramDownload, DeliversFilteredLabelledSeismogramsInListOrderAndNamesEachFailure) {
    applicationDefaults::registerApplicationDefaults();
    downloadFixture f;
    f.controller.setDownloadTimeoutMs(300);
    const QByteArray seism = sacFile("obspy_seism.sac");
    using enum fixtureServer::behaviour;
    f.answer("GOOD1", {200, seism, "application/octet-stream"});
    f.answer("NODATA", {204, ""});
    f.answer("MISSING", {404, "no such channel"});
    f.answer("BROKEN", {500, "oops"});
    f.answer("HTML", {200, "<html>maintenance</html>", "text/html"});
    f.answer("NOHTTP", {200, "", "text/plain", garbage});
    f.answer("STALL", {200, seism, "application/octet-stream", stall});
    f.answer("HALF", {200, seism, "application/octet-stream", cutShort});
    f.answer("GOOD2", {200, sacFile("obspy_test.sac"), "application/octet-stream"});

    QList<QString> failures;
    QObject::connect(&f.controller, &QVRRTSeismicDisplayController::seismogramFailed,
                     [&](const QString& reason) { failures << reason; });
    QSignalSpy loaded(&f.controller, &QVRRTSeismicDisplayController::seismogramLoaded);
    QSignalSpy title(&f.controller, &QVRRTSeismicDisplayController::listTitleChanged);

    logCapture log;
    f.loadAndWait(QStringLiteral("Title;Test stations\n"
                                 "XX;GOOD1;00;BHZ;First good;1.0;10\n"
                                 "XX;NODATA;00;BHZ;a\nXX;MISSING;00;BHZ;b\nXX;BROKEN;00;BHZ;c\n"
                                 "XX;HTML;00;BHZ;d\nXX;NOHTTP;00;BHZ;e\nXX;STALL;00;BHZ;f\n"
                                 "XX;HALF;00;BHZ;g\nXX;GOOD2;00;BHZ;Second good\n"));
    // (Qt asks again, once, when a connection closes early.)
    for (const char* station :
         {"GOOD1", "NODATA", "MISSING", "BROKEN", "HTML", "NOHTTP", "STALL", "HALF", "GOOD2"})
        EXPECT_TRUE(f.server.requests().join(u' ').contains(QLatin1StringView("sta=") +
                                                            QLatin1StringView(station)))
            << station;
    ASSERT_EQ(title.size(), 1);
    EXPECT_EQ(title.first().first().toString(), "Test stations");
    EXPECT_EQ(f.controller.listTitle(), "Test stations");

    ASSERT_EQ(f.controller.theSeismograms().size(), 2);
    EXPECT_EQ(loaded.size(), 2);
    const SacObject& first = *f.controller.theSeismograms().at(0);
    EXPECT_EQ(first.labelString(), "First good");
    EXPECT_EQ(f.controller.theSeismograms().at(1)->labelString(), "Second good");
    EXPECT_EQ(f.controller.theChannels().at(1).value("StationID"), "GOOD2");
    // De-meaned and band-passed: the mean is gone.
    const std::vector<float> samples = samplesOf(first);
    const double mean = std::accumulate(samples.begin(), samples.end(), 0.0) / samples.size();
    EXPECT_LT(std::fabs(mean), 1e-3 * first.absMax());
    EXPECT_NE(samples, samplesOf(*SacObject::fromData(seism)));
    EXPECT_EQ(f.controller.userAgent(), "Quorvel/" QUORVEL_VERSION " (Mac; Mac OS; June 2012)");

    // One line and one reason each, in list order.
    EXPECT_EQ(f.controller.channelFailures(), failures);
    ASSERT_EQ(failures.size(), 7);
    EXPECT_EQ(failures[0], "XX.NODATA.00.BHZ: no data");
    EXPECT_EQ(failures[1], "XX.MISSING.00.BHZ: HTTP 404");
    EXPECT_EQ(failures[2], "XX.BROKEN.00.BHZ: HTTP 500");
    EXPECT_TRUE(failures[3].startsWith("XX.HTML.00.BHZ: not a SAC seismogram"))
        << qPrintable(failures[3]);
    EXPECT_TRUE(failures[4].startsWith("XX.NOHTTP.00.BHZ: ")) << qPrintable(failures[4]);
    EXPECT_TRUE(failures[5].startsWith("XX.STALL.00.BHZ: no complete answer"))
        << qPrintable(failures[5]);
    EXPECT_TRUE(failures[6].startsWith("XX.HALF.00.BHZ: ")) << qPrintable(failures[6]);
    ASSERT_EQ(log.problems().size(), 7) << qPrintable(log.problems().join(u'\n'));
    for (int i = 0; i < failures.size(); ++i)
        EXPECT_EQ(log.problems().at(i), failures.at(i));

    // The next load replaces this one's seismograms and failures.
    f.loadAndWait(QStringLiteral("XX;GOOD2;00;BHZ;Only one\n"));
    ASSERT_EQ(f.controller.theSeismograms().size(), 1);
    EXPECT_EQ(f.controller.theSeismograms().first()->labelString(), "Only one");
    EXPECT_TRUE(f.controller.channelFailures().isEmpty());
    EXPECT_TRUE(f.controller.listTitle().isNull());
}

TEST(SeismogramDownload, TheActivityFlagFollowsTheQueueOnTheMainThread) {
    downloadFixture f;
    const QByteArray seism = sacFile("obspy_seism.sac");
    f.server.setAnswer(queryPath, {200, seism, "application/octet-stream"});
    QList<QThread*> threads;
    QList<qsizetype> deliveredWhenIdle;
    QObject::connect(&f.controller, &QVRRTSeismicDisplayController::isUpdatingSeismogramsChanged,
                     [&](bool updating) {
                         threads << QThread::currentThread();
                         if (!updating)
                             deliveredWhenIdle << f.controller.theSeismograms().size();
                     });
    EXPECT_FALSE(f.controller.isUpdatingSeismograms());
    f.controller.loadSeismogramsFromChannelList(
        QStringLiteral("XX;A;00;BHZ;a\nXX;B;00;BHZ;b\nXX;C;00;BHZ;c\n"), {});
    // True at once, and for as long as operations are queued.
    EXPECT_TRUE(f.controller.isUpdatingSeismograms());
    EXPECT_EQ(f.controller.operations().size(), 3);
    EXPECT_EQ(f.controller.operations().first(), "XX.A.00.BHZ");
    ASSERT_TRUE(f.updating.wait(20000));
    EXPECT_FALSE(f.controller.isUpdatingSeismograms());
    EXPECT_TRUE(f.controller.operations().isEmpty());
    // Once on, once off, both on the main thread, and off only after every delivery.
    ASSERT_EQ(f.updating.size(), 2);
    EXPECT_TRUE(f.updating.at(0).first().toBool());
    EXPECT_FALSE(f.updating.at(1).first().toBool());
    EXPECT_EQ(threads, (QList<QThread*>{qApp->thread(), qApp->thread()}));
    EXPECT_EQ(deliveredWhenIdle, QList<qsizetype>{3});

    // A list without channels queues nothing and leaves the flag alone.
    f.controller.loadSeismogramsFromChannelList(QStringLiteral("IU;ANMO\n"), {});
    EXPECT_FALSE(f.controller.isUpdatingSeismograms());
    EXPECT_EQ(f.updating.size(), 2);
}

TEST(SeismogramDownload, CancelAbortsAStalledDownloadAndFreesTheWorker) {
    downloadFixture f;
    // Longer than the test may run: only the abort can end the stall.
    f.controller.setDownloadTimeoutMs(600000);
    const QByteArray seism = sacFile("obspy_seism.sac");
    f.answer("STALL", {200, seism, "application/octet-stream", fixtureServer::behaviour::stall});
    f.answer("GOOD", {200, seism, "application/octet-stream"});
    logCapture log;
    QSignalSpy loaded(&f.controller, &QVRRTSeismicDisplayController::seismogramLoaded);
    QSignalSpy failed(&f.controller, &QVRRTSeismicDisplayController::seismogramFailed);
    f.controller.loadSeismogramsFromChannelList(
        QStringLiteral("XX;STALL;00;BHZ;a\nXX;GOOD;00;BHZ;b\n"), {});
    QTRY_COMPARE_WITH_TIMEOUT(f.server.requests().size(), 1, 20000);
    f.controller.cancelAllOperations();
    EXPECT_FALSE(f.controller.operations().contains("XX.GOOD.00.BHZ"));
    ASSERT_TRUE(f.updating.size() == 2 || f.updating.wait(5000));
    EXPECT_FALSE(f.controller.isUpdatingSeismograms());

    // The worker takes the next load. Its seismogram comes after anything the cancelled load
    // could still have delivered: nothing of that load arrived or was reported, and its
    // waiting channel never asked.
    f.loadAndWait(QStringLiteral("XX;GOOD;00;BHZ;b\n"));
    EXPECT_EQ(f.controller.theSeismograms().size(), 1);
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_EQ(QVRRTSeismicDisplayController::channelName(
                  loaded.first().at(1).value<QVRRTSeismicDisplayController::channelDescription>()),
              "XX.GOOD.00.BHZ");
    EXPECT_EQ(failed.size(), 0);
    EXPECT_TRUE(f.controller.channelFailures().isEmpty());
    EXPECT_TRUE(log.problems().isEmpty()) << qPrintable(log.problems().join(u'\n'));
    ASSERT_EQ(f.server.requests().size(), 2);
    EXPECT_TRUE(f.server.requests().at(0).contains(QStringLiteral("sta=STALL")));
    EXPECT_TRUE(f.server.requests().at(1).contains(QStringLiteral("sta=GOOD")));
}

TEST(SeismogramDownload, DestroyingTheControllerAbortsItsRunningDownload) {
    fixtureServer server;
    const scopedEnvironment service("QUORVEL_TIMESERIES_URL", server.baseURL());
    server.setAnswer(queryPath, {200, "", "text/plain", fixtureServer::behaviour::stall});
    {
        QVRRTSeismicDisplayController c;
        // Longer than the test may run: only the abort can end the stall.
        c.setDownloadTimeoutMs(600000);
        c.loadSeismogramsFromChannelList(QStringLiteral("XX;A;00;BHZ;a\nXX;B;00;BHZ;b\n"), {});
        QTRY_COMPARE_WITH_TIMEOUT(server.requests().size(), 1, 20000);
    }
    // A request made after the controller is gone reaches the server after anything the
    // controller could still have sent: the second channel never asked.
    QNetworkAccessManager network;
    std::unique_ptr<QNetworkReply> after(
        network.get(QNetworkRequest(QUrl(server.baseURL() + QStringLiteral("/after")))));
    QSignalSpy finished(after.get(), &QNetworkReply::finished);
    ASSERT_TRUE(finished.wait(20000));
    ASSERT_EQ(server.requests().size(), 2);
    EXPECT_TRUE(server.requests().at(0).contains(QStringLiteral("sta=A")));
    EXPECT_EQ(server.requests().at(1), QStringLiteral("/after"));
}
