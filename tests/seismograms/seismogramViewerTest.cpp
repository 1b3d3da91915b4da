// What a user of the seismogram views meets on real files: traces kept in their rows and
// panels at any gain, labels that stay readable, no undefined header value printed, files of
// different start times on one clock, and the zoom, pan, read-out and picks of the mouse and
// keys, which change only the time limits and are followed by a redraw.

#include "MultiSeisView.h"
#include "QVRRealTimeDisplayView02.h"
#include "SeisView01.h"
#include "SeisView02.h"
#include "ThreeCompView.h"
#include "helicorderView.h"
#include "paintCounter.h"
#include "qtTestInGoogleTest.h"
#include "seismogramInteraction.h"
#include "seismogramReadings.h"
#include "seismogramTestSupport.h"
#include "uniformTimeSeriesView.h"

#include <QRubberBand>
#include <QSignalSpy>
#include <QTimeZone>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <cstring>

using namespace seismogramTestSupport;

namespace {

const QDateTime tenOClock(QDate(2026, 12, 8), QTime(10, 0, 0), QTimeZone::utc());

// A file's seismogram: `samples` at `delta` s from `reference`, every other header field
// undefined.
std::shared_ptr<SacObject> recording(std::vector<float> samples, const QDateTime& reference,
                                     float delta = 1) {
    auto s = std::make_shared<SacObject>();
    s->InitWithSamples(std::move(samples), delta, 0, reference);
    return s;
}

std::vector<float> spikeAt(int count, int index, float value) {
    std::vector<float> samples(std::size_t(count), 0.0f);
    samples[std::size_t(index)] = value;
    return samples;
}

// Whether any pixel of the row at y between x0 and x1 is not white.
bool inkAlong(const QImage& image, double x0, double x1, double y) {
    for (double x = x0 + 0.5; x < x1; x += 1) {
        if (pixelAt(image, x, y) != QColor(Qt::white))
            return true;
    }
    return false;
}

// The share of the pixels in `box` (view points, y up) darker than mid-grey.
double darkShare(const QImage& image, const QRectF& box) {
    int dark = 0, all = 0;
    for (double y = box.top() + 0.5; y < box.bottom(); y += 1) {
        for (double x = box.left() + 0.5; x < box.right(); x += 1) {
            ++all;
            dark += qGray(pixelAt(image, x, y).rgb()) < 128;
        }
    }
    return all ? double(dark) / all : 0;
}

// The x of the highest and of the lowest ink inside `plot`.
std::pair<double, double> peakAndTroughX(const QImage& image, const QRectF& plot) {
    double peakX = -1, peakY = -1e9, troughX = -1, troughY = 1e9;
    for (double x = plot.left() + 1.5; x < plot.right() - 1; x += 1) {
        for (double y = plot.top() + 1.5; y < plot.bottom() - 1; y += 1) {
            if (qGray(pixelAt(image, x, y).rgb()) >= 128)
                continue;
            if (y > peakY)
                peakY = y, peakX = x;
            if (y < troughY)
                troughY = y, troughX = x;
        }
    }
    return {peakX, troughX};
}

} // namespace

TEST(SeismogramViewer, EveryTraceStaysInItsRowOrPanelAtAnyGain) {
    {
        // Helicorder at its default gain 8: 1008 × 636, rows 20 points high from the top at
        // 572. The spike of the largest amplitude would reach 80 points up, through the title.
        helicorderView view;
        view.resize(1008, 636);
        std::vector<float> samples = spikeAt(3600, 1800, 1.0f);
        samples[1801] = -1.0f;
        view.setWvfrmArray(
            {recording(samples, QDateTime(QDate(2026, 3, 5), QTime(10, 0), QTimeZone::utc()))});
        const QImage image = render(view);
        const double x = 72 + 1800 * 0.25;
        EXPECT_TRUE(inkAlong(image, x - 3, x + 3, 570)); // up to the top of its row
        EXPECT_TRUE(inkAlong(image, x - 3, x + 3, 554)); // and down to its bottom
        for (const double y : {575.0, 600.0, 630.0, 545.0, 530.0, 500.0})
            EXPECT_FALSE(inkAlong(image, x - 6, x + 6, y)) << y;
    }
    {
        // Record section: slots 100 points high in (20, 60, 360, 200), baselines at 110 and
        // 210; a gain of 0.2 sends the spike of the lower trace 500 points up. It reaches the
        // upper trace's baseline and stops there.
        MultiSeisView view;
        view.resize(400, 300);
        view.setPlotGainFactor(0.2f);
        view.setWvfrmsArray({recording(spikeAt(101, 50, 1.0f), tenOClock),
                             recording(std::vector<float>(101, 0.0f), tenOClock)});
        const QImage image = render(view);
        for (const double y : {150.0, 200.0})
            EXPECT_TRUE(inkAlong(image, 194, 206, y)) << y;
        for (const double y : {225.0, 250.0, 280.0})
            EXPECT_FALSE(inkAlong(image, 194, 206, y)) << y;
    }
    {
        // Three components, 744 × 600: panels 388–552, 218–382 and 48–212. The radial's spike
        // would reach 148 points above its middle, through the gap into the vertical's panel.
        struct observation : ThreeComponentObservation {
            std::shared_ptr<SacObject> z, r, t;
            const SacObject* vertical() const override { return z.get(); }
            const SacObject* radial() const override { return r.get(); }
            const SacObject* transverse() const override { return t.get(); }
        };
        auto obs = std::make_shared<observation>();
        obs->z = recording(std::vector<float>(101, 0.0f), tenOClock);
        obs->r = recording(spikeAt(101, 50, 1.0f), tenOClock);
        obs->t = recording(std::vector<float>(101, 0.0f), tenOClock);
        ThreeCompView view;
        view.resize(744, 600);
        view.setObservation(obs);
        const QImage image = render(view);
        const double x = 72 + 50 * 6.0;
        EXPECT_TRUE(inkAlong(image, x - 8, x + 8, 378));
        for (const double y : {385.0, 420.0, 500.0})
            EXPECT_FALSE(inkAlong(image, x - 8, x + 8, y)) << y;
    }
}

TEST(SeismogramViewer, LabelsStayReadableOverTheirTraces) {
    // A trace that blackens its whole panel: 10,000 samples swinging across the range.
    std::vector<float> samples(10000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = i % 2 ? 1.0f : -1.0f;
    SeisView02 view;
    view.resize(400, 300);
    view.setplotStyle(SeisView02::panelStyle);
    view.setYLimits(-1, 1);
    view.set_fixedYAxisRange(true);
    view.setWvfrmsArray({seismogram(samples, 0.01f, 0, QStringLiteral("IU.ANMO.00.BHZ"))});
    const recordedTexts texts;
    const QImage image = render(view);
    const auto* label = texts.find(QStringLiteral("IU.ANMO.00.BHZ"));
    ASSERT_NE(label, nullptr);
    const QRectF box(label->anchor,
                     view.labelAttributes().measure(QStringLiteral("IU.ANMO.00.BHZ")));
    EXPECT_LT(darkShare(image, box), 0.5);
    EXPECT_GT(darkShare(image, box.translated(0, -80)), 0.9); // the trace without a label
}

TEST(SeismogramViewer, NoUndefinedHeaderValueIsPrinted) {
    // Reference time and samples only: codes, distance, azimuths, depth and origin undefined.
    const auto bare = recording(std::vector<float>(3600, 1.0f), tenOClock);
    bare->GetSacSeis()[100] = 5;
    bare->ComputeExtrema();
    MultiSeisView section;
    helicorderView helicorder;
    SeisView02 panels;
    panels.setplotStyle(SeisView02::panelStyle);
    ThreeCompView components;
    struct verticalOnly : ThreeComponentObservation {
        std::shared_ptr<SacObject> z;
        const SacObject* vertical() const override { return z.get(); }
        const SacObject* radial() const override { return nullptr; }
        const SacObject* transverse() const override { return nullptr; }
    };
    auto obs = std::make_shared<verticalOnly>();
    obs->z = bare;
    components.setObservation(obs);
    section.setWvfrmsArray({bare});
    helicorder.setWvfrmArray({bare});
    panels.setWvfrmsArray({bare});
    const recordedTexts texts;
    for (QVRView* view :
         std::initializer_list<QVRView*>{&section, &helicorder, &panels, &components}) {
        view->resize(800, 600);
        render(*view);
    }
    ASSERT_FALSE(texts.all.empty());
    for (const auto& t : texts.all)
        EXPECT_FALSE(t.text.contains(QStringLiteral("12345"))) << t.text.toStdString();
    EXPECT_NE(texts.find(QStringLiteral("2026-12-08")), nullptr); // the helicorder's title

    // Each field that is defined is shown, and only those.
    SacHeader& h = *bare->GetSacHeader();
    setCode(h.kstnm, "ANMO");
    setCode(h.kcmpnm, "BHZ");
    h.gcarc = 45.3f;
    h.baz = 190.4f;
    h.evdp = 33;
    EXPECT_EQ(ThreeCompView::stationHeader(*bare), "Station: ANMO / GCARC:45.3 deg / BAZ:190.4");
    EXPECT_EQ(ThreeCompView::eventHeader(*bare), "\nDepth: 33");
    EXPECT_EQ(MultiSeisView::traceLabel(*bare), "ANMO BHZ (45.30)");
    EXPECT_EQ(helicorderView::title(*bare), "2026-12-08 - ANMO BHZ");
}

TEST(SeismogramViewer, FilesOfDifferentStartsShareTheCommonClock) {
    // The same moment, 10:00:50, is sample 50 of a file starting at 10:00:00 (a peak) and
    // sample 30 of one starting at 10:00:20 (a trough).
    const auto early = recording(spikeAt(100, 50, 1.0f), tenOClock);
    const auto late = recording(spikeAt(100, 30, -1.0f), tenOClock.addSecs(20));
    // Amplitudes on −2 … 2: the peak at 3/4 of the plot's height, the trough at 1/4, clear of
    // the axes' ticks along its edges.
    SeisView01 overlay;
    overlay.resize(600, 300);
    overlay.setYLimits(-2, 2);
    overlay.set_fixedYAxisRange(true);
    overlay.setWvfrmsArray({early, late});
    overlay.setCommonClock(true);
    EXPECT_EQ(overlay.clockStart(), tenOClock);
    EXPECT_EQ(overlay.timeShift(1), 20);
    auto [peak, trough] = peakAndTroughX(render(overlay), QRectF(100, 75, 440, 170));
    EXPECT_NEAR(peak, trough, 1);
    EXPECT_EQ(overlay.xmin(), 0);
    EXPECT_EQ(overlay.xmax(), 119);
    // Each against its own begin: 20 s apart, 20 × 480 / 99 points.
    overlay.setCommonClock(false);
    std::tie(peak, trough) = peakAndTroughX(render(overlay), QRectF(100, 75, 440, 170));
    EXPECT_NEAR(peak - trough, 20 * 480.0 / 99, 1.5);

    // Panels: the same in each panel.
    SeisView02 panels;
    panels.resize(600, 300);
    panels.setplotStyle(SeisView02::panelStyle);
    panels.setYLimits(-2, 2);
    panels.set_fixedYAxisRange(true);
    panels.setWvfrmsArray({early, late});
    panels.setCommonClock(true);
    const QImage image = render(panels);
    // Right of the labels and clear of the ticks.
    std::tie(peak, std::ignore) =
        peakAndTroughX(image, panels.traceRect(0, 2).adjusted(70, 15, -20, -15));
    std::tie(std::ignore, trough) =
        peakAndTroughX(image, panels.traceRect(1, 2).adjusted(70, 15, -20, -15));
    EXPECT_NEAR(peak, trough, 1);
}

namespace {

// A 400 × 300 overlay of 101 seconds of a ramp (the sample is its time), from 10:37:12 with
// the origin 2 s after: the plot rectangle is (80, 60, 280, 200).
struct shownOverlay {
    SeisView01 view;
    seismogramInteraction* interaction = nullptr;
    std::unique_ptr<paintCounter> paints;

    shownOverlay() {
        std::vector<float> ramp(101);
        for (std::size_t i = 0; i < ramp.size(); ++i)
            ramp[i] = float(i);
        auto s =
            recording(ramp, QDateTime(QDate(2026, 12, 8), QTime(10, 37, 12), QTimeZone::utc()));
        s->GetSacHeader()->o = 2;
        view.setWvfrmsArray({s});
        view.resize(400, 300);
        interaction = seismogramInteraction::attach(&view);
        paints = std::make_unique<paintCounter>(view);
        view.show();
    }
    // A view point (y up) as the widget's position.
    QPointF at(double x, double y) const { return QPointF(x, view.height() - y); }
    void mouse(QEvent::Type type, double x, double y, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at(x, y), view.mapToGlobal(at(x, y)), button, buttons, modifiers);
        QCoreApplication::sendEvent(&view, &event);
    }
    void wheel(double x, double y, int notches) {
        QWheelEvent event(at(x, y), view.mapToGlobal(at(x, y)), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&view, &event);
    }
    void key(Qt::Key k) { QTest::keyClick(&view, k); }
};

void expectLimits(const QVRView& view, double from, double to) {
    EXPECT_NEAR(view.xmin(), from, 1e-3);
    EXPECT_NEAR(view.xmax(), to, 1e-3);
}

} // namespace

TEST(SeismogramViewer, TheMouseAndKeysZoomPanAndRestoreTheTimeAxis) {
    shownOverlay shown;
    ASSERT_NE(shown.interaction, nullptr);
    QTRY_VERIFY_WITH_TIMEOUT(shown.paints->paints() > 0, 10000);
    expectLimits(shown.view, 0, 100);
    QSignalSpy changed(shown.interaction, &seismogramInteraction::limitsChanged);

    // One notch up at x 150 (25 s): 80 % of the span, 25 s staying under the pointer.
    int before = shown.paints->paints();
    shown.wheel(150, 160, 1);
    expectLimits(shown.view, 5, 85);
    EXPECT_EQ(changed.size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(shown.paints->paints() > before, 10000);
    // Outside the plot the wheel does nothing.
    shown.wheel(40, 160, 1);
    expectLimits(shown.view, 5, 85);

    // A drag 28 points to the right moves the record with it: 8 s earlier on the left.
    before = shown.paints->paints();
    shown.mouse(QEvent::MouseButtonPress, 220, 160, Qt::LeftButton);
    shown.mouse(QEvent::MouseMove, 248, 160, Qt::LeftButton);
    shown.mouse(QEvent::MouseButtonRelease, 248, 160, Qt::NoButton);
    expectLimits(shown.view, -3, 77);
    QTRY_VERIFY_WITH_TIMEOUT(shown.paints->paints() > before, 10000);

    // Shift-dragging from x 108 to 192 selects 5 … 29 s, shown while dragging.
    shown.mouse(QEvent::MouseButtonPress, 108, 160, Qt::LeftButton, Qt::ShiftModifier);
    shown.mouse(QEvent::MouseMove, 192, 160, Qt::LeftButton, Qt::ShiftModifier);
    ASSERT_TRUE(shown.interaction->selection().has_value());
    EXPECT_EQ(*shown.interaction->selection(), std::pair(108.0, 192.0));
    const QRubberBand* band = shown.view.findChild<QRubberBand*>();
    ASSERT_NE(band, nullptr);
    EXPECT_TRUE(band->isVisible());
    EXPECT_EQ(band->geometry(), QRect(108, 40, 84, 200));
    expectLimits(shown.view, -3, 77); // nothing changes until the button is let go
    before = shown.paints->paints();
    shown.mouse(QEvent::MouseButtonRelease, 192, 160, Qt::NoButton, Qt::ShiftModifier);
    expectLimits(shown.view, 5, 29);
    EXPECT_FALSE(band->isVisible());
    EXPECT_FALSE(shown.interaction->selection().has_value());
    QTRY_VERIFY_WITH_TIMEOUT(shown.paints->paints() > before, 10000);

    // The export is the screen: the zoomed picture in both.
    QTRY_VERIFY_WITH_TIMEOUT(shown.paints->paints() > before, 10000);
    const QImage screen = shown.view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage exported = shown.view.snapshot().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(screen, exported);

    // Home, and a double click, return to the whole record.
    shown.key(Qt::Key_Home);
    expectLimits(shown.view, 0, 100);
    shown.wheel(150, 160, 2);
    shown.mouse(QEvent::MouseButtonDblClick, 150, 160, Qt::LeftButton);
    expectLimits(shown.view, 0, 100);
    EXPECT_EQ(changed.size(), 6);
}

TEST(SeismogramViewer, TheStatusLineReadsTimeAndAmplitudeUnderThePointer) {
    shownOverlay shown;
    QTRY_VERIFY_WITH_TIMEOUT(shown.paints->paints() > 0, 10000);
    QSignalSpy readings(shown.interaction, &seismogramInteraction::readingChanged);
    // x 150 is 25 s after the first sample: 10:37:37, 23 s after the origin, sample 25.
    shown.mouse(QEvent::MouseMove, 150, 160, Qt::NoButton);
    ASSERT_EQ(readings.size(), 1);
    EXPECT_EQ(readings.last().at(0).toString(),
              QStringLiteral("2026-12-08 10:37:37.000 UTC · origin +23.00 s · 25 Counts"));
    // Off the plot the line is empty.
    shown.mouse(QEvent::MouseMove, 20, 160, Qt::NoButton);
    EXPECT_EQ(readings.last().at(0).toString(), QString());
    // In ground motion, its units.
    auto velocity = recording({0.5f, 0.25f}, tenOClock);
    velocity->GetSacHeader()->idep = 7;
    const seismogramReading r = seismogramReadings::readingOf(*velocity, 0, 1);
    EXPECT_EQ(seismogramReadings::text(r),
              QStringLiteral("2026-12-08 10:00:01.000 UTC · 0.25 m/s"));
}

TEST(SeismogramViewer, PIsPickedOnThePanelUnderThePointer) {
    SeisView02 view;
    view.resize(400, 300);
    view.setplotStyle(SeisView02::panelStyle);
    const auto upper = recording(std::vector<float>(101, 0.0f), tenOClock);
    const auto lower = recording(std::vector<float>(101, 0.0f), tenOClock);
    view.setPickableSeismograms({upper, lower});
    render(view);
    // The lower panel (60 … 160), 35 s in.
    EXPECT_TRUE(view.pickAt(QPointF(80 + 35 * 2.8, 100), QStringLiteral("P")));
    EXPECT_FLOAT_EQ(lower->timePickKey(2), 35);
    EXPECT_EQ(lower->pickLabelWithKey(2), "P");
    EXPECT_EQ(upper->timePickKey(2), SacHeader::undefinedValue);
    EXPECT_TRUE(view.pickAt(QPointF(80 + 70 * 2.8, 200), QStringLiteral("S")));
    EXPECT_FLOAT_EQ(upper->timePickKey(3), 70);
    EXPECT_EQ(upper->pickLabelWithKey(3), "S");
    // Drawn, with its label.
    const recordedTexts texts;
    const QImage image = render(view);
    ASSERT_NE(texts.find(QStringLiteral("P")), nullptr);
    EXPECT_TRUE(inkNear(image, 80 + 35 * 2.8, 90, 1));
    // Outside the panels, or on a view given nothing to change, nothing is picked.
    EXPECT_FALSE(view.pickAt(QPointF(40, 100), QStringLiteral("P")));
    SeisView02 readOnly;
    readOnly.resize(400, 300);
    readOnly.setplotStyle(SeisView02::panelStyle);
    readOnly.setWvfrmsArray({upper});
    render(readOnly);
    EXPECT_FALSE(readOnly.pickAt(QPointF(200, 160), QStringLiteral("P")));
}

TEST(SeismogramViewer, ALiveZoomKeepsItsMomentsWhileTheWindowMovesOn) {
    QVRRealTimeDisplayView02 view;
    view.resize(800, 400);
    view.setWindow(tenOClock, 0, 600);
    expectLimits(view, 0, 600);
    EXPECT_EQ(view.shownRefDate(), tenOClock);
    // The stream moves on, the axis staying: the window follows.
    view.setWindow(tenOClock.addSecs(10), 10, 610);
    expectLimits(view, 10, 610);
    // Zoomed, the same moments stay, on a stream's axis and on a reload's new one.
    seismogramInteraction interaction(view, view);
    view.computeRects();
    interaction.zoomToSpan(60 + 100 * 660.0 / 600, 60 + 200 * 660.0 / 600);
    expectLimits(view, 110, 210);
    EXPECT_EQ(view.shownRefDate(), tenOClock.addSecs(-390));
    view.setWindow(tenOClock.addSecs(20), 20, 620);
    expectLimits(view, 110, 210);
    view.setWindow(tenOClock.addSecs(60), 0, 600);
    expectLimits(view, 50, 150);
    EXPECT_EQ(view.shownRefDate(), tenOClock.addSecs(-390));
    // Home: the window again, and following it.
    interaction.showWholeRecord();
    expectLimits(view, 0, 600);
    view.setWindow(tenOClock.addSecs(70), 0, 600);
    expectLimits(view, 0, 600);
    EXPECT_EQ(view.shownRefDate(), tenOClock.addSecs(70));
}

TEST(SeismogramViewer, EveryViewTakesTheInteraction) {
    SeisView01 overlay;
    SeisView02 panels;
    MultiSeisView section;
    helicorderView helicorder;
    ThreeCompView components;
    uniformTimeSeriesView uniform;
    QVRRealTimeDisplayView02 live;
    seismogramInteraction* rows = nullptr;
    for (QVRView* view : std::initializer_list<QVRView*>{&overlay, &panels, &section, &helicorder,
                                                         &components, &uniform, &live}) {
        seismogramInteraction* attached = seismogramInteraction::attach(view);
        EXPECT_NE(attached, nullptr);
        if (view == &helicorder)
            rows = attached;
    }
    ASSERT_NE(rows, nullptr);
    QVRView plain;
    EXPECT_EQ(seismogramInteraction::attach(&plain), nullptr);
    // A helicorder zooms within its rows: every row shows the same minutes.
    helicorder.resize(1008, 636);
    helicorder.setWvfrmArray({recording(std::vector<float>(7200, 0.0f), tenOClock)});
    render(helicorder);
    expectLimits(helicorder, 0, 3600);
    rows->zoomToSpan(72 + 900 * 0.25, 72 + 900 * 0.5);
    render(helicorder);
    expectLimits(helicorder, 900, 1800);
    const auto reading = helicorder.readingAt(QPointF(72 + 450, 562 - 20));
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(reading->utc, tenOClock.addSecs(3600 + 1350));
}
