#include "helicorderView.h"

#include "keptTraceLayer.h"

#include "monthdate.h"
#include "seismogramReadings.h"
#include "seismogramTexts.h"
#include "tracePath.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimeZone>

#include <algorithm>
#include <cmath>

namespace {

QColor gray() {
    return QColor::fromRgbF(0.5, 0.5, 0.5);
}

QColor lightGray() {
    return QColor::fromRgbF(2.0 / 3.0, 2.0 / 3.0, 2.0 / 3.0);
}

bool usableScale(double scale) {
    return std::isfinite(scale) && scale > 0;
}

// Butt ends: a bar covers its row exactly, not half a pen width beyond.
QPen barPen(const QColor& color, double width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

} // namespace

QString helicorderView::title(const SacObject& record) {
    using namespace seismogramTexts;
    const QString codes = joined({defined(record.knetwk()), defined(record.kstnm()),
                                  defined(record.khole()), defined(record.kcmpnm())},
                                 QStringLiteral(" "));
    return joined({record.YMDcString(), codes}, QStringLiteral(" - "));
}

helicorderView::helicorderView(QWidget* parent)
    : QVRView(parent) {}

void helicorderView::setWvfrmArray(const seismogramList& records) {
    wvfrmArray_ = records;
    dropKeptRows();
}

// The other setters drop what is kept only for a new value: a controller may well set the
// same gain before every draw.
void helicorderView::setMaxAmplitude(float amplitude) {
    if (amplitude != maxAmplitude_)
        dropKeptRows();
    maxAmplitude_ = amplitude;
}

void helicorderView::setGainFactor(float gain) {
    if (gain != gainFactor_)
        dropKeptRows();
    gainFactor_ = gain;
}

void helicorderView::setRowDuration(float seconds) {
    if (seconds != rowDuration_)
        dropKeptRows();
    rowDuration_ = seconds;
}

void helicorderView::setNRows(int rows) {
    if (rows != nRows_)
        dropKeptRows();
    nRows_ = rows;
}

void helicorderView::setStartTime(const QDateTime& time) {
    if (time.toUTC() != startTime_)
        dropKeptRows();
    startTime_ = time.toUTC();
}

void helicorderView::dropKeptRows() {
    keptRows_.clear();
    unkeptRows_ = keptRows();
    traceLayer_.drop();
}

void helicorderView::computeRects() {
    const QRectF b = bounds();
    setPRect(QRectF(b.x() + 72, b.y() + 36, b.width() - 108, b.height() - 100));
    setIRect(pRect());
}

double helicorderView::rowHeight() const {
    return (pRect().height() - 36) / (double(nRows_) + 1);
}

double helicorderView::rowBaseline(int row) const {
    const double h = rowHeight();
    return pRect().y() + pRect().height() - row * h - 0.5 * h;
}

QRectF helicorderView::rowRect(int row) const {
    const double h = rowHeight();
    return QRectF(pRect().x(), rowBaseline(row) - 0.5 * h, pRect().width(), h);
}

float helicorderView::getAbsMaxAmplitude() const {
    // The records keep their extrema current through loading and processing, and are shared
    // read-only, so they are read rather than computed again.
    float largest = -1e20f;
    for (const auto& record : wvfrmArray_) {
        if (record)
            largest = std::max(largest, record->absMax());
    }
    return largest;
}

std::pair<float, float> helicorderView::wholeRecordXLimits() const {
    return {0.0f, rowDuration_};
}

std::optional<seismogramReading> helicorderView::readingAt(QPointF viewPoint) const {
    if (!inIRect(viewPoint) || !startTime_.isValid())
        return std::nullopt;
    const double h = rowHeight();
    const int row = int(std::floor((pRect().y() + pRect().height() - viewPoint.y()) / h));
    if (!(h > 0) || row < 0 || row >= nRows_)
        return std::nullopt;
    const double seconds = row * double(rowDuration_) + dataPointForViewPoint(viewPoint).x();
    const QDateTime utc = startTime_.addMSecs(qint64(std::llround(seconds * 1000.0)));
    for (int i = 0; i < int(wvfrmArray_.size()); ++i) {
        const SacObject* record = wvfrmArray_.at(i).get();
        const QDateTime reference = record ? record->mySeisReferenceTime() : QDateTime();
        if (!reference.isValid())
            continue;
        const double own = reference.msecsTo(utc) / 1000.0;
        if (seismogramReadings::sampleAt(*record, own))
            return seismogramReadings::readingOf(*record, i, own);
    }
    seismogramReading r;
    r.utc = utc;
    return r;
}

double helicorderView::recordStart(const SacObject& record, double firstRecordOffset) const {
    // Each record is placed by its own reference time, so that consecutive records with
    // their own reference times follow one another; one without falls back on the first
    // record's reference.
    const QDateTime reference = record.mySeisReferenceTime();
    const double fromStart =
        reference.isValid() ? startTime_.msecsTo(reference) / 1000.0 : firstRecordOffset;
    return fromStart + record.b();
}

void helicorderView::drawRect(QPainter& painter, const QRectF&) {
    computeRects();
    painter.fillRect(bounds(), Qt::white);
    if (wvfrmArray_.isEmpty() || !wvfrmArray_.first())
        return;

    const SacObject& first = *wvfrmArray_.first();
    const SacHeader* header = first.GetSacHeader();
    const QDateTime reference = first.mySeisReferenceTime();
    // Without a reference time there is no hour to start the rows at.
    if (!header || !reference.isValid())
        return;
    int month = 0, day = 0;
    if (monthdate(header->nzyear, header->nzjday, &month, &day) != 0)
        return;
    startTime_ =
        QDateTime(QDate(header->nzyear, month, day), QTime(header->nzhour, 0, 0), QTimeZone::utc());
    plotDuration_ = double(nRows_) * rowDuration_;
    const double offset = header->nzmin * 60.0 + header->nzsec + header->nzmsec / 1000.0;

    painter.save();
    maxAmplitude_ = getAbsMaxAmplitude();
    const QRectF plot = pRect();
    if (!_fixedXAxisRange())
        setXLimits(0, rowDuration_);

    labelAttributes().color = gray();
    drawString(title(first), float(plot.x()), float(bounds().y() + bounds().height() - 2), 1, 3);
    labelAttributes().color = Qt::black;

    if (showZeroLines_) {
        QPainterPath baselines;
        for (int r = 0; r < nRows_; ++r) {
            baselines.moveTo(plot.left(), rowBaseline(r));
            baselines.lineTo(plot.right(), rowBaseline(r));
        }
        painter.strokePath(baselines, QPen(lightGray(), 0.5));
    }

    // Under the traces.
    drawSeismicPhases();

    // A silent record (largest amplitude 0) is drawn flat on its baselines rather than scaled
    // by infinity.
    const double scale = rowHeight() / (2.0 * maxAmplitude_);
    const double gain = std::isfinite(scale) && maxAmplitude_ > 0 ? gainFactor_ * scale : 0.0;
    drawRecords(painter, offset, gain);

    drawMinuteMarks();
    drawHourLabels();
    painter.restore();
}

void helicorderView::drawRecords(QPainter& painter, double firstRecordOffset, double gain) {
    const auto strokeRecord = [&](QPainter& onto, int index, const keptRows& rows) {
        onto.setPen(QPen(index % 2 == 0 ? QColor(Qt::black) : QColor(Qt::red), 1.0));
        onto.setBrush(Qt::NoBrush);
        // Each row's line stays in its row: at the default gain a large event would run
        // through its neighbours and over the title.
        for (qsizetype k = 0; k < rows.rows.size(); ++k) {
            onto.save();
            onto.setClipRect(rowRect(rows.rowOf.at(k)), Qt::IntersectClip);
            onto.drawPolyline(rows.rows.at(k));
            onto.restore();
        }
    };
    bool unchanged = true;
    const auto pointsOf = [&](int index) -> const keptRows& {
        return rowPointsOf(index, painter, recordStart(*wvfrmArray_.at(index), firstRecordOffset),
                           gain, unchanged);
    };

    // A device that takes no layer (a PDF, a turned or high-density device) is stroked
    // directly, one record at a time, and keeps nothing.
    if (!keptTraceLayer::serves(painter)) {
        for (int i = 0; i < wvfrmArray_.size(); ++i) {
            if (wvfrmArray_.at(i))
                strokeRecord(painter, i, pointsOf(i));
        }
        unkeptRows_ = keptRows();
        return;
    }
    for (int i = 0; i < wvfrmArray_.size(); ++i) {
        if (wvfrmArray_.at(i))
            pointsOf(i);
    }
    traceLayer_.layOn(painter, unchanged, [&](QPainter& layer) {
        for (int i = 0; i < wvfrmArray_.size(); ++i) {
            if (wvfrmArray_.at(i))
                strokeRecord(layer, i, keptRows_.at(i));
        }
    });
}

const helicorderView::keptRows& helicorderView::rowPointsOf(int index, const QPainter& painter,
                                                            double start, double gain,
                                                            bool& unchanged) {
    const SacObject& record = *wvfrmArray_.at(index);
    rowInputs inputs;
    inputs.record = &record;
    inputs.samples = record.GetSacSeis();
    inputs.count = record.npts();
    inputs.start = start;
    inputs.gain = gain;
    inputs.rowDuration = rowDuration_;
    inputs.xmin = xmin();
    inputs.xmax = xmax();
    inputs.rows = nRows_;
    inputs.plot = pRect();
    inputs.device = painter.deviceTransform();

    // Only pixel devices: there the envelopes bound the points by the width, while a PDF
    // gets every sample and is drawn once.
    const bool keep = tracePath::drawsPixels(painter);
    if (keptRows_.size() != wvfrmArray_.size())
        keptRows_.resize(wvfrmArray_.size());
    keptRows& kept = keep ? keptRows_[index] : unkeptRows_;
    if (keep && kept.valid && kept.inputs == inputs)
        return kept;
    unchanged = false;
    kept.rows.clear();
    kept.rowOf.clear();
    kept.valid = keep;
    kept.inputs = inputs;

    const float* samples = inputs.samples;
    const int n = inputs.count;
    const double delta = record.delta();
    const double rowSeconds = rowDuration_;
    const QRectF plot = inputs.plot;
    const double sx = plot.width() / (double(inputs.xmax) - inputs.xmin);
    if (!samples || n <= 0 || !usableScale(delta) || !usableScale(sx) || !usableScale(rowSeconds) ||
        !std::isfinite(start))
        return kept;

    // The row of sample j is floor(t / rowDuration) with t = start + j·delta; a row's samples
    // are one line, and the next row starts a new one at its left end.
    const auto rowOf = [&](qint64 j) {
        return std::floor((start + double(j) * delta) / rowSeconds);
    };
    // The first sample in row r or later: estimated, then settled on the per-sample rule.
    const auto firstSampleOfRow = [&](int row) -> qint64 {
        const double estimate = std::ceil((row * rowSeconds - start) / delta);
        qint64 j = qint64(std::clamp(estimate, 0.0, double(n)));
        while (j > 0 && rowOf(j - 1) >= row)
            --j;
        while (j < n && rowOf(j) < row)
            ++j;
        return j;
    };

    // Only the rows on the page: a record reaching before the first or past the last row
    // would otherwise run through the title or the minute scale.
    const int firstRow = int(std::clamp(rowOf(0), 0.0, double(nRows_)));
    const int lastRow = int(std::clamp(rowOf(n - 1), -1.0, double(nRows_) - 1));
    qint64 begin = firstSampleOfRow(firstRow);
    for (int r = firstRow; r <= lastRow && begin < n; ++r) {
        const qint64 end = firstSampleOfRow(r + 1);
        if (end > begin) {
            tracePath::sampleMapping m;
            m.x0 = plot.x() + (start - r * rowSeconds - inputs.xmin) * sx;
            m.dx = delta * sx;
            m.y0 = rowBaseline(r);
            m.dy = gain;
            QPolygonF line = tracePath::tracePoints(samples, int(end), int(begin), m, painter,
                                                    plot.left(), plot.right());
            if (!line.isEmpty()) {
                kept.rows << std::move(line);
                kept.rowOf << r;
            }
        }
        begin = end;
    }
    return kept;
}

void helicorderView::drawSeismicPhases() {
    QPainter* painter = currentPainter();
    if (!painter || !startTime_.isValid())
        return;
    const QRectF plot = pRect();
    const double rowSeconds = rowDuration_;
    const double sx = plot.width() / (double(xmax()) - xmin());
    if (!usableScale(sx) || !usableScale(rowSeconds))
        return;
    const double h = rowHeight();
    const double top = plot.y() + plot.height();
    painter->save();
    for (const auto& hypocenter : theHypos_) {
        if (!hypocenter)
            continue;
        const QDateTime origin = hypocenter->oDate();
        if (!origin.isValid())
            continue;
        const double w = startTime_.msecsTo(origin) / 1000.0;
        if (w < 0 || w > plotDuration_)
            continue;
        const float mb = hypocenter->mb(), ms = hypocenter->Ms(), mw = hypocenter->Mw();
        if (!(mb >= magThreshold_ || ms >= magThreshold_ || mw >= magThreshold_))
            continue;
        const float largest = std::max({mb, ms, mw});
        const double r = std::floor(w / rowSeconds);
        const double intoRow = w - r * rowSeconds;
        // Outside the part of the rows shown.
        if (intoRow < xmin() || intoRow > xmax())
            continue;
        const double x = plot.x() + (intoRow - xmin()) * sx;
        const QLineF bar(x, top - (r + 1) * h, x, top - r * h);
        painter->setPen(barPen(lightGray(), 2));
        painter->drawLine(bar);
        if (largest >= 5) {
            painter->setPen(barPen(QColor::fromRgbF(1, 0.5, 0), 2));
            painter->drawLine(bar);
        }
        if (largest >= 6) {
            painter->setPen(barPen(Qt::red, 4));
            painter->drawLine(bar);
        }
        if (largest >= 7) {
            painter->setPen(barPen(Qt::red, 6));
            painter->drawLine(bar);
        }
    }
    painter->restore();
}

void helicorderView::drawMinuteMarks() {
    QPainter* painter = currentPainter();
    if (!painter)
        return;
    painter->save();
    const QRectF plot = pRect();
    const double seconds = double(xmax()) - xmin();
    const double minutes = seconds / 60;
    int tickMinutes = 1, labelMinutes = 5;
    if (minutes >= 1440)
        tickMinutes = 60, labelMinutes = 120;
    else if (minutes >= 720)
        tickMinutes = 30, labelMinutes = 60;
    else if (minutes >= 360)
        tickMinutes = 10, labelMinutes = 30;
    else if (minutes >= 180)
        tickMinutes = 5, labelMinutes = 15;
    const double spacing = tickMinutes * 60 * (plot.width() / seconds);
    const double y0 = plot.y() + 36;

    labelAttributes().color = gray();
    QPainterPath ticks;
    if (usableScale(spacing)) {
        // Positions are counted from the left edge rather than summed, and the right edge is
        // let in by a hair, so that its tick is not lost to rounding.
        const double slack = 1e-6 * plot.width();
        // Ticks stand at whole multiples of the tick step into the row, from the first at or
        // after xmin: at 0 for a whole row.
        const double firstTick = std::ceil(double(xmin()) / (tickMinutes * 60.0) - 1e-9);
        for (int i = 0;; ++i) {
            const int minute = int(firstTick + i) * tickMinutes;
            const double x = plot.left() + (minute * 60.0 - xmin()) * (plot.width() / seconds);
            if (x > plot.right() + slack)
                break;
            const bool labelled = minute % labelMinutes == 0;
            ticks.moveTo(x, y0);
            ticks.lineTo(x, y0 + (labelled ? 24 : 12));
            if (!labelled)
                continue;
            QString label;
            if (!labelHours_)
                label = QString::asprintf("%0d", minute);
            else if (labelMinutes >= 60)
                label = QString::asprintf("%d", minute / 60);
            else
                label = QString::asprintf("%.2f", minute / 60.0);
            drawString(label, float(x), float(y0 - 4), 2, 3);
        }
    }
    ticks.moveTo(plot.left(), y0);
    ticks.lineTo(plot.right(), y0);
    painter->strokePath(ticks, QPen(lightGray(), 1.0));
    drawString(labelHours_ ? QStringLiteral("Time (Hours)") : QStringLiteral("Time (Minutes)"),
               float(plot.x() + 0.5 * plot.width()), float(bounds().y() + 12), 2, 1);
    labelAttributes().color = Qt::black;
    painter->restore();
}

void helicorderView::drawHourLabels() {
    if (!currentPainter() || !startTime_.isValid())
        return;
    const QRectF plot = pRect();
    setLabelFontSize(12);
    for (int r = 0; r < nRows_; ++r) {
        const QDateTime left =
            startTime_.addMSecs(qint64(std::llround(double(r) * rowDuration_ * 1000.0))).toUTC();
        drawString(QString::asprintf(" %2.2d/%2.2d %2.2d", left.date().month(), left.date().day(),
                                     left.time().hour()),
                   float(plot.x() - 8), float(rowBaseline(r)), 3, 2);
    }
    setLabelFontSize(18);
}
