#pragma once

#include "seismicOrigin.h"

// What the time line asks of whoever supplies its events (the application controller).
class timeLineDataSource {
public:
    virtual ~timeLineDataSource() = default;

    virtual int countOfVisibleEvents() = 0;
    virtual std::shared_ptr<seismicOrigin> visibleOriginAtIndex(int index) = 0;
    // Every origin, newest first.
    virtual const originList& allSeismicOrigins() = 0;
    // The source answers by sending setPlotBounds() to the time line.
    virtual void communicateMapRect() = 0;
    // The source answers by sending setMinMag() and setMaxMag() to the time line.
    virtual void communicateMinDisplayMagnitude() = 0;
};

// What the time line tells its controller about clicks.
class timeLineClickReceiver {
public:
    virtual ~timeLineClickReceiver() = default;
    // `dataPoint`: x the age in seconds at the click, y the vertical data value.
    virtual void handleClickedMouseInTimeLine(QPointF dataPoint) = 0;
};
