#include "commandLineRun.h"
#include "fixtureServer.h"
#include "scopedEnvironment.h"
#include "seismicOrigin.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString seism = QStringLiteral(QUORVEL_TEST_DATA "/sac/obspy_seism.sac");

} // namespace

TEST(CommandLine, HelpVersionAndBadArguments) {
    EXPECT_TRUE(quorvelCommandLine::opensWindows({QStringLiteral("Quorvel")}));
    EXPECT_FALSE(
        quorvelCommandLine::opensWindows({QStringLiteral("Quorvel"), QStringLiteral("--help")}));
    const commandLineRun help = runQuorvel({QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--sac", "--region", "--print", "--highpass", "--poles", "--passes"})
        EXPECT_TRUE(help.out.contains(QLatin1StringView(option))) << option;
    EXPECT_EQ(runQuorvel({QStringLiteral("--version")}).status, 0);

    for (const QStringList& bad :
         {QStringList{QStringLiteral("--bogus")}, QStringList{QStringLiteral("stray")},
          QStringList{QStringLiteral("--region"), QStringLiteral("48")},
          QStringList{QStringLiteral("--region"), QStringLiteral("north"), QStringLiteral("12")},
          QStringList{QStringLiteral("--sac"), seism},
          QStringList{QStringLiteral("--sac"), seism, QStringLiteral("--print"),
                      QStringLiteral("all")},
          QStringList{QStringLiteral("--sac"), seism, QStringLiteral("--poles"),
                      QStringLiteral("11"), QStringLiteral("--print"), QStringLiteral("header")},
          QStringList{QStringLiteral("--sac"), seism, QStringLiteral("--passes"),
                      QStringLiteral("3"), QStringLiteral("--print"), QStringLiteral("header")},
          QStringList{QStringLiteral("--sac"), seism, QStringLiteral("--highpass"),
                      QStringLiteral("fast"), QStringLiteral("--print"),
                      QStringLiteral("header")}}) {
        const commandLineRun r = runQuorvel(bad);
        EXPECT_EQ(r.status, 2) << qPrintable(bad.join(u' '));
        EXPECT_FALSE(r.err.isEmpty());
    }
}

TEST(CommandLine, RegionsOfPointsAndOfStandardInput) {
    EXPECT_EQ(
        runQuorvel({QStringLiteral("--region"), QStringLiteral("48"), QStringLiteral("12")}).out,
        "543\t36\tGERMANY\tNorthwestern Europe\n");
    EXPECT_EQ(
        runQuorvel({QStringLiteral("--region"), QStringLiteral("-42.45"), QStringLiteral("171.21")})
            .out,
        "162\t11\tSOUTH ISLAND, NEW ZEALAND\tNew Zealand Region\n");

    const commandLineRun r =
        runQuorvel({QStringLiteral("--region"), QStringLiteral("-")},
                   QStringLiteral("48 12\n\n  -77.85   166.68 \nsomewhere\n95 0\n"));
    EXPECT_EQ(r.out, "543\t36\tGERMANY\tNorthwestern Europe\n"
                     "727\t50\tVICTORIA LAND, ANTARCTICA\tAntarctica\n"
                     "0\t0\tUNKNOWN REGION\tUnknown Region\n");
    EXPECT_TRUE(r.err.contains("line 4"));
    EXPECT_EQ(r.status, 1);
}

TEST(CommandLine, SeismogramHeaderAndProcessedSamples) {
    const commandLineRun header = runQuorvel(
        {QStringLiteral("--sac"), seism, QStringLiteral("--print"), QStringLiteral("header")});
    EXPECT_EQ(header.status, 0);
    const QStringList lines = header.out.split(u'\n', Qt::SkipEmptyParts);
    QStringList names;
    for (const QString& line : lines)
        names << line.section(u' ', 0, 0);
    EXPECT_EQ(names, (QStringList{"npts", "delta", "b", "e", "depmin", "depmax", "reference",
                                  "kstnm", "knetwk", "kcmpnm", "evla", "evlo", "evdp", "gcarc",
                                  "az", "baz", "region"}));
    EXPECT_TRUE(lines.contains("npts 1000"));
    EXPECT_TRUE(lines.contains("reference 1981-03-29T10:38:14.000Z"));
    EXPECT_TRUE(lines.contains("region OFF COAST OF WASHINGTON"));

    const commandLineRun tapered = runQuorvel(
        {QStringLiteral("--sac"), seism, QStringLiteral("--remove-mean"), QStringLiteral("--taper"),
         QStringLiteral("--print"), QStringLiteral("samples")});
    EXPECT_EQ(tapered.status, 0);
    const QStringList values = tapered.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(values.size(), 1000);
    EXPECT_EQ(values.first(), "0");
    EXPECT_EQ(values.last(), "0");

    // One causal 4-pole high pass at 1 Hz prints the SciPy reference's first case.
    const commandLineRun filtered =
        runQuorvel({QStringLiteral("--sac"), seism, QStringLiteral("--highpass"),
                    QStringLiteral("1"), QStringLiteral("--passes"), QStringLiteral("1"),
                    QStringLiteral("--print"), QStringLiteral("samples")});
    EXPECT_EQ(filtered.status, 0);
    EXPECT_NEAR(filtered.out.section(u'\n', 0, 0).toDouble(), -0.0896115242, 1e-6);

    const commandLineRun notSac = runQuorvel(
        {QStringLiteral("--sac"), QStringLiteral(QUORVEL_TEST_DATA "/sac/obspy_testxy.sac"),
         QStringLiteral("--print"), QStringLiteral("header")});
    EXPECT_EQ(notSac.status, 2);
    EXPECT_TRUE(notSac.err.contains("not a SAC seismogram"));

    const commandLineRun aboveNyquist =
        runQuorvel({QStringLiteral("--sac"), seism, QStringLiteral("--lowpass"),
                    QStringLiteral("70"), QStringLiteral("--print"), QStringLiteral("samples")});
    EXPECT_EQ(aboveNyquist.status, 1);
    EXPECT_TRUE(aboveNyquist.out.isEmpty());
}

TEST(CommandLine, CataloguesFromFilesAsTableSummaryAndClipboard) {
    const QString feed =
        QStringLiteral(QUORVEL_TEST_DATA "/feeds/sgoggins_2.5_month_20251029.geojson");
    const commandLineRun table =
        runQuorvel({QStringLiteral("--source"), QStringLiteral("usgs"), QStringLiteral("--input"),
                    feed, QStringLiteral("--print"), QStringLiteral("table")});
    EXPECT_EQ(table.status, 0);
    const QStringList rows = table.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 1 + 186);
    EXPECT_EQ(rows.at(0).split(u'\t').size(), 10);
    EXPECT_TRUE(rows.at(1).startsWith("2025-10-29 16:46:30 +0000\tUSGS\t 64.744\t -17.086\t 10.0\t "
                                      " 5.4\tUSGS-us\tus6000rk65\tICELAND\t"));

    const commandLineRun summary =
        runQuorvel({QStringLiteral("--source"), QStringLiteral("usgs"), QStringLiteral("--input"),
                    feed, QStringLiteral("--min-mag"), QStringLiteral("7"),
                    QStringLiteral("--print"), QStringLiteral("summary")});
    EXPECT_EQ(summary.status, 0);
    EXPECT_TRUE(summary.out.contains(
        "identified and located 2 seismic events with magnitudes greater than or equal to 7.0. "));
    EXPECT_TRUE(summary.out.contains("with location: DRAKE PASSAGE."));

    const commandLineRun clipboard = runQuorvel(
        {QStringLiteral("--source"), QStringLiteral("fdsn"), QStringLiteral("--input"),
         QStringLiteral(QUORVEL_TEST_DATA "/feeds/stream2segment_event_request_sample_iris.txt"),
         QStringLiteral("--print"), QStringLiteral("clipboard")});
    EXPECT_EQ(clipboard.status, 0);
    EXPECT_TRUE(clipboard.out.startsWith(seismicOrigin::headingsForSeparatedString()));
    EXPECT_TRUE(clipboard.out.contains("2011-01-08 00:04:29 +0000 | 19.144 |  50.118 |  0.00 | "
                                       "2.00 | ML  | IPEC | 4258220 | ISC | POLAND\n"));

    for (const QStringList& bad :
         {QStringList{QStringLiteral("--source"), QStringLiteral("usgs"), QStringLiteral("--print"),
                      QStringLiteral("map")},
          QStringList{QStringLiteral("--source"), QStringLiteral("nowhere"),
                      QStringLiteral("--print"), QStringLiteral("table")},
          QStringList{QStringLiteral("--source"), QStringLiteral("usgs"), QStringLiteral("--input"),
                      QStringLiteral("/no/such/file"), QStringLiteral("--print"),
                      QStringLiteral("table")},
          QStringList{QStringLiteral("--source"), QStringLiteral("usgs"),
                      QStringLiteral("--min-mag"), QStringLiteral("big"), QStringLiteral("--print"),
                      QStringLiteral("table")},
          QStringList{QStringLiteral("--source"), QStringLiteral("fdsn"),
                      QStringLiteral("--search"), QStringLiteral("circle"),
                      QStringLiteral("--print"), QStringLiteral("table")},
          QStringList{QStringLiteral("--source"), QStringLiteral("fdsn"), QStringLiteral("--start"),
                      QStringLiteral("yesterday"), QStringLiteral("--print"),
                      QStringLiteral("table")}})
        EXPECT_EQ(runQuorvel(bad).status, 2) << qPrintable(bad.join(u' '));
}

TEST(CommandLine, CataloguesDownloadedFromTheConfiguredService) {
    fixtureServer server;
    const scopedEnvironment fdsnService("QUORVEL_FDSN_EVENT_URL", server.baseURL());
    QFile answer(QStringLiteral(QUORVEL_TEST_DATA "/feeds/ingv-mcp_ingv_emilia_2012-05-29.txt"));
    ASSERT_TRUE(answer.open(QIODevice::ReadOnly));
    server.setAnswer(QStringLiteral("/fdsnws/event/1/query"), {200, answer.readAll()});
    const commandLineRun r = runQuorvel(
        {QStringLiteral("--source"), QStringLiteral("fdsn"), QStringLiteral("--search"),
         QStringLiteral("annulus"), QStringLiteral("--lat"), QStringLiteral("-33.5"),
         QStringLiteral("--lon"), QStringLiteral("-70.25"), QStringLiteral("--max-radius"),
         QStringLiteral("12"), QStringLiteral("--min-mag"), QStringLiteral("1.5"),
         QStringLiteral("--start"), QStringLiteral("2012-05-29"), QStringLiteral("--end"),
         QStringLiteral("2012-05-30T00:00:00"), QStringLiteral("--print"),
         QStringLiteral("table")});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out.count(u'\n'), 1 + 8);
    ASSERT_EQ(server.requests().size(), 1);
    EXPECT_EQ(server.requests().first(),
              "/fdsnws/event/1/"
              "query?starttime=2012-05-29T00:00:00&endtime=2012-05-30T00:00:00&minmag=1.5&"
              "maxmag=20.0&mindepth=0&maxdepth=900&lat=-33.500&lon=-70.250&minradius=0.000&"
              "maxradius=12.000&format=text");

    server.setAnswer(QStringLiteral("/fdsnws/event/1/query"), {500, "down"});
    const commandLineRun failed = runQuorvel({QStringLiteral("--source"), QStringLiteral("fdsn"),
                                              QStringLiteral("--print"), QStringLiteral("table")});
    EXPECT_EQ(failed.status, 2);
    EXPECT_TRUE(failed.err.contains("could not be loaded: HTTP status 500"));
}

TEST(CommandLine, FdsnServiceByNameOrAddress) {
    fixtureServer server;
    const scopedEnvironment noReplacement("QUORVEL_FDSN_EVENT_URL", QString());
    const scopedEnvironment usgs("QUORVEL_FDSN_USGS_URL", server.baseURL() + "/usgs");
    const scopedEnvironment isc("QUORVEL_FDSN_ISC_URL", server.baseURL() + "/isc");
    QFile answer(
        QStringLiteral(QUORVEL_TEST_DATA "/feeds/stream2segment_event_request_sample_iris.txt"));
    ASSERT_TRUE(answer.open(QIODevice::ReadOnly));
    const QByteArray events = answer.readAll();
    for (const char* prefix : {"/usgs", "/isc", "/typed"})
        server.setAnswer(QLatin1StringView(prefix) + QStringLiteral("/fdsnws/event/1/query"),
                         {200, events});
    const QStringList print = {QStringLiteral("--print"), QStringLiteral("table")};
    const QStringList fdsn = {QStringLiteral("--source"), QStringLiteral("fdsn")};

    const std::pair<QStringList, const char*> asked[] = {
        {{}, "/usgs/"}, // the default
        {{QStringLiteral("--service"), QStringLiteral("isc")}, "/isc/"},
        {{QStringLiteral("--service"), server.baseURL() + QStringLiteral("/typed/")}, "/typed/"}};
    for (const auto& [service, prefix] : asked) {
        const commandLineRun r = runQuorvel(fdsn + service + print);
        EXPECT_EQ(r.status, 0) << qPrintable(r.err);
        EXPECT_EQ(r.out.count(u'\n'), 1 + 4);
        EXPECT_TRUE(server.requests().last().startsWith(QLatin1StringView(prefix) +
                                                        QStringLiteral("fdsnws/event/1/query?")))
            << qPrintable(server.requests().last());
    }

    const qsizetype seen = server.requests().size();
    for (const QString& bad : {QStringLiteral("nowhere"), QStringLiteral("ftp://events.example"),
                               QStringLiteral("USGS"), QStringLiteral("")}) {
        const commandLineRun r =
            runQuorvel(fdsn + QStringList{QStringLiteral("--service"), bad} + print);
        EXPECT_EQ(r.status, 2) << qPrintable(bad);
        EXPECT_TRUE(r.err.contains(
            "--service takes usgs, emsc, ingv, gfz, isc, iris or an http or https address"))
            << qPrintable(r.err);
    }
    EXPECT_EQ(server.requests().size(), seen);

    // The pop-up's past week from the INGV's service reads a saved answer like the search.
    const commandLineRun saved = runQuorvel(
        {QStringLiteral("--source"), QStringLiteral("ingv-fdsn"), QStringLiteral("--input"),
         QStringLiteral(QUORVEL_TEST_DATA "/feeds/ingv-mcp_ingv_emilia_2012-05-29.txt"),
         QStringLiteral("--print"), QStringLiteral("table")});
    EXPECT_EQ(saved.status, 0) << qPrintable(saved.err);
    EXPECT_EQ(saved.out.count(u'\n'), 1 + 8);
}

TEST(CommandLine, EuropeanCataloguesAndPdeFromFiles) {
    const commandLineRun ingv =
        runQuorvel({QStringLiteral("--source"), QStringLiteral("ingv"), QStringLiteral("--input"),
                    QStringLiteral(QUORVEL_TEST_DATA "/feeds/ingv_events_page.html"),
                    QStringLiteral("--print"), QStringLiteral("table")});
    EXPECT_EQ(ingv.status, 0);
    EXPECT_EQ(ingv.out.count(u'\n'), 1 + 3);
    EXPECT_TRUE(ingv.out.contains("\tINGV\t 42.712\t  13.201\t  9.3\t  2.3\tINGV\t8863681\t"));

    QTemporaryDir dir;
    QFile emscFile(dir.filePath(QStringLiteral("emsc.csv")));
    ASSERT_TRUE(emscFile.open(QIODevice::WriteOnly));
    emscFile.write(
        "Date;Time;Lat;Lon;Depth;T;MagType;Mag;Region;Update;Id;x\n" +
        QDateTime::currentDateTimeUtc().addSecs(-7200).toString("yyyy-MM-dd;HH:mm:ss").toLatin1() +
        ";40.1;20.2;10;;ML;3.0;ALBANIA;x;1;\n");
    emscFile.close();
    const commandLineRun emsc =
        runQuorvel({QStringLiteral("--source"), QStringLiteral("emsc"), QStringLiteral("--input"),
                    emscFile.fileName(), QStringLiteral("--print"), QStringLiteral("table")});
    EXPECT_EQ(emsc.status, 0);
    EXPECT_TRUE(emsc.out.contains("\tCSEM_CSV\t 40.100\t  20.200\t 10.0\t  3.0\tCSEM\t"));

    QFile pdeFile(dir.filePath(QStringLiteral("pde.html")));
    ASSERT_TRUE(pdeFile.open(QIODevice::WriteOnly));
    QString line(116, u' ');
    line.replace(1, 5, QStringLiteral("PDE  "));
    line.replace(6, 19, QStringLiteral("  20110311054646.81"));
    line.replace(27, 18, QStringLiteral(" 38.297 142.373 29"));
    line.replace(54, 3, QStringLiteral("6.1"));
    pdeFile.write("<html><body><pre>heading\n" + line.toLatin1() + "\n</pre></body></html>");
    pdeFile.close();
    const commandLineRun pde =
        runQuorvel({QStringLiteral("--source"), QStringLiteral("pde"), QStringLiteral("--input"),
                    pdeFile.fileName(), QStringLiteral("--print"), QStringLiteral("clipboard")});
    EXPECT_EQ(pde.status, 0);
    EXPECT_TRUE(pde.out.contains(
        "2011-03-11 05:46:46 +0000 | 142.373 |  38.297 |  29.00 | 6.10 | mb  | USGS | "));
}

namespace {

// Pixels of the picture that are the oldest age class's yellow, symbols drawn at half opacity
// over whatever lies beneath: red and green high, blue low.
int yellowPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 150 && c.green() > 150 && c.blue() < 90;
        }
    return count;
}

TEST(CommandLine, RendersTheLoadedEventsOnTheMapAndTheTimeLine) {
    QTemporaryDir dir;
    const QString feed =
        QStringLiteral(QUORVEL_TEST_DATA "/feeds/sgoggins_2.5_month_20251029.geojson");
    const QString map = dir.filePath(QStringLiteral("map.png"));
    commandLineRun r = runQuorvel({QStringLiteral("--source"), QStringLiteral("usgs"),
                                   QStringLiteral("--input"), feed, QStringLiteral("--render"),
                                   QStringLiteral("map"), QStringLiteral("--output"), map,
                                   QStringLiteral("--size"), QStringLiteral("800x420")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QImage picture(map);
    ASSERT_EQ(picture.size(), QSize(800, 420));
    // The feed's events are over a year old: every symbol is yellow.
    EXPECT_GT(yellowPixels(picture), 2000);

    // An empty feed draws the same map without a symbol.
    QFile empty(dir.filePath(QStringLiteral("empty.geojson")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.write(R"({"type":"FeatureCollection","features":[]})");
    empty.close();
    const QString bare = dir.filePath(QStringLiteral("bare.png"));
    r = runQuorvel({QStringLiteral("--source"), QStringLiteral("usgs"), QStringLiteral("--input"),
                    empty.fileName(), QStringLiteral("--render"), QStringLiteral("map"),
                    QStringLiteral("--output"), bare, QStringLiteral("--size"),
                    QStringLiteral("800x420")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_LT(yellowPixels(QImage(bare)), 200);

    // The time line as PDF; then the arguments it refuses.
    const QString timeLine = dir.filePath(QStringLiteral("timeline.pdf"));
    r = runQuorvel({QStringLiteral("--source"), QStringLiteral("usgs"), QStringLiteral("--input"),
                    feed, QStringLiteral("--render"), QStringLiteral("timeline"),
                    QStringLiteral("--output"), timeLine});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    QFile pdf(timeLine);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
    for (const QStringList& wrong :
         {QStringList{QStringLiteral("--render"), QStringLiteral("globe"),
                      QStringLiteral("--output"), map},
          QStringList{QStringLiteral("--render"), QStringLiteral("map"), QStringLiteral("--output"),
                      dir.filePath(QStringLiteral("map.gif"))},
          QStringList{QStringLiteral("--render"), QStringLiteral("map"), QStringLiteral("--output"),
                      map, QStringLiteral("--size"), QStringLiteral("99999x10")}}) {
        r = runQuorvel(QStringList{QStringLiteral("--source"), QStringLiteral("usgs"),
                                   QStringLiteral("--input"), feed} +
                       wrong);
        EXPECT_EQ(r.status, 2) << wrong.join(u' ').toStdString();
    }
    EXPECT_EQ(runQuorvel({QStringLiteral("--render"), QStringLiteral("map")}).status, 2);
}

} // namespace
