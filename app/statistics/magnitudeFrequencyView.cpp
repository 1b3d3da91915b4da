#include "magnitudeFrequencyView.h"

#include "axisLibrary.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

magnitudeFrequencyView::magnitudeFrequencyView(QWidget* parent)
    : QVRView(parent) {
    setXLabelString(QStringLiteral("Magnitude"));
    setYLabelString(QStringLiteral("log₁₀ N(≥ M)"));
    setLabelFontSize(14); // as the histograms beside it
    chooseLimits();
}

void magnitudeFrequencyView::setMagnitudes(const std::vector<double>& magnitudes) {
    curve_ = seismicityStatistics::cumulativeCounts(magnitudes);
    statistics_ = seismicityStatistics::ofMagnitudes(magnitudes);
    chooseLimits();
    update();
}

void magnitudeFrequencyView::chooseLimits() {
    if (curve_.empty()) {
        setXLimits(0, 1);
        setYLimits(0, 1);
        return;
    }
    // Half a bin beyond the outer points, so that none sits on the frame; whole decades up the
    // y axis with room above the total count for the figures.
    const double low = curve_.front().magnitude - 0.15, high = curve_.back().magnitude + 0.15;
    setXLimits(float(std::floor(low * 10) / 10), float(std::ceil(high * 10) / 10));
    const double top = std::log10(double(curve_.front().count));
    setYLimits(0, float(std::floor(top) + 1));
}

void magnitudeFrequencyView::computeRects() {
    const QRectF b = bounds();
    setPRect(QRectF(b.x() + 4, b.y() + 4, b.width() - 8, b.height() - 8));
    // Room on the left for the tick labels and the turned title, below for the x title.
    setIRect(QRectF(b.x() + 80, b.y() + 60, std::max(1.0, b.width() - 100),
                    std::max(1.0, b.height() - 80)));
}

QPointF magnitudeFrequencyView::viewPointForDataPoint(double magnitude, double log10Count) const {
    const QRectF& r = iRect();
    return QPointF(r.x() + (magnitude - xmin()) * (r.width() / (double(xmax()) - xmin())),
                   r.y() + (log10Count - ymin()) * (r.height() / (double(ymax()) - ymin())));
}

QStringList magnitudeFrequencyView::figureLines() const {
    const seismicityStatistics& s = statistics_;
    auto fixed = [](double v, int decimals) {
        return std::isfinite(v) ? QString::number(v, 'f', decimals) : QStringLiteral("–");
    };
    QStringList lines{
        QStringLiteral("Mc %1").arg(fixed(s.mc(), 1)),
        QStringLiteral("b %1 ± %2").arg(fixed(s.b(), 2), fixed(s.bError(), 2)),
        QStringLiteral("a %1").arg(fixed(s.a(), 2)),
        QStringLiteral("n %1 of %2").arg(s.nAboveMc()).arg(s.events()),
    };
    if (s.tooFewEvents())
        lines << QStringLiteral("too few events");
    return lines;
}

void magnitudeFrequencyView::drawRect(QPainter& painter, const QRectF&) {
    computeRects();
    painter.fillRect(bounds(), Qt::white);
    painter.save();
    drawAxes(painter);
    if (curve_.empty()) {
        drawString(QStringLiteral("No magnitudes"), float(iRect().center().x()),
                   float(iRect().center().y()), 2, 2);
        painter.restore();
        return;
    }

    painter.setRenderHint(QPainter::Antialiasing, true);
    // The line runs on below the single largest events, so it is cut at the frame; the points
    // are not, so that those of single events show whole on the axis.
    painter.setClipRect(iRect());
    drawFittedLine(painter);
    painter.setClipping(false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const auto& point : curve_) {
        // Every point of the curve has at least the largest event above it, so count > 0.
        const QPointF at = viewPointForDataPoint(point.magnitude, std::log10(double(point.count)));
        painter.drawEllipse(at, 2.5, 2.5);
    }

    const QStringList lines = figureLines();
    const double lineHeight = labelAttributes().measure(lines.first()).height();
    float y = float(iRect().bottom() - 6);
    for (const QString& line : lines) {
        drawString(line, float(iRect().right() - 8), y, 3, 3);
        y -= float(lineHeight);
    }
    painter.restore();
}

void magnitudeFrequencyView::drawAxes(QPainter& painter) {
    const QRectF& r = iRect();
    xAxisPath()->clear();
    AInitGraphLib();
    ASetFontSize(labelAttributes().font.pixelSize());
    ASetPath(xAxisPath().get());
    ASetTickLabelAttributes(&labelAttributes());
    ASetAxisRect(float(r.left()), float(r.right()), float(r.bottom()), float(r.top()));
    ASetLineWidth(0.75f);
    qstrncpy(xLabel(), qPrintable(xLabelString()), xLabelSize);
    // The y title has characters outside Latin-1, so it is drawn here rather than by the axis.
    char noTitle[2] = {};
    ADrawAxis(xmin(), xmax(), xLabel(), 1, 3, 0, 2);
    ADrawAxis(ymin(), ymax(), noTitle, 2, 1, 0, 2);
    painter.strokePath(*xAxisPath(), QPen(Qt::black, xAxisPath()->lineWidth()));
    drawRotatedString(yLabelString(), float(r.left() - 60), float(r.center().y()), 1, 2, 90);
}

void magnitudeFrequencyView::drawFittedLine(QPainter& painter) {
    const seismicityStatistics& s = statistics_;
    if (!std::isfinite(s.b()) || !std::isfinite(s.a()))
        return;
    const double from = s.mc(), to = curve_.back().magnitude;
    painter.setPen(QPen(QColor::fromRgbF(0.85, 0.1, 0.1), 1.5));
    painter.drawLine(viewPointForDataPoint(from, s.fittedLog10Count(from)),
                     viewPointForDataPoint(to, s.fittedLog10Count(to)));
    // Mc marked across the plot, thin and dashed, so the fitted range reads at a glance.
    QPen dashed(QColor::fromRgbF(0.4, 0.4, 0.4), 0.75, Qt::DashLine);
    painter.setPen(dashed);
    painter.drawLine(viewPointForDataPoint(from, ymin()), viewPointForDataPoint(from, ymax()));
}
