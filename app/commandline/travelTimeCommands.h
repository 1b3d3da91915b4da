#pragma once

#include "commandLineOptions.h"
#include "earthModel.h"

#include <QStringList>

#include <optional>

// Travel times on the command line:
//   --travel-times --depth KM --distance DEG [--model ak135|iasp91] [--phases P,S,…]
// prints a header line and one tab-separated line per arrival, sorted by time. Exit code 0
// with arrivals, 1 without, 2 for bad arguments.
namespace travelTimeCommands {

// Whether the arguments give an option of this command: --model and --phases are the event
// record section's with --sac and --waveforms.
bool handles(const QCommandLineParser& parser, const commandLineOptions& o);

int run(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& out,
        QTextStream& err);

// The Earth model --model names (ak135 when it is not given); null after a complaint on `err`
// that names the known ones.
const earthModel* modelOption(const QCommandLineParser& parser, const commandLineOptions& o,
                              QTextStream& err);
// The phases --phases lists, `unset` when it is not given; none after a complaint on `err`
// that names the unknown ones and the known ones.
std::optional<QStringList> phasesOption(const QCommandLineParser& parser,
                                        const commandLineOptions& o, const QStringList& unset,
                                        QTextStream& err);

} // namespace travelTimeCommands
