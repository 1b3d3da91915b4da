#pragma once

#include "SacObject.h"
#include "commandLineOptions.h"
#include "seismogramProcessing.h"

#include <optional>

// The command-line work on seismograms and regions.
namespace seismogramCommands {

// How --sac processes a seismogram.
using processing = seismogramProcessing;
// The processing options, checked; none after a complaint on `err`.
std::optional<processing> processingOptions(const QCommandLineParser& parser,
                                            const commandLineOptions& o, QTextStream& err);
// Reads `path` into `seismogram` and processes it; 0, or the exit code after a complaint on
// `err`: 2 for a file that is not a SAC seismogram, 1 for a filter corner outside the band.
int readProcessed(const QString& path, const processing& how, QTextStream& err,
                  SacObject& seismogram);

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
