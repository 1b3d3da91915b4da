#include "uniformTimeSeriesView.h"

#include "axisLibrary.h"
#include "tracePath.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

uniformTimeSeriesView::uniformTimeSeriesView(QWidget* parent)
    : QVRView(parent) {
    // Equal limits mark the amplitude range as not known yet.
    setYLimits(0, 0);
}

QRectF uniformTimeSeriesView::panelRect() const {
    const QRectF b = bounds();
    return QRectF(b.x() + 24, b.y() + 48, b.width() - 36, b.height() - 60);
}

void uniformTimeSeriesView::computeRects() {
    setPRect(panelRect());
    setIRect(panelRect());
}

std::pair<float, float> uniformTimeSeriesView::wholeRecordXLimits() const {
    std::optional<std::pair<double, double>> span;
    for (const auto& signal : wvfrmArray_) {
        if (!signal || signal->npts() == 0)
            continue;
        const double end = signal->begin() + signal->delta() * (signal->npts() - 1);
        span = span ? std::pair{std::min(span->first, signal->begin()), std::max(span->second, end)}
                    : std::pair{signal->begin(), end};
    }
    if (!span || !(span->second > span->first))
        return {xmin(), xmax()};
    return {float(span->first), float(span->second)};
}

std::optional<seismogramReading> uniformTimeSeriesView::readingAt(QPointF viewPoint) const {
    if (!inIRect(viewPoint))
        return std::nullopt;
    const QPointF data = dataPointForViewPoint(viewPoint);
    seismogramReading r;
    double distance = 0;
    for (int i = 0; i < int(wvfrmArray_.size()); ++i) {
        const evenlySampledSignal* signal = wvfrmArray_.at(i).get();
        if (!signal || !(signal->delta() > 0))
            continue;
        const double k = std::round((data.x() - signal->begin()) / signal->delta());
        if (!(k >= 0 && k < signal->npts()))
            continue;
        const double sample = signal->dataPointer()[qsizetype(k)];
        if (r.traceIndex >= 0 && std::abs(sample - data.y()) >= distance)
            continue;
        distance = std::abs(sample - data.y());
        r.traceIndex = i;
        r.amplitude = sample;
    }
    const QDateTime start = axisStarts_.value(std::max(r.traceIndex, 0));
    if (start.isValid())
        r.utc = start.addMSecs(qint64(std::llround(data.x() * 1000.0)));
    return r;
}

void uniformTimeSeriesView::drawRect(QPainter& painter, const QRectF&) {
    painter.fillRect(bounds(), Qt::white);
    painter.save();
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(bounds());
    if (wvfrmArray_.isEmpty()) {
        painter.restore();
        return;
    }
    computeRects();
    const QRectF panel = panelRect();
    labelsDrawn_ = 0;
    setLabelFontSize(12);
    AInitGraphLib();
    drawTitle();
    bool axisDrawn = false;
    for (const auto& signal : wvfrmArray_) {
        if (!signal)
            continue;
        painter.setPen(QPen(Qt::black, 1.0));
        drawsignal(panel, signal.get());
        if (axisDrawn)
            continue;
        axisDrawn = true;
        xAxisPath()->clear();
        ASetPath(xAxisPath().get());
        ASetTickLabelAttributes(&labelAttributes());
        ASetAxisRect(float(panel.left()), float(panel.right()), float(panel.y()), float(panel.y()));
        ASetFontSize(labelAttributes().font.pixelSize());
        ASetLineWidth(0.75f);
        qstrncpy(xLabel(), "Time (s)", xLabelSize);
        ADrawAxis(xmin(), xmax(), xLabel(), 1, 3, 0, 2);
        painter.strokePath(*xAxisPath(), QPen(Qt::black, xAxisPath()->lineWidth()));
    }
    // Over every trace.
    for (const auto& signal : wvfrmArray_)
        drawLabelForSignal(panel, signal.get());
    painter.restore();
}

void uniformTimeSeriesView::drawsignal(const QRectF& rect, const evenlySampledSignal* signal) {
    QPainter* painter = currentPainter();
    if (!painter || !signal)
        return;
    if (ymin() == ymax())
        setYLimits(signal->min(), signal->max());
    const int count = signal->npts();
    const double sx = rect.width() / (double(xmax()) - xmin());
    // Without a time scale there is nowhere to put the samples.
    if (count <= 0 || !signal->dataPointer() || !std::isfinite(sx) || !(sx > 0) ||
        !(signal->delta() > 0))
        return;
    // Each sample at its own time, from the last at or before xmin: the clip cuts the line at
    // the panel's edges.
    const double skipped = std::floor((double(xmin()) - signal->begin()) / signal->delta());
    if (skipped >= count)
        return;
    const int first = int(std::max(0.0, skipped));
    tracePath::sampleMapping m;
    m.x0 = rect.x() + (signal->begin() - xmin()) * sx;
    m.dx = signal->delta() * sx;
    const double range = double(ymax()) - ymin();
    if (std::isfinite(range) && range != 0) {
        m.dy = rect.height() / range;
        m.y0 = rect.y() - ymin() * m.dy;
    } else {
        // A flat signal fixes no scale; it is drawn across the middle of the panel.
        m.dy = 0;
        m.y0 = rect.y() + 0.5 * rect.height();
    }
    const QPolygonF points = tracePath::tracePoints(signal->dataPointer(), count, first, m,
                                                    *painter, rect.left(), rect.right());
    painter->save();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->setBrush(Qt::NoBrush);
    painter->drawPolyline(points);
    painter->restore();
}

void uniformTimeSeriesView::drawLabelForSignal(const QRectF& rect,
                                               const evenlySampledSignal* signal) {
    if (!signal)
        return;
    // Each description under the one before, so that several never write over each other.
    const double lineHeight = labelAttributes().measure(QStringLiteral("Mg")).height();
    const qsizetype index = std::max<qsizetype>(0, labelsDrawn_++);
    drawStringOnBacking(signal->description(), float(rect.x() + rect.width() - 4),
                        float(rect.y() + rect.height() + 12 - index * lineHeight), 3, 3);
}
