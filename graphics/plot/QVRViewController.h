#pragma once

#include "qvr_graphics_export.h"

#include <QPointF>

// What a plot view tells its controller about the mouse. Positions are in the view's data
// units (its x and y limits), already converted from the pointer position.
class QVR_GRAPHICS_EXPORT QVRViewController {
public:
    virtual ~QVRViewController();

    // The pointer moved over the plot area.
    virtual void handleTrackedMousePosition(QPointF dataPoint) = 0;
    // The user clicked in the plot area.
    virtual void handleClickedMousePosition(QPointF dataPoint) = 0;
};
