#pragma once

#include "EQ_QueryController.h"
#include "commandLineOptions.h"
#include "seismicOrigin.h"

#include <memory>

// The command-line work on catalogues: --source NAME [--input FILE] --print
// table|summary|clipboard. Rendering them is in renderCommands.
namespace catalogueCommands {

// A catalogue as --source and its options name it, downloaded or read from --input.
struct loadedCatalogue {
    originList origins;
    std::unique_ptr<EQ_QueryController> controller;
};
// 0 when loaded; otherwise the exit code, with the reason written to `err`.
int loadCatalogue(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& err,
                  loadedCatalogue& result);

int printCatalogue(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& out,
                   QTextStream& err);

} // namespace catalogueCommands
