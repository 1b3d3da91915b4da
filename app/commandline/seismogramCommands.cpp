#include "seismogramCommands.h"

#include "QVRDateFormatter.h"
#include "SacObject.h"
#include "flinnEngdahl.h"
#include "seismogramFile.h"

#include <optional>

namespace seismogramCommands {

using quorvelCommandLine::strictFloat;
using quorvelCommandLine::usageHint;

namespace {

QString regionLine(float latitude, float longitude) {
    int greg = 0, sreg = 0;
    fe_lookup(latitude, 32, longitude, 32, &greg, &sreg);
    const char* geographic = nullptr;
    const char* seismic = nullptr;
    fe_region(&greg, &geographic, &sreg, &seismic);
    return QStringLiteral("%1\t%2\t%3\t%4\n")
        .arg(greg)
        .arg(sreg)
        .arg(QString::fromLatin1(geographic), QString::fromLatin1(seismic));
}

} // namespace

int printRegions(const regionRequest& request, QTextStream& in, QTextStream& out,
                 QTextStream& err) {
    if (!request.fromInput) {
        const auto lat = strictFloat(request.latitude);
        const auto lon = strictFloat(request.longitude);
        if (!lat || !lon) {
            err << "Quorvel: --region needs a latitude and a longitude in degrees\n" << usageHint;
            return 2;
        }
        out << regionLine(*lat, *lon);
        return 0;
    }
    int status = 0;
    int lineNumber = 0;
    QString line;
    while (in.readLineInto(&line)) {
        ++lineNumber;
        if (line.trimmed().isEmpty())
            continue;
        const QStringList words = line.simplified().split(u' ');
        const auto lat = words.size() == 2 ? strictFloat(words.at(0)) : std::nullopt;
        const auto lon = words.size() == 2 ? strictFloat(words.at(1)) : std::nullopt;
        if (!lat || !lon) {
            err << "Quorvel: line " << lineNumber << " is not \"LAT LON\": " << line << "\n";
            status = 1;
            continue;
        }
        out << regionLine(*lat, *lon);
    }
    return status;
}

namespace {

QString headerNumber(float value) {
    return QString::asprintf("%.9g", double(value));
}

} // namespace

std::optional<processing> processingOptions(const QCommandLineParser& parser,
                                            const commandLineOptions& o, QTextStream& err) {
    processing how;
    bool polesOk = false, passesOk = false;
    how.poles = parser.value(o.poles).toInt(&polesOk);
    how.passes = parser.value(o.passes).toInt(&passesOk);
    if (!polesOk || how.poles < 1 || how.poles > 10) {
        err << "Quorvel: --poles takes a whole number from 1 to 10\n" << usageHint;
        return std::nullopt;
    }
    if (!passesOk || (how.passes != 1 && how.passes != 2)) {
        err << "Quorvel: --passes takes 1 or 2\n" << usageHint;
        return std::nullopt;
    }
    if (parser.isSet(o.highpass) && !(how.highpass = strictFloat(parser.value(o.highpass)))) {
        err << "Quorvel: --highpass takes a frequency in Hz\n" << usageHint;
        return std::nullopt;
    }
    if (parser.isSet(o.lowpass) && !(how.lowpass = strictFloat(parser.value(o.lowpass)))) {
        err << "Quorvel: --lowpass takes a frequency in Hz\n" << usageHint;
        return std::nullopt;
    }
    how.removeMean = parser.isSet(o.removeMean);
    how.taper = parser.isSet(o.taper);
    return how;
}

int readProcessed(const QString& path, const processing& how, QTextStream& err,
                  std::vector<SacObject>& seismograms) {
    QVRResult<std::vector<SacObject>> read = seismogramFile::fromFile(path);
    if (!read) {
        err << "Quorvel: " << path << " is not a SAC seismogram or miniSEED file: " << read.error()
            << "\n";
        return 2;
    }
    int status = 0;
    for (SacObject& seismogram : read.value()) {
        // A refused filter has been explained in the log by the seismogram component.
        if (!how.applyTo(seismogram))
            status = 1;
        seismograms.push_back(std::move(seismogram));
    }
    return status;
}

void printSamples(const std::vector<SacObject>& seismograms, QTextStream& out) {
    for (const SacObject& seismogram : seismograms) {
        const float* samples = seismogram.GetSacSeis();
        for (int i = 0; i < seismogram.npts(); ++i)
            out << QString::asprintf("%.9g\n", double(samples[i]));
    }
}

void printHeaders(const std::vector<SacObject>& seismograms, QTextStream& out) {
    static const QVRDateFormatter iso(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.SSS'Z'"),
                                      QTimeZone::utc());
    for (const SacObject& seismogram : seismograms) {
        const SacHeader& h = *seismogram.GetSacHeader();
        const QDateTime reference = seismogram.mySeisReferenceTime();
        const QString region = seismogram.flinnEngdahlGeographicRegion();
        out << "npts " << h.npts << "\n"
            << "delta " << headerNumber(h.delta) << "\n"
            << "b " << headerNumber(h.b) << "\n"
            << "e " << headerNumber(h.e) << "\n"
            << "depmin " << headerNumber(seismogram.smin()) << "\n"
            << "depmax " << headerNumber(seismogram.smax()) << "\n"
            << "reference "
            << (reference.isValid() ? iso.stringFromDate(reference) : QStringLiteral("-12345"))
            << "\n"
            << "kstnm " << seismogram.kstnm() << "\n"
            << "knetwk " << seismogram.knetwk() << "\n"
            << "kcmpnm " << seismogram.kcmpnm() << "\n"
            << "evla " << headerNumber(h.evla) << "\n"
            << "evlo " << headerNumber(h.evlo) << "\n"
            << "evdp " << headerNumber(h.evdp) << "\n"
            << "gcarc " << headerNumber(h.gcarc) << "\n"
            << "az " << headerNumber(h.az) << "\n"
            << "baz " << headerNumber(h.baz) << "\n"
            << "region " << (region.isEmpty() ? QStringLiteral("-12345") : region) << "\n";
    }
}

int printSeismogram(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& out,
                    QTextStream& err) {
    const QString what = parser.value(o.print);
    if (what != QLatin1StringView("header") && what != QLatin1StringView("samples")) {
        err << "Quorvel: --sac needs --print header or --print samples\n" << usageHint;
        return 2;
    }
    const std::optional<processing> how = processingOptions(parser, o, err);
    if (!how)
        return 2;
    std::vector<SacObject> seismograms;
    if (const int failed = readProcessed(parser.value(o.sac), *how, err, seismograms))
        return failed;
    if (what == QLatin1StringView("samples"))
        printSamples(seismograms, out);
    else
        printHeaders(seismograms, out);
    return 0;
}

} // namespace seismogramCommands
