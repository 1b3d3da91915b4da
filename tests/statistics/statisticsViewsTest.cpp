// The magnitude–frequency plot and the histograms drawn into images, the Statistics window's
// figures, and the window fed by the application after a load and a click filter.

#include "OrrelinController.h"
#include "QVRHistogramView.h"
#include "finishLoads.h"
#include "fixtureServer.h"
#include "magnitudeFrequencyView.h"
#include "scopedEnvironment.h"
#include "statisticsPlots.h"
#include "statisticsWindowController.h"
#include "webViewHolder.h"

#include "ui_mainWindow.h"
#include "ui_statisticsWindow.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSettings>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const std::vector<double> handList = {1.3, 1.0, 1.1, 1.2, 1.1, 1.0, 1.1};

// The image pixel under a view point (y up).
QColor pixelAt(const QImage& image, const QVRView& view, QPointF viewPoint) {
    return image.pixelColor(int(std::lround(viewPoint.x())),
                            int(std::lround(view.height() - viewPoint.y())));
}

originList originsOf(const std::vector<double>& magnitudes) {
    originList origins;
    for (const double m : magnitudes) {
        auto o = std::make_shared<seismicOrigin>();
        o->setMagnitude(float(m));
        o->setDepth(float(10 * m));
        o->loadMagnitudeIntoMagArray();
        origins.append(o);
    }
    return origins;
}

} // namespace

TEST(MagnitudeFrequencyView, PointsLineAndFiguresWhereTheDataPut) {
    magnitudeFrequencyView view;
    view.resize(500, 360);
    view.setMagnitudes(handList);
    view.computeRects();
    // 1.0 to 1.3 with half a bin and more of margin; log10 7 < 1, so y runs 0 to 1.
    EXPECT_FLOAT_EQ(view.xmin(), 0.8f);
    EXPECT_FLOAT_EQ(view.xmax(), 1.5f);
    EXPECT_FLOAT_EQ(view.ymin(), 0.0f);
    EXPECT_FLOAT_EQ(view.ymax(), 1.0f);
    // The mapping and the base's inverse agree.
    const QPointF p = view.viewPointForDataPoint(1.2, 0.5);
    const QPointF back = view.dataPointForViewPoint(p);
    EXPECT_NEAR(back.x(), 1.2, 1e-5);
    EXPECT_NEAR(back.y(), 0.5, 1e-5);

    const QImage image = view.snapshot();
    ASSERT_EQ(image.size(), QSize(500, 360));
    // N(>= M): 7, 5, 2, 1 from 1.0 to 1.3, each a black dot.
    const int counts[] = {7, 5, 2, 1};
    for (int i = 0; i < 4; ++i) {
        const QColor dot =
            pixelAt(image, view, view.viewPointForDataPoint(1.0 + 0.1 * i, std::log10(counts[i])));
        EXPECT_LT(dot.lightness(), 60) << i;
    }
    // The fitted line, red, between Mc (1.1) and the largest magnitude (1.3), off the points.
    // Aki's b of the five events from Mc on: log10(e) / (1.16 - 1.05) = 3.948, and
    // a = log10(5) + 1.1 b = 5.042.
    const auto& s = view.statistics();
    EXPECT_NEAR(s.fittedLog10Count(1.25), 0.1068, 1e-3);
    EXPECT_NEAR(s.fittedLog10Count(1.05), 0.8964, 1e-3);
    const QColor line = pixelAt(image, view, view.viewPointForDataPoint(1.25, 0.1068));
    EXPECT_GT(line.red(), 150);
    EXPECT_LT(line.green(), 120);
    // Below the fit's range no red is drawn.
    const QColor beforeMc = pixelAt(image, view, view.viewPointForDataPoint(1.05, 0.8964));
    EXPECT_FALSE(beforeMc.red() > 150 && beforeMc.green() < 120);
    // b's error: 2.30 b² √(Σ(M − 1.16)² / (5 · 4)) = 2.30 · 15.59 · 0.04.
    EXPECT_EQ(view.figureLines(),
              (QStringList{"Mc 1.1", "b 3.95 ± 1.43", "a 5.04", "n 5 of 7", "too few events"}));

    // Without magnitudes the plot says so and draws no line.
    view.setMagnitudes({});
    EXPECT_TRUE(view.curve().empty());
    EXPECT_TRUE(view.figureLines().contains(QStringLiteral("n 0 of 0")));
    EXPECT_TRUE(view.figureLines().contains(QStringLiteral("too few events")));
    const QImage withoutMagnitudes = view.snapshot();
    ASSERT_EQ(withoutMagnitudes.size(), QSize(500, 360));
    int redPixels = 0;
    for (int y = 0; y < withoutMagnitudes.height(); ++y) {
        for (int x = 0; x < withoutMagnitudes.width(); ++x) {
            const QColor c = withoutMagnitudes.pixelColor(x, y);
            redPixels += c.red() > 150 && c.green() < 120 && c.blue() < 120;
        }
    }
    EXPECT_EQ(redPixels, 0);
}

TEST(StatisticsPlots, MagnitudeBinsAreTenthsAndDepthBinsAreRoundWidths) {
    QVRHistogramView magnitudes;
    // 1.04 rounds into the 1.0 bin, 1.26 into 1.3, 2.05 (a float a hair below) into 2.1.
    statisticsPlots::showMagnitudes(magnitudes, {1.0, 1.04, 1.1, 1.26, double(2.05f), NAN});
    ASSERT_EQ(magnitudes.nBins(), 12); // 1.0 to 2.1
    EXPECT_NEAR(magnitudes.binWidth(), 0.1, 1e-6);
    EXPECT_NEAR(magnitudes.minBinValue(), 0.95, 1e-6);
    const std::vector<int> expected = {2, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_EQ(magnitudes.counts(), expected);

    EXPECT_EQ(statisticsPlots::depthBinWidth(0, 33), 1.0);
    EXPECT_EQ(statisticsPlots::depthBinWidth(-3, 120), 5.0);
    EXPECT_EQ(statisticsPlots::depthBinWidth(0, 700), 20.0);
    EXPECT_EQ(statisticsPlots::depthBinWidth(0, 6000), 100.0);
    QVRHistogramView depths;
    statisticsPlots::showDepths(depths, {-3, 0, 4.9, 5, 120});
    ASSERT_EQ(depths.nBins(), 26); // -5 to 125 km in 5 km bins
    EXPECT_NEAR(depths.binWidth(), 5.0, 1e-4);
    EXPECT_EQ(depths.counts().at(0), 1);
    EXPECT_EQ(depths.counts().at(1), 2);
    EXPECT_EQ(depths.counts().at(2), 1);
    EXPECT_EQ(depths.counts().at(25), 1);

    // Nothing to count leaves a blank view: white within its frame, without bar or axis,
    // where the same view with depths draws them.
    QVRHistogramView empty;
    statisticsPlots::showDepths(empty, {});
    EXPECT_TRUE(empty.counts().empty());
    for (QVRHistogramView* view : {&empty, &depths}) {
        view->resize(300, 200);
        const QImage image = view->snapshot();
        ASSERT_EQ(image.size(), QSize(300, 200));
        int marked = 0;
        for (int y = 2; y < image.height() - 2; ++y) {
            for (int x = 2; x < image.width() - 2; ++x)
                marked += image.pixel(x, y) != qRgb(255, 255, 255);
        }
        if (view == &empty) {
            EXPECT_EQ(marked, 0);
        } else {
            EXPECT_GT(marked, 1000);
        }
    }
}

TEST(StatisticsWindow, ShowsTheFiguresAndSaysWhenTheyRestOnTooFewEvents) {
    QSettings().clear();
    statisticsWindowController window;
    Ui::statisticsWindow& ui = window.interface();
    window.setVisibleOrigins(originsOf(handList));
    EXPECT_EQ(ui.eventsValue->text(), "7");
    EXPECT_EQ(ui.mcValue->text(), "1.10");
    EXPECT_EQ(ui.nAboveMcValue->text(), "5");
    EXPECT_EQ(ui.bValue->text(), "3.948");
    EXPECT_EQ(ui.bErrorValue->text(), "1.434");
    EXPECT_EQ(ui.aValue->text(), "5.042");
    EXPECT_FALSE(ui.tooFewEventsLabel->isHidden());
    EXPECT_EQ(ui.tooFewEventsLabel->text(), "too few events");
    EXPECT_EQ(window.magnitudeHistogram()->nValues(), 7);
    EXPECT_EQ(window.depthHistogram()->nValues(), 7);
    EXPECT_EQ(window.frequencyView()->curve().size(), 4u);

    std::vector<double> many(30, 3.0);
    many.insert(many.end(), 20, 3.1);
    window.setVisibleOrigins(originsOf(many));
    EXPECT_EQ(ui.nAboveMcValue->text(), "50");
    EXPECT_TRUE(ui.tooFewEventsLabel->isHidden());

    window.setVisibleOrigins({});
    EXPECT_EQ(ui.eventsValue->text(), "0");
    EXPECT_EQ(ui.bValue->text(), "–");
    EXPECT_FALSE(ui.tooFewEventsLabel->isHidden());
}

TEST(StatisticsWindow, TheMenuOpensItAndItFollowsLoadsAndClickFilters) {
    QSettings().clear();
    webViewHolder::setViewsAllowed(false);
    const QDateTime now(QDate(2026, 12, 8), QTime(12, 0), QTimeZone::utc());
    // Two events off Japan 140 km apart, one in Chile and one in California.
    struct quake {
        const char* id;
        double magnitude, depth, lon, lat;
        qint64 ageSeconds;
    } const quakes[] = {{"us0001", 6.0, 30, 140, 35, 3700},
                        {"us0002", 5.0, 80, 141, 36, 5 * 3600},
                        {"us0003", 4.5, 120, -70, -20, 3 * 86400},
                        {"ci0004", 3.5, 8, -120, 40, 20 * 86400}};
    QJsonArray features;
    for (const quake& q : quakes) {
        features.append(QJsonObject{
            {"type", "Feature"},
            {"id", q.id},
            {"properties", QJsonObject{{"mag", q.magnitude},
                                       {"place", "somewhere"},
                                       {"time", now.addSecs(-q.ageSeconds).toMSecsSinceEpoch()},
                                       {"magType", "mb"}}},
            {"geometry",
             QJsonObject{{"type", "Point"}, {"coordinates", QJsonArray{q.lon, q.lat, q.depth}}}}});
    }
    fixtureServer server;
    server.setAnswer(
        QStringLiteral("/earthquakes/feed/v1.0/summary/2.5_month.geojson"),
        {200,
         QJsonDocument(QJsonObject{{"type", "FeatureCollection"}, {"features", features}}).toJson(),
         "application/json"});
    scopedEnvironment feeds{"QUORVEL_USGS_FEED_URL", server.baseURL()};

    OrrelinController c;
    c.setClock([now] { return now; });
    c.awakeFromNib();
    finishLoads(c);
    ASSERT_EQ(c.visibleSeismicOrigins().size(), 4);
    EXPECT_EQ(c.statistics(), nullptr); // made on first use only
    c.mainInterface().statisticsAction->trigger();
    statisticsWindowController* statistics = c.statistics();
    ASSERT_NE(statistics, nullptr);
    EXPECT_TRUE(statistics->window()->isVisible());
    EXPECT_EQ(statistics->statistics().events(), 4);
    EXPECT_EQ(statistics->depthHistogram()->nValues(), 4);

    // A click on the map at the newest event keeps it and its neighbour (500 km around).
    c.handleClickedMousePosition(QPointF(140, 35));
    ASSERT_EQ(c.visibleSeismicOrigins().size(), 2);
    EXPECT_EQ(statistics->statistics().events(), 2);
    EXPECT_EQ(statistics->interface().eventsValue->text(), "2");
    EXPECT_FLOAT_EQ(statistics->depthHistogram()->maxValue(), 80.0f);
    c.handleClickedMousePosition(QPointF(0, 0)); // the next click restores
    EXPECT_EQ(statistics->statistics().events(), 4);
    // Shown again, it is the same window.
    c.showStatisticsWindow();
    EXPECT_EQ(c.statistics(), statistics);
}
