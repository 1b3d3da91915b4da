// Seismograms from an FDSN data centre: the data source's written forms, the station text
// reader, the two bulk requests byte for byte, and loads against the loopback FDSN service with
// their metadata, ground motion and refusals.

#include "QVRRTSeismicDisplayController.h"
#include "applicationDefaults.h"
#include "commandLineRun.h"
#include "fdsnDataRequest.h"
#include "fdsnStationText.h"
#include "fixtureServer.h"
#include "logCapture.h"
#include "miniSeedReader.h"
#include "qtPrinters.h"
#include "qtTestInGoogleTest.h"
#include "scopedEnvironment.h"
#include "seismogramDataSource.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <cmath>

#include <gtest/gtest.h>

namespace {

QByteArray dataFile(const char* path) {
    QFile file(QStringLiteral(QUORVEL_TEST_DATA "/") + QLatin1StringView(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

const char* anmoStation = "IU|ANMO|00|BHZ|34.945981|-106.457133|1671.0|145.0|0.0|-90.0|"
                          "Streckeisen STS-1VBB w/E300|3.31283E10|0.02|M/S|20.0|"
                          "2008-06-30T20:00:00|2011-02-18T19:11:00";

// A controller asking a loopback FDSN service that has IU.ANMO.00.BHZ with its metadata,
// XX.A1032..BHZ without, and nothing else.
struct fdsnFixture {
    fixtureServer server;
    QVRRTSeismicDisplayController controller;
    fdsnFixture() {
        applicationDefaults::registerApplicationDefaults();
        server.addFdsnChannel("IU", "ANMO", "00", "BHZ",
                              dataFile("mseed/obspy_dataselect_example.mseed"), anmoStation);
        server.addFdsnChannel("XX", "A1032", "", "BHZ",
                              dataFile("mseed/obspy_2011-09-06-1311-36S.A1032_001BH_Z.mseed"), {});
        controller.setDataSource(*seismogramDataSource::parse("fdsn:" + server.baseURL()));
        controller.setDownloadTimeoutMs(5000);
    }
    void loadAndWait(const QString& list) {
        controller.loadSeismogramsFromChannelList(list, {});
        ASSERT_TRUE(controller.isUpdatingSeismograms());
        QTRY_VERIFY_WITH_TIMEOUT(!controller.isUpdatingSeismograms(), 20000);
    }
};

const QString threeChannels = QStringLiteral("Title; FDSN\n"
                                             "IU; ANMO; 00; BHZ; Albuquerque\n"
                                             "XX; A1032; ; BHZ; A1032\n"
                                             "XX; NONE; 00; BHZ; None\n");

} // namespace

TEST(FdsnData, SourcesAreWrittenAndReadBackAsTheSettingsKeepThem) {
    const scopedEnvironment iris("QUORVEL_FDSN_DATA_IRIS_URL", QString());
    const scopedEnvironment geofon("QUORVEL_FDSN_DATA_GEOFON_URL", "http://127.0.0.1:1234/gfz/");
    const auto text = [](const QString& given) {
        const auto source = seismogramDataSource::parse(given);
        return source ? source->text() : QStringLiteral("(none)");
    };
    EXPECT_EQ(text("timeseries"), "timeseries");
    EXPECT_EQ(text("fdsn:iris"), "fdsn:iris");
    EXPECT_EQ(text(" fdsn:ORFEUS "), "fdsn:orfeus");
    EXPECT_EQ(text("fdsn:https://data.example.org/"), "fdsn:https://data.example.org");
    EXPECT_EQ(text("seedlink:rtserve.resif.fr"), "seedlink:rtserve.resif.fr:18000");
    EXPECT_EQ(text("seedlink:localhost:18001"), "seedlink:localhost:18001");
    for (const char* bad : {"", "fdsn", "fdsn:", "fdsn:nowhere", "fdsn:ftp://data.example.org",
                            "seedlink:", "seedlink:host:0", "seedlink:host:port", "usgs"})
        EXPECT_EQ(text(bad), "(none)") << bad;

    EXPECT_EQ(seismogramDataSource().type(), seismogramDataSource::kind::timeSeries);
    EXPECT_EQ(seismogramDataSource::parse("fdsn:iris")->fdsnBaseURL(), "https://service.iris.edu");
    EXPECT_EQ(seismogramDataSource::parse("fdsn:geofon")->fdsnBaseURL(),
              "http://127.0.0.1:1234/gfz");
    EXPECT_EQ(seismogramDataSource::parse("fdsn:https://data.example.org")->fdsnBaseURL(),
              "https://data.example.org");
    // The SeedLink servers of the centres that stream; none for the others.
    EXPECT_EQ(seismogramDataSource::parse("fdsn:iris")->seedLinkServer(),
              "rtserve.earthscope.org:18000");
    EXPECT_EQ(seismogramDataSource::parse("fdsn:geofon")->seedLinkServer(),
              "geofon.gfz-potsdam.de:18000");
    EXPECT_EQ(seismogramDataSource::parse("fdsn:resif")->seedLinkServer(),
              "rtserve.resif.fr:18000");
    EXPECT_TRUE(seismogramDataSource::parse("fdsn:scedc")->seedLinkServer().isNull());
    EXPECT_TRUE(seismogramDataSource::parse("timeseries")->seedLinkServer().isNull());
}

TEST(FdsnData, TheStationTextGivesEachChannelEpoch) {
    const fdsnStationText text =
        fdsnStationText::parse(dataFile("fdsn-station/obspy_channel_level_fdsn.txt"));
    ASSERT_EQ(text.channels().size(), 6);
    EXPECT_EQ(text.skippedLines(), 0);
    const fdsnStationText::channel& bagl = text.channels().first();
    EXPECT_EQ(bagl.network, "AK");
    EXPECT_EQ(bagl.station, "BAGL");
    EXPECT_EQ(bagl.location, ""); // two blanks
    EXPECT_EQ(bagl.channelCode, "LHZ");
    EXPECT_DOUBLE_EQ(bagl.latitude, 60.4896);
    EXPECT_DOUBLE_EQ(bagl.longitude, -142.0915);
    EXPECT_DOUBLE_EQ(bagl.elevation, 1470.0);
    EXPECT_DOUBLE_EQ(bagl.azimuth, 0.0);
    EXPECT_DOUBLE_EQ(bagl.dip, -90.0);
    EXPECT_DOUBLE_EQ(bagl.scale, 4.88233e8);
    EXPECT_DOUBLE_EQ(bagl.scaleFrequency, 0.02);
    EXPECT_EQ(bagl.scaleUnits, "M/S");
    EXPECT_DOUBLE_EQ(bagl.sampleRate, 1.0);
    EXPECT_EQ(bagl.start, QDateTime(QDate(2013, 1, 1), QTime(0, 0), QTimeZone::utc()));
    EXPECT_EQ(bagl.end, QDateTime(QDate(2599, 12, 31), QTime(23, 59, 59), QTimeZone::utc()));

    // The epoch in force; the latest when none is.
    const auto scaleAt = [&](const char* station, QDate day) {
        const auto c = text.find("AZ", station, "", "LHZ", QDateTime(day, {}, QTimeZone::utc()));
        return c ? c->start.date() : QDate();
    };
    EXPECT_EQ(scaleAt("BZN", QDate(2013, 8, 1)), QDate(2013, 7, 15));
    EXPECT_EQ(scaleAt("BZN", QDate(2011, 1, 1)), QDate(2010, 7, 26));
    EXPECT_EQ(scaleAt("BZN", QDate(2001, 1, 1)), QDate(2013, 10, 22));
    EXPECT_EQ(scaleAt("NOPE", QDate(2013, 8, 1)), QDate());
    const auto bwn =
        text.find("AK", "BWN", "", "LHZ", QDateTime(QDate(2015, 1, 1), {}, QTimeZone::utc()));
    ASSERT_TRUE(bwn);
    EXPECT_DOUBLE_EQ(bwn->depth, 1.5);
    EXPECT_DOUBLE_EQ(bwn->scale, 4.98112e8);

    // Broken lines are skipped and counted; "--" is the blank location; an open epoch may
    // leave its end off.
    const fdsnStationText odd = fdsnStationText::parse(
        "# heading\r\n"
        "XX|A|--|BHN|1|2|3|4|90|0|sensor|100|1|M/S**2|40|2020-01-01T00:00:00|\r\n"
        "XX|B|00|BHZ|north|2|3|4|0|-90|sensor|100|1|M/S|40|2020-01-01T00:00:00|\n"
        "XX|C|00|BHZ|1|2|3\n"
        "XX|D|00|BHZ|1|2|3|4|0|-90|sensor|100|1|M/S|40|yesterday|\n"
        "\n");
    ASSERT_EQ(odd.channels().size(), 1);
    EXPECT_EQ(odd.skippedLines(), 3);
    EXPECT_EQ(odd.channels().first().location, "");
    EXPECT_FALSE(odd.channels().first().end.isValid());
    EXPECT_TRUE(odd.find("XX", "A", "", "BHN", QDateTime::currentDateTimeUtc()));

    EXPECT_EQ(fdsnStationText::readableUnits("M/S"), "m/s");
    EXPECT_EQ(fdsnStationText::readableUnits("M/S**2"), "m/s²");
    EXPECT_EQ(fdsnStationText::readableUnits("m"), "m");
    EXPECT_EQ(fdsnStationText::readableUnits("PA"), "PA");
}

TEST(FdsnData, MetadataFillsTheHeaderAndGroundMotionDividesByTheScale) {
    fdsnStationText::channel east;
    east.network = "XX";
    east.station = "EAST";
    east.channelCode = "BHE";
    east.latitude = 47.5;
    east.longitude = 8.25;
    east.elevation = 420;
    east.depth = 2;
    east.azimuth = 90;
    east.dip = 0;
    east.scale = 2.0e9;
    east.scaleUnits = "M/S";
    SacObject s;
    s.InitWithSamples({2.0e9f, -4.0e9f, 1.0e9f}, 0.05f, 0,
                      QDateTime(QDate(2024, 1, 1), {}, QTimeZone::utc()));
    s.setLabelString("East");
    SacObject counts = s;
    fdsnDataRequest::applyMetadata(counts, east, false);
    EXPECT_FLOAT_EQ(counts.stla(), 47.5f);
    EXPECT_FLOAT_EQ(counts.stlo(), 8.25f);
    EXPECT_FLOAT_EQ(counts.GetSacHeader()->stel, 420.0f);
    EXPECT_FLOAT_EQ(counts.GetSacHeader()->stdp, 2.0f);
    EXPECT_FLOAT_EQ(counts.GetSacHeader()->cmpaz, 90.0f);
    EXPECT_FLOAT_EQ(counts.GetSacHeader()->cmpinc, 90.0f); // horizontal
    EXPECT_FLOAT_EQ(counts.GetSacSeis()[1], -4.0e9f);
    EXPECT_EQ(counts.labelString(), "East");

    fdsnDataRequest::applyMetadata(s, east, true);
    EXPECT_FLOAT_EQ(s.GetSacSeis()[0], 1.0f);
    EXPECT_FLOAT_EQ(s.GetSacSeis()[1], -2.0f);
    EXPECT_FLOAT_EQ(s.GetSacSeis()[2], 0.5f);
    EXPECT_FLOAT_EQ(s.absMax(), 2.0f);
    EXPECT_EQ(s.labelString(), "East (m/s)");

    // A vertical channel pointing up is 0° from vertical; no scale leaves counts, said once.
    fdsnStationText::channel up = east;
    up.dip = -90;
    up.scale = 0;
    SacObject z;
    z.InitWithSamples({3.0f}, 0.05f, 0, QDateTime(QDate(2024, 1, 1), {}, QTimeZone::utc()));
    logCapture log;
    fdsnDataRequest::applyMetadata(z, up, true);
    EXPECT_FLOAT_EQ(z.GetSacHeader()->cmpinc, 0.0f);
    EXPECT_FLOAT_EQ(z.GetSacSeis()[0], 3.0f);
    EXPECT_EQ(log.problems(),
              QStringList{"XX.EAST..BHE: no scale in the station metadata; shown in counts"});
}

TEST(FdsnData, OneLoadIsOneDataselectAndOneStationPostInTheBulkForm) {
    fdsnFixture f;
    const auto list = QVRRTSeismicDisplayController::readChannelList(
        threeChannels, {}, QVRRTSeismicDisplayController::fixedWorkingDescription());
    const fdsnDataRequest request = f.controller.fdsnRequestFor(list.channels);
    EXPECT_EQ(request.dataselectAddress(), f.server.baseURL() + "/fdsnws/dataselect/1/query");
    EXPECT_EQ(request.stationAddress(), f.server.baseURL() + "/fdsnws/station/1/query");
    const QByteArray lines = "IU ANMO 00 BHZ 2012-05-01T00:00:00 2012-05-01T01:00:00\n"
                             "XX A1032 -- BHZ 2012-05-01T00:00:00 2012-05-01T01:00:00\n"
                             "XX NONE 00 BHZ 2012-05-01T00:00:00 2012-05-01T01:00:00\n";
    EXPECT_EQ(request.dataselectBody(), lines);
    EXPECT_EQ(request.stationBody(), "level=channel\nformat=text\n" + lines);

    // The time-series cap of 86,400 samples does not hold: a day and a half at 1 "sample"/s.
    auto longer = list.channels.first();
    longer.insert("Duration", "2160");
    EXPECT_EQ(fdsnDataRequest::bulkLine({"IU", "ANMO", "", "BHZ", "", {}, {}}),
              "IU ANMO -- BHZ (null) (null)");
    EXPECT_EQ(f.controller.fdsnRequestFor({longer}).dataselectBody(),
              "IU ANMO 00 BHZ 2012-05-01T00:00:00 2012-05-02T12:00:00\n");

    logCapture log;
    f.loadAndWait(threeChannels);
    ASSERT_EQ(f.server.posts().size(), 2);
    EXPECT_EQ(f.server.posts().at(0),
              std::pair(QStringLiteral("/fdsnws/dataselect/1/query"), lines));
    EXPECT_EQ(f.server.posts().at(1),
              std::pair(QStringLiteral("/fdsnws/station/1/query"),
                        QByteArray("level=channel\nformat=text\n" + lines)));
    EXPECT_EQ(f.server.requests().size(), 2);
}

TEST(FdsnData, LoadsFillTheHeadersAndNameChannelsWithoutDataOrMetadata) {
    fdsnFixture f;
    logCapture log;
    f.loadAndWait(threeChannels);
    const auto& seismograms = f.controller.theSeismograms();
    ASSERT_EQ(seismograms.size(), 2);
    const SacObject& anmo = *seismograms.at(0);
    EXPECT_EQ(anmo.labelString(), "Albuquerque");
    EXPECT_EQ(anmo.npts(), 12000);
    EXPECT_FLOAT_EQ(anmo.delta(), 0.05f);
    EXPECT_FLOAT_EQ(anmo.stla(), 34.945981f);
    EXPECT_FLOAT_EQ(anmo.stlo(), -106.457133f);
    EXPECT_FLOAT_EQ(anmo.GetSacHeader()->stel, 1671.0f);
    EXPECT_FLOAT_EQ(anmo.GetSacHeader()->stdp, 145.0f);
    EXPECT_FLOAT_EQ(anmo.GetSacHeader()->cmpaz, 0.0f);
    EXPECT_FLOAT_EQ(anmo.GetSacHeader()->cmpinc, 0.0f);
    // Without metadata, in counts and without coordinates.
    const SacObject& a1032 = *seismograms.at(1);
    EXPECT_EQ(a1032.labelString(), "A1032");
    EXPECT_EQ(a1032.npts(), 4000);
    EXPECT_FLOAT_EQ(a1032.stla(), -12345.0f);
    EXPECT_EQ(f.controller.theChannels().at(1).value("StationID"), "A1032");
    EXPECT_EQ(f.controller.channelFailures(), QStringList{"XX.NONE.00.BHZ: no data"});
    EXPECT_TRUE(f.controller.loadFailure().isNull());
    EXPECT_EQ(log.problems(), (QStringList{"XX.A1032..BHZ: no station metadata; shown in counts",
                                           "XX.NONE.00.BHZ: no data"}));

    // Ground motion: the same samples divided by the scale, in m/s; the channel without
    // metadata stays in counts.
    const std::vector<float> counts(anmo.GetSacSeis(), anmo.GetSacSeis() + anmo.npts());
    const float countsOfA1032 = a1032.absMax();
    const float countsOfAnmo = anmo.absMax();
    f.controller.setGroundMotion(true);
    f.loadAndWait(threeChannels);
    ASSERT_EQ(seismograms.size(), 2);
    const SacObject& velocity = *seismograms.at(0);
    EXPECT_EQ(velocity.labelString(), "Albuquerque (m/s)");
    ASSERT_EQ(velocity.npts(), 12000);
    const double scale = 3.31283e10;
    for (int i = 0; i < velocity.npts(); i += 997)
        EXPECT_NEAR(velocity.GetSacSeis()[i] * scale, counts[std::size_t(i)], 1e-4 * countsOfAnmo)
            << i;
    EXPECT_FLOAT_EQ(velocity.absMax() * float(scale), countsOfAnmo);
    EXPECT_EQ(seismograms.at(1)->labelString(), "A1032");
    EXPECT_FLOAT_EQ(seismograms.at(1)->absMax(), countsOfA1032);
}

TEST(FdsnData, RefusalsAndEmptyAnswersLoseNothingAndNeverHang) {
    fdsnFixture f;
    f.loadAndWait(threeChannels);
    ASSERT_EQ(f.controller.theSeismograms().size(), 2);
    QSignalSpy failed(&f.controller, &QVRRTSeismicDisplayController::loadFailed);

    // A refused dataselect request: one line, the reason, and the traces shown stay.
    const QString refused = "The FDSN dataselect service did not answer: ";
    const QList<std::pair<int, QString>> statuses = {
        {404, refused + "HTTP 404, the data centre has no such service"},
        {413, refused + "HTTP 413, the request is too large for the data centre: ask for "
                        "fewer channels or a shorter window"},
        {500, refused + "HTTP 500"}};
    for (const auto& [status, reason] : statuses) {
        SCOPED_TRACE(status);
        f.server.setAnswer(fixtureServer::dataselectPath, {status, "refused"});
        logCapture log;
        f.loadAndWait(threeChannels);
        EXPECT_EQ(f.controller.loadFailure(), reason);
        EXPECT_EQ(log.problems(), QStringList{reason});
        EXPECT_EQ(f.controller.theSeismograms().size(), 2);
        EXPECT_EQ(failed.size(), 1);
        failed.clear();
    }

    // A stalled centre gives up at the time-out.
    f.controller.setDownloadTimeoutMs(300);
    f.server.setAnswer(fixtureServer::dataselectPath,
                       {200, "", "text/plain", fixtureServer::behaviour::stall});
    f.loadAndWait(threeChannels);
    EXPECT_TRUE(f.controller.loadFailure().startsWith(refused + "no complete answer within"))
        << f.controller.loadFailure().toStdString();
    f.controller.setDownloadTimeoutMs(5000);

    // Bytes that are no miniSEED.
    f.server.setAnswer(fixtureServer::dataselectPath, {200, "<html>maintenance</html>"});
    f.loadAndWait(threeChannels);
    EXPECT_TRUE(f.controller.loadFailure().startsWith("The FDSN dataselect answer is no miniSEED"))
        << f.controller.loadFailure().toStdString();

    // 204: no data, each channel named; the station service is not asked.
    f.server.setAnswer(fixtureServer::dataselectPath, {204, ""});
    const qsizetype posts = f.server.posts().size();
    logCapture log;
    f.loadAndWait(threeChannels);
    EXPECT_TRUE(f.controller.loadFailure().isNull());
    EXPECT_TRUE(f.controller.theSeismograms().isEmpty());
    EXPECT_EQ(f.controller.channelFailures(),
              (QStringList{"IU.ANMO.00.BHZ: no data", "XX.A1032..BHZ: no data",
                           "XX.NONE.00.BHZ: no data"}));
    EXPECT_EQ(log.problems(), f.controller.channelFailures());
    EXPECT_EQ(f.server.posts().size(), posts + 1);

    // A failed station request leaves every seismogram in counts, with one line.
    f.server.setAnswer(fixtureServer::dataselectPath,
                       {200, dataFile("mseed/obspy_dataselect_example.mseed")});
    f.server.setAnswer(fixtureServer::stationPath, {500, "oops"});
    f.controller.setGroundMotion(true);
    logCapture stationLog;
    f.loadAndWait(QStringLiteral("IU; ANMO; 00; BHZ; Albuquerque\n"));
    ASSERT_EQ(f.controller.theSeismograms().size(), 1);
    EXPECT_EQ(f.controller.theSeismograms().first()->labelString(), "Albuquerque");
    EXPECT_FLOAT_EQ(f.controller.theSeismograms().first()->stla(), -12345.0f);
    EXPECT_EQ(stationLog.problems(),
              QStringList{"The FDSN station service did not answer: HTTP 500; the seismograms "
                          "stay in counts"});
}

TEST(FdsnData, TheCommandLineSummarisesExportsAndDrawsWhatCame) {
    fdsnFixture f;
    const QString source = "fdsn:" + f.server.baseURL();
    commandLineRun r = runQuorvel(
        {"--channels", "-", "--data-source", source, "--ground-motion", "--print", "summary"},
        threeChannels);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << qPrintable(r.out);
    QStringList anmo = lines[0].split(u'\t');
    ASSERT_EQ(anmo.size(), 8) << qPrintable(lines[0]);
    anmo.remove(4, 2); // the processed extremes
    EXPECT_EQ(anmo, (QStringList{"IU.ANMO.00.BHZ", "2010-02-27T06:30:00.020Z", "20", "12000",
                                 "34.946", "-106.457"}));
    EXPECT_TRUE(lines[1].startsWith("XX.A1032..BHZ\t")) << qPrintable(lines[1]);
    EXPECT_TRUE(lines[1].endsWith("\t\t")) << qPrintable(lines[1]); // no coordinates
    EXPECT_EQ(r.err, "Quorvel: XX.NONE.00.BHZ: no data\n");

    QTemporaryDir folder;
    r = runQuorvel({"--channels", "-", "--data-source", source, "--export-sac", folder.path()},
                   threeChannels);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    QStringList written = QDir(folder.path()).entryList(QDir::Files);
    ASSERT_EQ(written.size(), 2) << qPrintable(written.join(u' '));
    EXPECT_TRUE(written[0].startsWith("IU.ANMO.00.BHZ.2010.058.063000")) << qPrintable(written[0]);
    const QVRResult<SacObject> kept = SacObject::fromFile(folder.filePath(written[0]));
    ASSERT_TRUE(kept.ok());
    EXPECT_FLOAT_EQ(kept->stla(), 34.945981f);
    EXPECT_FLOAT_EQ(kept->GetSacHeader()->cmpinc, 0.0f);

    r = runQuorvel({"--channels", "-", "--data-source", source, "--render", "live", "--output",
                    folder.filePath("live.png")},
                   threeChannels);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(QFileInfo(folder.filePath("live.png")).size() > 0);

    // Nothing came: exit 1, each channel named.
    f.server.setAnswer(fixtureServer::dataselectPath, {204, ""});
    r = runQuorvel({"--channels", "-", "--data-source", source, "--print", "summary"},
                   threeChannels);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, "Quorvel: IU.ANMO.00.BHZ: no data\nQuorvel: XX.A1032..BHZ: no data\n"
                     "Quorvel: XX.NONE.00.BHZ: no data\nQuorvel: no channel could be downloaded\n");
    f.server.setAnswer(fixtureServer::dataselectPath, {413, "too much"});
    r = runQuorvel({"--channels", "-", "--data-source", source, "--export-sac", folder.path()},
                   threeChannels);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("Quorvel: The FDSN dataselect service did not answer: HTTP 413"))
        << qPrintable(r.err);
}
