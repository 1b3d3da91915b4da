#pragma once

#include "QVRView.h"
#include "SacObject.h"
#include "ThreeComponentObservation.h"
#include "qvr_graphics_export.h"
#include "seismogramCursor.h"

#include <QRectF>
#include <QString>

#include <memory>

// The vertical, radial and transverse seismograms of one station's recording of one earthquake
// in three stacked panels over one time axis, headed by the event and the station, with each
// component's picks marked and, on request, its largest amplitude printed.
class QVR_GRAPHICS_EXPORT ThreeCompView : public QVRView, public seismogramCursor {
    Q_OBJECT
public:
    explicit ThreeCompView(QWidget* parent = nullptr);

    const std::shared_ptr<const ThreeComponentObservation>& observation() const { return anObs_; }
    void setObservation(std::shared_ptr<const ThreeComponentObservation> observation);

    // Each trace scaled to its own largest absolute amplitude instead of the common range.
    bool selfScaled() const { return selfScaled_; }
    void setSelfScaled(bool on) { selfScaled_ = on; }
    // A red comparison trace 36 points under each component that has one.
    bool opComparison() const { return opComparison_; }
    void setOpComparison(bool on) { opComparison_ = on; }
    bool showMaxAmplitude() const { return showMaxAmplitude_; }
    void setShowMaxAmplitude(bool on) { showMaxAmplitude_ = on; }
    float maxAmplitude() const { return maxAmplitude_; }
    void setMaxAmplitude(float amplitude) { maxAmplitude_ = amplitude; }
    float altMaxAmplitude() const { return altMaxAmplitude_; }
    void setAltMaxAmplitude(float amplitude) { altMaxAmplitude_ = amplitude; }
    float pymin() const { return pymin_; }
    float pymax() const { return pymax_; }

    // The largest absolute amplitude of the three components, times 1.025.
    void computeMaxAmplitude();
    // Time limits from the earliest begin to the latest end, unless the time range is fixed
    // (zoomed); amplitude limits from the
    // extremes (or ±minYRange when that is larger than both) widened by 5 % of the
    // whole-number amplitude range, also kept as pymin … pymax.
    void computePlotLimits();
    // 0 vertical, 1 radial, 2 transverse; 3–5 their comparison traces; nullptr otherwise.
    const SacObject* getSeisWithIndex(int index) const;
    // The panel of component 0, 1 or 2 in a view of `bounds`, the vertical at the top.
    static QRectF panelRect(const QRectF& bounds, int component);

    // The header's two parts: "REGION\nOrigin Time:… / Depth:…" and "Station: STA-NET /
    // GCARC:… deg / AZ:… / BAZ:…", every field the header leaves undefined left out.
    static QString eventHeader(const SacObject& seismogram);
    static QString stationHeader(const SacObject& seismogram);

    // pRect = iRect: the panels' span, from the bottom of the lowest to the top of the highest.
    void computeRects() override;
    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;
    // From the earliest begin to the latest end of the components.
    std::pair<float, float> wholeRecordXLimits() const override;
    // The component of the panel under the pointer.
    std::optional<seismogramReading> readingAt(QPointF viewPoint) const override;
    void drawSeis(const QRectF& rect, const SacObject* seismogram);
    void drawLabelForSeis(const QRectF& rect, const SacObject* seismogram);
    void drawPicks(const QRectF& rect, const SacObject* seismogram);
    void drawPickForRect(const QRectF& rect, float time);
    void drawPickLabelForRect(const QRectF& rect, const QString& label, float time);

private:
    const SacObject* firstComponent() const;

    std::shared_ptr<const ThreeComponentObservation> anObs_;
    float maxAmplitude_ = 0.0005f;
    float altMaxAmplitude_ = 0;
    bool selfScaled_ = false;
    bool opComparison_ = false;
    bool useAltScale_ = false;
    bool showMaxAmplitude_ = false;
    float pymin_ = 0, pymax_ = 0;
};
