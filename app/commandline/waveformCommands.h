#pragma once

#include "SacObject.h"
#include "commandLineOptions.h"

#include <QString>
#include <QTextStream>

#include <vector>

// --waveforms FILE… [processing options] --print header|samples|summary | --export-sac DIR
// | --render VIEW …: SAC and miniSEED files, one seismogram per trace. The summary line and the
// SAC export serve every command that has traces to show or keep.
namespace waveformCommands {

// "NET.STA.LOC.CHA<TAB>first sample (yyyy-MM-ddTHH:mm:ss.SSSZ)<TAB>sample rate in
// Hz<TAB>npts<TAB>minimum<TAB>maximum<TAB>latitude<TAB>longitude", the station's coordinates
// empty when the header leaves them undefined; no line end.
QString summaryLine(const SacObject& seismogram);
// The summary line followed by the distance from the event (degrees) and the back-azimuth, each
// empty when the header leaves it undefined.
QString eventSummaryLine(const SacObject& seismogram);
// One summary line each.
void printSummaries(const std::vector<SacObject>& seismograms, QTextStream& out);

// Writes every seismogram into `folder` under its standard name; 0, or 1 after a complaint on
// `err`.
int exportSac(const std::vector<SacObject>& seismograms, const QString& folder, QTextStream& err);

// The --waveforms command. Each file that is not a seismogram is named on `err` and the others
// are read. 0 when at least one trace was read (and every step went through), 1 when none was
// or a step failed (a filter corner outside the band, a file not written), 2 for bad arguments
// or a file that is not a seismogram.
int run(const QCommandLineParser& parser, const commandLineOptions& o, QTextStream& out,
        QTextStream& err);

} // namespace waveformCommands
