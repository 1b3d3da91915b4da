#pragma once

#include "qvr_graphics_export.h"

#include <QColor>
#include <QFont>
#include <QSizeF>
#include <QString>

// The font and colour a piece of text is drawn with: the attribute set of a label, title or
// time stamp.
struct QVR_GRAPHICS_EXPORT QVRTextAttributes {
    QFont font;
    QColor color = Qt::black;

    // "Helvetica" of `points` size (view points, whole) in black, or `color`.
    static QVRTextAttributes helvetica(double points, const QColor& color = Qt::black);

    // Width (the advance) and height (ascent + descent) of `text` in these attributes.
    QSizeF measure(const QString& text) const;
};
