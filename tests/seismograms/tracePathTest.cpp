#include "tracePath.h"
#include "QVRRealTimeDisplayView02.h"
#include "seismogramTestSupport.h"

#include <QBuffer>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <random>

using namespace seismogramTestSupport;

namespace {

// An hour at 40 Hz as a broadband station records it: microseism noise, a slow drift, and
// now and then an earthquake's burst decaying over minutes.
std::vector<float> hourOfGroundMotion(unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<float> noise(0, 1);
    const int n = 3600 * 40;
    std::vector<float> samples(size_t(n), 0.0f);
    float microseism = 0;
    for (int k = 0; k < n; ++k) {
        microseism = 0.995f * microseism + 0.1f * noise(random);
        samples[size_t(k)] = microseism + 0.2f * std::sin(k * 2e-5f);
    }
    for (int burst = 0; burst < 3; ++burst) {
        const int start = int(random() % unsigned(n - 40 * 600));
        const float size = 2 + 6 * float(random() % 100) / 100;
        for (int k = start; k < start + 40 * 600; ++k) {
            const float t = float(k - start) / 40; // s
            samples[size_t(k)] += size * std::exp(-t / 90) * std::sin(t * 6.3f) * noise(random);
        }
    }
    return samples;
}

// The number of pixels whose colour differs by more than `tolerance` in some channel.
int differingPixels(const QImage& a, const QImage& b, int tolerance) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int d = std::max({std::abs(qRed(pa[x]) - qRed(pb[x])),
                                    std::abs(qGreen(pa[x]) - qGreen(pb[x])),
                                    std::abs(qBlue(pa[x]) - qBlue(pb[x]))});
            count += d > tolerance;
        }
    }
    return count;
}

// Ink in the image: the sum over the pixels of how far each is from white.
double ink(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* p = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            sum += 3 * 255 - qRed(p[x]) - qGreen(p[x]) - qBlue(p[x]);
    }
    return sum;
}

} // namespace

TEST(TracePath, TheEnvelopeLooksLikeEverySample) {
    // The live display at full size: 24 traces of an hour at 40 Hz, shown whole (99 samples
    // to a pixel column) and ten minutes of it (16 to a column). A pixel counts as different
    // when it is more than 3/8 of full scale lighter or darker; the traces as a whole must
    // look neither bolder nor fainter.
    QVRRealTimeDisplayView02 view;
    view.resize(1600, 900);
    view.setYLimits(-10, 10);
    view.setRefDate(QDateTime(QDate(2026, 3, 5), QTime(12, 0), QTimeZone::utc()));
    SeisView01::seismogramList traces;
    for (unsigned i = 0; i < 24; ++i)
        traces << seismogram(hourOfGroundMotion(i + 1), 0.025f, 0, QString("XX.S%1..BHZ").arg(i));
    view.setWvfrmsArray(traces);
    const int pixels = 1600 * 900;
    for (float seconds : {3600.0f, 600.0f}) {
        view.setXLimits(0, seconds);
        view.setDrawsEverySample(false);
        const QImage envelope = render(view);
        view.setDrawsEverySample(true);
        const QImage everySample = render(view);
        EXPECT_LE(differingPixels(envelope, everySample, 96), pixels / 200) << seconds;
        EXPECT_NEAR(ink(envelope) / ink(everySample), 1.0, 0.1) << seconds;
    }

    // A real seismogram, 3.6 samples to a column.
    auto file = std::make_shared<SacObject>();
    ASSERT_TRUE(file->InitWithContentsOfFile(QUORVEL_TEST_DATA "/sac/obspy_seism.sac"));
    SeisView01 stack;
    stack.resize(400, 300);
    stack.setWvfrmsArray({file});
    const QImage envelope = render(stack);
    stack.setDrawsEverySample(true);
    const QImage everySample = render(stack);
    EXPECT_LE(differingPixels(envelope, everySample, 64), 400 * 300 / 200);
    EXPECT_NEAR(ink(envelope) / ink(everySample), 1.0, 0.02);
}

TEST(TracePath, WhichSamplesTheLineVisits) {
    std::vector<float> samples(10000);
    for (size_t k = 0; k < samples.size(); ++k)
        samples[k] = float(std::sin(k * 0.37) * (1 + k % 13));
    samples[5003] = 40; // spikes survive
    samples[7001] = -45;
    const int n = int(samples.size());
    QImage image(200, 100, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    tracePath::sampleMapping m; // 128 samples to a point, from x = 50
    m.x0 = 50;
    m.dx = 1.0 / 128;
    m.y0 = 50;

    const QPolygonF every = tracePath::tracePoints(samples.data(), n, 0, m, painter, 0, 200, true);
    const QPolygonF envelope = tracePath::tracePoints(samples.data(), n, 0, m, painter, 0, 200);
    EXPECT_EQ(every.size(), 10000);
    EXPECT_LE(envelope.size(), 6 * 80); // 79 columns
    EXPECT_EQ(envelope.boundingRect(), every.boundingRect());
    EXPECT_EQ(envelope.first(), every.first());
    EXPECT_EQ(envelope.last(), every.last());
    for (qsizetype i = 1; i < envelope.size(); ++i) // never back by a column
        ASSERT_GT(envelope.at(i).x(), envelope.at(i - 1).x() - 1) << i;

    // Only samples in [left, right], one more on each side, and from `first` on.
    const QPolygonF window =
        tracePath::tracePoints(samples.data(), n, 0, m, painter, 100, 110, true);
    EXPECT_EQ(window.size(), 1281 + 2);
    EXPECT_EQ(window.first().x(), 100 - 1.0 / 128);
    EXPECT_EQ(tracePath::tracePoints(samples.data(), n, 9990, m, painter, 0, 200, true).size(), 10);

    // Every sample for short traces (half a pixel apart or more) and for PDF.
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    QPainter pdfPainter(&writer);
    EXPECT_EQ(tracePath::tracePoints(samples.data(), n, 0, m, pdfPainter, 0, 200).size(), n);
    m.dx = 0.5;
    EXPECT_EQ(tracePath::tracePoints(samples.data(), 200, 0, m, painter, 0, 200).size(), 200);

    // Nothing for an empty range or an unusable mapping.
    EXPECT_TRUE(tracePath::tracePoints(samples.data(), 100, 100, m, painter, 0, 200).isEmpty());
    EXPECT_TRUE(tracePath::tracePoints(nullptr, 100, 0, m, painter, 0, 200).isEmpty());
    EXPECT_TRUE(tracePath::tracePoints(samples.data(), 100, 0, m, painter, 1000, 2000).isEmpty());
    m.dx = std::numeric_limits<double>::infinity();
    EXPECT_TRUE(tracePath::tracePoints(samples.data(), 100, 0, m, painter, 0, 200).isEmpty());
}
