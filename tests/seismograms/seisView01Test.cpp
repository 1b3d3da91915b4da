#include "SeisView01.h"
#include "seismogramTestSupport.h"

#include <gtest/gtest.h>

using namespace seismogramTestSupport;

namespace {

// 400 × 300 points: the plot rectangle is (80, 60, 280, 200).
constexpr double left = 80, right = 360, bottom = 60, top = 260;

} // namespace

TEST(SeisView01, AnEmptyListDrawsTheWhiteBackgroundAndTheFrame) {
    SeisView01 view;
    view.resize(400, 300);
    view.computeRects();
    EXPECT_EQ(view.pRect(), QRectF(left, bottom, 280, 200));
    EXPECT_EQ(view.iRect(), view.pRect());
    view.setTitle("nothing");
    const recordedTexts texts;
    const QImage image = render(view);
    EXPECT_TRUE(texts.all.empty());
    // The frame straddles the bounds' edge: its inner half is a grey line all round.
    for (QPointF edge :
         {QPointF(0.5, 150.5), QPointF(399.5, 150.5), QPointF(200.5, 0.5), QPointF(200.5, 299.5)}) {
        const QColor c = pixelAt(image, edge.x(), edge.y());
        EXPECT_TRUE(c.red() < 200 && c.red() == c.blue()) << edge.x() << "," << edge.y();
    }
    for (int y = 2; y < 298; y += 5) {
        for (int x = 2; x < 398; x += 5)
            ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
    }
}

TEST(SeisView01, PlotLimitsFromTheTraces) {
    SeisView01 view;
    // Within ±2 and minYRange 10: ±10, widened by 5 % of the whole-number range 4.
    view.setMinYRange(10);
    view.setWvfrmsArray({seismogram({-2, 0, 1.5f}, 0.5f, 3), seismogram({2, -1}, 1, -4)});
    view.computePlotLimits();
    EXPECT_EQ(view.xyRect(), QRectF(-4, -10.2f, 8, 20.4f));
    // Beyond minYRange the extremes stand: range 40, margin 2.
    view.setWvfrmsArray({seismogram({-20, 20}, 1, 0)});
    view.computePlotLimits();
    EXPECT_FLOAT_EQ(view.ymin(), -22);
    EXPECT_FLOAT_EQ(view.ymax(), 22);
    // Within ±0.4 the whole-number range is 0: no margin.
    view.setMinYRange(-12345);
    view.setWvfrmsArray({seismogram({-0.4f, 0.1f, 0.35f}, 1, 0)});
    view.computePlotLimits();
    EXPECT_FLOAT_EQ(view.ymin(), -0.4f);
    EXPECT_FLOAT_EQ(view.ymax(), 0.35f);
    // Fixed axes keep what they were given.
    view.setXLimits(5, 6);
    view.setYLimits(-1, 1);
    view.set_fixedXAxisRange(true);
    view.set_fixedYAxisRange(true);
    view.computePlotLimits();
    EXPECT_EQ(view.xyRect(), QRectF(5, -1, 1, 2));
    // One flat sample still gets a range around it.
    view.set_fixedXAxisRange(false);
    view.set_fixedYAxisRange(false);
    view.setWvfrmsArray({seismogram({3}, 1, 7)});
    view.computePlotLimits();
    EXPECT_EQ(view.xyRect(), QRectF(6, 2, 2, 2));
}

TEST(SeisView01, DrawsARealSeismogramWithAxesTitleAndShading) {
    auto file = std::make_shared<SacObject>();
    ASSERT_TRUE(
        file->InitWithContentsOfFile(QStringLiteral(QUORVEL_TEST_DATA "/sac/obspy_seism.sac")));
    SeisView01 view;
    view.resize(400, 300);
    view.setWvfrmsArray({file});
    view.setTitle("CDV");
    view.setXLabelString("Time (s)");
    recordedTexts texts;
    QImage image = render(view);
    EXPECT_EQ(view.xmin(), file->b());
    EXPECT_EQ(view.xmax(), file->e());
    const auto* title = texts.find("CDV");
    ASSERT_NE(title, nullptr);
    EXPECT_NEAR(title->anchor.x() + view.titleAttributes().measure("CDV").width() / 2,
                (left + right) / 2, 1e-3);
    EXPECT_EQ(title->anchor.y(), top + 4);
    ASSERT_NE(texts.find("Time (s)"), nullptr);
    EXPECT_LT(texts.find("Time (s)")->anchor.y(), bottom);

    // The trace runs across the whole plot; shading comes with fillPositive.
    auto shaded = [](const QImage& picture) {
        int count = 0;
        for (double x = left + 2.5; x < right - 2; x += 1) {
            for (double y = bottom + 2.5; y < top - 2; y += 1)
                count += pixelAt(picture, x, y) == QColor(170, 170, 170);
        }
        return count;
    };
    for (double x = left + 2.5; x < right - 2; x += 1) {
        bool ink = false;
        for (double y = bottom + 2.5; y < top - 2; y += 1)
            ink = ink || pixelAt(image, x, y).red() < 160;
        ASSERT_TRUE(ink) << x;
    }
    const int unshaded = shaded(image);
    view.setFillPositive(true);
    EXPECT_GT(shaded(render(view)), unshaded + 100);

    // Counts in the thousands: the amplitude axis factors out a power of ten.
    std::vector<float> large(200);
    for (size_t k = 0; k < large.size(); ++k)
        large[k] = float(5000 * std::sin(k * 0.1));
    view.setWvfrmsArray({seismogram(large, 0.1f, 0)});
    texts.all.clear();
    render(view);
    bool factored = false;
    for (const auto& t : texts.all)
        factored = factored || t.text.endsWith(" x 10^+03");
    EXPECT_TRUE(factored);
}

TEST(SeisView01, AFixedTimeRangeClipsAtThePlotRectangle) {
    // Before 50 s a steep zigzag that would run far left of the plot unclipped; the same view
    // given only the samples from 50 s on must look the same outside the plot.
    std::vector<float> samples(101, 0.0f);
    for (int i = 0; i < 50; ++i)
        samples[size_t(i)] = i % 2 ? 1.0f : -1.0f;
    QImage images[2];
    for (int i = 0; i < 2; ++i) {
        SeisView01 view;
        view.resize(400, 300);
        view.setXLimits(50, 100);
        view.setYLimits(-1.5f, 1.5f);
        view.set_fixedXAxisRange(true);
        view.set_fixedYAxisRange(true);
        view.setWvfrmsArray(
            {i == 0 ? seismogram(samples, 1, 0)
                    : seismogram(std::vector<float>(samples.begin() + 50, samples.end()), 1, 50)});
        images[i] = render(view);
    }
    for (int row = 0; row < 300; ++row) {
        for (int column = 0; column < 400; ++column) {
            const double x = column + 0.5, y = 300 - row - 0.5;
            if (x > left - 1 && x < right + 1 && y > bottom - 1 && y < top + 1)
                continue;
            ASSERT_EQ(images[0].pixelColor(column, row), images[1].pixelColor(column, row))
                << x << "," << y;
        }
    }
    EXPECT_TRUE(inkNear(images[0], left + 1.5, bottom + 100)); // from the left edge on
}
