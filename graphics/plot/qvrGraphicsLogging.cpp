#include "qvrGraphicsLogging.h"

Q_LOGGING_CATEGORY(lcPlot, "qvr.plot", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMap, "qvr.map", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFKPixels, "qvr.plots.fk.pixels", QtInfoMsg)
