#include "QVRTextDrawing.h"

#include <QFontMetricsF>

namespace QVRTextDrawing {
namespace {
std::vector<drawnText>* currentRecorder = nullptr;
}

void setRecorder(std::vector<drawnText>* recorder) {
    currentRecorder = recorder;
}

void drawText(QPainter& painter, const QString& text, QPointF anchor,
              const QVRTextAttributes& attributes, double degrees) {
    if (currentRecorder)
        currentRecorder->push_back({text, anchor, degrees});
    painter.save();
    painter.translate(anchor);
    if (degrees != 0)
        painter.rotate(degrees); // counter-clockwise, as the y axis points up
    painter.scale(1, -1);        // text is laid out y-down
    painter.setFont(attributes.font);
    painter.setPen(attributes.color);
    // The anchor is the bottom of the text box: the baseline lies one descent above it.
    painter.drawText(QPointF(0, -QFontMetricsF(attributes.font).descent()), text);
    painter.restore();
}

} // namespace QVRTextDrawing
