#include "statisticsCommands.h"

#include "QVRHistogramView.h"
#include "catalogueCommands.h"
#include "magnitudeFrequencyView.h"
#include "seismicityStatistics.h"
#include "statisticsPlots.h"

#include <QRegularExpression>
#include <QSize>

#include <limits>
#include <memory>
#include <optional>

namespace statisticsCommands {

using quorvelCommandLine::strictFloat;
using quorvelCommandLine::usageHint;

namespace {

const QStringList pictureKinds = {QStringLiteral("magnitude-histogram"),
                                  QStringLiteral("depth-histogram"),
                                  QStringLiteral("magnitude-frequency")};

std::optional<QSize> sizeArgument(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$"));
    const QRegularExpressionMatch m = pattern.match(text.trimmed());
    if (!m.hasMatch())
        return std::nullopt;
    const QSize size(m.captured(1).toInt(), m.captured(2).toInt());
    // Past 20 000 points a side the picture would need gigabytes.
    if (size.width() < 50 || size.height() < 50 || size.width() > 20000 || size.height() > 20000)
        return std::nullopt;
    return size;
}

// The loaded origins within --min-mag and --max-mag, both ends included, when either is given.
std::optional<originList> withinLimits(const QCommandLineParser& parser,
                                       const commandLineOptions& o, const originList& origins,
                                       QTextStream& err) {
    if (!parser.isSet(o.minMag) && !parser.isSet(o.maxMag))
        return origins;
    double limits[2] = {-std::numeric_limits<double>::infinity(),
                        std::numeric_limits<double>::infinity()};
    for (int end = 0; end < 2; ++end) {
        const QCommandLineOption& option = end == 0 ? o.minMag : o.maxMag;
        if (!parser.isSet(option))
            continue;
        const auto value = strictFloat(parser.value(option));
        if (!value) {
            err << "Quorvel: --" << option.names().first() << " takes a number\n" << usageHint;
            return std::nullopt;
        }
        limits[end] = *value;
    }
    return seismicityStatistics::withinMagnitudes(origins, limits[0], limits[1]);
}

int render(const QString& kind, const originList& origins, const QSize& size, const QString& path,
           QTextStream& err) {
    std::unique_ptr<QVRView> view;
    if (kind == QLatin1StringView("magnitude-frequency")) {
        auto curve = std::make_unique<magnitudeFrequencyView>();
        curve->setMagnitudes(seismicityStatistics::magnitudesOf(origins));
        view = std::move(curve);
    } else if (kind == QLatin1StringView("magnitude-histogram")) {
        view = statisticsPlots::magnitudeHistogram(seismicityStatistics::magnitudesOf(origins));
    } else {
        view = statisticsPlots::depthHistogram(seismicityStatistics::depthsOf(origins));
    }
    view->resize(size);
    const bool written = path.endsWith(QLatin1StringView(".pdf"), Qt::CaseInsensitive)
                             ? view->writePDFToFile(path)
                             : view->writePNGToFile(path);
    if (!written) {
        err << "Quorvel: cannot write " << path << "\n";
        return 1;
    }
    return 0;
}

} // namespace

bool handles(const QCommandLineParser& parser, const commandLineOptions& o) {
    if (!parser.isSet(o.source))
        return false;
    if (parser.isSet(o.render))
        return pictureKinds.contains(parser.value(o.render));
    return parser.value(o.print) == QLatin1StringView("statistics");
}

int run(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& out,
        QTextStream& err) {
    const bool picture = parser.isSet(o.render);
    QSize size(800, 500);
    QString path;
    if (picture) {
        path = parser.value(o.output);
        if (!path.endsWith(QLatin1StringView(".pdf"), Qt::CaseInsensitive) &&
            !path.endsWith(QLatin1StringView(".png"), Qt::CaseInsensitive)) {
            err << "Quorvel: --render needs --output FILE.png or FILE.pdf\n" << usageHint;
            return 2;
        }
        if (parser.isSet(o.size)) {
            const auto given = sizeArgument(parser.value(o.size));
            if (!given) {
                err << "Quorvel: --size takes WxH, each 50 to 20000 points\n" << usageHint;
                return 2;
            }
            size = *given;
        }
    }

    catalogueCommands::loadedCatalogue catalogue;
    if (const int refused = catalogueCommands::loadCatalogue(parser, o, err, catalogue))
        return refused;
    const std::optional<originList> origins = withinLimits(parser, o, catalogue.origins, err);
    if (!origins)
        return 2;

    if (picture)
        return render(parser.value(o.render), *origins, size, path, err);
    const seismicityStatistics figures =
        seismicityStatistics::ofMagnitudes(seismicityStatistics::magnitudesOf(*origins));
    out << figures.printed();
    if (figures.tooFewEvents())
        err << "Quorvel: too few events (" << figures.nAboveMc() << " at or above Mc)\n";
    return 0;
}

} // namespace statisticsCommands
