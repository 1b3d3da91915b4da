#include "SeisView01.h"

#include "axisLibrary.h"
#include "seismogramLimits.h"
#include "tracePath.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Every sample of long traces on a vector device would hold megabytes per trace; an envelope
// is at most six points per device pixel column.
constexpr qsizetype mostPointsKept = 1 << 16;

// A scale that maps a range onto a length: nothing can be drawn with equal, reversed or
// unreadable limits.
bool usableScale(double scale) {
    return std::isfinite(scale) && scale > 0;
}

// The axis library takes its titles as Latin-1 C strings in the view's scratch buffer.
void copyTitle(char* buffer, const QString& title) {
    qstrncpy(buffer, title.isNull() ? "" : title.toLatin1().constData(), QVRView::xLabelSize);
}

} // namespace

SeisView01::SeisView01(QWidget* parent)
    : QVRView(parent) {}

QColor SeisView01::gray() {
    return QColor::fromRgbF(0.5, 0.5, 0.5);
}

QColor SeisView01::lightGray() {
    return QColor::fromRgbF(2.0 / 3.0, 2.0 / 3.0, 2.0 / 3.0);
}

void SeisView01::computeRects() {
    const QRectF b = bounds();
    setPRect(QRectF(80, 60, b.width() - 120, b.height() - 100));
    setIRect(pRect());
}

void SeisView01::computePlotLimits() {
    const std::optional<seismogramLimits> limits = limitsOfSeismograms(wvfrmsArray_, minYRange());
    if (!limits)
        return;
    if (!_fixedXAxisRange())
        setXLimits(limits->earliest, limits->latest);
    if (!_fixedYAxisRange())
        setYLimits(limits->low, limits->high);
}

void SeisView01::setWvfrmsArray(const seismogramList& seismograms) {
    wvfrmsArray_ = seismograms;
    keptPoints_.clear();
    keptPoints_.resize(wvfrmsArray_.size());
    unkeptPoints_.clear();
}

bool SeisView01::tracePointsInputs::operator==(const tracePointsInputs& other) const {
    return seismogram == other.seismogram && samples == other.samples && count == other.count &&
           first == other.first && mapping.x0 == other.mapping.x0 &&
           mapping.dx == other.mapping.dx && mapping.y0 == other.mapping.y0 &&
           mapping.dy == other.mapping.dy && left == other.left && right == other.right &&
           everySample == other.everySample && pixels == other.pixels && device == other.device;
}

const QPolygonF& SeisView01::tracePointsOf(int index, int first,
                                           const tracePath::sampleMapping& mapping,
                                           const QPainter& painter, double left, double right) {
    const SacObject* seismogram = wvfrmsArray_.at(index).get();
    tracePointsInputs inputs;
    inputs.seismogram = seismogram;
    inputs.samples = seismogram->GetSacSeis();
    inputs.count = seismogram->npts();
    inputs.first = first;
    inputs.mapping = mapping;
    inputs.left = left;
    inputs.right = right;
    inputs.everySample = drawsEverySample_;
    inputs.pixels = tracePath::drawsPixels(painter);
    inputs.device = painter.deviceTransform();

    if (keptPoints_.size() != wvfrmsArray_.size())
        keptPoints_.resize(wvfrmsArray_.size());
    keptPoints& kept = keptPoints_[index];
    if (kept.valid && kept.inputs == inputs)
        return kept.points;
    QPolygonF points = tracePath::tracePoints(inputs.samples, inputs.count, first, mapping, painter,
                                              left, right, drawsEverySample_);
    if (points.size() > mostPointsKept) {
        kept = keptPoints();
        unkeptPoints_ = std::move(points);
        return unkeptPoints_;
    }
    kept.valid = true;
    kept.inputs = inputs;
    kept.points = std::move(points);
    return kept.points;
}

void SeisView01::drawRect(QPainter& painter, const QRectF&) {
    painter.fillRect(bounds(), Qt::white);
    strokeBounds();
    if (wvfrmsArray_.isEmpty())
        return;
    computeRects();
    computePlotLimits();
    painter.save();
    const QRectF plot = pRect();
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);

    const double sx = plot.width() / (double(xmax()) - xmin());
    const double sy = plot.height() / (double(ymax()) - ymin());
    if (usableScale(sx) && usableScale(sy)) {
        painter.save();
        painter.setClipRect(plot);
        QPainterPath traces;
        traces.setFillRule(Qt::WindingFill);
        for (int i = 0; i < int(wvfrmsArray_.size()); ++i) {
            const auto& seismogram = wvfrmsArray_.at(i);
            if (!seismogram)
                continue;
            tracePath::sampleMapping m;
            m.x0 = (double(seismogram->b()) - xmin()) * sx + plot.x();
            m.dx = double(seismogram->delta()) * sx;
            m.y0 = -double(ymin()) * sy + plot.y();
            m.dy = sy;
            traces.addPolygon(tracePointsOf(i, 0, m, painter, plot.left(), plot.right()));
        }
        if (fillPositive_)
            painter.fillPath(traces, lightGray());
        painter.strokePath(traces, QPen(Qt::black, 1.0));
        painter.restore();

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
        copyTitle(xLabel(), yLabelString());
        ADrawAxis(ymin(), ymax(), xLabel(), 2, 1, 0, 2);
        painter.strokePath(*xAxisPath(), QPen(Qt::black, xAxisPath()->lineWidth()));
    }
    drawTitleTopCentered();
    painter.restore();
}
