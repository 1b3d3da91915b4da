#include "spectrogramView.h"

#include "SacHeader.h"
#include "axisLibrary.h"
#include "perceptualColorScale.h"
#include "tracePath.h"

#include <QAction>
#include <QMenu>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// Points around the panels: the frequency labels and title on the left, the colour bar with
// its labels and title on the right, the time labels and title below, the title line above.
constexpr double leftMargin = 74, rightMargin = 104, bottomMargin = 50, topMargin = 32;
constexpr double panelGap = 10, barGap = 14, barWidth = 16;
constexpr double traceShare = 0.22; // of the height the two panels share
constexpr double lowestPercentile = 0.05;
constexpr float widestPowerRange = 120.0f; // dB
const QColor outsideRecord(235, 235, 235);

bool isDefined(float value) {
    return value != SacHeader::undefinedValue && std::isfinite(value);
}

// The colour of every power level the picture can show, from the bottom of the scale up.
const std::array<QRgb, 256>& colourLevels() {
    static const std::array<QRgb, 256> levels = [] {
        std::array<QRgb, 256> l{};
        for (size_t i = 0; i < l.size(); ++i)
            l[i] = perceptualColorScale::colourAt(double(i) / (l.size() - 1));
        return l;
    }();
    return levels;
}

} // namespace

spectrogramView::spectrogramView(QWidget* parent)
    : QVRView(parent) {
    QAction* logarithmic =
        contextualMenu()->addAction(QStringLiteral("Logarithmic Frequency Axis"));
    logarithmic->setCheckable(true);
    connect(contextualMenu(), &QMenu::aboutToShow, logarithmic, [this, logarithmic] {
        logarithmic->setChecked(frequencyScale_ == frequencyAxis::logarithmic);
    });
    connect(logarithmic, &QAction::toggled, this, [this](bool on) {
        setFrequencyScale(on ? frequencyAxis::logarithmic : frequencyAxis::linear);
        update();
    });
}

void spectrogramView::setSpectrogram(std::shared_ptr<const SacObject> seismogram,
                                     std::shared_ptr<const spectrogram> spectra) {
    seismogram_ = std::move(seismogram);
    spectra_ = std::move(spectra);
    const auto [first, last] = wholeRecordXLimits();
    setXLimits(first, last);
    if (!spectra_ || spectra_->isEmpty()) {
        powerRange_ = {0.0f, 1.0f};
        return;
    }
    std::vector<float> powers = spectra_->powers();
    const auto low = powers.begin() + std::ptrdiff_t(lowestPercentile * double(powers.size()));
    std::nth_element(powers.begin(), low, powers.end());
    const float top = spectra_->maxPower();
    setPowerRange(std::max(*low, top - widestPowerRange), top);
}

void spectrogramView::setPowerRange(float bottom, float top) {
    // A flat spectrum still needs a scale to colour it.
    powerRange_ = {std::min(bottom, top - 1.0f), top};
}

double spectrogramView::begin() const {
    return seismogram_ && isDefined(seismogram_->b()) ? double(seismogram_->b()) : 0.0;
}

std::pair<float, float> spectrogramView::wholeRecordXLimits() const {
    if (!seismogram_ || seismogram_->npts() < 1 || !isDefined(seismogram_->delta()))
        return {0.0f, 1.0f};
    const double first = begin();
    const double last = first + double(seismogram_->delta()) * (seismogram_->npts() - 1);
    return {float(first), float(std::max(last, first + double(seismogram_->delta())))};
}

// --- layout and mappings

QRectF spectrogramView::tracePanelRect() const {
    const double w = std::max(1.0, width() - leftMargin - rightMargin);
    const double shared = std::max(2.0, height() - bottomMargin - topMargin - panelGap);
    const double traceHeight = std::max(1.0, std::round(shared * traceShare));
    return QRectF(leftMargin, height() - topMargin - traceHeight, w, traceHeight);
}

QRectF spectrogramView::spectraRect() const {
    const QRectF trace = tracePanelRect();
    return QRectF(leftMargin, bottomMargin, trace.width(),
                  std::max(1.0, trace.y() - panelGap - bottomMargin));
}

QRectF spectrogramView::colourBarRect() const {
    const QRectF spectra = spectraRect();
    return QRectF(spectra.right() + barGap, spectra.y(), barWidth, spectra.height());
}

double spectrogramView::xForTime(double seconds) const {
    const QRectF panel = spectraRect();
    const double span = double(xmax()) - xmin();
    if (!(span > 0))
        return panel.left();
    return panel.left() + (seconds - xmin()) * panel.width() / span;
}

double spectrogramView::timeForX(double x) const {
    const QRectF panel = spectraRect();
    return xmin() + (x - panel.left()) * (double(xmax()) - xmin()) / panel.width();
}

std::pair<double, double> spectrogramView::frequencyLimits() const {
    if (!spectra_ || spectra_->isEmpty())
        return {0.0, 1.0};
    if (frequencyScale_ == frequencyAxis::logarithmic)
        return {spectra_->binWidth(), spectra_->nyquist()};
    return {0.0, spectra_->nyquist()};
}

double spectrogramView::yForFrequency(double hz) const {
    const QRectF panel = spectraRect();
    const auto [low, high] = frequencyLimits();
    if (frequencyScale_ == frequencyAxis::logarithmic && spectra_ && !spectra_->isEmpty()) {
        if (!(hz > 0))
            return panel.y();
        return panel.y() + std::log10(hz / low) / std::log10(high / low) * panel.height();
    }
    return panel.y() + (hz - low) / (high - low) * panel.height();
}

double spectrogramView::frequencyForY(double y) const {
    const QRectF panel = spectraRect();
    const auto [low, high] = frequencyLimits();
    const double f = (y - panel.y()) / panel.height();
    if (frequencyScale_ == frequencyAxis::logarithmic && spectra_ && !spectra_->isEmpty())
        return low * std::pow(high / low, f);
    return low + f * (high - low);
}

// --- drawing

void spectrogramView::drawRect(QPainter& painter, const QRectF&) {
    painter.fillRect(bounds(), Qt::white);
    painter.save();
    setLabelFontSize(11);
    AInitGraphLib();
    ASetTickLabelAttributes(&labelAttributes());
    ASetFontSize(labelAttributes().font.pixelSize());
    drawTitles();
    const QRectF trace = tracePanelRect(), spectra = spectraRect();
    painter.setPen(QPen(Qt::black, 0.75));
    painter.setBrush(Qt::NoBrush);
    if (seismogram_)
        drawTrace(painter, trace);
    const bool haveSpectra = spectra_ && !spectra_->isEmpty() && xmax() > xmin();
    if (haveSpectra) {
        drawSpectra(painter, spectra);
        drawColourBar(painter, colourBarRect());
    } else {
        drawString(seismogram_ ? QStringLiteral("Too few samples for a spectrogram")
                               : QStringLiteral("No seismogram to show"),
                   float(spectra.center().x()), float(spectra.center().y()), 2, 2);
    }

    // Both panels take their ticks from the one time axis; only the lower one is labelled.
    xAxisPath()->clear();
    ASetPath(xAxisPath().get());
    ASetLineWidth(0.75f);
    ASetAxisRect(float(trace.left()), float(trace.right()), float(trace.top() + trace.height()),
                 float(trace.top()));
    qstrncpy(xLabel(), " ", xLabelSize);
    ADrawAxis(xmin(), xmax(), xLabel(), 1, 3, 0, 1);
    ASetAxisRect(float(spectra.left()), float(spectra.right()),
                 float(spectra.top() + spectra.height()), float(spectra.top()));
    qstrncpy(xLabel(), "Time (s)", xLabelSize);
    ADrawAxis(xmin(), xmax(), xLabel(), 1, 3, 0, 2);
    if (haveSpectra)
        drawFrequencyAxis(painter, spectra);
    painter.strokePath(*xAxisPath(), QPen(Qt::black, xAxisPath()->lineWidth()));
    painter.drawRect(trace);
    painter.drawRect(spectra);
    painter.restore();
}

void spectrogramView::drawTitles() {
    QStringList parts;
    if (seismogram_) {
        if (!seismogram_->labelString().isEmpty())
            parts << seismogram_->labelString();
        const QDateTime first = seismogram_->firstSampleTime();
        if (first.isValid())
            parts << first.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz 'UTC'"));
    }
    const float y = float(height() - topMargin + 8);
    if (!parts.isEmpty())
        drawString(parts.join(QStringLiteral("  ")), float(leftMargin), y, 1, 1);
    if (spectra_ && !spectra_->isEmpty())
        drawString(windowText(), float(tracePanelRect().right()), y, 3, 1);
}

QString spectrogramView::windowText() const {
    const spectrogram& s = *spectra_;
    if (s.zeroPadded())
        return QStringLiteral("Hann window of the record's %1 samples, padded to %2")
            .arg(seismogram_ ? seismogram_->npts() : 0)
            .arg(s.windowLength());
    const int overlap =
        int(std::lround(100.0 * (s.windowLength() - s.step()) / double(s.windowLength())));
    return QStringLiteral("Hann window of %1 samples (%2 s), %3 % overlap")
        .arg(s.windowLength())
        .arg(s.windowLength() * s.delta(), 0, 'g', 4)
        .arg(overlap);
}

void spectrogramView::drawTrace(QPainter& painter, const QRectF& panel) {
    const float* samples = seismogram_->GetSacSeis();
    const int count = seismogram_->npts();
    const double span = double(xmax()) - xmin();
    if (!samples || count < 1 || !isDefined(seismogram_->delta()) || !(span > 0))
        return;
    tracePath::sampleMapping m;
    m.x0 = xForTime(begin());
    m.dx = double(seismogram_->delta()) * panel.width() / span;
    const double low = seismogram_->smin(), high = seismogram_->smax();
    if (high > low) {
        // A little room above and below the largest swings.
        m.dy = 0.9 * panel.height() / (high - low);
        m.y0 = panel.center().y() - 0.5 * (high + low) * m.dy;
    } else {
        m.dy = 0;
        m.y0 = panel.center().y();
    }
    const QPolygonF points =
        tracePath::tracePoints(samples, count, 0, m, painter, panel.left(), panel.right());
    painter.save();
    painter.setClipRect(panel);
    painter.setPen(QPen(Qt::black, 0.75));
    painter.drawPolyline(points);
    painter.restore();
    if (!seismogram_->labelString().isEmpty())
        drawString(seismogram_->labelString(), float(panel.left() + 4),
                   float(panel.top() + panel.height() - 4), 1, 3);
}

void spectrogramView::drawSpectra(QPainter& painter, const QRectF& panel) {
    const spectrogram& s = *spectra_;
    const int w = std::max(1, int(std::lround(panel.width())));
    const int h = std::max(1, int(std::lround(panel.height())));
    // Every pixel takes the column and the bin its centre falls on: the picture follows the
    // x limits and the frequency axis, whatever the number of columns and bins.
    std::vector<int> columnOfPixel(static_cast<size_t>(w)), binOfRow(static_cast<size_t>(h));
    for (int px = 0; px < w; ++px)
        columnOfPixel[size_t(px)] =
            s.columnAt(timeForX(panel.left() + (px + 0.5) * panel.width() / w) - begin());
    const double top = panel.top() + panel.height();
    for (int row = 0; row < h; ++row)
        binOfRow[size_t(row)] = s.binAt(frequencyForY(top - (row + 0.5) * panel.height() / h));

    const auto& levels = colourLevels();
    const auto [bottomPower, topPower] = powerRange_;
    const double perLevel = (levels.size() - 1) / double(topPower - bottomPower);
    QImage image(w, h, QImage::Format_RGB32);
    for (int row = 0; row < h; ++row) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        const int bin = binOfRow[size_t(row)];
        for (int px = 0; px < w; ++px) {
            const int column = columnOfPixel[size_t(px)];
            if (column < 0) {
                line[px] = outsideRecord.rgb();
                continue;
            }
            const double level = (s.power(column, bin) - bottomPower) * perLevel;
            line[px] = levels[size_t(std::clamp(level, 0.0, double(levels.size() - 1)) + 0.5)];
        }
    }
    drawImageUpright(painter, panel, image, QRectF(image.rect()));
}

void spectrogramView::drawColourBar(QPainter& painter, const QRectF& bar) {
    // A point a row, so that no scaling blends the ends of the scale.
    const auto& levels = colourLevels();
    const int h = std::max(2, int(std::lround(bar.height())));
    QImage scale(1, h, QImage::Format_RGB32);
    for (int row = 0; row < h; ++row)
        scale.setPixel(0, row, levels[size_t(std::lround((h - 1 - row) * 255.0 / (h - 1)))]);
    drawImageUpright(painter, bar, scale, QRectF(scale.rect()));
    painter.drawRect(bar);

    QVRBezierPath path;
    ASetPath(&path);
    ASetLineWidth(0.75f);
    ASetAxisRect(float(bar.left()), float(bar.right()), float(bar.top() + bar.height()),
                 float(bar.top()));
    qstrncpy(xLabel(), " ", xLabelSize);
    ADrawAxis(powerRange_.first, powerRange_.second, xLabel(), 2, 2, 0, 2);
    painter.strokePath(path, QPen(Qt::black, path.lineWidth()));
    drawRotatedString(QStringLiteral("Power (dB)"), float(bar.right() + 50),
                      float(bar.center().y()), 2, 2, 90.0f);
}

void spectrogramView::drawFrequencyAxis(QPainter& painter, const QRectF& panel) {
    ASetAxisRect(float(panel.left()), float(panel.right()), float(panel.top() + panel.height()),
                 float(panel.top()));
    if (frequencyScale_ == frequencyAxis::logarithmic) {
        drawLogFrequencyTicks(painter, panel);
    } else {
        const auto [low, high] = frequencyLimits();
        qstrncpy(xLabel(), " ", xLabelSize);
        ADrawAxis(float(low), float(high), xLabel(), 2, 1, 0, 2);
    }
    drawRotatedString(QStringLiteral("Frequency (Hz)"), float(panel.left() - 52),
                      float(panel.center().y()), 2, 2, 90.0f);
}

void spectrogramView::drawLogFrequencyTicks(QPainter&, const QRectF& panel) {
    const auto [low, high] = frequencyLimits();
    const double majorLength = 0.75 * gFontsize, minorLength = 0.5 * gFontsize;
    const int firstDecade = int(std::floor(std::log10(low)));
    const int lastDecade = int(std::ceil(std::log10(high)));
    // Within two decades the 2s and 5s are labelled too, else the axis would show one label.
    const bool fewDecades = lastDecade - firstDecade <= 2;
    for (int decade = firstDecade; decade <= lastDecade; ++decade) {
        for (int m = 1; m <= 9; ++m) {
            const double hz = m * std::pow(10.0, decade);
            if (hz < low * (1 - 1e-9) || hz > high * (1 + 1e-9))
                continue;
            const double y = yForFrequency(hz);
            const bool labelled = m == 1 || (fewDecades && (m == 2 || m == 5));
            const double length = labelled ? majorLength : minorLength;
            AFMove(float(panel.left()), float(y));
            AFLine(float(panel.left() + length), float(y));
            AFMove(float(panel.right()), float(y));
            AFLine(float(panel.right() - length), float(y));
            if (labelled)
                drawString(QString::number(hz, 'g', 6), float(panel.left() - 4), float(y), 3, 2);
        }
    }
}

// --- the cursor

std::optional<seismogramReading> spectrogramView::readingAt(QPointF viewPoint) const {
    if (!seismogram_ ||
        (!tracePanelRect().contains(viewPoint) && !spectraRect().contains(viewPoint)))
        return std::nullopt;
    const double t = timeForX(viewPoint.x());
    seismogramReading reading;
    const QDateTime reference = seismogram_->mySeisReferenceTime();
    if (reference.isValid())
        reading.utc = reference.addMSecs(std::llround(t * 1000.0));
    if (isDefined(seismogram_->originTimeOffset()))
        reading.secondsAfterOrigin = t - seismogram_->originTimeOffset();
    // Ground motion is labelled with its units, "IU.ANMO (m/s)"; counts are not.
    const QString& label = seismogram_->labelString();
    const qsizetype open = label.lastIndexOf(u'(');
    reading.units = label.endsWith(u')') && open >= 0 ? label.mid(open + 1, label.size() - open - 2)
                                                      : QStringLiteral("Counts");
    const float* samples = seismogram_->GetSacSeis();
    if (samples && isDefined(seismogram_->delta()) && seismogram_->delta() > 0) {
        const double k = std::round((t - begin()) / seismogram_->delta());
        if (k >= 0 && k < seismogram_->npts()) {
            reading.amplitude = samples[size_t(k)];
            reading.traceIndex = 0;
        }
    }
    return reading;
}
