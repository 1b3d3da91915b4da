#include "exportCommands.h"

#include "applicationDefaults.h"
#include "catalogueCommands.h"
#include "eventExport.h"
#include "originDisplays.h"

namespace exportCommands {

using quorvelCommandLine::usageHint;

int run(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& err) {
    const std::optional<eventExport::format> format =
        eventExport::formatNamed(parser.value(o.exportAs));
    if (!format) {
        err << "Quorvel: --export takes csv, geojson, quakeml or kml\n" << usageHint;
        return 2;
    }
    if (!parser.isSet(o.output) || parser.value(o.output).isEmpty()) {
        err << "Quorvel: --export needs --output FILE\n" << usageHint;
        return 2;
    }
    catalogueCommands::loadedCatalogue catalogue;
    if (const int refused = catalogueCommands::loadCatalogue(parser, o, err, catalogue))
        return refused;
    // The KML colours are the map's, as the user set them.
    applicationDefaults::registerApplicationDefaults();
    const eventExport::ageColouring colouring = eventExport::colouringOf(
        originDisplays::defaultSettings(), QDateTime::currentDateTimeUtc());
    const QString path = parser.value(o.output);
    if (const QVRResult<void> written =
            eventExport::write(catalogue.origins, *format, path, colouring);
        !written) {
        err << "Quorvel: cannot write " << path << ": " << written.error() << "\n";
        return 1;
    }
    return 0;
}

} // namespace exportCommands
