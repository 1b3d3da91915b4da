#include "QVRTextAttributes.h"

#include <QFontMetricsF>

QVRTextAttributes QVRTextAttributes::helvetica(double points, const QColor& color) {
    QFont font(QStringLiteral("Helvetica"));
    // One point of the view is one unit of its painter (a pixel on screen and in images, a
    // point in PDF), so sizes are given in those units, not scaled by the device's dpi.
    font.setPixelSize(qMax(1, qRound(points)));
    return QVRTextAttributes{font, color};
}

QSizeF QVRTextAttributes::measure(const QString& text) const {
    const QFontMetricsF metrics(font);
    return QSizeF(metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent());
}
