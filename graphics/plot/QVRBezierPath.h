#pragma once

#include "qvr_graphics_export.h"

#include <QPainterPath>

// A path with the width its lines are to be stroked with, as the axis library builds it.
class QVR_GRAPHICS_EXPORT QVRBezierPath : public QPainterPath {
public:
    float lineWidth() const { return lineWidth_; }
    void setLineWidth(float width) { lineWidth_ = width; }

private:
    float lineWidth_ = 1.0f; // points
};
