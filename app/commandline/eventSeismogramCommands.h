#pragma once

#include "commandLineOptions.h"

#include <QStringList>

#include <optional>

// --event-seismograms --origin "yyyy-MM-dd HH:mm:ss" LAT LON DEPTH [--magnitude M]
// --data-source fdsn:NAME|fdsn:URL [--distance MIN MAX] [--channel CODE] [--max-stations N]
// [--model ak135|iasp91] --print summary | --export-sac DIR | --render VIEW --output FILE: the
// seismograms of an earthquake at stations spread in distance and azimuth, from a data centre.
// --model predicts the picks, and an event record section draws its curves through it too.
namespace eventSeismogramCommands {

// The words of --origin and of the two-number --distance, as written.
struct words {
    std::optional<QStringList> origin;   // time, latitude, longitude, depth
    std::optional<QStringList> distance; // minimum, maximum
};
// Takes "--origin TIME LAT LON DEPTH" and, with --event-seismograms, "--distance MIN MAX" out
// of `arguments` before the parser sees them, so that a negative latitude is not mistaken for
// an option (--distance alone stays the travel times' one number); false after a complaint on
// `err`.
bool takeWords(QStringList& arguments, words& taken, QTextStream& err);

// 0 when a seismogram came at least, 1 when none did (no station in range, a service that
// failed, no data) or a file could not be written, 2 for bad arguments.
int run(const QCommandLineParser& parser, const commandLineOptions& o, const words& given,
        QTextStream& out, QTextStream& err);

} // namespace eventSeismogramCommands
