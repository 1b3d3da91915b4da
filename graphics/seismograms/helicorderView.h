#pragma once

#include "QVRHelicorderHypocenter.h"
#include "QVRView.h"
#include "SacObject.h"
#include "qvr_graphics_export.h"

#include <QDateTime>
#include <QList>

#include <memory>

// Continuous seismograms drawn the way a drum recorder does: time runs left to right along
// rows of a fixed duration and successive rows stack downwards, each on its own baseline, so
// a day of one channel fits on one page. Earthquakes at or above a magnitude threshold are
// marked by coloured bars across their row at the origin time.
//
// Time is counted in seconds from startTime, the top of the first record's first hour; the
// view sets it, and the x limits (0 … rowDuration), at every draw.
class QVR_GRAPHICS_EXPORT helicorderView : public QVRView {
    Q_OBJECT
public:
    // The view only reads the records and the events; the lists share them with the owner.
    using seismogramList = QList<std::shared_ptr<const SacObject>>;
    using hypocenterList = QList<std::shared_ptr<const QVRHelicorderHypocenter>>;

    explicit helicorderView(QWidget* parent = nullptr);

    // Consecutive records of one channel, in time order.
    const seismogramList& wvfrmArray() const { return wvfrmArray_; }
    void setWvfrmArray(const seismogramList& records) { wvfrmArray_ = records; }
    const hypocenterList& theHypos() const { return theHypos_; }
    void setTheHypoArray(const hypocenterList& hypocenters) { theHypos_ = hypocenters; }

    float maxAmplitude() const { return maxAmplitude_; }
    void setMaxAmplitude(float amplitude) { maxAmplitude_ = amplitude; }
    float gainFactor() const { return gainFactor_; }
    void setGainFactor(float gain) { gainFactor_ = gain; }
    float rowDuration() const { return rowDuration_; } // s
    void setRowDuration(float seconds) { rowDuration_ = seconds; }
    int nRows() const { return nRows_; }
    void setNRows(int rows) { nRows_ = rows; }
    const QDateTime& startTime() const { return startTime_; }
    void setStartTime(const QDateTime& time) { startTime_ = time.toUTC(); }
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
    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;

    // The stages of drawRect(), which they need to be running.
    void drawSeismicPhases();
    void drawMinuteMarks();
    void drawHourLabels();
    // The largest absolute amplitude of all records; −1e20 without records.
    float getAbsMaxAmplitude() const;

private:
    // Seconds from startTime to the record's first sample.
    double recordStart(const SacObject& record, double firstRecordOffset) const;
    void drawRecord(QPainter& painter, const SacObject& record, double start, double gain);

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
};
