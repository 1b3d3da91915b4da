#pragma once

#include "SacObject.h"
#include "qvr_graphics_export.h"

#include <QList>
#include <QString>

// The text a view writes beside time pick `key` (0–9): the pick's own label, or "T<key>" when
// the header leaves it undefined.
QVR_GRAPHICS_EXPORT QString timePickLabel(const SacObject& seismogram, int key);

// A pick the user sets: "P" goes to t2, "S" to t3, each labelled with its phase, `seconds`
// after the seismogram's reference time. False, changing nothing, for another phase or an
// empty seismogram.
QVR_GRAPHICS_EXPORT bool setUserPick(SacObject& seismogram, const QString& phase, float seconds);

// A pick a view marks, in seconds after the seismogram's reference time.
struct pickMark {
    float time;
    QString label;
    bool origin = false; // the event's origin time, marked apart from the phases
};
// The origin ("Origin"), the first arrival (its label, or "A"), the final time ("F") and the
// time picks 0–9 (timePickLabel()), in that order; a pick the header leaves undefined is
// left out.
QVR_GRAPHICS_EXPORT QList<pickMark> pickMarksOf(const SacObject& seismogram);
