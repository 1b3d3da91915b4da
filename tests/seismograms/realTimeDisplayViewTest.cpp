#include "QVRRealTimeDisplayView02.h"
#include "realTimeDisplayView01.h"
#include "seismogramTestSupport.h"
#include "timeZones.h"

#include <gtest/gtest.h>

using namespace seismogramTestSupport;

namespace {

// 740 × 444 points: the plot rectangle is (60, 84, 600, 300).
constexpr double left = 60, right = 660, bottom = 84, top = 384;

void prepare(QVRRealTimeDisplayView02& view, float seconds, int traces = 1) {
    view.resize(740, 444);
    view.setXLimits(0, seconds);
    view.setYLimits(-1, 1);
    SeisView01::seismogramList flat;
    for (int i = 0; i < traces; ++i)
        flat << seismogram(std::vector<float>(601, 0.0f), 1, 0, QString("XX.S%1..BHZ").arg(i));
    view.setWvfrmsArray(flat);
}

// The minute labels: texts hanging below the plot, above the axis title.
QStringList minuteLabels(const recordedTexts& texts) {
    QStringList labels;
    for (const auto& t : texts.all) {
        if (t.anchor.y() < bottom - 4 && t.anchor.y() > 50)
            labels << t.text;
    }
    return labels;
}

double centreX(QVRView& view, const QVRTextDrawing::drawnText* text) {
    return text ? text->anchor.x() + view.labelAttributes().measure(text->text).width() / 2 : -1;
}

// An earthquake as the application presents one; counts the questions about its time.
struct stubEarthquake : QVRMarkedEarthquake {
    stubEarthquake(float m, QDateTime t)
        : m(m)
        , t(std::move(t)) {}
    float magnitude() const override { return m; }
    QDateTime originTime() const override {
        ++asked;
        return t;
    }
    float m;
    QDateTime t;
    mutable int asked = 0;
};

// Half-transparent red over white, in the column at x between the markers' ends.
int markerRedPixels(const QImage& image, double x) {
    int count = 0;
    for (double y = bottom + 33.5; y < top - 7; y += 1) {
        const QColor c = pixelAt(image, x, y);
        count += c.red() > 230 && std::abs(c.green() - 128) < 30 && std::abs(c.blue() - 128) < 30;
    }
    return count;
}

} // namespace

TEST(RealTimeDisplay, LayoutAndAnEmptyListDrawsOnlyTheBackground) {
    QVRRealTimeDisplayView02 view;
    prepare(view, 600, 0);
    view.computeRects();
    EXPECT_EQ(view.pRect(), QRectF(left, bottom, 600, 300));
    EXPECT_EQ(view.iRect(), view.pRect());
    view.setBackGroundColor(QColor(10, 20, 30));
    view.setTitle("Live");
    view.setRefDate(QDateTime(QDate(2026, 3, 5), QTime(12, 0), QTimeZone::utc()));
    view.setDrawOriginTimes(true);
    view.setEventOrigins({std::make_shared<stubEarthquake>(7, view.refDate())});
    const recordedTexts texts;
    const QImage image = render(view);
    EXPECT_TRUE(texts.all.empty());
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7)
            ASSERT_EQ(image.pixelColor(x, y), QColor(10, 20, 30)) << x << "," << y;
    }
}

TEST(RealTimeDisplay, BandsCentreLinesGainAndTraceLabels) {
    QVRRealTimeDisplayView02 view;
    prepare(view, 600, 3);
    // The third trace is raised by half an amplitude unit: at gain 1 a quarter band, 25 points.
    auto raised = seismogram(std::vector<float>(601, 0.5f), 1, 0, "XX.S2..BHZ");
    view.setWvfrmsArray({view.wvfrmsArray().at(0), view.wvfrmsArray().at(1), raised});
    recordedTexts texts;
    QImage image = render(view);
    for (double centre : {bottom + 50, bottom + 150}) {
        EXPECT_TRUE(inkNear(image, 400, centre)) << centre;
        EXPECT_FALSE(inkNear(image, 400, centre + 4) || inkNear(image, 400, centre - 4)) << centre;
    }
    EXPECT_TRUE(inkNear(image, 400, bottom + 250 + 25));
    EXPECT_FALSE(inkNear(image, 400, bottom + 250));
    // Labels stand 16 points below their band's top, 6 points into the plot, in 14 points.
    for (int i = 0; i < 3; ++i) {
        const auto* label = texts.find(QString("XX.S%1..BHZ").arg(i));
        ASSERT_NE(label, nullptr) << i;
        EXPECT_EQ(label->anchor, QPointF(left + 6, bottom + 100 * (i + 1) - 16)) << i;
    }
    EXPECT_EQ(view.labelAttributes().font.pixelSize(), 14);

    // Gain 2 doubles the lift; with the reference on the left, labels end at the right edge.
    view.setWaveformGain(2);
    view.setOriginOnRight(false);
    texts.all.clear();
    image = render(view);
    EXPECT_TRUE(inkNear(image, 400, bottom + 250 + 50));
    EXPECT_FALSE(inkNear(image, 400, bottom + 250 + 25));
    const auto* last = texts.find("XX.S2..BHZ");
    ASSERT_NE(last, nullptr);
    EXPECT_NEAR(last->anchor.x() + view.labelAttributes().measure(last->text).width(), right, 1e-3);
}

TEST(RealTimeDisplay, PiecesOfOneStreamShareABandAndItsLabel) {
    QVRRealTimeDisplayView02 view;
    prepare(view, 600, 0);
    // A stream with a gap from 200 s to 300 s, in two pieces, and a whole one above it.
    view.setWvfrmsArray({seismogram(std::vector<float>(201, 0.0f), 1, 0, "XX.A..BHZ"),
                         seismogram(std::vector<float>(301, 0.0f), 1, 300, "XX.A..BHZ"),
                         seismogram(std::vector<float>(601, 0.0f), 1, 0, "XX.B..BHZ")});
    view.setTraceBands({0, 0, 1});
    recordedTexts texts;
    QImage image = render(view);
    // Two bands of 150 points.
    const double lower = bottom + 75, upper = bottom + 225;
    EXPECT_TRUE(inkNear(image, left + 100, lower));
    EXPECT_TRUE(inkNear(image, left + 400, lower));
    EXPECT_FALSE(inkNear(image, left + 250, lower, 3)); // the gap is not joined across
    EXPECT_TRUE(inkNear(image, left + 250, upper));
    EXPECT_FALSE(inkNear(image, left + 250, bottom + 150, 3));
    QStringList labels;
    for (const auto& t : texts.all)
        if (t.text.startsWith("XX."))
            labels << t.text;
    EXPECT_EQ(labels, QStringList({"XX.A..BHZ", "XX.B..BHZ"}));
    EXPECT_EQ(texts.find("XX.B..BHZ")->anchor, QPointF(left + 6, bottom + 300 - 16));

    // Bands that are not one a trace give each trace its own, as without any.
    view.setTraceBands({0, 0});
    texts.all.clear();
    image = render(view);
    EXPECT_TRUE(inkNear(image, left + 100, bottom + 50));
    EXPECT_TRUE(inkNear(image, left + 400, bottom + 150));
    EXPECT_FALSE(inkNear(image, left + 100, bottom + 150, 3));
}

TEST(RealTimeDisplay, TracesStartAtTheFirstVisibleSample) {
    QVRRealTimeDisplayView02 view;
    prepare(view, 600);
    view.setXLimits(100, 700); // one point a second
    // Beginning at 300 s, after xmin: nothing left of its first sample. Beginning at 0 s:
    // drawn from the left edge, its spike at 50 s clipped away. Ending before xmin: nothing.
    std::vector<float> early(601, 0.0f);
    early[50] = 0.9f;
    view.setWvfrmsArray({seismogram(std::vector<float>(200, 0.5f), 1, 300),
                         seismogram(std::move(early), 1, 0),
                         seismogram(std::vector<float>(50, 0.5f), 1, 0)});
    QImage image = render(view);
    const double lateLine = bottom + 75, earlyLine = bottom + 150;
    EXPECT_FALSE(inkNear(image, left + 200 - 3, lateLine));
    EXPECT_TRUE(inkNear(image, left + 200 + 2, lateLine));
    EXPECT_TRUE(inkNear(image, left + 1.5, earlyLine, 0));
    EXPECT_FALSE(inkNear(image, left - 2, earlyLine));
    for (double x = 2; x < 738; x += 1)
        ASSERT_FALSE(inkNear(image, x, earlyLine + 30.5, 0)) << x;
    EXPECT_FALSE(inkNear(image, 400, bottom + 275, 3));

    // xmin between two samples: the line still reaches the left edge.
    view.setXLimits(100.5f, 700.5f);
    image = render(view);
    EXPECT_TRUE(inkNear(image, left + 0.5, earlyLine, 0));
}

TEST(RealTimeDisplay, MinuteMarksFollowTheSpan) {
    QVRRealTimeDisplayView02 view;
    prepare(view, 180 * 60);
    recordedTexts texts;
    QImage image = render(view);
    // 180 minutes: a tick a minute, 12 points high, and a label every 5, 24 points high, from
    // the right edge leftwards; the last at the left edge.
    QStringList expected;
    for (int m = 0; m <= 180; m += 5)
        expected << QString::number(m);
    EXPECT_EQ(minuteLabels(texts), expected);
    EXPECT_NEAR(centreX(view, texts.find("0")), right, 1e-3);
    EXPECT_NEAR(centreX(view, texts.find("180")), left, 1e-3);
    const double minute = 600.0 / 180;
    EXPECT_TRUE(inkNear(image, right - minute, bottom + 6));
    EXPECT_FALSE(inkNear(image, right - minute, bottom + 18));
    EXPECT_TRUE(inkNear(image, right - 5 * minute, bottom + 18));
    EXPECT_TRUE(inkNear(image, left, bottom + 18));
    EXPECT_NEAR(centreX(view, texts.find("Time (Minutes)")), 360, 1e-3);

    // 181 minutes: a tick every 5 minutes, labels 0, 15, 30 …
    view.setXLimits(0, 181 * 60);
    texts.all.clear();
    image = render(view);
    expected.clear();
    for (int m = 0; m <= 180; m += 15)
        expected << QString::number(m);
    EXPECT_EQ(minuteLabels(texts), expected);
    const double fiveMinutes = 5 * 600.0 / 181;
    EXPECT_FALSE(inkNear(image, right - 600.0 / 181, bottom + 6));
    EXPECT_TRUE(inkNear(image, right - fiveMinutes, bottom + 6));
    EXPECT_TRUE(inkNear(image, right - 3 * fiveMinutes, bottom + 18));
}

TEST(RealTimeDisplay, MagnitudeColoursAndOriginTimeMarkers) {
    using view02 = QVRRealTimeDisplayView02;
    EXPECT_EQ(view02::colorForMagnitude(4.99f), QColor::fromRgbF(1, 1, 0, 0.5));
    EXPECT_EQ(view02::colorForMagnitude(5.0f), QColor::fromRgbF(1, 0.5, 0, 0.5));
    EXPECT_EQ(view02::colorForMagnitude(5.99f), QColor::fromRgbF(1, 0.5, 0, 0.5));
    EXPECT_EQ(view02::colorForMagnitude(6.0f), QColor::fromRgbF(1, 0, 0, 0.5));

    const QDateTime end(QDate(2026, 3, 5), QTime(12, 0), QTimeZone::utc());
    QVRRealTimeDisplayView02 view;
    prepare(view, 3600);
    view.setRefDate(end);
    auto atEnd = std::make_shared<stubEarthquake>(6.5f, end);
    view.setEventOrigins({atEnd, std::make_shared<stubEarthquake>(5.2f, end.addSecs(-3600)),
                          std::make_shared<stubEarthquake>(4.0f, end.addSecs(-1800))});
    QImage image = render(view); // markers off
    EXPECT_EQ(atEnd->asked, 0);
    EXPECT_EQ(markerRedPixels(image, right + 0.5), 0);

    // At the window's end, at its start and in the middle; the dotted reference line covers
    // part of the first. Each earthquake is asked for its time at every draw.
    view.setDrawOriginTimes(true);
    image = render(view);
    EXPECT_EQ(atEnd->asked, 1);
    EXPECT_GT(markerRedPixels(image, right + 0.5), 100);
    EXPECT_FALSE(inkNear(image, right, top - 2.5, 0)); // ends 6 below the top
    EXPECT_EQ(pixelAt(image, left + 0.5, 150), QColor(255, 191, 127));
    EXPECT_EQ(pixelAt(image, 360.5, 150), QColor(255, 255, 127));

    // A second past the window's end: no marker.
    view.setEventOrigins({std::make_shared<stubEarthquake>(6.5f, end.addSecs(1))});
    image = render(view);
    for (double x = right - 5; x < right + 5; x += 1)
        EXPECT_EQ(markerRedPixels(image, x), 0) << x;

    // With the reference on the left the window starts at refDate.
    view.setOriginOnRight(false);
    view.setEventOrigins({std::make_shared<stubEarthquake>(6.0f, end.addSecs(1800)),
                          std::make_shared<stubEarthquake>(6.0f, end.addSecs(-1))});
    image = render(view);
    EXPECT_GT(markerRedPixels(image, 360.5), 200);
    EXPECT_EQ(markerRedPixels(image, left - 0.5) + markerRedPixels(image, left + 0.5), 0);
}

TEST(RealTimeDisplay, ReferenceTimesAndDottedLine) {
    const QDateTime when(QDate(2026, 3, 5), QTime(12, 4, 5), QTimeZone::utc());
    const QTime local = when.toTimeZone(timeZones::systemTimeZone()).time();
    QVRRealTimeDisplayView02 view;
    prepare(view, 600);
    view.setTitle("Live Seismograms");
    view.setRefDate(when);
    recordedTexts texts;
    const QImage image = render(view);
    ASSERT_NE(texts.find("05 Mar, 2026"), nullptr);
    EXPECT_EQ(texts.find("05 Mar, 2026")->anchor, QPointF(left, top + 18));
    ASSERT_NE(texts.find("12:04:05 UTC"), nullptr);
    EXPECT_NEAR(centreX(view, texts.find("12:04:05 UTC")), right, 1e-3);
    EXPECT_EQ(texts.find("12:04:05 UTC")->anchor.y(), top);
    bool localShown = false; // the zone's name follows the time
    for (const auto& t : texts.all)
        localShown |= t.anchor.y() == top + 18 && t.text.startsWith(local.toString("HH:mm:ss "));
    EXPECT_TRUE(localShown);
    EXPECT_NE(texts.find("Live Seismograms"), nullptr);

    // Grey dots about 7 points apart, from 8 below the top to 32 above the bottom.
    int dots = 0;
    bool inDot = false;
    for (double y = bottom + 32.5; y < top - 8; y += 1) {
        const QColor c = pixelAt(image, right + 0.5, y);
        const bool grey = c.red() < 200 && c.red() == c.blue();
        dots += grey && !inDot;
        inDot = grey;
    }
    EXPECT_NEAR(dots, 260 / 7.1, 2);

    // The older display: date and first time in the date's own zone, local time on 12 hours.
    realTimeDisplayView01 older;
    prepare(older, 600);
    older.setRefDate(when.toTimeZone(QTimeZone(9 * 3600)));
    texts.all.clear();
    render(older);
    EXPECT_NE(texts.find("05 March, 2026"), nullptr);
    EXPECT_NE(texts.find("21:04:05 UTC"), nullptr);
    const int hour12 = local.hour() % 12 == 0 ? 12 : local.hour() % 12;
    EXPECT_NE(
        texts.find(QString::asprintf("%02d:04:05 %s", hour12, local.hour() < 12 ? "AM" : "PM")),
        nullptr);
}

TEST(RealTimeDisplay, UnusableScalesDrawNoTraceButEverythingElse) {
    QVRRealTimeDisplayView02 view;
    prepare(view, 600, 2);
    std::vector<float> ramp(601);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = float(i % 7) / 7;
    auto noInterval = seismogram(ramp, 1, 0, "BAD");
    noInterval->GetSacHeader()->delta = 0;
    view.setWvfrmsArray({noInterval, seismogram(ramp, 1, 0, "GOOD")});
    recordedTexts texts;
    EXPECT_FALSE(inkNear(render(view), 400, bottom + 75, 20));
    // Equal amplitude limits, equal and reversed time limits.
    for (QRectF limits : {QRectF(0, 1, 600, 0), QRectF(600, -1, 0, 2), QRectF(600, -1, -600, 2)}) {
        view.setXLimits(float(limits.left()), float(limits.right()));
        view.setYLimits(float(limits.top()), float(limits.bottom()));
        texts.all.clear();
        EXPECT_FALSE(inkNear(render(view), 400, bottom + 225, 20));
        EXPECT_NE(texts.find("GOOD"), nullptr);
        EXPECT_NE(texts.find("Time (Minutes)"), nullptr);
    }
    // Gain 0 is a flat line on the centre.
    view.setXLimits(0, 600);
    view.setYLimits(-1, 1);
    view.setWaveformGain(0);
    const QImage image = render(view);
    EXPECT_TRUE(inkNear(image, 400, bottom + 225));
    EXPECT_FALSE(inkNear(image, 400, bottom + 229));
}

// The view keeps each trace's points between draws: whatever changed since the last draw, it
// must draw exactly what a view drawing for the first time draws.
TEST(RealTimeDisplay, KeptTracePointsFollowEveryChangedInput) {
    // Ten samples to a pixel column, so the columns' envelopes are drawn.
    auto wiggles = [](int spikeAt) {
        std::vector<float> samples(6001);
        for (size_t k = 0; k < samples.size(); ++k)
            samples[k] = 0.3f * std::sin(float(k * k % 97));
        samples[size_t(spikeAt)] = 0.9f;
        return seismogram(std::move(samples), 0.1f, 0, QStringLiteral("XX.S..BHZ"));
    };
    const SeisView01::seismogramList first{wiggles(1500)}, second{wiggles(4500)};
    auto renderAt = [](QVRView& view, qreal ratio) {
        QImage image(view.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        view.renderInto(painter);
        return image;
    };
    struct inputs {
        SeisView01::seismogramList traces;
        float xmin = 0, xmax = 600;
        QSize size{740, 444};
        float gain = 1;
        qreal ratio = 1;
    };
    auto setUp = [](QVRRealTimeDisplayView02& view, const inputs& in) {
        view.resize(in.size);
        view.setYLimits(-1, 1);
        view.setXLimits(in.xmin, in.xmax);
        view.setWaveformGain(in.gain);
        view.setWvfrmsArray(in.traces);
    };

    QVRRealTimeDisplayView02 view;
    inputs in{first};
    setUp(view, in);
    QImage previous = renderAt(view, 1);
    EXPECT_TRUE(renderAt(view, 1) == previous); // drawn again from what was kept

    auto change = [&](const char* what, auto edit) {
        edit(in);
        // Only what changed is set again: the list is set again only when it changed.
        view.resize(in.size);
        view.setXLimits(in.xmin, in.xmax);
        view.setWaveformGain(in.gain);
        if (view.wvfrmsArray() != in.traces)
            view.setWvfrmsArray(in.traces);
        const QImage image = renderAt(view, in.ratio);
        QVRRealTimeDisplayView02 fresh;
        setUp(fresh, in);
        EXPECT_TRUE(image == renderAt(fresh, in.ratio)) << what;
        EXPECT_TRUE(image != previous) << what;
        previous = image;
    };
    change("x limits", [](inputs& i) { i.xmin = 60, i.xmax = 660; });
    change("trace list", [&](inputs& i) { i.traces = second; });
    change("plot rectangle", [](inputs& i) { i.size = QSize(900, 500); });
    change("gain", [](inputs& i) { i.gain = 0.5f; });
    change("device pixel ratio", [](inputs& i) { i.ratio = 2; });
    change("everything back", [&](inputs& i) { i = inputs{first}; });
}
