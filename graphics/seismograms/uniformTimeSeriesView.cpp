#include "uniformTimeSeriesView.h"

#include "axisLibrary.h"
#include "tracePath.h"

#include <QPainter>

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
    const QRectF panel = panelRect();
    setLabelFontSize(12);
    AInitGraphLib();
    drawTitle();
    bool axisDrawn = false;
    for (const auto& signal : wvfrmArray_) {
        if (!signal)
            continue;
        painter.setPen(QPen(Qt::black, 1.0));
        drawsignal(panel, signal.get());
        drawLabelForSignal(panel, signal.get());
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
    tracePath::sampleMapping m;
    m.x0 = rect.x();
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
    const QPolygonF points = tracePath::tracePoints(signal->dataPointer(), count, 0, m, *painter,
                                                    rect.left(), rect.right());
    painter->save();
    painter->setBrush(Qt::NoBrush);
    painter->drawPolyline(points);
    painter->restore();
}

void uniformTimeSeriesView::drawLabelForSignal(const QRectF& rect,
                                               const evenlySampledSignal* signal) {
    if (!signal)
        return;
    drawString(signal->description(), float(rect.x() + rect.width() - 4),
               float(rect.y() + rect.height() + 12), 3, 3);
}
