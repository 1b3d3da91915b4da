#include "seismogramProcessing.h"

#include "SacObject.h"

bool seismogramProcessing::applyTo(SacObject& seismogram) const {
    if (removeMean)
        seismogram.RemoveMean();
    if (taper)
        seismogram.defaultTaper();
    bool filtered = true;
    if (highpass)
        filtered = seismogram.HPBUfilter(*highpass, passes, poles) && filtered;
    if (lowpass)
        filtered = seismogram.LPBUfilter(*lowpass, passes, poles) && filtered;
    return filtered;
}
