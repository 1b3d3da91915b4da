#include "commandLineRun.h"

#include <gtest/gtest.h>

namespace {

QStringList travelTimes(const QStringList& more) {
    return QStringList{QStringLiteral("--travel-times")} + more;
}

} // namespace

// The arrivals as tab-separated lines under their header, sorted by time, with the model and
// the phases asked for; the default model is ak135.
TEST(TravelTimeCommand, PrintsTheArrivalsSortedByTime) {
    const auto iasp91 = runQuorvel(travelTimes(
        {"--depth", "100", "--distance", "45", "--model", "iasp91", "--phases", "P,pP,sP,PcP"}));
    EXPECT_EQ(iasp91.status, 0) << iasp91.err.toStdString();
    EXPECT_EQ(iasp91.out,
              QStringLiteral("phase\ttime_s\tray_param_s_deg\ttakeoff_deg\tincidence_deg\n"
                             "P\t485.219\t7.9189\t35.61\t24.40\n"
                             "pP\t508.712\t8.0030\t143.95\t24.67\n"
                             "sP\t520.323\t7.9824\t160.87\t24.61\n"
                             "PcP\t584.471\t3.4620\t14.75\t10.40\n"));

    const auto all = runQuorvel(travelTimes({"--depth", "0", "--distance", "90"}));
    EXPECT_EQ(all.status, 0);
    QStringList phases;
    double last = 0;
    for (const QString& line : all.out.split('\n', Qt::SkipEmptyParts).mid(1)) {
        const QStringList fields = line.split('\t');
        ASSERT_EQ(fields.size(), 5);
        EXPECT_GE(fields[1].toDouble(), last);
        last = fields[1].toDouble();
        phases << fields[0];
    }
    EXPECT_EQ(phases, QStringList({"P", "PcP", "PP", "PKiKP", "SKS", "S", "ScS", "SS"}));
    const auto ak135 =
        runQuorvel(travelTimes({"--depth", "0", "--distance", "90", "--model", "ak135"}));
    EXPECT_EQ(ak135.out, all.out);
}

// No arrival exits with 1; arguments out of range, unknown names and missing values with 2.
TEST(TravelTimeCommand, RefusesBadArgumentsAndSaysWhenNothingArrives) {
    const auto none =
        runQuorvel(travelTimes({"--depth", "10", "--distance", "30", "--phases", "Pdiff"}));
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.out.isEmpty());
    EXPECT_EQ(none.err, QStringLiteral("Quorvel: no arrivals at 30° from a source at 10 km\n"));

    const std::vector<std::pair<QStringList, QString>> refused = {
        {travelTimes({"--distance", "30"}), "--travel-times needs --depth from 0 to 700 km"},
        {travelTimes({"--depth", "701", "--distance", "30"}),
         "--travel-times needs --depth from 0 to 700 km"},
        {travelTimes({"--depth", "-1", "--distance", "30"}),
         "--travel-times needs --depth from 0 to 700 km"},
        {travelTimes({"--depth", "10km", "--distance", "30"}),
         "--travel-times needs --depth from 0 to 700 km"},
        {travelTimes({"--depth", "10"}), "--travel-times needs --distance from 0 to 180 degrees"},
        {travelTimes({"--depth", "10", "--distance", "180.5"}),
         "--travel-times needs --distance from 0 to 180 degrees"},
        {travelTimes({"--depth", "10", "--distance", "30", "--model", "prem"}),
         "unknown model 'prem' (known: ak135, iasp91)"},
        {travelTimes({"--depth", "10", "--distance", "30", "--phases", "P,PKKP"}),
         "unknown phase 'PKKP' (known: P,pP,sP,PcP,PP,PKiKP,PKIKP,Pdiff,S,sS,ScS,SS,SKS,Sdiff)"},
        {travelTimes({"--depth", "10", "--distance", "30", "--phases", ""}),
         "unknown phase '' (known: P,pP,sP,PcP,PP,PKiKP,PKIKP,Pdiff,S,sS,ScS,SS,SKS,Sdiff)"},
        {{"--depth", "10", "--distance", "30"},
         "--depth, --distance, --model and --phases go with --travel-times"},
        {travelTimes({"--depth", "10", "--distance", "30", "--source", "usgs"}),
         "--travel-times works alone"},
    };
    for (const auto& [arguments, message] : refused) {
        const auto run = runQuorvel(arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(' ').toStdString();
        EXPECT_EQ(run.err, QStringLiteral("Quorvel: %1\nTry 'Quorvel --help'.\n").arg(message))
            << arguments.join(' ').toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    const auto missingValue = runQuorvel(travelTimes({"--depth"}));
    EXPECT_EQ(missingValue.status, 2);
}
