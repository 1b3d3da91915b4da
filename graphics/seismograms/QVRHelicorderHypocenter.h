#pragma once

#include "qvr_graphics_export.h"

#include <QDateTime>

// An earthquake the helicorder marks across its row: when it happened and how large it was by
// each of the three magnitudes the marker rules weigh. The view only asks; the application
// adapts its own origin records to this, answering 0 for a magnitude it does not have.
class QVR_GRAPHICS_EXPORT QVRHelicorderHypocenter {
public:
    virtual ~QVRHelicorderHypocenter() = default;

    // The origin time; an invalid date is never marked.
    virtual QDateTime oDate() const = 0;
    virtual float mb() const = 0;
    virtual float Ms() const = 0;
    virtual float Mw() const = 0;
};
