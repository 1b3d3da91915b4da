// The seismogram pictures of the command line: the channels of a list downloaded from the
// loopback server and drawn as the live window draws them, and SAC files drawn as a stack.

#include "SacObject.h"
#include "commandLineRun.h"
#include "fixtureServer.h"
#include "logCapture.h"
#include "qtPrinters.h"
#include "scopedEnvironment.h"
#include "travelTimeCalculator.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimeZone>

#include <gtest/gtest.h>

namespace {

QString sacPath(const char* name) {
    return QStringLiteral(QUORVEL_TEST_DATA "/sac/") + QLatin1StringView(name);
}

QByteArray sacFile(const char* name) {
    QFile file(sacPath(name));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

// Rows of the picture that hold dark (trace) pixels between columns `from` and `to`.
int darkRows(const QImage& image, int from, int to) {
    int rows = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = from; x < to; ++x) {
            if (qGray(image.pixel(x, y)) < 80) {
                ++rows;
                break;
            }
        }
    }
    return rows;
}

// Ten minutes at 1 Hz, silent, of station `name` at `distance` from an event at 0°, 0° whose
// origin lies `origin` s after the first sample at 10:00; the file's path.
QString eventFile(const QTemporaryDir& folder, const char* name, float distance, float origin) {
    SacObject s;
    s.InitWithSamples(std::vector<float>(601, 0.0f), 1, 0,
                      QDateTime(QDate(2026, 12, 8), QTime(10, 0), QTimeZone::utc()));
    SacHeader* h = s.GetSacHeader();
    if (!h)
        return QString();
    h->evla = 0;
    h->evlo = 0;
    h->gcarc = distance;
    h->o = origin;
    s.setStreamCodes(QStringLiteral("XX"), QString::fromLatin1(name), QString(),
                     QStringLiteral("BHZ"));
    const QString path = folder.filePath(QString::fromLatin1(name) + ".sac");
    return s.WriteSacFile(path) ? path : QString();
}

} // namespace

TEST(RenderSeismograms, LiveDrawsTheChannelsThatCameAndFailsWhenNoneCame) {
    fixtureServer server;
    const scopedEnvironment host("QUORVEL_TIMESERIES_URL", server.baseURL());
    const QString path = QStringLiteral("/irisws/timeseries/1/query");
    server.setAnswerForQuery(path, QStringLiteral("sta=ANMO"),
                             {200, sacFile("obspy_seism.sac"), "application/octet-stream"});
    const QString list = QStringLiteral("Title; Two stations\n"
                                        "IU; ANMO; 00; BHZ; ANMO\n"
                                        "IU; KONO; 00; BHZ; KONO\n");
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("live.png"));
    const QStringList arguments = {"--channels", "-",     "--start",  "1981-03-29 10:38:00",
                                   "--duration", "1",     "--render", "live",
                                   "--output",   picture, "--size",   "800x500"};
    commandLineRun r = runQuorvel(arguments, list);
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_TRUE(r.err.contains("IU.KONO.00.BHZ: HTTP 404"));
    const QImage image(picture);
    ASSERT_EQ(image.size(), QSize(800, 500));
    // The trace starts 23.5 s into the 60-s window (14 s after the start, plus its own begin of
    // 9.46 s): nothing left of it, ink right of it.
    const double plotLeft = 60, plotWidth = 800 - 140;
    const int traceStart = int(plotLeft + plotWidth * 23.46 / 60);
    EXPECT_EQ(darkRows(image, int(plotLeft) + 2, traceStart - 4), 0);
    EXPECT_GT(darkRows(image, traceStart + 2, traceStart + 60), 50);

    // Nothing came: exit 1. A list without a usable line: exit 2.
    server.setAnswerForQuery(path, QStringLiteral("sta=ANMO"), {500, "down"});
    EXPECT_EQ(runQuorvel(arguments, list).status, 1);
    EXPECT_EQ(runQuorvel(arguments, QStringLiteral("IU; ANMO\n")).status, 2);
    EXPECT_EQ(runQuorvel({"--channels", "-", "--render", "map", "--output", picture}, list).status,
              2);
}

TEST(RenderSeismograms, StackDrawsEveryFileGivenOrRefusesOne) {
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("stack.pdf"));
    commandLineRun r = runQuorvel({"--sac", sacPath("obspy_seism.sac"), sacPath("obspy_test.sac"),
                                   "--remove-mean", "--render", "stack", "--output", picture});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    QFile pdf(picture);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");

    // One file that is not SAC spoils the picture: exit 2, as for --print.
    r = runQuorvel({"--sac", sacPath("obspy_seism.sac"), sacPath("obspy_testxy.sac"), "--render",
                    "stack", "--output", picture});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("obspy_testxy.sac"));
    // Every view of the seismograms, as a picture of the size asked for; a helicorder's rows
    // are counted in whole numbers.
    for (const char* kind :
         {"overlay", "panels", "section", "event-section", "helicorder", "uniform"}) {
        SCOPED_TRACE(kind);
        const QString png = folder.filePath(QString::fromLatin1(kind) + ".png");
        r = runQuorvel({"--sac", sacPath("obspy_seism.sac"), sacPath("obspy_test.sac"), "--render",
                        kind, "--output", png, "--size", "640x480", "--row-minutes", "1", "--rows",
                        "6"});
        EXPECT_EQ(r.status, 0) << qPrintable(r.err);
        EXPECT_EQ(QImage(png).size(), QSize(640, 480));
    }
    EXPECT_EQ(runQuorvel({"--sac", sacPath("obspy_seism.sac"), "--render", "helicorder", "--rows",
                          "0", "--output", picture})
                  .status,
              2);
    // These files name no component: no three components to show.
    r = runQuorvel(
        {"--sac", sacPath("obspy_seism.sac"), "--render", "threecomp", "--output", picture});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.contains("no three components")) << qPrintable(r.err);
    EXPECT_EQ(
        runQuorvel({"--sac", sacPath("obspy_seism.sac"), "--render", "map", "--output", picture})
            .status,
        2);

    // Other files after --sac only make sense for a picture.
    EXPECT_EQ(runQuorvel({"--sac", sacPath("obspy_seism.sac"), sacPath("obspy_test.sac"), "--print",
                          "header"})
                  .status,
              2);
}

TEST(RenderSeismograms, SpectrogramOfTheFirstFileWithItsAxisWindowAndOverlap) {
    QTemporaryDir folder;
    const QString png = folder.filePath(QStringLiteral("spectrogram.png"));
    const QStringList files = {sacPath("obspy_seism.sac"), sacPath("obspy_test.sac")};
    for (const QStringList& options :
         {QStringList{}, QStringList{"--log-frequency"},
          QStringList{"--spectrogram-window", "256", "--spectrogram-overlap", "0.75"}}) {
        SCOPED_TRACE(qPrintable(options.join(u' ')));
        const commandLineRun r = runQuorvel(QStringList{"--sac"} + files + options +
                                            QStringList{"--remove-mean", "--render", "spectrogram",
                                                        "--output", png, "--size", "700x450"});
        EXPECT_EQ(r.status, 0) << qPrintable(r.err);
        const QImage image(png);
        ASSERT_EQ(image.size(), QSize(700, 450));
        // The spectra's panel is coloured from the perceptual scale: never grey or white there.
        const QColor middle = image.pixelColor(330, 300);
        EXPECT_FALSE(middle.red() == middle.green() && middle.green() == middle.blue());
    }
    for (const QStringList& refused :
         {QStringList{"--spectrogram-window", "2"}, QStringList{"--spectrogram-window", "many"},
          QStringList{"--spectrogram-overlap", "1"},
          QStringList{"--spectrogram-overlap", "-0.1"}}) {
        SCOPED_TRACE(qPrintable(refused.join(u' ')));
        const commandLineRun r =
            runQuorvel(QStringList{"--sac", files.first()} + refused +
                       QStringList{"--render", "spectrogram", "--output", png});
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains(refused.first())) << qPrintable(r.err);
    }
}

TEST(RenderSeismograms, EventSectionDrawsTheFilesOfAnEventAndLeavesOutTheRest) {
    QTemporaryDir folder;
    // Two stations of an event at 30° and 50°, and a file that gives no origin time.
    const QString near = eventFile(folder, "NEAR", 30, 0), far = eventFile(folder, "FAR", 50, 0),
                  none = eventFile(folder, "NONE", 40, SacHeader::undefinedValue);
    const QString png = folder.filePath(QStringLiteral("event.png"));
    logCapture log;
    const commandLineRun r = runQuorvel({"--sac", near, far, none, "--render", "event-section",
                                         "--output", png, "--size", "800x500"});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    ASSERT_EQ(log.problems().size(), 1);
    EXPECT_TRUE(log.problems().first().endsWith(QStringLiteral("NONE.sac: no origin time (o)")))
        << qPrintable(log.problems().first());
    // The plot spans 56 to 436 points up for 20° to 60°: the lines of 30° and 50° at 151 and
    // 341 points up, nothing halfway between.
    const QImage image(png);
    ASSERT_EQ(image.size(), QSize(800, 500));
    const auto inked = [&image](int pointsUp) {
        const int row = 500 - pointsUp;
        for (int y = row - 1; y <= row; ++y) {
            if (image.pixelColor(400, y) != QColor(Qt::white))
                return true;
        }
        return false;
    };
    EXPECT_TRUE(inked(151));
    EXPECT_TRUE(inked(341));
    EXPECT_FALSE(inked(246));

    // A word that names no view is refused with the words that do.
    const commandLineRun wrong =
        runQuorvel({"--sac", near, "--render", "sections", "--output", png});
    EXPECT_EQ(wrong.status, 2);
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("section, event-section, helicorder")))
        << qPrintable(wrong.err);
}

TEST(RenderSeismograms, EventSectionTakesItsReductionPhasesAndModelAndRefusesThemElsewhere) {
    QTemporaryDir folder;
    // Ten minutes at 30° and at 50° of a surface event, from its origin on.
    const QString near = eventFile(folder, "NEAR", 30, 0), far = eventFile(folder, "FAR", 50, 0);
    const QString png = folder.filePath(QStringLiteral("reduced.png"));
    const auto draw = [&](const QStringList& more) {
        return runQuorvel(QStringList{"--waveforms", near, far, "--render", "event-section",
                                      "--output", png, "--size", "800x500"} +
                          more);
    };
    const travelTimeCalculator iasp91(*earthModel::named(QStringLiteral("iasp91")));
    const auto arrival = [&](const char* phase) {
        return iasp91.arrivals(0, 40, {QString::fromLatin1(phase)}).front().time;
    };
    // Reduced at 8 km/s the traces span 600 s less 50° and 30° worth of it; the plot is
    // (70, 56, 630, 380) points, 20° to 60° up, so 40° lies 246 points up.
    const double reduction30 = 30 * 111.19 / 8, reduction40 = 40 * 111.19 / 8,
                 reduction50 = 50 * 111.19 / 8;
    const auto xOf = [&](double time) {
        return 70 + (time + reduction50) * 630 / (600 - reduction30 + reduction50);
    };
    // Whether a curve crosses the 40° row within 3 points of x: the first phase's blue, the
    // second's vermillion.
    const auto curveNear = [](const QImage& image, double x, bool first) {
        for (int column = int(x) - 3; column <= int(x) + 3; ++column) {
            const QColor c = image.pixelColor(column, 500 - 246);
            if (first ? c.blue() > c.red() + 60 : c.red() > c.blue() + 60)
                return true;
        }
        return false;
    };
    const auto blueNear = [&curveNear](const QImage& image, double x) {
        return curveNear(image, x, true);
    };

    commandLineRun r = draw({"--reduction-velocity", "8", "--phases", "P", "--model", "iasp91"});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    QImage image(png);
    ASSERT_EQ(image.size(), QSize(800, 500));
    EXPECT_TRUE(blueNear(image, xOf(arrival("P") - reduction40)));
    EXPECT_FALSE(blueNear(image, xOf(arrival("PP") - reduction40)));
    EXPECT_FALSE(curveNear(image, xOf(arrival("PP") - reduction40), false));
    r = draw({"--reduction-velocity", "8", "--phases", " P, PP", "--model", "iasp91"});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    image.load(png);
    EXPECT_TRUE(curveNear(image, xOf(arrival("PP") - reduction40), false));
    // Unreduced, the plot spans 0 to 600 s and P stands at its own time.
    r = draw({"--phases", "P"});
    ASSERT_EQ(r.status, 0) << qPrintable(r.err);
    image.load(png);
    EXPECT_FALSE(blueNear(image, xOf(arrival("P") - reduction40)));
    EXPECT_TRUE(blueNear(image, 70 + arrival("P") * 630 / 600));

    const QString known = QStringLiteral("P,pP,sP,PcP,PP,PKiKP,PKIKP,Pdiff,S,sS,ScS,SS,SKS,Sdiff");
    const std::vector<std::pair<QStringList, QString>> refused = {
        {{"--reduction-velocity", "-1"},
         "--reduction-velocity takes a velocity in km/s, 0 or more"},
        {{"--reduction-velocity", "8km/s"},
         "--reduction-velocity takes a velocity in km/s, 0 or more"},
        {{"--phases", "P,PKKP,Q"}, "unknown phases 'PKKP', 'Q' (known: " + known + ")"},
        {{"--phases", "SKKS"}, "unknown phase 'SKKS' (known: " + known + ")"},
        {{"--model", "prem"}, "unknown model 'prem' (known: ak135, iasp91)"},
    };
    for (const auto& [arguments, message] : refused) {
        r = draw(arguments);
        EXPECT_EQ(r.status, 2) << qPrintable(arguments.join(u' '));
        EXPECT_EQ(r.err, QStringLiteral("Quorvel: %1\nTry 'Quorvel --help'.\n").arg(message));
    }
    // Where nothing draws travel-time curves, the options are refused by name.
    const std::vector<std::pair<QStringList, QString>> misplaced = {
        {{"--sac", near, "--render", "section", "--output", png, "--reduction-velocity", "8"},
         "--reduction-velocity goes with --render event-section"},
        {{"--waveforms", near, "--print", "summary", "--phases", "P", "--model", "ak135"},
         "--phases and --model go with --render event-section"},
        {{"--sac", near, "--print", "header", "--model", "iasp91"},
         "--model goes with --render event-section"},
        {{"--travel-times", "--depth", "0", "--distance", "30", "--reduction-velocity", "8"},
         "--reduction-velocity goes with --render event-section"},
        {{"--phases", "P"}, "--depth, --distance, --model and --phases go with --travel-times"},
    };
    for (const auto& [arguments, message] : misplaced) {
        r = runQuorvel(arguments);
        EXPECT_EQ(r.status, 2) << qPrintable(arguments.join(u' '));
        EXPECT_EQ(r.err, QStringLiteral("Quorvel: %1\nTry 'Quorvel --help'.\n").arg(message));
    }
    const commandLineRun help = runQuorvel({"--help"});
    EXPECT_TRUE(help.out.contains("--reduction-velocity <KM_S>"));
}
