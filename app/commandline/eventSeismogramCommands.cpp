#include "eventSeismogramCommands.h"

#include "QVRDateFormatter.h"
#include "eventSeismograms.h"
#include "renderCommands.h"
#include "seismogramCommands.h"
#include "seismogramDataSource.h"
#include "waveformCommands.h"

#include <QRegularExpression>
#include <QTimeZone>

namespace eventSeismogramCommands {

using quorvelCommandLine::refuse;
using quorvelCommandLine::strictFloat;
using quorvelCommandLine::usageHint;

namespace {

const QString eventSeismogramsOption = QStringLiteral("--event-seismograms");

// A number within [low, high]; none otherwise.
std::optional<float> numberIn(const QString& text, float low, float high) {
    const std::optional<float> value = strictFloat(text);
    return value && std::isfinite(*value) && *value >= low && *value <= high ? value : std::nullopt;
}

// The request the options describe; none after a complaint on `err`.
std::optional<eventSeismograms::request> requestOf(const QCommandLineParser& parser,
                                                   const commandLineOptions& o, const words& given,
                                                   QTextStream& err) {
    eventSeismograms::request r;
    if (!given.origin) {
        refuse(err, QStringLiteral("--event-seismograms needs --origin \"yyyy-MM-dd HH:mm:ss\" "
                                   "LAT LON DEPTH"));
        return std::nullopt;
    }
    const QStringList& origin = *given.origin;
    r.quake.origin = QVRDateFormatter(QStringLiteral("yyyy-MM-dd HH:mm:ss"), QTimeZone::utc())
                         .dateFromString(origin.at(0).trimmed());
    const auto latitude = numberIn(origin.at(1), -90, 90);
    const auto longitude = numberIn(origin.at(2), -180, 180);
    const auto depth = numberIn(origin.at(3), 0, float(travelTimeCalculator::maximumDepth));
    if (!r.quake.origin.isValid() || !latitude || !longitude || !depth) {
        refuse(err, QStringLiteral("--origin takes \"yyyy-MM-dd HH:mm:ss\" (UTC), a latitude "
                                   "(-90 to 90), a longitude (-180 to 180) and a depth (0 to "
                                   "700 km)"));
        return std::nullopt;
    }
    r.quake.latitude = *latitude;
    r.quake.longitude = *longitude;
    r.quake.depth = *depth;
    if (parser.isSet(o.magnitude)) {
        r.quake.magnitude = numberIn(parser.value(o.magnitude), -3, 11);
        if (!r.quake.magnitude) {
            refuse(err, QStringLiteral("--magnitude takes a number from -3 to 11"));
            return std::nullopt;
        }
    }

    const std::optional<seismogramDataSource> source =
        parser.isSet(o.dataSource) ? seismogramDataSource::parse(parser.value(o.dataSource))
                                   : std::nullopt;
    if (!source || source->type() != seismogramDataSource::kind::fdsn) {
        refuse(err, QStringLiteral("--event-seismograms needs --data-source fdsn:NAME (iris, "
                                   "geofon, orfeus, ingv, resif, ethz, ncedc, scedc) or "
                                   "fdsn:URL (http or https)"));
        return std::nullopt;
    }
    r.baseURL = source->fdsnBaseURL();

    if (given.distance) {
        const auto least = numberIn(given.distance->at(0), 0, 180);
        const auto most = numberIn(given.distance->at(1), 0, 180);
        if (!least || !most || *least >= *most) {
            refuse(err, QStringLiteral("--distance takes MIN MAX in degrees, 0 <= MIN < MAX <= "
                                       "180"));
            return std::nullopt;
        }
        r.minDistance = *least;
        r.maxDistance = *most;
    }
    if (parser.isSet(o.channel)) {
        // Letters, digits and the services' wildcards; anything else would change the query.
        static const QRegularExpression code(QStringLiteral("^[A-Z0-9?*]{1,3}$"));
        r.channel = parser.value(o.channel).trimmed().toUpper();
        if (!code.match(r.channel).hasMatch()) {
            refuse(err, QStringLiteral("--channel takes a channel code such as BHZ, HHZ, LHZ or "
                                       "BH?"));
            return std::nullopt;
        }
    }
    if (parser.isSet(o.maxStations)) {
        bool ok = false;
        r.maxStations = parser.value(o.maxStations).trimmed().toInt(&ok);
        if (!ok || r.maxStations < 1 || r.maxStations > 1000) {
            refuse(err, QStringLiteral("--max-stations takes a whole number from 1 to 1000"));
            return std::nullopt;
        }
    }
    r.model = parser.value(o.model);
    return r;
}

} // namespace

bool takeWords(QStringList& arguments, words& taken, QTextStream& err) {
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--origin")); at > 0) {
        if (at + 4 >= arguments.size()) {
            err << "Quorvel: --origin needs \"yyyy-MM-dd HH:mm:ss\" LAT LON DEPTH\n" << usageHint;
            return false;
        }
        taken.origin = arguments.mid(at + 1, 4);
        arguments.remove(at, 5);
    }
    if (!arguments.contains(eventSeismogramsOption))
        return true;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--distance")); at > 0) {
        if (at + 2 >= arguments.size()) {
            err << "Quorvel: --distance needs MIN MAX in degrees with --event-seismograms\n"
                << usageHint;
            return false;
        }
        taken.distance = arguments.mid(at + 1, 2);
        arguments.remove(at, 3);
    }
    return true;
}

int run(const QCommandLineParser& parser, const commandLineOptions& o, const words& given,
        QTextStream& out, QTextStream& err) {
    const int outputs =
        int(parser.isSet(o.print)) + int(parser.isSet(o.exportSac)) + int(parser.isSet(o.render));
    if (outputs != 1 || (parser.isSet(o.print) && parser.value(o.print) != "summary"))
        return refuse(err, QStringLiteral("--event-seismograms needs --print summary, "
                                          "--export-sac DIR or --render VIEW --output FILE"));
    if (parser.isSet(o.exportSac) && parser.value(o.exportSac).isEmpty())
        return refuse(err, QStringLiteral("--export-sac needs a folder"));
    std::optional<renderCommands::seismogramPicture> picture;
    if (parser.isSet(o.render)) {
        picture = renderCommands::seismogramPictureOptions(parser, o, err);
        if (!picture)
            return 2;
    }
    const std::optional<seismogramCommands::processing> how =
        seismogramCommands::processingOptions(parser, o, err);
    if (!how)
        return 2;
    const std::optional<eventSeismograms::request> request = requestOf(parser, o, given, err);
    if (!request)
        return 2;
    const QVRResult<eventSeismograms> event = eventSeismograms::make(*request);
    if (!event)
        return refuse(err, event.error());

    eventSeismograms::outcome fetched = event->fetch();
    for (const QString& channel : fetched.withoutData)
        err << "Quorvel: " << channel << ": no data\n";
    if (!fetched.failure.isEmpty()) {
        err << "Quorvel: " << fetched.failure << "\n";
        return 1;
    }
    // As with files: a step refused (a corner above the Nyquist frequency) is logged, the
    // traces still go out, and the exit status says so.
    bool stepFailed = false;
    for (SacObject& seismogram : fetched.seismograms)
        stepFailed |= !how->applyTo(seismogram);
    int status = 0;
    if (picture) {
        QList<std::shared_ptr<SacObject>> shown;
        for (SacObject& seismogram : fetched.seismograms)
            shown.append(std::make_shared<SacObject>(std::move(seismogram)));
        status = renderCommands::drawSeismograms(*picture, shown, err);
    } else if (parser.isSet(o.exportSac)) {
        status = waveformCommands::exportSac(fetched.seismograms, parser.value(o.exportSac), err);
    } else {
        for (const SacObject& seismogram : fetched.seismograms)
            out << waveformCommands::eventSummaryLine(seismogram) << "\n";
    }
    return status != 0 ? status : (stepFailed ? 1 : 0);
}

} // namespace eventSeismogramCommands
