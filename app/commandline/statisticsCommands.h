#pragma once

#include "commandLineOptions.h"

// The seismicity statistics of a catalogue on the command line:
//   --source NAME [--input FILE] [--min-mag M --max-mag M] --print statistics
//   --source NAME [--input FILE] [--min-mag M --max-mag M]
//       --render magnitude-histogram|depth-histogram|magnitude-frequency
//       --output FILE.png|.pdf [--size WxH]
// The catalogue loads as for --print table; the magnitude limits, when given, then keep the
// origins whose magnitude lies within them, both ends included.
namespace statisticsCommands {

// Whether the arguments ask for one of these (and not for another catalogue command).
bool handles(const QCommandLineParser& parser, const commandLineOptions& o);

int run(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& out,
        QTextStream& err);

} // namespace statisticsCommands
