#include "QVRRealTimeDisplayView02.h"

#include "QVRDateFormatter.h"
#include "groundMotionUnits.h"
#include "seismogramReadings.h"
#include "timeZones.h"
#include "tracePath.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

bool usableScale(double scale) {
    return std::isfinite(scale) && scale > 0;
}

} // namespace

QVRRealTimeDisplayView02::QVRRealTimeDisplayView02(QWidget* parent)
    : SeisView01(parent) {}

void QVRRealTimeDisplayView02::setWindow(const QDateTime& end, float start, float stop) {
    const bool following = !window_ || (xmin() == window_->first && xmax() == window_->second);
    const QDateTime zero = end.addMSecs(-qint64(std::llround(double(stop) * 1000.0)));
    if (following) {
        setXLimits(start, stop);
    } else if (axisZero_.isValid() && zero.isValid()) {
        // The same moments on an axis whose zero moved.
        const double moved = zero.msecsTo(axisZero_) / 1000.0;
        setXLimits(float(xmin() + moved), float(xmax() + moved));
    }
    set_fixedXAxisRange(true);
    window_ = std::pair{start, stop};
    axisZero_ = zero;
    refDate_ = end;
}

QDateTime QVRRealTimeDisplayView02::shownRefDate() const {
    if (!axisZero_.isValid())
        return refDate_;
    const double edge = originOnRight_ ? xmax() : xmin();
    return axisZero_.addMSecs(qint64(std::llround(edge * 1000.0)));
}

std::pair<float, float> QVRRealTimeDisplayView02::wholeRecordXLimits() const {
    return window_.value_or(std::pair{xmin(), xmax()});
}

std::optional<seismogramReading> QVRRealTimeDisplayView02::readingAt(QPointF viewPoint) const {
    if (!inIRect(viewPoint))
        return std::nullopt;
    const double t = axisTimeAt(viewPoint.x());
    seismogramReading r;
    const QDateTime reference = shownRefDate();
    const double edge = originOnRight_ ? xmax() : xmin();
    if (reference.isValid())
        r.utc = reference.addMSecs(qint64(std::llround((t - edge) * 1000.0)));
    const seismogramList& seismograms = wvfrmsArray();
    int bands = 0;
    for (int i = 0; i < int(seismograms.size()); ++i)
        bands = std::max(bands, bandOf(i) + 1);
    if (bands == 0)
        return r;
    const QRectF plot = pRect();
    const int band = int(std::floor((viewPoint.y() - plot.y()) / (plot.height() / bands)));
    // The traces stand on the window's axis: their samples are read there.
    for (int i = 0; i < int(seismograms.size()); ++i) {
        const SacObject* seismogram = seismograms.at(i).get();
        if (!seismogram || bandOf(i) != band)
            continue;
        if (const std::optional<float> sample = seismogramReadings::sampleAt(*seismogram, t)) {
            r.amplitude = double(*sample);
            r.units = groundMotionUnits::units(seismogram->GetSacHeader());
            r.traceIndex = i;
            break;
        }
    }
    return r;
}

void QVRRealTimeDisplayView02::computeRects() {
    const QRectF b = bounds();
    setPRect(QRectF(60, 84, b.width() - 140, b.height() - 144));
    setIRect(pRect());
}

void QVRRealTimeDisplayView02::drawRect(QPainter& painter, const QRectF&) {
    // The markers come first and use the layout too: it must be this size's before they draw.
    computeRects();
    painter.fillRect(bounds(), backGroundColor_);
    if (wvfrmsArray().isEmpty())
        return;
    // Under the traces.
    if (drawOriginTimes_ && !eventOrigins_.isEmpty())
        drawOriginTimeMarkers();
    drawTheSeismograms();
    drawLabels();
    drawMinuteMarks();
}

void QVRRealTimeDisplayView02::drawTheSeismograms() {
    QPainter* painter = currentPainter();
    if (!painter)
        return;
    computeRects();
    painter->save();
    const QRectF plot = pRect();
    painter->setClipRect(plot);
    labelAttributes().color = gray();

    const seismogramList& seismograms = wvfrmsArray();
    const int count = int(seismograms.size());
    int n = 0;
    for (int i = 0; i < count; ++i)
        n = std::max(n, bandOf(i) + 1);
    const double band = plot.height() / n;
    const double sx = plot.width() / (double(xmax()) - xmin());
    const double sa = waveformGain_ * plot.height() / (double(ymax()) - ymin()) / n;
    const bool traces = usableScale(sx) && std::isfinite(sa);
    painter->setPen(QPen(drawingColor_, 1.0));
    painter->setBrush(Qt::NoBrush);
    setLabelFontSize(14);
    int labelled = -1; // the last band labelled
    QList<std::pair<QString, float>> labels;
    for (int i = 0; i < count; ++i) {
        const auto& seismogram = seismograms.at(i);
        if (!seismogram)
            continue;
        const int b = bandOf(i);
        const double centre = plot.y() + band / 2 + b * band;
        const double delta = seismogram->delta();
        if (traces && std::isfinite(delta) && delta > 0) {
            // From the last sample at or before xmin: the clip cuts the line at the edge.
            const double fromXmin = (double(xmin()) - seismogram->b()) / delta;
            if (fromXmin < seismogram->npts()) {
                const int k0 = fromXmin > 0 ? int(fromXmin) : 0;
                tracePath::sampleMapping m;
                m.x0 = (double(seismogram->b()) - xmin()) * sx + plot.x();
                m.dx = delta * sx;
                m.y0 = centre;
                m.dy = sa;
                painter->drawPolyline(tracePointsOf(i, k0, m, *painter, plot.left(), plot.right()));
            }
        }
        if (b == labelled)
            continue;
        labelled = b;
        labels.append({seismogram->labelString(), float(centre + band / 2 - 16)});
    }
    // Over every trace, each on a backing: a neighbour's large arrival does not hide it.
    for (const auto& [text, y] : labels) {
        if (originOnRight_)
            drawStringOnBacking(text, float(plot.x() + 6), y, 1, 1);
        else
            drawStringOnBacking(text, float(plot.right()), y, 3, 1);
    }
    painter->restore();
}

int QVRRealTimeDisplayView02::bandOf(int trace) const {
    // Bands out of order or out of range are the trace's own: a band never lies outside.
    if (traceBands_.size() != wvfrmsArray().size())
        return trace;
    return std::clamp(traceBands_.at(trace), 0, int(wvfrmsArray().size()) - 1);
}

QVRRealTimeDisplayView02::referenceTexts
QVRRealTimeDisplayView02::referenceDateTexts(const QDateTime& date) const {
    const QTimeZone utc = timeZones::utc();
    return {QVRDateFormatter(QStringLiteral("dd MMM, yyyy"), utc).stringFromDate(date),
            QVRDateFormatter(QStringLiteral("HH':'mm':'ss 'UTC'"), utc).stringFromDate(date),
            QVRDateFormatter(QStringLiteral("HH':'mm':'ss zzz"), timeZones::systemTimeZone())
                .stringFromDate(date)};
}

void QVRRealTimeDisplayView02::drawLabels() {
    QPainter* painter = currentPainter();
    if (!painter)
        return;
    const QRectF plot = pRect();
    const double top = plot.y() + plot.height();
    const float y0 = float(top + 18);
    const float referenceX = float(originOnRight_ ? plot.right() : plot.left());
    const referenceTexts texts = referenceDateTexts(shownRefDate());

    labelAttributes().color = gray();
    if (originOnRight_)
        drawString(texts.date, float(plot.left()), y0, 1, 1);
    else
        drawString(texts.date, float(plot.right()), y0, 2, 1);
    drawString(texts.utcTime, referenceX, y0 - 18, 2, 1);
    drawString(texts.localTime, referenceX, y0, 2, 1);
    labelAttributes().color = Qt::black;

    // Dots 3 points across, 7.1 points apart. Qt measures dashes in pen widths.
    QPen dotted(gray(), 3.0);
    dotted.setCapStyle(Qt::RoundCap);
    dotted.setDashPattern({0.1 / 3.0, 7.0 / 3.0});
    dotted.setDashOffset(0);
    painter->save();
    painter->setPen(dotted);
    painter->drawLine(QPointF(referenceX, top - 8), QPointF(referenceX, plot.y() + 32));
    painter->restore();

    setTitleColor(gray());
    drawTitleTopCentered();
    setTitleColor(Qt::black);
}

void QVRRealTimeDisplayView02::drawMinuteMarks() {
    QPainter* painter = currentPainter();
    if (!painter)
        return;
    const QRectF plot = pRect();
    const double seconds = double(xmax()) - xmin();
    const double minutes = seconds / 60;
    const int tickMinutes = minutes <= 180 ? 1 : 5;
    const int labelMinutes = minutes <= 180 ? 5 : 15;
    const double spacing = tickMinutes * 60 * (plot.width() / seconds);

    labelAttributes().color = gray();
    QPainterPath ticks;
    if (usableScale(spacing)) {
        // Positions are counted from the reference side rather than summed, and the far edge
        // is let in by a hair, so that the tick at the far edge is not lost to rounding.
        const double slack = 1e-6 * plot.width();
        int minute = 0, label = 0;
        for (int i = 0;; ++i) {
            const double x =
                originOnRight_ ? plot.right() - i * spacing : plot.left() + i * spacing;
            if (x < plot.left() - slack || x > plot.right() + slack)
                break;
            const bool labelled = minute % labelMinutes == 0;
            ticks.moveTo(x, plot.y());
            ticks.lineTo(x, plot.y() + (labelled ? 24 : 12));
            if (labelled) {
                drawString(QString::asprintf("%0d", label), float(x), float(plot.y() - 4), 2, 3);
                label += labelMinutes;
            }
            minute += tickMinutes;
        }
    }
    ticks.moveTo(plot.left(), plot.y());
    ticks.lineTo(plot.right(), plot.y());
    painter->strokePath(ticks, QPen(lightGray(), 1.0));
    drawString(QStringLiteral("Time (Minutes)"), float(plot.center().x()), float(bounds().y() + 36),
               2, 1);
    labelAttributes().color = Qt::black;
}

void QVRRealTimeDisplayView02::drawOriginTimeMarkers() {
    QPainter* painter = currentPainter();
    const QDateTime shown = shownRefDate();
    if (!painter || !shown.isValid())
        return;
    const QRectF plot = pRect();
    const double span = double(xmax()) - xmin(); // s
    if (!usableScale(plot.width() / span))
        return;
    // Seconds since 1970.
    const double reference = shown.toMSecsSinceEpoch() / 1000.0;
    const double start = originOnRight_ ? reference - span : reference;
    const double end = originOnRight_ ? reference : reference + span;
    const double top = plot.y() + plot.height();
    painter->save();
    for (const auto& earthquake : eventOrigins_) {
        if (!earthquake)
            continue;
        const QDateTime origin = earthquake->originTime();
        if (!origin.isValid())
            continue;
        const double t = origin.toMSecsSinceEpoch() / 1000.0;
        if (t < start || t > end)
            continue;
        const double x = (t - start) * plot.width() / span + plot.x();
        QPen pen(colorForMagnitude(earthquake->magnitude()), 2.0);
        pen.setCapStyle(Qt::RoundCap);
        painter->setPen(pen);
        painter->drawLine(QPointF(x, top - 6), QPointF(x, plot.y() + 32));
    }
    painter->restore();
}

QColor QVRRealTimeDisplayView02::colorForMagnitude(float magnitude) {
    if (magnitude < 5)
        return QColor::fromRgbF(1, 1, 0, 0.5);
    if (magnitude < 6)
        return QColor::fromRgbF(1, 0.5, 0, 0.5);
    return QColor::fromRgbF(1, 0, 0, 0.5);
}
