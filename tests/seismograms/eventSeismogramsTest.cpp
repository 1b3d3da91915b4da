// An earthquake's seismograms from an FDSN data centre: the stations chosen from a radius
// search, spread in distance and azimuth, their windows in one bulk request, the headers with
// the event, the distances and the predicted P and S, the command line's summary, export and
// picture, the dialog that hands them to the Seismograms window, and the failures on the way.

#include "eventSeismograms.h"
#include "applicationDefaults.h"
#include "commandLineRun.h"
#include "delta_az.h"
#include "eventSectionView.h"
#include "eventSeismogramsDialog.h"
#include "fixtureServer.h"
#include "logCapture.h"
#include "qtPrinters.h"
#include "qtTestInGoogleTest.h"
#include "seismogramsWindowController.h"
#include "stationSelection.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

QByteArray dataFile(const char* path) {
    QFile file(QStringLiteral(QUORVEL_TEST_DATA "/") + QLatin1StringView(path));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// A channel epoch of the station service's text answer, at a place and from a time on.
QByteArray stationLine(const char* codes, double latitude, double longitude,
                       const char* start = "2008-06-30T20:00:00", const char* end = "") {
    return QStringLiteral("%1|%2|%3|100.0|0.0|0.0|-90.0|STS-2|1.0E9|1.0|M/S|20.0|%4|%5")
        .arg(QLatin1StringView(codes))
        .arg(latitude)
        .arg(longitude)
        .arg(QLatin1StringView(start), QLatin1StringView(end))
        .toUtf8();
}

const QByteArray heading = "#Network | Station | Location | Channel | Latitude | Longitude | "
                           "Elevation | Depth | Azimuth | Dip | SensorDescription | Scale | "
                           "ScaleFreq | ScaleUnits | SampleRate | StartTime | EndTime\n";

// The Maule earthquake of 2010-02-27 and what the station service knows near its origin time:
// IU.ANMO (two sensors), XX.A1032 and XX.NEAR close to the epicentre and to each other,
// XX.EAST some 20° east, a station closed before the earthquake, one opened after it and one
// beyond 90°. The dataselect service has IU.ANMO.00.BHZ and XX.A1032..BHZ only.
struct mauleFixture {
    fixtureServer server;
    mauleFixture() {
        applicationDefaults::registerApplicationDefaults();
        const QByteArray anmo = "IU|ANMO|00|BHZ|34.945981|-106.457133|1671.0|145.0|0.0|-90.0|"
                                "Streckeisen STS-1VBB w/E300|3.31283E10|0.02|M/S|20.0|"
                                "2008-06-30T20:00:00|2011-02-18T19:11:00";
        const QByteArray stations =
            heading + anmo + '\n' + stationLine("IU|ANMO|10|BHZ", 34.945913, -106.457122) + '\n' +
            stationLine("XX|A1032||BHZ", -35.5, -72.5) + '\n' +
            stationLine("XX|NEAR||BHZ", -34.5, -72.0) + '\n' +
            stationLine("XX|EAST||BHZ", -36.0, -50.0) + '\n' +
            stationLine("XX|OLD||BHZ", -20.0, -70.0, "2000-01-01T00:00:00", "2005-01-01T00:00:00") +
            '\n' + stationLine("XX|LATE||BHZ", -30.0, -71.0, "2011-01-01T00:00:00") + '\n' +
            stationLine("XX|FAR||BHZ", 50.0, 10.0) + '\n';
        server.setAnswer(fixtureServer::stationPath, {200, stations});
        server.addFdsnChannel("IU", "ANMO", "00", "BHZ",
                              dataFile("mseed/obspy_dataselect_example.mseed"), anmo);
        server.addFdsnChannel("XX", "A1032", "", "BHZ",
                              dataFile("mseed/obspy_2011-09-06-1311-36S.A1032_001BH_Z.mseed"), {});
    }
    eventSeismograms::request request(int stations = 3) const {
        eventSeismograms::request r;
        r.quake.origin = QDateTime(QDate(2010, 2, 27), QTime(6, 34, 11), QTimeZone::utc());
        r.quake.latitude = -36.122f;
        r.quake.longitude = -72.898f;
        r.quake.depth = 22.9f;
        r.quake.magnitude = 8.8f;
        r.baseURL = server.baseURL();
        r.maxStations = stations;
        return r;
    }
    // A fetch of request(), with the problems it logged.
    std::pair<eventSeismograms::outcome, QStringList> fetchLogged(int timeoutMs = 5000) const {
        const logCapture log;
        eventSeismograms::outcome fetched =
            eventSeismograms::make(request())->fetch(timeoutMs, "test", nullptr);
        return {std::move(fetched), log.problems()};
    }
    QStringList commandLine(const QStringList& more) const {
        return QStringList{"--event-seismograms",
                           "--origin",
                           "2010-02-27 06:34:11",
                           "-36.122",
                           "-72.898",
                           "22.9",
                           "--magnitude",
                           "8.8",
                           "--data-source",
                           "fdsn:" + server.baseURL(),
                           "--max-stations",
                           "3"} +
               more;
    }
};

// Distance and azimuths as the great-circle helper gives them.
struct geometry {
    float distance, azimuth, backAzimuth;
};
geometry geometryOf(float eventLat, float eventLon, float stationLat, float stationLon) {
    geometry g{};
    delta_az(&eventLat, &eventLon, &stationLat, &stationLon, &g.distance, &g.azimuth);
    float again = 0;
    delta_az(&stationLat, &stationLon, &eventLat, &eventLon, &again, &g.backAzimuth);
    return g;
}

QStringList names(const QList<stationSelection::station>& stations) {
    QStringList codes;
    for (const stationSelection::station& s : stations)
        codes << s.network + u'.' + s.code + u'.' + s.location;
    return codes;
}

} // namespace

TEST(EventSeismograms, StationsRecordingAtTheOriginTimeWithinTheRangeKeepOneSensorEach) {
    const QDateTime origin(QDate(2010, 2, 27), QTime(6, 34, 11), QTimeZone::utc());
    const auto line = [](const char* codes, double lat, double lon, const char* start,
                         const char* end = "") -> QByteArray {
        return heading + stationLine(codes, lat, lon, start, end) + '\n';
    };
    const fdsnStationText answer = fdsnStationText::parse(
        line("XX|TWO|10|BHZ", 0, 10, "2009-01-01T00:00:00") +
        line("XX|TWO|00|BHZ", 0, 10, "2009-01-01T00:00:00") +
        line("XX|TWO|00|BHN", 0, 10, "2009-01-01T00:00:00") +
        // An epoch that ended before the earthquake and the one that followed it, and a station
        // closed before it.
        line("XX|EPOCH||BHZ", 10, 0, "2001-01-01T00:00:00", "2010-02-27T06:34:11") +
        line("XX|EPOCH||BHZ", 10, 0, "2010-02-27T06:34:11") +
        line("XX|OPENED||BHZ", 0, -30, "2010-02-27T06:34:12") +
        line("XX|SHUT||BHZ", 20, 0, "2001-01-01T00:00:00", "2009-12-31T00:00:00") +
        line("AA|FAR||BHZ", 0, 100, "2009-01-01T00:00:00") +
        line("AA|CLOSE||BHZ", 0, 1, "2009-01-01T00:00:00"));
    const QList<stationSelection::station> stations =
        stationSelection::stationsAt(answer.channels(), 0, 0, origin, 5, 90);
    ASSERT_EQ(names(stations), (QStringList{"XX.EPOCH.", "XX.TWO.00"}));
    EXPECT_EQ(stations[1].channels.size(), 2);
    EXPECT_EQ(stations[1].channels[0].channelCode, "BHZ");
    EXPECT_EQ(stations[1].channels[1].channelCode, "BHN");
    EXPECT_FLOAT_EQ(stations[1].distance, 10.0f);
    EXPECT_FLOAT_EQ(stations[1].azimuth, 90.0f);
    EXPECT_FLOAT_EQ(stations[1].backAzimuth, 270.0f);
    EXPECT_FLOAT_EQ(stations[0].azimuth, 0.0f);
    EXPECT_FLOAT_EQ(stations[0].backAzimuth, 180.0f);
}

TEST(EventSeismograms, TheChoiceSpreadsOverDistanceAndAzimuth) {
    // About an epicentre at 0° 0°: three stations in a row to the east, one north, one south,
    // one far west and one far east.
    const auto at = [](const char* code, float distance, float azimuth) {
        stationSelection::station s;
        s.network = "XX";
        s.code = code;
        s.distance = distance;
        s.azimuth = azimuth;
        return s;
    };
    const QList<stationSelection::station> candidates = {
        at("A", 10, 90),  at("B", 11, 90),  at("C", 12, 90), at("D", 10, 0),
        at("E", 40, 180), at("F", 60, 270), at("G", 61, 90)};
    // The nearest first (A before D, which is as near), then each time the farthest from all
    // taken: the row B, C waits to the last.
    EXPECT_EQ(names(stationSelection::spread(candidates, 4)),
              (QStringList{"XX.A.", "XX.F.", "XX.G.", "XX.E."}));
    EXPECT_EQ(names(stationSelection::spread(candidates, 6)),
              (QStringList{"XX.A.", "XX.F.", "XX.G.", "XX.E.", "XX.D.", "XX.C."}));
    EXPECT_EQ(stationSelection::spread(candidates, 20).size(), 7);
    EXPECT_TRUE(stationSelection::spread(candidates, 0).isEmpty());
    EXPECT_TRUE(stationSelection::spread({}, 5).isEmpty());
}

TEST(EventSeismograms, OneStationSearchAndOneBulkRequestOfEachStationsWindow) {
    mauleFixture f;
    const QVRResult<eventSeismograms> event = eventSeismograms::make(f.request());
    ASSERT_TRUE(event.ok()) << qPrintable(event.error());
    EXPECT_EQ(event->stationQueryAddress(),
              f.server.baseURL() +
                  "/fdsnws/station/1/query?latitude=-36.122&longitude=-72.898&minradius=0&"
                  "maxradius=90&channel=BHZ&startbefore=2010-02-27T06:34:11&endafter=2010-02-"
                  "27T06:34:11&level=channel&format=text");
    const eventSeismograms::outcome fetched = event->fetch(5000, "test", nullptr);
    ASSERT_TRUE(fetched.failure.isEmpty()) << qPrintable(fetched.failure);

    ASSERT_EQ(f.server.requests().size(), 2);
    EXPECT_EQ(f.server.requests().at(0),
              "/fdsnws/station/1/query?latitude=-36.122&longitude=-72.898&minradius=0&"
              "maxradius=90&channel=BHZ&startbefore=2010-02-27T06:34:11&endafter=2010-02-"
              "27T06:34:11&level=channel&format=text");
    // A1032 nearest, ANMO farthest from it, then EAST; NEAR, next to A1032, is left out.
    // Each window from 60 s before the predicted P to 600 s after the predicted S.
    ASSERT_EQ(f.server.posts().size(), 1);
    EXPECT_EQ(f.server.posts().at(0).first, fixtureServer::dataselectPath);
    EXPECT_EQ(f.server.posts().at(0).second,
              "XX A1032 -- BHZ 2010-02-27T06:33:24 2010-02-27T06:44:33\n"
              "IU ANMO 00 BHZ 2010-02-27T06:45:05 2010-02-27T07:05:55\n"
              "XX EAST -- BHZ 2010-02-27T06:37:25 2010-02-27T06:51:51\n");
    EXPECT_EQ(fetched.stationsChosen, 3);
    EXPECT_EQ(fetched.withoutData, QStringList{"XX.EAST..BHZ"});
    ASSERT_EQ(fetched.seismograms.size(), 2u);
    EXPECT_EQ(fetched.seismograms[0].streamId(), "XX.A1032..BHZ");
    EXPECT_EQ(fetched.seismograms[1].streamId(), "IU.ANMO.00.BHZ");
}

TEST(EventSeismograms, EachHeaderHoldsTheEventTheDistancesAndThePredictedPAndS) {
    mauleFixture f;
    const eventSeismograms::outcome fetched =
        eventSeismograms::make(f.request())->fetch(5000, "test", nullptr);
    ASSERT_EQ(fetched.seismograms.size(), 2u) << qPrintable(fetched.failure);
    const SacObject& anmo = fetched.seismograms[1];
    const SacHeader& h = *const_cast<SacObject&>(anmo).GetSacHeader();
    EXPECT_FLOAT_EQ(h.evla, -36.122f);
    EXPECT_FLOAT_EQ(h.evlo, -72.898f);
    EXPECT_FLOAT_EQ(h.evdp, 22.9f);
    EXPECT_FLOAT_EQ(h.mag, 8.8f);
    // The first sample is at 06:30:00.0195 (the reference time at 06:30:00.019), the origin
    // 250.981 s after the reference time.
    EXPECT_EQ(anmo.firstSampleTime(),
              QDateTime(QDate(2010, 2, 27), QTime(6, 30, 0, 20), QTimeZone::utc()));
    EXPECT_FLOAT_EQ(h.o, 250.981f);
    const geometry g = geometryOf(-36.122f, -72.898f, 34.945981f, -106.457133f);
    EXPECT_FLOAT_EQ(h.gcarc, g.distance);
    EXPECT_FLOAT_EQ(h.az, g.azimuth);
    EXPECT_FLOAT_EQ(h.baz, g.backAzimuth);
    EXPECT_NEAR(h.gcarc, 77.6384, 0.0001);
    EXPECT_NEAR(h.baz, 152.798, 0.001);
    EXPECT_NEAR(h.dist, 77.6384 * 111.19, 0.02);
    // From the station service's answer.
    EXPECT_FLOAT_EQ(h.stla, 34.945981f);
    EXPECT_FLOAT_EQ(h.stlo, -106.457133f);
    EXPECT_FLOAT_EQ(h.stel, 1671.0f);
    EXPECT_FLOAT_EQ(h.cmpinc, 0.0f);
    // ak135 at that distance from 22.9 km: P after 714.465 s, S after 1304.898 s
    // (Quorvel --travel-times --depth 22.9 --distance 77.6384).
    EXPECT_NEAR(h.t0 - h.o, 714.465, 0.01);
    EXPECT_NEAR(h.t1 - h.o, 1304.898, 0.01);
    EXPECT_EQ(anmo.pickLabelWithKey(0), "P");
    EXPECT_EQ(anmo.pickLabelWithKey(1), "S");
    EXPECT_EQ(anmo.pickLabelWithKey(2), "-12345");
    EXPECT_EQ(anmo.oTimeString(), "2010-02-27 06:34:11.000");

    // Near the source the first P and S leave it upward.
    const eventSeismograms::arrivals near =
        eventSeismograms::make(f.request())->predicted(fetched.seismograms[0].gcarc());
    EXPECT_EQ(near.p->phase, "p");
    EXPECT_EQ(near.s->phase, "s");
    EXPECT_NEAR(near.p->time, 13.532, 0.001);
    EXPECT_NEAR(near.s->time, 22.754, 0.001);
    EXPECT_EQ(fetched.seismograms[0].pickLabelWithKey(0), "P");
}

TEST(EventSeismograms, TheFirstArrivalsAreThoseOfTheCoreBeyondItsShadow) {
    mauleFixture f;
    eventSeismograms::request r = f.request();
    r.quake.depth = 0;
    const QVRResult<eventSeismograms> event = eventSeismograms::make(r);
    // Literal times of Quorvel --travel-times --depth 0 --distance D.
    const eventSeismograms::arrivals at150 = event->predicted(150);
    ASSERT_TRUE(at150.p && at150.s);
    EXPECT_EQ(at150.p->phase, "Pdiff");
    EXPECT_NEAR(at150.p->time, 1049.312, 0.001);
    EXPECT_EQ(at150.s->phase, "Sdiff");
    EXPECT_NEAR(at150.s->time, 1939.881, 0.001);
    const eventSeismograms::arrivals at110 = event->predicted(110);
    EXPECT_EQ(at110.p->phase, "Pdiff");
    EXPECT_EQ(at110.s->phase, "SKS");

    r.quake.depth = 701;
    EXPECT_EQ(eventSeismograms::make(r).error(),
              "travel times reach sources down to 700 km, not 701 km");
    r.quake.depth = 10;
    r.model = "prem";
    EXPECT_EQ(eventSeismograms::make(r).error(), "unknown model 'prem' (known: ak135, iasp91)");
}

TEST(EventSeismograms, TheCommandLineSummarisesExportsAndDraws) {
    mauleFixture f;
    commandLineRun r = runQuorvel(f.commandLine({"--print", "summary"}));
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.err, "Quorvel: XX.EAST..BHZ: no data\n");
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << qPrintable(r.out);
    EXPECT_EQ(lines[1], "IU.ANMO.00.BHZ\t2010-02-27T06:30:00.020Z\t20\t12000\t-52206\t-45709\t"
                        "34.946\t-106.457\t77.6384\t152.798");
    EXPECT_EQ(lines[0], "XX.A1032..BHZ\t2011-09-06T13:11:36.580Z\t50\t4000\t-4934\t4926\t-35.5\t"
                        "-72.5\t0.700755\t207.309");

    QTemporaryDir folder;
    r = runQuorvel(f.commandLine({"--export-sac", folder.path()}));
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    const QStringList written = QDir(folder.path()).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(written, (QStringList{"IU.ANMO.00.BHZ.2010.058.063000.SAC",
                                    "XX.A1032..BHZ.2011.249.131136.SAC"}));
    const QVRResult<SacObject> kept = SacObject::fromFile(folder.filePath(written[0]));
    ASSERT_TRUE(kept.ok());
    EXPECT_EQ(kept->pickLabelWithKey(0), "P");
    EXPECT_NEAR(kept->timePickKey(0) - kept->originTimeOffset(), 714.465, 0.01);
    EXPECT_FLOAT_EQ(kept->GetSacHeader()->mag, 8.8f);

    r = runQuorvel(f.commandLine({"--render", "section", "--output", folder.filePath("s.png")}));
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_GT(QFileInfo(folder.filePath("s.png")).size(), 0);
    // The event record section's curves take the picks' model, and its own phases and
    // reduction.
    r = runQuorvel(
        f.commandLine({"--render", "event-section", "--output", folder.filePath("e.png"), "--model",
                       "iasp91", "--phases", "P,S", "--reduction-velocity", "8"}));
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_GT(QFileInfo(folder.filePath("e.png")).size(), 0);

    // The processing options of files apply to an event's seismograms too: without its mean,
    // ANMO's record of some -49,000 counts swings about zero.
    r = runQuorvel(f.commandLine({"--print", "summary", "--remove-mean", "--lowpass", "1"}));
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    const QStringList processed = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(processed.size(), 2) << qPrintable(r.out);
    const QStringList anmo = processed[1].split(u'\t');
    EXPECT_LT(anmo[4].toDouble(), -1000);
    EXPECT_GT(anmo[5].toDouble(), 1000);
    EXPECT_LT(anmo[5].toDouble(), 4000);
    // A corner above the Nyquist frequency (10 Hz at 20 Hz sampling) is refused for ANMO:
    // logged, the traces still listed, and the exit status says so.
    r = runQuorvel(f.commandLine({"--print", "summary", "--highpass", "15"}));
    EXPECT_EQ(r.status, 1) << qPrintable(r.err);
    EXPECT_EQ(r.out.split(u'\n', Qt::SkipEmptyParts).size(), 2);

    // The travel times' one distance is untouched by the event's two.
    r = runQuorvel({"--travel-times", "--depth", "0", "--distance", "30", "--phases", "P"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
}

TEST(EventSeismograms, FailuresGiveOneLineAndExitCodeOne) {
    mauleFixture f;
    // The station service fails.
    f.server.setAnswer(fixtureServer::stationPath, {500, "oops"});
    {
        const auto [fetched, problems] = f.fetchLogged();
        EXPECT_EQ(fetched.failure, "The FDSN station service did not answer: HTTP 500");
        EXPECT_EQ(problems, QStringList{fetched.failure});
        EXPECT_TRUE(f.server.posts().isEmpty());
    }
    commandLineRun r = runQuorvel(f.commandLine({"--print", "summary"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, QString());
    EXPECT_EQ(r.err, "Quorvel: The FDSN station service did not answer: HTTP 500\n");

    // None in range: the service's 204, or stations all too far.
    f.server.setAnswer(fixtureServer::stationPath, {204, ""});
    r = runQuorvel(f.commandLine({"--print", "summary"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Quorvel: No station records BHZ from 0° to 90° of the event\n");
    f.server.setAnswer(fixtureServer::stationPath,
                       {200, heading + stationLine("XX|FAR||BHZ", 50.0, 10.0) + '\n'});
    r = runQuorvel(
        f.commandLine({"--distance", "5", "30", "--channel", "bhz", "--print", "summary"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Quorvel: No station records BHZ from 5° to 30° of the event\n");

    // Stations, but no data (204).
    mauleFixture g;
    g.server.setAnswer(fixtureServer::dataselectPath, {204, ""});
    {
        const auto [fetched, problems] = g.fetchLogged();
        EXPECT_EQ(fetched.failure, "The data centre has no data of the stations chosen (3)");
        EXPECT_EQ(problems, QStringList{fetched.failure});
    }
    r = runQuorvel(g.commandLine({"--print", "summary"}));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Quorvel: XX.A1032..BHZ: no data\nQuorvel: IU.ANMO.00.BHZ: no data\n"
                     "Quorvel: XX.EAST..BHZ: no data\n"
                     "Quorvel: The data centre has no data of the stations chosen (3)\n");

    // A service that never answers gives up at the time-out.
    g.server.setAnswer(fixtureServer::stationPath,
                       {200, "", "text/plain", fixtureServer::behaviour::stall});
    const auto [fetched, problems] = g.fetchLogged(300);
    EXPECT_TRUE(fetched.failure.startsWith("The FDSN station service did not answer: "))
        << qPrintable(fetched.failure);
    EXPECT_EQ(problems, QStringList{fetched.failure});
}

TEST(EventSeismograms, TheCommandLineRefusesWhatItCannotAskFor) {
    mauleFixture f;
    const QString source = "fdsn:" + f.server.baseURL();
    const QStringList origin = {"--origin", "2010-02-27 06:34:11", "-36.122", "-72.898", "22.9"};
    for (const QStringList& bad :
         {QStringList{"--event-seismograms", "--data-source", source, "--print", "summary"},
          QStringList{"--event-seismograms", "--origin", "2010-02-27", "-36", "-72", "20",
                      "--data-source", source, "--print", "summary"},
          QStringList{"--event-seismograms", "--origin", "2010-02-27 06:34:11", "-36"},
          origin + QStringList{"--event-seismograms", "--print", "summary"},
          origin + QStringList{"--event-seismograms", "--data-source", "timeseries", "--print",
                               "summary"},
          origin + QStringList{"--event-seismograms", "--data-source", source, "--distance", "30",
                               "--print", "summary"},
          origin + QStringList{"--event-seismograms", "--data-source", source, "--distance", "50",
                               "20", "--print", "summary"},
          origin + QStringList{"--event-seismograms", "--data-source", source, "--channel",
                               "BHZ&x=1", "--print", "summary"},
          origin + QStringList{"--event-seismograms", "--data-source", source, "--max-stations",
                               "0", "--print", "summary"},
          origin + QStringList{"--event-seismograms", "--data-source", source, "--model", "prem",
                               "--print", "summary"},
          origin + QStringList{"--event-seismograms", "--data-source", source, "--phases", "P",
                               "--print", "summary"},
          origin + QStringList{"--event-seismograms", "--data-source", source, "--render",
                               "section", "--output", "s.png", "--reduction-velocity", "8"},
          origin + QStringList{"--event-seismograms", "--data-source", source, "--render",
                               "event-section", "--output", "s.png", "--phases", "PKKP"},
          origin + QStringList{"--event-seismograms", "--data-source", source, "--print", "header"},
          origin + QStringList{"--event-seismograms", "--data-source", source},
          origin + QStringList{"--print", "summary"},
          QStringList{"--channel", "BHZ", "--source", "usgs", "--print", "table"}}) {
        const commandLineRun r = runQuorvel(bad);
        EXPECT_EQ(r.status, 2) << qPrintable(bad.join(u' ')) << qPrintable(r.err);
        EXPECT_TRUE(r.err.endsWith("Try 'Quorvel --help'.\n")) << qPrintable(r.err);
    }
    // Nothing was asked of the data centre.
    EXPECT_TRUE(f.server.requests().isEmpty());
    const commandLineRun help = runQuorvel({"--help"});
    for (const char* option : {"--event-seismograms", "--origin", "--max-stations", "--channel"})
        EXPECT_TRUE(help.out.contains(option)) << option;
}

TEST(EventSeismograms, TheDialogFetchesOnAWorkerAndTheWindowShowsThem) {
    mauleFixture f;
    eventSeismogramsDialog dialog;
    dialog.setDownloadTimeoutMs(5000);
    QSignalSpy arrived(&dialog, &eventSeismogramsDialog::seismogramsArrived);
    // Without an event there is nothing to ask for.
    dialog.dataCentreField()->setCurrentText(f.server.baseURL());
    dialog.fetchButton()->click();
    EXPECT_EQ(dialog.statusLabel()->text(), "Select an event first.");
    EXPECT_TRUE(f.server.requests().isEmpty());

    dialog.setEvent(f.request().quake, "M 8.8");
    dialog.stationsField()->setValue(3);
    dialog.modelField()->setCurrentText("iasp91");
    dialog.fetchButton()->click();
    // A change while the fetch runs is the next fetch's.
    dialog.modelField()->setCurrentText("ak135");
    EXPECT_TRUE(dialog.isFetching());
    EXPECT_FALSE(dialog.fetchButton()->isEnabled());
    ASSERT_TRUE(arrived.wait(20000));
    EXPECT_FALSE(dialog.isFetching());
    EXPECT_EQ(dialog.statusLabel()->text(), "2 seismograms of 3 stations. No data: XX.EAST..BHZ.");
    const auto seismograms = arrived.at(0).at(0).value<QList<std::shared_ptr<SacObject>>>();
    ASSERT_EQ(seismograms.size(), 2);

    seismogramsWindowController window;
    window.showSeismograms(seismograms, seismogramViews::kind::section);
    EXPECT_EQ(window.viewKind(), seismogramViews::kind::section);
    ASSERT_EQ(window.shownSeismograms().size(), 2);
    EXPECT_EQ(window.shownSeismograms().at(1)->pickLabelWithKey(1), "S");
    // The event record section draws its curves through the model the picks came from.
    EXPECT_EQ(arrived.at(0).at(1).toString(), "iasp91");
    window.showSeismograms(seismograms, seismogramViews::kind::eventSection,
                           arrived.at(0).at(1).toString());
    auto* section = qobject_cast<eventSectionView*>(window.view());
    ASSERT_NE(section, nullptr);
    EXPECT_EQ(section->modelName(), "iasp91");

    // A data centre that fails is said in the dialog, which stays usable.
    f.server.setAnswer(fixtureServer::stationPath, {500, "oops"});
    logCapture log;
    dialog.fetchButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isFetching(), 20000);
    EXPECT_EQ(dialog.statusLabel()->text(), "The FDSN station service did not answer: HTTP 500");
    EXPECT_EQ(arrived.size(), 1);
    EXPECT_TRUE(dialog.fetchButton()->isEnabled());
    dialog.dataCentreField()->setCurrentText("ftp://example.org");
    dialog.fetchButton()->click();
    EXPECT_FALSE(dialog.isFetching());
    EXPECT_TRUE(dialog.statusLabel()->text().startsWith("ftp://example.org is no data centre"));
}
