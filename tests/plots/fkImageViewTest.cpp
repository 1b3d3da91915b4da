#include "colorScales.h"
#include "qvrFKImageView.h"
#include "seismogramTestSupport.h"

#include <QLoggingCategory>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace seismogramTestSupport;

namespace {

// 400 × 300 points: pRect (24, 60, 352, 220), iRect (64, 60, 312, 220); with limits ±0.5 s/km
// zero slowness sits at (220, 170) and one s/km is 312 points across.
constexpr double centreX = 220, centreY = 170, pointsPerSKm = 312;
// Between the 6 and 4 km/s circles (52 and 78 points out), away from every line.
const QPointF betweenCircles(centreX + 62, centreY - 33);

struct fkView : qvrFKImageView {
    fkView() {
        resize(400, 300);
        setSlownessLimits(-0.5f, 0.5f, -0.5f, 0.5f);
    }
};

QColor lowestShade(int palette) {
    int r = 0, g = 0, b = 0, a = 0;
    getColorValues(0, 64, palette, &r, &g, &b, &a);
    return QColor(r, g, b);
}

// The view point at slowness radius `radius` (points) and `degrees` counter-clockwise from east.
QPointF onCircle(double radius, double degrees) {
    const double a = degrees * M_PI / 180;
    return QPointF(centreX + radius * std::cos(a), centreY + radius * std::sin(a));
}

struct recordingController : QVRViewController {
    int reports = 0;
    void handleTrackedMousePosition(QPointF) override { ++reports; }
    void handleClickedMousePosition(QPointF) override { ++reports; }
};

QStringList pixelLines;
void keepPixelLines(QtMsgType, const QMessageLogContext& context, const QString& message) {
    if (QByteArray(context.category) == "qvr.plots.fk.pixels")
        pixelLines << message;
}

} // namespace

TEST(FKImageView, LayoutAndValueScalingOfPower) {
    fkView view;
    view.computeRects();
    EXPECT_EQ(view.pRect(), QRectF(24, 60, 352, 220));
    EXPECT_EQ(view.iRect(), QRectF(64, 60, 312, 220));
    view.setShowAxes(false);
    view.computeRects();
    EXPECT_EQ(view.iRect(), view.pRect());

    // Equal power everywhere: no division by zero, and nothing above the lowest shade.
    ASSERT_TRUE(view.setPowerGrid(std::vector<float>(4, 5.0f), 2, 2));
    EXPECT_EQ(view.scaleFactor(), 1.0f);
    // Power is not signed: a range across zero keeps its own ends (the image view would make
    // it −3…3 with scale 6).
    ASSERT_TRUE(view.setPowerGrid({-3, 1, 0, 0}, 2, 2));
    EXPECT_EQ(view.minValue(), -3.0f);
    EXPECT_EQ(view.maxValue(), 1.0f);
    EXPECT_EQ(view.scaleFactor(), 4.0f);
    // A buffer too short for its grid is refused.
    EXPECT_FALSE(view.setPowerGrid({1, 2, 3}, 2, 2));
}

TEST(FKImageView, EqualPowerIsDrawnInTheLowestShadeUnderCirclesAndCrossHairs) {
    fkView view;
    view.setPalette(2); // its lowest shade is not white
    ASSERT_TRUE(view.setPowerGrid(std::vector<float>(21 * 21, 0.3f), 21, 21));
    const recordedTexts texts;
    const QImage image = render(view);

    EXPECT_EQ(pixelAt(image, betweenCircles.x(), betweenCircles.y()), lowestShade(2));
    // The 2 km/s circle (0.5 s/km) reaches the left edge of iRect: ink on it, none just outside.
    const double radius = 0.5 * pointsPerSKm;
    EXPECT_DOUBLE_EQ(view.circleRadius(2), radius);
    EXPECT_DOUBLE_EQ(view.zeroSlownessPoint().x() - radius, view.iRect().x());
    const QPointF onTwo = onCircle(radius, 150);
    EXPECT_TRUE(inkNear(image, onTwo.x(), onTwo.y()));
    const QPointF outside = onCircle(radius + 6, 150);
    EXPECT_EQ(pixelAt(image, outside.x(), outside.y()), lowestShade(2));
    // iRect is wider than high: the round circles are clipped at its top.
    const QPointF inside = onCircle(radius, 40), above = onCircle(radius, 50);
    ASSERT_LT(inside.y(), view.iRect().y() + view.iRect().height());
    ASSERT_GT(above.y(), view.iRect().y() + view.iRect().height());
    EXPECT_TRUE(inkNear(image, inside.x(), inside.y()));
    EXPECT_EQ(pixelAt(image, above.x(), above.y()), QColor(Qt::white));
    // Cross-hairs through zero slowness (each half on two rows or columns of pixels).
    EXPECT_LT(pixelAt(image, centreX - 40.5, centreY).red(), 160);
    EXPECT_LT(pixelAt(image, centreX, centreY + 90.5).red(), 160);
    EXPECT_EQ(pixelAt(image, centreX - 40.5, centreY + 3), lowestShade(2));

    const auto* east = texts.find("East Slowness (s/km)");
    const auto* north = texts.find("North Slowness (s/km)");
    ASSERT_TRUE(east && north);
    EXPECT_EQ(north->degrees, 90);
    EXPECT_LT(east->anchor.y(), view.iRect().y());
}

TEST(FKImageView, TickSpacingFollowsTheSlownessLimits) {
    EXPECT_FLOAT_EQ(qvrFKImageView::tickInterval(-0.5f, 0.5f), 0.1f);
    EXPECT_FLOAT_EQ(qvrFKImageView::tickInterval(-0.3f, 0.3f), 0.05f);
    EXPECT_FLOAT_EQ(qvrFKImageView::tickInterval(-0.15f, 0.15f), 0.025f);

    // The interval reaches the axes: ±0.15 is labelled in steps of 0.025.
    fkView view;
    view.setSlownessLimits(-0.15f, 0.15f, -0.15f, 0.15f);
    ASSERT_TRUE(view.setPowerGrid({0, 1, 2, 3}, 2, 2));
    const recordedTexts texts;
    render(view);
    EXPECT_TRUE(texts.find("0.125") || texts.find("0.13")) << "no label between 0.1 and 0.15";
}

TEST(FKImageView, InvertedColoursAndTheOffScreenSnapshot) {
    fkView view;
    view.setPalette(0); // the lowest of grey is white
    view.setInverted(true);
    ASSERT_TRUE(view.setPowerGrid(std::vector<float>(9, 1.0f), 3, 3));
    const QImage whole = view.snapshotFromRect(view.bounds());
    EXPECT_EQ(whole.format(), QImage::Format_RGB888);
    EXPECT_EQ(whole.size(), QSize(400, 300));
    EXPECT_EQ(pixelAt(whole, betweenCircles.x(), betweenCircles.y()), QColor(Qt::black));
    const QImage part = view.snapshotFromRect(QRectF(64, 60, 312, 220));
    EXPECT_EQ(part.size(), QSize(312, 220));
    EXPECT_FALSE(part.hasAlphaChannel());
    // The exports and the copy take the same off-screen picture.
    EXPECT_EQ(static_cast<const QVRView&>(view).snapshot().format(), QImage::Format_RGB888);
}

TEST(FKImageView, APlainClickReportsNothing) {
    fkView view;
    recordingController controller;
    view.setController(&controller);
    ASSERT_TRUE(view.setPowerGrid({0, 1, 2, 3}, 2, 2));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    // Widget positions are y-down: the middle of iRect.
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(220, 130));
    QTest::mouseClick(&view, Qt::LeftButton, Qt::ControlModifier, QPoint(100, 100));
    EXPECT_EQ(controller.reports, 0);
}

TEST(FKImageView, PixelLinesOnlyWhenTheirCategoryIsSwitchedOn) {
    const QtMessageHandler previous = qInstallMessageHandler(keepPixelLines);
    pixelLines.clear();
    fkView view;
    ASSERT_TRUE(view.setPowerGrid({0, 1, 2, 4}, 2, 2));
    EXPECT_TRUE(pixelLines.isEmpty());

    QLoggingCategory::setFilterRules(QStringLiteral("qvr.plots.fk.pixels.debug=true"));
    ASSERT_TRUE(view.setPowerGrid({0, 1, 2, 4}, 2, 2));
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    // x, red, green, blue of each pixel on the grey scale (0 white, 1 black).
    ASSERT_EQ(pixelLines.size(), 4);
    EXPECT_EQ(pixelLines.first(), QStringLiteral("0.000000 255 255 255"));
    EXPECT_EQ(pixelLines.last(), QStringLiteral("1.000000 0 0 0"));
}
