#include "statisticsCommands.h"

#include "QVRHistogramView.h"
#include "catalogueCommands.h"
#include "magnitudeFrequencyView.h"
#include "renderCommands.h"
#include "seismicityStatistics.h"
#include "statisticsPlots.h"

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
    return renderCommands::writePicture(*view, path, err);
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
    if (picture && !renderCommands::pictureOptions(parser, o, size, path, err))
        return 2;

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
