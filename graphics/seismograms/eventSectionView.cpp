#include "eventSectionView.h"

#include "QVRTextDrawing.h"
#include "axisLibrary.h"
#include "earthModel.h"
#include "seismogramColors.h"
#include "seismogramPicks.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QLoggingCategory>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcEventSection, "qvr.seismograms.section")

namespace {

constexpr double leftMargin = 70, rightMargin = 100, bottomMargin = 56, topMargin = 64;
// The great-circle distances of the program count a degree as 111.19 km (a sphere of 6371 km).
constexpr double kilometresPerDegree = 111.19;
// Distances closer than this (°) share a band.
constexpr double sameDistance = 1e-4;
// The curves' distance step (°) where the section is narrow, and the most distances a section
// asks the calculator for.
constexpr double finestCurveStep = 0.25;
constexpr int mostCurveDistances = 181;

using seismogramColors::darkGray;
using seismogramColors::lightGray;

QColor pickColor() {
    return QColor::fromRgbF(0.75, 0.0, 0.0);
}

// The chosen phases' colours in the order chosen: the Okabe–Ito colours, which stay apart
// with colour-vision deficiencies (blue, vermillion, sky blue, orange, bluish green, reddish
// purple, then black's stand-in, dark grey).
QColor phaseColor(int order) {
    static const QColor colors[] = {QColor(0, 114, 178), QColor(213, 94, 0),  QColor(86, 180, 233),
                                    QColor(230, 159, 0), QColor(0, 158, 115), QColor(204, 121, 167),
                                    QColor(85, 85, 85)};
    return colors[std::max(order, 0) % int(std::size(colors))];
}

bool usableLimits(float low, float high) {
    return std::isfinite(low) && std::isfinite(high) && high > low;
}

// The axis library takes its titles as Latin-1 C strings in the view's scratch buffer.
void copyTitle(char* buffer, const QString& title) {
    qstrncpy(buffer, title.toLatin1().constData(), QVRView::xLabelSize);
}

// Where the segment from `inside` to `outside` crosses the edge of `rect`.
QPointF exitPoint(const QRectF& rect, QPointF inside, QPointF outside) {
    double t = 1;
    const QPointF d = outside - inside;
    if (d.x() > 0 && outside.x() > rect.right())
        t = std::min(t, (rect.right() - inside.x()) / d.x());
    if (d.x() < 0 && outside.x() < rect.left())
        t = std::min(t, (rect.left() - inside.x()) / d.x());
    if (d.y() > 0 && outside.y() > rect.bottom())
        t = std::min(t, (rect.bottom() - inside.y()) / d.y());
    if (d.y() < 0 && outside.y() < rect.top())
        t = std::min(t, (rect.top() - inside.y()) / d.y());
    return inside + t * d;
}

bool overlapsAny(const QRectF& box, const QList<QRectF>& boxes) {
    return std::any_of(boxes.begin(), boxes.end(),
                       [&box](const QRectF& other) { return other.intersects(box); });
}

} // namespace

eventSectionView::eventSectionView(QWidget* parent)
    : QVRView(parent)
    , phases_(defaultPhases())
    , modelName_(QStringLiteral("ak135")) {}

eventSectionView::~eventSectionView() = default;

QStringList eventSectionView::defaultPhases() {
    return {QStringLiteral("P"),  QStringLiteral("S"),     QStringLiteral("PP"),
            QStringLiteral("SS"), QStringLiteral("PKIKP"), QStringLiteral("SKS")};
}

void eventSectionView::setWvfrmsArray(const seismogramList& seismograms) {
    wvfrmsArray_ = seismograms;
    traces_.clear();
    for (int i = 0; i < seismograms.size(); ++i) {
        QVRResult<eventSectionTrace> trace = eventSectionTrace::of(seismograms.at(i), i);
        if (trace) {
            traces_.push_back(std::move(trace).value());
            continue;
        }
        const SacObject* s = seismograms.at(i).get();
        const QString name = !s                    ? QStringLiteral("#%1").arg(i + 1)
                             : s->path().isEmpty() ? s->streamId()
                                                   : QFileInfo(s->path()).fileName();
        qCWarning(lcEventSection).noquote()
            << QStringLiteral("The event record section leaves out %1: %2")
                   .arg(name, trace.error());
    }
    std::stable_sort(traces_.begin(), traces_.end(),
                     [](const auto& a, const auto& b) { return a.distance < b.distance; });

    // Bands halfway to the next distinct distances; the outermost reach the plot's edges.
    std::vector<double> distances;
    for (const auto& trace : traces_) {
        if (distances.empty() || trace.distance - distances.back() > sameDistance)
            distances.push_back(trace.distance);
    }
    spacing_ = distances.size() > 1
                   ? (distances.back() - distances.front()) / double(distances.size() - 1)
                   : 1.0;
    if (!distances.empty()) {
        double low = std::max(0.0, distances.front() - spacing_ / 2);
        double high = std::min(180.0, distances.back() + spacing_ / 2);
        if (!(high - low > sameDistance)) {
            low = distances.front() - 0.5;
            high = distances.front() + 0.5;
        }
        distanceLimits_ = {low, high};
    } else {
        distanceLimits_ = {0, 1};
    }
    bands_.clear();
    for (const auto& trace : traces_) {
        const auto at =
            std::lower_bound(distances.begin(), distances.end(), trace.distance - sameDistance);
        const double low = at == distances.begin() ? distanceLimits_.first : (*(at - 1) + *at) / 2;
        const double high =
            at + 1 == distances.end() ? distanceLimits_.second : (*at + *(at + 1)) / 2;
        bands_.emplace_back(low, high);
    }
    keptPoints_.assign(traces_.size(), keptTracePoints());
    traceLayer_.drop();
    setYLimits(float(distanceLimits_.first), float(distanceLimits_.second));
    const auto [first, last] = wholeRecordXLimits();
    setXLimits(first, last);
}

std::pair<double, double> eventSectionView::bandOf(int index) const {
    return bands_.at(std::size_t(index));
}

void eventSectionView::setGain(float gain) {
    gain_ = std::isfinite(gain) ? std::max(gain, 0.0f) : 0.0f;
}

void eventSectionView::setReductionVelocity(float kmPerSecond) {
    reductionVelocity_ = std::isfinite(kmPerSecond) ? std::max(kmPerSecond, 0.0f) : 0.0f;
    // The time axis means something else now.
    const auto [first, last] = wholeRecordXLimits();
    setXLimits(first, last);
}

// --- layout and mapping

QRectF eventSectionView::plotRect() const {
    const QRectF b = bounds();
    return QRectF(leftMargin, bottomMargin, std::max(0.0, b.width() - leftMargin - rightMargin),
                  std::max(0.0, b.height() - bottomMargin - topMargin));
}

void eventSectionView::computeRects() {
    setPRect(plotRect());
    setIRect(pRect());
}

double eventSectionView::xForTime(double time) const {
    const QRectF plot = plotRect();
    return plot.x() + (time - xmin()) * plot.width() / (double(xmax()) - xmin());
}

double eventSectionView::timeForX(double x) const {
    const QRectF plot = plotRect();
    return xmin() + (x - plot.x()) * (double(xmax()) - xmin()) / plot.width();
}

double eventSectionView::yForDistance(double degrees) const {
    const QRectF plot = plotRect();
    return plot.y() + (degrees - ymin()) * plot.height() / (double(ymax()) - ymin());
}

double eventSectionView::distanceForY(double y) const {
    const QRectF plot = plotRect();
    return ymin() + (y - plot.y()) * (double(ymax()) - ymin()) / plot.height();
}

double eventSectionView::reductionOf(int index) const {
    return reductionVelocity_ > 0
               ? traces_.at(std::size_t(index)).distance * kilometresPerDegree / reductionVelocity_
               : 0.0;
}

int eventSectionView::traceAtY(double y) const {
    const double distance = distanceForY(y);
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        if (distance >= bands_[i].first && distance <= bands_[i].second)
            return int(i);
    }
    return -1;
}

double eventSectionView::timeUnit() const {
    return double(xmax()) - xmin() > longestInSeconds ? 60.0 : 1.0;
}

QString eventSectionView::timeAxisTitle() const {
    const QString unit = timeUnit() > 1 ? QStringLiteral("min") : QStringLiteral("s");
    if (reductionVelocity_ > 0)
        return QStringLiteral("Time - distance/%1 km/s (%2)")
            .arg(QString::number(reductionVelocity_, 'g', 4), unit);
    return QStringLiteral("Time (%1)").arg(unit);
}

// --- the cursor's questions

std::pair<float, float> eventSectionView::wholeRecordXLimits() const {
    double first = 0, last = 0;
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        const eventSectionTrace& trace = traces_[i];
        const double shift = reductionOf(int(i));
        const double begin = trace.timeOfSample(0) - shift;
        const double end = trace.timeOfSample(trace.seismogram->npts() - 1) - shift;
        first = i == 0 ? begin : std::min(first, begin);
        last = i == 0 ? end : std::max(last, end);
    }
    if (!(last > first))
        last = first + 1;
    return {float(first), float(last)};
}

std::optional<seismogramReading> eventSectionView::readingAt(QPointF viewPoint) const {
    if (!plotRect().contains(viewPoint) || !usableLimits(xmin(), xmax()))
        return std::nullopt;
    const int index = traceAtY(viewPoint.y());
    if (index < 0)
        return std::nullopt;
    const eventSectionTrace& trace = traces_.at(std::size_t(index));
    const double seconds = timeForX(viewPoint.x()) + reductionOf(index);
    seismogramReading reading;
    reading.secondsAfterOrigin = seconds;
    const QDateTime origin = trace.originTime();
    if (origin.isValid())
        reading.utc = origin.addMSecs(std::llround(seconds * 1000.0));
    const int sample = trace.sampleAt(seconds);
    if (sample >= 0)
        reading.amplitude = double(trace.seismogram->GetSacSeis()[sample]);
    reading.units = QStringLiteral("Counts");
    reading.traceIndex = trace.index;
    return reading;
}

bool eventSectionView::pickAt(QPointF viewPoint, const QString& phase) {
    if (!plotRect().contains(viewPoint) || !usableLimits(xmin(), xmax()))
        return false;
    const int index = traceAtY(viewPoint.y());
    if (index < 0)
        return false;
    SacObject& seismogram = *traces_.at(std::size_t(index)).seismogram;
    // Picks count from the file's reference time, as its begin does.
    const double afterOrigin = timeForX(viewPoint.x()) + reductionOf(index);
    if (!setUserPick(seismogram, phase, float(afterOrigin + seismogram.originTimeOffset())))
        return false;
    update();
    return true;
}

// --- drawing

void eventSectionView::drawRect(QPainter& painter, const QRectF&) {
    painter.fillRect(bounds(), Qt::white);
    strokeBounds();
    computeRects();
    const QRectF plot = pRect();
    if (traces_.empty()) {
        labelAttributes() = QVRTextAttributes::helvetica(12, darkGray());
        drawString(QStringLiteral("No seismogram with an event and an origin time to show"),
                   float(plot.center().x()), float(plot.center().y()), 2, 2);
        return;
    }
    if (plot.width() < 1 || plot.height() < 1)
        return;
    // A section always shows all of its distances; the time axis is the caller's.
    setYLimits(float(distanceLimits_.first), float(distanceLimits_.second));
    if (!usableLimits(xmin(), xmax())) {
        const auto [first, last] = wholeRecordXLimits();
        setXLimits(first, last);
    }
    painter.save();
    if (showZeroLine_) {
        QPen dots(lightGray(), 1.0);
        dots.setCapStyle(Qt::RoundCap);
        dots.setDashPattern({0.01, 2.5});
        painter.setPen(dots);
        for (const auto& trace : traces_) {
            const double y = yForDistance(trace.distance);
            painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        }
    }
    drawTraces(painter);
    QList<QRectF> labelBoxes;
    drawCurves(painter, labelBoxes);
    drawPicks(painter);
    drawAxes(painter);
    drawStationLabels();
    drawEventLine();
    painter.restore();
}

void eventSectionView::drawTraces(QPainter& painter) {
    const QRectF plot = pRect();
    const double sx = plot.width() / (double(xmax()) - xmin());
    const double sy = plot.height() / (double(ymax()) - ymin());
    bool unchanged = true;
    std::vector<const QPolygonF*> points;
    points.reserve(traces_.size());
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        const eventSectionTrace& trace = traces_[i];
        // Degrees of distance a unit of amplitude; a silent trace stays on its line.
        const double degrees = trace.peak > 0 ? double(gain_) * spacing_ / trace.peak : 0.0;
        tracePath::sampleMapping m;
        m.x0 = xForTime(trace.beginAfterOrigin - reductionOf(int(i)));
        m.dx = double(trace.seismogram->delta()) * sx;
        m.dy = degrees * sy;
        m.y0 = yForDistance(trace.distance) - trace.mean * m.dy;
        points.push_back(&keptPoints_[i].pointsOf(*trace.seismogram, 0, m, painter, plot.left(),
                                                  plot.right(), unchanged));
    }

    if (!keptTraceLayer::serves(painter)) {
        strokeTraces(painter, points);
        return;
    }
    traceLayer_.layOn(painter, unchanged,
                      [this, &points](QPainter& layer) { strokeTraces(layer, points); });
}

void eventSectionView::strokeTraces(QPainter& painter,
                                    const std::vector<const QPolygonF*>& points) const {
    const QRectF plot = pRect();
    painter.save();
    painter.setPen(QPen(Qt::black, 1.0));
    painter.setBrush(Qt::NoBrush);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double low = yForDistance(bands_[i].first), high = yForDistance(bands_[i].second);
        painter.setClipRect(QRectF(plot.left(), low, plot.width(), high - low));
        painter.drawPolyline(*points[i]);
    }
    painter.restore();
}

void eventSectionView::updateCurves() {
    const SacObject& event = *traces_.front().seismogram;
    const float evdp = event.evdp();
    // A depth the header leaves unset is taken at the surface; a few hundred metres above sea
    // level count as the surface too.
    const double depth =
        evdp == SacHeader::undefinedValue || (evdp < 0 && evdp > -10) ? 0.0 : double(evdp);
    const curveInputs inputs{modelName_, phases_, depth, double(ymin()), double(ymax())};
    if (curvesFor_ == inputs)
        return;
    curvesFor_ = inputs;
    curves_.clear();
    if (!calculator_ || calculator_->model().name() != modelName_) {
        calculator_.reset();
        if (const earthModel* model = earthModel::named(modelName_))
            calculator_.emplace(*model);
    }
    if (!calculator_) {
        qCWarning(lcEventSection).noquote()
            << QStringLiteral("The event record section has no Earth model \"%1\"; it draws no "
                              "travel-time curves")
                   .arg(modelName_);
        return;
    }
    if (!(depth >= 0 && depth <= travelTimeCalculator::maximumDepth)) {
        qCWarning(lcEventSection).noquote()
            << QStringLiteral("The event's depth, %1 km, is outside the travel-time model; the "
                              "event record section draws no travel-time curves")
                   .arg(depth);
        return;
    }
    const double from = std::max(0.0, inputs.from), to = std::min(180.0, inputs.to);
    const int distances =
        std::clamp(int(std::ceil((to - from) / finestCurveStep)) + 1, 2, mostCurveDistances);
    curves_ = travelTimeCurves::branches(*calculator_, depth, from, to, phases_, distances);
}

void eventSectionView::drawCurves(QPainter& painter, QList<QRectF>& labelBoxes) {
    updateCurves();
    const QRectF plot = pRect();
    const double shift = reductionVelocity_ > 0 ? kilometresPerDegree / reductionVelocity_ : 0.0;
    // Each phase is named once, where its curve reaching farthest in the plot ends there or
    // leaves it (followed outward in distance); the upgoing legs and the short branches of a
    // triplication go unnamed.
    struct name {
        QPointF end;
        bool found = false;
    };
    std::vector<name> names(std::size_t(phases_.size()));
    painter.save();
    painter.setClipRect(plot);
    painter.setBrush(Qt::NoBrush);
    for (const travelTimeBranch& branch : curves_) {
        const qsizetype order = phases_.indexOf(branch.phase);
        QPolygonF line;
        line.reserve(qsizetype(branch.points.size()));
        for (const QPointF& p : branch.points)
            line.append(QPointF(xForTime(p.y() - p.x() * shift), yForDistance(p.x())));
        painter.setPen(QPen(phaseColor(int(order)), 1.25));
        painter.drawPolyline(line);
        if (order < 0 || branch.rays != branch.phase)
            continue;
        for (qsizetype k = line.size() - 1; k >= 0; --k) {
            if (!plot.contains(line.at(k)))
                continue;
            const QPointF end =
                k + 1 < line.size() ? exitPoint(plot, line.at(k), line.at(k + 1)) : line.at(k);
            name& n = names[std::size_t(order)];
            if (!n.found || end.y() > n.end.y())
                n = {end, true};
            break;
        }
    }
    painter.restore();

    // Above the plot where the curve meets its top edge, in the first of two rows with room;
    // elsewhere inside the plot beside the edge or the curve's end, on a white backing.
    // (Rectangles are y up: their top() is the lower edge.)
    const double plotTop = plot.y() + plot.height();
    constexpr float points = 10;
    const QVRTextAttributes attributes = QVRTextAttributes::helvetica(points);
    for (qsizetype order = 0; order < phases_.size(); ++order) {
        const name& n = names[std::size_t(order)];
        if (!n.found)
            continue;
        const QString& text = phases_.at(order);
        const QColor color = phaseColor(int(order));
        const QSizeF size = attributes.measure(text);
        if (n.end.y() >= plotTop - 0.5) {
            const double x = std::max(
                plot.left(), std::min(n.end.x() - size.width() / 2, plot.right() - size.width()));
            for (int row = 0; row < 2; ++row) {
                const QRectF box(QPointF(x, plotTop + 2 + row * size.height()), size);
                if (!overlapsAny(box, labelBoxes)) {
                    drawLabel(text, box, color, points, false);
                    labelBoxes.append(box);
                    break;
                }
            }
            continue;
        }
        double x = n.end.x() + 3;
        if (n.end.x() >= plot.right() - 0.5 || x + size.width() > plot.right() - 2)
            x = std::min(n.end.x(), plot.right()) - 3 - size.width();
        const double y = std::max(
            plot.y() + 2, std::min(n.end.y() - size.height() / 2, plotTop - 2 - size.height()));
        const QRectF box(QPointF(std::max(x, plot.left() + 2), y), size);
        if (!overlapsAny(box, labelBoxes)) {
            drawLabel(text, box, color, points, true);
            labelBoxes.append(box);
        }
    }
}

void eventSectionView::drawLabel(const QString& text, const QRectF& box, const QColor& color,
                                 float points, bool backing) {
    if (backing)
        currentPainter()->fillRect(box, Qt::white);
    labelAttributes() = QVRTextAttributes::helvetica(points, color);
    drawString(text, float(box.left()), float(box.top()), 1, 1);
}

void eventSectionView::drawPicks(QPainter& painter) {
    const QRectF plot = pRect();
    painter.save();
    painter.setClipRect(plot);
    painter.setPen(QPen(pickColor(), 1.0));
    labelAttributes() = QVRTextAttributes::helvetica(9, pickColor());
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        const SacObject& s = *traces_[i].seismogram;
        // A mark from the trace's line three quarters of the way up its band, named at its top.
        const double line = yForDistance(traces_[i].distance);
        const double top = line + 0.75 * (yForDistance(bands_[i].second) - line);
        for (int key = 0; key <= 9; ++key) {
            const float pick = s.timePickKey(key);
            if (pick == SacHeader::undefinedValue || !std::isfinite(pick))
                continue;
            const double x =
                xForTime(double(pick) - double(s.originTimeOffset()) - reductionOf(int(i)));
            if (x < plot.left() || x > plot.right())
                continue;
            painter.drawLine(QPointF(x, line), QPointF(x, top));
            drawString(timePickLabel(s, key), float(x + 2), float(top), 1, 3);
        }
    }
    painter.restore();
}

void eventSectionView::drawAxes(QPainter& painter) {
    const QRectF plot = pRect();
    painter.setPen(QPen(Qt::black, 0.75));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);

    const QVRTextAttributes ticks = QVRTextAttributes::helvetica(12, darkGray());
    const double unit = timeUnit();
    xAxisPath()->clear();
    AInitGraphLib();
    ASetPath(xAxisPath().get());
    ASetTickLabelAttributes(&ticks);
    ASetAxisRect(float(plot.left()), float(plot.right()), float(plot.y() + plot.height()),
                 float(plot.y()));
    ASetLineWidth(0.75f);
    copyTitle(xLabel(), timeAxisTitle());
    ADrawAxis(float(xmin() / unit), float(xmax() / unit), xLabel(), 1, 3, 0, 2);
    // The distance axis is titled along its side, clear of the phase names above the plot.
    copyTitle(xLabel(), QString());
    ADrawAxis(ymin(), ymax(), xLabel(), 2, 1, 0, 2);
    painter.strokePath(*xAxisPath(), QPen(Qt::black, xAxisPath()->lineWidth()));

    labelAttributes() = ticks;
    // Turned a quarter counter-clockwise, the text's box lies left of its anchor.
    drawRotatedString(QStringLiteral("Distance (°)"), float(plot.left() - 42),
                      float(plot.center().y()), 1, 2, 90);
}

void eventSectionView::drawStationLabels() {
    const QRectF plot = pRect();
    labelAttributes() = QVRTextAttributes::helvetica(10);
    const QFontMetricsF metrics(labelAttributes().font);
    const double room = rightMargin - 10;
    // Nearest first, each centred on its distance, or pushed up clear of the one below as long
    // as it stays beside its own band; a label that cannot is left out.
    double free = -1e30;
    for (std::size_t i = 0; i < traces_.size(); ++i) {
        const QString text = metrics.elidedText(traces_[i].label, Qt::ElideRight, room);
        const double height = labelAttributes().measure(text).height();
        const double bottom = std::max(yForDistance(traces_[i].distance) - height / 2, free);
        if (bottom + height / 2 > yForDistance(bands_[i].second) + 0.5)
            continue;
        drawString(text, float(plot.right() + 6), float(bottom), 1, 1);
        free = bottom + height;
    }
}

void eventSectionView::drawEventLine() {
    const SacObject& event = *traces_.front().seismogram;
    QStringList parts;
    const QString region = event.flinnEngdahlGeographicRegion();
    if (!region.isEmpty())
        parts << region;
    const QString origin = event.oTimeString();
    if (!origin.isEmpty())
        parts << origin + QStringLiteral(" UTC");
    const float evdp = event.evdp();
    parts << (evdp == SacHeader::undefinedValue
                  ? QStringLiteral("depth unknown, 0 km taken")
                  : QStringLiteral("depth %1 km").arg(QString::number(evdp, 'f', 1)));
    parts << modelName_;
    labelAttributes() = QVRTextAttributes::helvetica(11, darkGray());
    const QFontMetricsF metrics(labelAttributes().font);
    const QRectF b = bounds();
    drawString(metrics.elidedText(parts.join(QStringLiteral(", ")), Qt::ElideRight,
                                  b.width() - leftMargin - 10),
               float(leftMargin), float(b.top() + b.height() - 6), 1, 3);
}
