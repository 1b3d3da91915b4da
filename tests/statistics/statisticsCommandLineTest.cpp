// --print statistics and the three statistics pictures on the command line. The expected
// figures of the real feeds are those tools/seismicityStatistics.py prints for the same files
// and limits (it bins the magnitudes from their decimal text, apart from the program's code).

#include "commandLineRun.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString monthFeed =
    QStringLiteral(QUORVEL_TEST_DATA "/feeds/sgoggins_2.5_month_20251029.geojson");
const QString weekList =
    QStringLiteral(QUORVEL_TEST_DATA "/feeds/joannecheng_1.0_week_20160211.csv");

commandLineRun statisticsOf(const QString& source, const QString& file, const QStringList& more) {
    return runQuorvel(QStringList{QStringLiteral("--source"), source, QStringLiteral("--input"),
                                  file, QStringLiteral("--print"), QStringLiteral("statistics")} +
                      more);
}

} // namespace

TEST(StatisticsCommandLine, FiguresOfRealFeedsAgreeWithTheIndependentScript) {
    // seismicityStatistics.py sgoggins_2.5_month_20251029.geojson --min-mag 0 --max-mag 10
    commandLineRun r = statisticsOf(QStringLiteral("usgs"), monthFeed,
                                    {QStringLiteral("--min-mag"), QStringLiteral("0"),
                                     QStringLiteral("--max-mag"), QStringLiteral("10")});
    EXPECT_EQ(r.status, 0) << qPrintable(r.err);
    EXPECT_EQ(r.out, "events 1349\nmc 4.50\nn_above_mc 602\nb 0.990\nb_error 0.038\na 7.236\n");
    EXPECT_TRUE(r.err.isEmpty()) << qPrintable(r.err);

    // ... --min-mag 4.5 --max-mag 5.0: both limits are inside.
    r = statisticsOf(QStringLiteral("usgs"), monthFeed,
                     {QStringLiteral("--min-mag"), QStringLiteral("4.5"),
                      QStringLiteral("--max-mag"), QStringLiteral("5.0")});
    EXPECT_EQ(r.out, "events 454\nmc 4.50\nn_above_mc 454\nb 1.701\nb_error 0.052\na 10.312\n");

    // seismicityStatistics.py joannecheng_1.0_week_20160211.csv [--min-mag 2.5]
    r = statisticsOf(QStringLiteral("usgs-text"), weekList,
                     {QStringLiteral("--min-mag"), QStringLiteral("-5")});
    EXPECT_EQ(r.out, "events 879\nmc 1.10\nn_above_mc 841\nb 0.349\nb_error 0.011\na 3.308\n");
    r = statisticsOf(QStringLiteral("usgs-text"), weekList,
                     {QStringLiteral("--min-mag"), QStringLiteral("2.5")});
    EXPECT_EQ(r.out, "events 266\nmc 2.60\nn_above_mc 248\nb 0.344\nb_error 0.017\na 3.288\n");
}

TEST(StatisticsCommandLine, TooFewEventsAndBadArguments) {
    // Four events of the FDSN answer: the figures, and the words on the error stream.
    const commandLineRun few = statisticsOf(
        QStringLiteral("fdsn"),
        QStringLiteral(QUORVEL_TEST_DATA "/feeds/stream2segment_event_request_sample_iris.txt"),
        {});
    EXPECT_EQ(few.status, 0) << qPrintable(few.err);
    EXPECT_TRUE(few.out.startsWith(QStringLiteral("events ")));
    EXPECT_EQ(few.out.count(u'\n'), 6);
    EXPECT_TRUE(few.err.contains(QStringLiteral("too few events")));

    for (const QStringList& bad :
         {QStringList{QStringLiteral("--min-mag"), QStringLiteral("big")},
          QStringList{QStringLiteral("--max-mag"), QStringLiteral("5x")}}) {
        const commandLineRun r = statisticsOf(QStringLiteral("usgs"), monthFeed, bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(r.err.isEmpty());
    }
    const commandLineRun noOutput =
        runQuorvel({QStringLiteral("--source"), QStringLiteral("usgs"), QStringLiteral("--input"),
                    monthFeed, QStringLiteral("--render"), QStringLiteral("depth-histogram")});
    EXPECT_EQ(noOutput.status, 2);
    const commandLineRun help = runQuorvel({QStringLiteral("--help")});
    for (const char* word :
         {"statistics", "magnitude-histogram", "depth-histogram", "magnitude-frequency"})
        EXPECT_TRUE(help.out.contains(QLatin1StringView(word))) << word;
}

TEST(StatisticsCommandLine, RendersEachPictureAsPngAndPdf) {
    QTemporaryDir dir;
    for (const char* kind : {"magnitude-histogram", "depth-histogram", "magnitude-frequency"}) {
        const QString png = dir.filePath(QLatin1StringView(kind) + QStringLiteral(".png"));
        const commandLineRun r = runQuorvel(
            {QStringLiteral("--source"), QStringLiteral("usgs"), QStringLiteral("--input"),
             monthFeed, QStringLiteral("--min-mag"), QStringLiteral("0"),
             QStringLiteral("--render"), QString::fromLatin1(kind), QStringLiteral("--output"), png,
             QStringLiteral("--size"), QStringLiteral("640x400")});
        EXPECT_EQ(r.status, 0) << kind << qPrintable(r.err);
        const QImage image(png);
        EXPECT_EQ(image.size(), QSize(640, 400)) << kind;
        // Something besides the white background was drawn.
        int dark = 0;
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                dark += image.pixelColor(x, y).lightness() < 128;
        EXPECT_GT(dark, 200) << kind;

        const QString pdf = dir.filePath(QLatin1StringView(kind) + QStringLiteral(".pdf"));
        EXPECT_EQ(runQuorvel({QStringLiteral("--source"), QStringLiteral("usgs"),
                              QStringLiteral("--input"), monthFeed, QStringLiteral("--render"),
                              QString::fromLatin1(kind), QStringLiteral("--output"), pdf})
                      .status,
                  0);
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << kind;
        EXPECT_TRUE(file.read(5).startsWith("%PDF")) << kind;
    }
}
