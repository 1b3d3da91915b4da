#include "quorvelCommandLine.h"

#include "QVRDateFormatter.h"
#include "SacObject.h"
#include "flinnEngdahl.h"

#include <QCommandLineParser>

#include <optional>

namespace quorvelCommandLine {
namespace {

const QString usageHint = QStringLiteral("Try 'Quorvel --help'.\n");

struct options {
    QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                            QStringLiteral("Show this help and exit.")};
    QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                               QStringLiteral("Show the version and exit.")};
    QCommandLineOption sac{QStringLiteral("sac"),
                           QStringLiteral("Read the SAC seismogram FILE."), QStringLiteral("FILE")};
    QCommandLineOption removeMean{QStringLiteral("remove-mean"),
                                  QStringLiteral("With --sac: remove the mean.")};
    QCommandLineOption taper{QStringLiteral("taper"),
                             QStringLiteral("With --sac: taper 5 % at each end (cosine).")};
    QCommandLineOption highpass{QStringLiteral("highpass"),
                                QStringLiteral("With --sac: Butterworth high pass at HZ."),
                                QStringLiteral("HZ")};
    QCommandLineOption lowpass{QStringLiteral("lowpass"),
                               QStringLiteral("With --sac: Butterworth low pass at HZ."),
                               QStringLiteral("HZ")};
    QCommandLineOption poles{QStringLiteral("poles"),
                             QStringLiteral("With --sac: filter poles, 1 to 10 (default 4)."),
                             QStringLiteral("N"), QStringLiteral("4")};
    QCommandLineOption passes{QStringLiteral("passes"),
                              QStringLiteral("With --sac: 1 causal, 2 zero phase (default 2)."),
                              QStringLiteral("1|2"), QStringLiteral("2")};
    // Listed for the help only: the words after --region are taken before the parser runs.
    QCommandLineOption region{QStringLiteral("region"),
                              QStringLiteral("Print the Flinn-Engdahl regions of a point: "
                                             "greg<TAB>sreg<TAB>geographic name<TAB>seismic name. "
                                             "With -, the same for each \"LAT LON\" line of "
                                             "standard input."),
                              QStringLiteral("LAT LON|-")};
    QCommandLineOption print{QStringLiteral("print"),
                             QStringLiteral("What to print. With --sac: header or samples."),
                             QStringLiteral("WHAT")};
};

// "--region LAT LON" and "--region -" take their words raw, so that a negative latitude is
// not mistaken for an option.
struct regionRequest {
    bool fromInput = false;
    QString latitude, longitude;
};

QString regionLine(float latitude, float longitude)
{
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

std::optional<float> strictFloat(const QString& text)
{
    bool ok = false;
    const float value = text.trimmed().toFloat(&ok);
    return ok ? std::optional<float>(value) : std::nullopt;
}

int runRegion(const regionRequest& request, QTextStream& in, QTextStream& out, QTextStream& err)
{
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

QString headerNumber(float value)
{
    return QString::asprintf("%.9g", double(value));
}

int runSac(QCommandLineParser& parser, const options& o, QTextStream& out, QTextStream& err)
{
    const QString what = parser.value(o.print);
    if (what != QLatin1StringView("header") && what != QLatin1StringView("samples")) {
        err << "Quorvel: --sac needs --print header or --print samples\n" << usageHint;
        return 2;
    }
    bool polesOk = false, passesOk = false;
    const int poles = parser.value(o.poles).toInt(&polesOk);
    const int passes = parser.value(o.passes).toInt(&passesOk);
    if (!polesOk || poles < 1 || poles > 10) {
        err << "Quorvel: --poles takes a whole number from 1 to 10\n" << usageHint;
        return 2;
    }
    if (!passesOk || (passes != 1 && passes != 2)) {
        err << "Quorvel: --passes takes 1 or 2\n" << usageHint;
        return 2;
    }
    std::optional<float> highpass, lowpass;
    if (parser.isSet(o.highpass) && !(highpass = strictFloat(parser.value(o.highpass)))) {
        err << "Quorvel: --highpass takes a frequency in Hz\n" << usageHint;
        return 2;
    }
    if (parser.isSet(o.lowpass) && !(lowpass = strictFloat(parser.value(o.lowpass)))) {
        err << "Quorvel: --lowpass takes a frequency in Hz\n" << usageHint;
        return 2;
    }

    SacObject seismogram;
    const QString path = parser.value(o.sac);
    if (!seismogram.InitWithContentsOfFile(path)) {
        err << "Quorvel: " << path << " is not a SAC seismogram: " << seismogram.errorString() << "\n";
        return 2;
    }
    if (parser.isSet(o.removeMean))
        seismogram.RemoveMean();
    if (parser.isSet(o.taper))
        seismogram.defaultTaper();
    bool filtered = true;
    if (highpass)
        filtered = seismogram.HPBUfilter(*highpass, passes, poles) && filtered;
    if (lowpass)
        filtered = seismogram.LPBUfilter(*lowpass, passes, poles) && filtered;
    if (!filtered)
        return 1; // the component has said why in the log

    if (what == QLatin1StringView("samples")) {
        const float* samples = seismogram.GetSacSeis();
        for (int i = 0; i < seismogram.npts(); ++i)
            out << QString::asprintf("%.9g\n", double(samples[i]));
        return 0;
    }
    const SacHeader& h = *seismogram.GetSacHeader();
    const QDateTime reference = seismogram.mySeisReferenceTime();
    const QString region = seismogram.flinnEngdahlGeographicRegion();
    static const QVRDateFormatter iso(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.SSS'Z'"), QTimeZone::utc());
    out << "npts " << h.npts << "\n"
        << "delta " << headerNumber(h.delta) << "\n"
        << "b " << headerNumber(h.b) << "\n"
        << "e " << headerNumber(h.e) << "\n"
        << "depmin " << headerNumber(seismogram.smin()) << "\n"
        << "depmax " << headerNumber(seismogram.smax()) << "\n"
        << "reference " << (reference.isValid() ? iso.stringFromDate(reference) : QStringLiteral("-12345")) << "\n"
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
    return 0;
}

} // namespace

bool opensWindows(const QStringList& arguments)
{
    return arguments.size() <= 1;
}

int run(const QStringList& arguments, QTextStream& in, QTextStream& out, QTextStream& err)
{
    QStringList words = arguments;
    std::optional<regionRequest> region;
    if (const qsizetype at = words.indexOf(QStringLiteral("--region")); at > 0) {
        regionRequest r;
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

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Quorvel, a desktop earthquake monitor.\n"
                       "Without arguments it opens its windows; with arguments it works on the "
                       "command line, without a display."));
    const options o;
    parser.addOptions({o.help, o.version, o.region, o.sac, o.removeMean, o.taper, o.highpass,
                       o.lowpass, o.poles, o.passes, o.print});

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
    if (!parser.positionalArguments().isEmpty()) {
        err << "Quorvel: unexpected argument '" << parser.positionalArguments().first() << "'\n"
            << usageHint;
        return 2;
    }
    if (region && parser.isSet(o.sac)) {
        err << "Quorvel: --region and --sac cannot be combined\n" << usageHint;
        return 2;
    }
    if (region)
        return runRegion(*region, in, out, err);
    if (parser.isSet(o.sac))
        return runSac(parser, o, out, err);
    err << "Quorvel: nothing to do\n" << usageHint;
    return 2;
}

} // namespace quorvelCommandLine
