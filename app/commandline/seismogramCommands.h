#pragma once

#include "commandLineOptions.h"

// The command-line work on seismograms and regions.
namespace seismogramCommands {

// --sac FILE … --print header|samples
int printSeismogram(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& out,
                    QTextStream& err);

// --region LAT LON, or --region - with "LAT LON" lines on `in`.
struct regionRequest {
    bool fromInput = false;
    QString latitude, longitude;
};
int printRegions(const regionRequest& request, QTextStream& in, QTextStream& out, QTextStream& err);

} // namespace seismogramCommands
