#pragma once

#include "SeisView01.h"
#include "qvr_graphics_export.h"

#include <QRectF>

// Seismograms either overlaid on one pair of axes or in equal panels one under the other, each
// clipped to the amplitude limits and labelled with its file name. The trace list, fill flags,
// plot rectangle and limits are those of the overlay view.
class QVR_GRAPHICS_EXPORT SeisView02 : public SeisView01 {
    Q_OBJECT
public:
    // 1: every trace on one pair of axes; 2: one panel per trace, the first at the top.
    static constexpr int overlaidStyle = 1;
    static constexpr int panelStyle = 2;

    explicit SeisView02(QWidget* parent = nullptr);

    int plotStyle() const { return plotStyle_; }
    void setplotStyle(int style) { plotStyle_ = style; }
    // The traces, which the view may change: in panels, P and S picks go into their headers.
    void setPickableSeismograms(const QList<std::shared_ptr<SacObject>>& seismograms);

    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;

    // The rectangle trace `index` of `count` is drawn in.
    QRectF traceRect(int index, int count) const;
    // `shift` (s) moves the seismogram's times onto the view's time axis.
    void drawSeismogram(const SacObject* seismogram, const QRectF& rect, double shift = 0);
    // The file name without its ".sac", at the rectangle's top left.
    void drawLabelForSignal(const SacObject* seismogram, const QRectF& rect);
    void drawAxesOnRect(const QRectF& rect);
    // The header's picks of a seismogram moved by `shift` onto the time axis, in its panel.
    void drawPicks(const SacObject* seismogram, const QRectF& rect, double shift);

    // In panels, the trace of the panel under the pointer.
    std::optional<seismogramReading> readingAt(QPointF viewPoint) const override;
    // In panels, sets the pick on the trace of the panel under the point, when the view was
    // given its seismograms to change.
    bool pickAt(QPointF viewPoint, const QString& phase) override;
    // The file name shown for a seismogram read from `path`.
    static QString labelForPath(const QString& path);

private:
    // The panel under a point of the view; -1 outside every one, or not in panels.
    int panelAt(QPointF viewPoint) const;

    int plotStyle_ = overlaidStyle;
    QList<std::shared_ptr<SacObject>> pickable_; // empty, or the traces of the list
};
