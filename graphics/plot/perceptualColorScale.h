#pragma once

#include "qvr_graphics_export.h"

#include <QRgb>

// A perceptually uniform colour scale for values where a brighter colour must mean more (power,
// density): dark violet through blue and green to yellow, lightness rising evenly so that
// equal steps of value look like equal steps of colour, also to readers with red–green colour
// blindness and in grey print. Pure: callable from any thread.
namespace perceptualColorScale {

// The colour of `fraction` of the way up the scale; clamped to 0…1, NaN the bottom.
QVR_GRAPHICS_EXPORT QRgb colourAt(double fraction);

} // namespace perceptualColorScale
