#include "eventSectionView.h"
#include "logCapture.h"
#include "seismogramTestSupport.h"
#include "travelTimeCalculator.h"

#include <QTimeZone>

#include <gtest/gtest.h>

#include <cstring>

using namespace seismogramTestSupport;

namespace {

// 800 × 500 points: the plot rectangle is (70, 56, 630, 380), station labels right of 700.
constexpr double left = 70, bottom = 56, width = 630, height = 380, right = left + width;

void setText(char (&field)[8], const char* text) {
    std::memset(field, ' ', sizeof field);
    std::memcpy(field, text, std::min(std::strlen(text), sizeof field));
}

// A seismogram made from samples always has its header.
SacHeader& headerOf(const std::shared_ptr<SacObject>& s) {
    SacHeader* h = s->GetSacHeader();
    if (!h)
        std::abort();
    return *h;
}

const QDateTime tenOClock(QDate(2026, 12, 8), QTime(10, 0), QTimeZone::utc());

// A flat record of `seconds` at 1 Hz from `begin` after its reference time, with a spike of
// `spike` at `spikeAt` s after the reference time, of an event at 0°, 0° and 10 km whose origin
// lies `origin` s after the reference time.
std::shared_ptr<SacObject> eventTrace(const char* station, float distance, float origin,
                                      float begin = 0, int seconds = 600, float spikeAt = -1,
                                      float spike = 10, const QDateTime& reference = tenOClock) {
    std::vector<float> samples(std::size_t(seconds) + 1, 0.0f);
    if (spikeAt >= begin && spikeAt - begin <= float(seconds))
        samples[std::size_t(spikeAt - begin)] = spike;
    auto s = std::make_shared<SacObject>();
    s->InitWithSamples(std::move(samples), 1, begin, reference);
    SacHeader& h = headerOf(s);
    setText(h.kstnm, station);
    setText(h.kcmpnm, "BHZ");
    h.evla = 0;
    h.evlo = 0;
    h.evdp = 10;
    h.o = origin;
    h.gcarc = distance;
    return s;
}

// The section's mapping for the whole-record limits the tests set up.
struct axes {
    double t0, t1, d0, d1;
    double x(double t) const { return left + (t - t0) * width / (t1 - t0); }
    double y(double d) const { return bottom + (d - d0) * height / (d1 - d0); }
};

// Any pixel of the column at x between heights `from` and `to` that is not white.
bool inkBetween(const QImage& image, double x, double from, double to) {
    for (double y = from; y <= to; y += 0.5) {
        if (pixelAt(image, x, y) != QColor(Qt::white))
            return true;
    }
    return false;
}

} // namespace

TEST(EventSectionView, TracesStandAtTheirDistancesAndTimesClippedToTheirBands) {
    eventSectionView view;
    view.resize(800, 500);
    view.setPhases({});
    // 20°, 40° and 60°: 20° apart, so the distances run from 10° to 70° and the bands meet
    // halfway. The spikes (1000 s after the origin and later) reach a spacing above the line,
    // and are cut at their band's edge.
    view.setWvfrmsArray({eventTrace("FAR", 60, 0, 0, 600, 300),
                         eventTrace("NEAR", 20, 0, 0, 600, 100),
                         eventTrace("MID", 40, 0, 0, 600, 200, -10)});
    ASSERT_EQ(view.sectionTraces().size(), 3u);
    EXPECT_EQ(view.sectionTraces().front().label, QStringLiteral("NEAR BHZ"));
    EXPECT_EQ(view.bandOf(1), std::make_pair(30.0, 50.0));
    EXPECT_EQ(view.bandOf(2), std::make_pair(50.0, 70.0));
    const axes a{0, 600, 10, 70};
    const recordedTexts texts;
    const QImage image = render(view);

    // Each line at its distance; each spike at its time, up to the band's edge and no further.
    for (double d : {20.0, 40.0, 60.0})
        EXPECT_TRUE(inkBetween(image, a.x(50) + 0.5, a.y(d) - 1, a.y(d) + 1)) << d;
    EXPECT_TRUE(inkBetween(image, a.x(100) + 0.5, a.y(22), a.y(29.5)));
    EXPECT_FALSE(inkBetween(image, a.x(100) + 0.5, a.y(30.5), a.y(39)));
    EXPECT_FALSE(inkBetween(image, a.x(50) + 0.5, a.y(22), a.y(39)));
    // The negative spike of MID goes down to its band's lower edge, not into NEAR's band.
    EXPECT_TRUE(inkBetween(image, a.x(200) + 0.5, a.y(30.5), a.y(38)));
    EXPECT_FALSE(inkBetween(image, a.x(200) + 0.5, a.y(21), a.y(29.5)));
    // FAR's band ends at the plot's top: nothing of the spike above it.
    EXPECT_TRUE(inkBetween(image, a.x(300) + 0.5, a.y(62), a.y(69.5)));
    EXPECT_FALSE(inkBetween(image, a.x(300) + 0.5, a.y(70) + 1.5, a.y(70) + 20));

    // The axes in their units, the labels beside their lines in the right margin.
    EXPECT_NE(texts.find(QStringLiteral("Time (s)")), nullptr);
    EXPECT_NE(texts.find(QStringLiteral("Distance (°)")), nullptr);
    for (const auto& [station, d] :
         {std::pair{"NEAR BHZ", 20.0}, {"MID BHZ", 40.0}, {"FAR BHZ", 60.0}}) {
        const auto* label = texts.find(QString::fromLatin1(station));
        ASSERT_NE(label, nullptr) << station;
        EXPECT_DOUBLE_EQ(label->anchor.x(), right + 6);
        const double middle =
            label->anchor.y() + QVRTextAttributes::helvetica(10).measure(label->text).height() / 2;
        EXPECT_NEAR(middle, a.y(d), 0.01) << station;
    }
}

TEST(EventSectionView, FilesOfOneEventAlignOnTheOriginWhateverTheirBeginTimes) {
    eventSectionView view;
    view.resize(800, 500);
    view.setPhases({});
    // Both origins are 10:01:40 and both spikes 10:03:00, 80 s after it: one file starts at
    // 10:00:00 with o = 100, the other's reference is 10:01:00 with b = 30 and o = 40.
    auto early = eventTrace("EARLY", 30, 100, 0, 400, 180, 5);
    auto late = eventTrace("LATE", 50, 40, 30, 400, 120, 7, tenOClock.addSecs(60));
    view.setWvfrmsArray({early, late});
    // From EARLY's first sample, 100 s before the origin, to LATE's last, 390 s after it.
    EXPECT_EQ(view.wholeRecordXLimits(), std::make_pair(-100.0f, 390.0f));
    const axes a{-100, 390, 20, 60};
    const QImage image = render(view);
    // Each spike rises a whole band (95 points) above its line: the column of its top.
    for (double d : {30.0, 50.0}) {
        EXPECT_TRUE(inkBetween(image, a.x(80) + 0.5, a.y(d) + 3, a.y(d) + 90)) << d;
        EXPECT_FALSE(inkBetween(image, a.x(75) + 0.5, a.y(d) + 3, a.y(d) + 90)) << d;
        EXPECT_FALSE(inkBetween(image, a.x(85) + 0.5, a.y(d) + 3, a.y(d) + 90)) << d;
    }
    // The read-out of either spike: 80 s after the origin, 10:03:00, its own amplitude.
    for (const auto& [d, amplitude, index] : {std::tuple{30.0, 5.0, 0}, {50.0, 7.0, 1}}) {
        const auto reading = view.readingAt(QPointF(a.x(80), a.y(d) + 1));
        ASSERT_TRUE(reading.has_value()) << d;
        EXPECT_NEAR(*reading->secondsAfterOrigin, 80, 0.5);
        EXPECT_EQ(reading->utc, QDateTime(QDate(2026, 12, 8), QTime(10, 3), QTimeZone::utc()));
        EXPECT_EQ(reading->amplitude, amplitude);
        EXPECT_EQ(reading->traceIndex, index);
    }
    EXPECT_FALSE(view.readingAt(QPointF(left - 5, a.y(30))).has_value());
    EXPECT_FALSE(view.readingAt(QPointF(a.x(80), bottom + height + 5)).has_value());

    // A zoom is the x limits alone, and the axis turns to minutes on a long span.
    view.setXLimits(60, 100);
    const QImage zoomed = render(view);
    const axes z{60, 100, 20, 60};
    // Zoomed in, the spike's flanks are steep lines cut at the band's edge.
    for (double t : {79.25, 80.75})
        EXPECT_TRUE(inkBetween(zoomed, z.x(t), z.y(30) + 3, z.y(30) + 90)) << t;
    for (double t : {78.5, 81.5})
        EXPECT_FALSE(inkBetween(zoomed, z.x(t), z.y(30) + 3, z.y(30) + 90)) << t;
    const recordedTexts texts;
    view.setXLimits(0, 1800);
    render(view);
    EXPECT_NE(texts.find(QStringLiteral("Time (min)")), nullptr);
    // A reduction velocity draws each trace distance / velocity earlier.
    view.setWvfrmsArray({early});
    view.setReductionVelocity(8);
    const float shift = float(30 * 111.19 / 8);
    EXPECT_NEAR(view.wholeRecordXLimits().first, -100 - shift, 1e-3);
    EXPECT_NEAR(view.xmin(), -100 - shift, 1e-3);
    render(view);
    EXPECT_NE(texts.find(QStringLiteral("Time - distance/8 km/s (s)")), nullptr);
}

TEST(EventSectionView, TravelTimeCurvesPassThroughPicksSetAtThePredictedTimes) {
    const travelTimeCalculator ak135(*earthModel::named(QStringLiteral("ak135")));
    const auto first = [&](const char* phase, double distance) {
        return ak135.arrivals(10, distance, {QString::fromLatin1(phase)}).front().time;
    };
    eventSectionView view;
    view.resize(800, 500);
    view.setPhases({QStringLiteral("P"), QStringLiteral("S")});
    std::vector<std::shared_ptr<SacObject>> traces;
    for (double d : {30.0, 60.0}) {
        auto s = eventTrace("STA", float(d), 20, 0, 1400);
        SacHeader& h = headerOf(s);
        h.t0 = float(20 + first("P", d));
        setText(h.kt0, "P");
        h.t1 = float(20 + first("S", d));
        setText(h.kt1, "S");
        traces.push_back(s);
    }
    view.setWvfrmsArray({traces[0], traces[1]});
    const axes a{-20, 1380, 15, 75};
    const recordedTexts texts;
    const QImage image = render(view);
    // Below each trace's line the curves are straight enough over a few points: where they
    // cross two rows (P blue, S vermillion) points to where they cross the line, which is
    // where the pick's mark stands.
    const auto crossing = [&](double y, double x, bool blue) {
        double sum = 0;
        int count = 0;
        for (double dx = -15; dx <= 15; dx += 1) {
            const QColor c = pixelAt(image, x + dx + 0.5, y);
            if (blue ? c.blue() > c.red() + 60 : c.red() > c.blue() + 60) {
                sum += x + dx + 0.5;
                ++count;
            }
        }
        return count > 0 ? sum / count : -1e9;
    };
    for (double d : {30.0, 60.0}) {
        SCOPED_TRACE(d);
        for (const auto& [phase, blue] : {std::pair{"P", true}, {"S", false}}) {
            const double x = a.x(first(phase, d));
            const double near = crossing(a.y(d) - 4.5, x, blue);
            const double far = crossing(a.y(d) - 8.5, x, blue);
            EXPECT_NEAR(near + (near - far) * 4.5 / 4, x, 1.0) << phase;
        }
    }
    // The picks are named beside their marks; the curves are named where they leave the plot.
    std::vector<double> pickXs;
    for (const auto& t : texts.all) {
        if (t.text == QStringLiteral("P") && t.anchor.y() < bottom + height)
            pickXs.push_back(t.anchor.x() - 2);
    }
    ASSERT_EQ(pickXs.size(), 2u);
    std::sort(pickXs.begin(), pickXs.end());
    EXPECT_NEAR(pickXs[0], a.x(first("P", 30)), 0.01);
    EXPECT_NEAR(pickXs[1], a.x(first("P", 60)), 0.01);
    int named = 0;
    for (const auto& t : texts.all)
        named += (t.text == QStringLiteral("P") || t.text == QStringLiteral("S")) &&
                 t.anchor.y() >= bottom + height;
    EXPECT_EQ(named, 2);
}

TEST(EventSectionView, LabelsStayInTheMarginApartAndNothingUndefinedIsPrinted) {
    eventSectionView view;
    view.resize(800, 500);
    // Three stations within a fifth of a degree: the nearest's label stands at its line, the
    // farthest's is pushed up into its own wide band, and the one between has no room left in
    // its band of a tenth of a degree: it is left out rather than drawn over another.
    auto a = eventTrace("AAA", 40.0f, 0), b = eventTrace("BBB", 40.1f, 0),
         c = eventTrace("CCC", 40.2f, 0), far = eventTrace("FAR", 80, 0);
    setText(headerOf(c).kcmpnm, "-12345");
    headerOf(a).evdp = SacHeader::undefinedValue;
    headerOf(far).t3 = 500; // a pick without a label
    logCapture log;
    view.setWvfrmsArray({c, b, a, far});
    const recordedTexts texts;
    render(view);
    EXPECT_TRUE(log.problems().isEmpty());
    QList<QRectF> boxes;
    for (const auto& t : texts.all) {
        EXPECT_FALSE(t.text.contains(QStringLiteral("-12345"))) << qPrintable(t.text);
        if (t.anchor.x() >= right) {
            const QRectF box(t.anchor, QVRTextAttributes::helvetica(10).measure(t.text));
            for (const QRectF& other : boxes)
                EXPECT_FALSE(other.intersects(box)) << qPrintable(t.text);
            boxes.append(box);
        }
    }
    EXPECT_EQ(boxes.size(), 3);
    EXPECT_NE(texts.find(QStringLiteral("T3")), nullptr);
    EXPECT_NE(texts.find(QStringLiteral("CCC")), nullptr);
    EXPECT_EQ(texts.find(QStringLiteral("BBB BHZ")), nullptr);
    // The event line says what it took for the unknown depth of the nearest file's event.
    bool depthSaid = false;
    for (const auto& t : texts.all)
        depthSaid |= t.text.contains(QStringLiteral("depth unknown, 0 km taken"));
    EXPECT_TRUE(depthSaid);
}

TEST(EventSectionView, FilesWithoutAnEventOrOriginAreLeftOutWithOneLineEach) {
    eventSectionView view;
    view.resize(800, 500);
    auto noOrigin = eventTrace("NOO", 30, 0);
    headerOf(noOrigin).o = SacHeader::undefinedValue;
    auto noEvent = eventTrace("NOE", 30, 0);
    headerOf(noEvent).evla = SacHeader::undefinedValue;
    // No gcarc, but both places: 30° along the equator.
    auto placed = eventTrace("PLACED", SacHeader::undefinedValue, 0);
    headerOf(placed).stla = 0;
    headerOf(placed).stlo = 30;
    auto nowhere = eventTrace("NOWHERE", SacHeader::undefinedValue, 0);

    logCapture log;
    view.setWvfrmsArray({noOrigin, noEvent, placed, nowhere});
    ASSERT_EQ(view.sectionTraces().size(), 1u);
    EXPECT_NEAR(view.sectionTraces().front().distance, 30, 1e-3);
    EXPECT_EQ(view.sectionTraces().front().index, 2);
    ASSERT_EQ(log.problems().size(), 3);
    EXPECT_TRUE(log.problems().at(0).endsWith(QStringLiteral("no origin time (o)")));
    EXPECT_TRUE(log.problems().at(1).endsWith(QStringLiteral("no event coordinates (evla, evlo)")));
    EXPECT_TRUE(
        log.problems().at(2).endsWith(QStringLiteral("no distance (gcarc, or stla and stlo)")));

    // None left: the view says so instead of drawing axes for nothing.
    view.setWvfrmsArray({noOrigin});
    const recordedTexts texts;
    render(view);
    ASSERT_EQ(texts.all.size(), 1u);
    EXPECT_EQ(texts.all.front().text,
              QStringLiteral("No seismogram with an event and an origin time to show"));
    EXPECT_FALSE(view.pickAt(QPointF(300, 200), QStringLiteral("P")));
}

TEST(EventSectionView, PickAtSetsThePickOfTheTraceUnderThePoint) {
    eventSectionView view;
    view.resize(800, 500);
    view.setPhases({});
    auto near = eventTrace("NEAR", 20, 30), far = eventTrace("FAR", 40, 30);
    view.setWvfrmsArray({near, far});
    const axes a{-30, 570, 10, 50};
    // P 250 s after the origin on the trace whose band holds the point (FAR's: 30° to 50°),
    // counted from the reference time as SAC picks are.
    ASSERT_TRUE(view.pickAt(QPointF(a.x(250), a.y(33)), QStringLiteral("P")));
    EXPECT_NEAR(far->GetSacHeader()->t2, 280, 0.01);
    EXPECT_EQ(far->pickLabelWithKey(2), QStringLiteral("P"));
    EXPECT_EQ(near->GetSacHeader()->t2, SacHeader::undefinedValue);
    ASSERT_TRUE(view.pickAt(QPointF(a.x(100), a.y(24)), QStringLiteral("S")));
    EXPECT_NEAR(near->GetSacHeader()->t3, 130, 0.01);
    EXPECT_EQ(near->pickLabelWithKey(3), QStringLiteral("S"));
    // Other phases and points off the plot set nothing.
    EXPECT_FALSE(view.pickAt(QPointF(a.x(100), a.y(24)), QStringLiteral("Q")));
    EXPECT_FALSE(view.pickAt(QPointF(left - 1, a.y(24)), QStringLiteral("P")));
    const recordedTexts texts;
    render(view);
    const auto* p = texts.find(QStringLiteral("P"));
    ASSERT_NE(p, nullptr);
    EXPECT_NEAR(p->anchor.x(), a.x(250) + 2, 0.01);
}
