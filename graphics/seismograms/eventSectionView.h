#pragma once

#include "QVRView.h"
#include "SacObject.h"
#include "eventSectionTrace.h"
#include "keptTraceLayer.h"
#include "keptTracePoints.h"
#include "qvr_graphics_export.h"
#include "seismogramCursor.h"
#include "travelTimeCalculator.h"
#include "travelTimeCurves.h"

#include <QList>
#include <QPainter>
#include <QRectF>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

// The record section of one event: each seismogram at its epicentral distance (y, degrees, to
// scale) against the time after the event's origin (x), with the travel-time curves of the
// chosen phases over them and the time picks of each file marked and named.
//
// Each trace is drawn about the line of its distance, its mean on the line and its largest
// departure from the mean reaching `gain` times the traces' mean spacing, and is clipped to
// its band: halfway to the neighbouring distances above and below. Station labels stand in the
// right margin beside their traces. The time axis is whatever the x limits say (seconds after
// the origin, less distance / reduction velocity when one is set), so that zooming and panning
// need only setXLimits() and update(); the distances always show every trace.
//
// Lives on the interface thread.
class QVR_GRAPHICS_EXPORT eventSectionView : public QVRView, public seismogramCursor {
    Q_OBJECT
public:
    // Picks set through pickAt() change the seismograms, which are shared with whoever
    // loaded them.
    using seismogramList = QList<std::shared_ptr<SacObject>>;

    static constexpr float defaultGain = 1.0f;
    // A section longer than this (s) is labelled in minutes.
    static constexpr double longestInSeconds = 1200;

    explicit eventSectionView(QWidget* parent = nullptr);
    ~eventSectionView() override;

    // The seismograms to show. Those without event coordinates, an origin time or a distance
    // are left out with one log line each. The x limits become the whole record, the y limits
    // the distances with half a mean spacing above and below, within 0–180°.
    void setWvfrmsArray(const seismogramList& seismograms);
    const seismogramList& wvfrmsArray() const { return wvfrmsArray_; }
    // The traces shown, nearest first (equal distances in the order given).
    const std::vector<eventSectionTrace>& sectionTraces() const { return traces_; }
    // Trace `index`'s band of distances (°), lower and upper edge.
    std::pair<double, double> bandOf(int index) const;

    // The largest departure of each trace from its mean, in mean trace spacings.
    float gain() const { return gain_; }
    void setGain(float gain);
    // A dotted line along each trace's distance.
    bool showZeroLine() const { return showZeroLine_; }
    void setShowZeroLine(bool on) { showZeroLine_ = on; }
    // km/s; each trace is drawn distance / velocity earlier (distance in km: 111.19 km a
    // degree). 0, the default, reduces nothing. The x limits become the whole record.
    float reductionVelocity() const { return reductionVelocity_; }
    void setReductionVelocity(float kmPerSecond);
    // The phases whose curves are drawn (names of travelTimeCalculator::phaseNames()); P and S
    // include their upgoing legs from a buried source. defaultPhases() at first.
    const QStringList& phases() const { return phases_; }
    // P, S, PP, SS, PKIKP and SKS.
    static QStringList defaultPhases();
    void setPhases(const QStringList& phases) { phases_ = phases; }
    // The Earth model of the curves: "ak135" (the default) or "iasp91".
    const QString& modelName() const { return modelName_; }
    void setModelName(const QString& name) { modelName_ = name; }
    // The curves of the last draw.
    const std::vector<travelTimeBranch>& travelTimeBranches() const { return curves_; }

    // pRect = iRect = the bounds less 70 left (distances), 100 right (station labels), 56 bottom
    // (times) and 64 top (the event and the phase names).
    void computeRects() override;
    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;

    // The one mapping between the section and the view (y up): x of a time (s, reduced as the
    // axis is), y of a distance (°), and back.
    double xForTime(double time) const;
    double timeForX(double x) const;
    double yForDistance(double degrees) const;
    double distanceForY(double y) const;
    // Seconds trace `index` is drawn earlier than its time after the origin.
    double reductionOf(int index) const;
    // The trace whose band holds view height `y`; −1 for none.
    int traceAtY(double y) const;

    // --- seismogramCursor
    std::pair<float, float> wholeRecordXLimits() const override;
    std::optional<seismogramReading> readingAt(QPointF viewPoint) const override;
    // Sets the pick on the seismogram whose band holds the point, at the point's time.
    bool pickAt(QPointF viewPoint, const QString& phase) override;

private:
    QRectF plotRect() const;
    // Seconds to a unit of the time axis: 60 for a long section, else 1.
    double timeUnit() const;
    QString timeAxisTitle() const;
    void drawTraces(QPainter& painter);
    void strokeTraces(QPainter& painter, const std::vector<const QPolygonF*>& points) const;
    void updateCurves();
    void drawCurves(QPainter& painter, QList<QRectF>& labelBoxes);
    void drawPicks(QPainter& painter);
    void drawAxes(QPainter& painter);
    void drawStationLabels();
    void drawEventLine();
    void drawLabel(const QString& text, const QRectF& box, const QColor& color, float points,
                   bool backing);

    seismogramList wvfrmsArray_;
    std::vector<eventSectionTrace> traces_;
    std::vector<std::pair<double, double>> bands_; // per trace, °
    std::pair<double, double> distanceLimits_{0, 1};
    double spacing_ = 1; // °, the traces' mean spacing
    float gain_ = defaultGain;
    bool showZeroLine_ = false;
    float reductionVelocity_ = 0;
    QStringList phases_;
    QString modelName_;

    // The curves for the event's depth over the section's distances, made again only when
    // they change: the calculator takes about 100 µs a distance.
    struct curveInputs {
        QString model;
        QStringList phases;
        double depth = -1, from = 0, to = 0;
        bool operator==(const curveInputs& other) const = default;
    };
    std::optional<curveInputs> curvesFor_;
    std::optional<travelTimeCalculator> calculator_;
    std::vector<travelTimeBranch> curves_;

    // The traces' points, one per trace, and their strokes, both kept while nothing that
    // places them changes: an unchanged frame then costs laying the layer on.
    std::vector<keptTracePoints> keptPoints_;
    keptTraceLayer traceLayer_;
};
