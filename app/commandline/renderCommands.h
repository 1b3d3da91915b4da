#pragma once

#include "SacObject.h"
#include "commandLineOptions.h"
#include "seismogramViews.h"

#include <QList>
#include <QSize>

#include <memory>
#include <optional>

class QVRView;

// --source NAME [--input FILE] --render map|timeline --output FILE.png|.pdf [--size WxH]: the
// catalogue drawn by the window's own map or time line, off screen. Needs a GUI application
// (the off-screen platform will do).
namespace renderCommands {

// The --output file (.png or .pdf) and the --size of a picture, which keeps `size` when not
// given; false after a complaint on `err`. Every --render of the command line checks them here.
bool pictureOptions(const QCommandLineParser& parser, const commandLineOptions& o, QSize& size,
                    QString& path, QTextStream& err);
// `picture` written to `path` as PDF or PNG by its suffix; 0, or 1 after a complaint on `err`.
int writePicture(const QVRView& picture, const QString& path, QTextStream& err);

int renderCatalogue(const QCommandLineParser& parser, const commandLineOptions& o,
                    QTextStream& err);

// --channels FILE|- [--data-source SOURCE] [--start T] [--duration MIN] [--sample-rate R|*]
// [--live] [--ground-motion] --render live --output FILE.png|.pdf [--size WxH]: the channels
// downloaded and drawn as the Live Seismograms window draws them (normalised traces). 2 for bad
// arguments or a list without a usable line, 1 when no channel came.
int renderLive(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& in,
               QTextStream& err);

// --sac|--waveforms FILE… [processing options] --render overlay|stack|panels|section|
// event-section|helicorder|threecomp|uniform --output FILE.png|.pdf [--size WxH]
// [--row-minutes N --rows N] [--reduction-velocity KM_S --phases P,S,… --model NAME]: the
// processed seismograms of `files` (SAC or miniSEED) overlaid, one panel each, as a record
// section by distance, as one event's section with its travel-time curves, or as one channel's
// helicorder.
int renderSeismograms(const QCommandLineParser& parser, const commandLineOptions& o,
                      const QStringList& files, QTextStream& err);

// What --render asks of seismograms: the view its word names, the picture's size and file,
// and the settings of the view: the helicorder's rows, the spectrogram's windows, the event
// record section's reduction, phases and model.
struct seismogramPicture {
    seismogramViews::kind kind;
    QSize size;
    QString path;
    seismogramViews::settings settings;
};
// --reduction-velocity shapes an event record section drawn of seismograms, and so do --phases
// and --model given with --sac or --waveforms (--event-seismograms predicts its picks with
// --model too; without seismograms both are the travel times'). False after a complaint on
// `err` about those given where they mean nothing.
bool sectionOptionsFit(const QCommandLineParser& parser, const commandLineOptions& o,
                       QTextStream& err);
// None after a complaint on `err`.
std::optional<seismogramPicture> seismogramPictureOptions(const QCommandLineParser& parser,
                                                          const commandLineOptions& o,
                                                          QTextStream& err);
// `seismograms` drawn as `picture` asks; 0, 1 when the file cannot be written, 2 when the view
// cannot show them.
int drawSeismograms(const seismogramPicture& picture,
                    const QList<std::shared_ptr<SacObject>>& seismograms, QTextStream& err);

} // namespace renderCommands
