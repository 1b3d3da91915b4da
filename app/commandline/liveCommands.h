#pragma once

#include "QVRRTSeismicDisplayController.h"
#include "commandLineOptions.h"

#include <optional>

// The command-line work on live seismograms: channel lists, their requests and downloads.
namespace liveCommands {

// What --channels and its options ask for.
struct channelRequest {
    QVRRTSeismicDisplayController::channelListContents list;
    // --live: each window ends at the moment its request is made.
    bool live = false;
    // --data-source; the time-series service unless given.
    seismogramDataSource source;
    // --ground-motion (FDSN sources only).
    bool groundMotion = false;
};

// The channel list --channels names (a file, or `in` for "-"), each channel starting from the
// window of --start, --duration and --sample-rate, from the source of --data-source. None,
// after a complaint on `err`, for bad options (a SeedLink source among them, which needs a
// client that streams), an unreadable file or a list without a usable line.
std::optional<channelRequest> readChannelRequest(const QCommandLineParser& parser,
                                                 const commandLineOptions& o, QTextStream& in,
                                                 QTextStream& err);

// Downloads the request's channels as the Live Seismograms window does, into `downloads`, and
// waits for them; each channel that gave nothing, and a load that failed as a whole, is named
// on `err`. True when at least one seismogram came.
bool download(QVRRTSeismicDisplayController& downloads, const channelRequest& request,
              QTextStream& err);

// --channels FILE|- … --print requests: one address a line for the time-series service; for an
// FDSN source the dataselect and the station POST addresses, each followed by its body.
// --print summary and --export-sac DIR download the channels first, and give a summary line
// for, or write a SAC file of, each seismogram that came: 0 when one came at least, 1 when none
// did (or a file could not be written), 2 for bad arguments or input.
int run(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& in,
        QTextStream& out, QTextStream& err);

} // namespace liveCommands
