#include "QVRHistogramView.h"
#include "seismogramTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace seismogramTestSupport;

namespace {

// 400 × 300 points: pRect (20, 20, 360, 260), iRect (50, 50, 320, 220).
QColor lightGray() {
    return QColor::fromRgbF(2.0f / 3.0f, 2.0f / 3.0f, 2.0f / 3.0f);
}

} // namespace

TEST(HistogramView, NineBinsOverTenAreOneWideAndTheTopCountsInTheLast) {
    QVRHistogramView view;
    view.setNBins(9, 0, 10);
    EXPECT_FLOAT_EQ(view.binWidth(), 1.0f);
    // Below and above the range, at its top, and past the last bar's end.
    ASSERT_TRUE(view.setValues({-5, 0, 0.5f, 3.2f, 8.99f, 9.5f, 10, 15}));
    ASSERT_TRUE(view.binValues());
    EXPECT_EQ(view.counts(), (std::vector<int>{3, 0, 0, 1, 0, 0, 0, 0, 4}));
    EXPECT_EQ(view.minCount(), 0);
    EXPECT_EQ(view.maxCount(), 4);

    // The bars end at 9: nothing between 9 and 10, the last bar from 8 to 9.
    view.resize(400, 300);
    const QImage image = render(view);
    const double sx = 320.0 / 10; // points per value
    EXPECT_EQ(pixelAt(image, 50 + 9.5 * sx, 80.5), QColor(Qt::white));
    EXPECT_EQ(pixelAt(image, 50 + 8.5 * sx, 80.5), lightGray());
    EXPECT_EQ(pixelAt(image, 50 + 1.5 * sx, 80.5), QColor(Qt::white)); // an empty bin
    // The tallest bar reaches 1/1.05 of iRect's height.
    EXPECT_EQ(pixelAt(image, 50 + 8.5 * sx, 50 + 220 / 1.05 - 2), lightGray());
    EXPECT_EQ(pixelAt(image, 50 + 8.5 * sx, 50 + 220 / 1.05 + 2), QColor(Qt::white));
}

TEST(HistogramView, BinCountsFromAWidthAndTheGuards) {
    QVRHistogramView view;
    view.setNBins(4, 0, 10);
    view.computeNBinsFor(3);
    EXPECT_EQ(view.nBins(), 3); // 10 / 3 truncated
    view.computeNBinsFor(0);
    EXPECT_EQ(view.nBins(), 3);

    // Nothing to count, no bins, or a range without width: no counts, and no crash.
    EXPECT_FALSE(view.binValues());
    ASSERT_TRUE(view.setValues({1, 2, 3}));
    view.setNBins(0, 0, 10);
    EXPECT_FALSE(view.binValues());
    EXPECT_TRUE(view.counts().empty());
    view.setNBins(-1, 0, 10);
    EXPECT_FALSE(view.binValues());
    view.setNBins(5, 2, 2);
    EXPECT_FALSE(view.binValues());
    view.setNBins(5, 10, 0);
    EXPECT_FALSE(view.binValues());
    EXPECT_FALSE(view.setValues(nullptr, 3));
    EXPECT_FALSE(view.setValues(nullptr, -1));

    // Values that are not numbers are left out; the rest keep their extremes.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ASSERT_TRUE(view.setValues({nan, 4, std::numeric_limits<float>::infinity(), 1}));
    EXPECT_EQ(view.nValues(), 2);
    EXPECT_EQ(view.minValue(), 1.0f);
    EXPECT_EQ(view.maxValue(), 4.0f);

    ASSERT_TRUE(view.setValues({1, 2, 6}));
    view.removeMeanFromValues();
    EXPECT_EQ(view.values(), (std::vector<float>{-2, -1, 3}));
    EXPECT_EQ(view.minValue(), -2.0f);
    EXPECT_EQ(view.maxValue(), 3.0f);
    // Without values there is no mean to remove.
    ASSERT_TRUE(view.setValues(std::vector<float>{}));
    view.removeMeanFromValues();
    EXPECT_EQ(view.nValues(), 0);
    EXPECT_TRUE(std::isinf(view.minValue()) && view.minValue() > 0);
}

TEST(HistogramView, Description) {
    QVRHistogramView view;
    ASSERT_TRUE(view.setValues({0.5f, 1.5f, 2.5f, -0.25f}));
    view.setNBins(2, 0, 3);
    EXPECT_EQ(view.description(), QStringLiteral("nValues = 4, minValue = -2.500e-01 maxValue = "
                                                 "2.500e+00\nnBins = 2, binWidth = 1.000e+00\n"));
    ASSERT_TRUE(view.binValues());
    EXPECT_EQ(view.description(),
              QStringLiteral("nValues = 4, minValue = -2.500e-01 maxValue = 2.500e+00\n"
                             "nBins = 2, binWidth = 1.000e+00\n"
                             "leftEdge rightEdge Count\n"
                             "0.000e+00 1.000e+00 2\n"
                             "1.000e+00 2.000e+00 2\n"));
}

TEST(HistogramView, LargeAndSmallSpansAreScaledByPowersOfTen) {
    EXPECT_EQ(QVRHistogramView::axisPowerOfTen(0, 50000), -3);
    EXPECT_EQ(QVRHistogramView::axisPowerOfTen(0, 100), 0);
    EXPECT_EQ(QVRHistogramView::axisPowerOfTen(0, 0.005f), 3);
    EXPECT_EQ(QVRHistogramView::axisPowerOfTen(3, 3), 0);

    QVRHistogramView view;
    view.resize(400, 300);
    view.setXLabelString("Energy (J)");
    view.setYLabelString("Count");
    std::vector<float> values;
    for (int i = 0; i < 50; ++i)
        values.push_back(float(i) * 1000);
    ASSERT_TRUE(view.setValues(values));
    view.setNBins(9, 0, 50000);
    ASSERT_TRUE(view.binValues());
    const recordedTexts texts;
    render(view);
    const auto* xTitle = texts.find("Energy (J) (/ 10^3)");
    ASSERT_TRUE(xTitle);
    EXPECT_LT(xTitle->anchor.y(), 50);
    // The numbers run over 0…50 (ticks every 20).
    EXPECT_TRUE(texts.find("0") && texts.find("40"));
    EXPECT_FALSE(texts.find("40000"));
    // Counts stay plain; their title is turned along the axis.
    const auto* yTitle = texts.find("Count");
    ASSERT_TRUE(yTitle);
    EXPECT_EQ(yTitle->degrees, 90);
}

TEST(HistogramView, WithoutCountsOnlyTheOutlinedWhiteBackground) {
    QVRHistogramView view;
    view.resize(400, 300);
    ASSERT_TRUE(view.setValues({1, 2, 3})); // values, but not counted
    const recordedTexts texts;
    const QImage image = render(view);
    EXPECT_TRUE(texts.all.empty());
    const QColor edge = pixelAt(image, 200.5, 0.5);
    EXPECT_TRUE(edge.red() < 200 && edge.red() == edge.blue());
    for (int y = 2; y < 298; y += 4) {
        for (int x = 2; x < 398; x += 4)
            ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
    }
}
