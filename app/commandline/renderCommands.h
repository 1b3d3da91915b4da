#pragma once

#include "commandLineOptions.h"

// --source NAME [--input FILE] --render map|timeline --output FILE.png|.pdf [--size WxH]: the
// catalogue drawn by the window's own map or time line, off screen. Needs a GUI application
// (the off-screen platform will do).
namespace renderCommands {

int renderCatalogue(const QCommandLineParser& parser, const commandLineOptions& o,
                    QTextStream& err);

// --channels FILE|- [--start T] [--duration MIN] [--sample-rate R|*] [--live] --render live
// --output FILE.png|.pdf [--size WxH]: the channels downloaded and drawn as the Live
// Seismograms window draws them (normalised traces). 2 for bad arguments or a list without a
// usable line, 1 when no channel came.
int renderLive(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& in,
               QTextStream& err);

// --sac FILE… [processing options] --render overlay|stack|panels|section|helicorder
// --output FILE.png|.pdf [--size WxH] [--row-minutes N --rows N]: the processed seismograms
// overlaid, one panel each, as a record section by distance, or as one channel's helicorder.
int renderSeismograms(const QCommandLineParser& parser, const commandLineOptions& o,
                      QTextStream& err);

} // namespace renderCommands
