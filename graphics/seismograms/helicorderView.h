#pragma once

#include "QVRHelicorderHypocenter.h"
#include "QVRView.h"
#include "SacObject.h"
#include "keptTraceLayer.h"
#include "qvr_graphics_export.h"
#include "seismogramCursor.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>

#include <memory>

// Continuous seismograms drawn the way a drum recorder does: time runs left to right along
// rows of a fixed duration and successive rows stack downwards, each on its own baseline, so
// a day of one channel fits on one page. Earthquakes at or above a magnitude threshold are
// marked by coloured bars across their row at the origin time.
//
// Time is counted in seconds from startTime, the top of the first record's first hour; the
// view sets it at every draw. The x limits are the part of each row shown: 0 … rowDuration,
// set at every draw unless the time range is fixed, when every row shows only that span
// (a zoom). Each row's trace is clipped to the row.
class QVR_GRAPHICS_EXPORT helicorderView : public QVRView, public seismogramCursor {
    Q_OBJECT
public:
    // The view only reads the records and the events; the lists share them with the owner.
    using seismogramList = QList<std::shared_ptr<const SacObject>>;
    using hypocenterList = QList<std::shared_ptr<const QVRHelicorderHypocenter>>;

    explicit helicorderView(QWidget* parent = nullptr);

    // Consecutive records of one channel, in time order.
    const seismogramList& wvfrmArray() const { return wvfrmArray_; }
    // What is drawn of the records is kept between draws: records changed in place (processed
    // again, say) must be set again.
    void setWvfrmArray(const seismogramList& records);
    const hypocenterList& theHypos() const { return theHypos_; }
    void setTheHypoArray(const hypocenterList& hypocenters) { theHypos_ = hypocenters; }

    float maxAmplitude() const { return maxAmplitude_; }
    void setMaxAmplitude(float amplitude);
    float gainFactor() const { return gainFactor_; }
    void setGainFactor(float gain);
    float rowDuration() const { return rowDuration_; } // s
    void setRowDuration(float seconds);
    int nRows() const { return nRows_; }
    void setNRows(int rows);
    const QDateTime& startTime() const { return startTime_; }
    void setStartTime(const QDateTime& time);
    double plotDuration() const { return plotDuration_; } // s
    void setPlotDuration(double seconds) { plotDuration_ = seconds; }
    bool showZeroLines() const { return showZeroLines_; }
    void setShowZeroLines(bool on) { showZeroLines_ = on; }
    float magThreshold() const { return magThreshold_; }
    void setMagThreshold(float magnitude) { magThreshold_ = magnitude; }
    bool labelHours() const { return labelHours_; }
    void setLabelHours(bool on) { labelHours_ = on; }

    // pRect = iRect = the bounds less 72 left, 36 right, 36 bottom, 64 top.
    void computeRects() override;
    // (pRect height − 36) / (nRows + 1): the rows leave one row's height and the scale's
    // 36 points free at the bottom.
    double rowHeight() const;
    // The baseline of row r, half a row below its top.
    double rowBaseline(int row) const;
    // The band of row r, which its trace is clipped to.
    QRectF rowRect(int row) const;
    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;

    // "2026-12-08 - IU ANMO 00 BHZ": the record's date and codes, the undefined ones left out.
    static QString title(const SacObject& record);

    // The stages of drawRect(), which they need to be running.
    void drawSeismicPhases();
    void drawMinuteMarks();
    void drawHourLabels();
    // The largest absolute amplitude of all records; −1e20 without records.
    float getAbsMaxAmplitude() const;

    // A whole row: 0 … rowDuration.
    std::pair<float, float> wholeRecordXLimits() const override;
    // The moment of the row under the pointer, and the record's sample there.
    std::optional<seismogramReading> readingAt(QPointF viewPoint) const override;

private:
    // Seconds from startTime to the record's first sample.
    double recordStart(const SacObject& record, double firstRecordOffset) const;
    void drawRecords(QPainter& painter, double firstRecordOffset, double gain);
    struct keptRows;
    // The line points of each row record `index` crosses, as tracePath gives them; clears
    // `unchanged` when they are not the ones kept from the last draw.
    const keptRows& rowPointsOf(int index, const QPainter& painter, double start, double gain,
                                bool& unchanged);
    void dropKeptRows();

    // What placed a record's row points; equal inputs give equal points.
    struct rowInputs {
        const SacObject* record = nullptr;
        const float* samples = nullptr;
        int count = 0;
        double start = 0, gain = 0; // s from startTime; view points per unit of amplitude
        double rowDuration = 0;
        float xmin = 0, xmax = 0; // s into each row
        int rows = 0;
        QRectF plot;
        QTransform device;
        bool operator==(const rowInputs& other) const = default;
    };
    struct keptRows {
        bool valid = false;
        rowInputs inputs;
        QList<QPolygonF> rows;
        QList<int> rowOf; // the row of each line
    };

    seismogramList wvfrmArray_;
    hypocenterList theHypos_;
    float maxAmplitude_ = 0;
    float gainFactor_ = 8.0f;
    float rowDuration_ = 3600.0f;
    int nRows_ = 24;
    QDateTime startTime_;
    double plotDuration_ = 0;
    bool showZeroLines_ = false;
    float magThreshold_ = 4.0f;
    bool labelHours_ = false;
    // A day at 100 Hz is 8.64 million samples to reduce to envelopes at every draw, while a
    // window draws the same picture again whenever it is uncovered: the row points of each
    // record (one entry per record) are kept from the last draw on a pixel device.
    QList<keptRows> keptRows_;
    keptRows unkeptRows_;
    // What remains of a frame is the raster engine stroking the envelopes' ink (two thirds of
    // a day's frame even with the points kept), so the strokes are kept too, as a transparent
    // layer in the device's pixels. Laid over the baselines and bars it matches stroking
    // straight onto them to within a few levels of 255, where antialiased edges overlap.
    keptTraceLayer traceLayer_;
};
