#pragma once

#include "seismicOrigin.h"

#include <QDateTime>
#include <QString>

// The plain-language report of a list of origins: title and date, the number of events, the
// largest one, counts per whole magnitude, the depth distribution of all events and of those
// of magnitude 4 and above, and every event of magnitude 6 and above. Controllers differ only
// in their title and opening sentence.
class seismicitySummary {
public:
    // `heading` is the title's first line ("A Global Seismicity Summary"); `opening` a printf
    // format taking the number of origins (%d) and the minimum magnitude (%.1f). Times are
    // written in the process default zone, UTC. An empty list gives empty text.
    static QString write(const originList& origins, float minMagnitude, const QString& heading,
                         const char* opening, const QDateTime& now);
};
