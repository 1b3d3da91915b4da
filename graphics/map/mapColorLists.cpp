#include "mapColorLists.h"

namespace {

QColor fraction(double r, double g, double b) {
    return QColor::fromRgbF(float(r), float(g), float(b), 1.0f);
}

} // namespace

namespace mapColorLists {

QList<QColor> grayScaleColors(int levels) {
    if (levels < 2)
        return {fraction(1, 0, 0)};
    QList<QColor> colours;
    for (int i = 0; i < levels; ++i) {
        const double c = double(i) / (levels - 1);
        colours << fraction(1, c, c);
    }
    return colours;
}

QList<QColor> noGreenColors() {
    return {fraction(0.13, 0.38, 1), fraction(0.13, 0.62, 1), fraction(0.13, 0.75, 1),
            fraction(0, 0.81, 1),    fraction(0.16, 1, 1),    fraction(0.33, 1, 1),
            fraction(0.5, 1, 1),     fraction(0.67, 1, 1),    fraction(1, 1, 0.33),
            fraction(1, 0.94, 0),    fraction(1, 0.75, 0),    fraction(1, 0.66, 0),
            fraction(1, 0.54, 0),    fraction(1, 0.44, 0),    fraction(1, 0.3, 0),
            fraction(1, 0, 0)};
}

QList<QColor> seisColors() {
    return {fraction(0.67, 0, 0),      fraction(0.81, 0, 0),       fraction(0.95, 0, 0),
            fraction(1, 0.09, 0),      fraction(1, 0.24, 0),       fraction(1, 0.38, 0),
            fraction(1, 0.52, 0),      fraction(1, 0.67, 0),       fraction(1, 0.81, 0),
            fraction(1, 0.95, 0),      fraction(1, 1, 0),          fraction(1, 1, 0),
            fraction(0.91, 1, 0.02),   fraction(0.63, 1, 0.07),    fraction(0.35, 1, 0.12),
            fraction(0.2, 0.98, 0.25), fraction(0.05, 0.95, 0.39), fraction(0, 0.76, 0.6),
            fraction(0, 0.49, 0.84),   fraction(0, 0.27, 0.97),    fraction(0, 0.13, 0.89)};
}

QList<QColor> polarColors() {
    QList<QColor> colours{fraction(0, 0, 1)};
    for (double c : {0.09, 0.19, 0.29, 0.38, 0.47, 0.57, 0.67, 0.76, 0.86, 0.95})
        colours << fraction(c, c, 1);
    for (double c : {0.95, 0.86, 0.76, 0.67, 0.57, 0.47, 0.38, 0.29, 0.19, 0.09})
        colours << fraction(1, c, c);
    return colours;
}

QList<QColor> depthColors() {
    return {QColor(0xE6, 0x9F, 0x00), QColor(0x00, 0x9E, 0x73), QColor(0x00, 0x72, 0xB2)};
}

int depthClass(float depthKm) {
    if (depthKm > deepDepth)
        return 2;
    return depthKm > intermediateDepth ? 1 : 0;
}

} // namespace mapColorLists
