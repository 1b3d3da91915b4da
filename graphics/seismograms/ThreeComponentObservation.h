#pragma once

#include "SacObject.h"
#include "qvr_graphics_export.h"

// One station's recording of one earthquake as vertical, radial and transverse seismograms,
// any of which may be missing. The view only reads; the application adapts whatever holds the
// components (and rotates the horizontals) to this.
class QVR_GRAPHICS_EXPORT ThreeComponentObservation {
public:
    virtual ~ThreeComponentObservation() = default;

    // nullptr for a component the observation lacks.
    virtual const SacObject* vertical() const = 0;
    virtual const SacObject* radial() const = 0;
    virtual const SacObject* transverse() const = 0;
    // A trace to compare with component 0 (vertical), 1 (radial) or 2 (transverse), such as a
    // synthetic or the same record before processing; none unless an observation has one.
    virtual const SacObject* comparison(int component) const {
        (void)component;
        return nullptr;
    }
};
