#pragma once

#include "QVRMarkedEarthquake.h"
#include "SeisView01.h"
#include "qvr_graphics_export.h"

#include <QColor>
#include <QDateTime>
#include <QList>

#include <memory>
#include <optional>
#include <utility>

// Recent seismograms as a stack of horizontal traces on one time axis, one band each, with
// station labels, the reference date and time in UTC and local time, a dotted line on the
// reference side, minute ticks along the bottom and, optionally, a coloured line at the origin
// time of each earthquake that falls in the window.
//
// The owner sets the limits: xmin … xmax is the window in seconds on the seismograms' own
// time axis, ymin … ymax the amplitude that fills one band at gain 1.
class QVR_GRAPHICS_EXPORT QVRRealTimeDisplayView02 : public SeisView01 {
    Q_OBJECT
public:
    // Shared with the owner, so that a catalogue reload cannot leave the view pointing at
    // earthquakes that are gone.
    using earthquakeList = QList<std::shared_ptr<const QVRMarkedEarthquake>>;

    explicit QVRRealTimeDisplayView02(QWidget* parent = nullptr);

    // The window's right end when originOnRight, else its left end.
    const QDateTime& refDate() const { return refDate_; }
    void setRefDate(const QDateTime& date) { refDate_ = date; }
    // The owner's window: `start` … `stop` s on the traces' time axis, `stop` being the moment
    // `end`, which becomes refDate. The view shows it, and follows it from one call to the
    // next, unless the x limits were changed (a zoom or a pan): they then keep showing the
    // same moments until they are the window's again.
    void setWindow(const QDateTime& end, float start, float stop);
    // The moment at the reference side of what is shown: refDate, moved with a zoom.
    QDateTime shownRefDate() const;
    const earthquakeList& eventOrigins() const { return eventOrigins_; }
    void setEventOrigins(const earthquakeList& earthquakes) { eventOrigins_ = earthquakes; }
    float waveformGain() const { return waveformGain_; }
    void setWaveformGain(float gain) { waveformGain_ = gain; }
    bool originOnRight() const { return originOnRight_; }
    void setOriginOnRight(bool on) { originOnRight_ = on; }
    bool drawOriginTimes() const { return drawOriginTimes_; }
    void setDrawOriginTimes(bool on) { drawOriginTimes_ = on; }
    const QColor& backGroundColor() const { return backGroundColor_; }
    void setBackGroundColor(const QColor& color) { backGroundColor_ = color; }
    const QColor& drawingColor() const { return drawingColor_; }
    void setDrawingColor(const QColor& color) { drawingColor_ = color; }
    // The band of each trace of the list, from 0 down: a stream with gaps is several traces
    // in one band, labelled once by its first; the traces of a band follow each other. Empty
    // (as by default), or not one a trace, each trace has a band of its own.
    const QList<int>& traceBands() const { return traceBands_; }
    void setTraceBands(const QList<int>& bands) { traceBands_ = bands; }

    // pRect = iRect = the bounds less 60 left, 80 right, 84 bottom, 60 top.
    void computeRects() override;
    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;

    // The stages of drawRect(), which they need to be running.
    void drawTheSeismograms();
    void drawLabels();
    void drawMinuteMarks();
    void drawOriginTimeMarkers();

    // Half-transparent yellow below 5, orange from 5 to below 6, red above.
    static QColor colorForMagnitude(float magnitude);

    // The owner's window, or the limits when it set none.
    std::pair<float, float> wholeRecordXLimits() const override;
    // The moment under the pointer and the sample of the band's trace there.
    std::optional<seismogramReading> readingAt(QPointF viewPoint) const override;

protected:
    struct referenceTexts {
        QString date, utcTime, localTime;
    };
    // The reference date above the plot, its time in UTC and in the computer's time zone.
    virtual referenceTexts referenceDateTexts(const QDateTime& date) const;

private:
    int bandOf(int trace) const;

    QDateTime refDate_;
    QDateTime axisZero_;                            // the moment of 0 s on the traces' axis
    std::optional<std::pair<float, float>> window_; // s, the owner's
    QList<int> traceBands_;
    earthquakeList eventOrigins_;
    float waveformGain_ = 1.0f;
    bool originOnRight_ = true;
    bool drawOriginTimes_ = false;
    QColor backGroundColor_ = Qt::white;
    QColor drawingColor_ = Qt::black;
};
