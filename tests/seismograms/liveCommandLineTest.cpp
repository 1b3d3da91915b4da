#include "commandLineRun.h"
#include "miniSeedPacker.h"
#include "qtPrinters.h"
#include "scopedEnvironment.h"
#include "seedLinkFixtureServer.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <numeric>

namespace {

const QString twoStations = QStringLiteral("Title;Two stations\n"
                                           "IU;ANMO;00;BHZ;Albuquerque\n"
                                           "too;short\n"
                                           "II;PFO;10;LHZ;Pinon Flat;0.01;1\n");

} // namespace

TEST(LiveCommandLine, PrintsOneRequestALineFromAFileOrStandardInput) {
    const scopedEnvironment host("QUORVEL_TIMESERIES_URL", QStringLiteral("https://ts.example"));
    QTemporaryDir folder;
    const QString list = folder.filePath(QStringLiteral("channels.txt"));
    QFile file(list);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(twoStations.toUtf8());
    file.close();

    commandLineRun r = runQuorvel({"--channels", list, "--print", "requests"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, "https://ts.example/irisws/timeseries/1/query?net=IU&sta=ANMO&loc=00&cha=BHZ"
                     "&start=2012-05-01T00:00:00&end=2012-05-01T01:00:00&scale=AUTO&deci=1.0"
                     "&output=sacbl\n"
                     "https://ts.example/irisws/timeseries/1/query?net=II&sta=PFO&loc=10&cha=LHZ"
                     "&start=2012-05-01T00:00:00&end=2012-05-01T01:00:00&scale=AUTO&deci=1.0"
                     "&output=sacbl\n");

    r = runQuorvel({"--channels", "-", "--start", "2024-02-29 23:30:00", "--duration", "-90",
                    "--sample-rate", "*", "--print", "requests"},
                   twoStations);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    // BHZ is capped at 72 minutes; LHZ is not.
    EXPECT_TRUE(lines[0].endsWith("&start=2024-02-29T22:18:00&end=2024-02-29T23:30:00"
                                  "&scale=AUTO&output=sacbl"))
        << qPrintable(lines[0]);
    EXPECT_TRUE(lines[1].contains("&start=2024-02-29T22:00:00&end=2024-02-29T23:30:00&"))
        << qPrintable(lines[1]);

    r = runQuorvel({"--channels", "-", "--sample-rate", "20", "--live", "--duration", "5",
                    "--print", "requests"},
                   twoStations);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.contains("&deci=20.0&")) << qPrintable(r.out);
    EXPECT_FALSE(r.out.contains("2012-05-01")) << qPrintable(r.out);
}

TEST(LiveCommandLine, BadOptionsAndListsWithoutAChannelExitWith2) {
    const auto expectRefused = [](const QStringList& arguments, const QString& input) {
        const commandLineRun r = runQuorvel(arguments, input);
        EXPECT_EQ(r.status, 2) << qPrintable(arguments.join(u' '));
        EXPECT_FALSE(r.err.isEmpty()) << qPrintable(arguments.join(u' '));
        EXPECT_TRUE(r.out.isEmpty()) << qPrintable(arguments.join(u' '));
    };
    expectRefused({"--channels", "-", "--print", "requests"}, "Title;x\ntoo;short\n\n");
    expectRefused({"--channels", "/no/such/list", "--print", "requests"}, twoStations);
    for (const QStringList& bad : {
             QStringList{"--channels", "-"},
             QStringList{"--channels", "-", "--print", "samples"},
             QStringList{"--channels", "-", "--start", "2012-05-01", "--print", "requests"},
             QStringList{"--channels", "-", "--duration", "an hour", "--print", "requests"},
             QStringList{"--channels", "-", "--duration", "0", "--print", "requests"},
             QStringList{"--channels", "-", "--sample-rate", "-1", "--print", "requests"},
             QStringList{"--channels", "-", "--live", "--start", "2012-05-01 00:00:00", "--print",
                         "requests"},
             QStringList{"--channels", "-", "--sac", "x.sac", "--print", "requests"},
         })
        expectRefused(bad, twoStations);

    const commandLineRun help = runQuorvel({"--help"});
    for (const char* option : {"--channels", "--duration", "--sample-rate", "--live", "requests"})
        EXPECT_TRUE(help.out.contains(QLatin1StringView(option))) << option;
}

TEST(LiveCommandLine, FdsnSourcesPrintBothPostsAndRefuseWhatTheyCannotDo) {
    const scopedEnvironment iris("QUORVEL_FDSN_DATA_IRIS_URL", QString());
    commandLineRun r =
        runQuorvel({"--channels", "-", "--data-source", "fdsn:iris", "--start",
                    "2024-02-29 23:30:00", "--duration", "-90", "--print", "requests"},
                   twoStations + "GE; WLF; ; HHZ; Walferdange\n");
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, "https://service.iris.edu/fdsnws/dataselect/1/query\n"
                     "IU ANMO 00 BHZ 2024-02-29T22:00:00 2024-02-29T23:30:00\n"
                     "II PFO 10 LHZ 2024-02-29T22:00:00 2024-02-29T23:30:00\n"
                     "GE WLF -- HHZ 2024-02-29T22:00:00 2024-02-29T23:30:00\n"
                     "https://service.iris.edu/fdsnws/station/1/query\n"
                     "level=channel\n"
                     "format=text\n"
                     "IU ANMO 00 BHZ 2024-02-29T22:00:00 2024-02-29T23:30:00\n"
                     "II PFO 10 LHZ 2024-02-29T22:00:00 2024-02-29T23:30:00\n"
                     "GE WLF -- HHZ 2024-02-29T22:00:00 2024-02-29T23:30:00\n");

    // A typed address, and the data centre's environment override.
    r = runQuorvel({"--channels", "-", "--data-source", "fdsn:http://127.0.0.1:8/centre/",
                    "--print", "requests"},
                   "IU;ANMO;00;BHZ;x\n");
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.out.startsWith("http://127.0.0.1:8/centre/fdsnws/dataselect/1/query\n"))
        << qPrintable(r.out);
    const scopedEnvironment resif("QUORVEL_FDSN_DATA_RESIF_URL", "http://127.0.0.1:7");
    r = runQuorvel({"--channels", "-", "--data-source", "fdsn:resif", "--print", "requests"},
                   "IU;ANMO;00;BHZ;x\n");
    EXPECT_TRUE(r.out.contains("\nhttp://127.0.0.1:7/fdsnws/station/1/query\n"))
        << qPrintable(r.out);

    // "timeseries" is the default.
    EXPECT_EQ(runQuorvel({"--channels", "-", "--data-source", "timeseries", "--print", "requests"},
                         twoStations)
                  .out,
              runQuorvel({"--channels", "-", "--print", "requests"}, twoStations).out);

    for (const QStringList& bad : {
             QStringList{"--data-source", "fdsn:nowhere"},
             QStringList{"--data-source", "fdsn:ftp://data.example.org"},
             QStringList{"--data-source", "fdsn:iris", "--live"},
             QStringList{"--data-source", "fdsn:iris", "--sample-rate", "1"},
             QStringList{"--ground-motion"},
         }) {
        r = runQuorvel(QStringList{"--channels", "-", "--print", "requests"} + bad, twoStations);
        EXPECT_EQ(r.status, 2) << qPrintable(bad.join(u' '));
        EXPECT_TRUE(r.out.isEmpty()) << qPrintable(bad.join(u' '));
        EXPECT_FALSE(r.err.isEmpty()) << qPrintable(bad.join(u' '));
    }
    const commandLineRun help = runQuorvel({"--help"});
    for (const char* option : {"--data-source", "--ground-motion", "fdsn:NAME"})
        EXPECT_TRUE(help.out.contains(QLatin1StringView(option))) << option;
}

namespace {

const QString anmoFile = QStringLiteral(QUORVEL_TEST_DATA "/mseed/obspy_dataselect_example.mseed");

// A SeedLink server with IU.ANMO.00.BHZ from 2010-02-27 06:30 to 06:40 UTC (a data centre's
// records) and XX.PACK..BHZ, 1000 samples 0 … 999 at 20 Hz from 06:30.
struct seedLinkServer {
    seedLinkFixtureServer server;
    QString source() const { return QStringLiteral("seedlink:") + server.server(); }
    seedLinkServer() {
        QFile anmo(anmoFile);
        EXPECT_TRUE(anmo.open(QIODevice::ReadOnly));
        server.addRecords(anmo.readAll());
        miniSeedPacker packer;
        packer.station = "PACK";
        packer.location = "";
        packer.startUs = 1267252200000000; // 2010-02-27 06:30:00
        std::vector<int32_t> ramp(1000);
        std::iota(ramp.begin(), ramp.end(), 0);
        server.addRecords(packer.pack(ramp));
    }
};

const QString streamedList = QStringLiteral("Title;Streamed\n"
                                            "IU;ANMO;00;BHZ;Albuquerque\n"
                                            "XX;PACK;--;BHZ;Packed\n"
                                            "IU;NONE;00;BHZ;Nowhere\n");

} // namespace

TEST(LiveCommandLine, SeedLinkSourcesPrintTheCommandsTheClientSends) {
    commandLineRun r = runQuorvel(
        {"--channels", "-", "--data-source", "seedlink:rtserve.resif.fr", "--print", "requests"},
        twoStations + "GE; WLF; ; HHZ; Walferdange\nIU;ANMO;10;BH1;x\n");
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, "HELLO\n"
                     "STATION ANMO IU\nSELECT 00BHZ\nSELECT 10BH1\nDATA\n"
                     "STATION PFO II\nSELECT 10LHZ\nDATA\n"
                     "STATION WLF GE\nSELECT --HHZ\nDATA\n"
                     "END\n");

    r = runQuorvel({"--channels", "-", "--data-source", "seedlink:127.0.0.1:18001", "--start",
                    "2024-02-29 23:30:00", "--duration", "-90", "--print", "requests"},
                   twoStations);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, "HELLO\n"
                     "STATION ANMO IU\nSELECT 00BHZ\n"
                     "TIME 2024,02,29,22,00,00 2024,02,29,23,30,00\n"
                     "STATION PFO II\nSELECT 10LHZ\n"
                     "TIME 2024,02,29,22,00,00 2024,02,29,23,30,00\n"
                     "END\n");

    // --live: from so many minutes ago, then on.
    r = runQuorvel({"--channels", "-", "--data-source", "seedlink:localhost", "--live",
                    "--duration", "5", "--print", "requests"},
                   "IU;ANMO;00;BHZ;x\n");
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << qPrintable(r.out);
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^TIME \\d{4},\\d\\d,\\d\\d,\\d\\d,\\d\\d,\\d\\d$"))
            .match(lines[3])
            .hasMatch())
        << qPrintable(lines[3]);

    for (const QStringList& bad : {
             QStringList{"--data-source", "seedlink:host:99999"},
             QStringList{"--data-source", "seedlink:"},
             QStringList{"--data-source", "seedlink:host", "--sample-rate", "1"},
             QStringList{"--data-source", "seedlink:host", "--ground-motion"},
             QStringList{"--data-source", "seedlink:host", "--listen", "0"},
             QStringList{"--data-source", "seedlink:host", "--listen", "ten"},
             QStringList{"--data-source", "seedlink:host", "--listen", "86401"},
             QStringList{"--listen", "10"},
             QStringList{"--data-source", "fdsn:iris", "--listen", "10"},
         }) {
        r = runQuorvel(QStringList{"--channels", "-", "--print", "requests"} + bad, twoStations);
        EXPECT_EQ(r.status, 2) << qPrintable(bad.join(u' '));
        EXPECT_TRUE(r.out.isEmpty()) << qPrintable(bad.join(u' '));
        EXPECT_FALSE(r.err.isEmpty()) << qPrintable(bad.join(u' '));
    }
    r = runQuorvel({"--channels", "-", "--listen", "10", "--print", "requests"}, twoStations);
    EXPECT_EQ(r.err, "Quorvel: --listen is for a seedlink: source, whose stream is collected for "
                     "that long; the other sources answer once\nTry 'Quorvel --help'.\n");
    const commandLineRun help = runQuorvel({"--help"});
    for (const char* option : {"--listen", "seedlink:HOST[:PORT]"})
        EXPECT_TRUE(help.out.contains(QLatin1StringView(option))) << option;
}

TEST(LiveCommandLine, SeedLinkStreamsGiveTheSummaryAndTheSacFilesOfTheFilesRecords) {
    seedLinkServer fixture;
    // The window ends with the server's END, long before the listening time.
    commandLineRun r = runQuorvel({"--channels", "-", "--data-source", fixture.source(), "--start",
                                   "2010-02-27 06:30:00", "--duration", "10", "--listen", "250",
                                   "--print", "summary"},
                                  streamedList);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    const commandLineRun file = runQuorvel(
        {"--waveforms", QStringLiteral(QUORVEL_TEST_DATA "/mseed/obspy_dataselect_example.mseed"),
         "--print", "summary"});
    ASSERT_EQ(file.status, 0);
    EXPECT_EQ(r.out, file.out + "XX.PACK..BHZ\t2010-02-27T06:30:00.000Z\t20\t1000\t0\t999\t\t\n");
    EXPECT_EQ(r.err, "Quorvel: IU.NONE.00.BHZ: no data\n");
    EXPECT_EQ(fixture.server.commands().mid(0, 3),
              (QStringList{"HELLO", "STATION ANMO IU", "SELECT 00BHZ"}));
    EXPECT_EQ(fixture.server.commands().last(), "END");

    // The SAC files are those of the file's own trace, byte for byte.
    QTemporaryDir streamed, read;
    r = runQuorvel({"--channels", "-", "--data-source", fixture.source(), "--start",
                    "2010-02-27 06:30:00", "--duration", "10", "--listen", "250", "--export-sac",
                    streamed.path()},
                   streamedList);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    ASSERT_EQ(runQuorvel({"--waveforms", anmoFile, "--export-sac", read.path()}).status, 0);
    EXPECT_EQ(
        QDir(streamed.path()).entryList(QDir::Files),
        (QStringList{"IU.ANMO.00.BHZ.2010.058.063000.SAC", "XX.PACK..BHZ.2010.058.063000.SAC"}));
    QFile a(streamed.filePath("IU.ANMO.00.BHZ.2010.058.063000.SAC")),
        b(read.filePath("IU.ANMO.00.BHZ.2010.058.063000.SAC"));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly));
    ASSERT_TRUE(b.open(QIODevice::ReadOnly));
    EXPECT_EQ(a.readAll(), b.readAll());

    // The live picture of the window.
    QTemporaryDir pictures;
    const QString picture = pictures.filePath("live.png");
    r = runQuorvel({"--channels", "-", "--data-source", fixture.source(), "--start",
                    "2010-02-27 06:30:00", "--duration", "10", "--render", "live", "--output",
                    picture, "--size", "400x300"},
                   streamedList);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(QImage(picture).size(), QSize(400, 300));
}

TEST(LiveCommandLine, ASeedLinkStreamWithoutDataExitsWith1) {
    seedLinkServer fixture;
    // Every station refused: the stream ends at once.
    commandLineRun r = runQuorvel({"--channels", "-", "--data-source", fixture.source(), "--listen",
                                   "250", "--print", "summary"},
                                  "IU;NONE;00;BHZ;Nowhere\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, "Quorvel: IU.NONE.00.BHZ: no data\n"
                     "Quorvel: no channel gave data from the SeedLink server " +
                         fixture.server.server() + "\n");
    // A window the server has nothing of ends with its END.
    r = runQuorvel({"--channels", "-", "--data-source", fixture.source(), "--start",
                    "2012-05-01 00:00:00", "--listen", "250", "--export-sac", "/nonexistent"},
                   streamedList);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("IU.ANMO.00.BHZ: no data")) << qPrintable(r.err);
}
