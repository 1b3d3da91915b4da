#include "CSEM_QueryController.h"
#include "INGV_QueryController.h"
#include "PDE_QueryController.h"
#include "fixtureServer.h"
#include "logCapture.h"
#include "scopedEnvironment.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray dataFile(const char* name) {
    QFile f(QStringLiteral(QUORVEL_TEST_DATA "/feeds/") + QLatin1StringView(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

QStringList eventIDs(const originList& origins) {
    QStringList ids;
    for (const auto& o : origins)
        ids << o->eventID();
    return ids;
}

// A compressed PDE result line: 116 characters with the fields at their columns.
QString pdeLine(int length = 116) {
    QString line(length, u' ');
    auto put = [&line](int at, const char* text) {
        const QString t = QString::fromLatin1(text);
        line.replace(at, t.size(), t);
    };
    put(1, "PDE-W");
    put(6, "  2011");
    put(12, "03");
    put(14, "11");
    put(16, "05");
    put(18, "46");
    put(20, "46.81");
    put(27, " 38.297");
    put(34, " 142.373");
    put(42, " 29");
    put(54, "6.1");
    put(57, "97");
    put(59, "8.1Z");
    put(63, "12");
    put(65, " 9.1");
    put(69, "MW");
    put(71, "GCMT ");
    put(76, " 8.9");
    put(80, "MW");
    put(82, "UCMT ");
    put(94, "C");
    put(103, "T");
    return line.left(length);
}

const QString heading = QStringLiteral(" CAT  YEAR MO DA ORIG TIME  LAT    LONG   DEP  MAGNITUDE");

} // namespace

TEST(IngvTable, RowsOfBothEventTablesWithinTheLimits) {
    INGV_QueryController c;
    EXPECT_EQ(c.minMagnitude(), 2.0f);
    EXPECT_EQ(c.minLongitude(), 6.25f);
    const originList origins = c.parseINGVPage(dataFile("ingv_events_page.html"));
    EXPECT_EQ(eventIDs(origins), (QStringList{"8863681", "8863652", "8863600"}));
    const seismicOrigin& o = *origins.first();
    EXPECT_EQ(o.catalog(), "INGV");
    EXPECT_EQ(o.locationContributor(), "INGV");
    EXPECT_EQ(o.originDateTime(),
              QDateTime(QDate(2026, 12, 7), QTime(22, 41, 5), QTimeZone::utc()));
    EXPECT_FLOAT_EQ(o.latitude(), 42.7123f);
    EXPECT_FLOAT_EQ(o.longitude(), 13.201f);
    EXPECT_FLOAT_EQ(o.depth(), 9.3f);
    EXPECT_EQ(o.magnitude_type(), "ML");
    EXPECT_FLOAT_EQ(o.magnitude(), 2.3f);
    EXPECT_EQ(o.shortFlinnEngdahlString(), "CENTRAL ITALY");
    EXPECT_EQ(origins.at(1)->magnitude_type(), "Mw");
    EXPECT_EQ(origins.at(2)->magnitude(), 2.0f); // the lower limit is kept

    EXPECT_TRUE(c.parseINGVPage("<html><body><p>maintenance</p></body></html>").isEmpty());
    EXPECT_TRUE(c.parseINGVPage("").isEmpty());
}

TEST(IngvTable, LoadThroughTheServiceAndItsFailures) {
    fixtureServer server;
    const scopedEnvironment ingv("QUORVEL_INGV_URL", server.baseURL());
    INGV_QueryController c;
    c.setDownloadTimeoutMs(300);
    server.setAnswer(QStringLiteral("/index.html"),
                     {200, dataFile("ingv_events_page.html"), "text/html"});
    EXPECT_TRUE(c.loadEvents());
    EXPECT_EQ(c.seismicOrigins().size(), 3);
    for (const fixtureServer::answer& bad :
         {fixtureServer::answer{500, "x"},
          fixtureServer::answer{200, "", "text/html", fixtureServer::behaviour::stall},
          fixtureServer::answer{200, dataFile("ingv_events_page.html"), "text/html",
                                fixtureServer::behaviour::cutShort},
          fixtureServer::answer{200, "", "text/html", fixtureServer::behaviour::garbage},
          fixtureServer::answer{200, "<html>no table</html>", "text/html"}}) {
        server.setAnswer(QStringLiteral("/index.html"), bad);
        const logCapture log;
        EXPECT_FALSE(c.loadEvents());
        EXPECT_TRUE(c.seismicOrigins().isEmpty());
        EXPECT_LE(log.problems().size(), 1);
        if (bad.status == 500) {
            EXPECT_TRUE(log.problems().value(0).startsWith(
                "Failed to parse the html. Error: HTTP status 500"));
        }
    }
}

TEST(EmscList, TwelveFieldLinesWithinSevenDaysAndTheLimits) {
    CSEM_QueryController c;
    EXPECT_TRUE(
        c.myURL().endsWith("/Earthquake/?filter=yes&min_lat=30&max_lat=65&min_long=-15&max_long=45&"
                           "min_intens=0&max_intens=8&export=csv"));
    EXPECT_TRUE(CSEM_QueryController::exportURL().toString().endsWith(
        "/Earthquake/?filter=yes&min_lat=30&max_lat=65&min_long=-15&max_long=45&export=csv"));
    const QDateTime now(QDate(2026, 12, 7), QTime(22, 41, 5), QTimeZone::utc());
    const originList origins = c.parseEMSCExport(dataFile("emsc_export.csv"), now);
    QStringList regions;
    for (const auto& o : origins)
        regions << o->csvRegionString();
    EXPECT_EQ(regions,
              (QStringList{"CENTRAL ITALY", "SICILY, ITALY", "DODECANESE IS.-TURKEY BORDER REG",
                           "seven days less a second"}));
    const seismicOrigin& o = *origins.first();
    EXPECT_EQ(o.catalog(), "CSEM_CSV");
    EXPECT_EQ(o.locationContributor(), "CSEM");
    EXPECT_EQ(o.originDateTime(),
              QDateTime(QDate(2026, 12, 7), QTime(22, 41, 5), QTimeZone::utc()));
    EXPECT_FLOAT_EQ(o.latitude(), 42.71f);
    EXPECT_FLOAT_EQ(o.depth(), 9.0f);
    EXPECT_EQ(o.magnitude_type(), "ML");
    EXPECT_FLOAT_EQ(o.magnitude(), 2.3f);
    EXPECT_TRUE(o.flinnEngdahlString().isNull()); // the list names its own regions
}

TEST(EmscList, LoadThroughTheServiceAndItsFailures) {
    fixtureServer server;
    const scopedEnvironment emsc("QUORVEL_EMSC_URL", server.baseURL());
    CSEM_QueryController c;
    c.setDownloadTimeoutMs(300);
    const QByteArray fresh =
        "Date;Time;Lat;Lon;Depth;T;MagType;Mag;Region;Update;Id;x\n" +
        QDateTime::currentDateTimeUtc().addSecs(-3600).toString("yyyy-MM-dd;HH:mm:ss").toLatin1() +
        ";40;20;10;;ML;3.0;ALBANIA;x;1;\n";
    server.setAnswer(QStringLiteral("/Earthquake/"), {200, fresh});
    EXPECT_TRUE(c.loadEvents());
    ASSERT_EQ(c.seismicOrigins().size(), 1);
    EXPECT_TRUE(server.requests().last().endsWith(
        "?filter=yes&min_lat=30&max_lat=65&min_long=-15&max_long=45&export=csv"));
    for (const fixtureServer::answer& bad :
         {fixtureServer::answer{503, "x"},
          fixtureServer::answer{200, "", "text/plain", fixtureServer::behaviour::stall},
          fixtureServer::answer{200, fresh, "text/plain", fixtureServer::behaviour::cutShort},
          fixtureServer::answer{200, "\xff\xfe;;;\n;;;;;;;;;;;\n"}}) {
        server.setAnswer(QStringLiteral("/Earthquake/"), bad);
        const logCapture log;
        EXPECT_FALSE(c.loadEvents());
        EXPECT_TRUE(c.seismicOrigins().isEmpty());
        EXPECT_LE(log.problems().size(), 1);
    }
}

TEST(PdeSearch, GlobalAndBoxRequests) {
    const scopedEnvironment pde("QUORVEL_PDE_URL", QStringLiteral("https://pde.example"));
    PDE_QueryController c;
    c.setEndDate(QDateTime(QDate(2026, 12, 8), QTime(10, 0), QTimeZone::utc()));
    EXPECT_EQ(
        c.buildGlobalSearchURL().toString(),
        "https://pde.example/cgi-bin/epic/epic.cgi?SEARCHMETHOD=1&FILEFORMAT=2&SEARCHRANGE=HH&"
        "SYEAR=1973&SMONTH=1&SDAY=1&EYEAR=2026&EMONTH=12&EDAY=8&LMAG=6.5&UMAG=20.0&NDEP1=0&NDEP2="
        "900&"
        "&IO1=&IO2=&CLAT=0.0&CLON=0.0&CRAD=0.0&SUBMIT=Submit+Search");
    c.setMinLatitude(-10.5f);
    c.setMaxLatitude(20.0f);
    c.setMinLongitude(100.0f);
    c.setMaxLongitude(280.0f);
    c.setMaxDepth(699.9f);
    EXPECT_EQ(
        c.buildBoxSearchURL().toString(),
        "https://pde.example/cgi-bin/epic/epic.cgi?SEARCHMETHOD=2&FILEFORMAT=2&SEARCHRANGE=HH&"
        "SLAT1=20.000&SLAT2=-10.500&SLON1=100.000&SLON2=280.000&"
        "SYEAR=1973&SMONTH=1&SDAY=1&EYEAR=2026&EMONTH=12&EDAY=8&LMAG=6.5&UMAG=20.0&NDEP1=0&NDEP2="
        "699&"
        "&IO1=&IO2=&CLAT=0.0&CLON=0.0&CRAD=0.0&SUBMIT=Submit+Search");
}

TEST(PdeSearch, FixedColumnLines) {
    const QString text = heading + u'\n' + pdeLine() + u'\n' + pdeLine(115) + u'\n' + u'\n';
    const originList origins = PDE_QueryController::parsePDELines(text);
    ASSERT_EQ(origins.size(), 1); // 115 characters are too few
    seismicOrigin& o = *origins.first();
    EXPECT_EQ(o.catalog(), "PDE-W");
    EXPECT_EQ(o.csvRegionString(), "PDE-W");
    EXPECT_EQ(o.locationContributor(), "USGS");
    // 46 s and 81 hundredths.
    EXPECT_EQ(o.originDateTime(),
              QDateTime(QDate(2011, 3, 11), QTime(5, 46, 46, 810), QTimeZone::utc()));
    EXPECT_FLOAT_EQ(o.latitude(), 38.297f);
    EXPECT_FLOAT_EQ(o.longitude(), 142.373f);
    EXPECT_FLOAT_EQ(o.depth(), 29.0f);
    ASSERT_EQ(o.countOfMagnitudes(), 4u);
    const auto mb = o.objectInMagnitudesAtIndex(0);
    EXPECT_EQ(mb->magnitudeType(), "mb");
    EXPECT_FLOAT_EQ(mb->mvalue(), 6.1f);
    EXPECT_EQ(mb->nObs(), 97);
    const auto ms = o.objectInMagnitudesAtIndex(1);
    EXPECT_EQ(ms->magnitudeType(), "Ms");
    EXPECT_FLOAT_EQ(ms->mvalue(), 8.1f);
    EXPECT_EQ(ms->nObs(), 12);
    EXPECT_EQ(o.objectInMagnitudesAtIndex(2)->contributor(), "GCMT");
    EXPECT_EQ(o.objectInMagnitudesAtIndex(3)->magnitudeType(), "MW");
    EXPECT_FLOAT_EQ(o.objectInMagnitudesAtIndex(3)->mvalue(), 8.9f);
    // The largest of the four is the preferred magnitude.
    EXPECT_FLOAT_EQ(o.magnitude(), 9.1f);
    EXPECT_EQ(o.magnitude_type(), "MW");
    EXPECT_EQ(o.tsunamiFlag(), QVariant(QStringLiteral("T")));
    EXPECT_EQ(o.casualtyFlag(), QVariant(QStringLiteral("C")));

    // A third value of 0.0 adds no record; a blank Ms value reads 0.
    QString plain = pdeLine();
    plain.replace(65, 4, QStringLiteral(" 0.0"));
    plain.replace(76, 4, QStringLiteral("    "));
    plain.replace(59, 4, QStringLiteral("    "));
    const originList fewer = PDE_QueryController::parsePDELines(heading + u'\n' + plain);
    ASSERT_EQ(fewer.size(), 1);
    EXPECT_EQ(fewer.first()->countOfMagnitudes(), 2u);
    EXPECT_EQ(fewer.first()->objectInMagnitudesAtIndex(1)->mvalue(), 0.0f);
    EXPECT_FLOAT_EQ(fewer.first()->magnitude(), 6.1f);
}

TEST(PdeSearch, LongLinesThatAreNoEventsAreSkipped) {
    // A saved page whose heading was cut off: an event line first (line 0 is never read), then
    // events, then the page footer, whose link lines are long enough to pass for events.
    const QString footer1 =
        QStringLiteral("<a href=\"https://earthquake.usgs.gov/earthquakes/search/\">Search the "
                       "earthquake catalogue</a> | <a href=\"https://www.usgs.gov/privacy\">"
                       "Privacy policy</a>");
    const QString footer2 = QStringLiteral("   <a href=\"https://www.usgs.gov/\">U.S. Department "
                                           "of the Interior</a> | <a href=\"https://www.doi.gov/"
                                           "\">DOI Inspector General</a> | <a href=\"/\">Home</a>");
    ASSERT_GE(footer1.size(), 116);
    ASSERT_GE(footer2.size(), 116);
    auto spoilt = [](int at, const char* text) {
        QString line = pdeLine();
        line.replace(at, qsizetype(strlen(text)), QString::fromLatin1(text));
        return line;
    };
    const QStringList lines = {
        pdeLine(),
        pdeLine(),
        spoilt(6, "  1899"),    // year before 1900
        spoilt(6, "  2101"),    // after 2100
        spoilt(12, "13"),       // month
        spoilt(12, "00"),       // month
        spoilt(14, "32"),       // day
        spoilt(16, "24"),       // hour
        spoilt(27, " 90.500"),  // latitude
        spoilt(34, "-180.500"), // longitude
        spoilt(1, "PD<W "),     // catalogue
        spoilt(1, "     "),     // no catalogue
        spoilt(1, "PDE  "),     // a code with trailing blanks is a code
        footer1,
        footer2,
    };
    const logCapture log;
    const originList origins = PDE_QueryController::parsePDELines(lines.join(u'\n'));
    ASSERT_EQ(origins.size(), 2);
    EXPECT_EQ(origins.at(0)->catalog(), "PDE-W");
    EXPECT_EQ(origins.at(1)->catalog(), "PDE");
    EXPECT_TRUE(log.problems().isEmpty()); // skipped lines are noted at debug level only

    // The result page's reader applies the same rule.
    const QByteArray page =
        "<html><body><pre>" + lines.join(u'\n').toHtmlEscaped().toLatin1() + "</pre></body></html>";
    EXPECT_EQ(PDE_QueryController::parsePDEResultPage(page).size(), 2);
}

TEST(PdeSearch, ResultPagesFilesAndTheService) {
    const QByteArray page = "<html><body><h1>Result</h1><pre>" + heading.toLatin1() + "\n" +
                            pdeLine().toLatin1() + "\n" + pdeLine().toLatin1() +
                            "\n</pre></body></html>";
    EXPECT_EQ(PDE_QueryController::parsePDEResultPage(page).size(), 2);
    EXPECT_TRUE(
        PDE_QueryController::parsePDEResultPage("<html><body>No events</body></html>").isEmpty());

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("pde.txt")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write((heading + u'\n' + pdeLine() + u'\n').toLatin1());
    file.close();
    const auto fromFile = PDE_QueryController::parse_PDE_Compressed_EQ_FromPath(file.fileName());
    ASSERT_TRUE(fromFile.has_value());
    EXPECT_EQ(fromFile->size(), 1);
    EXPECT_FALSE(PDE_QueryController::parse_PDE_Compressed_EQ_FromPath(dir.filePath("missing.txt"))
                     .has_value());

    fixtureServer server;
    const scopedEnvironment pde("QUORVEL_PDE_URL", server.baseURL());
    PDE_QueryController c;
    c.setDownloadTimeoutMs(300);
    server.setAnswer(QStringLiteral("/cgi-bin/epic/epic.cgi"), {200, page, "text/html"});
    EXPECT_TRUE(c.loadEvents());
    EXPECT_EQ(c.seismicOrigins().size(), 2);
    EXPECT_TRUE(server.requests().last().contains("SEARCHMETHOD=1")); // span 360: global
    c.setMinLongitude(100.0f);
    c.setMaxLongitude(280.0f);
    c.loadEvents();
    EXPECT_TRUE(server.requests().last().contains("SEARCHMETHOD=2")); // span 180: box
    for (const fixtureServer::answer& bad :
         {fixtureServer::answer{500, "x"},
          fixtureServer::answer{200, "", "text/html", fixtureServer::behaviour::stall},
          fixtureServer::answer{200, page, "text/html", fixtureServer::behaviour::cutShort},
          fixtureServer::answer{200, "", "text/html", fixtureServer::behaviour::garbage}}) {
        server.setAnswer(QStringLiteral("/cgi-bin/epic/epic.cgi"), bad);
        const logCapture log;
        EXPECT_FALSE(c.loadEvents());
        EXPECT_TRUE(c.seismicOrigins().isEmpty());
        EXPECT_LE(log.problems().size(), 1);
    }
}
