#pragma once

#include "QVRResult.h"
#include "SacObject.h"

#include <QString>
#include <QStringList>

#include <vector>

// Seismograms written as SAC files into a folder, each under its standard name
// (NET.STA.LOC.CHA.YYYY.DDD.HHMMSS.SAC). The Seismograms window's "Save as SAC…" and the
// command line's exports share it.
namespace sacFiles {

// Writes every seismogram into `folder` (made when missing). Two seismograms of one name (one
// stream, starting within one second) are kept apart by a number before the suffix
// (….SAC, ….2.SAC), so that none overwrites another. The paths written, or why the folder or a
// file could not be written; the files written before a failure stay.
QVRResult<QStringList> writeAll(const std::vector<const SacObject*>& seismograms,
                                const QString& folder);

} // namespace sacFiles
