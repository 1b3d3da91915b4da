#include "fkArrayAnalysis.h"
#include "syntheticArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

fkArrayAnalysis::request standardRequest() {
    fkArrayAnalysis::request how;
    how.windowStart = 3;
    how.windowLength = 20;
    how.minFrequency = 0.8;
    how.maxFrequency = 3.0;
    return how;
}

double angleBetween(double a, double b) {
    const double d = std::fmod(std::abs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

} // namespace

TEST(FKArrayAnalysis, BackAzimuthPointsTowardsTheSource) {
    // A wave from the north travels south: its slowness points south.
    EXPECT_EQ(fkArrayAnalysis::backAzimuthOf(0, -0.1), 0.0);
    EXPECT_DOUBLE_EQ(fkArrayAnalysis::backAzimuthOf(-0.1, 0), 90.0);
    EXPECT_DOUBLE_EQ(fkArrayAnalysis::backAzimuthOf(0, 0.1), 180.0);
    EXPECT_DOUBLE_EQ(fkArrayAnalysis::backAzimuthOf(0.1, 0), 270.0);
    EXPECT_DOUBLE_EQ(fkArrayAnalysis::backAzimuthOf(-0.1, -0.1), 45.0);
}

TEST(FKArrayAnalysis, StationOffsetsAboutTheMeanPosition) {
    const auto seismograms = syntheticArray::seismograms({0, 8});
    const auto offsets = fkArrayAnalysis::stationOffsets(seismograms);
    ASSERT_TRUE(offsets) << offsets.error().toStdString();
    double meanEast = 0, meanNorth = 0;
    for (const auto& s : syntheticArray::stationOffsets()) {
        meanEast += s.east / 10;
        meanNorth += s.north / 10;
    }
    for (size_t i = 0; i < offsets->size(); ++i) {
        EXPECT_NEAR(offsets->at(i).east, syntheticArray::stationOffsets()[i].east - meanEast, 0.01);
        EXPECT_NEAR(offsets->at(i).north, syntheticArray::stationOffsets()[i].north - meanNorth,
                    0.01);
    }
    EXPECT_EQ(offsets->at(2).label, QStringLiteral("AR.S3"));

    // An array on the equator across the date line, listed from its western side: stations
    // 0.1° apart stay 11.1 km apart, not a world apart.
    QList<std::shared_ptr<const SacObject>> acrossTheDateLine;
    for (const float lon : {-179.95f, 179.95f, -179.85f}) {
        auto s = std::make_shared<SacObject>(*seismograms.first());
        s->GetSacHeader()->stla = 0;
        s->GetSacHeader()->stlo = lon;
        acrossTheDateLine << s;
    }
    const auto across = fkArrayAnalysis::stationOffsets(acrossTheDateLine);
    ASSERT_TRUE(across) << across.error().toStdString();
    EXPECT_NEAR(across->at(0).east, 0.0, 0.01);
    EXPECT_NEAR(across->at(1).east, -0.1 * 111.19, 0.01);
    EXPECT_NEAR(across->at(2).east, 0.1 * 111.19, 0.01);
}

// Waves from every quadrant, off the grid's nodes, at crustal and mantle speeds, through noise.
TEST(FKArrayAnalysis, PeakWithinOneGridStepOfThePlaneWave) {
    for (const double backAzimuth : {0.0, 37.0, 128.0, 221.0, 306.0}) {
        for (const double velocity : {6.3, 11.5}) {
            SCOPED_TRACE(testing::Message() << "baz " << backAzimuth << " v " << velocity);
            const syntheticArray::wave w{backAzimuth, velocity};
            const auto fk =
                fkArrayAnalysis::compute(syntheticArray::seismograms(w), standardRequest());
            ASSERT_TRUE(fk) << fk.error().toStdString();
            EXPECT_EQ(fk->gridSide(), 101);
            const syntheticArray::offset truth = syntheticArray::slownessOf(w);
            const auto& peak = fk->strongest();
            EXPECT_LE(std::abs(peak.slownessEast - truth.east), 0.01 + 1e-9);
            EXPECT_LE(std::abs(peak.slownessNorth - truth.north), 0.01 + 1e-9);
            // One step of slowness at 1/6.3 s/km turns the direction by at most ~5°.
            EXPECT_LT(angleBetween(peak.backAzimuth, backAzimuth), 5.0);
            EXPECT_NEAR(peak.apparentVelocity, velocity, 0.1 * velocity);
            EXPECT_GT(peak.relativePower, 0.6);
            EXPECT_LE(peak.relativePower, 1.0);
            const auto [low, high] =
                std::minmax_element(fk->relativePower().begin(), fk->relativePower().end());
            EXPECT_GE(*low, 0.0f);
            EXPECT_EQ(*high, float(peak.relativePower));
        }
    }
}

TEST(FKArrayAnalysis, WaveFromTheNorthHasBackAzimuthZero) {
    // 10 km/s from the north: slowness (0, -0.1), a grid node.
    const auto fk =
        fkArrayAnalysis::compute(syntheticArray::seismograms({0, 10, 0.0}), standardRequest());
    ASSERT_TRUE(fk) << fk.error().toStdString();
    EXPECT_EQ(fk->strongest().slownessEast, 0.0);
    EXPECT_NEAR(fk->strongest().slownessNorth, -0.1, 1e-12);
    EXPECT_EQ(fk->strongest().backAzimuth, 0.0);
    EXPECT_NEAR(fk->strongest().apparentVelocity, 10.0, 1e-9);
    // Without noise the beam stacks the stations perfectly, however their samples fall: the
    // stations start fractions of a sample apart, and ignoring that costs about 0.01 here.
    EXPECT_GT(fk->strongest().relativePower, 0.998);
}

TEST(FKArrayAnalysis, GridFollowsTheRequest) {
    auto how = standardRequest();
    how.slownessMax = 0.3;
    how.slownessStep = 0.02;
    const auto fk = fkArrayAnalysis::compute(syntheticArray::seismograms({221, 6.3}), how);
    ASSERT_TRUE(fk) << fk.error().toStdString();
    EXPECT_EQ(fk->gridSide(), 31);
    EXPECT_DOUBLE_EQ(fk->slownessAt(0), -0.3);
    EXPECT_EQ(fk->slownessAt(15), 0.0);
    EXPECT_DOUBLE_EQ(fk->slownessAt(30), 0.3);
    EXPECT_EQ(fk->relativePower().size(), 31u * 31u);
    for (double f : fk->frequencies()) {
        EXPECT_GE(f, 0.8 - 1e-9);
        EXPECT_LE(f, 3.0 + 1e-9);
    }
}

TEST(FKArrayAnalysis, RefusesWhatItCannotAnalyse) {
    const auto array = syntheticArray::seismograms({37, 8});
    const auto refusal = [](const QList<std::shared_ptr<const SacObject>>& seismograms,
                            const fkArrayAnalysis::request& how) {
        const auto fk = fkArrayAnalysis::compute(seismograms, how);
        EXPECT_FALSE(fk);
        return fk ? QString() : fk.error();
    };

    EXPECT_TRUE(refusal(array.mid(0, 2), standardRequest()).contains(QStringLiteral("at least 3")));

    auto coarse = std::make_shared<SacObject>(*array.at(1));
    coarse->GetSacHeader()->delta = 0.05f;
    auto unequal = array;
    unequal[1] = coarse;
    const QString intervals = refusal(unequal, standardRequest());
    EXPECT_TRUE(intervals.contains(QStringLiteral("sample intervals differ")))
        << intervals.toStdString();
    EXPECT_TRUE(intervals.contains(QStringLiteral("AR.S2")));

    auto lost = std::make_shared<SacObject>(*array.at(4));
    lost->GetSacHeader()->stlo = SacHeader::undefinedValue;
    auto unplaced = array;
    unplaced[4] = lost;
    EXPECT_TRUE(refusal(unplaced, standardRequest())
                    .contains(QStringLiteral("AR.S5 has no station coordinates")));

    auto late = standardRequest();
    late.windowStart = 50; // the data last 60 s
    EXPECT_TRUE(refusal(array, late).contains(QStringLiteral("outside the data")));
    auto early = standardRequest();
    early.windowStart = -1;
    EXPECT_TRUE(refusal(array, early).contains(QStringLiteral("outside the data")));

    // 0.025 s is not exact in a float header; its Nyquist frequency is still 20 Hz.
    auto toNyquist = standardRequest();
    toNyquist.maxFrequency = 20;
    EXPECT_TRUE(fkArrayAnalysis::compute(array, toNyquist));
    auto aboveNyquist = standardRequest();
    aboveNyquist.maxFrequency = 25;
    EXPECT_TRUE(refusal(array, aboveNyquist).contains(QStringLiteral("Nyquist")));
    auto between = standardRequest();
    between.minFrequency = 1.01;
    between.maxFrequency = 1.02; // bins lie 0.05 Hz apart
    EXPECT_TRUE(refusal(array, between).contains(QStringLiteral("no frequency")));

    auto tooFine = standardRequest();
    tooFine.slownessStep = 0.001;
    EXPECT_TRUE(refusal(array, tooFine).contains(QStringLiteral("401")));

    QList<std::shared_ptr<const SacObject>> silent;
    for (const auto& s : array) {
        auto zero = std::make_shared<SacObject>(*s);
        std::fill(zero->GetSacSeis(), zero->GetSacSeis() + zero->npts(), 1.5f);
        silent << zero;
    }
    EXPECT_TRUE(refusal(silent, standardRequest()).contains(QStringLiteral("no signal")));
}
