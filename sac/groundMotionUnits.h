#pragma once

#include "SacHeader.h"
#include "qvrsac_export.h"

#include <QString>

// The units of a seismogram's samples, kept in the header's dependent-variable type (idep)
// so that they travel with the seismogram into its SAC file. Samples divided by a channel's
// scale are in its SI units: metres, m/s or m/s² (where SAC's own tools would assume nm);
// every other seismogram is in counts.
namespace groundMotionUnits {

// SAC's dependent-variable types.
constexpr int32_t unknown = 5, displacement = 6, velocity = 7, acceleration = 8;

// The type for units as a person reads them ("m", "m/s", "m/s²"); unknown for any other.
QVRSAC_EXPORT int32_t dependentType(const QString& readableUnits);
// "m", "m/s", "m/s²", or "Counts".
QVRSAC_EXPORT QString units(const SacHeader* header);
// The amplitude axis's title: "Displacement (m)", "Velocity (m/s)", "Acceleration (m/s²)",
// or "Counts".
QVRSAC_EXPORT QString amplitudeTitle(const SacHeader* header);

} // namespace groundMotionUnits
