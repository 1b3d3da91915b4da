#include "renderCommands.h"

#include "QVRDateFormatter.h"
#include "QVRRTSeismicDisplayController.h"
#include "QVRRealTimeDisplayView02.h"
#include "QVRStemTimeLineView.h"
#include "applicationDefaults.h"
#include "catalogueCommands.h"
#include "catalogueLoader.h"
#include "catalogueTable.h"
#include "geoMapView.h"
#include "lenientNumbers.h"
#include "liveCommands.h"
#include "liveTraces.h"
#include "mapDirectories.h"
#include "originDisplays.h"
#include "originStore.h"
#include "seismogramCommands.h"
#include "seismogramViews.h"
#include "timeZones.h"
#include "travelTimeCommands.h"

#include <QRegularExpression>
#include <QSize>

#include <algorithm>
#include <memory>

namespace renderCommands {

using quorvelCommandLine::usageHint;

namespace {

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

// The tag of a --source name; the loaded catalogue has been checked by then.
int catalogueTag(const QString& source) {
    const catalogueTable::catalogue* named = catalogueTable::catalogueNamed(source);
    return named ? named->tag : catalogueTable::usgsFeedTag;
}

} // namespace

bool pictureOptions(const QCommandLineParser& parser, const commandLineOptions& o, QSize& size,
                    QString& path, QTextStream& err) {
    path = parser.value(o.output);
    if (!path.endsWith(QLatin1StringView(".pdf"), Qt::CaseInsensitive) &&
        !path.endsWith(QLatin1StringView(".png"), Qt::CaseInsensitive)) {
        err << "Quorvel: --render needs --output FILE.png or FILE.pdf\n" << usageHint;
        return false;
    }
    if (parser.isSet(o.size)) {
        const auto given = sizeArgument(parser.value(o.size));
        if (!given) {
            err << "Quorvel: --size takes WxH, each 50 to 20000 points\n" << usageHint;
            return false;
        }
        size = *given;
    }
    return true;
}

int writePicture(const QVRView& picture, const QString& path, QTextStream& err) {
    const bool written = path.endsWith(QLatin1StringView(".pdf"), Qt::CaseInsensitive)
                             ? picture.writePDFToFile(path)
                             : picture.writePNGToFile(path);
    if (!written) {
        err << "Quorvel: cannot write " << path << "\n";
        return 1;
    }
    return 0;
}

int renderCatalogue(const QCommandLineParser& parser, const commandLineOptions& o,
                    QTextStream& err) {
    auto refuse = [&err](const QString& why) {
        err << "Quorvel: " << why << "\n" << usageHint;
        return 2;
    };
    const QString view = parser.value(o.render);
    const bool map = view == QLatin1StringView("map");
    if (!map && view != QLatin1StringView("timeline"))
        return refuse(QStringLiteral("--render takes map or timeline"));
    QString path;
    QSize size = map ? QSize(1100, 560) : QSize(1100, 180);
    if (!pictureOptions(parser, o, size, path, err))
        return 2;

    catalogueCommands::loadedCatalogue catalogue;
    if (const int refused = catalogueCommands::loadCatalogue(parser, o, err, catalogue))
        return refused;

    // The window's own views and feeding, never shown, with the settings the window opens
    // with: what is drawn is what the window would show after this load.
    applicationDefaults::registerApplicationDefaults();
    geoMapView mapView;
    QVRStemTimeLineView timeLine;
    // As in the window, neither view gets smaller than its form allows.
    mapView.setMinimumSize(480, 260);
    timeLine.setMinimumSize(480, 120);
    originList origins = catalogue.origins;
    sortNewestFirst(origins);
    originStore shown;
    shown.replaceOrigins(origins);
    const originDisplays::displaySettings settings = originDisplays::defaultSettings();
    originDisplays displays(mapView, timeLine, shown, [settings] { return settings; });
    timeLine.setDataSource(&displays);
    mapDirectories::applyTo(mapView);
    displays.setUpMap();
    // The time line lines up under the map, so the map is laid out at the same width first.
    mapView.resize(map ? size : QSize(size.width(), size.width() / 2));
    timeLine.resize(size);
    displays.setTimeLineDates(catalogueLoader::spanOfList(
        catalogueTag(parser.value(o.source)), origins, QDateTime::currentDateTimeUtc()));
    if (!origins.isEmpty()) {
        displays.createMapPoints();
        displays.updateDisplays();
    }
    mapView.computeRects();
    displays.communicateMapRect();

    return writePicture(map ? static_cast<const QVRView&>(mapView) : timeLine, path, err);
}

int renderLive(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& in,
               QTextStream& err) {
    if (parser.value(o.render) != QLatin1StringView("live")) {
        err << "Quorvel: --channels needs --render live\n" << usageHint;
        return 2;
    }
    QSize size(1100, 700);
    QString path;
    if (!pictureOptions(parser, o, size, path, err))
        return 2;
    const std::optional<liveCommands::channelRequest> request =
        liveCommands::readChannelRequest(parser, o, in, err);
    if (!request)
        return 2;

    const QDateTime asked = QDateTime::currentDateTimeUtc();
    const QList<std::shared_ptr<SacObject>> seismograms = liveCommands::seismograms(*request, err);
    if (seismograms.isEmpty())
        return 1;
    // A stream's window ends when the listening does.
    const liveTraces::window shown = liveCommands::shownWindow(
        *request, request->source.type() == seismogramDataSource::kind::seedLink
                      ? QDateTime::currentDateTimeUtc()
                      : asked);
    QVRRealTimeDisplayView02 view;
    view.resize(size);
    view.setTitle(request->list.title);
    liveTraces::showInView(view, liveTraces::placedInWindow(seismograms, shown, true), shown, true);
    return writePicture(view, path, err);
}

bool sectionOptionsFit(const QCommandLineParser& parser, const commandLineOptions& o,
                       QTextStream& err) {
    const bool seismograms =
        parser.isSet(o.sac) || parser.isSet(o.waveforms) || parser.isSet(o.eventSeismograms);
    if (seismograms && parser.isSet(o.render) &&
        seismogramViews::kindForCommandName(parser.value(o.render)) ==
            seismogramViews::kind::eventSection)
        return true;
    QStringList stray;
    if (parser.isSet(o.reductionVelocity))
        stray << QStringLiteral("--reduction-velocity");
    if (seismograms && parser.isSet(o.phases))
        stray << QStringLiteral("--phases");
    if (seismograms && !parser.isSet(o.eventSeismograms) && parser.isSet(o.model))
        stray << QStringLiteral("--model");
    if (stray.isEmpty())
        return true;
    quorvelCommandLine::refuse(
        err, QStringLiteral("%1 %2 with --render event-section")
                 .arg(stray.join(QStringLiteral(" and ")),
                      stray.size() == 1 ? QStringLiteral("goes") : QStringLiteral("go")));
    return false;
}

std::optional<seismogramPicture> seismogramPictureOptions(const QCommandLineParser& parser,
                                                          const commandLineOptions& o,
                                                          QTextStream& err) {
    const std::optional<seismogramViews::kind> kind =
        seismogramViews::kindForCommandName(parser.value(o.render));
    if (!kind) {
        err << "Quorvel: seismograms take --render "
            << seismogramViews::commandNames().join(QStringLiteral(", ")) << "\n"
            << usageHint;
        return std::nullopt;
    }
    seismogramPicture picture{*kind,
                              *kind == seismogramViews::kind::helicorder ? QSize(1600, 1200)
                                                                         : QSize(1100, 600),
                              QString(),
                              {}};
    if (!pictureOptions(parser, o, picture.size, picture.path, err))
        return std::nullopt;
    for (auto [option, value] : {std::pair{&o.rowMinutes, &picture.settings.rowMinutes},
                                 std::pair{&o.rows, &picture.settings.rows}}) {
        if (!parser.isSet(*option))
            continue;
        bool ok = false;
        *value = parser.value(*option).toInt(&ok);
        if (!ok || *value < 1 || *value > 10000) {
            err << "Quorvel: --" << option->names().first() << " takes a whole number from 1\n"
                << usageHint;
            return std::nullopt;
        }
    }
    picture.settings.logFrequency = parser.isSet(o.logFrequency);
    if (parser.isSet(o.spectrogramWindow)) {
        bool ok = false;
        picture.settings.spectrogramWindow = parser.value(o.spectrogramWindow).toInt(&ok);
        if (!ok || picture.settings.spectrogramWindow < 4 ||
            picture.settings.spectrogramWindow > (1 << 22)) {
            quorvelCommandLine::refuse(
                err, QStringLiteral("--spectrogram-window takes a whole number from 4 to 4194304"));
            return std::nullopt;
        }
    }
    if (parser.isSet(o.spectrogramOverlap)) {
        const std::optional<float> overlap =
            quorvelCommandLine::strictFloat(parser.value(o.spectrogramOverlap));
        if (!overlap || !(*overlap >= 0.0f && *overlap <= 0.95f)) {
            quorvelCommandLine::refuse(
                err, QStringLiteral("--spectrogram-overlap takes a fraction from 0 to 0.95"));
            return std::nullopt;
        }
        picture.settings.spectrogramOverlap = double(*overlap);
    }
    if (parser.isSet(o.reductionVelocity)) {
        const std::optional<double> velocity =
            quorvelCommandLine::strictDouble(parser.value(o.reductionVelocity));
        if (!velocity || *velocity < 0) {
            quorvelCommandLine::refuse(
                err, QStringLiteral("--reduction-velocity takes a velocity in km/s, 0 or more"));
            return std::nullopt;
        }
        picture.settings.reductionVelocity = float(*velocity);
    }
    const std::optional<QStringList> phases =
        travelTimeCommands::phasesOption(parser, o, picture.settings.phases, err);
    if (!phases)
        return std::nullopt;
    picture.settings.phases = *phases;
    const earthModel* model = travelTimeCommands::modelOption(parser, o, err);
    if (!model)
        return std::nullopt;
    picture.settings.model = model->name();
    return picture;
}

int drawSeismograms(const seismogramPicture& picture,
                    const QList<std::shared_ptr<SacObject>>& seismograms, QTextStream& err) {
    QVRResult<std::unique_ptr<QVRView>> view =
        seismogramViews::make(picture.kind, seismograms, picture.settings);
    if (!view) {
        err << "Quorvel: no three components to show: " << view.error() << "\n";
        return 2;
    }
    view.value()->resize(picture.size);
    return writePicture(*view.value(), picture.path, err);
}

int renderSeismograms(const QCommandLineParser& parser, const commandLineOptions& o,
                      const QStringList& files, QTextStream& err) {
    const std::optional<seismogramPicture> picture = seismogramPictureOptions(parser, o, err);
    if (!picture)
        return 2;
    const std::optional<seismogramCommands::processing> how =
        seismogramCommands::processingOptions(parser, o, err);
    if (!how)
        return 2;
    std::vector<SacObject> seismograms;
    for (const QString& file : files) {
        if (const int failed = seismogramCommands::readProcessed(file, *how, err, seismograms))
            return failed;
    }
    QList<std::shared_ptr<SacObject>> read;
    for (SacObject& seismogram : seismograms)
        read.append(std::make_shared<SacObject>(std::move(seismogram)));
    return drawSeismograms(*picture, read, err);
}

} // namespace renderCommands
