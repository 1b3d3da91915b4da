#pragma once

#include "QVRTextAttributes.h"
#include "qvr_graphics_export.h"

#include <QPainter>
#include <QPointF>

#include <vector>

// All text of the plotting library goes through here. Painters draw in y-up view coordinates;
// the text itself must come out upright, so it is drawn through a local flip around its anchor.
namespace QVRTextDrawing {

// Draws `text` with the bottom-left corner of its box at `anchor` (y up), turned by `degrees`
// counter-clockwise about the anchor.
QVR_GRAPHICS_EXPORT void drawText(QPainter& painter, const QString& text, QPointF anchor,
                                  const QVRTextAttributes& attributes, double degrees = 0);

// What was drawn, for tests: while a recorder is installed every drawn text is appended to it.
struct drawnText {
    QString text;
    QPointF anchor; // bottom-left of the text box, view coordinates
    double degrees = 0;
};
QVR_GRAPHICS_EXPORT void setRecorder(std::vector<drawnText>* recorder);

} // namespace QVRTextDrawing
