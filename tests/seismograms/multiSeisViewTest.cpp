#include "MultiSeisView.h"
#include "seismogramTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace seismogramTestSupport;

namespace {

// 440 × 400 points: the plot rectangle is (20, 60, 400, 300).
constexpr double left = 20, bottom = 60, height = 300;

void setText(char (&field)[8], const char* text) {
    std::memset(field, ' ', sizeof field);
    std::memcpy(field, text, std::min(std::strlen(text), sizeof field));
}

// 101 samples at 1 s from 0: x = 20 + 4·t in the view. Flat but for a spike at 50 s.
std::shared_ptr<SacObject> spikeTrace(float spike) {
    std::vector<float> samples(101, 0.0f);
    samples[50] = spike;
    return seismogram(std::move(samples), 1, 0);
}

double xOf(double t) {
    return left + 4 * t;
}

// Lines one point wide on whole coordinates cover two pixels by half: tints are enough.
bool isRed(const QColor& c) {
    return c.red() > 200 && c.green() < 160 && c.green() == c.blue();
}

bool isBlue(const QColor& c) {
    return c.blue() > 200 && c.red() < 160 && c.red() == c.green();
}

bool isDark(const QColor& c) {
    return c.red() < 200 && c.red() == c.green() && c.green() == c.blue();
}

// The highest inked point of the column at x between `from` and `to`.
double topOfInk(const QImage& image, double x, double from, double to) {
    double top = from;
    for (double y = from; y < to; y += 0.5) {
        if (pixelAt(image, x, y) != QColor(Qt::white))
            top = y;
    }
    return top;
}

} // namespace

TEST(MultiSeisView, EmptyAndLayout) {
    MultiSeisView view;
    view.resize(440, 400);
    const recordedTexts texts;
    const QImage empty = render(view);
    EXPECT_TRUE(texts.all.empty());
    EXPECT_EQ(empty.pixelColor(200, 200), QColor(Qt::white));
    EXPECT_NE(pixelAt(empty, 0.5, 200.5), QColor(Qt::white)); // the frame

    view.computeRects();
    EXPECT_EQ(view.pRect(), QRectF(left, bottom, 400, height));
    // Three traces in 300 points: baselines 50, 150 and 250 above the bottom edge, the first
    // lowest, each with its station line just above its baseline.
    auto a = spikeTrace(1), b = spikeTrace(1), c = spikeTrace(1);
    setText(a->GetSacHeader()->kstnm, "ANMO");
    setText(a->GetSacHeader()->knetwk, "IU");
    setText(a->GetSacHeader()->kcmpnm, "BHZ");
    a->GetSacHeader()->gcarc = 12.345f;
    a->GetSacHeader()->az = 45;
    view.setWvfrmsArray({a, b, c});
    view.setShowZeroLine(true);
    const QImage image = render(view);
    const double baselines[] = {bottom + 50, bottom + 150, bottom + 250};
    for (int i = 0; i < 3; ++i) {
        EXPECT_DOUBLE_EQ(view.baselineOf(i, 3), baselines[i]);
        EXPECT_TRUE(isDark(pixelAt(image, xOf(20) + 0.5, baselines[i] + 0.5))) << i;
    }
    const auto* label = texts.find("ANMO IU BHZ (12.35) (45.00)");
    ASSERT_NE(label, nullptr);
    EXPECT_DOUBLE_EQ(label->anchor.x(), left);
    EXPECT_DOUBLE_EQ(label->anchor.y(), baselines[0] + 4);
}

TEST(MultiSeisView, GainSetsTheTraceHeight) {
    MultiSeisView view;
    view.resize(440, 400);
    // Two slots of 150. Peak 10 widened to 10.5: a gain of 1.5 lifts the spike 10/10.5 of 2/3
    // of a slot above its baseline.
    view.setWvfrmsArray({spikeTrace(10), spikeTrace(0)});
    const double baseline = bottom + 75;
    const auto spikeHeight = [&] {
        return topOfInk(render(view), xOf(50) + 0.5, baseline, baseline + 120) - baseline;
    };
    const double high = spikeHeight();
    EXPECT_NEAR(high, 150 / 1.5 * 10 / 10.5, 1.5);
    view.setPlotGainFactor(3);
    EXPECT_NEAR(spikeHeight(), high / 2, 1.5);
    // No gain leaves the traces flat on their baselines rather than off the view.
    view.setPlotGainFactor(0);
    const QImage flat = render(view);
    EXPECT_TRUE(isDark(pixelAt(flat, xOf(30) + 0.5, baseline + 0.5)));
    EXPECT_EQ(pixelAt(flat, xOf(50) + 0.5, baseline + 20.5), QColor(Qt::white));
}

TEST(MultiSeisView, PicksInsideTheRangeAreMarkedAndNamed) {
    MultiSeisView view;
    view.resize(440, 400);
    auto trace = spikeTrace(1);
    SacHeader* h = trace->GetSacHeader();
    h->o = 10;
    h->a = 40;
    h->f = 60;
    h->t3 = 30; // label undefined: "T3"
    h->t2 = 70; // its own label
    setText(h->kt2, "Pn");
    h->t5 = 200; // after the end
    h->t6 = -3;  // before the start
    view.setWvfrmsArray({trace});
    const recordedTexts texts;
    const QImage image = render(view);
    const double baseline = bottom + height / 2;
    for (const char* name : {"Origin", "A", "F", "T3", "Pn"})
        EXPECT_NE(texts.find(name), nullptr) << name;
    for (const char* name : {"T0", "T1", "T5", "T6", "T9", "-12345"})
        EXPECT_EQ(texts.find(name), nullptr) << name;
    // A mark rises from the baseline to 0.6 of a slot above it; its label stands 4 to the right
    // with its bottom at the mark's top.
    const auto* t3 = texts.find("T3");
    EXPECT_DOUBLE_EQ(t3->anchor.x(), xOf(30) + 4);
    EXPECT_TRUE(isDark(pixelAt(image, xOf(30) + 0.5, baseline + 100.5)));
    EXPECT_TRUE(isDark(pixelAt(image, xOf(30) + 0.5, baseline + 175.5)));
    EXPECT_EQ(pixelAt(image, xOf(30) + 0.5, baseline + 185.5), QColor(Qt::white));
    EXPECT_TRUE(isBlue(pixelAt(image, xOf(10) + 0.5, baseline + 100.5)));
    // The arrival `a` gets a red line across the middle of its slot, over its own mark.
    EXPECT_TRUE(isRed(pixelAt(image, xOf(40) + 0.5, baseline + 100.5)));
    EXPECT_TRUE(isRed(pixelAt(image, xOf(40) + 0.5, baseline - 100.5)));
    EXPECT_FALSE(isRed(pixelAt(image, xOf(40) + 0.5, baseline - 130.5)));

    // An unset arrival draws no red line anywhere, not even at the far left.
    h->a = SacHeader::undefinedValue;
    const QImage unset = render(view);
    for (int y = 0; y < unset.height(); ++y) {
        for (int x = 0; x < unset.width(); ++x)
            ASSERT_FALSE(isRed(unset.pixelColor(x, y))) << x << "," << y;
    }
}
