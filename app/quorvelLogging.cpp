#include "quorvelLogging.h"

Q_LOGGING_CATEGORY(lcModel, "quorvel.model")
Q_LOGGING_CATEGORY(lcFeeds, "quorvel.feeds")
Q_LOGGING_CATEGORY(lcController, "quorvel.controller")
Q_LOGGING_CATEGORY(lcTimeline, "quorvel.timeline")
