#include "perceptualColorScale.h"

#include <algorithm>
#include <cmath>

namespace {

struct stop {
    int red, green, blue;
};

// The viridis scale (van der Walt and Smith, public domain) at every tenth of the way, joined by
// straight steps: the scale bends little within a tenth.
constexpr stop stops[] = {{68, 1, 84},    {72, 36, 117},  {65, 68, 135},  {53, 95, 141},
                          {42, 120, 142}, {33, 145, 140}, {34, 168, 132}, {68, 191, 112},
                          {122, 209, 81}, {189, 223, 38}, {253, 231, 37}};
constexpr int lastStop = int(std::size(stops)) - 1;

} // namespace

namespace perceptualColorScale {

QRgb colourAt(double fraction) {
    const double at = std::isnan(fraction) ? 0.0 : std::clamp(fraction, 0.0, 1.0) * lastStop;
    const int below = std::min(int(at), lastStop - 1);
    const double f = at - below;
    const stop& a = stops[below];
    const stop& b = stops[below + 1];
    const auto mix = [f](int from, int to) { return int(std::lround(from + f * (to - from))); };
    return qRgb(mix(a.red, b.red), mix(a.green, b.green), mix(a.blue, b.blue));
}

} // namespace perceptualColorScale
