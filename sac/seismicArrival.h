#pragma once

#include <QString>

// One ray of a seismic phase from a source to a distance, as a travel-time calculator finds it.
struct seismicArrival {
    QString phase;           // as seismologists write it: "P", "pP", "PKIKP", "Sdiff", …
    double time = 0;         // s after the origin time
    double rayParameter = 0; // s/deg
    double takeoffAngle =
        0; // deg from the downward vertical at the source; above 90 leaving upward
    double incidenceAngle = 0; // deg from the vertical at the receiver
    double distance = 0;       // deg, the distance the arrival was computed for
    // deg, the arc the ray travels: the distance, or 360° less it for a ray that reaches the
    // station the long way round (where the time falls as the distance grows).
    double pathDistance = 0;
};
