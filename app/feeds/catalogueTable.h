#pragma once

#include "EQ_QueryController.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

// Every catalogue Quorvel reads, in one table: the tag the window's pop-up and search buttons
// carry, the name the command line takes, the title the status bar and the log use, how its
// controller is made, and what span of time the time line shows for it.
namespace catalogueTable {

// The data-source tags. The numbers are those of the window's controls.
enum tag {
    usgsFeedTag = 0,
    ingvTag = 1,
    emscTag = 2,
    pdeTag = 10,
    fdsnTag = 15,
    emscFdsnTag = 16,
    ingvFdsnTag = 17,
    usgsWeeklyListTag = -1
};

// The time line spans the last 30 days, or the loaded list's own first to last origin.
enum class timeLineSpan { lastThirtyDays, listSpan };

struct catalogue {
    int tag;
    QString commandLineName;
    QString title;
    std::function<std::unique_ptr<EQ_QueryController>()> make;
    timeLineSpan span;
};

const QList<catalogue>& catalogues();
// The catalogue of a tag; any tag not in the table loads the USGS feed.
const catalogue& catalogueForTag(int tag);
// The catalogue a command-line name names, or none.
const catalogue* catalogueNamed(const QString& commandLineName);
// The command-line names, in table order, for messages: "usgs, usgs-text, …".
QString commandLineNames();

} // namespace catalogueTable
