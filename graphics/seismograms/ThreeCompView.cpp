#include "ThreeCompView.h"

#include "axisLibrary.h"
#include "seismogramLimits.h"
#include "seismogramPicks.h"
#include "seismogramReadings.h"
#include "seismogramTexts.h"
#include "tracePath.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// Room above and below the panels, between them, and either side of them.
constexpr double verticalMargin = 48, panelGap = 6, leftMargin = 72, sideMargins = 144;
// How far below the component a comparison trace is drawn.
constexpr double comparisonOffset = 36;
// The header's distance below the top of the view.
constexpr double headerInset = 6;

QColor darkGray() {
    return QColor::fromRgbF(1.0 / 3.0, 1.0 / 3.0, 1.0 / 3.0);
}

QColor lightGray() {
    return QColor::fromRgbF(2.0 / 3.0, 2.0 / 3.0, 2.0 / 3.0);
}

} // namespace

QString ThreeCompView::eventHeader(const SacObject& s) {
    using namespace seismogramTexts;
    const QString origin = s.oTimeString();
    return s.flinnEngdahlGeographicRegion() + u'\n' +
           joined({origin.isEmpty() ? QString() : QStringLiteral("Origin Time:") + origin,
                   formatted("Depth:%3.0f", s.evdp())},
                  QStringLiteral(" / "));
}

QString ThreeCompView::stationHeader(const SacObject& s) {
    using namespace seismogramTexts;
    const QString codes = joined({defined(s.kstnm()), defined(s.knetwk())}, QStringLiteral("-"));
    return joined({codes.isEmpty() ? QString() : QStringLiteral("Station: ") + codes,
                   formatted("GCARC:%3.1f deg", s.gcarc()), formatted("AZ:%5.1f", s.azimuth()),
                   formatted("BAZ:%5.1f", s.backazimuth())},
                  QStringLiteral(" / "));
}

ThreeCompView::ThreeCompView(QWidget* parent)
    : QVRView(parent) {}

void ThreeCompView::setObservation(std::shared_ptr<const ThreeComponentObservation> observation) {
    anObs_ = std::move(observation);
}

const SacObject* ThreeCompView::getSeisWithIndex(int index) const {
    if (!anObs_)
        return nullptr;
    switch (index) {
    case 0:
        return anObs_->vertical();
    case 1:
        return anObs_->radial();
    case 2:
        return anObs_->transverse();
    case 3:
    case 4:
    case 5:
        return anObs_->comparison(index - 3);
    default:
        return nullptr;
    }
}

const SacObject* ThreeCompView::firstComponent() const {
    for (int i = 0; i < 3; ++i) {
        if (const SacObject* seismogram = getSeisWithIndex(i))
            return seismogram;
    }
    return nullptr;
}

void ThreeCompView::computeMaxAmplitude() {
    float largest = 0;
    for (int i = 0; i < 3; ++i) {
        if (const SacObject* seismogram = getSeisWithIndex(i))
            largest = std::max(largest, seismogram->absMax());
    }
    maxAmplitude_ = largest * 1.025f;
}

void ThreeCompView::computePlotLimits() {
    if (!firstComponent())
        return;
    const std::optional<seismogramLimits> limits = limitsOfSeismograms(
        {getSeisWithIndex(0), getSeisWithIndex(1), getSeisWithIndex(2)}, minYRange());
    if (!limits)
        return;
    // A fixed time range is a zoom, kept; the amplitude always spans the components.
    if (!_fixedXAxisRange())
        setXLimits(limits->earliest, limits->latest);
    setYLimits(limits->low, limits->high);
    pymin_ = limits->low;
    pymax_ = limits->high;
}

void ThreeCompView::computeRects() {
    const QRectF b = bounds();
    setPRect(QRectF(b.x() + leftMargin, verticalMargin, b.width() - sideMargins,
                    b.height() - 2 * verticalMargin));
    setIRect(pRect());
}

std::pair<float, float> ThreeCompView::wholeRecordXLimits() const {
    const std::optional<seismogramLimits> limits = limitsOfSeismograms(
        {getSeisWithIndex(0), getSeisWithIndex(1), getSeisWithIndex(2)}, minYRange());
    return limits ? std::pair{limits->earliest, limits->latest} : std::pair{xmin(), xmax()};
}

std::optional<seismogramReading> ThreeCompView::readingAt(QPointF viewPoint) const {
    if (!inIRect(viewPoint))
        return std::nullopt;
    const double t = dataPointForViewPoint(viewPoint).x();
    for (int i = 0; i < 3; ++i) {
        const SacObject* component = getSeisWithIndex(i);
        if (component && panelRect(bounds(), i).contains(viewPoint))
            return seismogramReadings::readingOf(*component, i, t);
    }
    return seismogramReading();
}

QRectF ThreeCompView::panelRect(const QRectF& bounds, int component) {
    const double height = (bounds.height() - 2 * verticalMargin - 2 * panelGap) / 3;
    const double topBottom = bounds.y() + bounds.height() - verticalMargin - height;
    return QRectF(bounds.x() + leftMargin, topBottom - component * (height + panelGap),
                  bounds.width() - sideMargins, height);
}

void ThreeCompView::drawRect(QPainter& painter, const QRectF&) {
    const QRectF b = bounds();
    painter.fillRect(b, Qt::white);
    painter.setPen(Qt::black);
    const SacObject* first = firstComponent();
    if (!first)
        return;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    setLabelFontSize(12);
    AInitGraphLib();
    const double x0 = b.x() + leftMargin, width = b.width() - sideMargins;
    computeRects();
    computePlotLimits();

    // The header: the event at the left, the station at the right, just below the top.
    const QString event = eventHeader(*first);
    const double lineHeight = labelAttributes().measure(QStringLiteral("Mg")).height();
    double y = b.y() + b.height() - headerInset;
    for (const QString& line : event.split(QLatin1Char('\n'))) {
        // An event with no region still keeps its origin time on the second line.
        if (!line.isEmpty())
            drawString(line, float(x0), float(y), 1, 3);
        y -= lineHeight;
    }
    const QString station = stationHeader(*first);
    drawString(station, float(x0 + width), float(b.y() + b.height() - headerInset), 3, 3);

    for (int i = 0; i < 3; ++i) {
        const SacObject* seismogram = getSeisWithIndex(i);
        if (!seismogram)
            continue;
        const QRectF rect = panelRect(b, i);
        const double middle = rect.y() + 0.5 * rect.height();
        painter.setPen(QPen(lightGray(), 1.0));
        painter.drawLine(QPointF(rect.left(), middle), QPointF(rect.right(), middle));
        painter.setPen(QPen(Qt::black, 1.0));
        drawSeis(rect, seismogram);
        drawPicks(rect, seismogram);
        if (opComparison_) {
            if (const SacObject* comparison = getSeisWithIndex(i + 3)) {
                painter.setPen(QPen(Qt::red, 1.0));
                useAltScale_ = true;
                drawSeis(rect.translated(0, -comparisonOffset), comparison);
                useAltScale_ = false;
                painter.setPen(QPen(Qt::black, 1.0));
            }
        }
        drawLabelForSeis(rect, seismogram);
    }

    xAxisPath()->clear();
    ASetPath(xAxisPath().get());
    ASetTickLabelAttributes(&labelAttributes());
    // Top and bottom both on the lowest panel's bottom edge: one line of ticks under the
    // panels, and no frame line through the header.
    ASetAxisRect(float(iRect().left()), float(iRect().right()), float(iRect().y()),
                 float(iRect().y()));
    ASetLineWidth(0.75f);
    setXLabelString(QStringLiteral("Time (s)"));
    setLabelFontSize(18);
    ASetFontSize(18);
    qstrncpy(xLabel(), "Time (s)", xLabelSize);
    ADrawAxis(xmin(), xmax(), xLabel(), 1, 3, 0, 2);
    painter.strokePath(*xAxisPath(), QPen(Qt::black, xAxisPath()->lineWidth()));
    painter.restore();
}

void ThreeCompView::drawSeis(const QRectF& rect, const SacObject* seismogram) {
    QPainter* painter = currentPainter();
    if (!painter || !seismogram || !seismogram->GetSacSeis() || !(seismogram->delta() > 0))
        return;
    double amplitudeRange = useAltScale_ ? double(pymax_) - pymin_ : double(ymax()) - ymin();
    if (selfScaled_)
        amplitudeRange = 2.0 * seismogram->absMax();
    const double sx = rect.width() / (double(xmax()) - xmin());
    // A zero trace scaled to itself, or limits never computed, give no scale.
    if (!std::isfinite(sx) || !(sx > 0) || !std::isfinite(amplitudeRange) || !(amplitudeRange > 0))
        return;
    const double delta = seismogram->delta();
    const int count = seismogram->npts();
    const double first = std::max(0.0, std::trunc((double(xmin()) - seismogram->b()) / delta));
    // One past the first sample at or after xmax, so that the line reaches the panel's edge,
    // and never past the samples.
    const double end =
        std::min(double(count), std::ceil((double(xmax()) - seismogram->b()) / delta) + 1);
    if (!(first < end))
        return;
    tracePath::sampleMapping m;
    m.x0 = rect.x() + sx * (double(seismogram->b()) - xmin());
    m.dx = sx * delta;
    m.y0 = rect.y() + 0.5 * rect.height();
    m.dy = rect.height() / amplitudeRange;
    const QPolygonF points = tracePath::tracePoints(seismogram->GetSacSeis(), int(end), int(first),
                                                    m, *painter, rect.left(), rect.right());
    painter->save();
    // Half a line's width beyond the panel: a trace scaled to its panel touches its edges.
    painter->setClipRect(rect.adjusted(-0.5, -0.5, 0.5, 0.5), Qt::IntersectClip);
    painter->setBrush(Qt::NoBrush);
    painter->drawPolyline(points);
    painter->restore();
}

void ThreeCompView::drawLabelForSeis(const QRectF& rect, const SacObject* seismogram) {
    if (!seismogram)
        return;
    const float x = float(rect.x() + rect.width() - 4);
    const float y = float(rect.y() + rect.height() + 12);
    drawStringOnBacking(seismogramTexts::defined(seismogram->kcmpnm()), x, y, 3, 3);
    if (showMaxAmplitude_)
        drawStringOnBacking(QString::asprintf("%9.3e", double(seismogram->absMax())), x, y - 12, 3,
                            3);
}

void ThreeCompView::drawPicks(const QRectF& rect, const SacObject* seismogram) {
    QPainter* painter = currentPainter();
    if (!painter || !seismogram)
        return;
    // An unset pick is never drawn, even where the limits happen to reach −12345.
    for (const pickMark& mark : pickMarksOf(*seismogram)) {
        if (!(mark.time >= xmin() && mark.time <= xmax()))
            continue;
        painter->save();
        painter->setPen(QPen(mark.origin ? QColor(Qt::blue) : darkGray(), 1.0));
        drawPickForRect(rect, mark.time);
        painter->restore();
        drawPickLabelForRect(rect, mark.label, mark.time);
    }
}

void ThreeCompView::drawPickForRect(const QRectF& rect, float time) {
    QPainter* painter = currentPainter();
    const double sx = rect.width() / (double(xmax()) - xmin());
    if (!painter || !std::isfinite(sx) || !(sx > 0))
        return;
    const double x = rect.x() + (double(time) - xmin()) * sx;
    painter->drawLine(QPointF(x, rect.y() + 0.2 * rect.height()),
                      QPointF(x, rect.y() + 0.8 * rect.height()));
}

void ThreeCompView::drawPickLabelForRect(const QRectF& rect, const QString& label, float time) {
    const double sx = rect.width() / (double(xmax()) - xmin());
    if (!std::isfinite(sx) || !(sx > 0))
        return;
    // The label size of the platform's controls, for this label only.
    const QFont kept = labelAttributes().font;
    setLabelFontSize(10);
    drawString(label, float(rect.x() + (double(time) - xmin()) * sx),
               float(rect.y() + rect.height() - 8), 2, 1);
    labelAttributes().font = kept;
}
