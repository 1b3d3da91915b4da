#pragma once

#include "commandLineOptions.h"

// --source NAME [--input FILE] --render map|timeline --output FILE.png|.pdf [--size WxH]: the
// catalogue drawn by the window's own map or time line, off screen. Needs a GUI application
// (the off-screen platform will do).
namespace renderCommands {

int renderCatalogue(const QCommandLineParser& parser, const commandLineOptions& o,
                    QTextStream& err);

} // namespace renderCommands
