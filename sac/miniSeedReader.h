#pragma once

#include "QVRResult.h"
#include "SacObject.h"
#include "qvrsac_export.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <vector>

// What a miniSEED file holds: one seismogram per trace, and how many records could not be read.
struct miniSeedTraces {
    std::vector<SacObject> traces;
    int skippedRecords = 0;
};

// Reads miniSEED 2 (records of 128 to 8192 bytes, every encoding libmseed decodes, either byte
// order) into seismograms. A trace is a run of records of one NET.STA.LOC.CHA at one sample
// rate, each starting within half a sample of where the one before ended; a longer gap or
// overlap starts a new trace. Each trace becomes a SacObject with the stream's codes in knetwk,
// kstnm, khole and kcmpnm, its reference time at the first sample (b holds what the header's
// milliseconds cannot: less than 1 ms), and 32-bit float samples. The traces come ordered by
// stream and time.
//
// A record that cannot be decoded is skipped and counted, with one log line for the whole
// file; bytes without a single readable record are refused, saying why. Readable records
// without samples (log text, say) make no trace: such a file gives none.
class QVRSAC_EXPORT miniSeedReader {
public:
    // Whether the bytes start with a miniSEED record, by their content alone.
    static bool looksLikeMiniSeed(QByteArrayView bytes);

    static QVRResult<miniSeedTraces> fromData(const QByteArray& data,
                                              const QString& path = QString());
    static QVRResult<miniSeedTraces> fromFile(const QString& path);
};
