#pragma once

#include "commandLineOptions.h"

// The command-line export of a catalogue:
//   --source NAME [--input FILE] [--min-mag M --max-mag M …] --export csv|geojson|quakeml|kml
//       --output FILE
// The catalogue loads as for --print table, and its origins are written newest first, in the
// forms File → Export Events… writes.
namespace exportCommands {

// 0 when written; 2 for a bad format, a missing --output or a catalogue that does not load;
// 1 when the file cannot be written. Reasons go to `err`.
int run(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& err);

} // namespace exportCommands
