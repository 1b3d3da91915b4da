#pragma once

#include "commandLineOptions.h"

#include <QStringList>

#include <optional>

// --fk --sac FILE… --window START LENGTH --band FMIN FMAX [--slowness-max S --slowness-step D]
// [processing options] --print peak|grid | --render fk --output FILE.png|.pdf [--size WxH]:
// the FK analysis of one array's seismograms.
namespace fkCommands {

// The two numbers of --window and of --band, as written.
struct pairs {
    std::optional<QStringList> window, band;
};
// Takes "--window START LENGTH" and "--band FMIN FMAX" out of `words` before the parser sees
// them, so that a negative start is not mistaken for an option; false after a complaint on
// `err`.
bool takePairs(QStringList& words, pairs& taken, QTextStream& err);

// 0, 1 when the picture cannot be written, 2 for bad arguments, a file that is not a SAC
// seismogram or input the analysis refuses.
int run(const QCommandLineParser& parser, const commandLineOptions& o, const pairs& given,
        QTextStream& out, QTextStream& err);

} // namespace fkCommands
