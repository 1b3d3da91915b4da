#pragma once

#include <QColor>

// The greys the seismogram views draw their lesser lines and texts in.
namespace seismogramColors {

inline QColor darkGray() {
    return QColor::fromRgbF(1.0 / 3.0, 1.0 / 3.0, 1.0 / 3.0);
}

inline QColor lightGray() {
    return QColor::fromRgbF(2.0 / 3.0, 2.0 / 3.0, 2.0 / 3.0);
}

} // namespace seismogramColors
