#include "axisLibrary.h"
#include "QVRTextDrawing.h"
#include "QVRView.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

// Draws one axis into an image, recording the strings, and returns them; the path keeps the
// line work.
struct axisRun {
    std::vector<QVRTextDrawing::drawnText> strings;
    QVRBezierPath path;

    QStringList texts() const {
        QStringList list;
        for (const auto& s : strings)
            list << s.text;
        return list;
    }
};

// Runs `draw` with a painter as a view's drawRect would have it.
template <typename Draw>
axisRun runAxis(Draw draw) {
    axisRun run;
    QVRView host;
    host.resize(800, 600);
    struct drawingView : QVRView {
        std::function<void()> body;
        void drawRect(QPainter&, const QRectF&) override { body(); }
    } view;
    view.resize(800, 600);
    view.body = [&] {
        AInitGraphLib();
        ASetPath(&run.path);
        static const QVRTextAttributes attributes = QVRTextAttributes::helvetica(18);
        ASetTickLabelAttributes(&attributes);
        QVRTextDrawing::setRecorder(&run.strings);
        draw();
        QVRTextDrawing::setRecorder(nullptr);
    };
    view.snapshot();
    return run;
}

// x positions of the path's move-to points on a line y (the tick bottoms).
QList<double> movesAt(const QPainterPath& path, double y) {
    QList<double> xs;
    for (int i = 0; i < path.elementCount(); ++i) {
        const auto e = path.elementAt(i);
        if (e.isMoveTo() && e.y == y)
            xs << e.x;
    }
    return xs;
}

} // namespace

TEST(AxisLibrary, XAxisAutomaticTicksLabelsAndTitle) {
    char title[] = "Distance";
    const axisRun run = runAxis([&] {
        ASetAxisRect(100, 700, 500, 100); // 600 points wide
        ADrawAxis(0, 100, title, 1, 3, 0, 2);
    });
    // Step 20: labels 0 … 100, width 1, precision 0, then the title.
    EXPECT_EQ(run.texts(), (QStringList{"0", "20", "40", "60", "80", "100", "Distance"}));
    const QSizeF zero = QVRTextAttributes::helvetica(18).measure("0");
    EXPECT_EQ(run.strings[0].anchor, QPointF(100 - zero.width() / 2, 100 - 1.25 * 18));
    EXPECT_EQ(run.strings[6].anchor.y(), 100 - 2.5 * 18);
    EXPECT_STREQ(title, "Distance"); // the caller's text is left as it was

    // Majors every 120 points; one minor between majors (20 % of the width is no step).
    // P = 120 = 0.2 W ≥ 0.1 W: three minors of 30 points, k = 2.
    QList<double> bottoms = movesAt(run.path, 100);
    std::sort(bottoms.begin(), bottoms.end());
    EXPECT_TRUE(bottoms.contains(100) && bottoms.contains(220) && bottoms.contains(700));
    EXPECT_TRUE(bottoms.contains(130) && bottoms.contains(160) && bottoms.contains(190));
    // The first elements are the two box edges.
    EXPECT_EQ(QPointF(run.path.elementAt(0)), QPointF(100, 100));
    EXPECT_EQ(QPointF(run.path.elementAt(1)), QPointF(700, 100));
    EXPECT_EQ(QPointF(run.path.elementAt(2)), QPointF(100, 500));
    EXPECT_EQ(QPointF(run.path.elementAt(3)), QPointF(700, 500));
}

TEST(AxisLibrary, FractionalAndSignedLabels) {
    char none[] = "";
    const axisRun unit = runAxis([&] {
        ASetAxisRect(100, 700, 500, 100);
        ADrawAxis(0, 1, none, 1, 3, 0, 2);
    });
    EXPECT_EQ(unit.texts(), (QStringList{" 0.0", " 0.2", " 0.4", " 0.6", " 0.8", " 1.0", ""}));

    const axisRun y = runAxis([&] {
        ASetAxisRect(100, 700, 500, 100); // 400 points high
        ADrawAxis(0, 100, none, 2, 1, 0, 2);
    });
    // The y axis pads its labels to the widest one.
    EXPECT_EQ(y.texts().mid(0, 6), (QStringList{"  0", " 20", " 40", " 60", " 80", "100"}));
    // Right-aligned 0.2 F left of the box, half a font below the tick.
    const QSizeF hundred = QVRTextAttributes::helvetica(18).measure("100");
    EXPECT_EQ(y.strings[5].anchor, QPointF(100 - 0.2 * 18 - hundred.width(), 500 - 0.5 * 18));

    const axisRun signed_ = runAxis([&] {
        ASetAxisRect(100, 700, 500, 100);
        ADrawAxis(-10, 10, none, 2, 1, 0, 2);
    });
    EXPECT_EQ(signed_.texts().mid(0, 5), (QStringList{"-10", " -5", " 0", " 5", " 10"}));

    const axisRun depth = runAxis([&] {
        gPosDown = 1;
        ASetAxisRect(100, 700, 500, 100);
        ADrawAxis(-10, 0, none, 2, 1, 0, 2);
        gPosDown = 0;
    });
    EXPECT_EQ(depth.texts().mid(0, 3), (QStringList{"10", " 8", " 6"}));

    // Ticks counted up in steps of 0.2 from -2.4 reach zero a hair below it; the label is
    // zero all the same, on either axis.
    const axisRun pastZero = runAxis([&] {
        ASetAxisRect(100, 700, 500, 100);
        ADrawAxis(-2.4f, 0.4f, none, 1, 3, 0, 2);
    });
    EXPECT_EQ(pastZero.texts(),
              (QStringList{"-2.4", "-2.2", "-2.0", "-1.8", "-1.6", "-1.4", "-1.2", "-1.0", "-0.8",
                           "-0.6", "-0.4", "-0.2", " 0.0", " 0.2", " 0.4", ""}));
    const axisRun yPastZero = runAxis([&] {
        ASetAxisRect(100, 700, 500, 100);
        ADrawAxis(-1.2f, 0.2f, none, 2, 1, 0, 2);
    });
    EXPECT_TRUE(yPastZero.texts().contains(QStringLiteral(" 0.0")))
        << qPrintable(yPastZero.texts().join(u'|'));
    for (const QString& text : yPastZero.texts())
        EXPECT_FALSE(text.trimmed().startsWith(QStringLiteral("-0.0"))) << qPrintable(text);
}

TEST(AxisLibrary, PowersOfTenOnlyWhenAllowed) {
    char title[32] = "Depth";
    const axisRun scaled = runAxis([&] {
        ASetYAxisPowerFlag(1);
        ASetAxisRect(100, 700, 500, 100);
        ADrawAxis(0, 10000, title, 2, 1, 0, 2);
    });
    EXPECT_EQ(scaled.texts(),
              (QStringList{"   0", "   2", "   4", "   6", "   8", "  10", "Depth x 10^+03"}));

    const axisRun plain = runAxis([&] {
        ASetAxisRect(100, 700, 500, 100);
        ADrawAxis(0, 10000, title, 2, 1, 0, 2);
    });
    EXPECT_EQ(plain.texts().last(), "Depth");
    EXPECT_EQ(plain.texts().at(1), " 2000");

    // The x axis without its power flag never factors out a power of ten.
    const axisRun wide = runAxis([&] {
        ASetAxisRect(100, 300, 500, 100);
        ADrawAxis(0, 1e6, title, 1, 3, 0, 2);
    });
    EXPECT_EQ(wide.texts().last(), "Depth");
}

TEST(AxisLibrary, NumbersTextAndBuffers) {
    const axisRun numbers = runAxis([] {
        ADrawFloat(12345.6f, 2, 10, 10);
        ADrawFloat(0.5f, 2, 10, 10);
        ADrawFloat(0.0f, 1, 10, 10);
        ADrawFloat(1.0f, 99, 10, 10); // precision clamped, text cut to its buffer
        ADrawInt(-42, 99, 10, 10);
    });
    ASSERT_EQ(numbers.strings.size(), 5u);
    EXPECT_EQ(numbers.strings[0].text, "+1.23e+04");
    EXPECT_EQ(numbers.strings[1].text, "+0.50");
    EXPECT_EQ(numbers.strings[2].text, "+0.0e+00");
    EXPECT_EQ(numbers.strings[3].text.size(), 31);
    EXPECT_EQ(numbers.strings[4].text, "-42");

    // Tick labels longer than their 9 characters are cut, never written past the buffer.
    char none[] = "";
    const axisRun huge = runAxis([&] {
        ASetAxisRect(100, 700, 500, 100);
        ADrawAxis(1.23456e11f, 1.23457e11f, none, 2, 1, 0, 2);
    });
    ASSERT_GT(huge.strings.size(), 1u);
    for (const auto& s : huge.strings)
        EXPECT_LE(s.text.size(), 9);

    // Justification: codes 2 and 3 centre and right-align; y stays the bottom of the text.
    const axisRun justified = runAxis([] {
        ASetJustify(3);
        ADrawStr("abc", 100, 50);
    });
    const QSizeF abc = QVRTextAttributes::helvetica(18).measure("abc");
    EXPECT_EQ(justified.strings[0].anchor, QPointF(100 - abc.width(), 50));

    // Without a path the line work is skipped, the text still drawn; hostile ranges end.
    const axisRun noPath = runAxis([&] {
        ASetPath(nullptr);
        ASetAxisRect(100, 700, 500, 100);
        ADrawAxis(0, 100, none, 1, 3, 0, 2);
        ADrawAxis(0, 1e9f, none, 1, 3, 1e-3f, 2); // a million ticks asked for
        ADrawAxis(5, 5, none, 2, 1, 0, 2);        // no range
        ADrawAxis(0, 1, none, 7, 3, 0, 2);        // no such axis
    });
    EXPECT_EQ(noPath.path.elementCount(), 0);
    EXPECT_EQ(noPath.texts().mid(0, 6), (QStringList{"0", "20", "40", "60", "80", "100"}));
}
