#pragma once

#include "QVRCircleStamps.h"
#include "QVRKeptLayer.h"
#include "QVRView.h"
#include "timeLineDataSource.h"

#include <QDateTime>
#include <QImage>
#include <QStringList>
#include <QTransform>

#include <functional>

// The strip under the map: every visible origin is a circle placed by its origin time between
// startDate and endDate, raised by magnitude, sized by magnitude cubed and coloured by age
// (red, then orange, then yellow) or by depth class as on the map, over a grid of time lines whose
// spacing follows the span.
//
// The time axis holds ages: xmin is the age of startDate and xmax that of endDate, in seconds
// before now, so time runs from left (older) to right (newer).
class QVRStemTimeLineView : public QVRView {
    Q_OBJECT
public:
    explicit QVRStemTimeLineView(QWidget* parent = nullptr);

    timeLineDataSource* dataSource() const { return dataSource_; }
    void setDataSource(timeLineDataSource* source) { dataSource_ = source; } // not owned
    const QDateTime& startDate() const { return startDate_; }
    void setStartDate(const QDateTime& d) { startDate_ = d; }
    const QDateTime& endDate() const { return endDate_; }
    void setEndDate(const QDateTime& d) { endDate_ = d; }
    int iToday() const { return iToday_; }
    void setIToday(int weekday) { iToday_ = weekday; }
    float minMag() const { return minMag_; }
    void setMinMag(float v) { minMag_ = v; }
    float maxMag() const { return maxMag_; }
    void setMaxMag(float v) { maxMag_ = v; }
    float symbolScaleFactor() const { return symbolScaleFactor_; }
    void setSymbolScaleFactor(float v) { symbolScaleFactor_ = v; }
    double orangeTimeRange() const { return orangeTimeRange_; }
    void setOrangeTimeRange(double seconds) { orangeTimeRange_ = seconds; }
    // The yellow range's getter has always been called redTimeRange.
    double redTimeRange() const { return yellowTimeRange_; }
    void setYellowTimeRange(double seconds) { yellowTimeRange_ = seconds; }
    bool colorByDepth() const { return colorByDepth_; }
    void setColorByDepth(bool on) { colorByDepth_ = on; }
    // The source calls this whenever the events it answers with change, so that the kept
    // layer of drawn events is drawn again.
    void eventsDidChange() { eventLayer_.changed(); }
    // On pixel devices the drawn events are kept as a layer while nothing they depend on
    // changes; off, every frame draws them afresh (the two pictures agree, see drawEvents).
    bool _keepEventLayer() const { return keepEventLayer_; }
    void set_keepEventLayer(bool on) {
        keepEventLayer_ = on;
        eventLayer_.drop();
    }
    // Where a stale event layer is drawn instead of in the paint pass: `runner` runs the work
    // it is given on a worker; none (the default) draws it in the paint pass. Its owner keeps
    // it working, or stops it, while the view lives.
    void setLayerRunner(std::function<void(std::function<void()>)> runner) {
        eventLayer_.setRunner(std::move(runner));
    }
    // With a runner, has a stale event layer for the events and settings as they stand drawn
    // on it, and repaints when it arrives; until then the window shows the circles it showed.
    // False, with nothing started, when there is no runner, the view has not been shown or the
    // layer is current: the caller repaints as before.
    bool drawEventLayerInBackground();
    const QStringList& dayLabels() const { return dayLabels_; }
    const QStringList& monthLabels() const { return monthLabels_; }

    // "Now" for ages and the grid; the wall clock unless a test fixes it.
    QDateTime now() const { return clock_(); }
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    // Lines the plot area up under the map's plot rectangle `r`; an empty `r` leaves 54
    // points on the left and 36 on the right.
    void setPlotBounds(const QRectF& r);
    void computeMinandMaxTimeFromSortedEventList();
    void computeMinandMaxTimeFromStartDateEndDate();
    void computeStartandEndDateFromSortedEventList();

    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;
    void drawEvents();
    void drawGrid();
    // Hours from the start of today to now, negative (−13.5 at 13:30); sets iToday
    // (1 Sunday … 7 Saturday).
    double hrsSinceYesterday();

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    // Everything the drawn events depend on besides the events themselves and the clock.
    struct eventLayerKey {
        QRectF plotRect;
        QDateTime startDate, endDate;
        float minMag = 0, maxMag = 0, symbolScaleFactor = 0;
        double yellowTimeRange = 0, orangeTimeRange = 0;
        bool colorByDepth = false;
        int count = 0;
        const seismicOrigin *first = nullptr, *last = nullptr;
        QSize deviceSize;
        QTransform toDevice;
        bool operator==(const eventLayerKey&) const = default;
    };
    // What the circles are drawn from: a copy, so that a worker may draw them.
    struct eventDrawing {
        originList events; // newest first
        QRectF plotRect;
        QDateTime startDate, endDate, now;
        float minMag = 0, maxMag = 0, symbolScaleFactor = 0;
        double yellowTimeRange = 0, orangeTimeRange = 0;
        bool colorByDepth = false;
    };
    // The visible events and settings as they stand; false when there is nothing to draw.
    bool eventsAsTheyStand(eventDrawing& drawing);
    eventLayerKey eventLayerKeyFor(const eventDrawing& drawing, const QSize& deviceSize,
                                   const QTransform& toDevice) const;
    // The one routine that draws the circles, on any device and any thread, with `painter`;
    // it answers when the first of them changes colour by age (an invalid time when none will).
    static QDateTime paintEvents(QPainter& painter, QVRCircleStamps& circles,
                                 const eventDrawing& d);
    // The circles over transparency, with the time their colours change.
    struct eventLayerImage {
        QImage image;
        QDateTime colorsChange;
    };
    static eventLayerImage drawEventLayer(const eventDrawing& d, const eventLayerKey& key,
                                          QVRCircleStamps& circles);
    void gridLine(double x0, double y0, double x1, double y1, double alpha = 0.2);
    void label(const QString& text, double x, double y, int hJust = 2, int vJust = 2);
    void drawHourGrid(int hoursPerStep, int labelEvery);
    void drawDayGrid();
    void drawWeekGrid();
    void drawMonthGrid(double days);
    void drawMagnitudeLines();
    double xOfTime(const QDateTime& t) const;
    double ageOf(const QDateTime& t) const;

    timeLineDataSource* dataSource_ = nullptr;
    int iToday_ = 0;
    QStringList dayLabels_{"S", "M", "T", "W", "T", "F", "S"};
    QStringList monthLabels_{"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                             "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
    float minMag_ = 2.0f, maxMag_ = 10.0f;
    float symbolScaleFactor_ = 0;
    double yellowTimeRange_ = 86400; // s
    double orangeTimeRange_ = 21600; // s
    bool colorByDepth_ = false;
    QDateTime startDate_, endDate_;
    std::function<QDateTime()> clock_ = [] { return QDateTime::currentDateTimeUtc(); };
    QPainterPath gridPath_; // one reusable path for every grid line
    QVRCircleStamps circles_;
    bool keepEventLayer_ = true;
    QVRKeptLayer<eventLayerKey> eventLayer_; // device pixels, transparent where no event is
    QDateTime eventLayerColorsChange_;       // invalid: colours do not change with age
};
