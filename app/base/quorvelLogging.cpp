#include "quorvelLogging.h"

Q_LOGGING_CATEGORY(lcModel, "quorvel.model", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFeeds, "quorvel.feeds", QtInfoMsg)
Q_LOGGING_CATEGORY(lcController, "quorvel.controller", QtInfoMsg)
Q_LOGGING_CATEGORY(lcTimeline, "quorvel.timeline", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSeismograms, "quorvel.seismograms", QtInfoMsg)
