#include "MultiSeisView.h"

#include "SacHeader.h"
#include "axisLibrary.h"
#include "seismogramLimits.h"
#include "seismogramPicks.h"
#include "seismogramReadings.h"
#include "seismogramTexts.h"
#include "tracePath.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr float undefinedTime = SacHeader::undefinedValue;

QColor darkGray() {
    return QColor::fromRgbF(1.0 / 3.0, 1.0 / 3.0, 1.0 / 3.0);
}
QColor gray() {
    return QColor::fromRgbF(0.5, 0.5, 0.5);
}
QColor lightGray() {
    return QColor::fromRgbF(2.0 / 3.0, 2.0 / 3.0, 2.0 / 3.0);
}

// The axis library takes its titles as Latin-1 C strings in the view's scratch buffer.
void copyTitle(char* buffer, const QString& title) {
    qstrncpy(buffer, title.isNull() ? "" : title.toLatin1().constData(), QVRView::xLabelSize);
}

// A scale that is not finite (no amplitude, no gain) would throw the points off the device.
double finiteOrZero(double scale) {
    return std::isfinite(scale) ? scale : 0.0;
}

} // namespace

QString MultiSeisView::traceLabel(const SacObject& seismogram) {
    using namespace seismogramTexts;
    return joined({defined(seismogram.kstnm()), defined(seismogram.knetwk()),
                   defined(seismogram.kcmpnm()), formatted("(%.2f)", seismogram.gcarc()),
                   formatted("(%.2f)", seismogram.azimuth())},
                  QStringLiteral(" "));
}

MultiSeisView::MultiSeisView(QWidget* parent)
    : QVRView(parent) {}

void MultiSeisView::computeRects() {
    const QRectF b = bounds();
    setPRect(QRectF(20, 60, b.width() - 40, b.height() - 100));
    setIRect(pRect());
}

void MultiSeisView::computePlotLimits() {
    if (const std::optional<seismogramLimits> limits =
            limitsOfSeismograms(wvfrmsArray_, minYRange())) {
        if (!_fixedXAxisRange())
            setXLimits(limits->earliest, limits->latest);
        setYLimits(limits->low, limits->high);
    }
}

std::pair<float, float> MultiSeisView::wholeRecordXLimits() const {
    const std::optional<seismogramLimits> limits = limitsOfSeismograms(wvfrmsArray_, minYRange());
    return limits ? std::pair{limits->earliest, limits->latest} : std::pair{xmin(), xmax()};
}

std::optional<seismogramReading> MultiSeisView::readingAt(QPointF viewPoint) const {
    const int n = int(wvfrmsArray_.size());
    if (n == 0 || !inIRect(viewPoint))
        return std::nullopt;
    const QRectF plot = pRect();
    const int index =
        std::clamp(int(std::floor((viewPoint.y() - plot.y()) / (plot.height() / n))), 0, n - 1);
    const double t = dataPointForViewPoint(viewPoint).x();
    if (const SacObject* seismogram = wvfrmsArray_.at(index).get())
        return seismogramReadings::readingOf(*seismogram, index, t);
    return seismogramReading();
}

QRectF MultiSeisView::traceClipRect(int index, int count) const {
    const QRectF plot = pRect();
    const double low = index > 0 ? baselineOf(index - 1, count) : plot.top();
    const double high = index + 1 < count ? baselineOf(index + 1, count) : plot.bottom();
    return QRectF(plot.x(), low, plot.width(), high - low);
}

double MultiSeisView::baselineOf(int index, int count) const {
    const double slot = pRect().height() / std::max(count, 1);
    return pRect().y() + slot / 2 + index * slot;
}

bool MultiSeisView::drawsTime(float time) const {
    return time != undefinedTime && time >= xmin() && time <= xmax();
}

double MultiSeisView::xForTime(const QRectF& rect, float time) const {
    return (double(time) - xmin()) * (rect.width() / (double(xmax()) - xmin())) + rect.x();
}

void MultiSeisView::drawRect(QPainter& painter, const QRectF&) {
    painter.fillRect(bounds(), Qt::white);
    strokeBounds();
    if (wvfrmsArray_.isEmpty())
        return;
    computeRects();
    computePlotLimits();
    painter.save();
    labelAttributes().color = gray();

    const QRectF plot = pRect();
    const int n = int(wvfrmsArray_.size());
    const double h = plot.height();
    const double sx = finiteOrZero(plot.width() / (double(xmax()) - xmin()));
    const double peak = std::max(std::fabs(double(ymin())), double(ymax()));
    const double sa = finiteOrZero(h / (double(plotGainFactor_) * peak) / n);

    for (int i = 0; i < n; ++i) {
        const SacObject* seismogram = wvfrmsArray_.at(i).get();
        const double baseline = baselineOf(i, n);
        if (showZeroLine_) {
            painter.save();
            QPen dots(lightGray(), 1.0);
            dots.setCapStyle(Qt::RoundCap);
            dots.setDashPattern({0.01, 2.5});
            painter.setPen(dots);
            painter.drawLine(QPointF(plot.left(), baseline), QPointF(plot.right(), baseline));
            painter.restore();
        }
        if (!seismogram)
            continue;
        tracePath::sampleMapping m;
        m.x0 = (double(seismogram->b()) - xmin()) * sx + plot.x();
        m.dx = double(seismogram->delta()) * sx;
        m.y0 = baseline;
        m.dy = sa;
        // Each trace stays between its neighbours' baselines: at a high gain a large arrival
        // would otherwise write across the section, and at the default gain, where a peak
        // reaches two thirds of a slot, it is still whole.
        painter.save();
        painter.setClipRect(traceClipRect(i, n), Qt::IntersectClip);
        painter.setPen(QPen(Qt::black, 1.0));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(tracePath::tracePoints(seismogram->GetSacSeis(), seismogram->npts(), 0,
                                                    m, painter, plot.left(), plot.right()));
        painter.restore();
        setLabelFontSize(10);
        drawStringOnBacking(traceLabel(*seismogram), float(plot.x()), float(baseline + 4), 1, 4);
        drawPicks(QRectF(plot.x(), baseline - h / n, plot.width(), 2 * h / n), seismogram);
    }

    labelAttributes() = QVRTextAttributes::helvetica(14, darkGray());
    xAxisPath()->clear();
    AInitGraphLib();
    ASetYAxisPowerFlag(1);
    ASetPath(xAxisPath().get());
    ASetTickLabelAttributes(&labelAttributes());
    ASetAxisRect(float(plot.left()), float(plot.right()), float(plot.y() + plot.height()),
                 float(plot.y()));
    ASetLineWidth(0.75f);
    copyTitle(xLabel(), xLabelString());
    ADrawAxis(xmin(), xmax(), xLabel(), 1, 3, 0, 2);
    painter.strokePath(*xAxisPath(), QPen(Qt::black, xAxisPath()->lineWidth()));

    drawTitleTopCentered();
    painter.restore();
    drawPicks();
}

void MultiSeisView::drawPicks(const QRectF& slot, const SacObject* seismogram) {
    QPainter* painter = currentPainter();
    if (!seismogram || !painter)
        return;
    const auto mark = [&](float time, const QColor& color, const QString& label) {
        if (!drawsTime(time))
            return;
        painter->save();
        painter->setPen(QPen(color, 1.0));
        drawPickForRect(slot, time);
        painter->restore();
        drawPickLabelForRect(slot, label, time);
    };
    mark(seismogram->originTimeOffset(), Qt::blue, QStringLiteral("Origin"));
    mark(seismogram->pTime(), darkGray(), QStringLiteral("A"));
    mark(seismogram->timePickKey(11), darkGray(), QStringLiteral("F"));
    for (int key = 0; key <= 9; ++key)
        mark(seismogram->timePickKey(key), darkGray(), timePickLabel(*seismogram, key));
}

void MultiSeisView::drawPickForRect(const QRectF& slot, float time) {
    QPainter* painter = currentPainter();
    if (!painter || !(xmax() > xmin()))
        return;
    const double x = xForTime(slot, time);
    painter->drawLine(QPointF(x, slot.y() + 0.5 * slot.height()),
                      QPointF(x, slot.y() + 0.8 * slot.height()));
}

void MultiSeisView::drawPickLabelForRect(const QRectF& slot, const QString& label, float time) {
    if (!(xmax() > xmin()))
        return;
    // The label size of the platform's controls.
    setLabelFontSize(10);
    const double x = xForTime(slot, time);
    const double height = labelAttributes().measure(label).height();
    drawString(label, float(x + 4), float(slot.y() + 0.8 * slot.height() - height), 1, 1);
}

void MultiSeisView::drawPicks() {
    QPainter* painter = currentPainter();
    const int n = int(wvfrmsArray_.size());
    if (!painter || n == 0 || !(xmax() > xmin()))
        return;
    const QRectF plot = pRect();
    const double slot = plot.height() / n;
    QPainterPath lines;
    for (int i = 0; i < n; ++i) {
        const SacObject* seismogram = wvfrmsArray_.at(i).get();
        // An unset arrival would stand at the far left of the plot as if it were a pick.
        if (!seismogram || !drawsTime(seismogram->pTime()))
            continue;
        const double x = xForTime(plot, seismogram->pTime());
        const double centre = plot.y() + (i + 0.5) * slot;
        lines.moveTo(x, centre - 0.4 * slot);
        lines.lineTo(x, centre + 0.4 * slot);
    }
    painter->strokePath(lines, QPen(Qt::red, 1.0));
}
