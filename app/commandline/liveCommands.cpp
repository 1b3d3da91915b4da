#include "liveCommands.h"

#include "QVRDateFormatter.h"
#include "applicationDefaults.h"
#include "fdsnDataRequest.h"
#include "timeZones.h"
#include "waveformCommands.h"

#include <QEventLoop>
#include <QFile>

#include <cmath>

namespace liveCommands {

using quorvelCommandLine::strictFloat;
using quorvelCommandLine::usageHint;

namespace {

QString number(float value) {
    return QString::number(double(value), 'g', 9);
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
               "resif, ethz, ncedc, scedc) or fdsn:URL (http or https), not '"
            << sourceText << "'\n"
            << usageHint;
        return std::nullopt;
    }
    request.source = *source;
    const bool fdsn = source->type() == seismogramDataSource::kind::fdsn;
    if (source->type() == seismogramDataSource::kind::seedLink) {
        err << "Quorvel: SeedLink servers stream live data, which this version cannot read yet; "
               "use timeseries or an fdsn: source\n";
        return std::nullopt;
    }
    if (fdsn && request.live) {
        err << "Quorvel: --live needs a streaming service; data centres do not allow polling "
               "dataselect\n"
            << usageHint;
        return std::nullopt;
    }
    if (fdsn && parser.isSet(o.sampleRate)) {
        err << "Quorvel: --sample-rate is for the time-series service; FDSN data come at each "
               "channel's own rate\n"
            << usageHint;
        return std::nullopt;
    }
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
        QVRRTSeismicDisplayController downloads;
        if (!download(downloads, *request, err))
            return 1;
        std::vector<SacObject> seismograms;
        for (const auto& seismogram : downloads.theSeismograms())
            seismograms.push_back(*seismogram);
        if (exporting)
            return waveformCommands::exportSac(seismograms, parser.value(o.exportSac), err);
        waveformCommands::printSummaries(seismograms, out);
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
