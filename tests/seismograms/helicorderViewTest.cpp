#include "helicorderView.h"
#include "seismogramTestSupport.h"

#include <QPicture>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace seismogramTestSupport;

namespace {

// 1008 × 636 points: the plot rectangle is (72, 36, 900, 536), rows 20 points high from the
// top at 572, so row r's baseline is at 562 − 20·r; 0.25 points per second along an hour.
constexpr double left = 72, top = 572, rowHeight = 20;

double baseline(int row) {
    return top - rowHeight / 2 - row * rowHeight;
}

double xAt(double secondsIntoRow) {
    return left + secondsIntoRow * 0.25;
}

QDateTime utc(int hour, int minute, int second, int msec = 0) {
    return QDateTime(QDate(2026, 3, 5), QTime(hour, minute, second, msec), QTimeZone::utc());
}

std::shared_ptr<SacObject> record(std::vector<float> samples, const QDateTime& reference,
                                  float delta = 1) {
    auto s = std::make_shared<SacObject>();
    s->InitWithSamples(std::move(samples), delta, 0, reference);
    SacHeader* h = s->GetSacHeader();
    setCode(h->knetwk, "XX");
    setCode(h->kstnm, "HEL");
    setCode(h->khole, "00");
    setCode(h->kcmpnm, "BHZ");
    return s;
}

void prepare(helicorderView& view, const helicorderView::seismogramList& records) {
    view.resize(1008, 636);
    view.setWvfrmArray(records);
}

struct stubHypocenter : QVRHelicorderHypocenter {
    stubHypocenter(QDateTime t, float mb, float ms = 0, float mw = 0)
        : t(std::move(t))
        , m{mb, ms, mw} {}
    QDateTime oDate() const override { return t; }
    float mb() const override { return m[0]; }
    float Ms() const override { return m[1]; }
    float Mw() const override { return m[2]; }
    QDateTime t;
    float m[3];
};

bool isRed(const QColor& c) {
    return c.red() > 220 && c.green() < 40 && c.blue() < 40;
}
bool isOrange(const QColor& c) {
    return c.red() > 220 && std::abs(c.green() - 128) < 20 && c.blue() < 40;
}
// Whether a pixel within one of (x, y) passes `test`: a 1-point line at a whole coordinate
// lands on either pixel row.
template <typename Test>
bool near(const QImage& image, double x, double y, Test test) {
    for (double dy : {-1.0, 0.0, 1.0}) {
        for (double dx : {-1.0, 0.0, 1.0}) {
            if (test(pixelAt(image, x + dx, y + dy)))
                return true;
        }
    }
    return false;
}
// A 1-point line between pixel rows comes out half strength on both.
bool isBlack(const QColor& c) {
    return c.red() < 150 && c.red() == c.green() && c.green() == c.blue();
}
bool isReddish(const QColor& c) {
    return c.red() > 220 && c.green() < 150 && c.green() == c.blue();
}
bool isLightGray(const QColor& c) {
    return std::abs(c.red() - 170) < 6 && c.red() == c.green() && c.green() == c.blue();
}

QStringList scaleLabels(const recordedTexts& texts) {
    QStringList labels;
    for (const auto& t : texts.all) {
        if (t.anchor.y() < 68 && t.anchor.y() > 30)
            labels << t.text;
    }
    return labels;
}

} // namespace

TEST(Helicorder, LayoutAndAnEmptyListDrawsOnlyTheBackground) {
    helicorderView view;
    prepare(view, {});
    view.computeRects();
    EXPECT_EQ(view.pRect(), QRectF(left, 36, 900, 536));
    EXPECT_DOUBLE_EQ(view.rowHeight(), rowHeight);
    EXPECT_DOUBLE_EQ(view.rowBaseline(1), baseline(1));
    view.setTheHypoArray({std::make_shared<stubHypocenter>(utc(10, 0, 0), 7)});
    const recordedTexts texts;
    const QImage image = render(view);
    EXPECT_TRUE(texts.all.empty());
    for (int y = 0; y < image.height(); y += 5) {
        for (int x = 0; x < image.width(); x += 5)
            ASSERT_EQ(image.pixelColor(x, y), QColor(Qt::white)) << x << "," << y;
    }
}

TEST(Helicorder, RowsStartAtTheTopOfTheFirstHourAndSamplesFallInTheirRow) {
    // Starts at 10:37:12; a spike 90 minutes after 10:00 lies 3168 s in.
    std::vector<float> samples(4000, 0.0f);
    samples[3168] = 1.0f;
    helicorderView view;
    view.setGainFactor(1); // the spike reaches 10 points above its baseline
    prepare(view, {record(samples, utc(10, 37, 12))});
    const recordedTexts texts;
    const QImage image = render(view);

    EXPECT_EQ(view.startTime(), utc(10, 0, 0));
    EXPECT_DOUBLE_EQ(view.plotDuration(), 24 * 3600.0);
    EXPECT_FLOAT_EQ(view.maxAmplitude(), 1.0f);
    EXPECT_EQ(view.xmin(), 0);
    EXPECT_EQ(view.xmax(), 3600);
    // The trace begins at the 37.2-minute position of the first row.
    EXPECT_TRUE(inkNear(image, xAt(37.2 * 60) + 1.5, baseline(0), 0));
    EXPECT_FALSE(inkNear(image, xAt(37.2 * 60) - 1.5, baseline(0), 0));
    // Row 1, halfway across.
    EXPECT_TRUE(inkNear(image, xAt(1800) + 0.5, baseline(1) + 7, 1));
    EXPECT_FALSE(inkNear(image, xAt(1800) + 6.5, baseline(1) + 7, 1));

    ASSERT_TRUE(texts.find("2026-03-05 - XX HEL 00 BHZ"));
    EXPECT_NEAR(texts.find("2026-03-05 - XX HEL 00 BHZ")->anchor.x(), left, 0.01);
    // Row labels end 8 points left of the plot, centred on their baselines, at 12 points.
    view.setLabelFontSize(12);
    for (auto [row, text] : {std::pair{0, " 03/05 10"}, {1, " 03/05 11"}, {23, " 03/06 09"}}) {
        const auto* label = texts.find(text);
        ASSERT_TRUE(label) << text;
        const QSizeF size = view.labelAttributes().measure(text);
        EXPECT_NEAR(label->anchor.x() + size.width(), left - 8, 0.5) << text;
        EXPECT_NEAR(label->anchor.y() + size.height() / 2, baseline(row), 0.5) << text;
    }
    EXPECT_TRUE(texts.find("Time (Minutes)"));
}

TEST(Helicorder, RecordsWrapWithoutAJoinAndAlternateBlackAndRed) {
    // At gain ½ the largest amplitude reaches a quarter row, 5 points, from the baseline. The first
    // record runs from 10:30 to 11:30, the second from 11:30 to 12:00.
    helicorderView view;
    view.setGainFactor(0.5f);
    view.setShowZeroLines(true);
    prepare(view, {record(std::vector<float>(3601, 0.5f), utc(10, 30, 0)),
                   record(std::vector<float>(1800, -0.5f), utc(11, 30, 0))});
    const QImage image = render(view);
    EXPECT_TRUE(near(image, xAt(3000), baseline(0) + 5, isBlack));
    EXPECT_TRUE(near(image, xAt(100), baseline(1) + 5, isBlack));
    EXPECT_TRUE(near(image, xAt(2000), baseline(1) - 5, isReddish));
    EXPECT_FALSE(near(image, xAt(2000), baseline(1) + 5, isBlack));
    // No line from the end of row 0 to the start of row 1.
    EXPECT_FALSE(inkNear(image, (left + left + 900) / 2, baseline(0) - 5, 2));
    // Zero lines across every row, under nothing else.
    EXPECT_TRUE(inkNear(image, xAt(100), baseline(10) + 0.5, 0));
    EXPECT_FALSE(inkNear(image, xAt(100), baseline(10) + 3.5, 1));
}

TEST(Helicorder, MinuteScaleStepsFollowTheRowDuration) {
    {
        helicorderView view;
        prepare(view, {record(std::vector<float>(10, 0.0f), utc(0, 0, 0))});
        const recordedTexts texts;
        const QImage image = render(view);
        QStringList expected;
        for (int m = 0; m <= 60; m += 5)
            expected << QString::number(m);
        EXPECT_EQ(scaleLabels(texts), expected);
        // Ticks every minute (15 points), labelled ones twice as high; base line at 72.
        EXPECT_TRUE(inkNear(image, left + 15.5, 72 + 8, 0));
        EXPECT_FALSE(inkNear(image, left + 15.5, 72 + 16, 0));
        EXPECT_TRUE(inkNear(image, left + 75.5, 72 + 20, 0));
    }
    {
        helicorderView view;
        view.setRowDuration(21600);
        view.setNRows(4);
        prepare(view, {record(std::vector<float>(10, 0.0f), utc(0, 0, 0))});
        const recordedTexts texts;
        const QImage image = render(view);
        EXPECT_EQ(scaleLabels(texts), QStringList({"0", "30", "60", "90", "120", "150", "180",
                                                   "210", "240", "270", "300", "330", "360"}));
        // 10-minute ticks are 25 points apart; nothing between.
        EXPECT_TRUE(inkNear(image, left + 25.5, 72 + 8, 0));
        EXPECT_FALSE(inkNear(image, left + 12.5, 72 + 8, 0));
        // Four rows of six hours.
        EXPECT_TRUE(texts.find(" 03/05 18"));
        EXPECT_FALSE(texts.find(" 03/06 00"));
    }
    {
        helicorderView view;
        view.setLabelHours(true);
        view.setRowDuration(21600);
        prepare(view, {record(std::vector<float>(10, 0.0f), utc(0, 0, 0))});
        const recordedTexts texts;
        render(view);
        EXPECT_EQ(scaleLabels(texts).mid(0, 3), QStringList({"0.00", "0.50", "1.00"}));
        EXPECT_TRUE(texts.find("Time (Hours)"));
    }
}

TEST(Helicorder, EventBarsByMagnitudeAndWindow) {
    helicorderView view;
    // A silent record: its flat lines lie on the baselines only.
    prepare(view, {record(std::vector<float>(10, 0.0f), utc(10, 0, 0))});
    // All in row 2 (from 12:00): bars at x = 300, 400, 500, 600, 700.
    const auto at = [](double x) { return utc(12, 0, 0).addMSecs(qint64((x - left) * 4000)); };
    view.setTheHypoArray({
        std::make_shared<stubHypocenter>(at(300), 3.0f, 0.0f, 6.5f), // red, width 4
        std::make_shared<stubHypocenter>(at(400), 4.2f),             // grey, width 2
        std::make_shared<stubHypocenter>(at(500), 0.0f, 5.5f),       // orange, width 2
        std::make_shared<stubHypocenter>(at(600), 7.2f),             // red, width 6
        std::make_shared<stubHypocenter>(at(700), 3.9f, 3.9f, 3.9f), // below the threshold
        std::make_shared<stubHypocenter>(utc(9, 59, 0), 7.0f),       // before the start
        std::make_shared<stubHypocenter>(utc(10, 0, 0).addSecs(86400 + 1000), 7.0f), // after
        nullptr,
    });
    const QImage image = render(view);
    const double y = baseline(2) + 5.5;
    EXPECT_TRUE(isRed(pixelAt(image, 298.5, y)));
    EXPECT_TRUE(isRed(pixelAt(image, 301.5, y)));
    EXPECT_EQ(pixelAt(image, 302.5, y), QColor(Qt::white));
    EXPECT_TRUE(isLightGray(pixelAt(image, 399.5, y)));
    EXPECT_EQ(pixelAt(image, 401.5, y), QColor(Qt::white));
    EXPECT_TRUE(isOrange(pixelAt(image, 500.5, y)));
    EXPECT_TRUE(isRed(pixelAt(image, 597.5, y)));
    EXPECT_EQ(pixelAt(image, 603.5, y), QColor(Qt::white));
    EXPECT_FALSE(inkNear(image, 700.5, y, 2));
    // The bar spans its row exactly.
    EXPECT_TRUE(isRed(pixelAt(image, 300.5, top - 2 * rowHeight - 0.5)));
    EXPECT_EQ(pixelAt(image, 300.5, top - 2 * rowHeight + 0.5), QColor(Qt::white));
    // Nothing above the first row or in the row below the last.
    EXPECT_FALSE(inkNear(image, xAt(-60), top + 10, 2));
    EXPECT_FALSE(inkNear(image, xAt(1000), top - 24.5 * rowHeight, 2));
}

TEST(Helicorder, GuardsAgainstUnplaceableInput) {
    // No reference time: only the background; a zero row duration or delta draws no trace.
    helicorderView view;
    prepare(view, {seismogram(std::vector<float>(100, 1.0f), 1, 0)});
    {
        const recordedTexts texts;
        render(view);
        EXPECT_TRUE(texts.all.empty());
    }
    view.setRowDuration(0);
    prepare(view, {record(std::vector<float>(100, 1.0f), utc(10, 0, 0), 0)});
    const QImage image = render(view);
    EXPECT_FALSE(inkNear(image, left + 10, baseline(0) + 2, 3));
}

TEST(Helicorder, AnUnchangedViewDrawsTheSamePictureAgainAndAChangeAnew) {
    // Two records at 50 Hz: about 200 samples share each pixel column, so the rows are
    // envelopes, kept between draws.
    const auto noisy = [](const QDateTime& reference) {
        std::vector<float> samples(3600 * 50);
        for (size_t k = 0; k < samples.size(); ++k)
            samples[k] = std::sin(float(k) * 1e-3f) + float((k * 7919) % 101) / 100;
        return record(std::move(samples), reference, 0.02f);
    };
    const helicorderView::seismogramList records = {noisy(utc(10, 20, 0)), noisy(utc(11, 20, 0))};
    const auto setUp = [&](helicorderView& view, float gain) {
        view.setShowZeroLines(true);
        view.setGainFactor(gain);
        prepare(view, records);
    };
    helicorderView view;
    setUp(view, 8);
    const QImage first = render(view);
    EXPECT_EQ(render(view), first);
    view.setGainFactor(8);
    EXPECT_EQ(render(view), first);

    // A vector device gets every sample, drawn directly, and leaves what is kept alone.
    QPicture vector;
    {
        QPainter painter(&vector);
        view.renderInto(painter);
    }
    EXPECT_EQ(render(view), first);

    view.setGainFactor(2);
    const QImage quieter = render(view);
    EXPECT_NE(quieter, first);
    helicorderView fresh;
    setUp(fresh, 2);
    EXPECT_EQ(render(fresh), quieter);

    view.resize(800, 500);
    fresh.resize(800, 500);
    EXPECT_EQ(render(view), render(fresh));
}
