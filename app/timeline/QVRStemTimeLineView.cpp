#include "QVRStemTimeLineView.h"

#include "QVRDateFormatter.h"
#include "mapColorLists.h"
#include "timeZones.h"

#include <QDrag>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>
#include <limits>

namespace {

// The Sunday-based weekday of a date: 1 Sunday … 7 Saturday.
int weekdayOf(const QDate& d) {
    return d.dayOfWeek() % 7 + 1;
}

int previousWeekday(int weekday) {
    return weekday == 1 ? 7 : weekday - 1;
}

// The start of the hour of `t`, in UTC.
QDateTime hourStart(const QDateTime& t) {
    const QDateTime u = t.toUTC();
    return QDateTime(u.date(), QTime(u.time().hour(), 0), QTimeZone::utc());
}

} // namespace

QVRStemTimeLineView::QVRStemTimeLineView(QWidget* parent)
    : QVRView(parent) {
    setLabelFontSize(12);
    setIRect(QRectF(0, 0, width(), height()));
}

double QVRStemTimeLineView::ageOf(const QDateTime& t) const {
    return double(t.msecsTo(now())) / 1000.0;
}

// A time's x, measured from the right edge.
double QVRStemTimeLineView::xOfTime(const QDateTime& t) const {
    const double span = double(startDate_.msecsTo(endDate_)) / 1000.0;
    const QRectF r = iRect();
    return r.x() + r.width() - double(t.msecsTo(endDate_)) / 1000.0 * r.width() / span;
}

void QVRStemTimeLineView::setPlotBounds(const QRectF& r) {
    if (r.width() == 0 && r.height() == 0)
        setIRect(QRectF(54, 16, width() - 90, height() - 32));
    else
        setIRect(QRectF(r.x(), 16, r.width(), height() - 32));
}

void QVRStemTimeLineView::computeMinandMaxTimeFromSortedEventList() {
    if (!dataSource_ || dataSource_->allSeismicOrigins().isEmpty())
        return;
    const originList& all = dataSource_->allSeismicOrigins();
    setXmax(float(ageOf(all.first()->originDateTime())));
    setXmin(float(ageOf(all.last()->originDateTime())));
}

void QVRStemTimeLineView::computeMinandMaxTimeFromStartDateEndDate() {
    setXmin(float(ageOf(startDate_)));
    setXmax(float(ageOf(endDate_)));
}

void QVRStemTimeLineView::computeStartandEndDateFromSortedEventList() {
    if (!dataSource_ || dataSource_->allSeismicOrigins().isEmpty())
        return;
    const originList& all = dataSource_->allSeismicOrigins();
    startDate_ = all.last()->originDateTime();
    endDate_ = all.first()->originDateTime();
}

void QVRStemTimeLineView::drawRect(QPainter& painter, const QRectF&) {
    painter.fillRect(bounds(), Qt::white);
    if (!dataSource_)
        return;
    drawGrid();
    drawEvents();
}

void QVRStemTimeLineView::drawEvents() {
    QPainter* painter = currentPainter();
    if (painter && painter->device()->devType() == QInternal::Widget)
        eventLayer_.viewPainted();
    eventDrawing drawing;
    if (!painter || !eventsAsTheyStand(drawing))
        return;

    // Ten thousand circles are ten thousand translucent blends, several times the rest of the
    // frame, while the window draws the same circles again whenever it is uncovered or the
    // grid follows the clock. On pixel devices at one pixel per point they are therefore
    // stamped once into a transparent layer of the device's pixels and laid over the grid.
    // Blending the circles into the layer and the layer over the grid rounds differently
    // from blending each circle over the grid, by up to three levels of 255 where translucent
    // fills lie over a grid line or over each other.
    const QPaintDevice* device = painter->device();
    if (!keepEventLayer_ || !eventLayer_.serves(*device)) {
        eventLayer_.drop();
        paintEvents(*painter, circles_, drawing);
        return;
    }
    const eventLayerKey key = eventLayerKeyFor(drawing, QSize(device->width(), device->height()),
                                               painter->worldTransform());
    if (eventLayerColorsChange_.isValid() && now() >= eventLayerColorsChange_) {
        eventLayer_.changed();
        eventLayerColorsChange_ = QDateTime();
    }
    const QImage* layer = eventLayer_.current(key);
    // While the new circles are drawn on the worker the window keeps showing the last ones
    // where they lie on the same plot; they are replaced as soon as the new ones arrive.
    // Pictures taken of the view wait for nothing: they get the circles as they are.
    const eventLayerKey& last = eventLayer_.lastKey();
    if (!layer && device->devType() == QInternal::Widget && eventLayer_.isDrawing(key) &&
        !eventLayer_.last().isNull() && last.plotRect == key.plotRect &&
        last.deviceSize == key.deviceSize && last.toDevice == key.toDevice)
        layer = &eventLayer_.last();
    if (!layer) {
        eventLayerImage drawn = drawEventLayer(drawing, key, circles_);
        eventLayer_.keep(drawn.image, key);
        eventLayerColorsChange_ = drawn.colorsChange;
        layer = &eventLayer_.last();
    }
    painter->save();
    painter->setWorldTransform(QTransform()); // the clip stays where it was set
    painter->drawImage(QPointF(0, 0), *layer);
    painter->restore();
}

bool QVRStemTimeLineView::drawEventLayerInBackground() {
    // A view not shown yet draws its layer with its first paint, at the size it is shown at.
    if (!isVisible())
        return false;
    eventDrawing drawing;
    if (!keepEventLayer_ || devicePixelRatioF() != 1 || !eventsAsTheyStand(drawing))
        return false;
    // As the paint pass will see it: the view's height up, its y flipped.
    QTransform upright;
    upright.translate(0, height());
    upright.scale(1, -1);
    const eventLayerKey key = eventLayerKeyFor(drawing, size(), upright);
    auto circles = std::make_shared<QVRCircleStamps>(circles_);
    auto colorsChange = std::make_shared<QDateTime>();
    return eventLayer_.drawInBackground(
        this, key,
        [drawing = std::move(drawing), key, circles, colorsChange] {
            eventLayerImage drawn = drawEventLayer(drawing, key, *circles);
            *colorsChange = drawn.colorsChange;
            return drawn.image;
        },
        [this, circles, colorsChange] {
            circles_ = *circles; // with the stamps the worker made
            eventLayerColorsChange_ = *colorsChange;
            update();
        });
}

bool QVRStemTimeLineView::eventsAsTheyStand(eventDrawing& drawing) {
    if (!dataSource_)
        return false;
    const int n = dataSource_->countOfVisibleEvents();
    if (n == 0)
        return false;
    dataSource_->communicateMapRect();
    dataSource_->communicateMinDisplayMagnitude();
    computeMinandMaxTimeFromStartDateEndDate();
    drawing.events.reserve(n);
    for (int i = 0; i < n; ++i)
        drawing.events.append(dataSource_->visibleOriginAtIndex(i));
    drawing.plotRect = iRect();
    drawing.startDate = startDate_;
    drawing.endDate = endDate_;
    drawing.now = now();
    drawing.minMag = minMag_;
    drawing.maxMag = maxMag_;
    drawing.symbolScaleFactor = symbolScaleFactor_;
    drawing.yellowTimeRange = yellowTimeRange_;
    drawing.orangeTimeRange = orangeTimeRange_;
    drawing.colorByDepth = colorByDepth_;
    return true;
}

QVRStemTimeLineView::eventLayerKey
QVRStemTimeLineView::eventLayerKeyFor(const eventDrawing& d, const QSize& deviceSize,
                                      const QTransform& toDevice) const {
    return {.plotRect = d.plotRect,
            .startDate = d.startDate,
            .endDate = d.endDate,
            .minMag = d.minMag,
            .maxMag = d.maxMag,
            .symbolScaleFactor = d.symbolScaleFactor,
            .yellowTimeRange = d.yellowTimeRange,
            .orangeTimeRange = d.orangeTimeRange,
            .colorByDepth = d.colorByDepth,
            .count = int(d.events.size()),
            .first = d.events.first().get(),
            .last = d.events.last().get(),
            .deviceSize = deviceSize,
            .toDevice = toDevice};
}

QVRStemTimeLineView::eventLayerImage QVRStemTimeLineView::drawEventLayer(const eventDrawing& d,
                                                                         const eventLayerKey& key,
                                                                         QVRCircleStamps& circles) {
    eventLayerImage drawn{QImage(key.deviceSize, QImage::Format_ARGB32_Premultiplied), {}};
    drawn.image.fill(Qt::transparent);
    QPainter layerPainter(&drawn.image);
    layerPainter.setWorldTransform(key.toDevice);
    drawn.colorsChange = paintEvents(layerPainter, circles, d);
    return drawn;
}

QDateTime QVRStemTimeLineView::paintEvents(QPainter& painter, QVRCircleStamps& circles,
                                           const eventDrawing& d) {
    const double span = double(d.startDate.msecsTo(d.endDate)) / 1000.0;
    const QRectF r = d.plotRect;
    const double k = (r.height() - 16) / (d.maxMag - d.minMag);
    const double y0 = r.y() + 16;
    // The soonest an age colour changes, in seconds from now.
    double nextChange = std::numeric_limits<double>::infinity();

    const QColor yellow = QColor::fromRgbF(1, 1, 0, 0.5);
    const QColor orange = QColor::fromRgbF(1, 0.5f, 0, 0.5);
    const QColor red = QColor::fromRgbF(1, 0, 0, 0.75);
    const QColor outline = QColor::fromRgbF(0, 0, 0, 0.5);
    // The map's depth colours, a little see-through as the age colours are.
    QList<QColor> byDepth = mapColorLists::depthColors();
    for (QColor& c : byDepth)
        c.setAlphaF(0.75f);
    circles.begin(painter);
    // The last element first, so element 0 (the newest) lies on top.
    for (qsizetype i = d.events.size() - 1; i >= 0; --i) {
        const seismicOrigin* o = d.events.at(i).get();
        if (!o)
            continue;
        const float m = o->magnitude();
        if (!(d.minMag <= m && m <= d.maxMag))
            continue;
        const float radius = 12.0f * m * m * m / d.symbolScaleFactor;
        // Measured from startDate rather than from now, so that a kept layer stays in place
        // as the clock runs.
        const double sinceStart = double(d.startDate.msecsTo(o->originDateTime())) / 1000.0;
        const float x = float(sinceStart / span * r.width() + r.x());
        const double y = (m - d.minMag) * k + y0;
        const QColor* fill = nullptr;
        if (d.colorByDepth) {
            fill = &byDepth.at(mapColorLists::depthClass(o->depth()));
        } else {
            const double age = o->ageSeconds(d.now);
            fill = age >= d.yellowTimeRange ? &yellow : (age >= d.orangeTimeRange ? &orange : &red);
            if (age < d.orangeTimeRange)
                nextChange = std::min(nextChange, d.orangeTimeRange - age);
            else if (age < d.yellowTimeRange)
                nextChange = std::min(nextChange, d.yellowTimeRange - age);
        }
        circles.circle(QPointF(x, y), radius, *fill, outline);
    }
    circles.finish();
    if (!std::isfinite(nextChange))
        return {};
    return d.now.addMSecs(qint64(std::ceil(nextChange * 1000)));
}

// --- grid

void QVRStemTimeLineView::gridLine(double x0, double y0, double x1, double y1, double alpha) {
    QPainter* painter = currentPainter();
    gridPath_.clear();
    gridPath_.moveTo(x0, y0);
    gridPath_.lineTo(x1, y1);
    painter->setPen(QPen(QColor::fromRgbF(0.25f, 0.25f, 0.25f, float(alpha)), 2.0));
    painter->setBrush(Qt::NoBrush);
    painter->drawPath(gridPath_);
}

void QVRStemTimeLineView::label(const QString& text, double x, double y, int hJust, int vJust) {
    drawString(text, float(x), float(y), hJust, vJust);
}

double QVRStemTimeLineView::hrsSinceYesterday() {
    const QDateTime local = now().toTimeZone(timeZones::defaultTimeZone());
    iToday_ = weekdayOf(local.date());
    return -double(local.time().msecsSinceStartOfDay()) / 3600000.0;
}

void QVRStemTimeLineView::drawGrid() {
    if (!currentPainter() || !dataSource_)
        return;
    dataSource_->communicateMapRect();
    const double span = double(startDate_.msecsTo(endDate_)) / 1000.0;
    if (!(span > 0))
        return;
    const double days = span / 86400.0;
    computeMinandMaxTimeFromStartDateEndDate();

    if (days <= 2)
        drawHourGrid(1, 4);
    if (days > 2 && days <= 6)
        drawHourGrid(6, 6);
    if (days > 5 && days <= 24)
        drawDayGrid();
    if (days > 24 && days <= 75)
        drawWeekGrid();
    if (days > 75)
        drawMonthGrid(days);
    drawMagnitudeLines();
}

// Lines every `hoursPerStep` hours back from the start of endDate's hour; "HH:mm" at hours
// that are multiples of `labelEvery`, the date and the year at midnight.
void QVRStemTimeLineView::drawHourGrid(int hoursPerStep, int labelEvery) {
    static const QVRDateFormatter hourFormat(QStringLiteral("HH:mm"));
    static const QVRDateFormatter dayFormat(QStringLiteral("MMM-dd"));
    const QRectF r = iRect();
    const double X = r.x(), W = r.width(), top = r.y() + r.height(), y0 = r.y() + 16;
    const QDateTime first = hourStart(endDate_);
    for (int step = 0;; ++step) {
        const QDateTime tick = first.addSecs(-qint64(step) * hoursPerStep * 3600);
        const double x = xOfTime(tick);
        if (!(x >= X) || step > 100000)
            break;
        gridLine(x, top + 2, x, y0 - 8);
        if (!(X < x && x < X + W - 18))
            continue;
        const QDateTime shown = tick.toTimeZone(hourFormat.timeZone());
        const int hour = shown.time().hour();
        if (hour % labelEvery == 0 && hour != 0) {
            label(hourFormat.stringFromDate(tick), x, r.y());
        } else if (hour == 0) {
            label(dayFormat.stringFromDate(tick), x, r.y());
            label(QString::asprintf("%d", shown.date().year()), x, top + 10);
        }
    }
}

void QVRStemTimeLineView::drawDayGrid() {
    const QRectF r = iRect();
    const double X = r.x(), W = r.width(), top = r.y() + r.height(), y0 = r.y() + 16;
    const double days = double(startDate_.msecsTo(endDate_)) / 86400000.0;
    const double dw = W / std::floor(days);
    double x = X + W + (hrsSinceYesterday() / 24.0) * dw;
    int weekday = iToday_;
    for (int step = 0; x >= X && step < 100000; ++step) {
        gridLine(x, top + 8, x, y0 - 8);
        const double middle = x + dw / 2;
        if (24 < middle && middle < X + W - 24)
            label(dayLabels_.value(weekday - 1), middle, r.y());
        x -= dw;
        weekday = previousWeekday(weekday);
    }
}

void QVRStemTimeLineView::drawWeekGrid() {
    const QRectF r = iRect();
    const double X = r.x(), W = r.width(), H = r.height(), top = r.y() + H, y0 = r.y() + 16;
    const double days = double(startDate_.msecsTo(endDate_)) / 86400000.0;
    const double dw = W / std::floor(days);
    const double firstX = X + W + (hrsSinceYesterday() / 24.0) * dw;
    const QDateTime firstDate = hourStart(endDate_);
    const int firstWeekday = weekdayOf(firstDate.date());

    // Every second week, counted back from the first Sunday (which is not shaded), is grey.
    QPainter* painter = currentPainter();
    double x = firstX;
    int weekday = firstWeekday;
    int toggle = -1;
    for (int step = 0; x >= X && step < 100000; ++step) {
        if (weekday == 1) {
            if (toggle == 1)
                painter->fillRect(QRectF(x, y0, 7 * dw, H - 16),
                                  QColor::fromRgbF(0.95f, 0.95f, 0.95f, 1));
            toggle = -toggle;
        }
        x -= dw;
        weekday = previousWeekday(weekday);
    }

    x = firstX;
    weekday = firstWeekday;
    QDateTime labelled = firstDate;
    for (int step = 0; x >= X && step < 100000; ++step) {
        gridLine(x, top + 8, x, y0 - 8);
        if (weekday == 1 && 24 < x && x < X + W - 24)
            label(QLocale().toString(labelled.toTimeZone(timeZones::defaultTimeZone()).date(),
                                     QLocale::ShortFormat),
                  x, r.y());
        x -= dw;
        weekday = previousWeekday(weekday);
        labelled = labelled.addSecs(-86400);
    }
}

void QVRStemTimeLineView::drawMonthGrid(double days) {
    const QRectF r = iRect();
    const double X = r.x(), W = r.width(), top = r.y() + r.height(), y0 = r.y() + 16;
    const QDate endDay = endDate_.toUTC().date();
    const QDate firstMonth(endDay.year(), endDay.month(), 1);
    int yearStep = 0; // year labels only, every yearStep years
    if (days > 29200)
        yearStep = 20;
    else if (days > 21900)
        yearStep = 10;
    else if (days > 5475)
        yearStep = 5;
    else if (days > 2920)
        yearStep = 2;
    const bool monthLabels = days <= 730;
    const bool multiYear = days > 730 && days <= 2920;

    double previousX = X + W;
    for (int step = 0; step < 100000; ++step) {
        const QDate month = firstMonth.addMonths(-step);
        const double x = xOfTime(QDateTime(month, QTime(0, 0), QTimeZone::utc()));
        if (!(x >= X - 18))
            break;
        const bool january = month.month() == 1;
        if (monthLabels) {
            if (x >= X) {
                gridLine(x, top + 8, x, y0 - 8);
                if (january)
                    label(QString::asprintf("%d", month.year()), x + 4, top + 8, 1, 2);
            }
            const double middle = (x + previousX) / 2;
            if (X < middle && middle < X + W - 18)
                label(monthLabels_.value(month.month() - 1), middle, r.y());
        } else if (multiYear) {
            if (x >= X)
                gridLine(x, top + 8, x, y0 - 8, january || month.month() == 7 ? 0.4 : 0.2);
            if (january && X < x && x < X + W - 18)
                label(QString::asprintf("%d", month.year()), x, r.y());
        } else if (january) {
            if (x >= X)
                gridLine(x, top + 8, x, y0 - 8, 0.4);
            if (month.year() % yearStep == 0 && X < x && x < X + W - 18)
                label(QString::asprintf("%d", month.year()), x, r.y());
        }
        previousX = x;
    }
}

void QVRStemTimeLineView::drawMagnitudeLines() {
    if (!(minMag_ <= maxMag_))
        return;
    const QRectF r = iRect();
    const double X = r.x(), W = r.width(), H = r.height(), top = r.y() + H, y0 = r.y() + 16;
    const double range = maxMag_ - minMag_;
    for (double m = minMag_; m <= maxMag_; m += 1) {
        const double y = range > 0 ? (m - minMag_) * (H - 16) / range + y0 : y0;
        if (y > top)
            break;
        gridLine(X, y, X + W, y);
        if (range <= 0)
            break;
    }
}

// --- mouse

void QVRStemTimeLineView::mousePressEvent(QMouseEvent* event) {
    if (event->modifiers() & Qt::ShiftModifier) {
        QVRView::mousePressEvent(event); // drags the picture out
        return;
    }
    if (event->type() != QEvent::MouseButtonPress || event->button() != Qt::LeftButton)
        return;
    const QPointF p = viewPointForWidgetPosition(event->position());
    const QRectF r = iRect();
    if (p.x() < r.left() || p.x() > r.right() || p.y() < r.top() || p.y() > r.bottom())
        return;
    if (auto* receiver = dynamic_cast<timeLineClickReceiver*>(controller()))
        receiver->handleClickedMouseInTimeLine(dataPointForViewPoint(p));
}
