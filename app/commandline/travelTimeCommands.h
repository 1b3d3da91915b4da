#pragma once

#include "commandLineOptions.h"

// Travel times on the command line:
//   --travel-times --depth KM --distance DEG [--model ak135|iasp91] [--phases P,S,…]
// prints a header line and one tab-separated line per arrival, sorted by time. Exit code 0
// with arrivals, 1 without, 2 for bad arguments.
namespace travelTimeCommands {

// Whether the arguments give an option of this command.
bool handles(const QCommandLineParser& parser, const commandLineOptions& o);

int run(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& out,
        QTextStream& err);

} // namespace travelTimeCommands
