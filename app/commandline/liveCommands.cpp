#include "liveCommands.h"

#include "QVRDateFormatter.h"
#include "applicationDefaults.h"
#include "fdsnDataRequest.h"
#include "lenientNumbers.h"
#include "miniSeedReader.h"
#include "seedLinkClient.h"
#include "streamCodes.h"
#include "timeZones.h"
#include "waveformCommands.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace liveCommands {

using quorvelCommandLine::strictFloat;
using quorvelCommandLine::usageHint;

namespace {

QString number(float value) {
    return QString::number(double(value), 'g', 9);
}

// A day of stream is more than the command line keeps in memory for a summary.
constexpr float longestListen = 86400;

bool isSeedLink(const channelRequest& request) {
    return request.source.type() == seismogramDataSource::kind::seedLink;
}

// The records the server sends for the listening time, or until it has sent the whole window.
QList<seedLinkPacket> listen(const channelRequest& request,
                             const QList<seedLinkChannel>& channels) {
    const auto [from, until] = seedLinkTimes(request, QDateTime::currentDateTimeUtc());
    QList<seedLinkPacket> packets;
    seedLinkClient client;
    QEventLoop listening;
    QObject::connect(&client, &seedLinkClient::packetsArrived, &listening,
                     [&packets](const QList<seedLinkPacket>& more) { packets += more; });
    QObject::connect(&client, &seedLinkClient::streamEnded, &listening, &QEventLoop::quit);
    QTimer::singleShot(request.listenMs, &listening, &QEventLoop::quit);
    client.start(request.source.seedLinkServer(), channels, from, until);
    listening.exec();
    client.stop();
    return packets;
}

// The stream's seismograms in the order of `channels`, read as the miniSEED file its records
// make; each channel without one is named on `err`.
QList<std::shared_ptr<SacObject>> streamed(const channelRequest& request, QTextStream& err) {
    const QList<seedLinkChannel> channels =
        QVRRTSeismicDisplayController::seedLinkChannelsFor(request.list.channels);
    QList<seedLinkPacket> packets = listen(request, channels);
    // A reconnect can bring a station's records after another's later ones: each stream's
    // records go in time order, as in a file.
    std::stable_sort(packets.begin(), packets.end(),
                     [](const seedLinkPacket& a, const seedLinkPacket& b) {
                         const QString sa = a.decoded.streamId(), sb = b.decoded.streamId();
                         return sa != sb ? sa < sb : a.decoded.startTimeUs < b.decoded.startTimeUs;
                     });
    QByteArray records;
    for (const seedLinkPacket& p : packets)
        records += p.record;
    std::vector<SacObject> traces;
    if (!records.isEmpty()) {
        QVRResult<miniSeedTraces> read = miniSeedReader::fromData(
            records, QStringLiteral("the stream of ") + request.source.seedLinkServer());
        if (read)
            traces = std::move(read.value().traces);
    }
    QList<std::shared_ptr<SacObject>> seismograms;
    for (const seedLinkChannel& channel : channels) {
        const QString name = streamCodes::joined(channel.network, channel.station, channel.location,
                                                 channel.channel);
        bool found = false;
        for (const SacObject& trace : traces) {
            if (trace.streamId() != name)
                continue;
            seismograms.append(std::make_shared<SacObject>(trace));
            found = true;
        }
        if (!found)
            err << "Quorvel: " << name << ": no data\n";
    }
    if (seismograms.isEmpty())
        err << "Quorvel: no channel gave data from the SeedLink server "
            << request.source.seedLinkServer() << "\n";
    return seismograms;
}

} // namespace

std::optional<channelRequest> readChannelRequest(const QCommandLineParser& parser,
                                                 const commandLineOptions& o, QTextStream& in,
                                                 QTextStream& err) {
    channelRequest request;
    request.live = parser.isSet(o.live);
    const QString sourceText = parser.value(o.dataSource);
    const std::optional<seismogramDataSource> source = seismogramDataSource::parse(sourceText);
    if (!source) {
        err << "Quorvel: --data-source takes timeseries, fdsn:NAME (iris, geofon, orfeus, ingv, "
               "resif, ethz, ncedc, scedc), fdsn:URL (http or https) or seedlink:HOST[:PORT], "
               "not '"
            << sourceText << "'\n"
            << usageHint;
        return std::nullopt;
    }
    request.source = *source;
    const bool fdsn = source->type() == seismogramDataSource::kind::fdsn;
    const bool seedLink = isSeedLink(request);
    if (fdsn && request.live) {
        err << "Quorvel: --live needs a streaming service; data centres do not allow polling "
               "dataselect\n"
            << usageHint;
        return std::nullopt;
    }
    if ((fdsn || seedLink) && parser.isSet(o.sampleRate)) {
        err << "Quorvel: --sample-rate is for the time-series service; FDSN data and SeedLink "
               "streams come at each channel's own rate\n"
            << usageHint;
        return std::nullopt;
    }
    if (parser.isSet(o.listen)) {
        if (!seedLink) {
            err << "Quorvel: --listen is for a seedlink: source, whose stream is collected for "
                   "that long; the other sources answer once\n"
                << usageHint;
            return std::nullopt;
        }
        const std::optional<float> seconds = strictFloat(parser.value(o.listen));
        if (!seconds || !(*seconds > 0) || *seconds > longestListen) {
            err << "Quorvel: --listen takes a number of seconds above 0, up to 86400\n"
                << usageHint;
            return std::nullopt;
        }
        request.listenMs = std::max(1, int(std::lround(*seconds * 1000)));
    }
    request.startGiven = parser.isSet(o.start);
    request.groundMotion = parser.isSet(o.groundMotion);
    if (request.groundMotion && !fdsn) {
        err << "Quorvel: --ground-motion needs an fdsn: data source, whose station metadata "
               "give each channel's scale\n"
            << usageHint;
        return std::nullopt;
    }
    QVRRTSeismicDisplayController::channelDescription working =
        QVRRTSeismicDisplayController::fixedWorkingDescription();

    if (parser.isSet(o.start)) {
        if (request.live) {
            err << "Quorvel: --live windows end now; --start cannot be combined with it\n"
                << usageHint;
            return std::nullopt;
        }
        const QString start = parser.value(o.start).trimmed();
        const QVRDateFormatter format(QStringLiteral("yyyy-MM-dd HH:mm:ss"),
                                      timeZones::defaultTimeZone());
        if (!format.dateFromString(start).isValid()) {
            err << "Quorvel: --start takes a time as \"yyyy-MM-dd HH:mm:ss\"\n" << usageHint;
            return std::nullopt;
        }
        working.insert(QStringLiteral("StartTime"), start);
    }
    std::optional<float> minutes = 60.0f;
    if (parser.isSet(o.duration)) {
        minutes = strictFloat(parser.value(o.duration));
        if (!minutes || !std::isfinite(*minutes) || *minutes == 0) {
            err << "Quorvel: --duration takes a length in minutes other than 0\n" << usageHint;
            return std::nullopt;
        }
    }
    // A live window reaches back from now, whichever sign the length was given with.
    working.insert(QStringLiteral("Duration"),
                   number(request.live ? -std::fabs(*minutes) : *minutes));
    if (parser.isSet(o.sampleRate)) {
        const QString rateText = parser.value(o.sampleRate).trimmed();
        const std::optional<float> rate =
            rateText == QLatin1StringView("*") ? std::nullopt : strictFloat(rateText);
        if (rateText != QLatin1StringView("*") &&
            (!rate || !(*rate > 0) || !std::isfinite(*rate))) {
            err << "Quorvel: --sample-rate takes a number of samples per second, or *\n"
                << usageHint;
            return std::nullopt;
        }
        working.insert(QStringLiteral("SampleRate"), rate ? number(*rate) : rateText);
    }

    const QString path = parser.value(o.channels);
    QString text;
    if (path == QLatin1StringView("-")) {
        text = in.readAll();
    } else {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            err << "Quorvel: cannot read the channel list " << path << ": " << file.errorString()
                << "\n";
            return std::nullopt;
        }
        text = QString::fromUtf8(file.readAll());
    }
    request.list = QVRRTSeismicDisplayController::readChannelList(text, {}, working);
    if (request.list.channels.isEmpty()) {
        err << "Quorvel: the channel list has no line of five fields or more "
               "(network; station; location; channel; label)\n";
        return std::nullopt;
    }
    return request;
}

int run(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& in,
        QTextStream& out, QTextStream& err) {
    const QString what = parser.value(o.print);
    const bool exporting = parser.isSet(o.exportSac);
    if (exporting == parser.isSet(o.print) ||
        (!exporting && what != QLatin1StringView("requests") &&
         what != QLatin1StringView("summary"))) {
        err << "Quorvel: --channels needs --print requests, --print summary or --export-sac DIR\n"
            << usageHint;
        return 2;
    }
    const std::optional<channelRequest> request = readChannelRequest(parser, o, in, err);
    if (!request)
        return 2;
    if (exporting || what == QLatin1StringView("summary")) {
        std::vector<SacObject> each;
        for (const auto& seismogram : seismograms(*request, err))
            each.push_back(*seismogram);
        if (each.empty())
            return 1;
        if (exporting)
            return waveformCommands::exportSac(each, parser.value(o.exportSac), err);
        waveformCommands::printSummaries(each, out);
        return 0;
    }
    if (isSeedLink(*request)) {
        const auto [from, until] = seedLinkTimes(*request, QDateTime::currentDateTimeUtc());
        const QStringList lines = seedLinkClient::requestCommands(
            QVRRTSeismicDisplayController::seedLinkChannelsFor(request->list.channels), from,
            until);
        for (const QString& line : lines)
            out << line << "\n";
        return 0;
    }
    QVRRTSeismicDisplayController controller;
    controller.setIsAutoUpdatingSeismograms(request->live);
    controller.setDataSource(request->source);
    if (request->source.type() == seismogramDataSource::kind::fdsn) {
        const fdsnDataRequest fdsn = controller.fdsnRequestFor(request->list.channels);
        out << fdsn.dataselectAddress() << "\n" << fdsn.dataselectBody();
        out << fdsn.stationAddress() << "\n" << fdsn.stationBody();
        return 0;
    }
    for (const auto& channel : request->list.channels)
        out << controller.buildURLForChannel(channel) << "\n";
    return 0;
}

std::pair<QDateTime, QDateTime> seedLinkTimes(const channelRequest& request, const QDateTime& now) {
    if (!request.live && !request.startGiven)
        return {};
    const liveTraces::window w = shownWindow(request, now);
    const QDateTime from = w.end.addMSecs(-qint64(std::llround(w.seconds * 1000.0)));
    return {from, request.live ? QDateTime() : w.end};
}

liveTraces::window shownWindow(const channelRequest& request, const QDateTime& asked) {
    const QVRRTSeismicDisplayController::channelDescription& first = request.list.channels.first();
    const QDateTime start =
        QVRDateFormatter(QStringLiteral("yyyy-MM-dd HH:mm:ss"), timeZones::defaultTimeZone())
            .dateFromString(first.value(QStringLiteral("StartTime")));
    return liveTraces::requestedWindow(
        start, leadingDouble(first.value(QStringLiteral("Duration"))),
        request.live || (isSeedLink(request) && !request.startGiven), asked);
}

QList<std::shared_ptr<SacObject>> seismograms(const channelRequest& request, QTextStream& err) {
    if (isSeedLink(request))
        return streamed(request, err);
    QVRRTSeismicDisplayController downloads;
    if (!download(downloads, request, err))
        return {};
    return downloads.theSeismograms();
}

bool download(QVRRTSeismicDisplayController& downloads, const channelRequest& request,
              QTextStream& err) {
    // The window's filter settings.
    applicationDefaults::registerApplicationDefaults();
    downloads.setIsAutoUpdatingSeismograms(request.live);
    downloads.setDataSource(request.source);
    downloads.setGroundMotion(request.groundMotion);
    downloads.loadChannelList(request.list);
    if (downloads.isUpdatingSeismograms()) {
        QEventLoop drained;
        QObject::connect(&downloads, &QVRRTSeismicDisplayController::isUpdatingSeismogramsChanged,
                         &drained, [&drained](bool updating) {
                             if (!updating)
                                 drained.quit();
                         });
        drained.exec();
    }
    if (!downloads.loadFailure().isEmpty())
        err << "Quorvel: " << downloads.loadFailure() << "\n";
    for (const QString& failure : downloads.channelFailures())
        err << "Quorvel: " << failure << "\n";
    if (downloads.theSeismograms().isEmpty()) {
        err << "Quorvel: no channel could be downloaded\n";
        return false;
    }
    return true;
}

} // namespace liveCommands
