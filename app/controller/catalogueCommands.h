#pragma once

#include "commandLineOptions.h"

// The command-line work on catalogues: --source NAME [--input FILE] --print
// table|summary|clipboard.
namespace catalogueCommands {

int printCatalogue(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& out,
                   QTextStream& err);

} // namespace catalogueCommands
