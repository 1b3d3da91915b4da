#include "QVRHistogramView.h"

#include "axisLibrary.h"
#include "qvrGraphicsLogging.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

QColor darkGray() {
    return QColor::fromRgbF(1.0f / 3.0f, 1.0f / 3.0f, 1.0f / 3.0f);
}

// The axis title with the power of ten its numbers were multiplied by, divided out again.
QString scaledTitle(const QString& title, int power) {
    if (power == 0)
        return title;
    const QString shown = title.isNull() ? QStringLiteral("(null)") : title;
    return QStringLiteral("%1 (/ 10^%2)").arg(shown).arg(-power);
}

// Between the tick labels below the axis box and the view's lower edge.
constexpr float xTitleDrop = 22; // points below iRect

} // namespace

QVRHistogramView::QVRHistogramView(QWidget* parent)
    : QVRView(parent) {}

// --- values

bool QVRHistogramView::setValues(const float* values, int nPts) {
    if (nPts < 0 || (nPts > 0 && !values)) {
        qCWarning(lcPlot) << "A histogram cannot take" << nPts << "values"
                          << (values ? "" : "from nowhere");
        return false;
    }
    takeValues(std::vector<float>(values, values + nPts));
    return true;
}

bool QVRHistogramView::setValues(const std::vector<float>& values) {
    takeValues(values);
    return true;
}

void QVRHistogramView::takeValues(std::vector<float> values) {
    // A NaN would fall through every range test into a bin of its own choosing, and an
    // infinity would make the mean useless.
    const auto notNumbers =
        std::remove_if(values.begin(), values.end(), [](float v) { return !std::isfinite(v); });
    if (notNumbers != values.end()) {
        qCWarning(lcPlot) << "The histogram leaves out" << (values.end() - notNumbers)
                          << "values that are not finite numbers";
        values.erase(notNumbers, values.end());
    }
    minValue_ = std::numeric_limits<float>::infinity();
    maxValue_ = -std::numeric_limits<float>::infinity();
    for (float v : values) {
        minValue_ = std::min(minValue_, v);
        maxValue_ = std::max(maxValue_, v);
    }
    values_ = std::move(values);
}

void QVRHistogramView::removeMeanFromValues() {
    if (values_.empty())
        return;
    double sum = 0;
    for (float v : values_)
        sum += v;
    const float mean = float(sum / double(values_.size()));
    for (float& v : values_)
        v -= mean;
    minValue_ -= mean;
    maxValue_ -= mean;
}

// --- bins

void QVRHistogramView::setNBins(int count, float min, float max) {
    nBins_ = count;
    minBinValue_ = min;
    maxBinValue_ = max;
    computebinWidth();
}

void QVRHistogramView::computebinWidth() {
    // The bin count plus one divides the range: callers' bin ranges rely on the bars ending one
    // width short of the top, with the top's values in the last bin.
    if (nBins_ + 1 <= 0) {
        qCWarning(lcPlot) << "No bin width for" << nBins_ << "bins";
        return;
    }
    binWidth_ = (maxBinValue_ - minBinValue_) / float(nBins_ + 1);
}

void QVRHistogramView::computeNBinsFor(float width) {
    if (width != 0)
        nBins_ = int(std::trunc((maxBinValue_ - minBinValue_) / width));
}

bool QVRHistogramView::binValues() {
    if (values_.empty())
        return false;
    computebinWidth();
    counts_.clear();
    if (nBins_ <= 0 || !(binWidth_ > 0) || !std::isfinite(binWidth_)) {
        qCWarning(lcPlot) << "Cannot count values into" << nBins_ << "bins of width" << binWidth_
                          << "from" << minBinValue_ << "to" << maxBinValue_;
        return false;
    }
    std::vector<int> counts(std::size_t(nBins_), 0);
    const int last = nBins_ - 1;
    for (float x : values_) {
        int bin = 0;
        if (x < minBinValue_)
            bin = 0;
        else if (x > maxBinValue_)
            bin = last;
        else
            bin = std::min(int(std::trunc((x - minBinValue_) / binWidth_)), last);
        ++counts[std::size_t(bin)];
    }
    maxCount_ = -1000000000;
    minCount_ = 1000000000;
    for (int c : counts) {
        maxCount_ = std::max(maxCount_, c);
        minCount_ = std::min(minCount_, c);
    }
    counts_ = std::move(counts);
    return true;
}

QString QVRHistogramView::description() const {
    QString text = QString::asprintf("nValues = %d, minValue = %9.3e maxValue = %9.3e\n", nValues(),
                                     double(minValue_), double(maxValue_));
    text += QString::asprintf("nBins = %d, binWidth = %9.3e\n", nBins_, double(binWidth_));
    // Edges and counts only once the values have been counted into these bins.
    if (nBins_ > 0 && int(counts_.size()) == nBins_) {
        text += QStringLiteral("leftEdge rightEdge Count\n");
        for (int i = 0; i < nBins_; ++i) {
            const float left = minBinValue_ + float(i) * binWidth_;
            text += QString::asprintf("%9.3e %9.3e %d\n", double(left), double(left + binWidth_),
                                      counts_[std::size_t(i)]);
        }
    }
    return text;
}

// --- drawing

void QVRHistogramView::computeRects() {
    const QRectF b = bounds();
    setPRect(QRectF(20, 20, b.width() - 40, b.height() - 40));
    setIRect(QRectF(50, 50, pRect().width() - 40, pRect().height() - 40));
}

void QVRHistogramView::drawRect(QPainter& painter, const QRectF&) {
    fillWithColor(Qt::white, darkGray());
    if (counts_.empty())
        return;
    computeRects();
    painter.save();
    if (!_fixedXAxisRange())
        setXLimits(minBinValue_, maxBinValue_);
    if (!_fixedYAxisRange())
        setYLimits(0, 1.05f * float(maxCount_));
    if (xmax() > xmin() && ymax() > ymin()) {
        drawHHistogram();
        drawAxes();
    } else {
        qCWarning(lcPlot) << "A histogram cannot be drawn over the empty range" << xyRect();
    }
    painter.restore();
}

void QVRHistogramView::drawHHistogram() {
    QPainter* painter = currentPainter();
    if (!painter || counts_.empty() || !(xmax() > xmin()) || !(ymax() > ymin()))
        return;
    const QRectF r = iRect();
    const double sx = r.width() / (xmax() - xmin());
    const double sy = r.height() / (ymax() - ymin());
    const double right = r.x() + r.width(), top = r.y() + r.height();
    QPainterPath bars;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        const double x = r.x() + (minBinValue_ + float(i) * binWidth_ - xmin()) * sx;
        if (x < r.x() || x > right)
            continue;
        bars.moveTo(x, r.y());
        const double y = std::min(r.y() + counts_[i] * sy, top);
        bars.lineTo(x, y);
        const double barRight = std::min(x + binWidth_ * sx, right);
        bars.lineTo(barRight, y);
        bars.lineTo(barRight, r.y());
    }
    painter->save();
    painter->fillPath(bars, barFillColor_);
    painter->strokePath(bars, QPen(Qt::black, 0.25));
    painter->restore();
}

void QVRHistogramView::drawVHistogram() {
    QPainter* painter = currentPainter();
    if (!painter || counts_.empty() || maxCount_ <= 0 || !(ymax() > ymin()))
        return;
    const QRectF r = iRect();
    const double base = r.x() + r.width() + 5;
    const double sy = r.height() / (ymax() - ymin());
    const double top = r.y() + r.height();
    QPainterPath bars;
    for (std::size_t i = 0; i < counts_.size(); ++i) {
        const double y = r.y() + (minBinValue_ + float(i) * binWidth_ - ymin()) * sy;
        if (y < r.y() || y > top)
            continue;
        const double length = double(counts_[i]) / maxCount_ * r.height();
        const double barTop = std::min(y + binWidth_ * sy, top);
        bars.moveTo(base, y);
        bars.lineTo(base + length, y);
        bars.lineTo(base + length, barTop);
        bars.lineTo(base, barTop);
    }
    painter->save();
    painter->fillPath(bars, QColor::fromRgbF(0.5f, 0.5f, 0.5f));
    painter->strokePath(bars, QPen(Qt::black, 0.25));
    painter->setPen(QPen(Qt::black, 0.75));
    painter->drawLine(QPointF(base, r.y()), QPointF(base, top));
    painter->restore();
}

int QVRHistogramView::axisPowerOfTen(float min, float max) {
    const double span = double(max) - double(min);
    if (!(span > 0) || !std::isfinite(span))
        return 0;
    const double L = std::log10(span);
    if (std::abs(L) <= 2)
        return 0;
    return int(L > 0 ? std::floor(2 - L) : std::ceil(-L));
}

void QVRHistogramView::drawAxes() {
    QPainter* painter = currentPainter();
    if (!painter)
        return;
    painter->save();
    const QRectF r = iRect();
    setLabelFontSize(14);
    xAxisPath()->clear();
    AInitGraphLib();
    ASetPath(xAxisPath().get());
    ASetTickLabelAttributes(&labelAttributes());
    ASetAxisRect(float(r.x()), float(r.x() + r.width()), float(r.y() + r.height()), float(r.y()));
    ASetLineWidth(0.75f);
    ASetFontSize(14);
    char noTitle[xLabelSize] = {};

    const int xPower = axisPowerOfTen(xmin(), xmax());
    const double xScale = std::pow(10.0, xPower);
    ADrawAxis(float(xmin() * xScale), float(xmax() * xScale), noTitle, 1, 3, 0, 2);
    drawString(scaledTitle(xLabelString(), xPower), float(r.x() + 0.5 * r.width()),
               float(r.y()) - xTitleDrop, 2, 3);

    const int yPower = axisPowerOfTen(ymin(), ymax());
    const double yScale = std::pow(10.0, yPower);
    ADrawAxis(float(ymin() * yScale), float(ymax() * yScale), noTitle, 2, 1, 0, 2);
    drawRotatedString(scaledTitle(yLabelString(), yPower), float(bounds().x() + 2 * 14),
                      float(r.y() + 0.5 * r.height()), 1, 2, 90);

    painter->strokePath(*xAxisPath(), QPen(Qt::black, xAxisPath()->lineWidth()));
    painter->restore();
}
