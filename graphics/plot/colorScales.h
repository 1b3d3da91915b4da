#pragma once

#include "qvr_graphics_export.h"

// The colour scales of image plots and topography, as plain functions of a value. Components
// are 0…255 (0…1 for the float form); alpha is always 1. Pure: callable from any thread.
extern "C" {

// The value itself below 256, else 255.
QVR_GRAPHICS_EXPORT unsigned int validateColor(unsigned int value);

// `value` in 0…1 quantised to `shades` levels, then coloured by `palette`: 0 grey (0 white,
// 1 black), 1 red–white–blue, 2 and 3 the 19-step blue–green–yellow–red scale (2 high values
// blue, 3 high values red), any other the 19-step diverging scale.
QVR_GRAPHICS_EXPORT void getColorValues(float value, int shades, int palette, int* red, int* green,
                                        int* blue, int* alpha);

// The 19-step blue–red scale at `value` in 0…1 (clamped), as fractions; `palette` is not used.
QVR_GRAPHICS_EXPORT void getColorValuesFloat(float value, int palette, float* red, float* green,
                                             float* blue, float* alpha);

// The topography colour of a height in metres; `palette` is not used.
QVR_GRAPHICS_EXPORT void getTopoColorValues(float height, int palette, int* red, int* green,
                                            int* blue, int* alpha);
}
