#include "SeisView01.h"

#include "axisLibrary.h"
#include "seismogramClock.h"
#include "seismogramLimits.h"
#include "seismogramReadings.h"
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
    const std::optional<seismogramLimits> limits =
        limitsOfSeismograms(wvfrmsArray_, minYRange(), timeShifts_);
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
    placeOnClock();
}

void SeisView01::setCommonClock(bool on) {
    commonClock_ = on;
    placeOnClock();
}

void SeisView01::placeOnClock() {
    timeShifts_.clear();
    clockStart_ = QDateTime();
    if (!commonClock_)
        return;
    std::vector<const SacObject*> traces;
    for (const auto& s : wvfrmsArray_)
        traces.push_back(s.get());
    clockStart_ = seismogramClock::earliestStart(traces);
    timeShifts_ = seismogramClock::shifts(traces, clockStart_);
}

double SeisView01::timeShift(int index) const {
    return index >= 0 && std::size_t(index) < timeShifts_.size() ? timeShifts_[std::size_t(index)]
                                                                 : 0.0;
}

QDateTime SeisView01::clockStart() const {
    return clockStart_;
}

std::pair<float, float> SeisView01::wholeRecordXLimits() const {
    const std::optional<seismogramLimits> limits =
        limitsOfSeismograms(wvfrmsArray_, minYRange(), timeShifts_);
    return limits ? std::pair{limits->earliest, limits->latest} : std::pair{xmin(), xmax()};
}

double SeisView01::axisTimeAt(double viewX) const {
    return dataPointForViewPoint(QPointF(viewX, iRect().y())).x();
}

seismogramReading SeisView01::readingOfTrace(int index, double axisTime) const {
    const SacObject* seismogram = wvfrmsArray_.value(index).get();
    if (!seismogram) {
        seismogramReading r;
        if (clockStart_.isValid())
            r.utc = clockStart_.addMSecs(qint64(std::llround(axisTime * 1000.0)));
        return r;
    }
    return seismogramReadings::readingOf(*seismogram, index, axisTime - timeShift(index));
}

std::optional<seismogramReading> SeisView01::readingAt(QPointF viewPoint) const {
    if (!inIRect(viewPoint))
        return std::nullopt;
    const QPointF data = dataPointForViewPoint(viewPoint);
    int nearest = -1;
    double distance = 0;
    for (int i = 0; i < int(wvfrmsArray_.size()); ++i) {
        const SacObject* seismogram = wvfrmsArray_.at(i).get();
        if (!seismogram)
            continue;
        const std::optional<float> sample =
            seismogramReadings::sampleAt(*seismogram, data.x() - timeShift(i));
        if (sample && (nearest < 0 || std::abs(*sample - data.y()) < distance)) {
            nearest = i;
            distance = std::abs(*sample - data.y());
        }
    }
    return readingOfTrace(nearest, data.x());
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
            m.x0 = (timeShift(i) + seismogram->b() - xmin()) * sx + plot.x();
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
