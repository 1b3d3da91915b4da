#include "QVRStemTimeLineView.h"
#include "QVRTextDrawing.h"
#include "paintCounter.h"
#include "pictureDifference.h"
#include "workerThreads.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

// Tuesday, half past one in the afternoon.
const QDateTime fixedNow(QDate(2026, 12, 8), QTime(13, 30), QTimeZone::utc());

struct eventSource : timeLineDataSource, QVRViewController, timeLineClickReceiver {
    QVRStemTimeLineView* view = nullptr;
    originList origins;
    QRectF mapRect;
    float minMag = 2, maxMag = 10;
    QList<QPointF> clicks;

    int countOfVisibleEvents() override { return int(origins.size()); }
    std::shared_ptr<seismicOrigin> visibleOriginAtIndex(int i) override { return origins.at(i); }
    const originList& allSeismicOrigins() override { return origins; }
    void communicateMapRect() override { view->setPlotBounds(mapRect); }
    void communicateMinDisplayMagnitude() override {
        view->setMinMag(minMag);
        view->setMaxMag(maxMag);
    }
    void handleTrackedMousePosition(QPointF) override {}
    void handleClickedMousePosition(QPointF) override {}
    void handleClickedMouseInTimeLine(QPointF p) override { clicks << p; }

    void add(double secondsAgo, float magnitude) {
        auto o = std::make_shared<seismicOrigin>();
        o->setOriginDateTime(fixedNow.addMSecs(-qint64(secondsAgo * 1000)));
        o->setMagnitude(magnitude);
        origins.append(o);
    }
};

struct timeLine {
    QVRStemTimeLineView view;
    eventSource source;

    explicit timeLine(double spanDays, QSize size = QSize(1000, 200)) {
        view.resize(size);
        view.setClock([] { return fixedNow; });
        view.setEndDate(fixedNow);
        view.setStartDate(fixedNow.addMSecs(-qint64(spanDays * 86400000.0)));
        view.setSymbolScaleFactor(300);
        source.view = &view;
        view.setDataSource(&source);
        view.setController(&source);
    }

    // The labels drawn, with their anchors.
    std::vector<QVRTextDrawing::drawnText> labels() {
        std::vector<QVRTextDrawing::drawnText> recorded;
        QVRTextDrawing::setRecorder(&recorded);
        view.snapshot();
        QVRTextDrawing::setRecorder(nullptr);
        return recorded;
    }

    QStringList labelTexts() {
        QStringList texts;
        for (const auto& l : labels())
            texts << l.text;
        return texts;
    }

    // Where an event of that age and magnitude is centred (y up).
    QPointF centre(double secondsAgo, float magnitude) const {
        const QRectF r = view.iRect();
        const double span = double(view.startDate().msecsTo(view.endDate())) / 1000.0;
        const double x = r.x() + (span - secondsAgo) / span * r.width();
        const double y =
            r.y() + 16 +
            (magnitude - view.minMag()) * (r.height() - 16) / (view.maxMag() - view.minMag());
        return QPointF(x, y);
    }
};

QColor pixel(const QImage& image, QPointF viewPoint) {
    return image.pixelColor(int(viewPoint.x()), int(image.height() - viewPoint.y()));
}

bool near(const QColor& a, const QColor& b, int tolerance = 4) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace

TEST(TimeLine, InitialStateAndLayout) {
    QVRStemTimeLineView view;
    EXPECT_EQ(view.minMag(), 2.0f);
    EXPECT_EQ(view.maxMag(), 10.0f);
    EXPECT_EQ(view.redTimeRange(), 86400.0);
    EXPECT_EQ(view.orangeTimeRange(), 21600.0);
    view.setYellowTimeRange(7200);
    EXPECT_EQ(view.redTimeRange(), 7200.0);
    EXPECT_EQ(view.dayLabels(), (QStringList{"S", "M", "T", "W", "T", "F", "S"}));
    EXPECT_EQ(view.monthLabels().at(11), "DEC");

    view.resize(500, 200);
    view.setPlotBounds(QRectF());
    EXPECT_EQ(view.iRect(), QRectF(54, 16, 410, 168));
    view.setPlotBounds(QRectF(64, 134, 704, 352));
    EXPECT_EQ(view.iRect(), QRectF(64, 16, 704, 168));

    view.setClock([] { return fixedNow; });
    EXPECT_DOUBLE_EQ(view.hrsSinceYesterday(), -13.5);
    EXPECT_EQ(view.iToday(), 3); // Tuesday
}

TEST(TimeLine, ColoursByAgeAndHeightByMagnitude) {
    timeLine t(2);
    t.source.mapRect = QRectF();
    t.source.add(5 * 3600, 5.5f);   // red
    t.source.add(6 * 3600, 5.5f);   // orange
    t.source.add(24 * 3600, 5.5f);  // yellow
    t.source.add(30 * 3600, 2.0f);  // on the base line
    t.source.add(40 * 3600, 10.5f); // above the range: not drawn
    const QImage image = t.view.snapshot();
    EXPECT_TRUE(near(pixel(image, t.centre(5 * 3600, 5.5f)), QColor(255, 64, 64)));
    EXPECT_TRUE(near(pixel(image, t.centre(6 * 3600, 5.5f)), QColor(255, 191, 128)));
    EXPECT_TRUE(near(pixel(image, t.centre(24 * 3600, 5.5f)), QColor(255, 255, 128)));
    const QPointF base = t.centre(30 * 3600, 2.0f);
    EXPECT_EQ(base.y(), t.view.iRect().y() + 16);
    // Nothing above the plot where the 10.5 would have been.
    EXPECT_EQ(pixel(image, QPointF(t.centre(40 * 3600, 10.5f).x(),
                                   t.view.iRect().y() + t.view.iRect().height() + 6)),
              QColor(Qt::white));

    // The smallest magnitude sits on the base line (alone, with a bigger symbol scale).
    timeLine alone(2);
    alone.source.add(30 * 3600, 2.0f);
    alone.view.setSymbolScaleFactor(10);
    const QImage big = alone.view.snapshot();
    EXPECT_TRUE(near(pixel(big, base + QPointF(0, 4)), QColor(255, 255, 128), 12));
    EXPECT_TRUE(near(pixel(big, base + QPointF(0, -4)), QColor(255, 255, 128), 12));

    // Ages are seconds before now.
    t.view.computeMinandMaxTimeFromStartDateEndDate();
    EXPECT_EQ(t.view.xmin(), 172800.0f);
    EXPECT_EQ(t.view.xmax(), 0.0f);
}

TEST(TimeLine, ColoursByDepthClassAsOnTheMap) {
    timeLine t(2);
    t.source.mapRect = QRectF();
    const std::pair<float, QColor> classes[] = {{10, QColor(0xE6, 0x9F, 0x00)},
                                                {150, QColor(0x00, 0x9E, 0x73)},
                                                {600, QColor(0x00, 0x72, 0xB2)}};
    for (int i = 0; i < 3; ++i) {
        t.source.add(5 * 3600 + i * 10 * 3600, 5.5f); // all would be red, orange, yellow by age
        t.source.origins.last()->setDepth(classes[i].first);
    }
    t.view.setColorByDepth(true);
    const QImage image = t.view.snapshot();
    for (int i = 0; i < 3; ++i) {
        // Three-quarter opaque over the white plot.
        const QColor c = classes[i].second;
        const QColor expected(int(c.red() * 0.75 + 63.75), int(c.green() * 0.75 + 63.75),
                              int(c.blue() * 0.75 + 63.75));
        const QColor seen = pixel(image, t.centre(5 * 3600 + i * 10 * 3600, 5.5f));
        EXPECT_TRUE(near(seen, expected)) << i << " " << qPrintable(seen.name());
    }
    t.view.setColorByDepth(false);
    EXPECT_TRUE(near(pixel(t.view.snapshot(), t.centre(5 * 3600, 5.5f)), QColor(255, 64, 64)));
}

TEST(TimeLine, HourGridLabels) {
    timeLine t(1);
    const auto labels = t.labels();
    QStringList texts;
    for (const auto& l : labels)
        texts << l.text;
    // From the 13:00 line back: 12:00, 08:00, 04:00, then midnight with its date and year.
    EXPECT_EQ(texts, (QStringList{"12:00", "08:00", "04:00", "Dec-08", "2026", "20:00", "16:00"}));
    const QSizeF size = t.view.labelAttributes().measure("12:00");
    const QRectF r = t.view.iRect();
    const double x12 = r.x() + r.width() - 1.5 * 3600 * r.width() / 86400;
    EXPECT_NEAR(labels[0].anchor.x(), x12 - size.width() / 2, 1e-6);
    EXPECT_NEAR(labels[0].anchor.y(), r.y() - size.height() / 2, 1e-6);
    EXPECT_NEAR(labels[4].anchor.y(), r.y() + r.height() + 10 - size.height() / 2, 1e-6);

    // Exactly two days still use the hour grid; a second more the six-hour grid, whose lines
    // from 13:00 never fall on a labelled hour.
    EXPECT_TRUE(timeLine(2).labelTexts().contains("12:00"));
    EXPECT_FALSE(timeLine(2 + 1.0 / 86400).labelTexts().contains("12:00"));
}

TEST(TimeLine, DayWeekMonthAndYearGrids) {
    // 5.5 days: six-hour lines and day lines with weekday initials together.
    // Today (Tuesday) is too close to the right edge to be labelled; the days before are.
    EXPECT_EQ(timeLine(5.5).labelTexts(), (QStringList{"M", "S", "S", "F"}));

    // A month grid across New Year: the year stands 4 points right of the January line.
    timeLine newYear(200);
    newYear.view.setEndDate(QDateTime(QDate(2027, 2, 15), QTime(0, 0), QTimeZone::utc()));
    newYear.view.setStartDate(newYear.view.endDate().addDays(-200));
    newYear.view.setClock(
        [] { return QDateTime(QDate(2027, 2, 15), QTime(0, 0), QTimeZone::utc()); });
    const auto monthLabels = newYear.labels();
    const QRectF r = newYear.view.iRect();
    const double span = 200 * 86400.0;
    const double january = r.x() + r.width() - 45 * 86400.0 * r.width() / span;
    bool yearFound = false;
    QStringList months;
    for (const auto& l : monthLabels) {
        if (l.text == "2027") {
            yearFound = true;
            EXPECT_NEAR(l.anchor.x(), january + 4, 1e-6);
        }
        months << l.text;
    }
    EXPECT_TRUE(yearFound);
    EXPECT_TRUE(months.contains("JAN") && months.contains("DEC") && months.contains("AUG"));

    // Ten years label every second year, twenty years every fifth.
    auto years = [](double spanYears) {
        QStringList labelled;
        for (const QString& text : timeLine(spanYears * 365).labelTexts())
            labelled << text;
        return labelled;
    };
    const QStringList ten = years(10);
    EXPECT_TRUE(ten.contains("2026") && ten.contains("2024") && ten.contains("2018"));
    EXPECT_FALSE(ten.contains("2025"));
    const QStringList twenty = years(20);
    EXPECT_TRUE(twenty.contains("2025") && twenty.contains("2015"));
    EXPECT_FALSE(twenty.contains("2024") || twenty.contains("2020 "));
}

TEST(TimeLine, NineMagnitudeLinesAndTheWeekShading) {
    timeLine t(40, QSize(1000, 300));
    const QImage image = t.view.snapshot();
    const QRectF r = t.view.iRect();
    // Probe at the middle of a day, away from the day lines.
    const double dw = r.width() / 40;
    const double x = r.x() + r.width() - 13.5 / 24 * dw - dw / 2;
    int lines = 0;
    for (int m = 2; m <= 10; ++m) {
        const double y = r.y() + 16 + (m - 2) * (r.height() - 16) / 8;
        if (pixel(image, QPointF(x, y + 0.5)).red() < 240)
            ++lines;
    }
    EXPECT_EQ(lines, 9);
    // Some week is shaded grey 0.95 somewhere along the middle of the plot.
    bool shaded = false;
    for (int px = int(r.x()); px < int(r.x() + r.width()); px += 3)
        shaded = shaded || near(pixel(image, QPointF(px, r.y() + 16 + 0.5 * (r.height() - 16) + 7)),
                                QColor(242, 242, 242), 2);
    EXPECT_TRUE(shaded);
}

TEST(TimeLine, ClicksReportTheAge) {
    timeLine t(1, QSize(400, 200));
    t.source.mapRect = QRectF();
    t.view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&t.view));
    t.view.setPlotBounds(QRectF()); // iRect (54, 16, 310, 168)
    t.view.computeMinandMaxTimeFromStartDateEndDate();
    // The middle of the plot is half a day ago.
    QTest::mouseClick(&t.view, Qt::LeftButton, {}, QPoint(54 + 155, 200 - 50));
    ASSERT_EQ(t.source.clicks.size(), 1);
    EXPECT_NEAR(t.source.clicks.first().x(), 43200, 1);
    QTest::mouseClick(&t.view, Qt::LeftButton, {}, QPoint(10, 100)); // outside
    QTest::mouseDClick(&t.view, Qt::LeftButton, {}, QPoint(200, 100));
    EXPECT_LE(t.source.clicks.size(), 2); // the double click's first press only
}

TEST(TimeLine, AMonthOfEventsToLookAt) {
    timeLine t(30, QSize(1200, 200));
    t.view.setSymbolScaleFactor(250);
    for (int i = 0; i < 300; ++i)
        t.source.add(double((i * 7919) % (30 * 86400)), 2.5f + float((i * 37) % 50) / 10.0f);
    t.source.add(3600, 6.8f);
    t.source.add(10 * 3600, 6.1f);
    const QImage image = t.view.snapshot();
    EXPECT_EQ(image.size(), QSize(1200, 200));
    image.save(QStringLiteral("time_line_month.png")); // written into the test's folder, to look at

    // The largest events of the last hours are red, those of weeks ago yellow (in hue: the
    // translucent circles overlap and darken each other), and the days older than the oldest
    // event are empty.
    const QColor newest = pixel(image, t.centre(3600, 6.8f));
    EXPECT_LT(newest.hsvHue(), 15) << qPrintable(newest.name());
    EXPECT_GT(newest.hsvSaturation(), 150) << qPrintable(newest.name());
    const int old = 150;
    const QColor weeksAgo =
        pixel(image, t.centre(old * 7919.0, 2.5f + float((old * 37) % 50) / 10.0f));
    EXPECT_NEAR(weeksAgo.hsvHue(), 60, 5) << qPrintable(weeksAgo.name());
    EXPECT_GT(weeksAgo.hsvSaturation(), 100) << qPrintable(weeksAgo.name());
    const QColor empty = pixel(image, t.centre(29 * 86400.0, 6.0f));
    EXPECT_EQ(empty.red(), empty.blue()) << qPrintable(empty.name()); // white or grey
    EXPECT_GT(empty.blue(), 200) << qPrintable(empty.name());
}

// The kept layer of circles must give the picture that drawing every circle onto the frame
// gives, and must be dropped by anything that moves, resizes or recolours a circle.
TEST(TimeLine, KeptEventLayerMatchesDrawingEveryCircle) {
    QDateTime clockTime = fixedNow;
    timeLine t(30, QSize(1600, 200));
    t.view.setClock([&clockTime] { return clockTime; });
    t.view.setEndDate(fixedNow);
    t.view.setStartDate(fixedNow.addDays(-30));
    // Overlapping circles of every colour over grid lines and the week shading.
    for (int i = 0; i < 3000; ++i)
        t.source.add(std::fmod(i * 7919.0 * 97, 30 * 86400.0), 2.5f + float(i % 50) / 10);
    t.source.add(5 * 3600, 7.0f); // red for another hour, on top of the others
    t.source.origins.prepend(t.source.origins.takeLast());

    // The difference between the two ways of drawing the same frame, which the kept layer
    // must not exceed: blending into a layer rounds differently from blending onto the frame.
    auto expectSameAsDirect = [&t](const QImage& layered) {
        t.view.set_keepEventLayer(false);
        const QImage direct = t.view.snapshot();
        t.view.set_keepEventLayer(true);
        ASSERT_EQ(layered.size(), direct.size());
        const pictureDifference d = differenceOf(layered, direct);
        EXPECT_LE(d.largest, 3);
    };

    const QImage first = t.view.snapshot();
    const QImage kept = t.view.snapshot(); // from the kept layer
    EXPECT_EQ(differenceOf(first, kept).pixels, 0);
    expectSameAsDirect(kept);

    // New data, reported by the source.
    t.source.origins.last()->setMagnitude(7.5f);
    t.view.eventsDidChange();
    const QImage newData = t.view.snapshot();
    EXPECT_GT(differenceOf(kept, newData).pixels, 0);
    expectSameAsDirect(newData);

    // The colours: by depth, and by age as the clock passes the orange limit of the red one.
    t.view.setColorByDepth(true);
    const QImage byDepth = t.view.snapshot();
    EXPECT_GT(differenceOf(newData, byDepth).pixels, 0);
    expectSameAsDirect(byDepth);
    t.view.setColorByDepth(false);
    EXPECT_EQ(differenceOf(t.view.snapshot(), newData).pixels, 0);
    clockTime = fixedNow.addSecs(3600 + 60);
    const QImage later = t.view.snapshot();
    const QPointF centre = t.centre(5 * 3600, 7.0f);
    EXPECT_FALSE(near(pixel(newData, centre), pixel(later, centre), 16)); // orange now
    expectSameAsDirect(later);
    clockTime = fixedNow;

    // The limits and the size.
    t.source.maxMag = 9;
    t.view.snapshot(); // the grid takes the source's limits a frame after the circles do
    const QImage newLimits = t.view.snapshot();
    EXPECT_GT(differenceOf(newData, newLimits).pixels, 0);
    expectSameAsDirect(newLimits);
    t.view.resize(1200, 160);
    const QImage smaller = t.view.snapshot();
    EXPECT_EQ(smaller.size(), QSize(1200, 160));
    expectSameAsDirect(smaller);
}

// With a runner, the circles of new events are stamped on a worker, once however often they are
// asked for, and the view repaints with them when they arrive: the same picture as stamped in
// the paint pass.
TEST(TimeLine, NewEventsAreStampedOnAWorker) {
    timeLine t(30, QSize(1200, 200));
    for (int i = 0; i < 2000; ++i)
        t.source.add(std::fmod(i * 7919.0 * 97, 30 * 86400.0), 2.5f + float(i % 50) / 10);
    EXPECT_FALSE(t.view.drawEventLayerInBackground()); // no runner: the paint pass stamps

    const paintCounter counter(t.view);
    t.view.show();
    QTRY_VERIFY_WITH_TIMEOUT(counter.paints() > 0, 10000);
    workerThreads workers; // gone before the view
    t.view.setLayerRunner(workers.runner());
    EXPECT_FALSE(t.view.drawEventLayerInBackground()); // the shown layer is current

    t.source.origins.first()->setMagnitude(7.5f);
    t.view.eventsDidChange();
    const int paintsBefore = counter.paints();
    EXPECT_TRUE(t.view.drawEventLayerInBackground());
    EXPECT_TRUE(t.view.drawEventLayerInBackground()); // on its way already
    EXPECT_EQ(workers.started, 1);
    QTRY_VERIFY_WITH_TIMEOUT(!t.view.drawEventLayerInBackground(), 10000); // arrived
    QTRY_VERIFY_WITH_TIMEOUT(counter.paints() > paintsBefore, 10000);
    const QImage fromWorker = t.view.snapshot();

    t.view.setLayerRunner({});
    t.view.eventsDidChange();
    const QImage stampedHere = t.view.snapshot();
    EXPECT_EQ(differenceOf(fromWorker, stampedHere).pixels, 0);
    EXPECT_EQ(workers.started, 1);
}
