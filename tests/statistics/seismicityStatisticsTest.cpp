// The Gutenberg–Richter figures against values worked out by hand, the rounding into 0.1 bins,
// the guards, and the choice of the magnitude an origin counts with.

#include "seismicityStatistics.h"

#include <QList>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const double log10e = 0.43429448190325182765;
const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

std::shared_ptr<seismicOrigin> originOf(float magnitude, bool withRecord, float depth = 10) {
    auto o = std::make_shared<seismicOrigin>();
    o->setMagnitude(magnitude);
    o->setDepth(depth);
    if (withRecord) {
        auto m = std::make_shared<QVRMagnitude>();
        m->setMvalue(magnitude);
        o->addObjectToMagnitudes(m);
    }
    return o;
}

} // namespace

TEST(SeismicityStatistics, FiguresOfASmallListByHand) {
    // Bins: 1.0 ×2, 1.1 ×3, 1.2 ×1, 1.3 ×1, so Mc = 1.1 and the five events from 1.1 up count.
    // mean = (3 × 1.1 + 1.2 + 1.3) / 5 = 5.8 / 5 = 1.16
    // b = log10(e) / (1.16 − (1.1 − 0.05)) = 0.4342944819 / 0.11 = 3.948131654
    // Σ(M − mean)² = 3 × 0.06² + 0.04² + 0.14² = 0.0108 + 0.0016 + 0.0196 = 0.032
    // b_error = 2.30 × b² × sqrt(0.032 / (5 × 4)) = 2.30 × 15.58774355 × 0.04 = 1.434072407
    // a = log10(5) + b × 1.1 = 0.6989700043 + 4.342944819 = 5.041914823
    const auto s = seismicityStatistics::ofMagnitudes({1.3, 1.0, 1.1, 1.2, 1.1, 1.0, 1.1});
    EXPECT_EQ(s.events(), 7);
    EXPECT_NEAR(s.mc(), 1.1, 1e-12);
    EXPECT_EQ(s.nAboveMc(), 5);
    EXPECT_NEAR(s.b(), log10e / 0.11, 1e-9);
    EXPECT_NEAR(s.b(), 3.948131654, 1e-8);
    EXPECT_NEAR(s.bError(), 1.434072407, 1e-8);
    EXPECT_NEAR(s.a(), 5.041914823, 1e-8);
    EXPECT_TRUE(s.tooFewEvents());
    // The fitted line passes through log10 n at Mc.
    EXPECT_NEAR(s.fittedLog10Count(1.1), std::log10(5.0), 1e-12);
    EXPECT_EQ(s.printed(), "events 7\nmc 1.10\nn_above_mc 5\nb 3.948\nb_error 1.434\na 5.042\n");
}

TEST(SeismicityStatistics, TooFewEventsBelowFiftyAtOrAboveMc) {
    // 30 events of 3.0 and 20 of 3.1: Mc = 3.0, n = 50, mean = (90 + 62) / 50 = 3.04,
    // b = 0.4342944819 / (3.04 − 2.95) = 4.825494244, a = log10(50) + 3 b = 16.17547
    std::vector<double> magnitudes(30, 3.0);
    magnitudes.insert(magnitudes.end(), 20, 3.1);
    const auto enough = seismicityStatistics::ofMagnitudes(magnitudes);
    EXPECT_EQ(enough.nAboveMc(), 50);
    EXPECT_FALSE(enough.tooFewEvents());
    EXPECT_NEAR(enough.b(), 4.825494244, 1e-8);
    EXPECT_NEAR(enough.a(), std::log10(50.0) + 3 * 4.825494244, 1e-7);

    // Events below Mc do not help: 49 at or above it is too few, however many lie below.
    magnitudes.pop_back();
    magnitudes.insert(magnitudes.end(), 25, 2.0);
    const auto tooFew = seismicityStatistics::ofMagnitudes(magnitudes);
    EXPECT_NEAR(tooFew.mc(), 3.0, 1e-12);
    EXPECT_EQ(tooFew.events(), 74);
    EXPECT_EQ(tooFew.nAboveMc(), 49);
    EXPECT_TRUE(tooFew.tooFewEvents());
    EXPECT_TRUE(std::isfinite(tooFew.b())); // still shown, with the words
}

TEST(SeismicityStatistics, TiesGoToTheSmallestMagnitudeWhateverTheOrder) {
    // 2.0 and 2.1 have two events each: Mc = 2.0, and all five count.
    for (const std::vector<double>& list : {std::vector<double>{2.0, 2.0, 2.1, 2.1, 2.5},
                                            std::vector<double>{2.5, 2.1, 2.0, 2.1, 2.0}}) {
        const auto s = seismicityStatistics::ofMagnitudes(list);
        EXPECT_NEAR(s.mc(), 2.0, 1e-12);
        EXPECT_EQ(s.nAboveMc(), 5);
    }
}

TEST(SeismicityStatistics, BinsRoundToTheNearestTenthAsTheCatalogueWroteIt) {
    // Binary fractions sit on either side of the tenth they stand for.
    EXPECT_EQ(seismicityStatistics::binOf(2.3), 23);
    EXPECT_EQ(seismicityStatistics::binOf(double(2.3f)), 23);
    EXPECT_EQ(seismicityStatistics::binOf(0.7 * 3), 21); // 2.0999999999999996
    // Halves go away from zero, also when the float is a hair below the half.
    EXPECT_EQ(seismicityStatistics::binOf(double(2.05f)), 21); // 2.0499999523
    EXPECT_EQ(seismicityStatistics::binOf(2.45), 25);
    EXPECT_EQ(seismicityStatistics::binOf(2.449), 24);
    EXPECT_EQ(seismicityStatistics::binOf(-0.05), -1);
    EXPECT_EQ(seismicityStatistics::binOf(-0.04), 0);

    // Events of the Mc bin's lower half count as at or above Mc: 1.96 and 1.95 are in bin 2.0.
    // mean = (1.95 + 1.96 + 2.0 + 2.1) / 4 = 2.0025; b = 0.4342944819 / 0.0525 = 8.272275846
    const auto s = seismicityStatistics::ofMagnitudes({1.95, 1.96, 2.0, 2.1, 1.5});
    EXPECT_NEAR(s.mc(), 2.0, 1e-12);
    EXPECT_EQ(s.nAboveMc(), 4);
    EXPECT_NEAR(s.b(), 8.272275846, 1e-8);
}

TEST(SeismicityStatistics, GuardsLeaveUndefinedFiguresUndefined) {
    // Nothing at all.
    const auto none = seismicityStatistics::ofMagnitudes({});
    EXPECT_EQ(none.events(), 0);
    EXPECT_TRUE(std::isnan(none.mc()));
    EXPECT_TRUE(none.tooFewEvents());
    EXPECT_EQ(none.printed(), "events 0\nmc nan\nn_above_mc 0\nb nan\nb_error nan\na nan\n");

    // Values that are not numbers are left out; one event gives Mc but no slope.
    const auto one = seismicityStatistics::ofMagnitudes({notANumber, 3.04, inf, -inf});
    EXPECT_EQ(one.events(), 1);
    EXPECT_NEAR(one.mc(), 3.0, 1e-12);
    EXPECT_EQ(one.nAboveMc(), 1);
    EXPECT_TRUE(std::isnan(one.b()));
    EXPECT_TRUE(std::isnan(one.bError()));
    EXPECT_TRUE(std::isnan(one.a()));

    // Every event on the Mc bin's lower edge: the mean minus the edge is zero.
    const auto onEdge = seismicityStatistics::ofMagnitudes({2.45, 2.45, 2.45});
    EXPECT_NEAR(onEdge.mc(), 2.5, 1e-12);
    EXPECT_EQ(onEdge.nAboveMc(), 3);
    EXPECT_TRUE(std::isnan(onEdge.b()));
    EXPECT_EQ(onEdge.printed(), "events 3\nmc 2.50\nn_above_mc 3\nb nan\nb_error nan\na nan\n");

    // Equal magnitudes: no spread, so b_error is 0 and b is log10(e) / 0.05.
    const auto same = seismicityStatistics::ofMagnitudes({4.0, 4.0});
    EXPECT_NEAR(same.b(), log10e / 0.05, 1e-9);
    EXPECT_EQ(same.bError(), 0.0);
}

TEST(SeismicityStatistics, CumulativeCountsFillEveryBinFromTheTopDown) {
    const auto curve = seismicityStatistics::cumulativeCounts({1.2, 1.0, notANumber, 1.24, 1.46});
    ASSERT_EQ(curve.size(), 6u); // 1.0 to 1.5
    const int expected[] = {4, 3, 3, 1, 1, 1};
    for (size_t i = 0; i < curve.size(); ++i) {
        EXPECT_NEAR(curve[i].magnitude, 1.0 + 0.1 * double(i), 1e-12) << i;
        EXPECT_EQ(curve[i].count, expected[i]) << i;
    }
    EXPECT_TRUE(seismicityStatistics::cumulativeCounts({}).empty());
}

TEST(SeismicityStatistics, OriginsCountWithTheirShownMagnitudeAndThoseWithoutAreLeftOut) {
    const originList origins = {
        originOf(4.2f, true),
        originOf(0.0f, false),               // a reader's 0 for "no magnitude": left out
        originOf(0.0f, true),                // a real magnitude 0
        originOf(3.1f, false),               // a list that gives no records, only the value
        originOf(std::nanf(""), true),       // not a number
        originOf(2.6f, true, std::nanf("")), // no depth
        nullptr,
    };
    const std::vector<double> magnitudes = seismicityStatistics::magnitudesOf(origins);
    ASSERT_EQ(magnitudes.size(), 4u);
    EXPECT_FLOAT_EQ(float(magnitudes[0]), 4.2f);
    EXPECT_EQ(magnitudes[1], 0.0);
    EXPECT_FLOAT_EQ(float(magnitudes[2]), 3.1f);
    EXPECT_FLOAT_EQ(float(magnitudes[3]), 2.6f);
    // Asking leaves an origin without a list as it was.
    EXPECT_FALSE(origins[1]->hasMagnitudeList());
    EXPECT_EQ(seismicityStatistics::depthsOf(origins).size(), 5u);

    // Inclusive limits, compared as the catalogues compare them: 2.6 is within 2.6 to 3.1.
    const originList kept = seismicityStatistics::withinMagnitudes(origins, 2.6, 3.1);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_FLOAT_EQ(kept[0]->magnitude(), 3.1f);
    EXPECT_FLOAT_EQ(kept[1]->magnitude(), 2.6f);
}
