#pragma once

#include <QLoggingCategory>

// The plotting library's logging categories, defined once for all of its files. They are not
// exported: programs name them through QT_LOGGING_RULES (for example "qvr.map.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcPlot) // qvr.plot: the plot frame and the image view
Q_DECLARE_LOGGING_CATEGORY(lcMap)  // qvr.map: the map view, its pictures and plate boundaries
// qvr.plots.fk.pixels: one debug line per pixel of every FK picture, so it is off unless asked for
Q_DECLARE_LOGGING_CATEGORY(lcFKPixels)
