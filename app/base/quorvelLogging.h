#pragma once

#include <QLoggingCategory>

// One logging category per subsystem of the program. Debug lines are off unless
// QT_LOGGING_RULES turns them on (for example "quorvel.feeds.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcModel)       // quorvel.model: origin records and event-list files
Q_DECLARE_LOGGING_CATEGORY(lcFeeds)       // quorvel.feeds: catalogue downloads and readers
Q_DECLARE_LOGGING_CATEGORY(lcController)  // quorvel.controller: the application controller
Q_DECLARE_LOGGING_CATEGORY(lcTimeline)    // quorvel.timeline: the time line
Q_DECLARE_LOGGING_CATEGORY(lcSeismograms) // quorvel.seismograms: seismogram downloads
