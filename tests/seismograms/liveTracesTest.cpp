// What the live display makes of a load: traces placed by their absolute start times in the
// requested window, normalised or not, and the earthquakes to mark.

#include "liveTraces.h"

#include <gtest/gtest.h>

namespace {

const QDateTime noon(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc());

std::shared_ptr<SacObject> trace(const QDateTime& reference, float begin,
                                 std::vector<float> samples) {
    auto s = std::make_shared<SacObject>();
    s->InitWithSamples(std::move(samples), 0.5f, begin, reference);
    return s;
}

} // namespace

TEST(LiveTraces, RequestedWindowsEndWhereTheRequestEnds) {
    const auto forward = liveTraces::requestedWindow(noon, 60, false, noon.addDays(1));
    EXPECT_EQ(forward.end, noon.addSecs(3600));
    EXPECT_DOUBLE_EQ(forward.seconds, 3600);
    // A negative duration ends the request at its start.
    const auto backward = liveTraces::requestedWindow(noon, -30, false, noon.addDays(1));
    EXPECT_EQ(backward.end, noon);
    EXPECT_DOUBLE_EQ(backward.seconds, 1800);
    // Live, the window ends now, whatever the start field says.
    const auto live = liveTraces::requestedWindow(QDateTime(), 10, true, noon);
    EXPECT_EQ(live.end, noon);
    EXPECT_DOUBLE_EQ(live.seconds, 600);
}

TEST(LiveTraces, TracesArePlacedByTheirAbsoluteStartAndOptionallyNormalised) {
    const liveTraces::window w{noon, 3600};
    // One starting 10 minutes into the window (reference 11:00, begin 600 s), one starting
    // 30 s before the window, one without a reference time.
    const auto early = trace(noon.addSecs(-3600), 600.0f, {1.0f, -4.0f, 2.0f});
    const auto before = trace(noon.addSecs(-3630), 0.0f, {0.5f, 0.25f});
    auto unplaced = std::make_shared<SacObject>();
    unplaced->InitWithSamples({1.0f}, 1.0f, 0.0f, QDateTime());

    const auto placed = liveTraces::placedInWindow({early, before, unplaced}, w, false);
    ASSERT_EQ(placed.size(), 2);
    EXPECT_FLOAT_EQ(placed.at(0)->b(), 600.0f);
    EXPECT_FLOAT_EQ(placed.at(0)->e(), 601.0f);
    EXPECT_FLOAT_EQ(placed.at(1)->b(), -30.0f);
    EXPECT_FLOAT_EQ(placed.at(0)->GetSacSeis()[1], -4.0f);
    // The loaded seismograms themselves are left as they were.
    EXPECT_FLOAT_EQ(early->b(), 600.0f);

    const auto normalised = liveTraces::placedInWindow({early}, w, true);
    ASSERT_EQ(normalised.size(), 1);
    EXPECT_FLOAT_EQ(normalised.at(0)->GetSacSeis()[1], -1.0f);
    EXPECT_FLOAT_EQ(normalised.at(0)->GetSacSeis()[2], 0.5f);
    EXPECT_FLOAT_EQ(early->GetSacSeis()[1], -4.0f);
    // A flat trace stays flat.
    const auto flat = liveTraces::placedInWindow({trace(noon, 0, {0.0f, 0.0f})}, w, true);
    EXPECT_FLOAT_EQ(flat.at(0)->GetSacSeis()[0], 0.0f);

    QVRRealTimeDisplayView02 view;
    liveTraces::showInView(view, placed, w, false);
    EXPECT_EQ(view.refDate(), noon);
    EXPECT_FLOAT_EQ(view.xmin(), 0.0f);
    EXPECT_FLOAT_EQ(view.xmax(), 3600.0f);
    EXPECT_FLOAT_EQ(view.ymax(), 4.0f); // the largest absolute sample of all traces
    EXPECT_FLOAT_EQ(view.ymin(), -4.0f);
    liveTraces::showInView(view, normalised, w, true);
    EXPECT_FLOAT_EQ(view.ymax(), 1.0f);
    EXPECT_EQ(view.wvfrmsArray().size(), 1);
}

TEST(LiveTraces, VisibleOriginsBecomeEarthquakesThatFollowTheirRecords) {
    auto origin = std::make_shared<seismicOrigin>();
    origin->setMagnitude(6.2f);
    origin->setOriginDateTime(noon);
    const auto marked = liveTraces::earthquakesToMark({origin});
    ASSERT_EQ(marked.size(), 1);
    EXPECT_FLOAT_EQ(marked.first()->magnitude(), 6.2f);
    EXPECT_EQ(marked.first()->originTime(), noon);
    // A revised record shows as revised.
    origin->setOriginDateTime(noon.addSecs(5));
    EXPECT_EQ(marked.first()->originTime(), noon.addSecs(5));
}
