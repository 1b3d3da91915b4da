#pragma once

#include "qvr_graphics_export.h"

#include <QColor>
#include <QList>

// The colour lists of the map view's symbols.
namespace mapColorLists {
// n entries from red to white; a single red entry when n is below 2.
QVR_GRAPHICS_EXPORT QList<QColor> grayScaleColors(int levels);
QVR_GRAPHICS_EXPORT QList<QColor> noGreenColors();
QVR_GRAPHICS_EXPORT QList<QColor> seisColors();
QVR_GRAPHICS_EXPORT QList<QColor> polarColors();
} // namespace mapColorLists
