#include "qvrGraphicsLogging.h"

Q_LOGGING_CATEGORY(lcPlot, "qvr.plot", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMap, "qvr.map", QtInfoMsg)
