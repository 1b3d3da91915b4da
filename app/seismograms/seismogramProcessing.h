#pragma once

#include <optional>

class SacObject;

// How a seismogram is prepared for viewing, in the order the steps run: mean removal, taper,
// high pass, low pass (Butterworth filters with the given poles, one pass for a causal filter
// or two for zero phase). The command line and the Seismograms window share it, so a picture
// drawn from either shows the same samples.
struct seismogramProcessing {
    bool removeMean = false;
    bool taper = false;
    std::optional<float> highpass, lowpass; // Hz
    int poles = 4;
    int passes = 2;

    bool operator==(const seismogramProcessing&) const = default;

    // Runs the steps on `seismogram` in place; false when a filter was refused (a corner at or
    // above the Nyquist frequency, say), which the seismogram component has logged. The other
    // steps have run all the same.
    bool applyTo(SacObject& seismogram) const;
};
