#include "axisLibrary.h"

#include "QVRTextDrawing.h"
#include "QVRView.h"
#include "lenientNumbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

extern "C" {
ARect axisRect = {0, 0, 0, 0};
int gFont = 20;
int gFontsize = 18;
int gJustify = 1;
int gXsecTic = 1;
int gYsecTic = 1;
int gPosDown = 0;
int lxpower = 0;
int lypower = 0;
QVRBezierPath* gPath = nullptr;
const QVRTextAttributes* tickLabelAttributes = nullptr;
int gDevice = 0;
int gPenWidth = 0;
}

namespace {

// More labelled ticks than this cannot be read, and a hostile spacing must not make the loop
// run for ever: such an axis gets its box only.
constexpr int mostMajorTicks = 1000;

int16_t toShort(float v) {
    return int16_t(std::clamp(truncatedToInt(v), -32768, 32767));
}

// The decade of a positive number as the library counts it: log10, minus one when negative,
// truncated toward zero.
int decadeOf(double value) {
    double e = value > 0 ? std::log10(value) : 0.0;
    if (e < 0)
        e -= 1;
    return truncatedToInt(e);
}

// Digits of a value's integer part or of a step's decimal position: x + 1.001 or x − 0.999.
double digitCount(double logValue) {
    return logValue >= 0 ? logValue + 1.001 : logValue - 0.999;
}

struct tickPlan {
    double step = 0;      // t
    int leadingDigit = 0; // k
    int decade = 0;       // e
    double lo = 0, hi = 0;
    int count = 0; // N
    double L = 0, D = 0;

    // Decimals the step needs: none for a whole step.
    int decimals() const { return D < 0 ? truncatedToInt(std::fabs(D)) : 0; }

    // Labels with integer digits and a step below one (L × D < 0): the digits, the decimals
    // and room for the point and a sign. False for any other kind of axis.
    bool fractionalStepFormat(int& width, int& precision) const {
        if (!(L * D < 0))
            return false;
        precision = decimals();
        width = L > 0 ? truncatedToInt(L) : 0;
        if (precision > 0)
            width += precision + 2;
        return true;
    }
};

// Spacing and labelled range, shared by both axes; `automaticStep` picks the step's leading
// digit, which the two axes choose differently.
template <typename LeadingDigitRule>
bool planTicks(double min, double max, double spacing, double roughCount, LeadingDigitRule rule,
               tickPlan& plan) {
    if (spacing != 0) {
        plan.step = spacing;
        plan.decade = decadeOf(spacing);
        plan.leadingDigit = truncatedToInt(spacing * std::pow(10.0, -plan.decade));
    } else {
        const double n = std::max(roughCount, 5.0);
        const double r = (max - min) / n;
        plan.decade = decadeOf(r);
        const int m = truncatedToInt(r * std::pow(10.0, -plan.decade));
        rule(m, plan.leadingDigit, plan.decade);
        plan.step = plan.leadingDigit * std::pow(10.0, plan.decade);
    }
    if (!(plan.step > 0) || !std::isfinite(plan.step) || !std::isfinite(min) || !std::isfinite(max))
        return false;
    const double first = std::trunc(min / plan.step);
    const double last = std::trunc(max / plan.step);
    if (!std::isfinite(first) || !std::isfinite(last) || std::fabs(last - first) > mostMajorTicks)
        return false;
    double i0 = first, i1 = last;
    plan.lo = i0 * plan.step;
    if (plan.lo < min) {
        i0 += 1;
        plan.lo += plan.step;
    }
    plan.hi = i1 * plan.step;
    if (max < plan.hi) {
        i1 -= 1;
        plan.hi -= plan.step;
    }
    plan.count = int(i1 - i0 + 1);
    const double A = std::max(std::fabs(plan.lo), std::fabs(plan.hi));
    plan.L = digitCount(std::log10(A + 0.001));
    plan.D = digitCount(std::log10(plan.step));
    return true;
}

// A tick's value as its label shows it: the sum of steps that lands on zero may come out a
// hair below it, which would print "-0".
double labelValue(double value, int precision) {
    return std::fabs(value) < 0.5 * std::pow(10.0, -precision) ? 0.0 : value;
}

const QVRTextAttributes& labelAttributes() {
    static const QVRTextAttributes fallback = QVRTextAttributes::helvetica(18);
    return tickLabelAttributes ? *tickLabelAttributes : fallback;
}

// Draws text with its x anchor moved as gJustify says; y is the bottom of the text.
void drawJustified(const char* text, double x, double y, double angle) {
    QPainter* painter = QVRView::currentPainter();
    if (!text || !painter)
        return;
    const QString s = QString::fromLatin1(text);
    const QSizeF size = labelAttributes().measure(s);
    const double w = size.width(), h = size.height();
    switch (gJustify) {
    case 2:
        x -= w / 2;
        break;
    case 3:
        x -= w;
        break;
    case 4:
        x -= h / 2;
        break;
    case 5:
        x -= w / 2 + h / 2;
        break;
    case 6:
        x -= w + h / 2;
        break;
    default:
        break;
    }
    QVRTextDrawing::drawText(*painter, s, QPointF(x, y), labelAttributes(), angle);
}

void tick(double x0, double y0, double x1, double y1) {
    AFMove(float(x0), float(y0));
    AFLine(float(x1), float(y1));
}

void drawXAxis(double max, double min, double spacing, int side, char* suffix, int level) {
    (void)side; // both sides label below the box; only the title moves
    const double left = axisRect.left, right = axisRect.right, top = axisRect.top,
                 bottom = axisRect.bottom;
    const double W = right - left;
    const double F = gFontsize;
    const double u = W / (max - min);

    tickPlan plan;
    const bool ticks = planTicks(
        min, max, spacing, std::trunc(W / (F * F)),
        [](int m, int& k, int& e) {
            if (m > 10) {
                k = 1;
                e += 1;
            } else if (m > 5) {
                k = 5;
            } else {
                k = 2;
            }
        },
        plan);
    // The box edges along x.
    tick(left, bottom, right, bottom);
    tick(left, top, right, top);
    if (!ticks || !std::isfinite(u))
        return;

    int width = 0, precision = 0;
    double scale = 1;
    const bool labelsFit = W - std::ceil(std::log10(plan.hi)) * plan.count * 0.5 * F > 0;
    if (plan.fractionalStepFormat(width, precision)) {
        // width and precision are set
    } else if (labelsFit || lxpower == 0) {
        precision = plan.decimals();
        width = plan.L < 1 ? truncatedToInt(plan.L) : 1;
    } else {
        precision = 0;
        width = std::max(truncatedToInt(plan.L) - truncatedToInt(plan.D), 1);
        scale = std::pow(10.0, -plan.decade);
        if (plan.decade != 0)
            std::snprintf(suffix, 16, " x 10^%+.*d", 2, plan.decade);
    }

    const double P = plan.step * u;
    int minors = 1;
    if (P >= 0.1 * W)
        minors = plan.leadingDigit == 5 ? 4 : 3;
    if (P >= 0.25 * W)
        minors = 9;
    const bool drawMinors = level > 0 && gXsecTic != 0;
    auto xTick = [&](double x, double length) {
        tick(x, bottom, x, bottom + length);
        if (top != bottom)
            tick(x, top, x, top - length);
    };

    double x = (plan.lo - min) * u + left;
    if (drawMinors) {
        for (int j = 1; j <= minors; ++j) {
            const double xm = x - P + j * P / (minors + 1);
            if (xm >= left)
                xTick(xm, 0.375 * F);
        }
    }
    static char label[10] = "00000000";
    double value = plan.lo * scale;
    for (int n = 0; n < plan.count; ++n) {
        if (level > 0)
            xTick(x, 0.75 * F);
        if (level > 1) {
            std::snprintf(label, sizeof label, "%*.*f", width, precision,
                          labelValue(value, precision));
            gJustify = 2;
            drawJustified(label, x, bottom - 1.25 * F, 0);
        }
        if (drawMinors) {
            for (int j = 1; j <= minors; ++j) {
                const double xm = x + j * P / (minors + 1);
                if (xm <= right)
                    xTick(xm, 0.375 * F);
            }
        }
        x += P;
        value += plan.step * scale;
    }
}

// Side 1 labels the left edge. Side 2 mirrors it: ticks point into the box from both edges as
// on side 1, the labels stand left-aligned 0.2 F right of the right edge.
void drawYAxis(double max, double min, double spacing, int side, char* suffix, int level) {
    const double left = axisRect.left, right = axisRect.right, top = axisRect.top,
                 bottom = axisRect.bottom;
    const double H = top - bottom;
    const double F = gFontsize;
    const double labelEdge = side == 2 ? right : left;
    const double otherEdge = side == 2 ? left : right;
    const double inward = side == 2 ? -1 : 1; // the direction from the label edge into the box
    const double u = H / (max - min);

    tickPlan plan;
    const bool ticks = planTicks(
        min, max, spacing, std::fabs(std::trunc(H / (10 * F * F))),
        [](int m, int& k, int& e) {
            if (m < 3) {
                k = 2;
            } else if (m < 6) {
                k = 5;
            } else {
                k = 1;
                e += 1;
            }
        },
        plan);
    tick(labelEdge, bottom, labelEdge, top);
    tick(otherEdge, bottom, otherEdge, top);
    if (!ticks || !std::isfinite(u))
        return;

    int width = 0, precision = 0;
    double scale = 1;
    if (!plan.fractionalStepFormat(width, precision)) {
        const int E = plan.L < 0 ? truncatedToInt(plan.L) : truncatedToInt(plan.D);
        if (std::abs(E) < 3 || lypower == 0) {
            precision = plan.decimals();
            width = plan.L > 1 ? truncatedToInt(plan.L) : 1;
            if (precision > 0)
                width += precision + 2;
        } else {
            precision = 0;
            width = std::max(truncatedToInt(plan.L) - truncatedToInt(plan.D) + 2, 4);
            scale = std::pow(10.0, -plan.decade);
            std::snprintf(suffix, 16, " x 10^%+.*d", 2, plan.decade);
        }
    }

    const double P = plan.step * u;
    int minors = 1;
    if (std::fabs(P) >= 0.1 * std::fabs(H))
        minors = plan.leadingDigit == 5 ? 4 : 3;
    if (std::fabs(P) > 0.25 * std::fabs(H))
        minors = 9;
    const bool drawMinors = level > 0 && gYsecTic != 0;
    auto yTick = [&](double y, double length) {
        tick(labelEdge, y, labelEdge + inward * length, y);
        tick(otherEdge, y, otherEdge - inward * length, y);
    };

    double y = (plan.lo - min) * u + bottom;
    if (drawMinors) {
        for (int j = 1; j <= minors; ++j) {
            const double ym = y - P + j * P / (minors + 1);
            if (ym > bottom)
                yTick(ym, 0.5 * F);
        }
    }
    static char label[10] = "00000000";
    bool negativeDrawn = false;
    double value = plan.lo * scale;
    for (int n = 0; n < plan.count; ++n) {
        if (level > 0)
            yTick(y, 0.75 * F);
        if (level > 1) {
            const double shown = labelValue(gPosDown ? -value : value, precision);
            if (shown < 0) {
                std::snprintf(label, sizeof label, "%+*.*f", width + 1, precision, shown);
                negativeDrawn = true;
            } else if (negativeDrawn) {
                std::snprintf(label, sizeof label, "% *.*f", width, precision, shown);
            } else {
                std::snprintf(label, sizeof label, "%*.*f", width, precision, shown);
            }
            if (side == 2) {
                gJustify = 1;
                drawJustified(label, right + 0.2 * F, y - 0.5 * F, 0);
            } else {
                gJustify = 3;
                drawJustified(label, left - 0.2 * F, y - 0.5 * F, 0);
            }
        }
        if (drawMinors) {
            for (int j = 1; j <= minors; ++j) {
                const double ym = y + j * P / (minors + 1);
                if (ym > bottom && ym < top)
                    yTick(ym, 0.5 * F);
            }
        }
        y += P;
        value += plan.step * scale;
    }
}

} // namespace

extern "C" {

void AInitGraphLib(void) {
    gFont = 20;
    gFontsize = 18;
    gJustify = 1;
    gXsecTic = 1;
    gYsecTic = 1;
    lxpower = 0;
    lypower = 0;
    gPath = nullptr;
}

void ASetAxisRect(float left, float right, float top, float bottom) {
    axisRect = ARect{toShort(top), toShort(left), toShort(bottom), toShort(right)};
}

void ASetPath(QVRBezierPath* path) {
    gPath = path;
}

void ASetTickLabelAttributes(const QVRTextAttributes* attributes) {
    tickLabelAttributes = attributes;
}

void ASetFontSize(int size) {
    gFontsize = size;
}

void ASetLineWidth(float width) {
    if (gPath)
        gPath->setLineWidth(width);
}

void ASetJustify(int justify) {
    gJustify = justify;
}

void ASetXAxisPowerFlag(int flag) {
    lxpower = flag;
}

void ASetYAxisPowerFlag(int flag) {
    lypower = flag;
}

void AMove(int x, int y) {
    if (gPath)
        gPath->moveTo(x, y);
}

void ALine(int x, int y) {
    if (gPath)
        gPath->lineTo(x, y);
}

void AFMove(float x, float y) {
    if (gPath)
        gPath->moveTo(x, y);
}

void AFLine(float x, float y) {
    if (gPath)
        gPath->lineTo(x, y);
}

void ADrawStr(const char* text, int x, int y) {
    drawJustified(text, x, y, 0);
}

void ADrawStrAtAngle(const char* text, int x, int y, float angle) {
    drawJustified(text, x, y, angle);
}

void ADrawFloat(float value, int precision, int x, int y) {
    precision = std::clamp(precision, 0, 32);
    char text[32];
    const double magnitude = std::log10(std::fabs(double(value)));
    if (magnitude > 4 || magnitude < -4)
        std::snprintf(text, sizeof text, "%+.*e", precision, double(value));
    else
        std::snprintf(text, sizeof text, "%+.*f", precision, double(value));
    ADrawStr(text, x, y);
}

void ADrawInt(int value, int width, int x, int y) {
    (void)width; // accepted for the callers' sake; the text is always plain "%d"
    char text[16];
    std::snprintf(text, sizeof text, "%d", value);
    ADrawStr(text, x, y);
}

void ADrawAxis(float min, float max, char* label, int axis, int side, float spacing, int level) {
    char suffix[16] = {};
    const bool xAxis = axis == 1 && (side == 3 || side == 4);
    const bool yAxis = axis == 2 && (side == 1 || side == 2);
    if (!xAxis && !yAxis)
        return;
    if (xAxis)
        drawXAxis(max, min, spacing, side, suffix, level);
    else
        drawYAxis(max, min, spacing, side, suffix, level);
    if (level < 2)
        return;

    // The title with the power suffix, composed here: the caller's buffer has no known room.
    const std::string title = std::string(label ? label : "") + suffix;
    const int F = gFontsize;
    const int left = axisRect.left, right = axisRect.right, top = axisRect.top,
              bottom = axisRect.bottom;
    if (xAxis) {
        const int x = (left + right) / 2;
        if (side == 3) {
            gJustify = 2;
            ADrawStr(title.c_str(), x, truncatedToInt(bottom - 2.5 * F));
        } else {
            gJustify = 1;
            ADrawStr(title.c_str(), x, truncatedToInt(top + 2.5 * F));
        }
    } else if (side == 1) {
        gJustify = 1;
        ADrawStr(title.c_str(), truncatedToInt(left - 2.0 * F), truncatedToInt(top + 0.5 * F));
    } else {
        gJustify = 3;
        ADrawStr(title.c_str(), truncatedToInt(right + 2.0 * F), truncatedToInt(top + 0.5 * F));
    }
}
}
