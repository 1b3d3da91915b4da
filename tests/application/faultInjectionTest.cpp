// Every catalogue, the detail document and every bulletin against a server that misbehaves in
// each way a real one can: the program keeps running, the list shown stays, one line is logged
// and the load ends within the download's time-out.

#include "CSEM_QueryController.h"
#include "INGV_QueryController.h"
#include "NEIC_QueryController.h"
#include "OrrelinController.h"
#include "PDE_QueryController.h"
#include "fdsnEventQueryController.h"
#include "finishLoads.h"
#include "fixtureServer.h"
#include "logCapture.h"
#include "scopedEnvironment.h"
#include "webViewHolder.h"

#include "ui_mainWindow.h"
#include "ui_preferencesWindow.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QStatusBar>

#include <array>

#include <gtest/gtest.h>

namespace {

QByteArray dataFile(const char* name) {
    QFile f(QStringLiteral(QUORVEL_TEST_DATA "/feeds/") + QLatin1StringView(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct fault {
    const char* name;
    fixtureServer::answer answer;
    bool transport; // a failure of the download itself, always logged
};

// The ways an answer goes wrong; `valid` is the catalogue's good answer, used for the faults
// that keep a body but spoil its labels.
QList<fault> faultsFor(const QByteArray& valid) {
    using b = fixtureServer::behaviour;
    return {
        {"404", {404, "not here", "text/plain", b::normal}, true},
        {"500", {500, "broken", "text/plain", b::normal}, true},
        {"time-out", {200, valid, "text/plain", b::stall}, true},
        {"closed mid-body", {200, valid, "text/plain", b::cutShort}, true},
        {"not HTTP", {200, valid, "text/plain", b::garbage}, true},
        {"50 MB", {200, QByteArray(50 * 1000 * 1000, 'x'), "text/plain", b::normal}, false},
        {"invalid UTF-8",
         {200, QByteArray("\xff\xfe\xc3\x28 \xa0\xa1\n", 8).repeated(100), "text/plain", b::normal},
         false},
        {"empty 200", {200, QByteArray(), "text/plain", b::normal}, false},
        {"error page",
         {200,
          "<html><head><title>Service busy</title></head>\n<body>\n<p>Please try again "
          "later.</p>\n</body></html>\n",
          "text/html", b::normal},
         false},
    };
}

struct catalogue {
    const char* name;
    QString path;
    QByteArray valid;
    int tag;           // -1: the USGS weekly list
    qsizetype origins; // that the valid answer gives
    // The lines logged for the faults that are no transport failure, when the answer arrives
    // (50 MB may outlast the shortened time-out, which is logged as such): 50 MB of "x",
    // invalid UTF-8, an empty answer, a busy server's error page. Bytes that are no text,
    // nothing where a catalogue always sends its heading or page, and lines of which none is an
    // event fail the load; an FDSN service's empty answer is its "no events", and a list or a
    // page of text without events reads as one without events.
    std::array<int, 4> inputProblems;
};

class faultInjection : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings().clear();
        webViewHolder::setViewsAllowed(false);
    }

    fixtureServer server;
    scopedEnvironment feeds{"QUORVEL_USGS_FEED_URL", server.baseURL()};
    scopedEnvironment neic{"QUORVEL_USGS_NEIC_URL", server.baseURL()};
    scopedEnvironment wcatwc{"QUORVEL_WCATWC_URL", server.baseURL()};
    scopedEnvironment ptwc{"QUORVEL_PTWC_URL", server.baseURL()};
    scopedEnvironment ingv{"QUORVEL_INGV_URL", server.baseURL()};
    scopedEnvironment emsc{"QUORVEL_EMSC_URL", server.baseURL()};
    scopedEnvironment pde{"QUORVEL_PDE_URL", server.baseURL()};
    scopedEnvironment fdsn{"QUORVEL_FDSN_EVENT_URL", server.baseURL()};
};

constexpr int timeoutMs = 700;

void shortenTimeOuts(OrrelinController& c) {
    for (EQ_QueryController* q : std::initializer_list<EQ_QueryController*>{
             c.neicQueryController(), c.ingvQueryController(), c.csemQueryController(),
             c.pdeQueryController(), c.fdsnQueryController()})
        q->setDownloadTimeoutMs(timeoutMs);
}

TEST_F(faultInjection, EveryCatalogueSurvivesEveryFault) {
    const catalogue catalogues[] = {
        // The month feed's 1,065 events from magnitude 2.5 are within the default filters.
        {"USGS feed",
         QStringLiteral("/earthquakes/feed/v1.0/summary/2.5_month.geojson"),
         dataFile("sgoggins_2.5_month_20251029.geojson"),
         OrrelinController::usgsFeedTag,
         1065,
         {1, 1, 1, 1}},
        {"USGS weekly list",
         QStringLiteral("/earthquakes/feed/v0.1/summary/1.0_week.csv"),
         dataFile("joannecheng_1.0_week_20160211.csv"),
         -1,
         169,
         {0, 1, 1, 1}},
        {"INGV",
         QStringLiteral("/index.html"),
         dataFile("ingv_events_page.html"),
         OrrelinController::ingvTag,
         1,
         {0, 1, 1, 0}},
        {"EMSC",
         QStringLiteral("/Earthquake/"),
         dataFile("emsc_export.csv"),
         OrrelinController::emscTag,
         1,
         {0, 1, 1, 1}},
        // A result page with the heading and one line in the compressed columns (the
        // Tohoku earthquake of 2011).
        {"PDE",
         QStringLiteral("/cgi-bin/epic/epic.cgi"),
         QByteArray("<html><body><pre>\n"
                    " CAT  YEAR MO DA ORIG TIME  LAT    LONG   DEP  MAGNITUDE\n"
                    " PDE-W  20110311054646.81   38.297 142.373 29         6.1978.1Z12 9.1MW"
                    "GCMT  8.9MWUCMT        C        T            \n"
                    "</pre></body></html>"),
         OrrelinController::pdeTag,
         1,
         {0, 1, 1, 0}},
        {"FDSN",
         QStringLiteral("/fdsnws/event/1/query"),
         dataFile("stream2segment_event_request_sample_iris.txt"),
         OrrelinController::fdsnTag,
         4,
         {0, 1, 0, 1}},
    };
    OrrelinController c;
    c.awakeFromNib(OrrelinController::firstLoads::skip);
    shortenTimeOuts(c);
    QPushButton* search = c.preferencesInterface().fdsnSearchButton;
    QPushButton* pdeSearch = c.preferencesInterface().pdeSearchButton;
    QComboBox* popup = c.mainInterface().dataSourcePopup;

    for (const catalogue& cat : catalogues) {
        auto load = [&] {
            switch (cat.tag) {
            case -1:
                c.loadNEICInfo();
                break;
            case OrrelinController::pdeTag:
                c.loadEQInfo(pdeSearch);
                break;
            case OrrelinController::fdsnTag:
                c.loadEQInfo(search);
                break;
            case OrrelinController::usgsFeedTag:
                c.loadEQInfo(nullptr);
                break;
            default:
                popup->setCurrentIndex(popup->findData(cat.tag));
                c.loadEQInfo(popup);
            }
        };
        int inputFault = 0;
        for (const fault& f : faultsFor(cat.valid)) {
            SCOPED_TRACE(std::string(cat.name) + ", " + f.name);
            // Something shown before, so that what becomes of it is seen.
            const originList before = {std::make_shared<seismicOrigin>()};
            c.showOrigins(before, OrrelinController::usgsFeedTag);
            server.setAnswer(cat.path, f.answer);
            logCapture log;
            QElapsedTimer clock;
            clock.start();
            load();
            finishLoads(c);
            // Done within the (shortened) time-out rather than the default 30 s; the bound is
            // generous, as a loaded machine running the sanitizer build is slow.
            if (f.transport) {
                EXPECT_LT(clock.elapsed(), 20000);
            }
            EXPECT_FALSE(c.isLoading());
            // A load that fails leaves the list shown before; one that reads nothing shows
            // nothing.
            const bool failed = c.mainWindow()->statusBar()->currentMessage().startsWith(
                QStringLiteral("Could not load"));
            if (f.transport) {
                EXPECT_TRUE(failed);
            }
            EXPECT_EQ(c.allSeismicOrigins(), failed ? before : originList());
            EXPECT_EQ(c.visibleSeismicOrigins(), c.allSeismicOrigins());
            if (f.transport)
                EXPECT_EQ(log.problems().size(), 1);
            else
                EXPECT_EQ(log.problems().size(),
                          failed ? 1 : cat.inputProblems.at(std::size_t(inputFault)));
            inputFault += f.transport ? 0 : 1;
        }

        // A good answer under a wrong content type reads as the same answer rightly labelled:
        // the services' labels are not reliable, the bytes are what counts. Nothing is shown
        // before, so that a load that fails or reads nothing cannot pass for the answer.
        SCOPED_TRACE(std::string(cat.name) + ", wrong content type");
        c.showOrigins(originList(), OrrelinController::usgsFeedTag);
        server.setAnswer(cat.path, {200, cat.valid, "text/plain"});
        logCapture rightLog;
        load();
        finishLoads(c);
        const qsizetype rightlyLabelled = c.allSeismicOrigins().size();
        EXPECT_GT(rightlyLabelled, 0);
        EXPECT_EQ(rightlyLabelled, cat.origins);
        c.showOrigins(originList(), OrrelinController::usgsFeedTag);
        server.setAnswer(cat.path, {200, cat.valid, "image/png"});
        logCapture wrongLog;
        load();
        finishLoads(c);
        EXPECT_EQ(c.allSeismicOrigins().size(), rightlyLabelled);
        // (The month feed's large events link detail pages on the real service, which the
        // tests cannot reach: those failures are the same in both loads.)
        EXPECT_EQ(wrongLog.problems().size(), rightLog.problems().size());
    }
}

TEST_F(faultInjection, ADetailDocumentThatFailsLeavesTheOriginWithoutLinks) {
    // One large event whose detail document misbehaves; the feed itself is fine.
    const QByteArray feed =
        QStringLiteral(
            R"({"type":"FeatureCollection","features":[{"type":"Feature","id":"us1",
            "properties":{"mag":7.1,"place":"somewhere","time":%1,"net":"us","ids":",us1,",
            "detail":"%2/detail/us1.geojson"},
            "geometry":{"type":"Point","coordinates":[140,35,10]}}]})")
            .arg(QDateTime::currentMSecsSinceEpoch() - 3600000)
            .arg(server.baseURL())
            .toUtf8();
    server.setAnswer(QStringLiteral("/earthquakes/feed/v1.0/summary/2.5_month.geojson"),
                     {200, feed, "application/json"});
    NEIC_QueryController neicController;
    neicController.setDownloadTimeoutMs(timeoutMs);
    for (const fault& f :
         faultsFor(dataFile("libcomcat_detail_us1000778i_kaikoura_pager_orange.geojson"))) {
        SCOPED_TRACE(f.name);
        server.setAnswer(QStringLiteral("/detail/us1.geojson"), f.answer);
        logCapture log;
        const originList origins = neicController.loadUSGSGeoJSONFeed();
        ASSERT_EQ(origins.size(), 1);
        EXPECT_FALSE(origins.first()->gsLinks().has_value() &&
                     !origins.first()->gsLinks()->isEmpty());
        if (f.transport)
            EXPECT_EQ(log.problems().size(), 1);
        else
            EXPECT_LE(log.problems().size(), 1);
    }
}

TEST_F(faultInjection, EveryBulletinSurvivesEveryFault) {
    NEIC_QueryController neicController;
    neicController.setDownloadTimeoutMs(timeoutMs);
    const std::pair<QString, QString (NEIC_QueryController::*)()> bulletins[] = {
        {QStringLiteral("/message.txt"), &NEIC_QueryController::WCATWCMessage},
        {QStringLiteral("/ptwc/wmsg"), &NEIC_QueryController::PTWCMessage},
        {QStringLiteral("/neis/data_services/bigquake.html"),
         &NEIC_QueryController::BigQuakeMessage},
        {QStringLiteral("/neis/data_services/mtall.last"),
         &NEIC_QueryController::USGSMTensorMessage},
    };
    for (const auto& [path, bulletin] : bulletins) {
        for (const fault& f : faultsFor("A bulletin.\n")) {
            SCOPED_TRACE(path.toStdString() + ", " + f.name);
            server.setAnswer(path, f.answer);
            logCapture log;
            const QString text = (neicController.*bulletin)();
            if (f.transport) {
                EXPECT_TRUE(text.isEmpty());
                EXPECT_EQ(log.problems().size(), 1);
            } else {
                EXPECT_LE(log.problems().size(), 1);
            }
        }
    }
}

} // namespace
