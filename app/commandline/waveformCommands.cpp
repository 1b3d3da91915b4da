#include "waveformCommands.h"

#include "QVRDateFormatter.h"
#include "renderCommands.h"
#include "sacFiles.h"
#include "seismogramCommands.h"

namespace waveformCommands {

using quorvelCommandLine::usageHint;

namespace {

// Also a distance or an azimuth.
QString coordinate(float degrees) {
    return degrees == SacHeader::undefinedValue ? QString()
                                                : QString::asprintf("%.6g", double(degrees));
}

} // namespace

QString summaryLine(const SacObject& s) {
    static const QVRDateFormatter iso(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.SSS'Z'"),
                                      QTimeZone::utc());
    return QStringList{s.streamId(),
                       iso.stringFromDate(s.firstSampleTime()),
                       QString::asprintf("%.6g", 1.0 / double(s.delta())),
                       QString::number(s.npts()),
                       QString::asprintf("%.9g", double(s.smin())),
                       QString::asprintf("%.9g", double(s.smax())),
                       coordinate(s.stla()),
                       coordinate(s.stlo())}
        .join(u'\t');
}

QString eventSummaryLine(const SacObject& s) {
    return QStringList{summaryLine(s), coordinate(s.gcarc()), coordinate(s.backazimuth())}.join(
        u'\t');
}

void printSummaries(const std::vector<SacObject>& seismograms, QTextStream& out) {
    for (const SacObject& s : seismograms)
        out << summaryLine(s) << "\n";
}

int exportSac(const std::vector<SacObject>& seismograms, const QString& folder, QTextStream& err) {
    std::vector<const SacObject*> each;
    for (const SacObject& s : seismograms)
        each.push_back(&s);
    const QVRResult<QStringList> written = sacFiles::writeAll(each, folder);
    if (!written) {
        err << "Quorvel: " << written.error() << "\n";
        return 1;
    }
    return 0;
}

int run(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& out,
        QTextStream& err) {
    const QStringList files = parser.values(o.waveforms) + parser.positionalArguments();
    const int outputs =
        int(parser.isSet(o.print)) + int(parser.isSet(o.exportSac)) + int(parser.isSet(o.render));
    if (outputs != 1) {
        err << "Quorvel: --waveforms takes one of --print, --export-sac and --render\n"
            << usageHint;
        return 2;
    }
    if (parser.isSet(o.render))
        return renderCommands::renderSeismograms(parser, o, files, err);
    const QString what = parser.value(o.print);
    if (parser.isSet(o.print) && what != QLatin1StringView("header") &&
        what != QLatin1StringView("samples") && what != QLatin1StringView("summary")) {
        err << "Quorvel: --waveforms takes --print header, samples or summary\n" << usageHint;
        return 2;
    }
    if (parser.isSet(o.exportSac) && parser.value(o.exportSac).isEmpty()) {
        err << "Quorvel: --export-sac needs a folder\n" << usageHint;
        return 2;
    }
    const std::optional<seismogramCommands::processing> how =
        seismogramCommands::processingOptions(parser, o, err);
    if (!how)
        return 2;

    std::vector<SacObject> seismograms;
    bool notSeismogram = false, stepFailed = false;
    for (const QString& file : files) {
        const int failed = seismogramCommands::readProcessed(file, *how, err, seismograms);
        notSeismogram |= failed == 2;
        stepFailed |= failed == 1;
    }
    if (!parser.isSet(o.print)) {
        stepFailed |=
            !seismograms.empty() && exportSac(seismograms, parser.value(o.exportSac), err) != 0;
    } else if (what == QLatin1StringView("summary")) {
        printSummaries(seismograms, out);
    } else if (what == QLatin1StringView("samples")) {
        seismogramCommands::printSamples(seismograms, out);
    } else {
        seismogramCommands::printHeaders(seismograms, out);
    }
    if (notSeismogram)
        return 2;
    if (seismograms.empty()) {
        err << "Quorvel: no trace was read\n";
        return 1;
    }
    return stepFailed ? 1 : 0;
}

} // namespace waveformCommands
