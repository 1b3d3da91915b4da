// The spectrogram view drawn into images: where the power of a known sine lands, the trace
// above on the same time axis, the colour bar, and what the cursor reads.

#include "spectrogramView.h"
#include "perceptualColorScale.h"
#include "seismogramTestSupport.h"
#include "spectrogram.h"

#include <QTimeZone>

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

using namespace seismogramTestSupport;

namespace {

constexpr double delta = 0.01; // 100 Hz

// Two minutes of a unit sine of `hz`, silent before `onset` seconds.
std::shared_ptr<SacObject> sineRecord(double hz, double onset = 0.0,
                                      const QDateTime& reference = QDateTime()) {
    std::vector<float> samples(12000);
    for (size_t i = 0; i < samples.size(); ++i) {
        const double t = double(i) * delta;
        samples[i] = t < onset ? 0.0f : float(std::sin(2 * std::numbers::pi * hz * (t - onset)));
    }
    auto s = std::make_shared<SacObject>();
    s->InitWithSamples(std::move(samples), float(delta), 0.0f, reference);
    s->setLabelString(QStringLiteral("XX.TEST.BHZ"));
    return s;
}

void show(spectrogramView& view, const std::shared_ptr<SacObject>& record,
          const spectrogram::parameters& how = {}) {
    view.setSpectrogram(record, std::make_shared<const spectrogram>(record->GetSacSeis(),
                                                                    record->npts(), delta, how));
}

// The view y (pixel centre) of the brightest pixel in the column at view x `x` within `panel`.
double brightestY(const QImage& image, const QRectF& panel, double x) {
    double best = -1, bestY = 0;
    for (double y = panel.y() + 0.5; y < panel.y() + panel.height(); y += 1.0) {
        const double gray = qGray(pixelAt(image, x, y).rgb());
        if (gray > best) {
            best = gray;
            bestY = y;
        }
    }
    return bestY;
}

// The first view x (pixel centre) in `panel`, from the left, where `hit` holds.
template <typename predicate>
double firstX(const QRectF& panel, predicate hit) {
    for (double x = panel.left() + 0.5; x < panel.right(); x += 1.0)
        if (hit(x))
            return x;
    return -1;
}

// Dark pixels in the column at view x within `panel`.
int darkPixels(const QImage& image, const QRectF& panel, double x) {
    int n = 0;
    for (double y = panel.y() + 1.5; y < panel.y() + panel.height() - 1; y += 1.0)
        if (qGray(pixelAt(image, x, y).rgb()) < 100)
            ++n;
    return n;
}

} // namespace

TEST(SpectrogramView, SineIsABrightBandAtItsFrequencyOnLinearAndLogarithmicAxes) {
    spectrogramView view;
    view.resize(800, 500);
    show(view, sineRecord(10.0));
    const QRectF spectra = view.spectraRect();
    const double middle = spectra.center().x();

    // Linear: 0 to 50 Hz (Nyquist), so 10 Hz lies a fifth of the way up.
    QImage image = render(view);
    EXPECT_NEAR(brightestY(image, spectra, middle), spectra.y() + 0.2 * spectra.height(), 1.5);
    // The band is the top of the scale; 20 Hz is its bottom.
    const QColor band = pixelAt(image, middle, spectra.y() + 0.2 * spectra.height());
    EXPECT_GT(band.red(), 200);
    EXPECT_GT(band.green(), 200);
    EXPECT_LT(band.blue(), 80);
    EXPECT_EQ(pixelAt(image, middle, spectra.y() + 0.4 * spectra.height()),
              QColor(perceptualColorScale::colourAt(0.0)));

    // Logarithmic: from the first bin, 1/10.24 Hz, to 50 Hz; 10 Hz is log(102.4)/log(512) up.
    view.setFrequencyScale(spectrogramView::frequencyAxis::logarithmic);
    image = render(view);
    EXPECT_NEAR(brightestY(image, spectra, middle), spectra.y() + 0.7420 * spectra.height(), 1.5);
    EXPECT_NEAR(view.yForFrequency(10.0), spectra.y() + 0.7420 * spectra.height(), 0.01);
    EXPECT_NEAR(view.frequencyForY(spectra.y() + spectra.height()), 50.0, 1e-9);
    // The band stays put across the record: the same row at a quarter and three quarters.
    for (const double x :
         {spectra.left() + 0.25 * spectra.width(), spectra.left() + 0.75 * spectra.width()})
        EXPECT_NEAR(brightestY(image, spectra, x), spectra.y() + 0.7420 * spectra.height(), 1.5);
}

TEST(SpectrogramView, TracePanelSharesTheTimeAxis) {
    // Silence for a minute, then 10 Hz. 64-sample windows (0.64 s) put the band's start within
    // a few pixels of the burst's.
    spectrogramView view;
    view.resize(800, 500);
    show(view, sineRecord(10.0, 60.0), {64, 0.5});
    const QRectF trace = view.tracePanelRect(), spectra = view.spectraRect();
    EXPECT_DOUBLE_EQ(trace.left(), spectra.left());
    EXPECT_DOUBLE_EQ(trace.right(), spectra.right());
    EXPECT_GT(trace.y(), spectra.y() + spectra.height());
    EXPECT_EQ(view.wholeRecordXLimits(), std::make_pair(0.0f, 119.99f));

    const auto onsets = [&](const QImage& image) {
        const double bandY = spectra.y() + 0.2 * spectra.height();
        return std::make_pair(
            firstX(trace, [&](double x) { return darkPixels(image, trace, x) > 20; }),
            firstX(spectra, [&](double x) { return qGray(pixelAt(image, x, bandY).rgb()) > 100; }));
    };
    // The whole record: the burst starts half-way (60 of 119.99 s).
    auto [traceOnset, spectraOnset] = onsets(render(view));
    const double half = spectra.left() + spectra.width() * 60.0 / 119.99;
    EXPECT_NEAR(traceOnset, half, 2.0);
    EXPECT_NEAR(spectraOnset, half, 5.0);

    // Zoomed to 50…70 s, both panels draw from the x limits: the burst starts in the middle.
    view.setXLimits(50.0f, 70.0f);
    std::tie(traceOnset, spectraOnset) = onsets(render(view));
    EXPECT_NEAR(traceOnset, spectra.center().x(), 2.0);
    EXPECT_NEAR(spectraOnset, spectra.center().x(), 0.64 / 20.0 * spectra.width() + 2.0);
    EXPECT_NEAR(view.xForTime(60.0), spectra.center().x(), 1e-9);
    EXPECT_NEAR(view.timeForX(spectra.left()), 50.0, 1e-4);
    // Panned before the record: nothing of it, the spectra's grey and a blank trace.
    view.setXLimits(-30.0f, -10.0f);
    const QImage before = render(view);
    EXPECT_EQ(pixelAt(before, spectra.center().x(), spectra.center().y()), QColor(235, 235, 235));
    EXPECT_FALSE(inkNear(before, trace.center().x(), trace.center().y(), 3));
}

TEST(SpectrogramView, ColourBarTitlesAndMessages) {
    recordedTexts texts;
    spectrogramView view;
    view.resize(800, 500);
    const QDateTime reference(QDate(2026, 12, 9), QTime(8, 0), QTimeZone::utc());
    show(view, sineRecord(10.0, 0.0, reference));
    const QImage image = render(view);
    for (const char* title :
         {"Power (dB)", "Frequency (Hz)", "Time (s)", "XX.TEST.BHZ  2026-12-09 08:00:00.000 UTC",
          "Hann window of 1024 samples (10.24 s), 50 % overlap"})
        EXPECT_NE(texts.find(QString::fromUtf8(title)), nullptr) << title;
    // The bar runs from the bottom of the scale to the top, the largest power: 10 Hz lies 0.4
    // of a bin above bin 102, where the Hann window's loss is 0.906 dB, under the sine's
    // −3.010 dB.
    const QRectF bar = view.colourBarRect();
    const auto near = [](const QColor& drawn, QRgb expected) {
        return std::abs(drawn.red() - qRed(expected)) <= 3 &&
               std::abs(drawn.green() - qGreen(expected)) <= 3 &&
               std::abs(drawn.blue() - qBlue(expected)) <= 3;
    };
    // A row in from each end of the bar (its frame covers the ends).
    EXPECT_TRUE(
        near(pixelAt(image, bar.center().x(), bar.y() + 1.5), perceptualColorScale::colourAt(0.0)));
    EXPECT_TRUE(near(pixelAt(image, bar.center().x(), bar.y() + bar.height() - 1.5),
                     perceptualColorScale::colourAt(1.0)));
    EXPECT_TRUE(near(pixelAt(image, bar.center().x(), bar.center().y()),
                     perceptualColorScale::colourAt(0.5)));
    EXPECT_NEAR(view.powerRange().second, -3.916f, 0.02f);
    EXPECT_NEAR(view.powerRange().first, -123.916f, 0.02f); // 120 dB under: a pure sine's floor
    view.setPowerRange(-40.0f, -40.0f);
    EXPECT_EQ(view.powerRange(), std::make_pair(-41.0f, -40.0f));

    // The cursor reads time, amplitude and the UTC time at a point of either panel.
    const QRectF spectra = view.spectraRect();
    const double x = view.xForTime(30.0021);
    const auto reading = view.readingAt(QPointF(x, spectra.center().y()));
    ASSERT_TRUE(reading.has_value());
    EXPECT_EQ(reading->utc, reference.addMSecs(30002));
    EXPECT_FALSE(reading->secondsAfterOrigin.has_value()); // no origin time in the header
    ASSERT_TRUE(reading->amplitude.has_value());
    EXPECT_NEAR(*reading->amplitude, 0.0, 1e-3); // 300 whole cycles of 10 Hz
    EXPECT_EQ(reading->units, QStringLiteral("Counts"));
    EXPECT_EQ(reading->traceIndex, 0);
    EXPECT_TRUE(view.readingAt(QPointF(x, view.tracePanelRect().center().y())).has_value());
    EXPECT_FALSE(view.readingAt(QPointF(bar.center().x(), bar.center().y())).has_value());
    EXPECT_FALSE(view.readingAt(QPointF(x, 5.0)).has_value());

    // Three samples make no spectrogram; an undefined header prints nothing of itself.
    texts.all.clear();
    auto few = std::make_shared<SacObject>();
    few->InitWithSamples({1.0f, 2.0f, 3.0f}, float(delta), -12345.0f, QDateTime());
    view.setSpectrogram(few, std::make_shared<const spectrogram>(few->GetSacSeis(), 3, delta));
    render(view);
    EXPECT_NE(texts.find(QStringLiteral("Too few samples for a spectrogram")), nullptr);
    for (const auto& t : texts.all)
        EXPECT_FALSE(t.text.contains(QStringLiteral("12345"))) << qPrintable(t.text);
    EXPECT_EQ(view.wholeRecordXLimits(), std::make_pair(0.0f, 0.02f));

    // Nothing shown yet: a message, and no reading.
    texts.all.clear();
    spectrogramView empty;
    empty.resize(400, 300);
    render(empty);
    EXPECT_NE(texts.find(QStringLiteral("No seismogram to show")), nullptr);
    EXPECT_FALSE(empty.readingAt(empty.spectraRect().center()).has_value());
}

TEST(SpectrogramView, ShortRecordIsOnePaddedColumnAcrossIt) {
    // Three seconds, less than one 1024-sample window: one column over the whole record.
    std::vector<float> samples(300);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(std::sin(2 * std::numbers::pi * 10.0 * double(i) * delta));
    auto record = std::make_shared<SacObject>();
    record->InitWithSamples(std::move(samples), float(delta), 0.0f, QDateTime());
    recordedTexts texts;
    spectrogramView view;
    view.resize(600, 400);
    show(view, record);
    const QImage image = render(view);
    const QRectF spectra = view.spectraRect();
    for (const double x : {spectra.left() + 0.5, spectra.center().x(), spectra.right() - 0.5})
        EXPECT_NEAR(brightestY(image, spectra, x), spectra.y() + 0.2 * spectra.height(), 1.5);
    EXPECT_NE(texts.find(QStringLiteral("Hann window of the record's 300 samples, padded to 1024")),
              nullptr);
}
