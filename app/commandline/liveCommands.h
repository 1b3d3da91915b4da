#pragma once

#include "QVRRTSeismicDisplayController.h"
#include "commandLineOptions.h"
#include "liveTraces.h"

#include <QDateTime>

#include <memory>
#include <optional>
#include <utility>

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
    // --start was given.
    bool startGiven = false;
    // --listen (SeedLink sources only): how long the stream is collected.
    int listenMs = 30000;
};

// The channel list --channels names (a file, or `in` for "-"), each channel starting from the
// window of --start, --duration and --sample-rate, from the source of --data-source. None,
// after a complaint on `err`, for bad options, an unreadable file or a list without a usable
// line.
std::optional<channelRequest> readChannelRequest(const QCommandLineParser& parser,
                                                 const commandLineOptions& o, QTextStream& in,
                                                 QTextStream& err);

// Downloads the request's channels as the Live Seismograms window does, into `downloads`, and
// waits for them; each channel that gave nothing, and a load that failed as a whole, is named
// on `err`. True when at least one seismogram came.
bool download(QVRRTSeismicDisplayController& downloads, const channelRequest& request,
              QTextStream& err);

// What a SeedLink stream of the request asks for: the window of --start and --duration (TIME
// from and to), with --live from `now` less the duration and on (TIME from), otherwise live
// from now (DATA: both times invalid).
std::pair<QDateTime, QDateTime> seedLinkTimes(const channelRequest& request, const QDateTime& now);

// The window a picture of the request's seismograms shows, asked at `asked`: a SeedLink stream
// without --start is live, so its window ends then.
liveTraces::window shownWindow(const channelRequest& request, const QDateTime& asked);

// The request's seismograms in channel-list order: downloaded (and waited for) from the
// time-series service or a data centre, or collected from a SeedLink server for the listening
// time or until it has sent the whole window, then read as miniSEED. Each channel that gave
// nothing, and a load that failed as a whole, is named on `err`; none came when empty.
QList<std::shared_ptr<SacObject>> seismograms(const channelRequest& request, QTextStream& err);

// --channels FILE|- … --print requests: one address a line for the time-series service; for an
// FDSN source the dataselect and the station POST addresses, each followed by its body; for a
// SeedLink server the command lines the client sends.
// --print summary and --export-sac DIR download the channels first, and give a summary line
// for, or write a SAC file of, each seismogram that came: 0 when one came at least, 1 when none
// did (or a file could not be written), 2 for bad arguments or input.
int run(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& in,
        QTextStream& out, QTextStream& err);

} // namespace liveCommands
