#include "commandLineRun.h"
#include "qtPrinters.h"
#include "scopedEnvironment.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

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
             QStringList{"--data-source", "seedlink:rtserve.resif.fr"},
         }) {
        r = runQuorvel(QStringList{"--channels", "-", "--print", "requests"} + bad, twoStations);
        EXPECT_EQ(r.status, 2) << qPrintable(bad.join(u' '));
        EXPECT_TRUE(r.out.isEmpty()) << qPrintable(bad.join(u' '));
        EXPECT_FALSE(r.err.isEmpty()) << qPrintable(bad.join(u' '));
    }
    r = runQuorvel(
        {"--channels", "-", "--data-source", "seedlink:rtserve.resif.fr", "--print", "requests"},
        twoStations);
    EXPECT_EQ(r.err, "Quorvel: SeedLink servers stream live data, which this version cannot read "
                     "yet; use timeseries or an fdsn: source\n");
    const commandLineRun help = runQuorvel({"--help"});
    for (const char* option : {"--data-source", "--ground-motion", "fdsn:NAME"})
        EXPECT_TRUE(help.out.contains(QLatin1StringView(option))) << option;
}
