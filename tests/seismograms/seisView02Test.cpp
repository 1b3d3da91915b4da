#include "SeisView02.h"
#include "seismogramTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace seismogramTestSupport;

namespace {

// 400 × 300 points: the plot rectangle is (80, 60, 280, 200).
constexpr double left = 80, top = 260;

QString testFile(const QString& name) {
    return QStringLiteral(QUORVEL_TEST_DATA "/sac/") + name;
}

// A real recording saved under `name` in `dir`, read back so that it carries that path.
std::shared_ptr<SacObject> recordingNamed(const QTemporaryDir& dir, const QString& name) {
    SacObject original;
    EXPECT_TRUE(original.InitWithContentsOfFile(testFile("obspy_test.sac")));
    EXPECT_TRUE(original.WriteSacFile(dir.filePath(name)));
    auto copy = std::make_shared<SacObject>();
    EXPECT_TRUE(copy->InitWithContentsOfFile(dir.filePath(name)));
    return copy;
}

// Whether any text was drawn wholly left of the plot rectangle (the amplitude axis's labels).
bool textLeftOfPlot(const recordedTexts& texts) {
    for (const auto& t : texts.all) {
        if (t.anchor.x() < left - 10 && t.degrees == 0)
            return true;
    }
    return false;
}

} // namespace

TEST(SeisView02, PanelsFromTheTopLabelledWithTheirFiles) {
    QTemporaryDir dir;
    SeisView02 view;
    view.resize(400, 500);
    EXPECT_EQ(view.plotStyle(), SeisView02::overlaidStyle);
    view.setWvfrmsArray({recordingNamed(dir, "ANMO.BHZ.sac"), recordingNamed(dir, "ANMO.BHN.SAC"),
                         recordingNamed(dir, "ANMO.BHE"), recordingNamed(dir, "COLA.BHZ.sac")});
    {
        const recordedTexts texts;
        render(view);
        EXPECT_TRUE(textLeftOfPlot(texts)); // style 1 has an amplitude axis
        ASSERT_NE(texts.find("ANMO.BHZ"), nullptr);
        EXPECT_EQ(texts.find("ANMO.BHZ.sac"), nullptr);
    }
    view.setplotStyle(SeisView02::panelStyle);
    const recordedTexts texts;
    const QImage image = render(view);
    EXPECT_FALSE(textLeftOfPlot(texts));
    // 400 points in four panels of 100, the first at the top.
    EXPECT_EQ(view.traceRect(0, 4), QRectF(left, 360, 280, 100));
    EXPECT_EQ(view.traceRect(3, 4), QRectF(left, 60, 280, 100));
    const char* names[] = {"ANMO.BHZ", "ANMO.BHN", "ANMO.BHE", "COLA.BHZ"};
    for (int i = 0; i < 4; ++i) {
        const auto* label = texts.find(names[i]);
        ASSERT_NE(label, nullptr) << names[i];
        const QRectF panel = view.traceRect(i, 4);
        EXPECT_DOUBLE_EQ(label->anchor.x(), left + 18);
        // Hung from 18 points below the panel's top.
        EXPECT_LT(label->anchor.y(), panel.top() + panel.height() - 18);
        EXPECT_GT(label->anchor.y(), panel.top() + panel.height() - 18 - 30);
        // Each panel holds its own trace: the sine crosses the panel's middle.
        bool ink = false;
        for (double x = left + 30; x < left + 250 && !ink; x += 1)
            ink = inkNear(image, x, panel.center().y(), 0);
        EXPECT_TRUE(ink) << i;
    }
}

TEST(SeisView02, SamplesBeyondTheLimitsAreClampedAndTheFirstClipped) {
    SeisView02 view;
    view.resize(400, 300);
    view.setXLimits(0, 4);
    view.setYLimits(-1, 1);
    view.set_fixedXAxisRange(true);
    view.set_fixedYAxisRange(true);
    // x = 80 + 70·t, y = 160 + 100·s. The first sample (5) stands far above the plot: its line
    // is cut at the panel's top, where it would come down through y = 280 at x ≈ 133 and
    // write over the margin; sample 2 (5 as well) is held at the top, so nothing crosses
    // y = 280 on its way up (x ≈ 167 unclamped).
    view.setWvfrmsArray({seismogram({5, 0, 5, 0, 0}, 1, 0)});
    const QImage image = render(view);
    EXPECT_FALSE(inkNear(image, 80 + 70 * 380.0 / 500, 280, 2));
    EXPECT_TRUE(inkNear(image, 80 + 70 * 80.0 / 500, top - 0.5 * 100, 2)); // inside, it shows
    EXPECT_FALSE(inkNear(image, 150 + 70 * 120.0 / 500, 280, 3));
    EXPECT_TRUE(inkNear(image, 185, top - 0.5 * 100, 2)); // the clamped line back down
}

TEST(SeisView02, DrawingStartsAtTheFirstSampleAfterXmin) {
    SeisView02 view;
    view.resize(400, 300);
    // b 0, delta 0.5, xmin 10: sample 20 comes first, at xmin. Samples before it are at the
    // top, from it on in the middle: only a line along the middle shows. Panels have no
    // amplitude axis whose ticks would stand where the wrong start would be drawn.
    view.setplotStyle(SeisView02::panelStyle);
    std::vector<float> samples(61, 30.0f);
    std::fill(samples.begin(), samples.begin() + 20, 60.0f);
    view.setXLimits(10, 30);
    view.setYLimits(0, 60);
    view.set_fixedXAxisRange(true);
    view.set_fixedYAxisRange(true);
    view.setWvfrmsArray({seismogram(samples, 0.5f, 0)});
    const QImage image = render(view);
    EXPECT_TRUE(inkNear(image, 200, 160, 1));
    for (double y = 170; y < top - 15; y += 2) {
        for (double x = left + 2; x < left + 20; x += 1)
            ASSERT_FALSE(inkNear(image, x, y, 0)) << x << "," << y;
    }

    // No sample interval: nothing to place, nothing drawn.
    view.setWvfrmsArray({seismogram({1, 2, 3}, 0, 0)});
    const QImage none = render(view);
    EXPECT_FALSE(inkNear(none, 200, 160, 3));
}

TEST(SeisView02, LabelDropsTheSacExtensionOnly) {
    EXPECT_EQ(SeisView02::labelForPath("/data/ANMO.BHZ.sac"), "ANMO.BHZ");
    EXPECT_EQ(SeisView02::labelForPath("ANMO.BHZ.SAC"), "ANMO.BHZ");
    EXPECT_EQ(SeisView02::labelForPath("/data/sac.d/ANMO.BHZ"), "ANMO.BHZ");
    EXPECT_EQ(SeisView02::labelForPath(""), "");
}
