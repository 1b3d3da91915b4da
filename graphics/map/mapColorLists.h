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

// Depth classes: shallow (up to 70 km), intermediate (70–300 km) and deep. Their colours are
// the orange, bluish green and blue of the Okabe–Ito palette (#E69F00, #009E73, #0072B2),
// which readers with any common colour-vision deficiency still tell apart.
constexpr float intermediateDepth = 70; // km
constexpr float deepDepth = 300;        // km
QVR_GRAPHICS_EXPORT QList<QColor> depthColors();
// 0, 1 or 2; a depth of exactly 70 km is still shallow, exactly 300 km still intermediate.
QVR_GRAPHICS_EXPORT int depthClass(float depthKm);
} // namespace mapColorLists
