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

    void drawRect(QPainter& painter, const QRectF& dirtyRect) override;

    // The rectangle trace `index` of `count` is drawn in.
    QRectF traceRect(int index, int count) const;
    void drawSeismogram(const SacObject* seismogram, const QRectF& rect);
    // The file name without its ".sac", at the rectangle's top left.
    void drawLabelForSignal(const SacObject* seismogram, const QRectF& rect);
    void drawAxesOnRect(const QRectF& rect);
    // The file name shown for a seismogram read from `path`.
    static QString labelForPath(const QString& path);

private:
    int plotStyle_ = overlaidStyle;
};
