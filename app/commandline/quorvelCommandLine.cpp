#include "quorvelCommandLine.h"

#include "catalogueCommands.h"
#include "commandLineOptions.h"
#include "eventSeismogramCommands.h"
#include "exportCommands.h"
#include "fkCommands.h"
#include "liveCommands.h"
#include "renderCommands.h"
#include "seismogramCommands.h"
#include "statisticsCommands.h"
#include "travelTimeCommands.h"
#include "waveformCommands.h"

#include <optional>

namespace quorvelCommandLine {

bool opensWindows(const QStringList& arguments) {
    return arguments.size() <= 1;
}

bool drawsPictures(const QStringList& arguments) {
    return arguments.contains(QStringLiteral("--render"));
}

int run(const QStringList& arguments, QTextStream& in, QTextStream& out, QTextStream& err) {
    // "--region LAT LON" and "--region -" take their words raw, so that a negative latitude
    // is not mistaken for an option.
    QStringList words = arguments;
    std::optional<seismogramCommands::regionRequest> region;
    if (const qsizetype at = words.indexOf(QStringLiteral("--region")); at > 0) {
        seismogramCommands::regionRequest r;
        if (at + 1 < words.size() && words.at(at + 1) == QLatin1StringView("-")) {
            r.fromInput = true;
            words.remove(at, 2);
        } else if (at + 2 < words.size()) {
            r.latitude = words.at(at + 1);
            r.longitude = words.at(at + 2);
            words.remove(at, 3);
        } else {
            err << "Quorvel: --region needs LAT LON, or - to read them from standard input\n"
                << usageHint;
            return 2;
        }
        region = r;
    }
    fkCommands::pairs fkPairs;
    if (!fkCommands::takePairs(words, fkPairs, err))
        return 2;
    eventSeismogramCommands::words eventWords;
    if (!eventSeismogramCommands::takeWords(words, eventWords, err))
        return 2;

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quorvel, a desktop earthquake monitor.\n"
                       "Without arguments it opens its windows; with arguments it works on the "
                       "command line, without a display."));
    const commandLineOptions o;
    o.addTo(parser);

    if (!parser.parse(words)) {
        err << "Quorvel: " << parser.errorText() << "\n" << usageHint;
        return 2;
    }
    if (parser.isSet(o.help)) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(o.version)) {
        out << "Quorvel " << QUORVEL_VERSION << "\n";
        return 0;
    }
    if (!renderCommands::sectionOptionsFit(parser, o, err))
        return 2;
    if (parser.isSet(o.fk)) {
        if (region || parser.isSet(o.source) || parser.isSet(o.channels)) {
            err << "Quorvel: --fk works on --sac FILE… only\n" << usageHint;
            return 2;
        }
        return fkCommands::run(parser, o, fkPairs, out, err);
    }
    if (fkPairs.window || fkPairs.band) {
        err << "Quorvel: --window and --band go with --fk\n" << usageHint;
        return 2;
    }
    if (parser.isSet(o.eventSeismograms)) {
        if (region || parser.isSet(o.sac) || parser.isSet(o.waveforms) || parser.isSet(o.source) ||
            parser.isSet(o.channels) || parser.isSet(o.travelTimes) || parser.isSet(o.depth) ||
            !parser.positionalArguments().isEmpty()) {
            err << "Quorvel: --event-seismograms works alone\n" << usageHint;
            return 2;
        }
        return eventSeismogramCommands::run(parser, o, eventWords, out, err);
    }
    if (eventWords.origin || parser.isSet(o.magnitude) || parser.isSet(o.channel) ||
        parser.isSet(o.maxStations)) {
        err << "Quorvel: --origin, --magnitude, --channel and --max-stations go with "
               "--event-seismograms\n"
            << usageHint;
        return 2;
    }
    // More seismograms may follow --sac FILE when they are drawn together.
    const bool stackOfFiles =
        (parser.isSet(o.sac) && parser.isSet(o.render)) || parser.isSet(o.waveforms);
    if (!parser.positionalArguments().isEmpty() && !stackOfFiles) {
        err << "Quorvel: unexpected argument '" << parser.positionalArguments().first() << "'\n"
            << usageHint;
        return 2;
    }
    if (travelTimeCommands::handles(parser, o)) {
        if (region || parser.isSet(o.sac) || parser.isSet(o.waveforms) || parser.isSet(o.source) ||
            parser.isSet(o.channels)) {
            err << "Quorvel: --travel-times works alone\n" << usageHint;
            return 2;
        }
        return travelTimeCommands::run(parser, o, out, err);
    }
    const int commands = int(region.has_value()) + int(parser.isSet(o.sac)) +
                         int(parser.isSet(o.waveforms)) + int(parser.isSet(o.source)) +
                         int(parser.isSet(o.channels));
    if (commands > 1) {
        err << "Quorvel: --region, --sac, --waveforms, --source and --channels cannot be "
               "combined\n"
            << usageHint;
        return 2;
    }
    if (parser.isSet(o.exportSac) && !parser.isSet(o.waveforms) && !parser.isSet(o.channels)) {
        err << "Quorvel: --export-sac goes with --waveforms or --channels\n" << usageHint;
        return 2;
    }
    if (region)
        return seismogramCommands::printRegions(*region, in, out, err);
    if (parser.isSet(o.waveforms))
        return waveformCommands::run(parser, o, out, err);
    if (parser.isSet(o.sac))
        return parser.isSet(o.render)
                   ? renderCommands::renderSeismograms(
                         parser, o, parser.values(o.sac) + parser.positionalArguments(), err)
                   : seismogramCommands::printSeismogram(parser, o, out, err);
    if (parser.isSet(o.channels))
        return parser.isSet(o.render) ? renderCommands::renderLive(parser, o, in, err)
                                      : liveCommands::run(parser, o, in, out, err);
    if (parser.isSet(o.render) && !parser.isSet(o.source)) {
        err << "Quorvel: --render needs --source\n" << usageHint;
        return 2;
    }
    if (parser.isSet(o.exportAs)) {
        if (!parser.isSet(o.source) || parser.isSet(o.render)) {
            err << "Quorvel: --export needs --source, without --render\n" << usageHint;
            return 2;
        }
        return exportCommands::run(parser, o, err);
    }
    if (statisticsCommands::handles(parser, o))
        return statisticsCommands::run(parser, o, out, err);
    if (parser.isSet(o.source) && parser.isSet(o.render))
        return renderCommands::renderCatalogue(parser, o, err);
    if (parser.isSet(o.source))
        return catalogueCommands::printCatalogue(parser, o, out, err);
    err << "Quorvel: nothing to do\n" << usageHint;
    return 2;
}

} // namespace quorvelCommandLine
