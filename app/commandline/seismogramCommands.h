#pragma once

#include "SacObject.h"
#include "commandLineOptions.h"
#include "seismogramProcessing.h"

#include <optional>
#include <vector>

// The command-line work on seismograms and regions.
namespace seismogramCommands {

// How --sac processes a seismogram.
using processing = seismogramProcessing;
// The processing options, checked; none after a complaint on `err`.
std::optional<processing> processingOptions(const QCommandLineParser& parser,
                                            const commandLineOptions& o, QTextStream& err);
// Reads the seismograms of the SAC or miniSEED file `path` (one per miniSEED trace), processes
// them and appends them to `seismograms`; 0, or the exit code after a complaint on `err`: 2 for
// a file that is not a seismogram, 1 for a filter corner outside the band (the seismograms are
// appended all the same).
int readProcessed(const QString& path, const processing& how, QTextStream& err,
                  std::vector<SacObject>& seismograms);

// Prints each seismogram's header ("name value" lines) or its samples (one a line), one
// seismogram after the other.
void printHeaders(const std::vector<SacObject>& seismograms, QTextStream& out);
void printSamples(const std::vector<SacObject>& seismograms, QTextStream& out);

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
