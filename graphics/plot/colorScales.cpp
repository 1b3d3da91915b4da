#include "colorScales.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

struct rgb {
    int red, green, blue;
};

// The 19-step diverging scale, dark blue to dark red.
constexpr rgb tableD[19] = {{36, 0, 216},    {24, 28, 247},   {40, 87, 255},   {61, 135, 255},
                            {86, 176, 255},  {117, 211, 255}, {153, 234, 255}, {188, 249, 255},
                            {234, 255, 255}, {255, 255, 255}, {255, 255, 234}, {255, 241, 188},
                            {255, 214, 153}, {255, 172, 117}, {255, 120, 86},  {255, 61, 61},
                            {247, 39, 53},   {216, 21, 47},   {165, 0, 33}};

// The 19-step scale from blue through green and yellow to red.
constexpr rgb tableS[19] = {{0, 51, 255},  {0, 102, 255}, {0, 153, 255}, {0, 204, 255},
                            {0, 255, 255}, {0, 255, 204}, {0, 255, 153}, {0, 255, 102},
                            {0, 255, 51},  {0, 255, 0},   {51, 255, 0},  {102, 255, 0},
                            {153, 255, 0}, {204, 255, 0}, {255, 255, 0}, {255, 204, 0},
                            {255, 153, 0}, {255, 102, 0}, {255, 51, 0}};

struct topoStop {
    float upperBound; // m
    rgb colour;
};

constexpr topoStop topography[33] = {
    {-8000, {1, 1, 100}},     {-7000, {1, 1, 150}},     {-6000, {1, 1, 200}},
    {-5000, {1, 1, 255}},     {-4000, {25, 51, 255}},   {-3000, {51, 102, 255}},
    {-2000, {102, 153, 255}}, {-1000, {153, 204, 255}}, {-500, {204, 230, 255}},
    {0, {240, 240, 255}},     {30, {100, 150, 100}},    {60, {125, 175, 125}},
    {122, {150, 200, 150}},   {183, {175, 225, 175}},   {244, {200, 255, 200}},
    {305, {212, 255, 212}},   {457, {255, 255, 225}},   {610, {255, 225, 175}},
    {702, {255, 225, 125}},   {914, {255, 175, 75}},    {1219, {200, 150, 50}},
    {1450, {175, 125, 50}},   {1700, {150, 100, 50}},   {1981, {150, 125, 100}},
    {2134, {125, 125, 125}},  {2438, {140, 140, 140}},  {2743, {165, 165, 165}},
    {3048, {180, 180, 180}},  {3500, {195, 195, 195}},  {4000, {210, 210, 210}},
    {4500, {225, 225, 225}},  {5000, {240, 240, 240}},  {6000, {255, 255, 255}}};

int tableIndex(double index) {
    if (!(index >= 0))
        return 0; // NaN too
    return std::min(int(index), 18);
}

void put(const rgb& c, int* red, int* green, int* blue, int* alpha) {
    *red = c.red;
    *green = c.green;
    *blue = c.blue;
    *alpha = 1;
}

} // namespace

extern "C" {

unsigned int validateColor(unsigned int value) {
    return value < 256 ? value : 255;
}

void getColorValues(float value, int shades, int palette, int* red, int* green, int* blue,
                    int* alpha) {
    const double step = 1.0 / shades;
    // The value quantised to the number of shades and scaled to 0…255.
    double level = value >= 0 ? std::trunc(std::trunc(value / step) * step * 255.0) : 0.0;
    if (!std::isfinite(level) || level < 0)
        level = 0;
    const int e = int(validateColor(level > 255 ? 255u : unsigned(level)));
    switch (palette) {
    case 0:
        put({255 - e, 255 - e, 255 - e}, red, green, blue, alpha);
        break;
    case 1:
        if (e <= 127)
            put({255, int(validateColor(2u * unsigned(e))), int(validateColor(2u * unsigned(e)))},
                red, green, blue, alpha);
        else if (e == 128)
            put({255, 255, 255}, red, green, blue, alpha);
        else
            put({int(validateColor(2u * unsigned(255 - e))),
                 int(validateColor(2u * unsigned(255 - e))), 255},
                red, green, blue, alpha);
        break;
    case 2:
        put(tableS[tableIndex(18 - std::trunc(18.0 * e / 255.0))], red, green, blue, alpha);
        break;
    case 3:
        put(tableS[tableIndex(std::trunc(18.0 * e / 255.0))], red, green, blue, alpha);
        break;
    default:
        put(tableD[tableIndex(std::trunc(18 - std::trunc(double(e)) / 18))], red, green, blue,
            alpha);
        break;
    }
}

void getColorValuesFloat(float value, int, float* red, float* green, float* blue, float* alpha) {
    const rgb& c = tableS[tableIndex(std::trunc(double(value) * 18))];
    *red = float(c.red) / 255.0f;
    *green = float(c.green) / 255.0f;
    *blue = float(c.blue) / 255.0f;
    *alpha = 1.0f;
}

void getTopoColorValues(float height, int, int* red, int* green, int* blue, int* alpha) {
    const auto stop = std::find_if(std::begin(topography), std::end(topography),
                                   [height](const topoStop& s) { return s.upperBound > height; });
    put(stop == std::end(topography) ? topography[32].colour : stop->colour, red, green, blue,
        alpha);
}
}
