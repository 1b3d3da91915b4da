#pragma once

#include "qvrsac_export.h"

#include <QString>

// The four codes that name a seismic stream: network, station, location and channel.
namespace streamCodes {

// "NET.STA.LOC.CHA", each code as it is given: an empty location leaves two dots together.
QVRSAC_EXPORT QString joined(const QString& network, const QString& station,
                             const QString& location, const QString& channel);

} // namespace streamCodes
