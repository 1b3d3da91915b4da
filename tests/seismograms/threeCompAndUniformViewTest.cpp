#include "ThreeCompView.h"
#include "seismogramTestSupport.h"
#include "uniformTimeSeriesView.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace seismogramTestSupport;

namespace {

std::shared_ptr<const evenlySampledSignal> signalOf(std::vector<float> samples,
                                                    const QString& description) {
    return std::make_shared<const evenlySampledSignal>(std::move(samples), 1.0, description);
}

// A signal that rests at its minimum and rises to its maximum at sample 5 of 11.
std::vector<float> spike(float low, float high) {
    std::vector<float> samples(11, low);
    samples[5] = high;
    return samples;
}

bool blackNear(const QImage& image, double x, double y) {
    for (int dy = -1; dy <= 1; ++dy) {
        const QColor c = pixelAt(image, x, y + dy);
        if (c.red() < 90 && c.green() < 90 && c.blue() < 90)
            return true;
    }
    return false;
}

struct observation : ThreeComponentObservation {
    std::shared_ptr<SacObject> z, r, t, comparisonOfZ;
    const SacObject* vertical() const override { return z.get(); }
    const SacObject* radial() const override { return r.get(); }
    const SacObject* transverse() const override { return t.get(); }
    const SacObject* comparison(int component) const override {
        return component == 0 ? comparisonOfZ.get() : nullptr;
    }
};

std::shared_ptr<SacObject> component(const char* name, std::vector<float> samples) {
    auto s = seismogram(std::move(samples), 1.0f, 0.0f);
    qstrncpy(s->GetSacHeader()->kcmpnm, name, sizeof s->GetSacHeader()->kcmpnm);
    return s;
}

} // namespace

// 400 × 300: the panel is (24, 48, 364, 240).
TEST(uniformTimeSeriesView, RangeOfTheFirstSignalUntilTheClientResetsIt) {
    uniformTimeSeriesView view;
    view.resize(400, 300);
    EXPECT_EQ(view.ymin(), 0);
    EXPECT_EQ(view.ymax(), 0);
    {
        // No signals: the white outlined background only.
        const recordedTexts texts;
        const QImage image = render(view);
        EXPECT_TRUE(texts.all.empty());
        EXPECT_NE(pixelAt(image, 0.5, 150.5), QColor(Qt::white)); // the outline
        EXPECT_EQ(pixelAt(image, 200.5, 150.5), QColor(Qt::white));
    }
    view.setXLimits(0, 10);
    view.setWvfrmArray({signalOf(spike(-1, 1), "low"), signalOf(spike(-5, 5), "high")});
    const recordedTexts texts;
    QImage image = render(view);
    EXPECT_EQ(view.ymin(), -1);
    EXPECT_EQ(view.ymax(), 1);
    ASSERT_NE(texts.find("low"), nullptr);
    ASSERT_NE(texts.find("Time (s)"), nullptr);
    // Both signals on −1 … 1: the first rests on the panel's bottom, the second lies beyond it.
    EXPECT_TRUE(blackNear(image, 24 + 2 * 36.4, 48.5));
    EXPECT_FALSE(blackNear(image, 24 + 2 * 36.4, 168.5));
    // Each sample stands at its own time: with the limits 2 … 12 s the panel's left edge is
    // 2 s, so that a zoom or a pan moves the signals.
    view.setXLimits(2, 12);
    view.setYLimits(3, 3);
    image = render(view);
    EXPECT_EQ(view.ymin(), -1);
    EXPECT_EQ(view.ymax(), 1);
    EXPECT_TRUE(blackNear(image, 24 + 1 * 36.4, 48.5));
    EXPECT_TRUE(blackNear(image, 24 + 3 * 36.4, 287.5));
    EXPECT_FALSE(blackNear(image, 24 + 5 * 36.4, 287.5));
    // The first description hangs from 12 points above the panel, 4 inside its right edge;
    // the next one under it rather than over it.
    const auto* label = texts.find("low");
    ASSERT_NE(label, nullptr);
    EXPECT_NEAR(label->anchor.x() + QVRTextAttributes::helvetica(12).measure("low").width(), 384,
                1);
    EXPECT_NEAR(label->anchor.y() + QVRTextAttributes::helvetica(12).measure("low").height(), 300,
                1);
    const auto* next = texts.find("high");
    ASSERT_NE(next, nullptr);
    EXPECT_NEAR(next->anchor.x() + QVRTextAttributes::helvetica(12).measure("high").width(), 384,
                1);
    EXPECT_NEAR(next->anchor.y() + 2 * QVRTextAttributes::helvetica(12).measure("high").height(),
                300, 1);
}

TEST(uniformTimeSeriesView, EqualTimeLimitsDrawNoTrace) {
    uniformTimeSeriesView view;
    view.resize(400, 300);
    view.setXLimits(5, 5);
    view.setWvfrmArray({signalOf(spike(-1, 1), "flat time"), signalOf({}, "empty")});
    const QImage image = render(view);
    EXPECT_FALSE(blackNear(image, 24 + 2 * 36.4, 48.5));
}

// 600 points high, 744 wide: panels 600 wide from x 72, 164 high, 6 apart; the top one from
// 388 to 552, the middle 218–382, the bottom 48–212.
TEST(ThreeCompView, ThreePanelsUnderOneHeader) {
    EXPECT_EQ(ThreeCompView::panelRect(QRectF(0, 0, 744, 600), 0), QRectF(72, 388, 600, 164));
    EXPECT_EQ(ThreeCompView::panelRect(QRectF(0, 0, 744, 600), 1), QRectF(72, 218, 600, 164));
    EXPECT_EQ(ThreeCompView::panelRect(QRectF(0, 0, 744, 600), 2), QRectF(72, 48, 600, 164));

    ThreeCompView view;
    view.resize(744, 600);
    EXPECT_EQ(view.getSeisWithIndex(0), nullptr);
    QImage image = render(view); // nothing without an observation
    EXPECT_EQ(pixelAt(image, 372.5, 300.5), QColor(Qt::white));

    auto obs = std::make_shared<observation>();
    obs->z = component("BHZ", std::vector<float>(101, 0.0f));
    obs->r = component("BHR", std::vector<float>(101, 0.0f));
    obs->t = component("BHT", std::vector<float>(101, 0.0f));
    obs->z->GetSacSeis()[50] = 2;
    obs->z->ComputeExtrema();
    auto* header = obs->z->GetSacHeader();
    qstrncpy(header->kstnm, "ANMO", sizeof header->kstnm);
    qstrncpy(header->knetwk, "IU", sizeof header->knetwk);
    header->gcarc = 45.3f;
    header->az = 12.5f;
    header->baz = 190.4f;
    header->evdp = 33;
    obs->t->GetSacHeader()->a = 20;
    obs->t->GetSacHeader()->t3 = 30;
    obs->t->GetSacHeader()->t4 = -12345;
    view.setObservation(obs);
    view.setShowMaxAmplitude(true);
    view.computeMaxAmplitude();
    EXPECT_FLOAT_EQ(view.maxAmplitude(), 2 * 1.025f);
    const recordedTexts texts;
    image = render(view);
    EXPECT_EQ(view.getSeisWithIndex(6), nullptr);
    EXPECT_NE(texts.find("Station: ANMO-IU / GCARC:45.3 deg / AZ: 12.5 / BAZ:190.4"), nullptr);
    // No origin time in the header: the field is left out rather than printed empty.
    EXPECT_NE(texts.find("Depth: 33"), nullptr);
    for (const char* name : {"BHZ", "BHR", "BHT", "Time (s)", "2.000e+00"})
        EXPECT_NE(texts.find(name), nullptr) << name;
    // The first-arrival pick with no label is "A"; t3 without a label "T3"; t4 is unset.
    EXPECT_NE(texts.find("A"), nullptr);
    EXPECT_NE(texts.find("T3"), nullptr);
    EXPECT_EQ(texts.find("T4"), nullptr);
    // The pick marks run over the middle three fifths of the transverse panel.
    EXPECT_TRUE(inkNear(image, 72 + 20 * 6, 48 + 0.5 * 164, 0));
    EXPECT_FALSE(inkNear(image, 72 + 20 * 6 + 0.5, 48 + 0.1 * 164, 0));
    // Light-grey zero lines across each panel's middle.
    EXPECT_NE(pixelAt(image, 72 + 80 * 6 + 0.5, 218 + 82 + 0.5), QColor(Qt::white));
}

TEST(ThreeCompView, TransverseOnlySelfScaledAndCompared) {
    ThreeCompView view;
    view.resize(744, 600);
    auto obs = std::make_shared<observation>();
    std::vector<float> samples(101, 0.0f);
    samples[50] = 2;
    samples[60] = -2;
    obs->t = component("BHT", samples);
    qstrncpy(obs->t->GetSacHeader()->kstnm, "COLA", sizeof obs->t->GetSacHeader()->kstnm);
    view.setObservation(obs);
    view.setSelfScaled(true);
    const recordedTexts texts;
    QImage image = render(view);
    EXPECT_EQ(view.getSeisWithIndex(0), nullptr);
    ASSERT_NE(texts.find("BHT"), nullptr);
    EXPECT_EQ(texts.find("BHZ"), nullptr);
    // The transverse's station, without its undefined network.
    bool headerFromTransverse = false;
    for (const auto& t : texts.all)
        headerFromTransverse |= t.text == "Station: COLA";
    EXPECT_TRUE(headerFromTransverse);
    // absMax 2 spans the bottom panel exactly: 48 … 212.
    EXPECT_TRUE(blackNear(image, 72 + 50 * 6 + 0.5, 211.5));
    EXPECT_TRUE(blackNear(image, 72 + 60 * 6 + 0.5, 48.5));
    // Nothing in the empty top panels.
    EXPECT_EQ(pixelAt(image, 72 + 50 * 6 + 0.5, 470.5), QColor(Qt::white));

    // A comparison trace is drawn only where the observation has one: red, 36 points lower.
    obs->z = component("BHZ", samples);
    obs->comparisonOfZ = component("SYN", samples);
    view.setOpComparison(true);
    image = render(view);
    const QColor peak = pixelAt(image, 72 + 50 * 6 + 0.5, 552 - 36 - 0.5);
    EXPECT_GT(peak.red(), 200);
    EXPECT_LT(peak.green(), 100);
}

TEST(ThreeCompView, RealRecordingDrawsInItsPanel) {
    auto obs = std::make_shared<observation>();
    obs->z = std::make_shared<SacObject>();
    ASSERT_TRUE(
        obs->z->InitWithContentsOfFile(QStringLiteral(QUORVEL_TEST_DATA "/sac/obspy_test.sac")));
    ThreeCompView view;
    view.resize(744, 600);
    view.setObservation(obs);
    const QImage image = render(view);
    // The top panel is 388 … 552; the others stay empty.
    int inkedColumns = 0;
    for (int x = 80; x < 660; x += 10) {
        for (int y = 390; y < 550; ++y) {
            if (blackNear(image, x + 0.5, y + 0.5)) {
                ++inkedColumns;
                break;
            }
        }
        EXPECT_EQ(pixelAt(image, x + 0.5, 300.5), QColor(Qt::white));
    }
    EXPECT_GT(inkedColumns, 50);
    if (qEnvironmentVariableIsSet("QUORVEL_VIEW_PICTURES"))
        image.save(QDir(qEnvironmentVariable("QUORVEL_VIEW_PICTURES")).filePath("threecomp.png"));
}
