#include "travelTimeCommands.h"

#include "travelTimeCalculator.h"

namespace travelTimeCommands {

using quorvelCommandLine::decimal;
using quorvelCommandLine::refuse;
using quorvelCommandLine::strictDouble;

namespace {

// The value of a required number option within [low, high].
std::optional<double> numberIn(const QCommandLineParser& parser, const QCommandLineOption& option,
                               double low, double high, const QString& unit, QTextStream& err) {
    const QString name = option.names().first();
    const auto value = parser.isSet(option) ? strictDouble(parser.value(option)) : std::nullopt;
    if (!value || *value < low || *value > high) {
        refuse(err, QStringLiteral("--travel-times needs --%1 from %2 to %3 %4")
                        .arg(name)
                        .arg(low)
                        .arg(high)
                        .arg(unit));
        return std::nullopt;
    }
    return value;
}

} // namespace

bool handles(const QCommandLineParser& parser, const commandLineOptions& o) {
    for (const QCommandLineOption* option : {&o.travelTimes, &o.depth, &o.distance})
        if (parser.isSet(*option))
            return true;
    const bool seismograms = parser.isSet(o.sac) || parser.isSet(o.waveforms);
    return !seismograms && (parser.isSet(o.model) || parser.isSet(o.phases));
}

const earthModel* modelOption(const QCommandLineParser& parser, const commandLineOptions& o,
                              QTextStream& err) {
    const QVRResult<const earthModel*> model = earthModel::find(parser.value(o.model));
    if (!model) {
        refuse(err, model.error());
        return nullptr;
    }
    return *model;
}

std::optional<QStringList> phasesOption(const QCommandLineParser& parser,
                                        const commandLineOptions& o, const QStringList& unset,
                                        QTextStream& err) {
    if (!parser.isSet(o.phases))
        return unset;
    QVRResult<QStringList> phases = travelTimeCalculator::phaseList(parser.value(o.phases));
    if (!phases) {
        refuse(err, phases.error());
        return std::nullopt;
    }
    return std::move(phases).value();
}

int run(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& out,
        QTextStream& err) {
    if (!parser.isSet(o.travelTimes))
        return refuse(err, QStringLiteral("--depth, --distance, --model and --phases go with "
                                          "--travel-times"));
    const auto depth =
        numberIn(parser, o.depth, 0, travelTimeCalculator::maximumDepth, QStringLiteral("km"), err);
    if (!depth)
        return 2;
    const auto distance = numberIn(parser, o.distance, 0, 180, QStringLiteral("degrees"), err);
    if (!distance)
        return 2;
    const earthModel* model = modelOption(parser, o, err);
    if (!model)
        return 2;
    const std::optional<QStringList> phases =
        phasesOption(parser, o, travelTimeCalculator::phaseNames(), err);
    if (!phases)
        return 2;

    const auto arrivals = travelTimeCalculator(*model).arrivals(*depth, *distance, *phases);
    if (arrivals.empty()) {
        err << "Quorvel: no arrivals at " << *distance << "° from a source at " << *depth
            << " km\n";
        return 1;
    }
    out << "phase\ttime_s\tray_param_s_deg\ttakeoff_deg\tincidence_deg\n";
    for (const seismicArrival& a : arrivals)
        out << a.phase << '\t' << decimal(a.time, 3) << '\t' << decimal(a.rayParameter, 4) << '\t'
            << decimal(a.takeoffAngle, 2) << '\t' << decimal(a.incidenceAngle, 2) << '\n';
    return 0;
}

} // namespace travelTimeCommands
