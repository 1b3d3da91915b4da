#pragma once

#include "QVRRTSeismicDisplayController.h"
#include "commandLineOptions.h"

#include <optional>

// The command-line work on live seismograms: channel lists and their requests.
namespace liveCommands {

// What --channels and its options ask for.
struct channelRequest {
    QVRRTSeismicDisplayController::channelListContents list;
    // --live: each window ends at the moment its request is made.
    bool live = false;
};

// The channel list --channels names (a file, or `in` for "-"), each channel starting from the
// window of --start, --duration and --sample-rate. None, after a complaint on `err`, for bad
// options, an unreadable file or a list without a usable line.
std::optional<channelRequest> readChannelRequest(const QCommandLineParser& parser,
                                                 const commandLineOptions& o, QTextStream& in,
                                                 QTextStream& err);

// --channels FILE|- … --print requests
int printRequests(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& in,
                  QTextStream& out, QTextStream& err);

} // namespace liveCommands
