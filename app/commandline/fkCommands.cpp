#include "fkCommands.h"

#include "fkArrayAnalysis.h"
#include "fkPowerGrid.h"
#include "qvrFKImageView.h"
#include "renderCommands.h"
#include "seismogramCommands.h"

#include <QSize>

#include <cmath>

namespace fkCommands {

using quorvelCommandLine::decimal;
using quorvelCommandLine::refuse;
using quorvelCommandLine::strictDouble;
using quorvelCommandLine::usageHint;

namespace {

// Slowness to 0.0001 s/km resolves grids far finer than the default 0.01; back-azimuth to
// 0.01°, velocity to 1 m/s and power to 0.0001 are finer than any grid makes them.
int printPeak(const fkArrayAnalysis& fk, QTextStream& out) {
    const fkArrayAnalysis::peak& p = fk.strongest();
    out << "slowness_east " << decimal(p.slownessEast, 4) << "\n"
        << "slowness_north " << decimal(p.slownessNorth, 4) << "\n"
        << "back_azimuth " << decimal(p.backAzimuth, 2) << "\n"
        << "apparent_velocity " << decimal(p.apparentVelocity, 3) << "\n"
        << "relative_power " << decimal(p.relativePower, 4) << "\n";
    return 0;
}

int printGrid(const fkArrayAnalysis& fk, QTextStream& out) {
    for (int row = 0; row < fk.gridSide(); ++row) {
        for (int column = 0; column < fk.gridSide(); ++column)
            out << decimal(fk.slownessAt(column), 4) << " " << decimal(fk.slownessAt(row), 4) << " "
                << decimal(fk.relativePowerAt(column, row), 6) << "\n";
    }
    return 0;
}

int renderPicture(const fkArrayAnalysis& fk, const QString& path, QSize size, QTextStream& err) {
    qvrFKImageView view;
    view.resize(size);
    fkPowerGrid::showIn(view, fk);
    return renderCommands::writePicture(view, path, err);
}

} // namespace

bool takePairs(QStringList& words, pairs& taken, QTextStream& err) {
    for (const char* name : {"--window", "--band"}) {
        const QString option = QString::fromLatin1(name);
        const qsizetype at = words.indexOf(option);
        if (at <= 0)
            continue;
        if (at + 2 >= words.size()) {
            err << "Quorvel: " << option
                << (option == QLatin1StringView("--window") ? " needs START LENGTH in seconds"
                                                            : " needs FMIN FMAX in Hz")
                << "\n"
                << usageHint;
            return false;
        }
        (option == QLatin1StringView("--window") ? taken.window : taken.band) =
            QStringList{words.at(at + 1), words.at(at + 2)};
        words.remove(at, 3);
    }
    return true;
}

int run(const QCommandLineParser& parser, const commandLineOptions& o, const pairs& given,
        QTextStream& out, QTextStream& err) {
    if (!parser.isSet(o.sac))
        return refuse(err, QStringLiteral("--fk needs --sac FILE…"));
    const QString what = parser.value(o.print);
    const bool rendering = parser.isSet(o.render);
    if (rendering == parser.isSet(o.print))
        return refuse(err, QStringLiteral("--fk needs --print peak, --print grid or --render fk"));
    if (!rendering && what != QLatin1StringView("peak") && what != QLatin1StringView("grid"))
        return refuse(err, QStringLiteral("--fk prints peak or grid"));
    if (rendering && parser.value(o.render) != QLatin1StringView("fk"))
        return refuse(err, QStringLiteral("--fk renders fk"));

    fkArrayAnalysis::request how;
    if (!given.window)
        return refuse(err, QStringLiteral("--fk needs --window START LENGTH (seconds)"));
    const auto start = strictDouble(given.window->at(0));
    const auto length = strictDouble(given.window->at(1));
    if (!start || !length)
        return refuse(err, QStringLiteral("--window takes START LENGTH in seconds"));
    how.windowStart = *start;
    how.windowLength = *length;
    if (!given.band)
        return refuse(err, QStringLiteral("--fk needs --band FMIN FMAX (Hz)"));
    const auto fmin = strictDouble(given.band->at(0));
    const auto fmax = strictDouble(given.band->at(1));
    if (!fmin || !fmax)
        return refuse(err, QStringLiteral("--band takes FMIN FMAX in Hz"));
    how.minFrequency = *fmin;
    how.maxFrequency = *fmax;
    if (parser.isSet(o.slownessMax)) {
        const auto s = strictDouble(parser.value(o.slownessMax));
        if (!s)
            return refuse(err, QStringLiteral("--slowness-max takes s/km"));
        how.slownessMax = *s;
    }
    if (parser.isSet(o.slownessStep)) {
        const auto s = strictDouble(parser.value(o.slownessStep));
        if (!s)
            return refuse(err, QStringLiteral("--slowness-step takes s/km"));
        how.slownessStep = *s;
    }

    QString path;
    QSize size(700, 640);
    if (rendering && !renderCommands::pictureOptions(parser, o, size, path, err))
        return 2;

    const std::optional<seismogramCommands::processing> processing =
        seismogramCommands::processingOptions(parser, o, err);
    if (!processing)
        return 2;
    std::vector<SacObject> read;
    for (const QString& file : QStringList{parser.value(o.sac)} + parser.positionalArguments()) {
        if (const int failed = seismogramCommands::readProcessed(file, *processing, err, read))
            return failed;
    }
    QList<std::shared_ptr<const SacObject>> seismograms;
    for (SacObject& seismogram : read)
        seismograms << std::make_shared<const SacObject>(std::move(seismogram));

    const QVRResult<fkArrayAnalysis> fk = fkArrayAnalysis::compute(seismograms, how);
    if (!fk) {
        err << "Quorvel: " << fk.error() << "\n";
        return 2;
    }
    if (rendering)
        return renderPicture(*fk, path, size, err);
    return what == QLatin1StringView("peak") ? printPeak(*fk, out) : printGrid(*fk, out);
}

} // namespace fkCommands
